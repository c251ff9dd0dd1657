// The glibc extras over the C++ standard library's special functions (ISO/IEC 29124,
// part of C++17), with glibc's values at the edges: J(+-inf) = Y(+inf) = 0,
// Y(0) = -inf, Y(x < 0) = NaN. The standard functions accept only non-negative
// orders and arguments, so negative ones are reflected:
//   J_n(-x) = (-1)^n J_n(x),  J_{-n}(x) = (-1)^n J_n(x),  Y_{-n}(x) = (-1)^n Y_n(x).
// They report failure by throwing; no exception may leave the library, so a failed
// evaluation gives NaN.
#include "platform/windows/libm_extras.h"

#include <cmath>
#include <limits>

namespace {

constexpr long double kNaN = std::numeric_limits<long double>::quiet_NaN();
constexpr long double kInfinity = std::numeric_limits<long double>::infinity();

long double odd_order_sign(long long order) { return (order & 1) != 0 ? -1.0L : 1.0L; }

long double bessel_j(int order, long double x) {
  if (std::isnan(x)) return x;
  if (std::isinf(x)) return 0.0L;
  const long long n = order < 0 ? -static_cast<long long>(order) : order;
  long double sign = order < 0 ? odd_order_sign(n) : 1.0L;
  if (x < 0) sign *= odd_order_sign(n);
  try {
    return sign * std::cyl_bessel_j(static_cast<long double>(n), std::fabs(x));
  } catch (...) {
    return kNaN;
  }
}

long double bessel_y(int order, long double x) {
  if (std::isnan(x)) return x;
  if (x < 0) return kNaN;
  const long long n = order < 0 ? -static_cast<long long>(order) : order;
  const long double sign = order < 0 ? odd_order_sign(n) : 1.0L;
  if (x == 0) return -sign * kInfinity;
  if (std::isinf(x)) return 0.0L;
  try {
    return sign * std::cyl_neumann(static_cast<long double>(n), x);
  } catch (...) {
    return kNaN;
  }
}

}  // namespace

// The C runtime's lgammal reports the sign through a shared variable; the sign of
// Gamma(x) is computed here instead: positive for x > 0, and for negative non-integers
// (-1)^k on (-k, -k+1).
long double lgammal_r(long double x, int* sign) {
  int s = 1;
  if (x < 0 && x != std::floor(x)) s = std::fmod(std::floor(x), 2.0L) == 0 ? 1 : -1;
  if (sign != nullptr) *sign = s;
  return std::lgamma(x);
}

long double j0l(long double x) { return bessel_j(0, x); }
long double j1l(long double x) { return bessel_j(1, x); }
long double jnl(int order, long double x) { return bessel_j(order, x); }
long double y0l(long double x) { return bessel_y(0, x); }
long double y1l(long double x) { return bessel_y(1, x); }
long double ynl(int order, long double x) { return bessel_y(order, x); }
