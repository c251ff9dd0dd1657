// The inverse circular and hyperbolic functions of complex arguments in double
// precision, with the special values and branch cuts of C99's Annex G (asin, atan by
// asin z = -i asinh(iz), atan z = -i atanh(iz), under which the Annex defines them).
#pragma once

#include "tess_kernels/complex/real_parts.h"

namespace zorn::tess::cx {

Z asinh(Z z);
Z acos(Z z);
Z acosh(Z z);
Z atanh(Z z);
inline Z asin(Z z) { return times_minus_i(asinh(times_i(z))); }
inline Z atan(Z z) { return times_minus_i(atanh(times_i(z))); }

}  // namespace zorn::tess::cx
