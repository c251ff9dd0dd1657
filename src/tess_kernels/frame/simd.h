// Thin value types over SSE2: four floats, four 32-bit integers, and lane masks, so that
// a vector fast path reads like its formula. Every operation is one instruction or a
// short fixed sequence; nothing here is fused.
#pragma once

#include <emmintrin.h>

#include <cstdint>

namespace zorn::tess::simd {

struct I32x4 {
  __m128i v;
  static I32x4 splat(int32_t x) { return {_mm_set1_epi32(x)}; }
  friend I32x4 operator+(I32x4 a, I32x4 b) { return {_mm_add_epi32(a.v, b.v)}; }
  friend I32x4 operator&(I32x4 a, I32x4 b) { return {_mm_and_si128(a.v, b.v)}; }
  friend I32x4 operator<<(I32x4 a, int bits) { return {_mm_slli_epi32(a.v, bits)}; }
  // Lanes where a > b (signed), as all-ones masks.
  friend I32x4 operator>(I32x4 a, I32x4 b) { return {_mm_cmpgt_epi32(a.v, b.v)}; }
};

struct F32x4 {
  __m128 v;
  static F32x4 splat(float x) { return {_mm_set1_ps(x)}; }
  static F32x4 load(const float* p) { return {_mm_loadu_ps(p)}; }
  void store(float* p) const { _mm_storeu_ps(p, v); }
  friend F32x4 operator+(F32x4 a, F32x4 b) { return {_mm_add_ps(a.v, b.v)}; }
  friend F32x4 operator-(F32x4 a, F32x4 b) { return {_mm_sub_ps(a.v, b.v)}; }
  friend F32x4 operator*(F32x4 a, F32x4 b) { return {_mm_mul_ps(a.v, b.v)}; }
};

inline I32x4 bits(F32x4 x) { return {_mm_castps_si128(x.v)}; }
inline F32x4 from_bits(I32x4 x) { return {_mm_castsi128_ps(x.v)}; }
inline F32x4 abs(F32x4 x) { return from_bits(bits(x) & I32x4::splat(0x7FFFFFFF)); }
// One bit per lane, lane 0 in bit 0, from a mask of all-ones or all-zero lanes.
inline int lane_mask(I32x4 m) { return _mm_movemask_ps(_mm_castsi128_ps(m.v)); }
inline int lane_mask_greater(F32x4 a, F32x4 b) { return _mm_movemask_ps(_mm_cmpgt_ps(a.v, b.v)); }
inline int lane_mask_less(F32x4 a, F32x4 b) { return _mm_movemask_ps(_mm_cmplt_ps(a.v, b.v)); }

}  // namespace zorn::tess::simd
