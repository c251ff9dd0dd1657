// Single precision ln(1 + x): a four-lane fast path in double precision for x > -1 finite
// and the callout for every other lane. Reports nothing.
#pragma once

#include <cstdint>

#include "tess_kernels/exp_log/lane_loop_single.h"
#include "tess_kernels/exp_log/log_reduction_single.h"

namespace zorn::tess {

// The correct single precision ln(1 + x) of *x in *r; its status is always 0.
int32_t tess_callout_sLog1p(const float* x, float* r);

struct Log1pSingle : LaneLoopSingle<Log1pSingle> {
  // 1 + x = 2^e m with m in about [2/3, 4/3), e read from 1 + x rounded to float (any
  // nearby e will do) and m = (1 + x) 2^-e in double, exact unless x exceeds 2^53. Where
  // e = 0, x itself takes the place of m - 1, so that no bit of a tiny x is lost.
  static simd::F32x4 fast_path(simd::F32x4 x) {
    using simd::F64x2;
    const simd::I32x4 e = exponent_two_thirds(x + simd::F32x4::splat(1.0f));
    F64x2 scale_low, scale_high;
    simd::reciprocal_powers_of_two(e, scale_low, scale_high);
    const simd::I32x4 e_is_zero = e == simd::I32x4::splat(0);
    const auto half = [](F64x2 xd, F64x2 ed, F64x2 scale, __m128i no_scaling) {
      const F64x2 one = F64x2::splat(1.0);
      const F64x2 f = simd::select(no_scaling, xd, (xd + one) * scale - one);
      return ed * F64x2::splat(0.6931471805599453) + ln_one_plus(f);
    };
    return simd::to_float(
        half(simd::low_to_double(x), simd::low_to_double(e), scale_low,
             simd::low_mask_to_double(e_is_zero)),
        half(simd::high_to_double(x), simd::high_to_double(e), scale_high,
             simd::high_mask_to_double(e_is_zero)));
  }

  // x <= -1, +inf and NaN.
  static int special_lanes(simd::F32x4 x) {
    return simd::lane_mask_not_greater(x, simd::F32x4::splat(-1.0f)) |
           simd::lane_mask_not_less(x, simd::F32x4::splat(INFINITY));
  }

  static int32_t callout(const float* x, float* r) { return tess_callout_sLog1p(x, r); }
};

}  // namespace zorn::tess
