// Single precision 2^x: a four-lane fast path for arguments with normal results and the callout for every other lane.
#pragma once

#include <bit>
#include <cstdint>

#include "tess_kernels/frame/lane_loop_single.h"
#include "tess_kernels/frame/simd.h"

namespace zorn::tess {

namespace exp2_single_data {
#include "tess_kernels/exp_log/data/exp2_half_step_single.inc"
}  // namespace exp2_single_data

// The correct single precision 2^x of *x in *r and its status (3 overflow, 4 underflow).
int32_t tess_callout_sExp2(const float* x, float* r);

struct Exp2Single : LaneLoopSingle<Exp2Single> {
  // Two groups a step (LaneLoopSingle::paired_block): measured faster, same bits.
  static constexpr bool kPairedVectors = true;
  // In single precision on half steps: n = the nearest integer to 2x, f = x - n/2 exact,
  // |f| <= 1/4, and 2^x = 2^(n div 2) (sqrt 2)^(n mod 2) (1 + f P(f)). sqrt(2) is a float
  // head and rest picked by the low bit of n (no table), and 2^(n div 2) is added to the
  // exponent field of the result; P to degree 4 (tools/tess_tables, argument float) errs
  // below 2^-28. Exhaustively on |x| < 2 (every third float) within 0.82 ulp; 2^(n div 2)
  // is exact, so that error holds everywhere.
  static simd::F32x4 fast_path(simd::F32x4 x) {
    using simd::F32x4;
    using simd::I32x4;
    namespace data = exp2_single_data;
    const auto c = [](int i) { return F32x4::splat(data::kExp2HalfStepPolynomial[i]); };
    // 1.5 * 2^22, whose ulp is 1/2: x + shifter rounds x to n/2, with n in the low bits of t.
    const F32x4 shifter = F32x4::splat(6291456.0f);
    const F32x4 t = x + shifter;
    const F32x4 f = x - (t - shifter);
    const F32x4 p = f * (c(0) + f * (c(1) + f * (c(2) + f * (c(3) + f * c(4)))));
    const I32x4 odd = (simd::bits(t) << 31) >> 31;
    constexpr int32_t kOneBits = 0x3F800000;
    const F32x4 head = simd::from_bits(
        I32x4::splat(kOneBits) +
        (odd & I32x4::splat(std::bit_cast<int32_t>(data::kRootTwoHead) - kOneBits)));
    const F32x4 rest =
        simd::from_bits(odd & I32x4::splat(std::bit_cast<int32_t>(data::kRootTwoRest)));
    const F32x4 y = (head * p + rest) + head;
    // n div 2 from bits 1-9 of t, shifted into the exponent field.
    return simd::from_bits(simd::bits(y) +
                           ((simd::bits(t) << 22) & I32x4::splat(static_cast<int32_t>(0xFF800000u))));
  }

  // |x| above 126 (one test of the bits): results that overflow or are subnormal, NaNs,
  // and the normal results of (126, 128), which the callout takes as well. Inside, the
  // result stays normal: at n = -252 only x = -126 itself, with y = 1 exactly.
  static int special_lanes(simd::F32x4 x) {
    return simd::lane_mask(simd::bits(simd::abs(x)) > simd::I32x4::splat(0x42FC0000));  // 126
  }

  static int32_t callout(const float* x, float* r) { return tess_callout_sExp2(x, r); }
};

}  // namespace zorn::tess
