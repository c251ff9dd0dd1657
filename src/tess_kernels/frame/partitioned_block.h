// A contiguous fast block for kernels whose lanes take one of two forms by a test that
// ordinary arguments pass or fail often (d Log1p: lanes near 0 take a head-tail form, a
// sixth of the benchmark's lanes and a third of its pairs; s Log2 and s Log10: lanes in
// [0.5, 2) take double precision, about one group in 25 of the benchmark's). As a branch
// per vector, that test is mispredicted on fresh arguments about as often as the rarer
// form is taken; the predictor learns it only on arguments it has seen before (the same
// 1000 arguments called again and again). Here every group takes the common form,
// without a branch on the test, and the places of the lanes that need the other form are
// queued; the queue then runs packed in vectors, the results going back to the lanes'
// elements: one loop exit to mispredict a block, and the other form paid for by the
// lanes that need it, not by their partners.
//
// A group is kGroupLanes elements, two vectors of doubles or one of floats. A lane's
// bits are those of the kernel's vector function, which must take each lane's form by
// that lane alone. The block stops before the first group holding a special lane, which
// is left unstored, as the kernels' other contiguous blocks do.
#pragma once

#include <emmintrin.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <type_traits>

#include "tess_kernels/frame/interleaved_schedule.h"
#include "tess_kernels/frame/kernel_frame.h"
#include "tess_kernels/frame/lane_loop_double.h"
#include "tess_kernels/frame/simd.h"

