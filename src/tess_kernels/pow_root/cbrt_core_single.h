// Cube roots of four float lanes: the seed and polynomial of the double precision first
// root on the float lanes (about 21 bits after their roundings), then per pair of doubles
// u = (t^3 - a) / a (t^2 exact) and the first-order terms, rounded once to float. 1/a
// comes from the float quotient: |u| < 2^-18 keeps its error below 2^-42, and the next
// terms of the series stay below 2^-39. For a in [2^-126, 2^126), where 1/a and the
// products of the first root stay normal floats.
#pragma once

#include <cstdint>

#include "tess_kernels/frame/simd.h"

namespace zorn::tess::cbrt_core {

constexpr int32_t kSingleSeedOffset = 709958130;  // (127 - 127/3 - 0.03306235651) 2^23
constexpr int32_t kSingleHighBits = 0x7E800000;   // 2^126

enum class RootPower { kCbrt, kInvCbrt, kPow2o3 };

inline simd::F32x4 single_first_root(simd::F32x4 a, simd::F32x4 inv) {
  using simd::F32x4;
  // A third of the bit pattern (the product by 1/3 rounds; the polynomial absorbs it).
  const __m128i third =
      _mm_cvttps_epi32(_mm_mul_ps(_mm_cvtepi32_ps(simd::bits(a).v), _mm_set1_ps(1.0f / 3)));
  const F32x4 t0 = {_mm_castsi128_ps(_mm_add_epi32(third, _mm_set1_epi32(kSingleSeedOffset)))};
  const F32x4 r = (t0 * t0) * (t0 * inv);
  const F32x4 poly = (F32x4::splat(1.87595182f) +
                      r * (F32x4::splat(-1.88497980f) + r * F32x4::splat(1.62142972f))) +
                     ((r * r) * r) *
                         (F32x4::splat(-0.758397935f) + r * F32x4::splat(0.145996193f));
  return t0 * poly;
}

// The power P of two lanes of a > 0 from the first root t and the float 1/a.
template <RootPower P>
inline simd::F64x2 single_power_pair(simd::F64x2 a, simd::F64x2 t, simd::F64x2 inv) {
  using simd::F64x2;
  if constexpr (P == RootPower::kInvCbrt) {
    inv = inv * (F64x2::splat(2.0) - a * inv);  // one Newton step: about 2^-47
  }
  const F64x2 t2 = t * t;
  const F64x2 u = (t2 * t - a) * inv;
  if constexpr (P == RootPower::kCbrt) {
    return t - (t * u) * F64x2::splat(1.0 / 3);
  } else {
    const F64x2 q = P == RootPower::kPow2o3 ? t2 : t2 * inv;
    return q - (q * u) * F64x2::splat(2.0 / 3);
  }
}

// cbrt x, x^(-1/3) (both with the sign of x) or x^(2/3) for |x| in [2^-126, 2^126).
template <RootPower P>
inline simd::F32x4 single_root_power(simd::F32x4 x) {
  using simd::F32x4;
  const F32x4 a = simd::abs(x);
  const F32x4 inv = {_mm_div_ps(_mm_set1_ps(1.0f), a.v)};
  const F32x4 t = single_first_root(a, inv);
  const F32x4 r = simd::to_float(
      single_power_pair<P>(simd::low_to_double(a), simd::low_to_double(t), simd::low_to_double(inv)),
      single_power_pair<P>(simd::high_to_double(a), simd::high_to_double(t),
                           simd::high_to_double(inv)));
  return P == RootPower::kPow2o3 ? r : simd::or_sign(r, x);
}

// Lanes with |x| outside [2^-126, 2^126): zero, subnormal, the top binades, inf and NaN.
inline int single_outside_range(simd::F32x4 x) {
  using simd::I32x4;
  const I32x4 moved = simd::bits(simd::abs(x)) - I32x4::splat(0x00800000);
  return simd::lane_mask((I32x4::splat(0) > moved) |
                         (moved > I32x4::splat(kSingleHighBits - 0x00800001)));
}

}  // namespace zorn::tess::cbrt_core
