// Double precision Bessel functions J0, J1, Y0 and Y1: extended precision away from their
// zeros, and near each zero below 1024 a series about the zero, known to extra precision,
// so that the relative accuracy holds where the function passes through zero.
#pragma once

namespace zorn::tess {

double bessel_j0(double x);
double bessel_j1(double x);
double bessel_y0(double x);  // x >= 0
double bessel_y1(double x);  // x >= 0

}  // namespace zorn::tess
