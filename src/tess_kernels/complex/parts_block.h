// Contiguous double precision elements from a real fast block, for the `block` hook of
// real_side_lanes.h from real to complex (CIS: SinCos's): the two results of a chunk
// merged into elements at once, so that the real kernel's loop runs without a call or a
// scatter per group of four.
#pragma once

#include <emmintrin.h>

#include <algorithm>
#include <complex>
#include <cstdint>

#include "tess_kernels/complex/pair_loop.h"
#include "tess_kernels/frame/kernel_frame.h"

namespace zorn::tess::cx {

// `block(m, t, re, im)` stores whole groups of four of both parts until the first holding
// an element it cannot take and returns the count stored; this merges them into
// z[0, n) and returns the same count. A chunk is read whole before any of it is stored.
template <class Block>
[[gnu::always_inline]] inline int64_t merged_block(int64_t n, const double* t,
                                                   std::complex<double>* z, Block&& block) {
  constexpr int64_t kChunk = 256;
  int64_t done = 0;
  while (n - done >= kGroupLanes) {
    const int64_t m = std::min(kChunk, (n - done) & ~int64_t{kGroupLanes - 1});
    alignas(16) double re[kChunk], im[kChunk];
    const int64_t k = block(m, t + done, re, im);
    for (int64_t i = 0; i < k; i += 2) {
      const __m128d a = _mm_load_pd(re + i), b = _mm_load_pd(im + i);
      store_pair(z + done + i, _mm_unpacklo_pd(a, b), _mm_unpackhi_pd(a, b));
    }
    done += k;
    if (k < m) break;
  }
  return done;
}

}  // namespace zorn::tess::cx
