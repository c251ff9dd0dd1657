// Whether the SSE unit rounds to nearest, for single precision fast paths whose exact
// splittings (two-sums) hold only in that mode.
#pragma once

#include <xmmintrin.h>

namespace zorn::tess {

// 1 + 3 2^-25 then rounds up to 1 + 2^-23 and -1 - 3 2^-25 down to -1 - 2^-23, which no
// directed mode does for both. The operand is hidden from the compiler, which assumes
// rounding to nearest and would fold the sum; it depends on nothing in a loop, so the
// test can be hoisted out of it.
inline bool rounds_to_nearest_single() {
  __m128 a = _mm_setr_ps(1.0f, -1.0f, 0.0f, 0.0f);
  asm("" : "+x"(a));
  const __m128 sum = _mm_add_ps(a, _mm_setr_ps(0x1.8p-24f, -0x1.8p-24f, 0.0f, 0.0f));
  const __m128 nearest = _mm_setr_ps(1 + 0x1p-23f, -1 - 0x1p-23f, 0.0f, 0.0f);
  return _mm_movemask_ps(_mm_cmpeq_ps(sum, nearest)) == 0xF;
}

}  // namespace zorn::tess
