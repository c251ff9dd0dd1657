// The real functions the complex kernels are built from: the library's own double
// precision callouts (exponential, logarithms, hyperbolic functions, exactly reduced
// sine and cosine), and the scaled exponential and the logarithm of a modulus that
// complex results need beyond the range of the plain real functions.
#pragma once

#include <cmath>
#include <complex>
#include <cstdint>

#include "tess_kernels/complex/rounds_to_nearest.h"
#include "tess_kernels/exp_log/double_ops.h"
#include "tess_kernels/frame/double_double.h"
#include "tess_kernels/inv_trig_hyp/hyperbolic_double.h"
#include "tess_kernels/trig/double_ops.h"

namespace zorn::tess::cx {

using Z = std::complex<double>;

constexpr double kPi = 3.141592653589793116;
constexpr double kPiLo = 1.2246467991473532e-16;  // pi - kPi
constexpr double kHalfPi = 1.5707963267948966192;
constexpr double kHalfPiLo = 6.123233995736766e-17;  // pi/2 - kHalfPi
constexpr double kQuarterPi = 0.78539816339744830962;
constexpr double kThreeQuarterPi = 2.3561944901923448370;
constexpr double kLn2 = 0.69314718055994530942;

inline double exp(double x) {
  double r;
  tess_callout_dExp(x, &r);
  return r;
}
inline double log(double x) {
  double r;
  tess_callout_dLn(x, &r);
  return r;
}
inline double log1p(double x) {
  double r;
  tess_callout_dLog1p(x, &r);
  return r;
}
// sinh and tanh keep a zero argument (the callouts gave -0 for +0 rounding down).
inline double sinh(double x) {
  if (x == 0) return x;
  double r;
  tess_callout_dSinh(x, &r);
  return r;
}
inline double cosh(double x) {
  double r;
  tess_callout_dCosh(x, &r);
  return r;
}
inline double tanh(double x) {
  if (x == 0) return x;
  double r;
  tess_callout_dTanh(x, &r);
  return r;
}
struct SinCos {
  double s, c;
};
// Under a directed rounding the callouts' reduction by a rounding shifter is not exact
// (sin 2^-870 came out as -2^-57 rounding upward, cosines near pi/2 erred by hundreds of
// ulp), so they run rounding to nearest there: the C library's forms, used before, are
// not exact in every rounding everywhere (tan of -4.1e76 erred at 0.35 toward zero).
inline SinCos sin_cos(double x) {
  if (!rounds_to_nearest()) [[unlikely]] {
    const NearestRounding nearest;
    return sin_cos(x);
  }
  SinCos r;
  sin_cos_double(x, r.s, r.c);
  return r;
}

// sin x and cos x of finite x as hi + lo, the quarter-turn cores' parts before their
// rounding (relative error near 2^-66): where cos^2 x is a denominator, a rounded
// cosine's half ulp doubles. Under a directed rounding they too run rounding to nearest.
struct SinCosSums {
  DoubleDouble s, c;
};
SinCosSums sin_cos_sums(double x);

// e^x / 4 as hi + lo (relative error near 2^-60) for -707 <= x <= 709.78, by the
// table reduction of the hyperbolic kernels (the quarter keeps the scale normal).
constexpr double kQuarterExpLow = -707.0;
constexpr double kQuarterExpHigh = 709.78;
DoubleDouble quarter_exp(double x);
// sinh a and cosh a as hi + lo for 0 <= a <= 710.47 (the hyperbolic kernels' cores;
// sinh from its series below 1/2).
constexpr double kHyperbolicPartsHigh = 710.47;
struct HyperbolicParts {
  DoubleDouble sinh, cosh;
};
HyperbolicParts hyperbolic_parts(double a);

// (v.hi + v.lo) f + extra, extra a correction far below the product, with one rounding
// beyond that of f: Dekker's product, taken on v scaled down where its split would
// overflow. Below 2^-1000 the product's error term underflows and the result rounds on
// the subnormal grid: there the sum is formed in extended precision (64 bits) and rounded
// once (a non-zero subnormal part erred by up to 5.6 ulp).
inline double times(DoubleDouble v, double f, double extra = 0) {
  if (std::fabs(v.hi) > 0x1p995) {
    return times({v.hi * 0x1p-200, v.lo * 0x1p-200}, f, extra * 0x1p-200) * 0x1p200;
  }
  const DoubleDouble p = two_product(v.hi, f);
  const double r = p.hi + (p.lo + (v.lo * f + extra));
  if (std::fabs(r) >= 0x1p-1000 || r == 0) return r;
  return static_cast<double>((static_cast<long double>(v.hi) + v.lo) * f + extra);
}

// e^x f 2^shift for finite x and f, rounded once beyond the rounding of e^r: the
// exponential is reduced by Cody and Waite's split of ln 2 to e^r 2^k, |r| <= ln2 / 2,
// so that neither e^x nor its product overflows or underflows before the true result
// does (the product and the scaling in extended precision, so that a subnormal result
// also rounds once). Serves e^x cos y beside an overflowing e^x, and the tiny parts of tanh.
double exp_times(double x, double f, int shift = 0);

// ln |x + iy| for finite x, y, accurate near |z| = 1 (where ln |z| cancels): there
// |z|^2 - 1 is summed exactly in double-double before log1p.
double log_modulus(double x, double y);

// i z and -i z: the rotations that carry the circular functions onto the hyperbolic
// ones (sin z = -i sinh(iz), cos z = cosh(iz), tan z = -i tanh(iz), and the inverses).
inline Z times_i(Z z) { return {-z.imag(), z.real()}; }
inline Z times_minus_i(Z z) { return {z.imag(), -z.real()}; }

}  // namespace zorn::tess::cx
