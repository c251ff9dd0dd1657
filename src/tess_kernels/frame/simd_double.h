// Thin value types over SSE2 for double precision: two doubles, two 64-bit integers, and
// lane masks, so that a vector fast path reads like its formula. Every operation is one
// instruction or a short fixed sequence; nothing here is fused.
#pragma once

#include <emmintrin.h>

#include <cstdint>

namespace zorn::tess::simd {

struct I64x2 {
  __m128i v;
  static I64x2 splat(int64_t x) { return {_mm_set1_epi64x(x)}; }
  friend I64x2 operator+(I64x2 a, I64x2 b) { return {_mm_add_epi64(a.v, b.v)}; }
  friend I64x2 operator-(I64x2 a, I64x2 b) { return {_mm_sub_epi64(a.v, b.v)}; }
  friend I64x2 operator&(I64x2 a, I64x2 b) { return {_mm_and_si128(a.v, b.v)}; }
  friend I64x2 operator|(I64x2 a, I64x2 b) { return {_mm_or_si128(a.v, b.v)}; }
  friend I64x2 operator^(I64x2 a, I64x2 b) { return {_mm_xor_si128(a.v, b.v)}; }
  friend I64x2 operator<<(I64x2 a, int bits) { return {_mm_slli_epi64(a.v, bits)}; }
  // Logical shift: zeros come in from the top.
  friend I64x2 operator>>(I64x2 a, int bits) { return {_mm_srli_epi64(a.v, bits)}; }
  // The low 32 bits of lane 0 and of lane 1.
  int32_t low32_lane0() const { return _mm_cvtsi128_si32(v); }
  int32_t low32_lane1() const { return _mm_cvtsi128_si32(_mm_srli_si128(v, 8)); }
  // The 64 bits of lane 0 and of lane 1.
  uint64_t lane0_bits() const { return static_cast<uint64_t>(_mm_cvtsi128_si64(v)); }
  uint64_t lane1_bits() const {
    return static_cast<uint64_t>(_mm_cvtsi128_si64(_mm_unpackhi_epi64(v, v)));
  }
};

struct F64x2 {
  __m128d v;
  static F64x2 splat(double x) { return {_mm_set1_pd(x)}; }
  static F64x2 load(const double* p) { return {_mm_loadu_pd(p)}; }
  static F64x2 load_aligned(const double* p) { return {_mm_load_pd(p)}; }
  void store(double* p) const { _mm_storeu_pd(p, v); }
  double lane0() const { return _mm_cvtsd_f64(v); }
  friend F64x2 operator+(F64x2 a, F64x2 b) { return {_mm_add_pd(a.v, b.v)}; }
  friend F64x2 operator-(F64x2 a, F64x2 b) { return {_mm_sub_pd(a.v, b.v)}; }
  friend F64x2 operator*(F64x2 a, F64x2 b) { return {_mm_mul_pd(a.v, b.v)}; }
  friend F64x2 operator/(F64x2 a, F64x2 b) { return {_mm_div_pd(a.v, b.v)}; }
};

inline I64x2 bits(F64x2 x) { return {_mm_castpd_si128(x.v)}; }
inline F64x2 from_bits(I64x2 x) { return {_mm_castsi128_pd(x.v)}; }
inline F64x2 abs(F64x2 x) { return {_mm_andnot_pd(_mm_set1_pd(-0.0), x.v)}; }
// a & ~b, lane by lane.
inline F64x2 and_not(F64x2 a, F64x2 b) { return {_mm_andnot_pd(b.v, a.v)}; }
// |y| with the sign of x (sign_bit = -0 in every lane): for odd functions computed under
// the caller's rounding, where a sum of zeros of opposite signs rounded down is -0.
inline F64x2 copy_sign(F64x2 y, F64x2 x, F64x2 sign_bit) {
  return {_mm_or_pd(_mm_andnot_pd(sign_bit.v, y.v), _mm_and_pd(x.v, sign_bit.v))};
}

// {a.lane0, b.lane0} and {a.lane1, b.lane1}: the columns of two {hi, lo} table rows.
inline F64x2 lane0s(F64x2 a, F64x2 b) { return {_mm_unpacklo_pd(a.v, b.v)}; }
inline F64x2 lane1s(F64x2 a, F64x2 b) { return {_mm_unpackhi_pd(a.v, b.v)}; }

// Lane-wise choice: where the mask lane is all ones take a, else b.
inline F64x2 select(F64x2 mask, F64x2 a, F64x2 b) {
  return {_mm_or_pd(_mm_and_pd(mask.v, a.v), _mm_andnot_pd(mask.v, b.v))};
}

// The small integers held by two doubles, as doubles (exact for |value| < 2^31).
inline F64x2 int32_lanes_to_double(__m128i packed_low_two) {
  return {_mm_cvtepi32_pd(packed_low_two)};
}

// Truncation toward zero of two lanes within the int range, as two 32-bit integers in the
// low half, and one of those integers.
inline __m128i truncate_to_int32(F64x2 x) { return _mm_cvttpd_epi32(x.v); }
inline int32_t int32_lane(__m128i packed, int lane) {
  return _mm_cvtsi128_si32(lane == 0 ? packed : _mm_srli_si128(packed, 4));
}

// Comparisons as all-ones lane masks; the "not" forms are true for NaN lanes.
inline F64x2 less(F64x2 a, F64x2 b) { return {_mm_cmplt_pd(a.v, b.v)}; }
inline F64x2 not_less(F64x2 a, F64x2 b) { return {_mm_cmpnlt_pd(a.v, b.v)}; }
inline F64x2 not_greater(F64x2 a, F64x2 b) { return {_mm_cmpngt_pd(a.v, b.v)}; }
inline F64x2 not_less_equal(F64x2 a, F64x2 b) { return {_mm_cmpnle_pd(a.v, b.v)}; }
inline F64x2 not_equal(F64x2 a, F64x2 b) { return {_mm_cmpneq_pd(a.v, b.v)}; }
inline F64x2 not_greater_equal(F64x2 a, F64x2 b) { return {_mm_cmpnge_pd(a.v, b.v)}; }
inline F64x2 operator|(F64x2 a, F64x2 b) { return {_mm_or_pd(a.v, b.v)}; }
inline F64x2 operator&(F64x2 a, F64x2 b) { return {_mm_and_pd(a.v, b.v)}; }
inline F64x2 operator^(F64x2 a, F64x2 b) { return {_mm_xor_pd(a.v, b.v)}; }
inline F64x2 max(F64x2 a, F64x2 b) { return {_mm_max_pd(a.v, b.v)}; }
// b where either lane is NaN: min(x, bound) never passes a NaN on.
inline F64x2 min(F64x2 a, F64x2 b) { return {_mm_min_pd(a.v, b.v)}; }

// x = 2^k m with m in [1, 2) for positive normal lanes whose exponent counts k_offset
// more than its field says (arguments scaled into the normal range): k from the exponent
// fields of the high words, as doubles, and m with the fraction bits of x.
struct ExponentMantissa {
  F64x2 k, m;
};
inline ExponentMantissa exponent_and_mantissa(F64x2 x, int32_t k_offset) {
  const I64x2 ix = bits(x);
  const __m128i fields = _mm_srli_epi32(_mm_shuffle_epi32(ix.v, _MM_SHUFFLE(3, 1, 3, 1)), 20);
  return {int32_lanes_to_double(_mm_sub_epi32(fields, _mm_set1_epi32(1023 - k_offset))),
          from_bits((ix & I64x2::splat(0x000FFFFFFFFFFFFF)) | I64x2::splat(0x3FF0000000000000))};
}

// One bit per lane, lane 0 in bit 0, from a mask of all-ones or all-zero lanes.
inline int lane_mask(F64x2 m) { return _mm_movemask_pd(m.v); }

// Lane mask of the lanes whose high 32 bits, read as a signed integer, exceed `limit`.
inline int high_word_greater(F64x2 x, int32_t limit) {
  const int words = _mm_movemask_ps(
      _mm_castsi128_ps(_mm_cmpgt_epi32(_mm_castpd_si128(x.v), _mm_set1_epi32(limit))));
  return ((words >> 1) & 1) | ((words >> 2) & 2);  // the high words are words 1 and 3
}

}  // namespace zorn::tess::simd