namespace zorn::tess {

// A vector's lanes by class, one bit a lane: special ones (the block stops before their
// group), and those that take the second form.
struct LaneClasses {
  uint32_t special, second;
};

// A pair's classes from one four-bit mask: bits 0 and 1, lane 0 or 1 is special; bits 2
// and 3, it takes the second form.
[[gnu::always_inline]] inline LaneClasses pair_lane_classes(int classes) {
  return {static_cast<uint32_t>(classes) & 3, static_cast<uint32_t>(classes) >> 2};
}

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

// The vector of an element type, and the queue's packing: kLanes queued lanes read from
// their places into one vector, and its results written back to theirs.
template <class T>
struct Packed;
template <>
struct Packed<double> {
  using Vector = simd::F64x2;
  static constexpr int kLanes = 2;
  static Vector gather(const double* a, const uint8_t* p) {
    return {_mm_loadh_pd(_mm_load_sd(a + p[0]), a + p[1])};
  }
  static void scatter(Vector v, double* y, const uint8_t* p) {
    _mm_storel_pd(y + p[0], v.v);
    _mm_storeh_pd(y + p[1], v.v);
  }
};
template <>
struct Packed<float> {
  using Vector = simd::F32x4;
  static constexpr int kLanes = 4;
  static Vector gather(const float* a, const uint8_t* p) {
    return {_mm_setr_ps(a[p[0]], a[p[1]], a[p[2]], a[p[3]])};
  }
  static void scatter(Vector v, float* y, const uint8_t* p) {
    _mm_store_ss(y + p[0], v.v);
    _mm_store_ss(y + p[1], _mm_shuffle_ps(v.v, v.v, 1));
    _mm_store_ss(y + p[2], _mm_movehl_ps(v.v, v.v));
    _mm_store_ss(y + p[3], _mm_shuffle_ps(v.v, v.v, 3));
  }
};

// The lanes of a group at x that take the second form, one bit a lane.
template <class Op, class T>
inline uint32_t second_form_lanes(const T* x) {
  using P = Packed<T>;
  uint32_t second = 0;
  for (int v = 0; v < kGroupLanes / P::kLanes; ++v) {
    second |= Op::classes(P::Vector::load(x + v * P::kLanes)).second << (v * P::kLanes);
  }
  return second;
}

// Appends to the queue of `count` places those of the lanes of `set` in the group at b;
// returns the new count.
inline size_t append_places(uint8_t* places, size_t count, uint32_t set, uint32_t b) {
  const uint32_t numbers = kQueuedLanes.numbers[set] + b * 0x01010101u;
  std::memcpy(places + count, &numbers, 4);
  return count + kQueuedLanes.count[set];
}

// One block of at most kBlockLanes lanes from a and r; returns the lanes stored and, in
// `queued_count`, how many lanes took the queued form. kSecondFirst: every group takes
// the second form and the lanes of the first are queued. In place (kThroughBuffer), the
// results go to a buffer first, so that the queued lanes still find their arguments, and
// are then copied to r.
template <class Op, bool kSecondFirst, bool kThroughBuffer, class T>
[[gnu::always_inline]] inline int64_t run_block(int64_t lanes, const T* a, T* r,
                                                int& queued_count) {
  using P = Packed<T>;
  using V = typename P::Vector;
  constexpr int kVectors = kGroupLanes / P::kLanes;
  constexpr bool kQueueGroups = requires { requires Op::kFewQueuedGroups; };
  alignas(16) T buffer[kThroughBuffer ? kBlockLanes : 1];
  T* const y = kThroughBuffer ? buffer : r;
  uint8_t places[kBlockLanes + 4];
  size_t count = 0;
  uint32_t groups[kQueueGroups ? kBlockGroups : 1];
  size_t queued_groups = 0;
  int64_t b = 0;
  for (; b < lanes; b += kGroupLanes) {
    V yv[kVectors];
    uint32_t special = 0, second = 0;
    for (int v = 0; v < kVectors; ++v) {
      LaneClasses classes;
      yv[v] = Op::template form<kSecondFirst>(V::load(a + b + v * P::kLanes), classes);
      special |= classes.special;
      second |= classes.second << (v * P::kLanes);
    }
    if (special != 0) break;
    const uint32_t queued = second ^ (kSecondFirst ? 0xF : 0);
    if constexpr (kQueueGroups) {
      groups[queued_groups] = static_cast<uint32_t>(b) << 4 | queued;
      queued_groups += queued != 0;
    } else {
      count = append_places(places, count, queued, static_cast<uint32_t>(b));
    }
    for (int v = 0; v < kVectors; ++v) yv[v].store(y + b + v * P::kLanes);
  }
  for (size_t i = 0; i < queued_groups; ++i) {
    count = append_places(places, count, groups[i] & 0xF, groups[i] >> 4);
  }
  // A queue that does not fill its last vector ends with its last lane repeated, stored
  // again to the same element.
  for (size_t i = count; i % P::kLanes != 0; ++i) places[i] = places[count - 1];
  for (size_t i = 0; i < count; i += P::kLanes) {
    LaneClasses unused;
    P::scatter(Op::template form<!kSecondFirst>(P::gather(a, places + i), unused), y,
               places + i);
  }
  if constexpr (kThroughBuffer) std::memcpy(r, buffer, static_cast<size_t>(b) * sizeof(T));
  queued_count = static_cast<int>(count);
  return b;
}

// Op supplies, for a vector x of kLanes lanes (two doubles or four floats):
//   template <bool kSecond> static Vector form(Vector x, LaneClasses& classes);
// the first (kSecond false) or the second form of every lane, with the lanes' classes,
// and
//   static LaneClasses classes(Vector x);
// those classes alone; for pairs of doubles
//   static constexpr int64_t kPairByPairBelow;
// the length below which a call runs pair by pair (run_lane_partitioned_pair, a branch a
// pair): there the blocks' set-up and their queue pass, whose chains start only after
// the last group, cost more than the branch (groups of floats: the single precision
// frame's own group loop takes short calls); and optionally
//   static constexpr bool kFewQueuedGroups = true;
// where few groups hold a queued lane (s Log2: one in 25 of the benchmark's): the loop
// then notes only which groups hold one (a store and an addition a group) and their
// lanes' places are written after it. Fresh arguments, against the places written group
// by group: s Log2 8% faster; d Log1p, half of whose groups hold one, 3% slower.
// Each block runs first the form that most lanes of the block before took; the first
// block, the form of most lanes of its first group.

// Groups of floats run each kind of block out of line: inlined together into run_blocks,
// s Log2 took 1.09x the time (n = 1000) and s Log10 1.05x (fresh arguments, n = 10^6).
template <class Op, bool kSecondFirst, bool kThroughBuffer>
[[gnu::noinline]] int64_t run_block_apart(int64_t lanes, const float* a, float* r,
                                          int& queued_count) {
  return run_block<Op, kSecondFirst, kThroughBuffer>(lanes, a, r, queued_count);
}
template <class Op, bool kSecondFirst, bool kThroughBuffer, class T>
[[gnu::always_inline]] inline int64_t run_one_block(int64_t lanes, const T* a, T* r,
                                                    int& queued_count) {
  if constexpr (std::is_same_v<T, float>) {
    return run_block_apart<Op, kSecondFirst, kThroughBuffer>(lanes, a, r, queued_count);
  } else {
    return run_block<Op, kSecondFirst, kThroughBuffer>(lanes, a, r, queued_count);
  }
}

// The blocks, out of line: their set-up (the stack of the queue, the registers they keep)
// stays off the path of short calls, which GCC would otherwise pay at the entry. Scheduled
// for interleaved chains (interleaved_schedule.h), as the kernels' own loops are: without
// it d Tanh took 1.14x and d Ln 1.07x the time of their pair loops (n = 1000).
template <class Op, class T>
[[gnu::noinline, TESS_INTERLEAVED]] int64_t run_blocks(int64_t n, const T* a, T* r) {
  const bool overlapping = r < a + n && a < r + n;
  bool second_first = kQueuedLanes.count[second_form_lanes<Op>(a)] > 2;
  int64_t g = 0;
  for (;;) {
    const int64_t lanes = std::min<int64_t>(kBlockLanes, n - g) & -int64_t{kGroupLanes};
    if (lanes <= 0) return g;
    int queued = 0;
    const int64_t stored =
        second_first
            ? (overlapping ? run_one_block<Op, true, true>(lanes, a + g, r + g, queued)
                           : run_one_block<Op, true, false>(lanes, a + g, r + g, queued))
            : (overlapping ? run_one_block<Op, false, true>(lanes, a + g, r + g, queued)
                           : run_one_block<Op, false, false>(lanes, a + g, r + g, queued));
    g += stored;
    if (stored < lanes) return g;
    if (2 * queued > stored) second_first = !second_first;
  }
}
}  // namespace partitioned_block_detail

