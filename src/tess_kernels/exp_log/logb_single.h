// Single precision logb, the unbiased exponent: read from the bits in four lanes for
// normal arguments, the callout for zeros, subnormals, infinities and NaNs.
#pragma once

#include <cstdint>

#include "tess_kernels/frame/lane_loop_single.h"
#include "tess_kernels/frame/simd.h"

namespace zorn::tess {

// logb of *x in *r: -inf with status 1 for a zero, the true exponent of a subnormal.
int32_t tess_callout_sLogb(const float* x, float* r);

struct LogbSingle : LaneLoopSingle<LogbSingle> {
  static simd::I32x4 biased_exponent(simd::F32x4 x) {
    return (simd::bits(x) >> 23) & simd::I32x4::splat(0xFF);
  }

  static simd::F32x4 fast_path(simd::F32x4 x) {
    return simd::to_float(biased_exponent(x) - simd::I32x4::splat(127));
  }

  // Biased exponent 0 (zeros, subnormals) or 255 (infinities, NaNs).
  static int special_lanes(simd::F32x4 x) {
    const simd::I32x4 e = biased_exponent(x);
    return simd::lane_mask((e == simd::I32x4::splat(0)) | (e == simd::I32x4::splat(0xFF)));
  }

  static int32_t callout(const float* x, float* r) { return tess_callout_sLogb(x, r); }
};

}  // namespace zorn::tess
