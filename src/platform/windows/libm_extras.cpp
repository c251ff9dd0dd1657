// The glibc extras, computed in quadruple precision by GCC's libquadmath (its power and
// Bessel functions are glibc's own 128-bit ones, with the same edge values: J(+-inf) =
// Y(+inf) = 0, Y(0) = -inf, Y(x < 0) = NaN, negative orders by reflection) and
// rounded once to long double: within an ulp of the correctly rounded double.
// The C++17 special functions and the C runtime's _j0 family were measured against
// MPFR and miss the kernels' 4-ulp bound on several per cent of arguments.
#include "platform/windows/libm_extras.h"

#include <quadmath.h>

#include <cmath>

// The C runtime's lgammal reports the sign through a shared variable; the sign of
// Gamma(x) is computed here instead: positive for x > 0, and for negative non-integers
// (-1)^k on (-k, -k+1).
long double lgammal_r(long double x, int* sign) {
  int s = 1;
  if (x < 0 && x != std::floor(x)) s = std::fmod(std::floor(x), 2.0L) == 0 ? 1 : -1;
  if (sign != nullptr) *sign = s;
  return std::lgamma(x);
}

long double exp10l(long double x) { return static_cast<long double>(powq(10, x)); }

long double j0l(long double x) { return static_cast<long double>(j0q(x)); }
long double j1l(long double x) { return static_cast<long double>(j1q(x)); }
long double jnl(int order, long double x) { return static_cast<long double>(jnq(order, x)); }
long double y0l(long double x) { return static_cast<long double>(y0q(x)); }
long double y1l(long double x) { return static_cast<long double>(y1q(x)); }
long double ynl(int order, long double x) { return static_cast<long double>(ynq(order, x)); }
