// Pow of complex arguments: x^y = e^w, w = y ln x. An error d in w is an error of d
// relative in the result, and |w| reaches 745 before the result vanishes, so ln x is
// formed as double-double (ln |x| from the logarithm core's head and tail, arg x from
// the arctangent core's) and w as double-double products, carried into e^w as
// head + tail: e^(a + a') cis(b + b') = e^a (1 + a') (cos b - b' sin b, sin b + b' cos b)
// to within a'^2 and b'^2 of each part.
#include <cmath>

#include "tess_kernels/complex/elementary.h"
#include "tess_kernels/complex/power_small_part.h"
#include "tess_kernels/exp_log/log_core_double.h"
#include "tess_kernels/frame/double_double.h"
#include "tess_kernels/inv_trig_hyp/inverse_trig_core_double.h"

namespace zorn::tess::cx {
namespace {

// Beyond this an exponent part's double-double product could overflow in its split;
// such exponents take the plain product (the result is then 0, infinite, or without
// any significant bit of its angle).
constexpr double kLargeExponent = 0x1p900;
// Beyond this |Re w| the result is 0 or infinite; within, the shift by 512 ln 2 brings
// it into the range of the double-double exponential.
constexpr double kShiftedExpLimit = 1000.0;
// Below this e^a is shifted too, so that the tails of its products stay normal.
constexpr double kLowestUnshifted = -600.0;
// Below this ratio atan q = q to 2^-120 relative.
constexpr double kTinyRatio = 0x1p-60;
// Below this |b| (the angle of x^w) b as a double, or its products, may have lost bits
// to the subnormal range.
constexpr double kTinyAngle = 0x1p-900;
// ln of the smallest part formed without the shift of e^a (e^-650 is about 2^-937.8).
constexpr double kTinyPartLog = -650.0;

// ln |x + iy| and arg(x + iy) as double-double, for finite non-zero x + iy: ln |x| to
// about 2^-66.5 absolute, arg x to about 2^-65 relative (power_small_part.h).
struct DoubleLog {
  DoubleDouble re, im;
};
DoubleLog double_log(double x, double y) {
  double big = std::fabs(x), small = std::fabs(y);
  const bool steep = small > big;
  if (steep) std::swap(big, small);
  // Scaled so that the larger part lies in [1, 2): the squares neither overflow nor
  // lose the larger part, and a smaller part far below it weighs nothing.
  const int e = std::ilogb(big);
  big = std::ldexp(big, -e);
  small = std::ldexp(small, -e);
  const DoubleDouble b2 = two_product(big, big), s2 = two_product(small, small);
  const DoubleDouble n0 = two_sum(b2.hi, s2.hi);
  const DoubleDouble n = two_sum(n0.hi, n0.lo + (b2.lo + s2.lo));
  const LogParts l = log_parts<false>(simd::F64x2::splat(n.hi));
  // ln |z| = (ln n) / 2 + e ln 2, with ln n = head + tail + n.lo / n.hi.
  double half_head = 0.5 * l.head.lane0();
  double half_tail = 0.5 * (l.tail.lane0() + n.lo / n.hi);
  if (n.hi < 1 + 0x1p-20 && !rounds_to_nearest()) [[unlikely]] {
    // Under a directed rounding the error of n = 1 + t rounded is no double where t is
    // tiny (ln |1 - 2^-193 i| came out near 2^-53): ln(1 + t) from t = (b^2 - 1) + s^2
    // itself (b^2 - 1 exact), as t - t^2/2 + t^3/3 - t^4/4 (to 2^-100 of it).
    const DoubleDouble t0 = two_sum(b2.hi - 1, s2.hi);
    const DoubleDouble t = two_sum(t0.hi, t0.lo + (b2.lo + s2.lo));
    const double r = t.hi;
    half_head = 0.5 * r;
    half_tail = 0.5 * (t.lo + r * r * (-0.5 + r * (1.0 / 3 - 0.25 * r)));
  }
  const DoubleDouble k = two_sum(e * log_table_double::kLn2Hi, half_head);
  const DoubleDouble re = two_sum(k.hi, k.lo + half_tail + e * log_table_double::kLn2Lo);

  // atan(small / big) in [0, pi/4], then the octant and the sign of y.
  namespace it = inverse_trig;
  DoubleDouble t;
  const double q = small / big;
  if (q < kTinyRatio) {
    const DoubleDouble qb = two_product(q, big);
    t = {q, ((small - qb.hi) - qb.lo) / big};
  } else if (rounds_to_nearest()) {
    const it::Sum s = it::atan_octant_fine_sum(simd::F64x2::splat(small), simd::F64x2::splat(big),
                                                simd::F64x2::splat(0.0));
    t = {s.hi.lane0(), s.lo.lane0()};
  } else {
    // The core's fine sum turned arg(1 - 1.1e-18 i) by about -1.4 rounding downward.
    t = octant_angle(big, small);
  }
  const auto reflect = [](double base_hi, double base_lo, DoubleDouble v) {
    const DoubleDouble d = two_sum(base_hi, -v.hi);
    return two_sum(d.hi, d.lo + (base_lo - v.lo));
  };
  if (steep) t = reflect(it::data::kHalfPiHi, it::data::kHalfPiLo, t);
  if (std::signbit(x)) t = reflect(it::data::kPiHi, it::data::kPiLo, t);
  if (std::signbit(y)) t = {-t.hi, -t.lo};
  return {re, t};
}

// e^(a + a') sin b for |b| below kTinyAngle, where sin b = b and b, formed in doubles,
// lost bits to the subnormal range (a tiny arg x or exponent part: Im x^w erred by
// 2.9e6 ulp at x = 4.77 + 3.7e-314 i, w = 9.91 + 4.9e-323 i). b = c arg x + d ln |x| in
// extended precision (64 bits, and an exponent range that keeps the products normal),
// arg x = y / x for x > 0 when the ratio is below kTinyRatio (atan q = q there), and the
// product rounded once.
double tiny_angle_sine_part(Z x, double c, double d, const DoubleLog& l, DoubleDouble e,
                            double a_tail, double scale) {
  using Wide = long double;
  const bool near_axis = x.real() > 0 && std::fabs(x.imag()) < kTinyRatio * x.real();
  const Wide arg = near_axis ? Wide{x.imag()} / x.real() : Wide{l.im.hi} + l.im.lo;
  const Wide b = c * arg + d * (Wide{l.re.hi} + l.re.lo);
  return static_cast<double>(4 * (Wide{e.hi} + e.lo) * (1 + Wide{a_tail}) * b * scale);
}

}  // namespace

Z pow(Z x, Z y) {
  if (y == Z(0.0)) return 1.0;
  if (x == Z(0.0)) return 0.0;
  const double c = y.real(), d = y.imag();
  const bool finite = std::isfinite(x.real()) && std::isfinite(x.imag()) && std::isfinite(c) &&
                      std::isfinite(d);
  if (!finite || std::fabs(c) > kLargeExponent || std::fabs(d) > kLargeExponent) {
    return exp(y * log(x));
  }
  const DoubleLog l = double_log(x.real(), x.imag());
  // a = c ln|x| - d arg x, b = c arg x + d ln|x|.
  const DoubleDouble cl = dd_times(l.re, c), dt = dd_times(l.im, d);
  const DoubleDouble ct = dd_times(l.im, c), dl = dd_times(l.re, d);
  const DoubleDouble a0 = two_sum(cl.hi, -dt.hi), b0 = two_sum(ct.hi, dl.hi);
  const DoubleDouble a = two_sum(a0.hi, a0.lo + (cl.lo - dt.lo));
  const DoubleDouble b = two_sum(b0.hi, b0.lo + (ct.lo + dl.lo));
  const SinCos t = sin_cos(b.hi);
  // cos b = cos_b + cos_b_lo and sin b likewise where one of them is small against the
  // terms of b (power_small_part.h); elsewhere from the rounded b and its tail b'.
  const double terms = std::fabs(c * l.im.hi) + std::fabs(d * l.re.hi);
  const bool precise = std::fabs(b.hi) >= kTinyAngle && takes_precise_angle(t.c, t.s, terms, d);
  double cos_b = t.c, sin_b = t.s, cos_b_lo = 0, sin_b_lo = 0;
  if (precise) {
    const PreciseCosSin p = precise_cos_sin(x.real(), x.imag(), c, d);
    cos_b = p.cos.hi, cos_b_lo = p.cos.lo, sin_b = p.sin.hi, sin_b_lo = p.sin.lo;
  }
  // (1 + a') (cos b - b' sin b) - cos b and its sine counterpart (or (1 + a') (cos_b +
  // cos_b_lo) - cos_b): the corrections. The cross term a'b' multiplies the other factor,
  // which may be 2^50 times the part's own (a' reaches 2^-35 after the shift below):
  // without it Im z^3 erred by 2.4e-12 at z = -2.1e-88 + 2.6e-103 i.
  const auto cos_correction = [&](double a_tail) {
    if (precise) return a_tail * cos_b + (cos_b_lo + a_tail * cos_b_lo);
    return a_tail * t.c - (b.lo + a_tail * b.lo) * t.s;
  };
  const auto sin_correction = [&](double a_tail) {
    if (precise) return a_tail * sin_b + (sin_b_lo + a_tail * sin_b_lo);
    return a_tail * t.s + (b.lo + a_tail * b.lo) * t.c;
  };
  if (std::fabs(a.hi) > kShiftedExpLimit) {
    return {exp_times(a.hi, cos_b + cos_correction(a.lo)),
            exp_times(a.hi, sin_b + sin_correction(a.lo))};
  }
  // Near the ends of the range e^a = e^(a -+ 512 ln 2) 2^(+-512), the shifted exponent
  // exact (ln 2's head has trailing zeros, and |a| > 600 has no bit below 2^-43) and the
  // rest joining the tail.
  double head = a.hi, tail = a.lo, scale = 1;
  if (head < kLowestUnshifted || head > kQuarterExpHigh) {
    const double k = head < 0 ? -512 : 512;
    head -= k * log_table_double::kLn2Hi;
    tail -= k * log_table_double::kLn2Lo;
    scale = k < 0 ? 0x1p-512 : 0x1p512;
  }
  // e^a carried as hi + lo: each part is rounded once beyond the rounding of cos or sin.
  DoubleDouble e = quarter_exp(head);
  // Where e^a times the smaller of cos b, sin b falls below e^kTinyPartLog (about 2^-938),
  // e is carried 2^512 times larger and the part scaled once at the end: its product would
  // otherwise be rounded on the subnormal grid before the factor 4 (Im (2.76e-77 -
  // 1.38e-157i)^3 erred by 3.7 ulp). a < 0 there, so that e (below 1/4) stays finite.
  const double smaller_part = std::fmin(std::fabs(cos_b), std::fabs(sin_b));
  if (scale == 1 && head < 0 && smaller_part > 0 &&
      head + std::log(smaller_part) < kTinyPartLog) {
    e = {e.hi * 0x1p512, e.lo * 0x1p512};
    scale = 0x1p-512;
  }
  const double re = 4 * times(e, cos_b, e.hi * cos_correction(tail)) * scale;
  // b = 0 with a non-real x or w is a tiny angle lost to underflow (Im 2.2883^3 beside an
  // imaginary part of -2^-1074 is -7.8e-323, 15.7 ulp from 0; Im 2^(700 + 2^-1074 i) is
  // e^485 2^-1074 ln 2, near 2^-376).
  if (std::fabs(b.hi) >= kTinyAngle || (b.hi == 0 && x.imag() == 0 && d == 0)) {
    return {re, 4 * times(e, sin_b, e.hi * sin_correction(tail)) * scale};
  }
  return {re, tiny_angle_sine_part(x, c, d, l, e, tail, scale)};
}

}  // namespace zorn::tess::cx
