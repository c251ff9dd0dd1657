// The special-lane test and argument reductions that the single precision logarithms
// share.
#pragma once

#include <cstdint>

#include "tess_kernels/exp_log/double_cores_single.h"
#include "tess_kernels/exp_log/lanes_inside_single.h"
#include "tess_kernels/frame/simd.h"

namespace zorn::tess {

// Lanes outside the positive normal floats (bits 0x00800000 to 0x7F7FFFFF): zeros,
// subnormals, negatives, infinities and NaNs.
inline int positive_normal_complement(simd::F32x4 x) {
  return lanes_outside(x, 0x00800000, 0x7F7FFFFF);
}

constexpr int32_t kTwoThirdsBits = 0x3F2AAAAB;

// x = 2^e m with m in [low, 2 low) for a positive normal x and the bits of a float low in
// [1/2, 1), from the bits alone: e 2^23 as floats (exact: at most nine significant bits)
// and m - 1 exactly. e 2^23 is bits - low's bits with the low 23 bits cleared, and m's
// bits are the bits less e 2^23: three integer operations where e itself (a shift) and m
// (a mask and an addition) take four. Callers scale their constants by 2^-23: exact, so
// each product is the same number and rounds alike.
inline void reduce_from(int32_t low_bits, simd::F32x4 x, simd::F32x4& e_scaled,
                        simd::F32x4& m_minus_1) {
  using simd::I32x4;
  const I32x4 b = simd::bits(x);
  const I32x4 high_nine = I32x4::splat(static_cast<int32_t>(0xFF800000));
  const I32x4 e_bits = (b - I32x4::splat(low_bits)) & high_nine;
  e_scaled = simd::to_float(e_bits);
  m_minus_1 = simd::from_bits(b - e_bits) - simd::F32x4::splat(1.0f);
}

// Q of ln(1 + r) = r - r^2/2 + r^3 Q(r) in single precision for r = m - 1 with m in
// [2/3, 4/3) (reduce_from with kTwoThirdsBits), from degree 0; s Ln and s Log1p share it.
constexpr float kLnSeriesTailSingle[8] = {
    0.3333321511745453f,  -0.24999797344207764f, 0.20010405778884888f, -0.16680487990379333f,
    0.140058696269989f,   -0.12184260785579681f, 0.1398443728685379f,  -0.12891685962677002f};

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

// The lanes in [0.5, 2), one bit a lane, where log x may be small and cancel; the rest of
// the positive normal floats have |log_base x| >= log_base 2. Those lanes' top byte is
// 0x3F: one byte comparison (pcmpeqb), whose top byte is the lane's sign bit that movmskps
// reads, where a range test takes an addition and a comparison.
inline int near_one_mask(simd::F32x4 x) {
  const __m128i top = _mm_cmpeq_epi8(simd::bits(x).v, _mm_set1_epi32(0x3F000000));
  return _mm_movemask_ps(_mm_castsi128_ps(top));
}
inline bool any_lane_near_one(simd::F32x4 x) { return near_one_mask(x) != 0; }
// The same lanes as an all-ones mask.
inline simd::F32x4 near_one_lanes(simd::F32x4 x) {
  return {_mm_castsi128_ps(
      _mm_cmpeq_epi32(_mm_srli_epi32(simd::bits(x).v, 24), _mm_set1_epi32(0x3F)))};
}

namespace log_single_data {
// From tools/tess_tables/ln_tables.cpp (argument lanes): for c = 1 + j/128, j = 0..128,
// rows {log_b(c)_hi - 127 log_b(2)_hi, log_b(c)_lo - 127 log_b(2)_lo}, hi and log_b(2)_hi
// multiples of 2^-12 (the exponent's bias folded in); and rows of four equal lanes: a, b
// of log_b(1 + r) ~ a r + b r^2 for |r| <= 2^-8, log_b(2)_hi and log_b(2)_lo. Defined in
// log2_log10_single.cpp, out of sight of the kernels: GCC then reads each row of lanes as
// a vector memory operand where the loop's registers run out, where a constant it can
// see would be rebuilt from a scalar load and a broadcast (two instructions) in every
// group.
constexpr int kFloatLogRows = 4;
alignas(16) extern const float kLog2PointsFloat[129][2];
alignas(16) extern const float kLog10PointsFloat[129][2];
alignas(16) extern const float kLog2FloatLanes[kFloatLogRows][4];
alignas(16) extern const float kLog10FloatLanes[kFloatLogRows][4];
}  // namespace log_single_data

// log_base x in single precision for positive normal x outside [0.5, 2). x = 2^e m with
// c = 1 + j/128 the nearest point to m and r = (m - c)/c, |r| <= 2^-8: the exact integer
// difference of the mantissas divided by c 2^23 (whose bits are j's plus a constant), so
// r is rounded once and no reciprocal needs a table column. (e + 127) log_base(2)_hi +
// the row's hi is exact (multiples of 2^-12 below 2^7); the lo parts and log_base(1 + r),
// economised to degree 2 (within 2^-27 / ln b), add at most 0.016, so their rounding
// errors stay near 0.03 ulp of a result of at least log_base 2. Two columns are gathered
// by one 8-byte load a lane.
template <const float (&kPoints)[129][2],
          const float (&kLanes)[log_single_data::kFloatLogRows][4], bool kBaseTwo>
ZORN_FAST_INLINE simd::F32x4 log_by_float_points(simd::F32x4 x) {
  using simd::F32x4;
  using simd::I32x4;
  const auto lanes = [](int i) { return F32x4{_mm_load_ps(kLanes[i])}; };
  const I32x4 b = simd::bits(x);
  const I32x4 mantissa = b & I32x4::splat(0x007FFFFF);
  const I32x4 j = (mantissa + I32x4::splat(0x8000)) >> 16;
  const I32x4 point = j << 16;
  const F32x4 biased_e = simd::to_float(b >> 23);
  F32x4 hi, lo;
  simd::gather_pairs(kPoints, j, hi, lo);
  const F32x4 r = simd::to_float(mantissa - point) /
                  simd::from_bits(point + I32x4::splat(0x4B000000));  // c 2^23
  const F32x4 t = r * (lanes(0) + r * lanes(1));
  if constexpr (kBaseTwo) return (biased_e + hi) + (lo + t);
  return (biased_e * lanes(2) + hi) + (lo + (biased_e * lanes(3) + t));
}

}  // namespace zorn::tess
