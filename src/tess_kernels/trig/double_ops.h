// Double precision Sin, Cos and Tan: two-lane fast paths (Sin on the reduction by
// multiples of pi/256 and its table, Cos by pi/64 and its table, both for
// |x| <= 65536.00349206588; Tan by pi/128 and its table, for |x| below 102400),
// callouts that reduce larger arguments exactly.
// ±inf gives NaN with status 1; NaN passes through with status 0.
#pragma once

#include "tess_kernels/frame/lane_loop_double.h"

namespace zorn::tess {

TESS_DOUBLE_LANE_KERNEL(SinDouble, tess_callout_dSin, static constexpr bool kSpecialLanesRaiseNoFlag = true;);
TESS_DOUBLE_LANE_KERNEL(CosDouble, tess_callout_dCos, static constexpr bool kSpecialLanesRaiseNoFlag = true;);
TESS_DOUBLE_LANE_KERNEL(TanDouble, tess_callout_dTan, static constexpr bool kSpecialLanesRaiseNoFlag = true;);

// Both results of one argument from the pi/256 table (one reduction for the two), for the
// complex kernels.
int32_t sin_cos_double(double x, double& s, double& c);

}  // namespace zorn::tess
