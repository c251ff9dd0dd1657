// Single precision modified Bessel functions I0 and I1: four-lane fast paths for
// |x| <= 91 that compute in double (bessel_i_core.h with the low-degree rows, one
// rounding to float at the end); NaN and larger |x| go to the callouts, the double
// callouts rounded to float (overflow, status 3, from about 91.9).
#pragma once

#include <cstdint>

#include "tess_kernels/frame/lane_loop_single.h"
#include "tess_kernels/frame/simd.h"
#include "tess_kernels/special/bessel_i_core.h"

namespace zorn::tess {

int32_t tess_callout_sI0(const float* x, float* r);
int32_t tess_callout_sI1(const float* x, float* r);

namespace bessel_i_single {

constexpr float kFastLimit = 91.0f;

inline simd::F64x2 i0_pair(simd::F64x2 x) { return bessel_i_core::i0(x, bessel_i_core::kI0RowsSingle); }
inline simd::F64x2 i1_pair(simd::F64x2 x) { return bessel_i_core::i1(x, bessel_i_core::kI1RowsSingle); }

// F on both pairs of lanes of x, rounded to float once.
template <simd::F64x2 (*F)(simd::F64x2)>
inline simd::F32x4 in_double(simd::F32x4 x) {
  return simd::to_float(F(simd::low_to_double(x)), F(simd::high_to_double(x)));
}

inline int beyond_fast_range(simd::F32x4 x) {
  return simd::lane_mask_not_less_equal(simd::abs(x), simd::F32x4::splat(kFastLimit));
}

}  // namespace bessel_i_single

struct I0Single : LaneLoopSingle<I0Single> {
  static simd::F32x4 fast_path(simd::F32x4 x) { return bessel_i_single::in_double<bessel_i_single::i0_pair>(x); }
  static int special_lanes(simd::F32x4 x) { return bessel_i_single::beyond_fast_range(x); }
  static int32_t callout(const float* x, float* r) { return tess_callout_sI0(x, r); }
};

struct I1Single : LaneLoopSingle<I1Single> {
  static simd::F32x4 fast_path(simd::F32x4 x) { return bessel_i_single::in_double<bessel_i_single::i1_pair>(x); }
  static int special_lanes(simd::F32x4 x) { return bessel_i_single::beyond_fast_range(x); }
  static int32_t callout(const float* x, float* r) { return tess_callout_sI1(x, r); }
};

}  // namespace zorn::tess
