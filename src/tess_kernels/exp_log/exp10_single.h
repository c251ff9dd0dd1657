// Single precision 10^x: a four-lane fast path in double precision for arguments with
// normal results and the callout for every other lane.
#pragma once

#include <cstdint>

#include "tess_kernels/exp_log/double_cores_single.h"
#include "tess_kernels/frame/lane_loop_single.h"

namespace zorn::tess {

// The correct single precision 10^x of *x in *r and its status (3 overflow, 4 underflow).
int32_t tess_callout_sExp10(const float* x, float* r);

struct Exp10Single : LaneLoopSingle<Exp10Single> {
  // The largest float whose 10^x is finite (log10 of the overflow threshold is
  // 38.5318394...; the float 38.53184 lies above it).
  static constexpr float kLargestFinite = 38.531837f;
  // Arguments up to this one give subnormal or zero results.
  static constexpr float kSubnormalBound = -37.929783f;

  // 10^x = 2^(x log2 10); the product carries a relative error of 2^-53 at most, which
  // is 2^-46 absolute in the exponent at the ends of the range.
  static simd::F32x4 fast_path(simd::F32x4 x) {
    return in_double(x, [](simd::F64x2 xd) {
      const PowerOfTwoParts p = power_of_two_parts(xd * simd::F64x2::splat(3.321928094887362));
      return p.scale + p.scale * p.q;
    });
  }

  // Everything outside (-37.929783, 38.531837]: overflow, subnormal results, NaNs.
  static int special_lanes(simd::F32x4 x) {
    return simd::lane_mask_not_greater(x, simd::F32x4::splat(kSubnormalBound)) |
           simd::lane_mask_not_less_equal(x, simd::F32x4::splat(kLargestFinite));
  }

  static int32_t callout(const float* x, float* r) { return tess_callout_sExp10(x, r); }
};

}  // namespace zorn::tess
