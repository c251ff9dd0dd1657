// The gamma function and the logarithm of its magnitude. Double precision runs a two-lane
// fast path (ln Gamma from a table of expansions below 16 and Stirling's series above,
// negative arguments by the reflection; Gamma as the exponential of ln Gamma) with every
// other lane out of line to its callout; single precision widens its lanes through the
// same fast path and has its own callout rules.
#pragma once

#include "tess_kernels/frame/lane_loop_double.h"
#include "tess_kernels/frame/lane_loop_single.h"
#include "tess_kernels/frame/simd.h"

namespace zorn::tess {

// The single precision fast paths: the four lanes widened to two pairs of doubles through
// the double fast path and rounded once; lanes the double path does not take give
// meaningless results.
simd::F32x4 lgamma_widened(simd::F32x4 x);
simd::F32x4 tgamma_widened(simd::F32x4 x);

// ln|Gamma(x)|: fast path for 2^-10 <= |x| < 2^60 (2^51 for negative x), poles and the
// zeros on the negative axis excepted. The poles (non-positive integers) give
// +inf with status 2; above about 2.55e305 the result overflows (status 3).
TESS_DOUBLE_LANE_KERNEL(LGammaDouble, tess_callout_dLGamma);
// Gamma(x): fast path for 2^-10 <= x < 171 and -170 < x <= -2^-10, poles excepted. ±0
// gives ±inf with status 2, a negative integer or -inf NaN with status 1, overflow status
// 3 and results below the normal range status 4.
TESS_DOUBLE_LANE_KERNEL(TGammaDouble, tess_callout_dTGamma);

// Single precision: the widened fast path for magnitudes from 2^-10, below kEnd and above
// kNegativeEnd, negative integers excepted; the other lanes through `eval`.
template <class Self, simd::F32x4 (*Widened)(simd::F32x4), float kEnd, float kNegativeEnd>
struct WidenedGamma : LaneLoopSingle<Self> {
  static simd::F32x4 fast_path(simd::F32x4 x) { return Widened(x); }
  static int special_lanes(simd::F32x4 x) {
    using simd::F32x4;
    const F32x4 zero = F32x4::splat(0.0f);
    // Exact below 2^31 in magnitude; larger lanes are special anyway or positive.
    const F32x4 fraction = simd::abs(x - simd::to_float(simd::truncate_to_int(x)));
    return simd::lane_mask_less(simd::abs(x), F32x4::splat(0x1p-10f)) |
           simd::lane_mask_not_less(x, F32x4::splat(kEnd)) |
           simd::lane_mask_not_greater(x, F32x4::splat(kNegativeEnd)) |
           (simd::lane_mask_not_greater(fraction, zero) & simd::lane_mask_less(x, zero));
  }
  static int32_t callout(const float* x, float* r) { return Self::eval(*x, *r); }
};

struct LGammaSingle : WidenedGamma<LGammaSingle, lgamma_widened, 0x1p60f, -0x1p23f> {
  static int32_t eval(float x, float& r);
};
// The single precision callout: +inf with status 3 from 35.0401 up, a signed zero with
// status 4 below -43 (a negative integer there and everywhere gives NaN with status 1),
// ±inf with status 2 at ±0, and otherwise the double result rounded, status 0.
struct TGammaSingle : WidenedGamma<TGammaSingle, tgamma_widened, 35.0f, -43.0f> {
  static int32_t eval(float x, float& r);
};

}  // namespace zorn::tess
