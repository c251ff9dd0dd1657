// Thin value types over SSE2: four floats, four 32-bit integers, and lane masks, so that
// a vector fast path reads like its formula, plus the conversions between four floats and
// two pairs of doubles (the double types are in simd_double.h). Every operation is one
// instruction or a short fixed sequence; nothing here is fused.
#pragma once

#include <emmintrin.h>

#include <cstddef>
#include <cstdint>

#include "tess_kernels/frame/simd_double.h"
#include "tess_kernels/frame/words_through_memory.h"

namespace zorn::tess::simd {

struct I32x4 {
  __m128i v;
  static I32x4 splat(int32_t x) { return {_mm_set1_epi32(x)}; }
  friend I32x4 operator+(I32x4 a, I32x4 b) { return {_mm_add_epi32(a.v, b.v)}; }
  friend I32x4 operator-(I32x4 a, I32x4 b) { return {_mm_sub_epi32(a.v, b.v)}; }
  friend I32x4 operator&(I32x4 a, I32x4 b) { return {_mm_and_si128(a.v, b.v)}; }
  friend I32x4 operator|(I32x4 a, I32x4 b) { return {_mm_or_si128(a.v, b.v)}; }
  friend I32x4 operator^(I32x4 a, I32x4 b) { return {_mm_xor_si128(a.v, b.v)}; }
  friend I32x4 operator<<(I32x4 a, int bits) { return {_mm_slli_epi32(a.v, bits)}; }
  // Arithmetic (sign-filling) shift.
  friend I32x4 operator>>(I32x4 a, int bits) { return {_mm_srai_epi32(a.v, bits)}; }
  // Lanes where a > b (signed), as all-ones masks.
  friend I32x4 operator>(I32x4 a, I32x4 b) { return {_mm_cmpgt_epi32(a.v, b.v)}; }
  friend I32x4 operator==(I32x4 a, I32x4 b) { return {_mm_cmpeq_epi32(a.v, b.v)}; }
  int32_t lane0() const { return _mm_cvtsi128_si32(v); }
};

struct F32x4 {
  __m128 v;
  static F32x4 splat(float x) { return {_mm_set1_ps(x)}; }
  static F32x4 load(const float* p) { return {_mm_loadu_ps(p)}; }
  void store(float* p) const { _mm_storeu_ps(p, v); }
  friend F32x4 operator+(F32x4 a, F32x4 b) { return {_mm_add_ps(a.v, b.v)}; }
  friend F32x4 operator-(F32x4 a, F32x4 b) { return {_mm_sub_ps(a.v, b.v)}; }
  friend F32x4 operator*(F32x4 a, F32x4 b) { return {_mm_mul_ps(a.v, b.v)}; }
  friend F32x4 operator/(F32x4 a, F32x4 b) { return {_mm_div_ps(a.v, b.v)}; }
};

inline I32x4 bits(F32x4 x) { return {_mm_castps_si128(x.v)}; }
inline F32x4 from_bits(I32x4 x) { return {_mm_castsi128_ps(x.v)}; }
inline F32x4 abs(F32x4 x) { return from_bits(bits(x) & I32x4::splat(0x7FFFFFFF)); }
// y with the sign bit of x OR-ed in: for functions whose result has the sign of x, this
// keeps -0 for -0.
inline F32x4 or_sign(F32x4 y, F32x4 x) {
  return from_bits(bits(y) | (bits(x) & I32x4::splat(static_cast<int32_t>(0x80000000u))));
}
// |y| with the sign of x: for odd functions computed under the caller's rounding, where
// a sum of zeros of opposite signs rounded down is -0 (so that +0 would come out as -0).
inline F32x4 copy_sign(F32x4 y, F32x4 x) { return or_sign(abs(y), x); }
inline F32x4 max(F32x4 a, F32x4 b) { return {_mm_max_ps(a.v, b.v)}; }
// b where either lane is NaN: min(x, bound) never passes a NaN on.
inline F32x4 min(F32x4 a, F32x4 b) { return {_mm_min_ps(a.v, b.v)}; }
inline F32x4 to_float(I32x4 x) { return {_mm_cvtepi32_ps(x.v)}; }
// Truncation toward zero, whatever the rounding mode (for lanes within the int range).
inline I32x4 truncate_to_int(F32x4 x) { return {_mm_cvttps_epi32(x.v)}; }
// Lanes where a < b as an all-ones mask, and the lane-wise choice by such a mask.
inline F32x4 less(F32x4 a, F32x4 b) { return {_mm_cmplt_ps(a.v, b.v)}; }
inline F32x4 select(F32x4 mask, F32x4 if_set, F32x4 if_clear) {
  return {_mm_or_ps(_mm_and_ps(mask.v, if_set.v), _mm_andnot_ps(mask.v, if_clear.v))};
}

// One bit per lane, lane 0 in bit 0, from a mask of all-ones or all-zero lanes.
inline int lane_mask(I32x4 m) { return _mm_movemask_ps(_mm_castsi128_ps(m.v)); }
inline int lane_mask_greater(F32x4 a, F32x4 b) { return _mm_movemask_ps(_mm_cmpgt_ps(a.v, b.v)); }
inline int lane_mask_less(F32x4 a, F32x4 b) { return _mm_movemask_ps(_mm_cmplt_ps(a.v, b.v)); }
// Lanes where !(a > b) and !(a <= b) respectively: NaN lanes are set in both.
inline int lane_mask_not_greater(F32x4 a, F32x4 b) {
  return _mm_movemask_ps(_mm_cmpngt_ps(a.v, b.v));
}
inline int lane_mask_not_less_equal(F32x4 a, F32x4 b) {
  return _mm_movemask_ps(_mm_cmpnle_ps(a.v, b.v));
}
inline int lane_mask_not_less(F32x4 a, F32x4 b) {
  return _mm_movemask_ps(_mm_cmpnlt_ps(a.v, b.v));
}
// Lanes where a or b is NaN.
inline int lane_mask_unordered(F32x4 a, F32x4 b) {
  return _mm_movemask_ps(_mm_cmpunord_ps(a.v, b.v));
}

// Four non-negative 32-bit lanes as table indices, lane 0 first (unsigned, so that they
// index without a sign extension).
inline void index_lanes(I32x4 x, uint32_t out[4]) {
  out[0] = static_cast<uint32_t>(x.lane0());
  out[1] = static_cast<uint32_t>(I32x4{_mm_shuffle_epi32(x.v, 0x55)}.lane0());
  out[2] = static_cast<uint32_t>(I32x4{_mm_shuffle_epi32(x.v, 0xAA)}.lane0());
  out[3] = static_cast<uint32_t>(I32x4{_mm_shuffle_epi32(x.v, 0xFF)}.lane0());
}

// Row indices below 2^16 of four lanes, lane 0 first, read through memory
// (words_through_memory.h): a word extraction (pextrw) per lane costs two vector
// operations on the ports the kernels' arithmetic needs.
inline void row_lanes(I32x4 x, uint32_t out[4]) {
  const Words s = words_through_memory(x.v);
  for (int l = 0; l < 4; ++l) out[l] = s.w[l] & 0xFFFF;
}

// Table rows of two floats, one 8-byte load per lane: first[l] = table[index[l]][0],
// second[l] = table[index[l]][1]. The indices are read back through memory
// (words_through_memory.h): a store and four scalar loads on the load and store ports,
// where moving them out by two 64-bit moves and a pshufd took three operations on the
// vector ports that the kernels around a gather wait on.
inline void gather_pairs(const float (*table)[2], I32x4 index, F32x4& first, F32x4& second) {
  const Words s = words_through_memory(index.v);
  const auto row = [&](int l) {
    return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(table[s.w[l]]));
  };
  const __m128 r01 = _mm_castsi128_ps(_mm_unpacklo_epi64(row(0), row(1)));
  const __m128 r23 = _mm_castsi128_ps(_mm_unpacklo_epi64(row(2), row(3)));
  first = {_mm_shuffle_ps(r01, r23, _MM_SHUFFLE(2, 0, 2, 0))};
  second = {_mm_shuffle_ps(r01, r23, _MM_SHUFFLE(3, 1, 3, 1))};
}

