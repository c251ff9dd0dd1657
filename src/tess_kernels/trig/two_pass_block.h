// The contiguous block of a double precision kernel in two passes over a chunk of pairs:
// `stage(x, staged)` (the reduction of every pair, with d Tan's series, into memory,
// returning the pair's special lanes in a form `|` combines and `lane_bits` reads) and
// then `finish(staged)` (the rest: table rows and the combination), rather than one pass
// through both. Each pass then holds its own constants in registers beside a few chains,
// and its chains are short enough for the out-of-order window to overlap several pairs
// (d Tan: 360 instructions for four pairs with 9 stack accesses against 401 with 104;
// d Sin and d Cos 0.92x and 0.95x the time of one pass, though with more instructions).
// In a chunk holding a special lane the groups before the first such group are finished
// from the staging and the block ends there (found by staging the pairs again: the rare
// path); the last partial chunk goes to run_fast_block and `pair`, which must give the
// same bits.
#pragma once

#include <cstdint>

#include "tess_kernels/frame/lane_loop_double.h"
#include "tess_kernels/frame/simd.h"

namespace zorn::tess {

// The whole groups of a staged chunk before its first group with a special lane, finished
// and stored; returns their number of elements. Out of line, so that the passes' loops
// keep their registers.
template <class Staged, class Stage, class Finish>
[[gnu::noinline]] int64_t finish_before_special(const double* a, double* r,
                                                const Staged* staged, const Stage& stage,
                                                const Finish& finish) {
  Staged again;
  int v = 0;
  while (lane_bits(stage(simd::F64x2::load(a + 2 * v), again)) == 0) ++v;
  v &= ~1;  // whole groups
  for (int u = 0; u < v; ++u) finish(staged[u]).store(r + 2 * u);
  return 2 * v;
}

// The first pass runs two pairs a step, or with kWholeChunk the whole chunk as straight-line
// code (d Tan 0.945x the time; d Sin and d Cos 1.03x and 1.04x). The unroll pragma takes
// no template argument, hence the two loops.
template <class Staged, int kPairs, bool kWholeChunk = false, class Stage, class Finish,
          class Pair>
[[gnu::always_inline]] inline int64_t run_two_pass_block(int64_t n, const double* a, double* r,
                                                         Stage&& stage, Finish&& finish,
                                                         Pair&& pair) {
  int64_t g = 0;
  for (; g + 2 * kPairs <= n; g += 2 * kPairs) {
    Staged staged[kPairs];
    decltype(stage(simd::F64x2::load(a), staged[0])) special{};  // no lane yet
    if constexpr (kWholeChunk) {
#pragma GCC unroll 64
      for (int v = 0; v < kPairs; ++v) {
        special = special | stage(simd::F64x2::load(a + g + 2 * v), staged[v]);
      }
    } else {
#pragma GCC unroll 2
      for (int v = 0; v < kPairs; ++v) {
        special = special | stage(simd::F64x2::load(a + g + 2 * v), staged[v]);
      }
    }
    if (lane_bits(special) != 0) {
      return g + finish_before_special(a + g, r + g, staged, stage, finish);
    }
    // Written out over the chunk: d Sin, d Cos and d Tan 0.97-0.98x, 0.96-0.97x and
    // 0.99-1.00x the time of four pairs a step (which took 0.988x that of two for d Tan).
#pragma GCC unroll 64
    for (int v = 0; v < kPairs; ++v) finish(staged[v]).store(r + g + 2 * v);
  }
  return g + run_fast_block(n - g, a + g, r + g, pair);
}

}  // namespace zorn::tess
