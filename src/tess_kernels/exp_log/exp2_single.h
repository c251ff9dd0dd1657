// Single precision 2^x: a four-lane fast path for arguments with normal results and the callout for every other lane.
#pragma once

#include <cstdint>

#include "tess_kernels/exp_log/exp_single.h"
#include "tess_kernels/exp_log/flagged_results.h"
#include "tess_kernels/exp_log/lanes_inside_single.h"
#include "tess_kernels/frame/lane_loop_single.h"

namespace zorn::tess {

// The correct single precision 2^x of *x in *r and its status (3 overflow, 4 underflow).
int32_t tess_callout_sExp2(const float* x, float* r);

struct Exp2Single : LaneLoopSingle<Exp2Single>, EdgeFlagsFromCallouts {
  // Two groups a step (LaneLoopSingle::fast_block): measured faster, same bits.
  static constexpr bool kPairedVectors = true;
  // In single precision, as the exponential: t = x + 1.5 * 2^16 rounds x to a multiple
  // n/128 of 1/128 (n in the low bits of t), f = x - n/128 exactly (|f| <= 1/256) and
  // 2^f - 1 = f (c1 + f (ln 2)^2 / 2) to degree 2, c1 = ln 2 + (3/4) 2^-16 (ln 2)^3 / 6 taking
  // the Chebyshev economisation of the cubic term (error below 2^-30, a quarter of the
  // truncated series'); 2^(n/128) from the table and the bits of t.
  static simd::F32x4 fast_path(simd::F32x4 x) {
    using simd::F32x4;
    const F32x4 shifter = F32x4::splat(98304.0f);  // 1.5 * 2^16
    const F32x4 t = x + shifter;
    const F32x4 f = x - (t - shifter);
    const F32x4 p = f * (F32x4::splat(0.693147838f) + f * F32x4::splat(0.240226507f));
    return ExpSingle::table_power_128(t, p);
  }

  // Lanes outside (-126, 128 - 1/256) or so: results that overflow or are subnormal, NaNs,
  // and the top arguments whose n rounds up to 128 * 128 (a scale of 2^128). The test
  // reads n from the bits of t (1.5 * 2^16 + n/128 in range, far from it elsewhere, NaNs
  // included): the fast path takes n in [-16127, 16383], where 2^(n/128) (1 + p) is a
  // normal float (n = -16128 with p < 0 would not be).
  static int special_lanes(simd::F32x4 x) {
    constexpr uint32_t kShifterBits = 0x47C00000;  // 1.5 * 2^16
    return lanes_outside(x + simd::F32x4::splat(98304.0f), kShifterBits - 16127,
                         kShifterBits + 16383);
  }

  static int32_t callout(const float* x, float* r) { return tess_callout_sExp2(x, r); }
};

}  // namespace zorn::tess
