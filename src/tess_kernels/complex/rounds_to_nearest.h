// Whether the caller's SSE rounding is to nearest, for the complex kernels, which run under
// it: their lanes' error-free steps and the scalar logarithm of the modulus hold only there.
#pragma once

#include <xmmintrin.h>

namespace zorn::tess::cx {

// MXCSR's rounding control read, not tested by a sum, which would raise the inexact flag
// beside exact results (e^0, the root of 4).
inline bool rounds_to_nearest() { return (_mm_getcsr() & _MM_ROUND_MASK) == _MM_ROUND_NEAREST; }

}  // namespace zorn::tess::cx
