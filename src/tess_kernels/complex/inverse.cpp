// Inverse circular and hyperbolic functions of complex arguments.
//
// asin and acos follow Hull, Fairgrieve and Tang, "Implementing the complex arcsine and
// arccosine functions using exception handling" (ACM TOMS 23, 1997): with
// R = |z + 1|, S = |z - 1|, A = (R + S)/2 and B = x/A, the real part is asin B or
// acos B, or an arctangent where B is near 1 and they lose accuracy; the imaginary part
// is ln(A + sqrt(A^2 - 1)), taken as log1p of A - 1 formed without cancellation.
#include "tess_kernels/complex/inverse.h"

#include <cmath>

#include "tess_kernels/pow_root/double_ops.h"

namespace zorn::tess::cx {
namespace {

constexpr double kBCross = 0.6417;
// Beyond this, asin z = arg-like real part + i (ln |z| + ln 2) to 2^-1000 relative.
constexpr double kLarge = 0x1p500;
// Below this, asin z = z to 2^-56 relative.
constexpr double kTiny = 0x1p-27;
// Beyond this, atanh z = 1/z + i pi/2 sign(y) to 2^-980 relative. Below it (1 - x)^2 +
// y^2 stays under 2^982, so that the exact products splitting it by 2^27 + 1 cannot
// overflow (from 2^997 they would, and gave NaN).
constexpr double kLargeTangent = 0x1p490;

struct InverseParts {
  double asin_re, acos_re, im;  // im >= 0: the imaginary part of asin z
};

// asin and acos of x + iy for finite x, y >= 0; `kAcos` picks which real part is formed.
template <bool kAcos>
InverseParts first_quadrant(double x, double y) {
  InverseParts p{};
  if (x > kLarge || y > kLarge) {
    p.im = log_modulus(x, y) + kLn2;
    if constexpr (kAcos) p.acos_re = std::atan2(y, x);
    else p.asin_re = std::atan2(x, y);
    return p;
  }
  if (x < kTiny && y < kTiny) {
    p.im = y;
    if constexpr (kAcos) p.acos_re = (kHalfPiLo - x) + kHalfPi;
    else p.asin_re = x;
    return p;
  }
  // y^2 underflows: A - 1 = y^2 / 2(1 - x^2) to first order, im = y / sqrt(1 - x^2);
  // at x = 1, A - 1 = y/2 would lose its bits in the subnormal range: im = sqrt(y).
  const bool tiny_y = y < 0x1p-500 && x <= 1;
  if (tiny_y) p.im = x < 1 ? y / std::sqrt((1 - x) * (1 + x)) : std::sqrt(y);
  // Everything below in double-double, so that only the final functions round: R and S,
  // their sums with x + 1 and |x - 1| (which do not cancel), A - 1 without cancellation.
  const DoubleDouble xp1 = two_sum(x, 1.0), xm1 = two_sum(x, -1.0);
  const DoubleDouble omx = {-xm1.hi, -xm1.lo};  // 1 - x
  const DoubleDouble y2 = two_product(y, y);
  const DoubleDouble r = dd_sqrt(dd_sum(dd_product(xp1, xp1), y2));
  // At x = 1, S = y exactly, also where y^2 underflows.
  const DoubleDouble s =
      xm1.hi == 0 ? DoubleDouble{y, 0.0} : dd_sqrt(dd_sum(dd_product(xm1, xm1), y2));
  const DoubleDouble a = dd_times(dd_sum(r, s), 0.5);
  const DoubleDouble r_sum = dd_sum(r, xp1);                       // R + x + 1
  const DoubleDouble s_sum = dd_sum(s, x < 1 ? omx : xm1);         // S + |x - 1|
  // S - (1 - x) = y^2 / (S + 1 - x) and S + (x - 1) computed as such.
  const DoubleDouble s_minus = x < 1 ? dd_divide(y2, s_sum) : s_sum;
  if (!tiny_y) {
    // im = ln(A + sqrt(A^2 - 1)) = log1p(A - 1 + sqrt((A - 1)(A + 1))), A - 1 =
    // (y^2 / (R + x + 1) + S - (1 - x)) / 2; the sum's tail corrects the logarithm.
    const DoubleDouble am1 = dd_times(dd_sum(dd_divide(y2, r_sum), s_minus), 0.5);
    const DoubleDouble u = dd_sum(am1, dd_sqrt(dd_product(am1, dd_sum(am1, {2.0, 0.0}))));
    p.im = log1p(u.hi) + u.lo / (1 + u.hi);
  }
  const DoubleDouble b = dd_divide({x, 0.0}, a);
  if (b.hi <= kBCross) {
    // The tail of B moves the result by its product with the derivative.
    const double slope = b.lo / std::sqrt((1 - b.hi) * (1 + b.hi));
    if constexpr (kAcos) p.acos_re = std::acos(b.hi) - slope;
    else p.asin_re = std::asin(b.hi) + slope;
    return p;
  }
  // The real part's cosine-side term D, without the cancellation of 1 - B: for x <= 1,
  // D^2 = (A + x)(y^2 / (R + x + 1) + S + 1 - x) / 2; beyond, D = y sqrt((A + x) / 2
  // (1 / (R + x + 1) + 1 / (S + x - 1))). Then asin B = atan(x / D), acos B = atan(D / x).
  // At x = 1 with y^2 underflowing, D = sqrt((A + 1) y / 2) is sqrt(y) to 2^-1000
  // relative, and rounds once so: the double-double root's correction squares its head,
  // whose tail falls below the normal range for subnormal y (2^-26 relative).
  const DoubleDouble apx = dd_sum(a, {x, 0.0});
  DoubleDouble d, root{};
  if (tiny_y && x == 1) {
    d = {std::sqrt(y), 0.0};
  } else if (x <= 1) {
    d = dd_sqrt(dd_times(dd_product(apx, dd_sum(dd_divide(y2, r_sum), s_sum)), 0.5));
  } else {
    root = dd_sqrt(dd_times(dd_sum(dd_divide(apx, r_sum), dd_divide(apx, s_sum)), 0.5));
    d = dd_times(root, y);
  }
  // Below 2^-1000 (a tiny y beyond x = 1), D = y root lost its tail below the normal range
  // and D / x rounded again (2.06 ulp at 1 + 7 2^-52 + 1.1e-316 i): acos B = D / x there,
  // formed as y (root / x) and rounded once.
  if (kAcos && x > 1 && d.hi < 0x1p-1000) {
    p.acos_re = times(dd_divide(root, {x, 0.0}), y);
    return p;
  }
  // Beyond 2^60, atan q = pi/2 - 1/q needs no tail (and x / D may overflow).
  const bool steep = !kAcos && x > 0x1p60 * d.hi;
  const DoubleDouble q = kAcos ? dd_divide(d, {x, 0.0}) : steep ? DoubleDouble{x / d.hi, 0.0}
                                                                : dd_divide({x, 0.0}, d);
  // Non-negative in the first quadrant; rounding down, atan 0 + (-0) gave acos 1 = -0.
  const double re = std::fabs(std::atan(q.hi) + q.lo / (1 + q.hi * q.hi));
  if constexpr (kAcos) p.acos_re = re;
  else p.asin_re = re;
  return p;
}

}  // namespace

Z asinh(Z z) {
  const double x = z.real(), y = z.imag();
  if (std::isinf(x)) {
    const double im = std::isnan(y) ? y : std::isinf(y) ? std::copysign(kQuarterPi, y)
                                                        : std::copysign(0.0, y);
    return {x, im};
  }
  if (std::isinf(y)) {
    if (std::isnan(x)) return {INFINITY, x};
    return {std::copysign(INFINITY, x), std::copysign(kHalfPi, y)};
  }
  if (std::isnan(x)) return {x, y == 0 ? y : NAN};
  if (std::isnan(y)) return {NAN, NAN};
  // asinh z = i asin(-iz), and asin(|y| + i|x|) lies in the first quadrant.
  const InverseParts p = first_quadrant<false>(std::fabs(y), std::fabs(x));
  return {std::copysign(p.im, x), std::copysign(p.asin_re, y)};
}

Z acos(Z z) {
  const double x = z.real(), y = z.imag();
  // The sign of an infinite imaginary part beside a NaN is free: it is chosen as -sign(y)
  // so that acosh, built on acos, gets +inf.
  const double minus_inf = -std::copysign(INFINITY, y);
  if (std::isinf(x)) {
    if (std::isnan(y)) return {NAN, minus_inf};
    if (std::isinf(y)) return {x > 0 ? kQuarterPi : kThreeQuarterPi, minus_inf};
    return {x > 0 ? 0.0 : kPi, minus_inf};
  }
  if (std::isinf(y)) return {std::isnan(x) ? x : kHalfPi, minus_inf};
  if (std::isnan(x)) return {x, NAN};
  if (std::isnan(y)) return {x == 0 ? kHalfPi : NAN, NAN};
  const InverseParts p = first_quadrant<true>(std::fabs(x), std::fabs(y));
  // acos(-z) = pi - acos z, with pi in two parts (and acos(-0 + iy) = acos(+0 + iy)).
  const double re = x < 0 ? (kPi - p.acos_re) + kPiLo : p.acos_re;
  return {re, std::signbit(y) ? p.im : -p.im};
}

// acosh z = i acos z in the upper half plane and -i acos z in the lower one (by the
// sign of y), which puts the real part at +|Im acos z|.
Z acosh(Z z) {
  const double x = z.real(), y = z.imag();
  if (x == 0 && std::isnan(y)) return {NAN, NAN};
  const Z a = acos(z);
  return std::signbit(y) ? Z{a.imag(), -a.real()} : Z{-a.imag(), a.real()};
}

// atanh z = ln((1 + z)/(1 - z)) / 2, by Kahan's parts: the real part
// log1p(4x / ((1 - x)^2 + y^2)) / 4, the imaginary part
// atan2(2y, (1 - x)(1 + x) - y^2) / 2.
Z atanh(Z z) {
  const double x = z.real(), y = z.imag();
  if (std::isinf(y)) return {std::copysign(0.0, x), std::copysign(kHalfPi, y)};
  if (std::isinf(x)) return {std::copysign(0.0, x), std::isnan(y) ? y : std::copysign(kHalfPi, y)};
  if (std::isnan(x)) return {x, NAN};
  if (std::isnan(y)) return {x == 0 ? x : NAN, NAN};
  const double ax = std::fabs(x), ay = std::fabs(y);
  if (ax < kTiny && ay < kTiny) return z;
  double re, im;
  if (ax > kLargeTangent || ay > kLargeTangent) {
    // atanh z = 1/z + O(z^-3) + i pi/2 sign(y): the real part x / |z|^2, on parts scaled
    // by 2^-512 (|z| itself overflows near the largest finite parts, which flushed a
    // subnormal real part to 0); the larger scaled part stays above 2^-22.
    const double xs = ax * 0x1p-512, ys = ay * 0x1p-512;
    double h;
    tess_callout_dHypot(xs, ys, &h);
    re = (xs / h) / h * 0x1p-512;
    im = kHalfPi;
  } else {
    // d = (1 - x)^2 + y^2 in double-double: 1 - x is inexact for small x, and its
    // rounding would weigh twice in 4x/d.
    const double one_minus = 1 - ax;
    const DoubleDouble om = two_sum(1.0, -ax);
    DoubleDouble om2 = two_product(om.hi, om.hi);
    om2.lo += 2 * om.hi * om.lo;
    const DoubleDouble y2 = two_product(ay, ay);
    const DoubleDouble s = two_sum(om2.hi, y2.hi);
    const DoubleDouble d = two_sum(s.hi, s.lo + (om2.lo + y2.lo));
    // Where d is tiny, 4x/d would overflow: ln((1 + z)/(1 - z)) / 2 directly.
    re = d.hi > 0x1p-900 ? 0.25 * log1p(dd_quotient({4 * ax, 0.0}, d))
                         : 0.25 * log(4 * ax) - 0.5 * log_modulus(one_minus, ay);
    // (1 - x)(1 + x) - y^2 = 1 - x^2 - y^2, summed in double-double (it cancels near
    // |z| = 1) and rounded once. Below 2^-500, y^2 is left out: beside 1 - x^2, 0 or at
    // least 2^-53, it moves nothing, and its product, underflowing, may round to
    // +2^-1074 (rounding up), which at x = 1 turned the angle's pi/2 into 2^-1074 / 2y.
    const DoubleDouble x2 = two_product(ax, ax);
    const DoubleDouble y2_kept = ay < 0x1p-500 ? DoubleDouble{0.0, 0.0} : y2;
    const DoubleDouble e1 = two_sum(1.0, -x2.hi);
    const DoubleDouble e2 = two_sum(e1.hi, -y2_kept.hi);
    // An exact 0 is +0 as rounding to nearest forms it (rounding down, 1 - 1 is -0, and
    // atanh(1 + i0) took atan2(0, -0) = pi).
    const double across = e2.hi + (e2.lo + ((e1.lo - x2.lo) - y2_kept.lo));
    im = 0.5 * std::atan2(2 * ay, across == 0 ? 0.0 : across);
  }
  return {std::copysign(re, x), std::copysign(im, y)};
}

}  // namespace zorn::tess::cx
