// Single precision exponential integral E1: a four-lane fast path for 0 < x < 128 that
// computes in double (expint_core.h with the low-degree tables) and rounds once; NaN,
// x <= 0 and larger x (where E1 is zero in single precision) go to the callout, the
// double value rounded.
#pragma once

#include "tess_kernels/frame/core_single.h"
#include "tess_kernels/special/expint_core.h"

namespace zorn::tess {

int32_t tess_callout_sExpInt1(const float* x, float* r);

namespace expint_single {

constexpr double kFastEnd = 128.0;  // the last row of the single tables

inline simd::F64x2 expint1_pair(simd::F64x2 x) {
  simd::F64x2 special;
  return expint_core::e1<kFastEnd>(x, expint_core::kExpInt1RowsSingle,
                                   expint_core::kExpInt1SeriesSingle, special);
}

inline int outside_fast_range(simd::F32x4 x) {
  return simd::lane_mask_not_greater(x, simd::F32x4::splat(0.0f)) |
         simd::lane_mask_not_less(x, simd::F32x4::splat(static_cast<float>(kFastEnd)));
}

}  // namespace expint_single

using ExpInt1Single = CoreSingle<expint_single::expint1_pair, false,
                                 expint_single::outside_fast_range, tess_callout_sExpInt1>;

}  // namespace zorn::tess
