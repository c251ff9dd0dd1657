// cos t + i sin t of four floats (CIS) on float lanes, within about 0.6 ulp per part;
// elements beyond |t| = 65536 or not finite are left to the scalar form. Inline, so that
// the loop around it keeps its constants out of the loop.
#pragma once

#include <xmmintrin.h>

#include "tess_kernels/frame/simd.h"
#include "tess_kernels/frame/simd_double.h"
#include "tess_kernels/trig/quarter_turn_double.h"

namespace zorn::tess::cx {

// sin r = r + r^3 S(r^2) in double for |r| <= pi/4, S Taylor's to r^9 (the rest below
// 2^-34 of sin r): rounded to float, within 0.5 ulp and 2^-10 ulp.
[[gnu::always_inline]] inline simd::F64x2 sine_of_reduced(simd::F64x2 r) {
  const auto c = [](double v) { return simd::F64x2::splat(v); };
  const simd::F64x2 z = r * r;
  return r + (r * z) * (c(-1.0 / 6) + z * (c(1.0 / 120) + z * (c(-1.0 / 5040) + z * c(1.0 / 362880))));
}

// r = |t| - k pi/2 by the double quarter-turn reduction (its rounded head, to 2^-53 of r);
// the sine from it in double (sine_of_reduced: in float the tail r^3 S, a tenth of the
// sine, gathered four roundings, 0.86 ulp in all), the cosine in float lanes from
// r_f + r_lo, r_lo the rounding error of r_f, and z = r_f^2:
//   cos r = w + (z^2 C(z) - ((h + l/2) l + r_f r_lo)),   C to z^3 (the rest below 2^-31)
// with h = r_f rounded to a multiple of 2^-11 and l = r_f - h, both exact, so that h^2/2
// (22 bits) and w = 1 - h^2/2 (a multiple of 2^-23 in (1/2, 1]) are exact too: only the
// last addition rounds at weight, the tail (below 1/60 of w) adding its roundings
// at a sixtieth (the double quarter-turn core's scheme). The quadrant k mod 4 then chooses
// and signs the two as in quarter_turn::sin_cos_of.
struct CisSingleLanes {
  [[gnu::always_inline]] static int group(const float t[4], float re[4], float im[4]);
};
[[gnu::always_inline]] inline int CisSingleLanes::group(const float t[4], float re[4], float im[4]) {
  using simd::F32x4;
  using simd::I32x4;
  const auto f = [](float v) { return F32x4::splat(v); };
  const F32x4 x = F32x4::load(t);
  const F32x4 a = simd::abs(x);
  const sin_core::ReducedAngle low = quarter_turn::reduce(simd::low_to_double(a));
  const sin_core::ReducedAngle high = quarter_turn::reduce(simd::high_to_double(a));
  const F32x4 r = simd::to_float(low.hi, high.hi);
  const F32x4 r_lo = simd::to_float(low.hi - simd::low_to_double(r), high.hi - simd::high_to_double(r));
  // k's low bits: the low words of the shifted doubles.
  const I32x4 k = {_mm_castps_si128(_mm_shuffle_ps(_mm_castsi128_ps(low.t_bits.v),
                                                   _mm_castsi128_ps(high.t_bits.v),
                                                   _MM_SHUFFLE(2, 0, 2, 0)))};
  const F32x4 sin_r = simd::to_float(sine_of_reduced(low.hi), sine_of_reduced(high.hi));
  const F32x4 z = r * r;
  const F32x4 grid = f(0x1.8p12f);
  const F32x4 h = (r + grid) - grid;
  const F32x4 l = r - h;
  const F32x4 w = f(1.0f) - (h * h) * f(0.5f);
  const F32x4 rest = (h + l * f(0.5f)) * l + r * r_lo;
  const F32x4 cos_r =
      w + ((z * z) * (f(1.0f / 24) + z * (f(-1.0f / 720) + z * (f(1.0f / 40320) + z * f(-1.0f / 3628800)))) -
           rest);
  const F32x4 odd = simd::from_bits(I32x4::splat(0) - (k & I32x4::splat(1)));
  const I32x4 sign_bit = I32x4::splat(static_cast<int32_t>(0x80000000u));
  const I32x4 sin_negate = ((k & I32x4::splat(2)) << 30) ^ (simd::bits(x) & sign_bit);
  const I32x4 cos_negate = ((k + I32x4::splat(1)) & I32x4::splat(2)) << 30;
  simd::from_bits(simd::bits(simd::select(odd, sin_r, cos_r)) ^ cos_negate).store(re);
  simd::from_bits(simd::bits(simd::select(odd, cos_r, sin_r)) ^ sin_negate).store(im);
  return simd::lane_mask_not_less_equal(a, f(65536.0f));
}

}  // namespace zorn::tess::cx
