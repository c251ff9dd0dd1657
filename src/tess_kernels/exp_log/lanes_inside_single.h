// Range tests of the bits of four float lanes, for the lane tests of the single
// precision family.
#pragma once

#include <cstdint>

#include "tess_kernels/frame/simd.h"

namespace zorn::tess {

// The mask of the lanes whose bits lie in [low, high] (0 <= low <= high < 2^31 - 1), by
// one comparison: b - low as an unsigned number is at most high - low exactly there, and
// adding 2^31 to both sides turns that into the signed comparison SSE2 has.
inline int lanes_inside(simd::F32x4 x, uint32_t low, uint32_t high) {
  using simd::I32x4;
  const auto wrapped = [](uint32_t v) { return static_cast<int32_t>(v + 0x80000000u); };
  return simd::lane_mask(I32x4::splat(wrapped(high - low + 1)) >
                         simd::bits(x) + I32x4::splat(wrapped(-low)));
}

// The complement of lanes_inside, by the opposite comparison (no mask to invert).
inline int lanes_outside(simd::F32x4 x, uint32_t low, uint32_t high) {
  using simd::I32x4;
  const auto wrapped = [](uint32_t v) { return static_cast<int32_t>(v + 0x80000000u); };
  return simd::lane_mask(simd::bits(x) + I32x4::splat(wrapped(-low)) >
                         I32x4::splat(wrapped(high - low)));
}

}  // namespace zorn::tess
