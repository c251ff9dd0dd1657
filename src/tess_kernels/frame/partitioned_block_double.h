// A contiguous fast block for double precision kernels whose lanes take one of two forms
// by a test that ordinary arguments pass or fail often (d Log1p: lanes near 0 take a
// head-tail form, a sixth of the benchmark's lanes and a third of its pairs). As a branch
// per pair, that test is mispredicted on fresh arguments about as often as the rarer form
// is taken; the predictor learns it only on arguments it has seen before (the same 1000
// arguments called again and again). Here every group takes the common form, without a
// branch on the test, and the places of the lanes that need the other form are queued;
// the queue then runs packed in pairs, the results going back to the lanes' elements:
// one loop exit to mispredict a block, and the other form paid for by the lanes that
// need it, not by their partners.
//
// A lane's bits are those of the kernel's pair function, which must take each lane's form
// by that lane alone. The block stops before the first group holding a special lane,
// which is left unstored, as run_fast_block does.
#pragma once

#include <emmintrin.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

#include "tess_kernels/frame/interleaved_schedule.h"
#include "tess_kernels/frame/lane_loop_double.h"

namespace zorn::tess {
namespace partitioned_block_detail {

// For each four-bit set of queued lanes: their lane numbers, one a byte, in order, and
// how many there are.
struct QueuedLanes {
  std::array<uint32_t, 16> numbers{};
  std::array<uint8_t, 16> count{};
  constexpr QueuedLanes() {
    for (uint32_t set = 0; set < 16; ++set) {
      for (uint32_t lane = 0; lane < 4; ++lane) {
        if (set >> lane & 1) numbers[set] |= lane << (8 * count[set]++);
      }
    }
  }
};
inline constexpr QueuedLanes kQueuedLanes{};

// 64 groups: the queue's loop exit, mispredicted about once a block, costs a few percent
// of it; the lanes' places in a block fit in a byte.
inline constexpr int kBlockGroups = 64;
inline constexpr int kBlockLanes = kBlockGroups * kGroupLanes;

// One block of at most kBlockLanes lanes from a and r; returns the lanes stored and, in
// `queued_count`, how many lanes took the queued form. kSecondFirst: every group takes
// the second form and the lanes of the first are queued. In place (kThroughBuffer), the
// results go to a buffer first, so that the queued lanes still find their arguments, and
// are then copied to r.
template <class Op, bool kSecondFirst, bool kThroughBuffer>
[[gnu::always_inline]] inline int64_t run_block(int64_t lanes, const double* a, double* r, int& queued_count) {
  alignas(16) double buffer[kThroughBuffer ? kBlockLanes : 1];
  double* const y = kThroughBuffer ? buffer : r;
  uint8_t places[kBlockLanes + 4];
  int count = 0;
  int64_t b = 0;
  for (; b < lanes; b += kGroupLanes) {
    int c0, c1;
    const simd::F64x2 y0 = Op::template form<kSecondFirst>(simd::F64x2::load(a + b), c0);
    const simd::F64x2 y1 = Op::template form<kSecondFirst>(simd::F64x2::load(a + b + 2), c1);
    if (((c0 | c1) & 3) != 0) break;
    const int queued = (c0 >> 2 | (c1 >> 2) << 2) ^ (kSecondFirst ? 0xF : 0);
    const uint32_t numbers = kQueuedLanes.numbers[queued] + static_cast<uint32_t>(b) * 0x01010101u;
    std::memcpy(places + count, &numbers, 4);
    count += kQueuedLanes.count[queued];
    y0.store(y + b);
    y1.store(y + b + 2);
  }
  // An odd queue ends with its last lane twice, stored twice to the same element.
  if (count & 1) places[count] = places[count - 1];
  for (int i = 0; i < count; i += 2) {
    const simd::F64x2 x = {_mm_loadh_pd(_mm_load_sd(a + places[i]), a + places[i + 1])};
    int unused;
    const simd::F64x2 v = Op::template form<!kSecondFirst>(x, unused);
    _mm_storel_pd(y + places[i], v.v);
    _mm_storeh_pd(y + places[i + 1], v.v);
  }
  if constexpr (kThroughBuffer) std::memcpy(r, buffer, static_cast<size_t>(b) * sizeof(double));
  queued_count = count;
  return b;
}

}  // namespace partitioned_block_detail

// Op supplies, for a pair x of lanes:
//   template <bool kSecond> static simd::F64x2 form(simd::F64x2 x, int& classes);
// the first (kSecond false) or the second form of both lanes, with the lanes' classes:
// bit 0 or 1, lane 0 or 1 is special; bit 2 or 3, it takes the second form;
//   static int classes(simd::F64x2 x);
// those classes alone; and
//   static constexpr int64_t kPairByPairBelow;
// the length below which a call runs pair by pair (run_lane_partitioned_pair, a branch a
// pair): there the block's set-up and its queue pass, whose chains start only after the
// last group, cost more than the branch. Each block runs first the form that most lanes
// of the block before took; the first block, the form of most lanes of its first group.

// One pair, each lane by its own form, the second computed only where a lane needs it:
// the pair function of short calls and of groups held in arrays (strided and partial).
template <class Op>
[[gnu::always_inline]] inline int run_lane_partitioned_pair(simd::F64x2 x, simd::F64x2& y) {
  int classes;
  const int second = Op::classes(x) >> 2 & 3;
  if (second == 0) {
    y = Op::template form<false>(x, classes);
  } else if (second == 3) {
    y = Op::template form<true>(x, classes);
  } else {
    const simd::F64x2 lanes = {_mm_castsi128_pd(_mm_set_epi64x(-(second >> 1), -(second & 1)))};
    y = simd::select(lanes, Op::template form<true>(x, classes), Op::template form<false>(x, classes));
  }
  return classes & 3;
}

namespace partitioned_block_detail {
// The blocks, out of line: their set-up (the stack of the queue, the registers they keep)
// stays off the path of short calls, which GCC would otherwise pay at the entry. Scheduled
// for interleaved chains (interleaved_schedule.h), as the kernels' own loops are: without
// it d Tanh took 1.14x and d Ln 1.07x the time of their pair loops (n = 1000).
template <class Op>
[[gnu::noinline, TESS_INTERLEAVED]] int64_t run_blocks(int64_t n, const double* a, double* r) {
  const bool overlapping = r < a + n && a < r + n;
  const int first_classes = Op::classes(simd::F64x2::load(a)) >> 2 |
                            (Op::classes(simd::F64x2::load(a + 2)) >> 2) << 2;
  bool second_first = kQueuedLanes.count[first_classes] > 2;
  int64_t g = 0;
  for (;;) {
    const int64_t lanes = std::min<int64_t>(kBlockLanes, n - g) & -int64_t{kGroupLanes};
    if (lanes <= 0) return g;
    int queued = 0;
    const int64_t stored =
        second_first
            ? (overlapping ? run_block<Op, true, true>(lanes, a + g, r + g, queued)
                           : run_block<Op, true, false>(lanes, a + g, r + g, queued))
            : (overlapping ? run_block<Op, false, true>(lanes, a + g, r + g, queued)
                           : run_block<Op, false, false>(lanes, a + g, r + g, queued));
    g += stored;
    if (stored < lanes) return g;
    if (2 * queued > stored) second_first = !second_first;
  }
}
}  // namespace partitioned_block_detail

template <class Op>
inline int64_t run_lane_partitioned_fast_block(int64_t n, const double* a, double* r) {
  if (n < std::max<int64_t>(Op::kPairByPairBelow, kGroupLanes)) {
    return run_fast_block(n, a, r, run_lane_partitioned_pair<Op>);
  }
  return partitioned_block_detail::run_blocks<Op>(n, a, r);
}

}  // namespace zorn::tess
