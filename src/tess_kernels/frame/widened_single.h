// Four-lane single precision kernels computed in double: both halves of the vector
// widened to pairs of doubles, a double precision core, one rounding back per lane.
#pragma once

#include <cstdint>

#include "tess_kernels/frame/lane_loop_single.h"
#include "tess_kernels/frame/simd.h"

namespace zorn::tess {

// One single precision kernel: Core maps |x| (x itself where Odd is false) to the
// result in double, Odd puts the sign of x back, Special gives the lanes for the callout.
template <simd::F64x2 (*Core)(simd::F64x2), bool Odd, int (*Special)(simd::F32x4),
          int32_t (*Callout)(const float*, float*)>
struct WidenedSingle : LaneLoopSingle<WidenedSingle<Core, Odd, Special, Callout>> {
  static simd::F32x4 fast_path(simd::F32x4 x) {
    const simd::F32x4 v = Odd ? simd::abs(x) : x;
    const simd::F32x4 y =
        simd::to_float(Core(simd::low_to_double(v)), Core(simd::high_to_double(v)));
    return Odd ? simd::or_sign(y, x) : y;
  }
  static int special_lanes(simd::F32x4 x) { return Special(x); }
  static int32_t callout(const float* x, float* r) { return Callout(x, r); }
};

}  // namespace zorn::tess
