// Single precision error functions and normal distribution function: four-lane fast
// paths, in float for Erf, Erfc and CdfNorm (erf_grid_float.h), in double for Erfcx (two
// pairs of lanes from the cores of erf_core.h with the low-degree tables, one rounding to
// float at the end), and double precision callouts.
#pragma once

#include <cmath>
#include <cstdint>

#include "tess_kernels/frame/lane_loop_single.h"
#include "tess_kernels/frame/simd.h"
#include "tess_kernels/special/erf_core.h"
#include "tess_kernels/special/erf_grid_float.h"

namespace zorn::tess {

int32_t tess_callout_sErf(const float* x, float* r);
int32_t tess_callout_sErfc(const float* x, float* r);
int32_t tess_callout_sErfcx(const float* x, float* r);
int32_t tess_callout_sCdfNorm(const float* x, float* r);

namespace erf_single {

using erf_core::F64x2;
using erf_core::splat;

// f applied to both pairs of lanes of x, rounded to float once.
template <F64x2 (*F)(F64x2)>
inline simd::F32x4 in_double(simd::F32x4 x) {
  return simd::to_float(F(simd::low_to_double(x)), F(simd::high_to_double(x)));
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

}  // namespace erf_single

// Erf: only NaN leaves the fast path (the kernel reports nothing).
struct ErfSingle : LaneLoopSingle<ErfSingle> {
  static constexpr bool kPairedVectors = true;
  static simd::F32x4 fast_path(simd::F32x4 x) { return erf_grid::erf(x); }
  static int special_lanes(simd::F32x4 x) {
    return simd::lane_mask_not_less_equal(simd::abs(x), simd::F32x4::splat(INFINITY));
  }
  static int32_t callout(const float* x, float* r) { return tess_callout_sErf(x, r); }
};

// Erfc: x >= 9 (results near and below 2^-126; zero and status 4 from
// 10.054194928818097) and NaN leave the fast path.
struct ErfcSingle : LaneLoopSingle<ErfcSingle> {
  static constexpr bool kPairedVectors = true;  // one chain of about 60 cycles a group
  static simd::F32x4 fast_path(simd::F32x4 x) { return erf_grid::erfc(x); }
  static int special_lanes(simd::F32x4 x) {
    return simd::lane_mask_not_less(x, simd::F32x4::splat(9.0f));
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

// CdfNorm: x < -12.7 (|t| beyond the grid; zero and status 4 below -14.170185) and NaN
// leave the fast path.
struct CdfNormSingle : LaneLoopSingle<CdfNormSingle> {
  static simd::F32x4 fast_path(simd::F32x4 x) { return erf_grid::cdfnorm(x); }
  static int special_lanes(simd::F32x4 x) {
    return simd::lane_mask_not_less_equal(simd::F32x4::splat(-12.7f), x);
  }
  static int32_t callout(const float* x, float* r) { return tess_callout_sCdfNorm(x, r); }
};

}  // namespace zorn::tess
