// Single precision ln(1 + x): a four-lane fast path (in single precision, groups with a lane
// near zero in double precision) for x > -1 finite and the callout for every other lane.
// Reports nothing.
#pragma once

#include <cstdint>

#include "tess_kernels/exp_log/log_reduction_single.h"
#include "tess_kernels/exp_log/rounds_to_nearest_single.h"
#include "tess_kernels/frame/lane_loop_single.h"

namespace zorn::tess {

namespace log1p_single_data {
// Rows 0-64 at the points c = 1 + j/64 (1/c head and rest, ln c head and rest), then rows
// of four equal lanes (tools/tess_tables/ln_tables.cpp, argument log1p). Defined in
// log1p_single.cpp, out of sight of the kernel, so that GCC reads the lane rows as
// vector memory operands rather than rebuilding each from a scalar load and a broadcast
// in every group.
alignas(16) extern const float kLog1pRowsSingle[70][4];
enum LaneRow { kMinusHalf = 65, kThird, kMinusQuarter, kLn2Head, kLn2Rest };
}  // namespace log1p_single_data

// The correct single precision ln(1 + x) of *x in *r; its status is always 0.
int32_t tess_callout_sLog1p(const float* x, float* r);

struct Log1pSingle : LaneLoopSingle<Log1pSingle> {
  // Groups with a lane below 1/16 in magnitude, and all groups under a directed rounding
  // mode (where the two-sum below is not exact), take the double precision path; the
  // others run in single precision. u = 1 + x rounded and its error a by Knuth's two-sum,
  // u = 2^e m with m in [1, 2) and c = 1 + j/64 the nearest point (j = 0..64), so that
  // ln(1 + x) = e ln 2 + ln c + ln(1 + r), r = (d + a 2^-e) / c, d = m - c exact.
  // With the table's 8-bit head of 1/c, r_hi = d head is exact (d has at most 16
  // significant bits) and r_lo = d rest + a 2^-e head carries the rest; ln(1 + r) to
  // degree 4 (|r| <= 2^-7, truncation below 2^-37). e ln2_hi + ln c's head is exact (both
  // multiples of 2^-16 below 2^7), and the rest sums to at most 2^-7 + 2^-10 (one
  // rounding of at most 2^-31) before the last sum. For |x| >= 1/16 the result is at
  // least 0.06 in magnitude, so the error stays below 0.6 ulp.
  static simd::F32x4 fast_path(simd::F32x4 x) {
    using simd::F32x4;
    using simd::I32x4;
    namespace data = log1p_single_data;
    if (!rounds_to_nearest_single() ||
        simd::lane_mask(I32x4::splat(0x3D800000) > simd::bits(simd::abs(x))) != 0) {
      return near_zero(x);
    }
    const auto lanes = [](data::LaneRow i) {
      return F32x4{_mm_load_ps(data::kLog1pRowsSingle[i])};
    };
    const F32x4 one = F32x4::splat(1.0f);
    const F32x4 u = x + one;
    const F32x4 u_from_x = u - x;
    const F32x4 a = (x - (u - u_from_x)) + (one - u_from_x);
    const I32x4 b = simd::bits(u);
    const I32x4 mantissa = b & I32x4::splat(0x007FFFFF);
    const I32x4 m_bits = mantissa | I32x4::splat(0x3F800000);
    const F32x4 d =
        simd::from_bits(m_bits) - simd::from_bits((m_bits + I32x4::splat(0x10000)) &
                                                  I32x4::splat(static_cast<int32_t>(0xFFFE0000u)));
    // 2^-e from the exponent field; 0 for e = 127, where a 2^-e is far below the result's ulp.
    const F32x4 inverse_scale =
        simd::from_bits(I32x4::splat(0x7F000000) - (b & I32x4::splat(0x7F800000)));
    const F32x4 e = simd::to_float((b >> 23) - I32x4::splat(127));
    F32x4 row[4];  // 1/c head and rest, ln c head and rest
    simd::gather_rows(data::kLog1pRowsSingle, (mantissa + I32x4::splat(0x10000)) >> 17,
                      row);
    const F32x4 r_hi = d * row[0];
    const F32x4 r_lo = d * row[1] + (a * inverse_scale) * row[0];
    const F32x4 r = r_hi + r_lo;
    const F32x4 p = (r * r) * (lanes(data::kMinusHalf) +
                               r * (lanes(data::kThird) + r * lanes(data::kMinusQuarter)));
    const F32x4 head = e * lanes(data::kLn2Head) + row[2];
    const F32x4 rest = r_lo + ((row[3] + e * lanes(data::kLn2Rest)) + p);
    return head + (r_hi + rest);
  }

  // 1 + x = 2^e m split as in log_split, with e and the point j read from 1 + x rounded
  // to float (a neighbouring point only makes |r| a little larger). With k = 2^-e c^-1
  // (11 significant bits), r = m c^-1 - 1 = x k + (k - 1): x k is exact (35 bits), and so
  // is k - 1 wherever the result is small (k near 1), so that r rounds once, in any
  // rounding mode, and equals x itself at the point 1 (e = j = 0, or e = -1 and j = 64,
  // whose row holds ln 2): for |x| < 2^-8 the float 1 + x lies at that point, and the
  // result keeps its relative accuracy however small x is.
  static simd::F32x4 near_zero(simd::F32x4 x) {
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
    // The result has the sign of x, which the sum loses only for x = -0.
    return simd::or_sign(
        simd::to_float(half(simd::low_to_double(x), simd::low_to_double(s.e), scale_low, j[0], j[1]),
                       half(simd::high_to_double(x), simd::high_to_double(s.e), scale_high, j[2],
                            j[3])),
        x);
  }

  // x <= -1, +inf and NaN: where 1 + x is not a positive finite float (one range test of
  // its bits; the fast path computes the same sum). 1 + x rounds to +inf only for the
  // largest floats under rounding upward, which the callout then takes.
  static int special_lanes(simd::F32x4 x) {
    return lanes_outside(x + simd::F32x4::splat(1.0f), 0x00000001, 0x7F7FFFFF);
  }

  static int32_t callout(const float* x, float* r) { return tess_callout_sLog1p(x, r); }
};

}  // namespace zorn::tess
