// The special-lane test and argument reductions that the single precision logarithms
// share.
#pragma once

#include <cstdint>

#include "tess_kernels/exp_log/double_cores_single.h"
#include "tess_kernels/exp_log/lanes_inside_single.h"
#include "tess_kernels/frame/polynomial_double.h"
#include "tess_kernels/frame/simd.h"

namespace zorn::tess {

// Lanes outside the positive normal floats (bits 0x00800000 to 0x7F7FFFFF): zeros,
// subnormals, negatives, infinities and NaNs.
inline int positive_normal_complement(simd::F32x4 x) {
  return lanes_outside(x, 0x00800000, 0x7F7FFFFF);
}

constexpr int32_t kTwoThirdsBits = 0x3F2AAAAB;
constexpr int32_t kHalfRootTwoBits = 0x3F3504F3;  // sqrt(2)/2 rounded down

// x = 2^e m with m in [low, 2 low) for a positive normal x and the bits of a float low in
// [1/2, 1), from the bits alone: e as integers and m - 1 exactly.
inline void reduce_from(int32_t low_bits, simd::F32x4 x, simd::I32x4& e,
                        simd::F32x4& m_minus_1) {
  using simd::I32x4;
  const I32x4 u = simd::bits(x) - I32x4::splat(low_bits);
  e = u >> 23;
  const simd::F32x4 m = simd::from_bits((u & I32x4::splat(0x007FFFFF)) + I32x4::splat(low_bits));
  m_minus_1 = m - simd::F32x4::splat(1.0f);
}

// Q of ln(1 + r) = r - r^2/2 + r^3 Q(r) in single precision for r = m - 1 with m in
// [2/3, 4/3) (reduce_from with kTwoThirdsBits), from degree 0; s Ln and s Log1p share it.
constexpr float kLnSeriesTailSingle[8] = {
    0.3333321511745453f,  -0.24999797344207764f, 0.20010405778884888f, -0.16680487990379333f,
    0.140058696269989f,   -0.12184260785579681f, 0.1398443728685379f,  -0.12891685962677002f};
inline simd::F32x4 ln_series_tail_single_coefficient(size_t i) {
  return simd::F32x4::splat(kLnSeriesTailSingle[i]);
}

// Q by Horner's rule (s Ln's order).
inline simd::F32x4 ln_series_tail_single(simd::F32x4 r) {
  simd::F32x4 q = ln_series_tail_single_coefficient(7);
  for (size_t i = 7; i-- > 0;) q = ln_series_tail_single_coefficient(i) + r * q;
  return q;
}

// log_base x = e log_base 2 + log_base c + ln(1 + r) / ln base for positive normal x (see
// log_split), with Column the table column of log_base c; in double precision, rounded
// once per lane.
template <int Column>
ZORN_FAST_INLINE simd::F32x4 log_by_points(simd::F32x4 x, double log_of_two,
                                           double inverse_ln_base) {
  using simd::F64x2;
  const LogSplit s = log_split(x);
  uint32_t j[4];
  simd::index_lanes(s.j, j);
  const auto half = [&](F64x2 m, F64x2 e, uint32_t j0, uint32_t j1) {
    const auto& table = log_single_data::kLogPointsSingle;
    const F64x2 r = m * simd::gather_column(table, 0, j0, j1) - F64x2::splat(1.0);
    return (e * F64x2::splat(log_of_two) + simd::gather_column(table, Column, j0, j1)) +
           ln_one_plus_small(r) * F64x2::splat(inverse_ln_base);
  };
  return simd::to_float(half(simd::low_to_double(s.m), simd::low_to_double(s.e), j[0], j[1]),
                        half(simd::high_to_double(s.m), simd::high_to_double(s.e), j[2], j[3]));
}

// Whether a lane lies in [0.5, 2), where log x may be small and cancel; the rest of the
// positive normal floats have |log_base x| >= log_base 2.
inline bool any_lane_near_one(simd::F32x4 x) {
  return lanes_inside(x, 0x3F000000, 0x3FFFFFFF) != 0;
}

namespace log_single_data {
// Rows of four equal lanes (tools/tess_tables/ln_tables.cpp): Q_b's coefficients from
// degree 0, then 1/ln b's rest and head, then log_b 2's rest and head. Defined in
// log2_log10_single.cpp, out of sight of the kernels: GCC then reads each as a vector
// memory operand where the loop's registers run out, where a constant it can see would be
// rebuilt from a scalar load and a broadcast (two instructions) in every group.
constexpr int kFloatLogRows = 13;
alignas(16) extern const float kLog2FloatLanes[kFloatLogRows][4];
alignas(16) extern const float kLog10FloatLanes[kFloatLogRows][4];
}  // namespace log_single_data

// log_base x in single precision for positive normal x outside [0.5, 2), without a table.
// x = 2^e m with m in [sqrt(2)/2, sqrt(2)) and r = m - 1 exact (reduce_from);
// log_base x = e log_base(2)_head + (r head + (r rest + r^2 Q(r) + e log_base(2)_rest)).
// e log_base(2)_head is exact (a 16-bit head by an 8-bit e), and so is r head: r is a
// multiple of 2^-24 (of 2^-23 where m >= 1) and the head has two significant bits, so the
// product is a multiple of 2^-25 below 1/2 (2^-24 below 1) for log2 and of 2^-27 below 1/8
// (2^-26 below 1/4) for log10. Only the sum in brackets (at most log_base sqrt(2)) and the
// small terms round before the last sum, which is at least log_base 2 in magnitude
// outside [0.5, 2): within 0.5 + 0.25 + 0.1 ulp. Q errs below 2^-26.7 (log2) and 2^-28.9
// (log10) absolutely. For base 2 the head of log_b 2 is 1 and its rest 0.
template <const float (&kLanes)[log_single_data::kFloatLogRows][4], bool kBaseTwo>
ZORN_FAST_INLINE simd::F32x4 log_away_from_one(simd::F32x4 x) {
  using simd::F32x4;
  const auto row = [](int i) { return F32x4{_mm_load_ps(kLanes[i])}; };
  simd::I32x4 e_bits;
  F32x4 r;
  reduce_from(kHalfRootTwoBits, x, e_bits, r);
  const F32x4 e = simd::to_float(e_bits);
  // Estrin's order: the chain from r to the result is about half as long as by Horner's
  // rule, which left the loop waiting on it.
  const F32x4 q = estrin_of<9>(r, [&](size_t i) { return row(static_cast<int>(i)); });
  F32x4 small = r * row(9) + (r * r) * q;
  if constexpr (!kBaseTwo) small = small + e * row(11);
  const F32x4 fraction = r * row(10) + small;
  if constexpr (kBaseTwo) return e + fraction;
  return e * row(12) + fraction;
}

}  // namespace zorn::tess
