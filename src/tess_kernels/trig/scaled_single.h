// Single precision Sinpi, Cospi, Tanpi, Sind, Cosd and Tand: the double precision lanes of
// the same accuracy on the four arguments widened exactly, rounded once to float.
#pragma once

#include "tess_kernels/frame/lane_loop_single.h"
#include "tess_kernels/trig/scaled_double.h"

namespace zorn::tess::scaled {

template <Unit U, Fn F, Accuracy A>
struct ScaledSingle : LaneLoopSingle<ScaledSingle<U, F, A>> {
  static simd::F32x4 fast_path(simd::F32x4 x) {
    return simd::to_float(lanes<U, F, A>(simd::low_to_double(x)),
                          lanes<U, F, A>(simd::high_to_double(x)));
  }
  // The tangent's poles show in its value, which is computed again here.
  static int special_lanes(simd::F32x4 x) {
    const F64x2 low = simd::low_to_double(x), high = simd::high_to_double(x);
    if constexpr (F == Fn::kTan) {
      return special_mask<U, F, A>(low, lanes<U, F, A>(low)) |
             special_mask<U, F, A>(high, lanes<U, F, A>(high)) << 2;
    } else {
      return special_mask<U, F, A>(low, low) | special_mask<U, F, A>(high, high) << 2;
    }
  }
  static int32_t callout(const float* x, float* r) {
    double y;
    const int32_t status = scaled::callout<U, F, A>(*x, &y);
    *r = static_cast<float>(y);
    return status;
  }
};

}  // namespace zorn::tess::scaled
