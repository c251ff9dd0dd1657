// Double precision kernels of the hyperbolic functions and their inverses: two-lane fast
// paths on the cores of hyperbolic_core_double.h under the frame's double loop, and
// callouts correct for every argument that give the result and its status.
#pragma once

#include "tess_kernels/frame/lane_loop_double.h"

namespace zorn::tess {

// Sinh, Cosh: fast path for |x| up to 710.4758600739439, the largest argument with a
// finite result; finite arguments beyond overflow with status 3, ±inf and NaN pass
// through (Cosh of -inf is +inf).
TESS_DOUBLE_LANE_KERNEL(SinhDouble, tess_callout_dSinh);
TESS_DOUBLE_LANE_KERNEL(CoshDouble, tess_callout_dCosh);
// Tanh: fast path for every argument but NaN. Never reports.
TESS_DOUBLE_LANE_KERNEL(TanhDouble, tess_callout_dTanh);
// Asinh: fast path for |x| up to 2^1000; never reports.
TESS_DOUBLE_LANE_KERNEL(AsinhDouble, tess_callout_dAsinh);
// Acosh: fast path for 1 <= x <= 2^1000; below 1 (and -inf) NaN with status 1.
TESS_DOUBLE_LANE_KERNEL(AcoshDouble, tess_callout_dAcosh);
// Atanh: fast path for |x| < 1; ±1 gives ±inf with status 2, larger magnitudes
// (infinities included) NaN with status 1, NaN passes through.
TESS_DOUBLE_LANE_KERNEL(AtanhDouble, tess_callout_dAtanh);

}  // namespace zorn::tess
