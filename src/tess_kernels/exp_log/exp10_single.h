// Single precision 10^x: a four-lane fast path for arguments with normal results and the
// callout for every other lane.
#pragma once

#include <cstdint>

#include "tess_kernels/exp_log/exp_single.h"
#include "tess_kernels/exp_log/flagged_results.h"
#include "tess_kernels/exp_log/lanes_inside_single.h"
#include "tess_kernels/frame/lane_loop_single.h"

namespace zorn::tess {

// The correct single precision 10^x of *x in *r and its status (3 overflow, 4 underflow).
int32_t tess_callout_sExp10(const float* x, float* r);

struct Exp10Single : LaneLoopSingle<Exp10Single>, EdgeFlagsFromCallouts {
  // Two groups a step (LaneLoopSingle::fast_block): measured faster, same bits.
  static constexpr bool kPairedVectors = true;
  // The largest float whose 10^x is finite (log10 of the overflow threshold is
  // 38.5318394...; the float 38.53184 lies above it).
  static constexpr float kLargestFinite = 38.531837f;
  // Arguments up to this one give subnormal or zero results.
  static constexpr float kSubnormalBound = -37.929783f;

  // In single precision, as the exponential: n = the nearest integer to 128 x log2 10,
  // r = x - n log10(2)/128 by a 7-bit leading part (n times it is exact, the difference
  // exact by Sterbenz) and a correction, |r| <= a = log10(2)/256, and 10^r - 1 =
  // r (c1 + r (ln 10)^2 / 2) to degree 2, c1 = ln 10 + (3/4) a^2 (ln 10)^3 / 6 taking the
  // Chebyshev economisation of the cubic term (error below 2^-30, a quarter of the
  // truncated series'); 2^(n/128) from the table and the bits of t.
  static simd::F32x4 fast_path(simd::F32x4 x) {
    using simd::F32x4;
    const F32x4 shifter = F32x4::splat(12582912.0f);  // 1.5 * 2^23
    const F32x4 t = x * F32x4::splat(425.206787f) + shifter;
    const F32x4 n = t - shifter;
    const F32x4 r = (x - n * F32x4::splat(0.002349853515625f)) -
                    n * F32x4::splat(1.94332551e-06f);
    const F32x4 p = r * (F32x4::splat(2.30258727f) + r * F32x4::splat(2.65094900f));
    return ExpSingle::table_power_128(t, p);
  }

  // Lanes outside about (-37.9274, 38.530662): overflow, subnormal results, NaNs, and the
  // top finite results. The test reads n from the bits of t (1.5 * 2^23 + n in range, far
  // from it elsewhere, NaNs included): the fast path takes n in [-16127, 16383], where
  // 2^(n/128) (1 + p) is a normal float below 2^128 (n = -16128 with p < 0 would not be).
  static int special_lanes(simd::F32x4 x) {
    using simd::F32x4;
    constexpr uint32_t kShifterBits = 0x4B400000;  // 1.5 * 2^23
    return lanes_outside(x * F32x4::splat(425.206787f) + F32x4::splat(12582912.0f),
                         kShifterBits - 16127, kShifterBits + 16383);
  }

  static int32_t callout(const float* x, float* r) { return tess_callout_sExp10(x, r); }
};

}  // namespace zorn::tess
