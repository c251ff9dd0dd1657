#include "tess_kernels/special/special_functions.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "tess_kernels/frame/double_double.h"

namespace zorn::tess {
namespace {

constexpr long double kEulerGamma = 0.5772156649015328606065120900824024310L;
// 1/sqrt(2) as a double-double.
constexpr double kInvSqrt2Hi = 0.7071067811865476;
constexpr double kInvSqrt2Lo = -4.833646656726456e-17;

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

long double erfinv_extended(double y);

// erfcinv for q in [0, 2], unrounded.
long double erfcinv_extended(double q) {
  if (std::isnan(q)) return q;
  if (q < 0 || q > 2) return std::numeric_limits<double>::quiet_NaN();
  if (q == 0) return INFINITY;
  if (q == 2) return -INFINITY;
  if (q > 1) return -erfcinv_extended(2.0 - q);   // exact for q in (1, 2)
  if (q > 0.5) return erfinv_extended(1.0 - q);   // exact for q in (0.5, 1]
  // erfc(x) = q  <=>  x = -quantile(q / 2) / sqrt(2); q / 2 rounds to zero for the
  // smallest subnormal, where q itself is a close enough start.
  const double half = std::max(0.5 * q, std::numeric_limits<double>::denorm_min());
  const double x0 = -normal_quantile_estimate(half) * kInvSqrt2Hi;
  return refine_erfcinv(x0, q);
}

long double erfinv_extended(double y) {
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
    const long double x = erfcinv_extended(1.0 - a);
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

double erfcinv(double q) { return static_cast<double>(erfcinv_extended(q)); }

double erfinv(double y) { return static_cast<double>(erfinv_extended(y)); }

double cdfnorm(double x) {
  if (std::isnan(x)) return x;
  // Phi rounds to 1 above 9 and to 0 below -39; the split below would overflow for
  // arguments near the largest finite ones.
  if (std::fabs(x) > 40.0) return x > 0 ? 1.0 : 0.0;
  // Phi(x) = erfc(-x / sqrt 2) / 2, with -x / sqrt 2 carried as a double-double: erfc
  // magnifies the relative error of its argument by about 2 t^2. erfc and the
  // first-order correction for the low part are evaluated in extended precision and
  // rounded once.
  const DoubleDouble t = two_product(-x, kInvSqrt2Hi);
  const long double lo = static_cast<long double>(t.lo) + (-x) * static_cast<long double>(kInvSqrt2Lo);
  const long double hi = t.hi;
  constexpr long double kTwoOverSqrtPiL = 1.128379167095512573896158903121545172L;
  return static_cast<double>(0.5L * (std::erfc(hi) - lo * kTwoOverSqrtPiL * std::exp(-hi * hi)));
}

double cdfnorminv(double p) {
  if (std::isnan(p)) return p;
  if (p < 0 || p > 1) return std::numeric_limits<double>::quiet_NaN();
  // Phi^-1(p) = -sqrt(2) erfcinv(2p), 2p exact; the product is formed before rounding.
  const long double e = erfcinv_extended(2.0 * p);
  if (std::isinf(e)) return static_cast<double>(-e);
  if (e == 0) return 0.0;  // Phi^-1(1/2) is +0
  constexpr long double kSqrt2L = 1.414213562373095048801688724209698079L;
  return static_cast<double>(-kSqrt2L * e);
}

double erfcx(double x) {
  if (std::isnan(x)) return x;
  // 2 exp(x^2) overflows below -26.7; the exact square below would overflow first
  // for arguments near the largest finite ones.
  if (x < -27.0) return INFINITY;
  if (x > 26.0) {
    // Asymptotic series 1/(x sqrt(pi)) * sum (-1)^k (2k-1)!! / (2x^2)^k; at x > 26 the
    // terms fall below an ulp long before they start to grow.
    if (std::isinf(x)) return 0.0;
    using W = long double;
    const W w = 1.0L / (2.0L * static_cast<W>(x) * x);
    W term = 1.0L, sum = 1.0L;
    for (int k = 1; k < 40 && std::fabs(term) > 1e-21L; ++k) {
      term *= -(2 * k - 1) * w;
      sum += term;
    }
    constexpr W kInvSqrtPiExtended = 0.5641895835477562869480794515607725858L;
    return static_cast<double>(kInvSqrtPiExtended / x * sum);
  }
  // exp(x^2) with x^2 = h + l exactly: exp(h) (1 + l), in extended precision.
  using W = long double;
  const DoubleDouble sq = two_product(x, x);
  const W e = std::exp(static_cast<W>(sq.hi)) * (1.0L + sq.lo);
  if (x >= 0) return static_cast<double>(e * std::erfc(static_cast<W>(x)));
  // erfcx(-a) = 2 exp(a^2) - erfcx(a)
  return static_cast<double>(2.0L * e - erfcx(-x));
}

double expint1(double x) {
  if (std::isnan(x)) return x;
  if (x < 0) return std::numeric_limits<double>::quiet_NaN();
  if (x == 0) return INFINITY;
  if (std::isinf(x)) return 0.0;
  // Both expansions run in extended precision and are rounded once.
  using W = long double;
  const W xe = x;
  if (x <= 0.5) {
    // E1(x) = -gamma - ln x - sum_{k>=1} (-x)^k / (k k!)
    W term = 1.0L, sum = 0.0L;
    for (int k = 1; k < 60; ++k) {
      term *= -xe / k;
      const W add = term / k;
      sum += add;
      if (std::fabs(add) < 1e-21L * std::fabs(sum)) break;
    }
    return static_cast<double>((-kEulerGamma - std::log(xe)) - sum);
  }
  // Continued fraction E1(x) = e^-x / (x + 1 - 1^2/(x + 3 - 2^2/(x + 5 - ...))),
  // evaluated from the bottom up, which damps the rounding errors of every level. The
  // truncation error at depth K falls like exp(-4 sqrt(K x)).
  const int depth = 30 + static_cast<int>(200.0 / x);
  W tail = 0.0L;
  for (int k = depth; k >= 1; --k) {
    tail = static_cast<W>(k) * k / (xe + (2.0L * k + 1.0L) - tail);
  }
  return static_cast<double>(std::exp(-xe) / (xe + 1.0L - tail));
}

namespace {

// I_nu(x) for nu = 0 or 1 and x >= 0, in extended precision so that the rounding of
// some fifty terms stays below an ulp of the double result: the power series, whose
// terms are all positive, below 30; above, the asymptotic series
// e^x / sqrt(2 pi x) sum_k t_k, t_k = -t_{k-1} (4 nu^2 - (2k-1)^2) / (8 k x), with e^x
// split in two halves so that it may overflow only in the product.
double bessel_i(int nu, double xd) {
  using W = long double;
  const W x = xd;
  if (x < 30) {
    const W q = 0.25L * x * x;
    W term = nu == 0 ? 1.0L : 0.5L * x, sum = term;
    for (int k = 1; k < 200; ++k) {
      term *= q / (static_cast<W>(k) * (k + nu));
      sum += term;
      if (term < 1e-21L * sum) break;
    }
    return static_cast<double>(sum);
  }
  const W mu = 4.0L * nu * nu;
  W term = 1.0L, sum = 1.0L;
  for (int k = 1; k < 60; ++k) {
    const W odd = 2.0L * k - 1.0L;
    term *= -(mu - odd * odd) / (8.0L * k * x);
    sum += term;
    if (std::fabs(term) < 1e-21L * sum) break;
  }
  constexpr W kTwoPi = 6.283185307179586476925286766559005768L;
  const W half = std::exp(0.5L * x);
  return static_cast<double>(half * (half * (sum / std::sqrt(kTwoPi * x))));
}

}  // namespace

double bessel_i0(double x) {
  if (std::isnan(x)) return x;
  return std::isinf(x) ? INFINITY : bessel_i(0, std::fabs(x));
}
double bessel_i1(double x) {
  if (std::isnan(x)) return x;
  return std::copysign(std::isinf(x) ? INFINITY : bessel_i(1, std::fabs(x)), x);
}

}  // namespace zorn::tess
