// Fast blocks of double precision kernels given group by group rather than pair by pair
// (lane_loop_double.h): a kernel that branches on its lanes decides once per group of
// four, so that its two pairs run as one straight sequence and their chains interleave.
#pragma once

#include <cstdint>

#include "tess_kernels/frame/lane_loop_double.h"

namespace zorn::tess {

// Whole contiguous groups from the start of a and r until the first group holding a
// special lane, which is left unstored; returns the number of elements stored.
// `group(x0, x1, y0, y1)` computes both pairs of a group and is true where none of its
// lanes is special.
template <class Group>
inline int64_t run_group_block(int64_t n, const double* a, double* r, Group&& group) {
  int64_t g = 0;
  for (; g + kGroupLanes <= n; g += kGroupLanes) {
    simd::F64x2 y0, y1;
    if (!group(simd::F64x2::load(a + g), simd::F64x2::load(a + g + 2), y0, y1)) break;
    y0.store(r + g);
    y1.store(r + g + 2);
  }
  return g;
}

// TESS_DOUBLE_PAIR_LOOPS with the contiguous groups given by the function `group`;
// strided and partial groups take `pair`, which must give the same bits.
#define TESS_DOUBLE_GROUP_LOOPS(Type, group, pair)                  \
  int64_t Type::fast_block(int64_t n, const double* a, double* r) { \
    return run_group_block(n, a, r, group);                         \
  }                                                                 \
  int Type::fast_group(const double x[4], double y[4]) { return run_fast_group(x, y, pair); }

}  // namespace zorn::tess
