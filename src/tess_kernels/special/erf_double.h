// Double precision error functions and normal distribution function: two-lane fast paths
// (erf_double.cpp) under the frame's double loop, and callouts correct for every argument.
#pragma once

#include "tess_kernels/frame/lane_loop_double.h"

namespace zorn::tess {

// erf: fast path except NaN and |x| up to 2^-960 (where the series would lose bits to the
// subnormal grid).
TESS_DOUBLE_LANE_KERNEL(ErfDouble, tess_callout_dErf);
// erfc: fast path for x <= 26.5; beyond, the callout's subnormal results and zeros (the
// latter with status 4).
TESS_DOUBLE_LANE_KERNEL(ErfcDouble, tess_callout_dErfc);
// erfcx: fast path for -26.5 <= x < 2^995; the callout overflows (status 3) below
// about -26.6287.
TESS_DOUBLE_LANE_KERNEL(ErfcxDouble, tess_callout_dErfcx);
// Phi(x) = erfc(-x / sqrt 2) / 2: fast path for x >= -37.47; the callout's subnormal
// results and zeros (the latter with status 4).
TESS_DOUBLE_LANE_KERNEL(CdfNormDouble, tess_callout_dCdfNorm);

}  // namespace zorn::tess
