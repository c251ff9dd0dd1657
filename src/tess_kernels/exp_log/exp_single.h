// Single precision exponential: a four-lane fast path for |x| <= 87.33654 and the
// double precision callout for every other lane.
#pragma once

#include <cstdint>

#include "tess_kernels/exp_log/flagged_results.h"
#include "tess_kernels/frame/lane_loop_single.h"
#include "tess_kernels/frame/simd.h"
#include "tess_kernels/frame/words_through_memory.h"

namespace zorn::tess {

namespace exp_single_data {
#include "tess_kernels/exp_log/data/exp_tables.inc"
}  // namespace exp_single_data

// The correct single precision e^x of *x in *r and its status (3 overflow, 4 underflow).
int32_t tess_callout_sExp(const float* x, float* r);

struct ExpSingle : LaneLoopSingle<ExpSingle>, EdgeFlagsFromCallouts {
  // Two groups a step (LaneLoopSingle::fast_block): measured faster, same bits.
  static constexpr bool kPairedVectors = true;
  static constexpr int32_t kFastPathLimitBits = 0x42AEAC4F;  // 87.33654
  static constexpr float kOverflowBound = 88.72283f;
  static constexpr float kUnderflowBound = -103.97208f;

  // e^x = 2^(n/128) e^r with n the nearest integer to x * 128 / ln 2: 2^(j/128) from the
  // table (hi + lo), e^r - 1 by r + r^2/2, the power 2^(n div 128) from the bits of t.
  static simd::F32x4 fast_path(simd::F32x4 x) {
    simd::F32x4 t, r;
    reduce(x, t, r);
    const simd::F32x4 p = r + simd::F32x4::splat(0.5f) * (r * r);
    return table_power_128(t, p);
  }

  // x = n ln(2)/128 + r with t holding n in its low mantissa bits (t = n + 1.5 * 2^23) and
  // |r| <= ln(2)/256 (a little more in directed rounding modes). ln(2)/128 is split into a
  // 9-bit head, whose product with n (|n| < 2^14) is exact as is its difference from x,
  // and a correction.
  static constexpr float kInverseStep = 184.66496f;                // 128 / ln 2
  static constexpr float kShifter = 12582912.0f;                   // 1.5 * 2^23
  static constexpr float kMinusStepHead = -0.0054168701171875f;     // -(ln(2)/128)'s head
  static constexpr float kStepRest = 1.6577690757912933e-06f;       // head - ln(2)/128
  static void reduce(simd::F32x4 x, simd::F32x4& t, simd::F32x4& r) {
    using simd::F32x4;
    reduce(x, t, r,
           {F32x4::splat(kInverseStep), F32x4::splat(kShifter), F32x4::splat(kMinusStepHead),
            F32x4::splat(kStepRest)});
  }

  // The constants of reduce as vectors: 128 / ln 2, the shifter, minus the head of ln(2)/128
  // and head - ln(2)/128. A kernel short of registers passes rows it reads from memory.
  struct ReductionConstants {
    simd::F32x4 inverse, shifter, minus_head, rest;
  };
  static void reduce(simd::F32x4 x, simd::F32x4& t, simd::F32x4& r,
                     const ReductionConstants& k) {
    t = x * k.inverse + k.shifter;
    const simd::F32x4 n = t - k.shifter;
    r = (x + n * k.minus_head) + n * k.rest;
  }

  // 2^(n/128) = scale (hi + lo) for n in the low mantissa bits of t = n + 1.5 * 2^23, with
  // n div 128 a normal exponent: hi + lo = 2^(j/128) from the table (j = n mod 128) and
  // scale = 2^(n div 128) from the bits of t (shifted left by 16, the bits of 1.0 added,
  // the exponent field kept).
  struct TablePower {
    simd::F32x4 hi, lo, scale;
  };
  static TablePower table_power_parts(simd::F32x4 t) {
    using simd::I32x4;
    TablePower w;
    table_rows(t, w.hi, w.lo);
    w.scale = simd::from_bits(((simd::bits(t) << 16) + I32x4::splat(0x3F800000)) &
                              I32x4::splat(0x7F800000));
    return w;
  }

  // The table's rows {hi, lo} of 2^((n mod 128)/128) for n in the low bits of t. The row is
  // the low byte of each lane, read by one byte load from the stored bits (the table
  // repeats its 128 rows, so no mask), and the second row of each pair of lanes is loaded
  // into the upper half (movhps): per group a store, four byte loads, four row loads and
  // two shuffles.
  static void table_rows(simd::F32x4 t, simd::F32x4& hi, simd::F32x4& lo) {
    const simd::Words s = simd::words_through_memory(simd::bits(t).v);
    const auto row = [&](int l) {
      return reinterpret_cast<const __m64*>(exp_single_data::kExp2Over128Single[s.w[l] & 0xFF]);
    };
    const auto rows = [&](int l) {
      const __m128 low = _mm_castpd_ps(_mm_load_sd(reinterpret_cast<const double*>(row(l))));
      return _mm_loadh_pi(low, row(l + 1));
    };
    const __m128 r01 = rows(0), r23 = rows(2);
    hi = {_mm_shuffle_ps(r01, r23, _MM_SHUFFLE(2, 0, 2, 0))};
    lo = {_mm_shuffle_ps(r01, r23, _MM_SHUFFLE(3, 1, 3, 1))};
  }

  // 2^(n/128) (1 + p) for t as in table_power_parts (or t = 1.5 * 2^16 + n/128, whose low
  // bits are the same) and a normal result: n div 128 is added to the exponent field of
  // (p hi + lo) + hi, which equals the product by 2^(n div 128) wherever that is a normal
  // float. n div 128 comes from the bits of t shifted left by 16, the table index's seven
  // bits masked off.
  static simd::F32x4 table_power_128(simd::F32x4 t, simd::F32x4 p) {
    using simd::I32x4;
    simd::F32x4 hi, lo;
    table_rows(t, hi, lo);
    const I32x4 exponent = (simd::bits(t) << 16) & I32x4::splat(static_cast<int32_t>(0xFF800000u));
    return simd::from_bits(simd::bits((p * hi + lo) + hi) + exponent);
  }

  // |x| above 87.33654, infinities and NaNs.
  static int special_lanes(simd::F32x4 x) {
    return simd::lane_mask(simd::bits(simd::abs(x)) > simd::I32x4::splat(kFastPathLimitBits));
  }

  static int32_t callout(const float* x, float* r) { return tess_callout_sExp(x, r); }

  // With error handling off, overflowing lanes become +inf and underflowing ones +0 here;
  // returns the special-lane mask without them.
  static int resolve_inline(const float x[4], float y[4], int special);
};

}  // namespace zorn::tess
