// Range tests of the bits of four float lanes, for the lane tests of the single
// precision family.
#pragma once

#include <cstdint>

#include "tess_kernels/frame/simd.h"

namespace zorn::tess {

// The mask of the lanes whose bits lie in [low, high] as unsigned numbers (low <= high <
// 2^32 - 1), by one comparison: b - low as an unsigned number is at most high - low exactly
// there, and adding 2^31 to both sides turns that into the signed comparison SSE2 has.
inline int lanes_inside(simd::F32x4 x, uint32_t low, uint32_t high) {
  using simd::I32x4;
  const auto wrapped = [](uint32_t v) { return static_cast<int32_t>(v + 0x80000000u); };
  return simd::lane_mask(I32x4::splat(wrapped(high - low + 1)) >
                         simd::bits(x) + I32x4::splat(wrapped(-low)));
}

// The complement of lanes_inside, by the opposite comparison (no mask to invert). The
// bound is hidden from the compiler: seeing it, GCC 12 rewrites the comparison as the
// constant against the shifted bits, which needs a copy of the constant and an inverted
// mask (two to three instructions more a group); hidden, it stays one pcmpgtd on the
// shifted bits, and the empty asm is hoisted out of the loops with the constant.
inline int lanes_outside(simd::F32x4 x, uint32_t low, uint32_t high) {
  using simd::I32x4;
  const auto wrapped = [](uint32_t v) { return static_cast<int32_t>(v + 0x80000000u); };
  I32x4 bound = I32x4::splat(wrapped(high - low));
  asm("" : "+x"(bound.v));
  return simd::lane_mask(simd::bits(x) + I32x4::splat(wrapped(-low)) > bound);
}

// Whether a lane of either of two groups lies outside [low, high], for bounds whose
// difference ends in 16 one bits: against such a bound a lane's shifted bits compare as
// their high halves do, so the high halves' lane-wise maximum (pmaxsw) is compared once:
// one movmskps for the two groups.
inline bool any_lane_outside(simd::F32x4 x0, simd::F32x4 x1, uint32_t low, uint32_t high) {
  using simd::I32x4;
  const auto wrapped = [](uint32_t v) { return static_cast<int32_t>(v + 0x80000000u); };
  I32x4 bound = I32x4::splat(wrapped(high - low));
  asm("" : "+x"(bound.v));
  const I32x4 shift = I32x4::splat(wrapped(-low));
  const I32x4 top = {_mm_max_epi16((simd::bits(x0) + shift).v, (simd::bits(x1) + shift).v)};
  return simd::lane_mask(top > bound) != 0;
}

}  // namespace zorn::tess
