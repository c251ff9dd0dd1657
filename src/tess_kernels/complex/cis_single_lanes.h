// cos t + i sin t of four floats (CIS) in double arithmetic, within about 0.52 ulp per
// part; elements beyond |t| = 65536 or not finite are left to the scalar form. Inline, so
// that the loop around it keeps its constants out of the loop.
#pragma once

#include "tess_kernels/frame/polynomial_double.h"
#include "tess_kernels/frame/simd.h"
#include "tess_kernels/frame/simd_double.h"
#include "tess_kernels/trig/quarter_turn_double.h"

namespace zorn::tess::cx {

namespace cis_single {
#include "tess_kernels/complex/data/cis_single_polynomials.inc"
}  // namespace cis_single

// t = k pi/2 + r by the double quarter-turn reduction of t itself (its rounded head, to
// 2^-53 of r; k negative for negative t), then in double
//   sin r = r (1 + z S(z)),   cos r = 1 + z (-1/2 + z C(z)),   z = r^2,
// S and C near-minimax (2^-35.6 and 2^-29.8 relative), so that each part, rounded once to
// float, errs by at most about 0.02 ulp beyond half an ulp; sin r as a product with r
// keeps the sign of a zero t. The quadrant k mod 4 then chooses and signs the two on float
// lanes: sin t is sin r, cos r, -sin r, -cos r and cos t is cos r, -sin r, -cos r, sin r.
struct CisSingleLanes {
  [[gnu::always_inline]] static int group(const float t[4], float re[4], float im[4]);
};

struct SinCosOfReduced {
  simd::F64x2 sin, cos;
  simd::I64x2 t_bits;  // k in the low bits
};
[[gnu::always_inline]] inline SinCosOfReduced sin_cos_of_reduced(simd::F64x2 x) {
  using simd::F64x2;
  const sin_core::ReducedAngle angle = quarter_turn::reduce(x);
  const F64x2 r = angle.hi, z = r * r, one = F64x2::splat(1.0);
  const F64x2 sin_r = r * (one + z * estrin(z, cis_single::kSinTailSingle));
  const F64x2 cos_r = one + z * (F64x2::splat(-0.5) + z * estrin(z, cis_single::kCosTailSingle));
  return {sin_r, cos_r, angle.t_bits};
}

[[gnu::always_inline]] inline int CisSingleLanes::group(const float t[4], float re[4], float im[4]) {
  using simd::F32x4;
  using simd::I32x4;
  const F32x4 x = F32x4::load(t);
  const SinCosOfReduced low = sin_cos_of_reduced(simd::low_to_double(x));
  const SinCosOfReduced high = sin_cos_of_reduced(simd::high_to_double(x));
  const F32x4 sin_r = simd::to_float(low.sin, high.sin), cos_r = simd::to_float(low.cos, high.cos);
  // k's low bits: the low words of the shifted doubles; bit 0 of k into the sign bit
  // (k << 31) and bit 1 with it (k << 30).
  const I32x4 k = {_mm_castps_si128(_mm_shuffle_ps(_mm_castsi128_ps(low.t_bits.v),
                                                   _mm_castsi128_ps(high.t_bits.v),
                                                   _MM_SHUFFLE(2, 0, 2, 0)))};
  const I32x4 k31 = k << 31, k30 = k << 30;
  const I32x4 sign_bit = I32x4::splat(static_cast<int32_t>(0x80000000u));
  // Odd k swaps the two: an exchange by exclusive or under the mask.
  const I32x4 swap = (simd::bits(sin_r) ^ simd::bits(cos_r)) & (k31 >> 31);
  const I32x4 sin_negate = k30 & sign_bit, cos_negate = (k30 ^ k31) & sign_bit;
  simd::from_bits(simd::bits(cos_r) ^ swap ^ cos_negate).store(re);
  simd::from_bits(simd::bits(sin_r) ^ swap ^ sin_negate).store(im);
  return simd::lane_mask_not_less_equal(simd::abs(x), F32x4::splat(65536.0f));
}

}  // namespace zorn::tess::cx
