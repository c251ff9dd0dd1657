// Tempering of the Mersenne twisters' output words:
//   y ^= y >> u; y ^= (y << 7) AND b; y ^= (y << 15) AND c; y ^= y >> 18
// (u = 11 for MT19937, 12 for MT2203), over an array four lanes at a time.
#pragma once

#include <emmintrin.h>

#include <cstdint>

namespace zorn::generators {

template <int U>
struct Tempering {
  uint32_t b;
  uint32_t c;

  uint32_t operator()(uint32_t y) const {
    y ^= y >> U;
    y ^= (y << 7) & b;
    y ^= (y << 15) & c;
    return y ^ (y >> 18);
  }

  void operator()(const uint32_t* in, uint32_t* out, int32_t n) const {
    const __m128i mb = _mm_set1_epi32(static_cast<int>(b));
    const __m128i mc = _mm_set1_epi32(static_cast<int>(c));
    int32_t i = 0;
    for (; i + 4 <= n; i += 4) {
      __m128i y = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i));
      y = _mm_xor_si128(y, _mm_srli_epi32(y, U));
      y = _mm_xor_si128(y, _mm_and_si128(_mm_slli_epi32(y, 7), mb));
      y = _mm_xor_si128(y, _mm_and_si128(_mm_slli_epi32(y, 15), mc));
      y = _mm_xor_si128(y, _mm_srli_epi32(y, 18));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), y);
    }
    for (; i < n; ++i) out[i] = (*this)(in[i]);
  }
};

}  // namespace zorn::generators
