// Single precision 2^x: a four-lane fast path in double precision for arguments with
// normal results and the callout for every other lane.
#pragma once

#include <cstdint>

#include "tess_kernels/exp_log/double_cores_single.h"
#include "tess_kernels/exp_log/lane_loop_single.h"

namespace zorn::tess {

// The correct single precision 2^x of *x in *r and its status (3 overflow, 4 underflow).
int32_t tess_callout_sExp2(const float* x, float* r);

struct Exp2Single : LaneLoopSingle<Exp2Single> {
  static simd::F32x4 fast_path(simd::F32x4 x) {
    return in_double(x, [](simd::F64x2 z) {
      const PowerOfTwoParts p = power_of_two_parts(z);
      return p.scale + p.scale * p.q;
    });
  }

  // Everything outside [-126, 128): results that overflow or are subnormal, and NaNs.
  static int special_lanes(simd::F32x4 x) {
    return simd::lane_mask_less(x, simd::F32x4::splat(-126.0f)) |
           simd::lane_mask_not_less(x, simd::F32x4::splat(128.0f));
  }

  static int32_t callout(const float* x, float* r) { return tess_callout_sExp2(x, r); }
};

}  // namespace zorn::tess
