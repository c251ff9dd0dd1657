// Single precision ln(1 + x): a four-lane fast path (in single precision under rounding to
// nearest, in double precision under a directed mode) for x > -1 finite and the callout
// for every other lane. Reports nothing.
#pragma once

#include <cstdint>

#include "tess_kernels/exp_log/flagged_results.h"
#include "tess_kernels/exp_log/log_reduction_single.h"
#include "tess_kernels/exp_log/rounds_to_nearest_single.h"
#include "tess_kernels/frame/lane_loop_single.h"
#include "tess_kernels/frame/polynomial_double.h"
#include "tess_kernels/frame/splat_rows.h"

namespace zorn::tess {

// The correct single precision ln(1 + x) of *x in *r; its status is always 0.
int32_t tess_callout_sLog1p(const float* x, float* r);

namespace log1p_single_data {
enum LaneRow { kMinusLn2Head, kMinusLn2Rest, kMinusHalf, kTail, kRowCount = kTail + 8 };
// The float path's constants as rows of four equal lanes, read through an opaque pointer:
// GCC then uses each as a vector memory operand, where a constant it can see was rebuilt
// by a scalar load and a broadcast (`shufps`, on the vector ports that bound this loop)
// in every pass once the registers ran out.
constexpr float kValues[kRowCount] = {
    -0.693145751953125f,    -1.428606765330187e-06f, -0.5f,
    kLnSeriesTailSingle[0], kLnSeriesTailSingle[1], kLnSeriesTailSingle[2],
    kLnSeriesTailSingle[3], kLnSeriesTailSingle[4], kLnSeriesTailSingle[5],
    kLnSeriesTailSingle[6], kLnSeriesTailSingle[7]};
constexpr simd::SplatRows<float, kRowCount> kRows(kValues);
}  // namespace log1p_single_data

struct Log1pSingle : LaneLoopSingle<Log1pSingle>, EdgeFlagsFromCallouts {
  // Two groups a step, as s Ln (1.2x faster here).
  static constexpr bool kPairedVectors = true;
  // As s Ln, under rounding to nearest (special_lanes hands every group to in_double under a
  // directed mode, where the error term below is not exact and the result not within an
  // ulp): u = 1 + x rounded gives e with u = 2^e m, m in [2/3, 4/3), and ln(1 + x) =
  // e ln 2 + ln(1 + r) with r = (1 + x) k - 1 = x k - (1 - k), k = 2^-e. x k is exact, and
  // so is 1 - k for e <= 24 (beyond, it rounds to 1, 2^-25 off against a result above 17).
  // The difference rounds once and its error comes by Fast2Sum with k - 1 first: for e = 0
  // it is zero, for e < 0 the two cancel within a factor of 2 (Sterbenz: r is exact), and
  // for e > 0 |k - 1| >= 1/2 either has the larger exponent or lies within a factor of 2 of
  // x k in (1, 4/3). The series takes the rounded r and its error d enters as
  // d / (1 + r) ~ d (1 - r). Where 1 + x rounds and x is small (e = 0), r = x exactly and
  // the result keeps its relative accuracy down to x = 0.
  // Every float x > -1 checked against a double log1p: at most 0.883 ulp.
  static simd::F32x4 fast_path(simd::F32x4 x) {
    using simd::F32x4;
    using simd::I32x4;
    using namespace log1p_single_data;
    const simd::SplatReader<float, kRowCount> rows(kRows);
    // A broadcast, as in special_lanes, so that the compiler shares the sum 1 + x.
    const F32x4 one = F32x4::splat(1.0f);
    // -e = ceil((bits of 2/3 - bits of u) / 2^23), and k = 2^-e: normal for e <= 126;
    // e >= 127 is a special lane.
    const I32x4 minus_e_bits =
        (I32x4::splat(kTwoThirdsBits + 0x007FFFFF) - simd::bits(x + one)) >> 23;
    const F32x4 k = simd::from_bits(I32x4::splat(0x3F800000) + (minus_e_bits << 23));
    const F32x4 one_minus_k = one - k;
    const F32x4 scaled = x * k;
    const F32x4 r = scaled - one_minus_k;
    const F32x4 r_error = scaled - (r + one_minus_k);
    const F32x4 minus_e = simd::to_float(minus_e_bits);
    // e ln2_hi is exact (a 15-bit head) and at least |r| unless e = 0, so its sum with r
    // and that sum's error come by Fast2Sum too: where they cancel (x near 1/3, e = 1,
    // m near 2/3) only the small terms and the last sum round.
    // The signs are chosen so that x = -0 gives -0 with no further operation: r = -0 - (+0),
    // hi = (+0) (-ln2_hi) = -0, and every sum below then adds two -0.
    const F32x4 hi = minus_e * rows[kMinusLn2Head];
    const F32x4 sum = hi + r;
    const F32x4 sum_error = r - (sum - hi);
    // r^2/2 apart from the rest of the series: its one rounding is the largest error of
    // the small terms, which the result at x near 1/3 magnifies 1.4 times. The rest in
    // Estrin's order, whose chain is shorter than Horner's (1.07x faster).
    const F32x4 square = r * r;
    const F32x4 tail = estrin_of<8>(r, [&](size_t i) { return rows[kTail + i]; });
    const F32x4 correction = r_error * (one - r) + minus_e * rows[kMinusLn2Rest];
    const F32x4 small = square * rows[kMinusHalf] + (square * (r * tail) + correction);
    return sum + (sum_error + small);
  }

