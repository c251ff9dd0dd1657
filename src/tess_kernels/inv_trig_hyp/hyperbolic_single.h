// Single precision kernels of the hyperbolic functions and their inverses: the lanes
// widened to two pairs of doubles through short double precision formulas, rounded once
// (Sinh, Cosh and Tanh in hyperbolic_exponentials_single.h); callouts that compute in
// double precision (through the double kernels' callouts).
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
  const F64x2 series = a - (a * a) * a * splat(1.0 / 6);
  return simd::select(simd::less(a, splat(0x1p-12)), series, y);
}
// x - 1 is exact for a float x >= 1, so that near 1 the root keeps its relative accuracy.
ZORN_FAST_INLINE F64x2 acosh_core(F64x2 x) {
  return natural_log(x + hyperbolic::sqrt((x - splat(1.0)) * (x + splat(1.0))));
}
ZORN_FAST_INLINE F64x2 atanh_core(F64x2 a) {
  const F64x2 y = splat(0.5) * natural_log((splat(1.0) + a) / (splat(1.0) - a));
  const F64x2 series = a + (a * a) * a * splat(1.0 / 3);
  return simd::select(simd::less(a, splat(0x1p-12)), series, y);
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
using TanhSingle = CoreSingle<hyperbolic_single::tanh_core, false,
                                    hyperbolic_single::nan_lanes, tess_callout_sTanh, true>;
using AsinhSingle = CoreSingle<hyperbolic_single::asinh_core, true,
                                     hyperbolic_single::not_finite, tess_callout_sAsinh, true>;
using AcoshSingle = CoreSingle<hyperbolic_single::acosh_core, false,
                                     hyperbolic_single::outside_acosh_range, tess_callout_sAcosh, true>;
using AtanhSingle = CoreSingle<hyperbolic_single::atanh_core, true,
                                     hyperbolic_single::outside_open_unit, tess_callout_sAtanh, true>;

}  // namespace zorn::tess
