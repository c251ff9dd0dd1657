// Single precision ErfInv, ErfcInv and CdfNormInv: four lanes widened to two pairs of
// doubles through the single precision forms of the double core (erfinv_core_double.h),
// rounded once to single; lanes outside the fast ranges go to the callouts, which compute
// in double precision.
#pragma once

#include <cstdint>

#include "tess_kernels/frame/lane_loop_single.h"
#include "tess_kernels/special/erfinv_core_double.h"

namespace zorn::tess {

// erfinv: ±1 gives ±inf with status 2, other |x| > 1 NaN with status 1, NaN NaN; below
// 2^-24 in magnitude, x sqrt(pi)/2 in double precision (±0 itself).
int32_t tess_callout_sErfInv(const float* x, float* r);
// erfcinv and the normal quantile report their singularities only: status 2 at the ends
// of the domain, NaN without a report outside it.
int32_t tess_callout_sErfcInv(const float* x, float* r);
int32_t tess_callout_sCdfNormInv(const float* x, float* r);

template <simd::F64x2 (*Pair)(simd::F64x2)>
simd::F32x4 widened(simd::F32x4 x) {
  return simd::to_float(Pair(simd::low_to_double(x)), Pair(simd::high_to_double(x)));
}

struct ErfInvSingle : LaneLoopSingle<ErfInvSingle> {
  static simd::F32x4 fast_path(simd::F32x4 x) { return widened<inverse_erf::erfinv_single_pair>(x); }
  // |x| >= 1, NaN, and |x| < 2^-24 (bit pattern at most 0x337FFFFF).
  static int special_lanes(simd::F32x4 x) {
    const simd::I32x4 magnitude = simd::bits(simd::abs(x));
    return simd::lane_mask((magnitude > simd::I32x4::splat(0x3F7FFFFF)) |
                           (simd::I32x4::splat(0x33800000) > magnitude));
  }
  static int32_t callout(const float* x, float* r) { return tess_callout_sErfInv(x, r); }
};

// Below 2^-53, at 2 and above, NaN.
struct ErfcInvSingle : LaneLoopSingle<ErfcInvSingle> {
  static simd::F32x4 fast_path(simd::F32x4 x) { return widened<inverse_erf::erfcinv_single_pair>(x); }
  static int special_lanes(simd::F32x4 q) {
    return simd::lane_mask_less(q, simd::F32x4::splat(0x1p-53f)) |
           simd::lane_mask_not_less(q, simd::F32x4::splat(2.0f));
  }
  static int32_t callout(const float* x, float* r) { return tess_callout_sErfcInv(x, r); }
};

// Below 2^-53, at 1 and above, NaN.
struct CdfNormInvSingle : LaneLoopSingle<CdfNormInvSingle> {
  static simd::F32x4 fast_path(simd::F32x4 x) {
    return widened<inverse_erf::normal_quantile_single_pair>(x);
  }
  static int special_lanes(simd::F32x4 p) {
    return simd::lane_mask_less(p, simd::F32x4::splat(0x1p-53f)) |
           simd::lane_mask_not_less(p, simd::F32x4::splat(1.0f));
  }
  static int32_t callout(const float* x, float* r) { return tess_callout_sCdfNormInv(x, r); }
};

}  // namespace zorn::tess
