// Double precision modified Bessel functions I0 and I1: two-lane fast paths for
// |x| <= 700 (bessel_i_core.h); NaN and larger |x| go to the callouts, which overflow
// (status 3) from about 713.99.
#pragma once

#include "tess_kernels/frame/lane_loop_double.h"

namespace zorn::tess {

TESS_DOUBLE_LANE_KERNEL(I0Double, tess_callout_dI0);
TESS_DOUBLE_LANE_KERNEL(I1Double, tess_callout_dI1);

}  // namespace zorn::tess