// One pair, each lane by its own form, the second computed only where a lane needs it:
// the pair function of short calls and of groups held in arrays (strided and partial).
template <class Op>
[[gnu::always_inline]] inline int run_lane_partitioned_pair(simd::F64x2 x, simd::F64x2& y) {
  LaneClasses classes;
  const int second = static_cast<int>(Op::classes(x).second);
  if (second == 0) {
    y = Op::template form<false>(x, classes);
  } else if (second == 3) {
    y = Op::template form<true>(x, classes);
  } else {
    const simd::F64x2 lanes = {_mm_castsi128_pd(_mm_set_epi64x(-(second >> 1), -(second & 1)))};
    y = simd::select(lanes, Op::template form<true>(x, classes),
                     Op::template form<false>(x, classes));
  }
  return static_cast<int>(classes.special);
}

// Whole contiguous groups from the start until the first group holding a special lane,
// which is left unstored; returns the number of elements stored.
template <class Op, class T>
inline int64_t run_lane_partitioned_fast_block(int64_t n, const T* a, T* r) {
  if constexpr (std::is_same_v<T, double>) {
    if (n < std::max<int64_t>(Op::kPairByPairBelow, kGroupLanes)) {
      return run_fast_block(n, a, r, run_lane_partitioned_pair<Op>);
    }
  } else if (n < kGroupLanes) {
    return 0;
  }
  return partitioned_block_detail::run_blocks<Op>(n, a, r);
}

// Defines Type::fast_block and Type::fast_group of a double precision kernel whose lanes
// take the two forms of Forms (above).
#define TESS_DOUBLE_PARTITIONED_LOOPS(Type, Forms)                              \
  int64_t Type::fast_block(int64_t n, const double* a, double* r) {             \
    return run_lane_partitioned_fast_block<Forms>(n, a, r);                     \
  }                                                                             \
  int Type::fast_group(const double x[4], double y[4]) {                        \
    return run_fast_group(x, y, run_lane_partitioned_pair<Forms>);              \
  }

}  // namespace zorn::tess
