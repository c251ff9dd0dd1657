#include "tess_kernels/special/special_functions.h"

#include <cmath>
#include <limits>

#include "tess_kernels/frame/double_double.h"

namespace zorn::tess {
namespace {

constexpr long double kEulerGamma = 0.5772156649015328606065120900824024310L;
// 1/sqrt(2) as a double-double.
constexpr double kInvSqrt2Hi = 0.7071067811865476;
constexpr double kInvSqrt2Lo = -4.833646656726456e-17;

}  // namespace

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
