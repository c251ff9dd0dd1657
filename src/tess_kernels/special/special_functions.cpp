#include "tess_kernels/special/special_functions.h"

#include <cmath>
#include <limits>

namespace zorn::tess {
namespace {

constexpr long double kEulerGamma = 0.5772156649015328606065120900824024310L;

}  // namespace

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
