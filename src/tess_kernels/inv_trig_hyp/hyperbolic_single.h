// Single precision kernels of the hyperbolic functions and their inverses: the four lanes
// widened to two pairs of doubles through short double precision formulas, rounded once,
// and callouts that compute in double precision (through the double kernels' callouts).
#pragma once

#include <cstdint>

#include "tess_kernels/exp_log/double_cores_single.h"
#include "tess_kernels/frame/widened_single.h"
#include "tess_kernels/inv_trig_hyp/hyperbolic_core_double.h"

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

constexpr int32_t kOverflowBoundBits = 0x42B2D4FC;  // 89.41599, the last finite result

// The cores below work in double on arguments that are floats and keep the relative error
// near 2^-34, so that the one rounding to single precision stays within about 0.501 ulp.

// e^a = scale (1 + q) for a = |x| <= 89.5.
ZORN_FAST_INLINE F64x2 exponential(F64x2 a) {
  const PowerOfTwoParts p = power_of_two_parts(a * splat(1.4426950408889634));
  return p.scale + p.scale * p.q;
}
ZORN_FAST_INLINE F64x2 cosh_core(F64x2 x) {
  const F64x2 e = exponential(simd::abs(x));
  return splat(0.5) * (e + splat(1.0) / e);
}
// Below 1/2 the series to a^9 (the rest below 2^-35 of the result); above, the
// difference of the exponentials cancels less than a factor 2.2.
ZORN_FAST_INLINE F64x2 sinh_core(F64x2 a) {
  const F64x2 e = exponential(a);
  const F64x2 a2 = a * a;
  const F64x2 series =
      a + (a2 * a) * (splat(1.0 / 6) + a2 * (splat(1.0 / 120) + a2 * (splat(1.0 / 5040) +
                                                                      a2 * splat(1.0 / 362880))));
  return simd::select(simd::less(a, splat(0.5)), series, splat(0.5) * (e - splat(1.0) / e));
}
// tanh a = m / (m + 2) with m = e^(2a) - 1, accurate relative to itself as a goes to 0
// (k = 0 for small arguments, as in Expm1); beyond 10 the quotient rounds to 1.
ZORN_FAST_INLINE F64x2 tanh_core(F64x2 a) {
  const F64x2 z = simd::min(a, splat(10.0)) * splat(2.8853900817779268);  // 2 log2 e
  const PowerOfTwoParts p = power_of_two_parts<true>(z);
  const F64x2 m = p.scale * p.q + (p.scale - splat(1.0));
  return m / (m + splat(2.0));
}
ZORN_FAST_INLINE F64x2 natural_log(F64x2 v) {
  const LogParts l = log_parts<false>(v);
  return l.head + l.tail;
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

ZORN_FAST_INLINE int beyond_overflow_bound(simd::F32x4 x) {
  return simd::lane_mask(simd::bits(simd::abs(x)) > simd::I32x4::splat(kOverflowBoundBits));
}
// Infinities and NaN.
ZORN_FAST_INLINE int not_finite(simd::F32x4 x) {
  return simd::lane_mask_not_less_equal(simd::abs(x), simd::F32x4::splat(3.4028235e38f));
}
ZORN_FAST_INLINE int nan_lanes(simd::F32x4 x) {
  return simd::lane_mask_not_less_equal(simd::abs(x), simd::F32x4::splat(INFINITY));
}
// Below 1, +inf and NaN.
ZORN_FAST_INLINE int outside_acosh_range(simd::F32x4 x) {
  return simd::lane_mask_less(x, simd::F32x4::splat(1.0f)) | not_finite(x);
}
ZORN_FAST_INLINE int outside_open_unit(simd::F32x4 x) {
  return simd::lane_mask_not_less(simd::abs(x), simd::F32x4::splat(1.0f));
}

}  // namespace hyperbolic_single

using SinhSingle = WidenedSingle<hyperbolic_single::sinh_core, true,
                                    hyperbolic_single::beyond_overflow_bound, tess_callout_sSinh>;
using CoshSingle = WidenedSingle<hyperbolic_single::cosh_core, false,
                                    hyperbolic_single::beyond_overflow_bound, tess_callout_sCosh>;
using TanhSingle = WidenedSingle<hyperbolic_single::tanh_core, true,
                                    hyperbolic_single::nan_lanes, tess_callout_sTanh>;
using AsinhSingle = WidenedSingle<hyperbolic_single::asinh_core, true,
                                     hyperbolic_single::not_finite, tess_callout_sAsinh>;
using AcoshSingle = WidenedSingle<hyperbolic_single::acosh_core, false,
                                     hyperbolic_single::outside_acosh_range, tess_callout_sAcosh>;
using AtanhSingle = WidenedSingle<hyperbolic_single::atanh_core, true,
                                     hyperbolic_single::outside_open_unit, tess_callout_sAtanh>;

}  // namespace zorn::tess
