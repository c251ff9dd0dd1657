// SinCos and SinCospi: both results of each argument from the vector fast paths of the
// sine and cosine kernels (of the HA kernels of Sinpi and Cospi), bit for bit as those
// kernels give them, with one reduction where the two share it.
#pragma once

#include "tess_kernels/frame/lane_loop_two_results.h"

namespace zorn::tess {

TESS_TWO_RESULT_KERNEL(SinCosSingle, float, tess_callout_sSinCos);
TESS_TWO_RESULT_KERNEL(SinCosDouble, double, tess_callout_dSinCos);
TESS_TWO_RESULT_KERNEL(SinCospiSingle, float, tess_callout_sSinCospi);
TESS_TWO_RESULT_KERNEL(SinCospiDouble, double, tess_callout_dSinCospi);

// SinCosDouble::fast_group with both from the pi/256 table, for the complex kernels,
// which multiply them further; the same special lanes (see sin_cos_double for them).
int sin_cos_table_group(const double x[4], double s[4], double c[4]);

}  // namespace zorn::tess
