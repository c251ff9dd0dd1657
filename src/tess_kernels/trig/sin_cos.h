// SinCos and SinCospi: both results of each argument from the vector fast paths of the
// sine and cosine kernels (of the HA kernels of Sinpi and Cospi), bit for bit as those
// kernels give them, with one reduction where the two share it.
#pragma once

#include "tess_kernels/frame/lane_loop_two_results.h"

namespace zorn::tess {

// Huge lanes overflow in the fast paths' rounding to float.
TESS_TWO_RESULT_KERNEL(SinCosSingle, float, tess_callout_sSinCos,
                       static constexpr bool kSpecialLanesRaiseNoFlag = true;);
TESS_TWO_RESULT_KERNEL(SinCosDouble, double, tess_callout_dSinCos);
TESS_TWO_RESULT_KERNEL(SinCospiSingle, float, tess_callout_sSinCospi);
TESS_TWO_RESULT_KERNEL(SinCospiDouble, double, tess_callout_dSinCospi);

}  // namespace zorn::tess
