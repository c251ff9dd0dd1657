// The 32-bit words of a vector register read back as integers through a store to the
// stack. Table lookups need each lane's row index in a general register; the extraction
// instructions (movd, and a shift or unpack per further lane) run on the vector ports,
// which bind the double precision exponential and logarithm loops, while a store and
// scalar loads (forwarded from the store) use the load and store ports. On the build
// machine (an Intel Xeon) d Exp2 took 0.92x the time with the rows of its two lanes
// found this way.
#pragma once

#include <emmintrin.h>

#include <cstdint>

namespace zorn::tess::simd {

struct Words {
  alignas(16) uint32_t w[4];  // w[0], w[1]: lane 0 low and high; w[2], w[3]: lane 1
};

inline Words words_through_memory(__m128i v) {
  Words s;
  _mm_store_si128(reinterpret_cast<__m128i*>(s.w), v);
  // Hides the stored value from the compiler, which would otherwise read the words out
  // of the register again.
  asm("" : "+m"(s.w));
  return s;
}

}  // namespace zorn::tess::simd
