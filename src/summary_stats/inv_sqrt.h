// Reciprocal square root used by the correlation scaling. A scalar stand-in for the
// vector InvSqrt kernel; the one place to switch to that kernel.
#pragma once

#include <cmath>

namespace zorn::ss {

inline double inv_sqrt(double x) { return 1.0 / std::sqrt(x); }

}  // namespace zorn::ss
