// The glibc extras: 10^x computed in quadruple precision by GCC's libquadmath and
// rounded once to long double (within an ulp of the correctly rounded double).
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
