// Double precision exponential integral E1: a two-lane fast path for 2^-1022 <= x < 700
// (expint_core.h); NaN, x <= 0, subnormal x and x >= 700 (results near and below the
// normal range) go to the callout: NaN for x < 0 (status 1), +inf at 0 (status 2).
#pragma once

#include "tess_kernels/frame/lane_loop_double.h"

namespace zorn::tess {

TESS_DOUBLE_LANE_KERNEL(ExpInt1Double, tess_callout_dExpInt1);

}  // namespace zorn::tess
