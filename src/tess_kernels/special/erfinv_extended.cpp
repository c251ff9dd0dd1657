#include "tess_kernels/special/erfinv_extended.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace zorn::tess {
namespace {

// 1/sqrt(2) rounded: the starting points need no more.
constexpr double kInvSqrt2Hi = 0.7071067811865476;

// Lower-tail normal quantile for 0 < p <= 0.5, about nine correct digits (Acklam's
// rational approximations); callers refine it.
double normal_quantile_estimate(double p) {
  static constexpr double a[] = {-3.969683028665376e+01, 2.209460984245205e+02,
                                 -2.759285104469687e+02, 1.383577518672690e+02,
                                 -3.066479806614716e+01, 2.506628277459239e+00};
  static constexpr double b[] = {-5.447609879822406e+01, 1.615858368580409e+02,
                                 -1.556989798598866e+02, 6.680131188771972e+01,
                                 -1.328068155288572e+01};
  static constexpr double c[] = {-7.784894002430293e-03, -3.223964580411365e-01,
                                 -2.400758277161838e+00, -2.549732539343734e+00,
                                 4.374664141464968e+00,  2.938163982698783e+00};
  static constexpr double d[] = {7.784695709041462e-03, 3.224671290700398e-01,
                                 2.445134137142996e+00, 3.754408661907416e+00};
  if (p < 0.02425) {
    const double q = std::sqrt(-2.0 * std::log(p));
    return (((((c[0] * q + c[1]) * q + c[2]) * q + c[3]) * q + c[4]) * q + c[5]) /
           ((((d[0] * q + d[1]) * q + d[2]) * q + d[3]) * q + 1.0);
  }
  const double q = p - 0.5, r = q * q;
  return (((((a[0] * r + a[1]) * r + a[2]) * r + a[3]) * r + a[4]) * r + a[5]) * q /
         (((((b[0] * r + b[1]) * r + b[2]) * r + b[3]) * r + b[4]) * r + 1.0);
}

// Halley steps on f(x) = erfc(x) - q, whose ratio f''/f' is -2x. The steps run in
// extended precision: the residual erfc(x) - q and the final rounding to double then
// contribute well under an ulp between them.
long double refine_erfcinv(long double x, double q) {
  constexpr long double kTwoOverSqrtPiL = 1.128379167095512573896158903121545172L;
  for (int k = 0; k < 3; ++k) {
    const long double slope = -kTwoOverSqrtPiL * std::exp(-x * x);
    if (slope == 0) break;
    const long double u = (std::erfc(x) - q) / slope;
    x -= u / (1.0L + x * u);
  }
  return x;
}

long double erfinv_unrounded(double y);

// erfcinv for q in [0, 2], unrounded.
long double erfcinv_unrounded(double q) {
  if (std::isnan(q)) return q;
  if (q < 0 || q > 2) return std::numeric_limits<double>::quiet_NaN();
  if (q == 0) return INFINITY;
  if (q == 2) return -INFINITY;
  if (q > 1) return -erfcinv_unrounded(2.0 - q);  // exact for q in (1, 2)
  if (q > 0.5) return erfinv_unrounded(1.0 - q);  // exact for q in (0.5, 1]
  // erfc(x) = q  <=>  x = -quantile(q / 2) / sqrt(2); q / 2 rounds to zero for the
  // smallest subnormal, where q itself is a close enough start.
  const double half = std::max(0.5 * q, std::numeric_limits<double>::denorm_min());
  const double x0 = -normal_quantile_estimate(half) * kInvSqrt2Hi;
  return refine_erfcinv(x0, q);
}

long double erfinv_unrounded(double y) {
  if (std::isnan(y)) return y;
  const double a = std::fabs(y);
  if (a > 1) return std::numeric_limits<double>::quiet_NaN();
  if (a == 1) return std::copysign(INFINITY, y);
  constexpr long double kSqrtPiOverTwoL = 0.8862269254527580136490837416705725914L;
  if (a < 0x1p-26) {
    // erfinv(y) = sqrt(pi)/2 (y + (pi/12) y^3 + ...); the next term is below 2^-104 y.
    constexpr long double kPiOverTwelve = 0.2617993877991494365385536152732919070L;
    const long double e = y;
    return kSqrtPiOverTwoL * (e + kPiOverTwelve * e * (e * e));
  }
  if (a >= 0.5) {
    const long double x = erfcinv_unrounded(1.0 - a);
    return y < 0 ? -x : x;
  }
  long double x = -normal_quantile_estimate(0.5 * (1.0 - a)) * kInvSqrt2Hi;
  for (int k = 0; k < 3; ++k) {  // Halley steps on erf(x) - a, f''/f' = -2x
    const long double u = (std::erf(x) - a) * kSqrtPiOverTwoL * std::exp(x * x);
    x -= u / (1.0L + x * u);
  }
  return y < 0 ? -x : x;
}

}  // namespace

double erfcinv_extended(double q) { return static_cast<double>(erfcinv_unrounded(q)); }

double erfinv_extended(double y) { return static_cast<double>(erfinv_unrounded(y)); }

double normal_quantile_extended(double p) {
  if (std::isnan(p)) return p;
  if (p < 0 || p > 1) return std::numeric_limits<double>::quiet_NaN();
  // quantile(p) = -sqrt(2) erfcinv(2p), 2p exact; the product is formed before rounding.
  const long double e = erfcinv_unrounded(2.0 * p);
  if (std::isinf(e)) return static_cast<double>(-e);
  if (e == 0) return 0.0;  // the quantile of 1/2 is +0
  constexpr long double kSqrt2L = 1.414213562373095048801688724209698079L;
  return static_cast<double>(-kSqrt2L * e);
}

}  // namespace zorn::tess
