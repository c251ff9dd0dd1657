// Single precision ErfInv, ErfcInv and CdfNormInv: the rows of the double kernels from
// lanes reduced in single precision (erfinv_single_rows.h), rounded once to single; lanes
// outside the rows go to the callouts, which compute in double precision.
#pragma once

#include <cstdint>

#include "tess_kernels/frame/lane_loop_single.h"
#include "tess_kernels/special/erfinv_single_rows.h"

namespace zorn::tess {

// erfinv: ±1 gives ±inf with status 2, other |x| > 1 NaN with status 1, NaN NaN; below
// 2^-24 in magnitude, x sqrt(pi)/2 in double precision (±0 itself).
int32_t tess_callout_sErfInv(const float* x, float* r);
// erfcinv and the normal quantile report their singularities only: status 2 at the ends
// of the domain, NaN without a report outside it.
int32_t tess_callout_sErfcInv(const float* x, float* r);
int32_t tess_callout_sCdfNormInv(const float* x, float* r);

struct ErfInvSingle : LaneLoopSingle<ErfInvSingle> {
  using Forms = inverse_erf::ErfInvForms;
  static simd::F32x4 fast_path(simd::F32x4 x) { return inverse_erf::rows_group<Forms>(x); }
  // |x| >= 1, NaN, and |x| < 2^-53 (bit pattern below 0x25000000), below the rows.
  static int special_lanes(simd::F32x4 x) {
    const simd::I32x4 magnitude = simd::bits(simd::abs(x));
    return simd::lane_mask((magnitude > simd::I32x4::splat(0x3F7FFFFF)) |
                           (simd::I32x4::splat(0x25000000) > magnitude));
  }
  static int64_t contiguous_block(int64_t n, const float* a, float* r) {
    return inverse_erf::run_single_row_block<Forms, special_lanes>(n, a, r);
  }
  static int32_t callout(const float* x, float* r) { return tess_callout_sErfInv(x, r); }
};

// Below 2^-53, at 2 and above, NaN.
struct ErfcInvSingle : LaneLoopSingle<ErfcInvSingle> {
  using Forms = inverse_erf::ErfcInvForms;
  static simd::F32x4 fast_path(simd::F32x4 x) { return inverse_erf::rows_group<Forms>(x); }
  static int special_lanes(simd::F32x4 q) {
    return simd::lane_mask_less(q, simd::F32x4::splat(0x1p-53f)) |
           simd::lane_mask_not_less(q, simd::F32x4::splat(2.0f));
  }
  static int64_t contiguous_block(int64_t n, const float* a, float* r) {
    return inverse_erf::run_single_row_block<Forms, special_lanes>(n, a, r);
  }
  static int32_t callout(const float* x, float* r) { return tess_callout_sErfcInv(x, r); }
};

// Below 2^-53, at 1 and above, NaN.
struct CdfNormInvSingle : LaneLoopSingle<CdfNormInvSingle> {
  using Forms = inverse_erf::NormalQuantileForms;
  static simd::F32x4 fast_path(simd::F32x4 x) { return inverse_erf::rows_group<Forms>(x); }
  static int special_lanes(simd::F32x4 p) {
    return simd::lane_mask_less(p, simd::F32x4::splat(0x1p-53f)) |
           simd::lane_mask_not_less(p, simd::F32x4::splat(1.0f));
  }
  static int64_t contiguous_block(int64_t n, const float* a, float* r) {
    return inverse_erf::run_single_row_block<Forms, special_lanes>(n, a, r);
  }
  static int32_t callout(const float* x, float* r) { return tess_callout_sCdfNormInv(x, r); }
};

}  // namespace zorn::tess
