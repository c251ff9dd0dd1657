// Single precision e^x - 1: a four-lane fast path in double precision for every argument
// up to the overflow threshold (large negative ones included) and the callout for the rest.
#pragma once

#include <cstdint>

#include "tess_kernels/exp_log/double_cores_single.h"
#include "tess_kernels/frame/lane_loop_single.h"

namespace zorn::tess {

// The correct single precision e^x - 1 of *x in *r and its status (3 overflow).
int32_t tess_callout_sExpm1(const float* x, float* r);

struct Expm1Single : LaneLoopSingle<Expm1Single> {
  static constexpr float kOverflowBound = 88.72283f;

  // e^x - 1 = 2^k (2^f - 1) + (2^k - 1) with z = x log2 e = k + f. For k = 0 this is q
  // itself, accurate relative to the result however small x is; for k != 0, |x| > 0.34
  // and the sum cancels little. Below -104 the result is -1 already, so the argument is
  // clamped there to keep 2^k a normal double (also for -inf). The result has the sign of
  // x, which the sum loses only for x = -0. This kernel computes under the caller's
  // rounding mode, hence k = 0 for small z in every mode.
  static simd::F32x4 fast_path(simd::F32x4 x) {
    const simd::F32x4 clamped = simd::max(x, simd::F32x4::splat(-104.0f));
    const simd::F32x4 y = in_double(clamped, [](simd::F64x2 xd) {
      const PowerOfTwoParts p =
          power_of_two_parts(xd * simd::F64x2::splat(1.4426950408889634));
      return p.scale * p.q + (p.scale - simd::F64x2::splat(1.0));
    });
    return simd::or_sign(y, x);
  }

  // Overflow, +inf and NaN.
  static int special_lanes(simd::F32x4 x) {
    return simd::lane_mask_not_less_equal(x, simd::F32x4::splat(kOverflowBound));
  }

  static int32_t callout(const float* x, float* r) { return tess_callout_sExpm1(x, r); }
};

}  // namespace zorn::tess
