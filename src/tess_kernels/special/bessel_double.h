// Double precision Bessel functions J0, J1, Y0 and Y1 (bessel_core.h): two-lane fast paths
// for |x| <= 65536 (Y: 2^-60 <= x); NaN, larger arguments, Y's poles and domain, and the
// lanes near a large zero (which need the accurate phase) go to the callouts.
#pragma once

#include "tess_kernels/frame/double_double.h"
#include "tess_kernels/frame/lane_loop_double.h"

namespace zorn::tess {

// J_nu(a) for a >= 0 and Y_nu(x) for finite x > 0, nu = 0 or 1, as unevaluated sums
// with a few bits beyond double: they start the recurrences of Jn and Yn.
DoubleDouble bessel_j_parts(int nu, double a);
DoubleDouble bessel_y_parts(int nu, double x);

double bessel_j0(double x);
double bessel_j1(double x);
double bessel_y0(double x);  // NaN below 0, -inf at 0
double bessel_y1(double x);

TESS_DOUBLE_LANE_KERNEL(J0Double, tess_callout_dJ0);
TESS_DOUBLE_LANE_KERNEL(J1Double, tess_callout_dJ1);
TESS_DOUBLE_LANE_KERNEL(Y0Double, tess_callout_dY0);
TESS_DOUBLE_LANE_KERNEL(Y1Double, tess_callout_dY1);

}  // namespace zorn::tess
