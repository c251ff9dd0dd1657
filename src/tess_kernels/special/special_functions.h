// Double precision special functions the C library does not provide (or not to full
// accuracy): the exponential integral E1 and the modified Bessel functions I0, I1.
#pragma once

namespace zorn::tess {

double expint1(double x);       // E1(x), x > 0
double bessel_i0(double x);
double bessel_i1(double x);

}  // namespace zorn::tess