  // The result under a directed rounding mode, for every x > -1 finite.
  // 1 + x = 2^e m split as in log_split, with e and the point j read from 1 + x rounded
  // to float (a neighbouring point only makes |r| a little larger). With k = 2^-e c^-1
  // (11 significant bits), r = m c^-1 - 1 = x k + (k - 1): x k is exact (35 bits), and so
  // is k - 1 wherever the result is small (k near 1), so that r rounds once, in any
  // rounding mode, and equals x itself at the point 1 (e = j = 0, or e = -1 and j = 64,
  // whose row holds ln 2): for |x| < 2^-8 the float 1 + x lies at that point, and the
  // result keeps its relative accuracy however small x is.
  static simd::F32x4 in_double(simd::F32x4 x) {
    using simd::F64x2;
    const LogSplit s = log_split(x + simd::F32x4::splat(1.0f));
    F64x2 scale_low, scale_high;
    simd::reciprocal_powers_of_two(s.e, scale_low, scale_high);
    uint32_t j[4];
    simd::index_lanes(s.j, j);
    const auto half = [](F64x2 xd, F64x2 e, F64x2 scale, uint32_t j0, uint32_t j1) {
      const auto& table = log_single_data::kLogPointsSingle;
      const F64x2 k = scale * simd::gather_column(table, 0, j0, j1);
      const F64x2 r = xd * k + (k - F64x2::splat(1.0));
      return (e * F64x2::splat(0.6931471805599453) + simd::gather_column(table, 1, j0, j1)) +
             ln_one_plus_small(r);
    };
    // The result has the sign of x, which the sum loses for x = -0, and for x = +0
    // rounding down.
    return simd::copy_sign(
        simd::to_float(half(simd::low_to_double(x), simd::low_to_double(s.e), scale_low, j[0], j[1]),
                       half(simd::high_to_double(x), simd::high_to_double(s.e), scale_high, j[2],
                            j[3])),
        x);
  }

  // x <= -1, +inf and NaN, and x from 2^126 4/3 on (where e >= 127 and 2^-e is no normal
  // float): where the bits of 1 + x lie outside [kSumLow, kSumHigh] (one range test; the
  // fast path computes the same sum). 1 + x is at least 2^-24 or at most 0, so any low
  // bound up to 2^-24 serves; this one suits any_lane_outside. Under a directed rounding
  // mode, every lane (see finish_lanes).
  static constexpr uint32_t kSumLow = 0x0000AAAB;
  static constexpr uint32_t kSumHigh = kTwoThirdsBits + 0x3F7FFFFF;  // below 2^126 4/3
  static int special_lanes(simd::F32x4 x) {
    const int outside = lanes_outside(x + simd::F32x4::splat(1.0f), kSumLow, kSumHigh);
    return rounds_to_nearest_single() ? outside : 0xF;
  }
  static bool any_special_lane(simd::F32x4 x0, simd::F32x4 x1) {
    const simd::F32x4 one = simd::F32x4::splat(1.0f);
    return !rounds_to_nearest_single() || any_lane_outside(x0 + one, x1 + one, kSumLow, kSumHigh);
  }

  // Under a directed rounding mode, the group by in_double, leaving x <= -1, +inf and NaN
  // to the callout (1 + x rounds to +inf only for the largest floats under rounding
  // upward, which the callout then takes too).
  static int finish_lanes(const float x[4], float y[4], int special) {
    if (rounds_to_nearest_single()) return special;
    const simd::F32x4 v = simd::F32x4::load(x);
    in_double(v).store(y);
    return special & lanes_outside(v + simd::F32x4::splat(1.0f), 0x00000001, 0x7F7FFFFF);
  }

  static int32_t callout(const float* x, float* r) { return tess_callout_sLog1p(x, r); }
};

}  // namespace zorn::tess
