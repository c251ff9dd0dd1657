// Single precision error functions and normal distribution function: four-lane fast
// paths that compute in double (two pairs of lanes, one rounding to float at the end)
// from the cores of erf_core.h with the low-degree tables, and double precision callouts.
#pragma once

#include <cstdint>

#include "tess_kernels/frame/lane_loop_single.h"
#include "tess_kernels/frame/simd.h"
#include "tess_kernels/special/erf_core.h"

namespace zorn::tess {

int32_t tess_callout_sErf(const float* x, float* r);
int32_t tess_callout_sErfc(const float* x, float* r);
int32_t tess_callout_sErfcx(const float* x, float* r);
int32_t tess_callout_sCdfNorm(const float* x, float* r);

namespace erf_single {

using erf_core::F64x2;
using erf_core::splat;

// erfc(a) for 0 <= a <= 10.1 (not NaN), good to about 2^-30.
inline F64x2 erfc_of(F64x2 a) {
  const erf_core::ScaledPair e = erf_core::exp_pair(splat(0.0) - a * a, splat(0.0));
  const erf_core::Pair f = erf_core::erfcx_rows(a, erf_core::kErfcxRowsSingle);
  return ((e.hi + e.lo) * (f.hi + f.lo)) * erf_core::scale_of(e);
}

// f applied to both pairs of lanes of x, rounded to float once.
template <F64x2 (*F)(F64x2)>
inline simd::F32x4 in_double(simd::F32x4 x) {
  return simd::to_float(F(simd::low_to_double(x)), F(simd::high_to_double(x)));
}

// 1 - erfc rounds to 1 from 3.92 on.
inline F64x2 erf_pair(F64x2 x) {
  const F64x2 a = simd::abs(x);
  const F64x2 small = simd::less(a, splat(0.5));
  const int small_lanes = simd::lane_mask(small);
  F64x2 big{}, series{};
  if (small_lanes != 3) {
    big = (splat(1.0) - erfc_of(simd::min(a, splat(4.0)))) | (x & splat(-0.0));
  }
  if (small_lanes != 0) series = erf_core::erf_small<5>(x, erf_core::kErfRatioSingle);
  return small_lanes == 3 ? series : small_lanes == 0 ? big : simd::select(small, series, big);
}

inline F64x2 erfc_pair(F64x2 x) {
  const F64x2 r = erfc_of(simd::min(simd::abs(x), splat(10.1)));
  return simd::select(simd::less(x, splat(0.0)), splat(2.0) - r, r);
}

// erfcx: the rows below 30.5, u g(u^2) (u = 1/a) above; 2 e^(a^2) - erfcx(a) for x < 0.
inline F64x2 erfcx_pair(F64x2 x) {
  const F64x2 a = simd::abs(x);
  const erf_core::Pair f = erf_core::erfcx_rows(simd::min(a, splat(erf_core::kAsymptoticFrom)),
                                                erf_core::kErfcxRowsSingle);
  F64x2 y = f.hi + f.lo;
  const F64x2 far = simd::not_less(a, splat(erf_core::kAsymptoticFrom));
  if (simd::lane_mask(far) != 0) {
    const F64x2 u = splat(1.0) / a, w = u * u;
    const double* g = erf_core::kErfcxTailSingle;
    y = simd::select(far, u * (splat(g[0]) + w * (splat(g[1]) + w * (splat(g[2]) + w * splat(g[3])))),
                     y);
  }
  const F64x2 negative = simd::less(x, splat(0.0));
  if (simd::lane_mask(negative) != 0) {
    const F64x2 b = simd::min(a, splat(9.5));
    const erf_core::ScaledPair e = erf_core::exp_pair(b * b, splat(0.0));
    y = simd::select(negative, splat(2.0) * ((e.hi + e.lo) * erf_core::scale_of(e)) - y, y);
  }
  return y;
}

// Phi(x) = erfc(t) / 2, t = -x / sqrt 2 (its rounding is magnified by 2 t^2 <= 200 only).
inline F64x2 cdfnorm_pair(F64x2 x) {
  const F64x2 t = x * splat(-0.7071067811865476);
  const F64x2 r = erfc_of(simd::min(simd::abs(t), splat(10.1)));
  return splat(0.5) * simd::select(simd::less(t, splat(0.0)), splat(2.0) - r, r);
}

}  // namespace erf_single

// Erf: NaN lanes only leave the fast path (the kernel reports nothing).
struct ErfSingle : LaneLoopSingle<ErfSingle> {
  static simd::F32x4 fast_path(simd::F32x4 x) { return erf_single::in_double<erf_single::erf_pair>(x); }
  static int special_lanes(simd::F32x4 x) { return simd::lane_mask_not_less_equal(x, x); }
  static int32_t callout(const float* x, float* r) { return tess_callout_sErf(x, r); }
};

// Erfc: x >= 10 and NaN leave the fast path (zero and status 4 from 10.054194928818097).
struct ErfcSingle : LaneLoopSingle<ErfcSingle> {
  static simd::F32x4 fast_path(simd::F32x4 x) { return erf_single::in_double<erf_single::erfc_pair>(x); }
  static int special_lanes(simd::F32x4 x) {
    return simd::lane_mask_not_less(x, simd::F32x4::splat(10.0f));
  }
  static int32_t callout(const float* x, float* r) { return tess_callout_sErfc(x, r); }
};

// Erfcx: x < -9.3 (overflow from about -9.3826) and NaN leave the fast path.
struct ErfcxSingle : LaneLoopSingle<ErfcxSingle> {
  static simd::F32x4 fast_path(simd::F32x4 x) { return erf_single::in_double<erf_single::erfcx_pair>(x); }
  static int special_lanes(simd::F32x4 x) {
    return simd::lane_mask_not_less_equal(simd::F32x4::splat(-9.3f), x);
  }
  static int32_t callout(const float* x, float* r) { return tess_callout_sErfcx(x, r); }
};

// CdfNorm: x < -14 and NaN leave the fast path (zero and status 4 below -14.170185).
struct CdfNormSingle : LaneLoopSingle<CdfNormSingle> {
  static simd::F32x4 fast_path(simd::F32x4 x) { return erf_single::in_double<erf_single::cdfnorm_pair>(x); }
  static int special_lanes(simd::F32x4 x) {
    return simd::lane_mask_not_less_equal(simd::F32x4::splat(-14.0f), x);
  }
  static int32_t callout(const float* x, float* r) { return tess_callout_sCdfNorm(x, r); }
};

}  // namespace zorn::tess
