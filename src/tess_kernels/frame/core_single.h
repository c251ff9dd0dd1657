// Four-lane single precision kernels given by one core: either a float core on the four
// lanes, or a double precision core on both halves widened to pairs of doubles and
// rounded back once per lane.
#pragma once

#include <cstdint>
#include <type_traits>

#include "tess_kernels/frame/lane_loop_single.h"
#include "tess_kernels/frame/simd.h"

namespace zorn::tess {

// One single precision kernel: Core maps |x| (x itself where Odd is false) to the
// result, Odd puts the sign of x back, Special gives the lanes for the callout.
// Paired runs two groups a step (LaneLoopSingle::fast_block); NanMarksSpecial says that
// the fast path gives NaN on every lane Special names and on no other, so that a pair is
// tested on its results by one comparison.
template <auto Core, bool Odd, int (*Special)(simd::F32x4),
          int32_t (*Callout)(const float*, float*), bool Paired = false,
          bool NanMarksSpecial = false>
struct CoreSingle
    : LaneLoopSingle<CoreSingle<Core, Odd, Special, Callout, Paired, NanMarksSpecial>> {
  static constexpr bool kPairedVectors = Paired;
  static simd::F32x4 fast_path(simd::F32x4 x) {
    const simd::F32x4 v = Odd ? simd::abs(x) : x;
    simd::F32x4 y;
    if constexpr (std::is_invocable_v<decltype(Core), simd::F32x4>) {
      y = Core(v);
    } else {
      y = simd::to_float(Core(simd::low_to_double(v)), Core(simd::high_to_double(v)));
    }
    return Odd ? simd::or_sign(y, x) : y;
  }
  static int special_lanes(simd::F32x4 x) { return Special(x); }
  static int special_results(simd::F32x4 y0, simd::F32x4 y1)
    requires NanMarksSpecial
  {
    return simd::lane_mask_unordered(y0, y1);
  }
  static int32_t callout(const float* x, float* r) { return Callout(x, r); }
};

}  // namespace zorn::tess
