#include "tess_kernels/special/bessel_integer_order.h"

#include <cmath>
#include <cstdint>
#include <limits>

#include "tess_kernels/special/bessel_double.h"
#include "tess_kernels/special/bessel_neumann.h"

namespace zorn::tess {
namespace {

using W = long double;

W extended(const DoubleDouble& d) { return static_cast<W>(d.hi) + d.lo; }

// (-1)^n v.
template <class T>
T signed_by_parity(int64_t n, T v) {
  return (n & 1) != 0 ? -v : v;
}

// J_n(a) for n >= 2, a > 0 finite.
W jn_positive(int64_t n, double a) {
  const W x = a;
  const W j0 = extended(bessel_j_parts(0, a)), j1 = extended(bessel_j_parts(1, a));
  if (a > n) {
    // Forward: stable while the order stays below x.
    W previous = j0, current = j1;
    for (int64_t k = 1; k < n; ++k) {
      const W next = (2 * k) / x * current - previous;
      previous = current;
      current = next;
    }
    return current;
  }
  // Far below the turning point J_n(a) ~ (a/2)^n / n!: its logarithm tells an underflow.
  const W log_bound = n * std::log(x / 2) - std::lgamma(static_cast<W>(n) + 1);
  if (log_bound < -800) return 0;
  // Miller: from an order m far enough beyond n that J_m / J_n is below 2^-70 (the
  // transition region near n = a is about n^(1/3) wide), down to 0, scaled by the
  // larger of J0 and J1 computed directly; values are rescaled before they overflow.
  const int64_t m = n + 40 + static_cast<int64_t>(24 * std::cbrt(static_cast<double>(n)));
  W upper = 0, current = 0x1p-4000L, result = 0;
  for (int64_t k = m; k >= 1; --k) {
    const W lower = (2 * k) / x * current - upper;  // J_{k-1}
    upper = current;
    current = lower;
    if (k - 1 == n) result = current;
    if (std::fabs(current) > 0x1p4000L) {
      current *= 0x1p-8000L;
      upper *= 0x1p-8000L;
      result *= 0x1p-8000L;
    }
  }
  // Now current = c J_0 and upper = c J_1.
  return std::fabs(j0) >= std::fabs(j1) ? result * (j0 / current) : result * (j1 / upper);
}

}  // namespace

double bessel_jn(int order, double x, bool near_zeros) {
  const int64_t n = std::llabs(static_cast<int64_t>(order));
  if (std::isnan(x)) return x;
  // J_n(-x) = (-1)^n J_n(x) and J_-n = (-1)^n J_n: the signs of x and order cancel.
  const bool negate = (n & 1) != 0 && ((x < 0) != (order < 0));
  const double a = std::fabs(x);
  double r;
  if (std::isinf(a)) {
    r = 0;
  } else if (n == 0) {
    r = bessel_j0(a);
  } else if (n == 1) {
    r = bessel_j1(a);
  } else if (a == 0) {
    r = 0;
  } else {
    r = near_zeros && a > n && a <= kNeumannLimit ? ext_rounded(bessel_jn_neumann(n, a))
                                    : static_cast<double>(jn_positive(n, a));
  }
  return negate ? -r : r;
}

double bessel_yn(int order, double x, bool near_zeros) {
  const int64_t n = std::llabs(static_cast<int64_t>(order));
  if (std::isnan(x)) return x;
  if (x < 0) return std::numeric_limits<double>::quiet_NaN();
  if (n == 0) return bessel_y0(x);
  const bool negate = order < 0 && (n & 1) != 0;  // Y_-n = (-1)^n Y_n
  if (x == 0 || std::isinf(x)) {
    const double r = x == 0 ? -INFINITY : 0.0;
    return negate ? -r : r;
  }
  // Below 1 Y_n is large and the forward recurrence from Y_0 and Y_1 loses nothing.
  if (near_zeros && n >= 2 && x >= 1 && x <= kNeumannLimit) {
    const double r = ext_rounded(bessel_yn_neumann(n, x));
    return negate ? -r : r;
  }
  // Forward: stable, Y grows with the order; it stops once the value overflows.
  const W inv = 1 / static_cast<W>(x);
  W previous = extended(bessel_y_parts(0, x)), current = extended(bessel_y_parts(1, x));
  for (int64_t k = 1; k < n && std::isfinite(current); ++k) {
    const W next = (2 * k) * inv * current - previous;
    previous = current;
    current = next;
  }
  const double r = static_cast<double>(current);
  return negate ? -r : r;
}

}  // namespace zorn::tess
