// Single precision 2^x: a four-lane fast path for arguments with normal results and the callout for every other lane.
#pragma once

#include <cstdint>

#include "tess_kernels/exp_log/exp_single.h"
#include "tess_kernels/frame/lane_loop_single.h"

namespace zorn::tess {

// The correct single precision 2^x of *x in *r and its status (3 overflow, 4 underflow).
int32_t tess_callout_sExp2(const float* x, float* r);

struct Exp2Single : LaneLoopSingle<Exp2Single> {
  // Two groups a step (LaneLoopSingle::paired_block): measured faster, same bits.
  static constexpr bool kPairedVectors = true;
  // In single precision, as the exponential: n = the nearest integer to 128 x, f = x - n/128
  // exactly, r = f ln 2 in [-0.0028, 0.0028] and e^r - 1 to degree 3; 2^(n/128) from the
  // table and the bits of t.
  static simd::F32x4 fast_path(simd::F32x4 x) {
    using simd::F32x4;
    const F32x4 shifter = F32x4::splat(12582912.0f);  // 1.5 * 2^23
    const F32x4 t = x * F32x4::splat(128.0f) + shifter;
    const F32x4 n = t - shifter;
    const F32x4 r = (x - n * F32x4::splat(0.0078125f)) * F32x4::splat(0.693147182f);
    const F32x4 p = r + (r * r) * (F32x4::splat(0.5f) + r * F32x4::splat(1.0f / 6));
    return ExpSingle::table_power_128(t, p);
  }

  // Everything outside [-126, 128 - 1/256): results that overflow or are subnormal, NaNs,
  // and the top arguments whose n rounds up to 128 * 128 (a scale of 2^128).
  static int special_lanes(simd::F32x4 x) {
    return simd::lane_mask_less(x, simd::F32x4::splat(-126.0f)) |
           simd::lane_mask_not_less(x, simd::F32x4::splat(127.99609375f));
  }

  static int32_t callout(const float* x, float* r) { return tess_callout_sExp2(x, r); }
};

}  // namespace zorn::tess
