// Single precision kernels of the hyperbolic functions and their inverses: Asinh and Acosh
// with the lanes widened to two pairs of doubles through short double precision formulas,
// rounded once; Atanh in float arithmetic (Sinh, Cosh and Tanh in
// hyperbolic_exponentials_single.h); callouts that compute in double precision (through
// the double kernels' callouts).
#pragma once

#include <cstdint>

#include "tess_kernels/exp_log/double_cores_single.h"
#include "tess_kernels/frame/core_single.h"
#include "tess_kernels/inv_trig_hyp/hyperbolic_core_double.h"
#include "tess_kernels/inv_trig_hyp/hyperbolic_exponentials_single.h"

namespace zorn::tess {

// The callouts give the correct single precision result of *x in *r and its status:
// Sinh, Cosh 3 on overflow; Acosh 1 below 1; Atanh 2 at ±1, 1 beyond (infinities
// included); Tanh and Asinh never report.
int32_t tess_callout_sSinh(const float* x, float* r);
int32_t tess_callout_sCosh(const float* x, float* r);
int32_t tess_callout_sTanh(const float* x, float* r);
int32_t tess_callout_sAsinh(const float* x, float* r);
int32_t tess_callout_sAcosh(const float* x, float* r);
int32_t tess_callout_sAtanh(const float* x, float* r);

namespace hyperbolic_single {

using simd::F64x2;
using hyperbolic::splat;

// ln v for a positive normal double v to a relative error near 2^-34 (enough for one
// rounding to float), or an absolute one near 2^-53 as v nears 1. From the bits of v =
// 2^e m: the point c = 1 + j/64 nearest m (j = 64 at m near 2, whose row holds ln 2),
// r = m c^-1 - 1 with |r| <= 0.009 and c^-1 of 11 bits, so that for e = j = 0, r = m - 1
// exactly; ln v = e ln 2 + ln c + ln(1 + r).
ZORN_FAST_INLINE F64x2 natural_log(F64x2 v) {
  using simd::I64x2;
  const I64x2 b = simd::bits(v);
  const I64x2 mantissa = b & I64x2::splat(0x000FFFFFFFFFFFFF);
  const I64x2 j = (mantissa + I64x2::splat(int64_t{1} << 45)) >> 46;
  const F64x2 m = simd::from_bits(mantissa | I64x2::splat(0x3FF0000000000000));
  // The biased exponent as the low bits of 2^52 + field, less 2^52 + 1023.
  const F64x2 e = simd::from_bits((b >> 52) | I64x2::splat(0x4330000000000000)) -
                  splat(4503599627371519.0);
  const uint32_t j0 = static_cast<uint32_t>(j.low32_lane0());
  const uint32_t j1 = static_cast<uint32_t>(j.low32_lane1());
  const auto& table = log_single_data::kLogPointsSingle;
  const F64x2 r = m * simd::gather_column(table, 0, j0, j1) - splat(1.0);
  return (e * splat(0.6931471805599453) + simd::gather_column(table, 1, j0, j1)) +
         ln_one_plus_small(r);
}
// Below 2^-12, the series a - a^3/6 (the rest below 2^-46 of the result); above, the
// logarithm's absolute error near 2^-53 stays below 2^-40 of the result.
ZORN_FAST_INLINE F64x2 asinh_core(F64x2 a) {
  const F64x2 y = natural_log(a + hyperbolic::sqrt(a * a + splat(1.0)));
  // Rounding down (this kernel computes under the caller's rounding), +0 - 0 is -0: the
  // max with +0 (which takes its second operand between zeros) keeps asinh(+0) = +0.
  const F64x2 series = simd::max(a - (a * a) * a * splat(1.0 / 6), splat(0.0));
  return simd::select(simd::less(a, splat(0x1p-12)), series, y);
}
// x - 1 is exact for a float x >= 1, so that near 1 the root keeps its relative accuracy.
ZORN_FAST_INLINE F64x2 acosh_core(F64x2 x) {
  return natural_log(x + hyperbolic::sqrt((x - splat(1.0)) * (x + splat(1.0))));
}
// atanh a for 0 <= a < 1 in float arithmetic (other lanes take the callout). Below 1/8 the
// Taylor series to a^9 (the first term left out is below 2^-33 of the result, the rest
// a z P at most 1/190 of it, so that its roundings add below 0.01 ulp). From 1/8 on,
// atanh a = ln(N/D)/2 with N = 1 + a, D = 1 - a, both as exact sums hi + lo (Fast2Sum,
// 1 >= a; D's lo is 0 from 1/2 on), without a quotient carried as head and tail: the
// rounded quotient N/D only chooses C = 2^e c, c = 1 + j/64, its bits rounded to six
// fraction bits (a mantissa that rounds up to 2 moves to the next exponent), and
//   ln(N/D) = e ln 2 + ln c + ln(1 + r),   r = (N - C D)/(C D),  |r| <= 2^-7 (about).
// C has seven significant bits, so C times D's 12-bit halves is exact, N - C D hi hi is
// exact by Sterbenz's lemma and the rest of N - C D rounds at most at 2^-30, as does r
// itself: below 1/32 ulp of a result of at least 1/8. e ln2 hi + ln c hi is exact (both
// multiples of 2^-16, below 2^5) and at least |r|, so its sum with r comes with its error
// by Fast2Sum; ln(1 + r) - r to r^4, the rests and that error join once, and the halving
// is exact. Two divisions a group, no widening to double (0.5x the widened kernel's
// operations). The row index is masked to 0..63, so that lanes left to the callout (|a|
// >= 1, NaN) read inside the table.
[[gnu::always_inline]] inline simd::F32x4 atanh_core(simd::F32x4 a) {
  using simd::F32x4;
  using simd::I32x4;
  const auto c = [](float v) { return F32x4::splat(v); };
  const auto& ln2 = hyperbolic::data::kLn2HeadRestSingle;
  const F32x4 one = c(1.0f);
  const F32x4 z = a * a;
  const F32x4 series =
      a + (a * z) * (c(1.0f / 3) + z * (c(1.0f / 5) + z * (c(1.0f / 7) + z * c(1.0f / 9))));

  const F32x4 n = one + a;
  const F32x4 n_lo = a - (n - one);
  const F32x4 d = one - a;
  const F32x4 d_lo = (one - d) - a;
  // C from the quotient's bits; e 2^23 from C's exponent field, exact as a float.
  const auto mask = [](uint32_t m) { return I32x4::splat(static_cast<int32_t>(m)); };
  const I32x4 c_bits = (simd::bits(n / d) + I32x4::splat(0x10000)) & mask(0xFFFE0000);
  const F32x4 big_c = simd::from_bits(c_bits);
  const F32x4 e_scaled = simd::to_float((c_bits - I32x4::splat(0x3F800000)) & mask(0xFF800000));
  F32x4 ln_c_hi, ln_c_lo;
  simd::gather_pairs(hyperbolic::data::kAtanhLogRowsSingle,
                     (c_bits >> 17) & I32x4::splat(63), ln_c_hi, ln_c_lo);
  const F32x4 d_hi = simd::from_bits(simd::bits(d) & mask(0xFFFFF000));
  const F32x4 numerator =
      ((n - big_c * d_hi) - big_c * (d - d_hi)) + (n_lo - big_c * d_lo);
  const F32x4 r = numerator / (big_c * d);
  const F32x4 hi = e_scaled * c(ln2[0] * 0x1p-23f) + ln_c_hi;
  const F32x4 sum = hi + r;
  const F32x4 sum_error = r - (sum - hi);
  const F32x4 tail = (r * r) * (c(-0.5f) + r * (c(1.0f / 3) + r * c(-0.25f)));
  const F32x4 lo = (e_scaled * c(ln2[1] * 0x1p-23f) + ln_c_lo) + (sum_error + tail);
  const F32x4 logarithm = (sum + lo) * c(0.5f);
  return simd::select(simd::less(a, c(0.125f)), series, logarithm);
}

// Beyond the overflow bound, infinities and NaN: for Sinh the lanes its clamp changes
// (the clamp shared with the core), for Cosh by the bits of |x|.
ZORN_FAST_INLINE int sinh_clamped_lanes(simd::F32x4 x) {
  return _mm_movemask_ps(_mm_cmpneq_ps(clamp_to_overflow_bound(x).v, x.v));
}
ZORN_FAST_INLINE int beyond_overflow_bound(simd::F32x4 x) {
  return simd::lane_mask(simd::bits(simd::abs(x)) >
                         simd::bits(simd::F32x4::splat(kOverflowBound)));
}
ZORN_FAST_INLINE int nan_lanes(simd::F32x4 x) {
  return _mm_movemask_ps(_mm_cmpunord_ps(x.v, x.v));
}
// Infinities and NaN.
ZORN_FAST_INLINE int not_finite(simd::F32x4 x) {
  return simd::lane_mask_not_less_equal(simd::abs(x), simd::F32x4::splat(3.4028235e38f));
}
// Below 1, +inf and NaN.
ZORN_FAST_INLINE int outside_acosh_range(simd::F32x4 x) {
  return simd::lane_mask_less(x, simd::F32x4::splat(1.0f)) | not_finite(x);
}
ZORN_FAST_INLINE int outside_open_unit(simd::F32x4 x) {
  return simd::lane_mask_not_less(simd::abs(x), simd::F32x4::splat(1.0f));
}

}  // namespace hyperbolic_single

// Sinh's core takes x with its sign (rows of both signs), hence false: nothing to put back.
using SinhSingle = CoreSingle<hyperbolic_single::sinh_core, false,
                              hyperbolic_single::sinh_clamped_lanes, tess_callout_sSinh, true>;
using CoshSingle = CoreSingle<hyperbolic_single::cosh_core, false,
                              hyperbolic_single::beyond_overflow_bound, tess_callout_sCosh, true>;
// Tanh's core takes |x| and gives NaN exactly on NaN lanes: a pair is tested on its results.
using TanhSingle = CoreSingle<hyperbolic_single::tanh_core, true,
                              hyperbolic_single::nan_lanes, tess_callout_sTanh, true, true>;
using AsinhSingle = CoreSingle<hyperbolic_single::asinh_core, true,
                                     hyperbolic_single::not_finite, tess_callout_sAsinh, true>;
using AcoshSingle = CoreSingle<hyperbolic_single::acosh_core, false,
                                     hyperbolic_single::outside_acosh_range, tess_callout_sAcosh, true>;
using AtanhSingle = CoreSingle<hyperbolic_single::atanh_core, true,
                                     hyperbolic_single::outside_open_unit, tess_callout_sAtanh, true>;

}  // namespace zorn::tess
