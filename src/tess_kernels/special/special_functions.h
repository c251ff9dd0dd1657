// Double precision special functions the C library does not provide (or not to full
// accuracy): the exponential integral E1 and the modified Bessel functions I0, I1.
#pragma once

#include <cstdint>

#include "tess_kernels/frame/status_rules.h"

namespace zorn::tess {

// E1 reports NaN for x < 0 (status 1) and +inf at 0 (status 2).
inline constexpr uint32_t kExpInt1Rule = kDomain | kPole;

double expint1(double x);       // E1(x), x > 0
double bessel_i0(double x);
double bessel_i1(double x);

}  // namespace zorn::tess
