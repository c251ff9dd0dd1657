// Ln, Log10 and Sqrt of complex arguments.
#include <cmath>

#include "tess_kernels/complex/elementary.h"
#include "tess_kernels/complex/log_sqrt_lanes.h"
#include "tess_kernels/complex/real_parts.h"
#include "tess_kernels/complex/rounds_to_nearest.h"
#include "tess_kernels/frame/double_double.h"

namespace zorn::tess::cx {

// ln z = ln |z| + i arg z. An infinite part makes the modulus +inf even beside a NaN;
// atan2 gives the argument's special values (pi for -0 + i0, 3pi/4 for -inf + i inf).
// Under a directed rounding ln |z| comes from log_modulus (log1p of |z|^2 - 1 by the
// callout, exact there): the lanes' sum about 1 that log_modulus_rounded shares erred by
// up to 2^967 ulp (rounding upward, |z| near 1 or 2^-370).
Z log(Z z) {
  const double x = z.real(), y = z.imag();
  double re;
  if (std::isinf(x) || std::isinf(y)) {
    re = INFINITY;
  } else if (std::isnan(x) || std::isnan(y)) {
    re = NAN;
  } else {
    re = x == 0 && y == 0       ? -INFINITY
         : rounds_to_nearest() ? log_modulus_rounded<false>(x, y)
                               : log_modulus(x, y);
    // ln 1 is +0 in every rounding (log1p(1 - 1) is -0 rounding down).
    if (re == 0) re = 0;
  }
  return {re, std::atan2(y, x)};
}

// Both parts of ln z over ln 10, each rounded once from its unrounded form (ln z rounded
// first and then divided erred by up to 1.4 ulp); special values, and every element under
// a directed rounding, as ln z's, divided.
Z log10(Z z) {
  const double x = z.real(), y = z.imag();
  if (std::isfinite(x) && std::isfinite(y) && (x != 0 || y != 0) && rounds_to_nearest()) {
    return {log_modulus_rounded<true>(x, y), log10_argument(x, y)};
  }
  constexpr double kInvLn10Hi = 0.4342944819032518;
  constexpr double kInvLn10Lo = 1.098319650216765e-17;
  const Z l = log(z);
  const auto scaled = [](double v) {
    if (!std::isfinite(v) || v == 0) return v * kInvLn10Hi;
    const DoubleDouble p = two_product(v, kInvLn10Hi);
    return p.hi + (p.lo + v * kInvLn10Lo);
  };
  return {scaled(l.real()), scaled(l.imag())};
}

// Kahan's square root: t = sqrt((|x| + |z|) / 2) is the part that does not cancel, the
// other is |y| / 2t. The scalar form takes the elements the lanes leave (parts far apart,
// beyond 2^1001, subnormal): in extended precision, whose range holds every square and
// whose 64 bits leave each part one rounding to double beyond errors near 2^-62 (in
// double, with t rounded, |y| / 2t erred by up to 1.3 ulp).
Z sqrt(Z z) {
  const double x = z.real(), y = z.imag();
  if (std::isinf(y)) return {INFINITY, y};
  if (std::isnan(x)) return {x, NAN};
  if (std::isinf(x)) {
    if (std::isnan(y)) return x > 0 ? Z{x, y} : Z{NAN, INFINITY};
    return x > 0 ? Z{x, std::copysign(0.0, y)} : Z{0.0, std::copysign(INFINITY, y)};
  }
  if (std::isnan(y)) return {NAN, NAN};
  if (x == 0 && y == 0) return {0.0, y};
  const long double ax = std::fabs(x), ay = std::fabs(y);
  const long double t = std::sqrt((ax + std::sqrt(ax * ax + ay * ay)) / 2);
  const double u = static_cast<double>(t), v = static_cast<double>(ay / (2 * t));
  return std::signbit(x) ? Z{v, std::copysign(u, y)} : Z{u, std::copysign(v, y)};
}

}  // namespace zorn::tess::cx
