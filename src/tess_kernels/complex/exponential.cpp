// Exp, Sinh, Cosh, Tanh of complex arguments. Finite arguments take the products of
// the real functions (sinh x cos y + i cosh x sin y and so on), the exponential and
// hyperbolic factors carried as hi + lo; beyond their range, where cosh x and
// |sinh x| equal e^|x| / 2, the parts are e^|x| times the circular factor, scaled so
// that only a part whose value overflows does.
#include <cmath>

#include "tess_kernels/complex/elementary.h"
#include "tess_kernels/frame/double_double.h"

namespace zorn::tess::cx {
namespace {

// Beyond this, cosh x and |sinh x| equal e^|x| / 2 to 2^-63 (tanh x rounds to +-1).
constexpr double kHyperbolicAsExp = 22.0;
// From here on, the real part of tanh is formed as its complement to +-1.
constexpr double kTanhAsComplement = 2.0;

// n / d rounded once, also where the quotient or the numerator is tiny: there Dekker's
// remainder underflows (its error term is about 2^-106 n), and the quotient of the sums in
// extended precision (64 bits) takes its place.
double quotient(DoubleDouble n, DoubleDouble d) {
  const double q = dd_quotient(n, d);
  if ((std::fabs(q) >= 0x1p-1000 && std::fabs(n.hi) >= 0x1p-960) || q == 0) return q;
  return static_cast<double>((static_cast<long double>(n.hi) + n.lo) /
                             (static_cast<long double>(d.hi) + d.lo));
}

}  // namespace

Z exp(Z z) {
  const double x = z.real(), y = z.imag();
  if (y == 0 && !std::isnan(x)) return {exp(x), y};
  if (std::isnan(x)) return {x, y == 0 ? y : NAN};
  if (std::isinf(x)) {
    if (x < 0) {
      if (!std::isfinite(y)) return {0.0, 0.0};
      const SinCos t = sin_cos(y);
      return {std::copysign(0.0, t.c), std::copysign(0.0, t.s)};
    }
    if (!std::isfinite(y)) return {x, NAN};
    const SinCos t = sin_cos(y);
    return {x * t.c, x * t.s};
  }
  if (!std::isfinite(y)) return {NAN, NAN};
  const SinCos t = sin_cos(y);
  if (x < kQuarterExpLow || x > kQuarterExpHigh) return {exp_times(x, t.c), exp_times(x, t.s)};
  // e^x carried as hi + lo: each part is rounded once beyond the rounding of cos or sin
  // (4 e^x / 4 first where it is finite, so that a subnormal part rounds once).
  const DoubleDouble e = quarter_exp(x);
  if (e.hi < 0x1p1000) {
    const DoubleDouble whole = {4 * e.hi, 4 * e.lo};
    return {times(whole, t.c), times(whole, t.s)};
  }
  return {4 * times(e, t.c), 4 * times(e, t.s)};
}

// The parts of sinh z (odd) and cosh z (even) share their special values but for which
// part carries the sign of x; `kSine` picks sinh.
template <bool kSine>
Z hyperbolic(Z z) {
  const double x = z.real(), y = z.imag();
  if (y == 0) {
    // sinh(x + i0) = sinh x + i0 y, cosh(x + i0) = cosh x + i0 sign(x) y.
    if constexpr (kSine) return {sinh(x), y};
    return {cosh(x), std::copysign(0.0, x) * y};
  }
  if (x == 0) {
    // sinh(iy) = i sin y, cosh(iy) = cos y, the zero part keeping the sign rule of the
    // product; for infinite or NaN y the zero part is kept and the other is NaN.
    if (!std::isfinite(y)) return kSine ? Z{x, y - y} : Z{y - y, x};
    const SinCos t = sin_cos(y);
    return kSine ? Z{x * t.c, t.s} : Z{t.c, x * t.s};
  }
  if (std::isnan(x)) return {x, NAN};
  if (std::isinf(x)) {
    if (!std::isfinite(y)) return {kSine ? x : INFINITY, NAN};
    const SinCos t = sin_cos(y);
    // cosh(+-inf) = +inf, sinh(+-inf) = +-inf.
    const double odd = x, even = INFINITY;
    return kSine ? Z{odd * t.c, even * t.s} : Z{even * t.c, odd * t.s};
  }
  if (!std::isfinite(y)) return {NAN, NAN};
  const SinCos t = sin_cos(y);
  const double ax = std::fabs(x);
  if (ax > kHyperbolicPartsHigh) {
    const double sign = std::copysign(1.0, x);
    const double ec = exp_times(ax, t.c, -1), es = exp_times(ax, t.s, -1);
    return kSine ? Z{sign * ec, es} : Z{ec, sign * es};
  }
  // sinh |x| and cosh |x| carried as hi + lo: each part is rounded once beyond the
  // rounding of cos or sin.
  const HyperbolicParts h = hyperbolic_parts(ax);
  const double sign = std::copysign(1.0, x);
  return kSine ? Z{sign * times(h.sinh, t.c), times(h.cosh, t.s)}
               : Z{times(h.cosh, t.c), sign * times(h.sinh, t.s)};
}

Z sinh(Z z) { return hyperbolic<true>(z); }
Z cosh(Z z) { return hyperbolic<false>(z); }

Z tanh(Z z) {
  const double x = z.real(), y = z.imag();
  if (std::isinf(x)) {
    // tanh(+-inf + iy) = +-1 + i0 sin 2y; the sign of the zero is free for non-finite y.
    if (!std::isfinite(y)) return {std::copysign(1.0, x), 0.0};
    const SinCos t = sin_cos(y);
    return {std::copysign(1.0, x), std::copysign(0.0, t.s * t.c)};
  }
  if (std::isnan(x)) return {x, y == 0 ? y : NAN};
  if (!std::isfinite(y)) return {NAN, NAN};
  if (y == 0) return {tanh(x), y};
  if (std::fabs(x) > kHyperbolicAsExp) {
    // tanh z = +-1 + i sin 2y / (cosh 2x + cos 2y), the imaginary part 4 sin y cos y
    // e^-2|x| to within 2^-63.
    const SinCos t = sin_cos(y);
    return {std::copysign(1.0, x), exp_times(-2 * std::fabs(x), 4 * t.s * t.c)};
  }
  // tanh z = (sinh x cosh x + i sin y cos y) / (sinh^2 x + cos^2 y): the denominator is
  // a sum of squares and cancels nowhere, unlike cosh 2x + cos 2y. sinh, cosh, sin and
  // cos come as hi + lo and the products, the sum and the quotients are carried in
  // double-double, so that each part rounds about once (with rounded sin and cos, the
  // real part of tanh(1e-310 + i pi/2) erred by 2.2 ulp).
  const double ax = std::fabs(x);
  const HyperbolicParts h = hyperbolic_parts(ax);
  const SinCosSums t = sin_cos_sums(y);
  DoubleDouble sh2 = two_product(h.sinh.hi, h.sinh.hi);
  sh2.lo += 2 * h.sinh.hi * h.sinh.lo;
  DoubleDouble c2 = two_product(t.c.hi, t.c.hi);
  c2.lo += 2 * t.c.hi * t.c.lo;
  const DoubleDouble d0 = two_sum(sh2.hi, c2.hi);
  const DoubleDouble d = two_sum(d0.hi, d0.lo + (sh2.lo + c2.lo));
  DoubleDouble sc = two_product(t.s.hi, t.c.hi);
  sc.lo += t.s.hi * t.c.lo + t.s.lo * t.c.hi;
  const double im = quotient(sc, d);
  if (ax < kTanhAsComplement) {
    DoubleDouble p = two_product(h.sinh.hi, h.cosh.hi);
    p.lo += h.sinh.hi * h.cosh.lo + h.sinh.lo * h.cosh.hi;
    return {std::copysign(quotient(p, d), x), im};
  }
  // |Re| = 1 - delta, delta = (cos^2 y - sinh|x| e^-|x|) / d, since cosh - sinh =
  // e^-|x|: delta is below 0.04, so its error weighs little beside 1.
  const DoubleDouble tail = two_product(h.sinh.hi, exp(-ax));
  const double delta = dd_quotient({(c2.hi - tail.hi) + (c2.lo - tail.lo), 0.0}, d);
  return {std::copysign(1.0 - delta, x), im};
}

}  // namespace zorn::tess::cx
