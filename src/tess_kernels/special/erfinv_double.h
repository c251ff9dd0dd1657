// Double precision ErfInv, ErfcInv and CdfNormInv: the central and tail forms of
// erfinv_core_double.h under the frame's double loop (contiguous blocks sorted by form),
// and callouts correct for every argument.
#pragma once

#include "tess_kernels/frame/lane_loop_double.h"

namespace zorn::tess {

// erfinv: fast path for 2^-960 <= |x| < 1. ±1 gives ±inf with status 2, |x| > 1 NaN with status 1,
// NaN passes through.
TESS_DOUBLE_LANE_KERNEL(ErfInvDouble, tess_callout_dErfInv);
// erfcinv: fast path for 2^-53 <= q < 2. 0 gives +inf and 2 gives -inf, status 2; outside
// [0, 2] NaN with status 1; smaller q by the extended precision routine.
TESS_DOUBLE_LANE_KERNEL(ErfcInvDouble, tess_callout_dErfcInv);
// The normal quantile: fast path for 2^-53 <= p < 1. 0 gives -inf and 1 gives +inf,
// status 2; outside [0, 1] NaN with status 1.
TESS_DOUBLE_LANE_KERNEL(CdfNormInvDouble, tess_callout_dCdfNormInv);

}  // namespace zorn::tess
