// Single precision 10^x: a four-lane fast path for arguments with normal results and the
// callout for every other lane.
#pragma once

#include <cstdint>

#include "tess_kernels/exp_log/exp_single.h"
#include "tess_kernels/frame/lane_loop_single.h"

namespace zorn::tess {

// The correct single precision 10^x of *x in *r and its status (3 overflow, 4 underflow).
int32_t tess_callout_sExp10(const float* x, float* r);

struct Exp10Single : LaneLoopSingle<Exp10Single> {
  // Two groups a step (LaneLoopSingle::paired_block): measured faster, same bits.
  static constexpr bool kPairedVectors = true;
  // The largest float whose 10^x is finite (log10 of the overflow threshold is
  // 38.5318394...; the float 38.53184 lies above it).
  static constexpr float kLargestFinite = 38.531837f;
  // Arguments up to this one give subnormal or zero results.
  static constexpr float kSubnormalBound = -37.929783f;

  // Above this the fast path's scale could round up to 2^128 (x log2 10 >= 128 - 1/256).
  static constexpr float kFastPathTop = 38.530662f;

  // In single precision, as the exponential: n = the nearest integer to 128 x log2 10,
  // r = x - n log10(2)/128 by a 7-bit leading part (n times it is exact, the difference
  // exact by Sterbenz) and a correction, s = r ln 10 in [-0.0028, 0.0028] and e^s - 1 to
  // degree 3; 2^(n/128) from the table and the bits of t.
  static simd::F32x4 fast_path(simd::F32x4 x) {
    using simd::F32x4;
    const F32x4 shifter = F32x4::splat(12582912.0f);  // 1.5 * 2^23
    const F32x4 t = x * F32x4::splat(425.206787f) + shifter;
    const F32x4 n = t - shifter;
    const F32x4 r = (x - n * F32x4::splat(0.002349853515625f)) -
                    n * F32x4::splat(1.94332551e-06f);
    const F32x4 s = r * F32x4::splat(2.30258512f);
    const F32x4 p = s + (s * s) * (F32x4::splat(0.5f) + s * F32x4::splat(1.0f / 6));
    return ExpSingle::table_power_128(t, p);
  }

  // Everything outside (-37.929783, 38.530662): overflow, subnormal results, NaNs, and
  // the top finite results.
  static int special_lanes(simd::F32x4 x) {
    return simd::lane_mask_not_greater(x, simd::F32x4::splat(kSubnormalBound)) |
           simd::lane_mask_not_less(x, simd::F32x4::splat(kFastPathTop));
  }

  static int32_t callout(const float* x, float* r) { return tess_callout_sExp10(x, r); }
};

}  // namespace zorn::tess