// Table rows of four floats (16-byte aligned, below 4096 rows; the row is the low 12 bits
// of each index lane), one load per lane, transposed: column[c][l] = table[index[l]][c].
// The byte offsets come from one vector shift rather than a shift per lane.
inline void gather_rows(const float (*table)[4], I32x4 index, F32x4 column[4]) {
  uint32_t offset[4];
  row_lanes(index << 4, offset);
  const auto row = [&](int l) {
    return _mm_load_ps(reinterpret_cast<const float*>(reinterpret_cast<const char*>(table) + offset[l]));
  };
  __m128 r0 = row(0), r1 = row(1), r2 = row(2), r3 = row(3);
  _MM_TRANSPOSE4_PS(r0, r1, r2, r3);
  column[0] = {r0};
  column[1] = {r1};
  column[2] = {r2};
  column[3] = {r3};
}

// Rows of two doubles (16-byte aligned, below 2^16 rows; the row is the low 16 bits of
// each index lane), one load per lane: first = (table[i0][0], table[i1][0]), second the
// rows' other column. The index words are read through memory (words_through_memory.h):
// a store and two loads, where a word extraction per lane takes two vector operations.
inline void gather_pairs(const double (*table)[2], I64x2 index, F64x2& first, F64x2& second) {
  const Words s = words_through_memory(index.v);
  const __m128d r0 = _mm_load_pd(table[s.w[0] & 0xFFFF]);
  const __m128d r1 = _mm_load_pd(table[s.w[2] & 0xFFFF]);
  first = {_mm_unpacklo_pd(r0, r1)};
  second = {_mm_unpackhi_pd(r0, r1)};
}

