// Single precision kernels of the hyperbolic functions and their inverses: the four lanes
// widened to two pairs of doubles through the double precision cores, rounded once, and
// callouts that compute in double precision.
#pragma once

#include <cstdint>

#include "tess_kernels/exp_log/double_cores_single.h"
#include "tess_kernels/frame/lane_loop_single.h"
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

// One single precision kernel: Core maps |x| (or x, for an even-domain function) to the
// result in double, Odd puts the sign of x back, Special gives the lanes for the callout.
template <simd::F64x2 (*Core)(simd::F64x2), bool Odd, int (*Special)(simd::F32x4),
          int32_t (*Callout)(const float*, float*)>
struct HyperbolicSingle : LaneLoopSingle<HyperbolicSingle<Core, Odd, Special, Callout>> {
  static simd::F32x4 fast_path(simd::F32x4 x) {
    const auto core = [](simd::F64x2 v) { return Core(v); };
    if constexpr (Odd) return simd::or_sign(in_double(simd::abs(x), core), x);
    return in_double(x, core);
  }
  static int special_lanes(simd::F32x4 x) { return Special(x); }
  static int32_t callout(const float* x, float* r) { return Callout(x, r); }
};

namespace hyperbolic_single {

constexpr int32_t kOverflowBoundBits = 0x42B2D4FC;  // 89.41599, the last finite result

ZORN_FAST_INLINE simd::F64x2 cosh_core(simd::F64x2 x) {
  return hyperbolic::cosh_of_magnitude(simd::abs(x));
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

using SinhSingle = HyperbolicSingle<hyperbolic::sinh_of_magnitude, true,
                                    hyperbolic_single::beyond_overflow_bound, tess_callout_sSinh>;
using CoshSingle = HyperbolicSingle<hyperbolic_single::cosh_core, false,
                                    hyperbolic_single::beyond_overflow_bound, tess_callout_sCosh>;
using TanhSingle = HyperbolicSingle<hyperbolic::tanh_of_magnitude, true,
                                    hyperbolic_single::nan_lanes, tess_callout_sTanh>;
using AsinhSingle = HyperbolicSingle<hyperbolic::asinh_of_magnitude, true,
                                     hyperbolic_single::not_finite, tess_callout_sAsinh>;
using AcoshSingle = HyperbolicSingle<hyperbolic::acosh_value, false,
                                     hyperbolic_single::outside_acosh_range, tess_callout_sAcosh>;
using AtanhSingle = HyperbolicSingle<hyperbolic::atanh_of_magnitude, true,
                                     hyperbolic_single::outside_open_unit, tess_callout_sAtanh>;

}  // namespace zorn::tess