// Column `column` of rows i0 and i1 of a table of doubles, one 8-byte load per lane.
template <size_t W>
inline F64x2 gather_column(const double (*table)[W], int column, uint32_t i0, uint32_t i1) {
  return {_mm_loadh_pd(_mm_load_sd(&table[i0][column]), &table[i1][column])};
}

// Four floats as two pairs of doubles (lanes 0-1, lanes 2-3), exactly, and back with one
// rounding per lane.
inline F64x2 low_to_double(F32x4 x) { return {_mm_cvtps_pd(x.v)}; }
inline F64x2 high_to_double(F32x4 x) { return {_mm_cvtps_pd(_mm_movehl_ps(x.v, x.v))}; }
inline F32x4 to_float(F64x2 low, F64x2 high) {
  return {_mm_movelh_ps(_mm_cvtpd_ps(low.v), _mm_cvtpd_ps(high.v))};
}
// Where a mask lane is all ones, `if_set`; elsewhere `if_clear`.
inline F64x2 select(__m128i mask, F64x2 if_set, F64x2 if_clear) {
  const __m128d m = _mm_castsi128_pd(mask);
  return {_mm_or_pd(_mm_and_pd(m, if_set.v), _mm_andnot_pd(m, if_clear.v))};
}
// A mask of four 32-bit lanes as two masks of two 64-bit lanes (lanes 0-1, 2-3).
inline __m128i low_mask_to_double(I32x4 m) { return _mm_unpacklo_epi32(m.v, m.v); }
inline __m128i high_mask_to_double(I32x4 m) { return _mm_unpackhi_epi32(m.v, m.v); }
inline F64x2 low_to_double(I32x4 x) { return {_mm_cvtepi32_pd(x.v)}; }
inline F64x2 high_to_double(I32x4 x) { return {_mm_cvtepi32_pd(_mm_shuffle_epi32(x.v, 0xEE))}; }

// 2^(-k) for the integers k of four lanes, as two pairs of doubles (lanes 0-1, 2-3):
// the high words (1023 - k) << 20 above zero low words.
inline void reciprocal_powers_of_two(I32x4 k, F64x2& low, F64x2& high) {
  const __m128i high_words = ((I32x4::splat(1023) - k) << 20).v;
  const __m128i zero = _mm_setzero_si128();
  low = {_mm_castsi128_pd(_mm_unpacklo_epi32(zero, high_words))};
  high = {_mm_castsi128_pd(_mm_unpackhi_epi32(zero, high_words))};
}

}  // namespace zorn::tess::simd
