// The vector loop of kernels that give two results per argument (SinCos), for either
// precision, in two halves as for one result (lane_loop_double.h):
//
// - The function's .cpp turns its fast path of one vector (`pair(x, y1, y2)` returns the
//   lane mask of special lanes) into `fast_block` and `fast_group` with the helpers
//   below: whole contiguous groups of four until the first one holding a special lane,
//   and one group held in arrays (strided and partial groups).
// - `TwoResultLanes` runs them over the vectors and hands a group's special lanes
//   one by one, in lane order, to the function's callout; a non-zero status stores both
//   results, reports, and reads both back (the callback may have replaced them).
//
// A group is computed whole before any of it is stored, so either result may overwrite
// the arguments. Positions are counted in 64 bits; a count of zero or less does nothing.
#pragma once

#include <algorithm>
#include <cstdint>

#include "tess_kernels/frame/contiguous_finish.h"
#include "tess_kernels/frame/fp_state.h"
#include "tess_kernels/frame/kernel_frame.h"

namespace zorn::tess {

// The vectors of one group of four elements of T in V.
template <class V, class T>
constexpr int kVectorsPerGroup = kGroupLanes / static_cast<int>(sizeof(V) / sizeof(T));

template <class V, class T, class Pair>
inline int fast_group_vectors(const T* x, V (&y1)[kVectorsPerGroup<V, T>],
                              V (&y2)[kVectorsPerGroup<V, T>], Pair& pair) {
  constexpr int kLanes = kGroupLanes / kVectorsPerGroup<V, T>;
  int special = 0;
  for (int v = 0; v < kVectorsPerGroup<V, T>; ++v) {
    special |= pair(V::load(x + v * kLanes), y1[v], y2[v]) << (v * kLanes);
  }
  return special;
}

template <class V, class T>
inline void store_group_vectors(const V (&y)[kVectorsPerGroup<V, T>], T* r) {
  constexpr int kLanes = kGroupLanes / kVectorsPerGroup<V, T>;
  for (int v = 0; v < kVectorsPerGroup<V, T>; ++v) y[v].store(r + v * kLanes);
}

// Whole contiguous groups until the first one holding a special lane, which is left
// unstored; returns the number of elements stored.
template <class V, class T, class Pair>
inline int64_t run_fast_block_two(int64_t n, const T* a, T* r1, T* r2, Pair&& pair) {
  int64_t g = 0;
  for (; g + kGroupLanes <= n; g += kGroupLanes) {
    V y1[kVectorsPerGroup<V, T>], y2[kVectorsPerGroup<V, T>];
    if (fast_group_vectors(a + g, y1, y2, pair) != 0) break;
    store_group_vectors<V, T>(y1, r1 + g);
    store_group_vectors<V, T>(y2, r2 + g);
  }
  return g;
}

// Fast-path results of one group held in arrays; returns its four-bit special mask.
template <class V, class T, class Pair>
inline int run_fast_group_two(const T x[4], T y1[4], T y2[4], Pair&& pair) {
  V v1[kVectorsPerGroup<V, T>], v2[kVectorsPerGroup<V, T>];
  const int special = fast_group_vectors(x, v1, v2, pair);
  store_group_vectors<V, T>(v1, y1);
  store_group_vectors<V, T>(v2, y2);
  return special;
}

// Op supplies:
//   static int64_t fast_block(int64_t n, const T* a, T* r1, T* r2);
//   static int fast_group(const T x[4], T y1[4], T y2[4]);
//   static int32_t callout(T x, T* r1, T* r2);
// and optionally kSpecialLanesRaiseNoFlag (fp_state.h).
// Lanes beyond the end of a partial group hold 0.75; their special bits are dropped.
template <class Op, class T>
struct TwoResultLanes {
  template <class Report>
  static void vector_loop(const FpFrame& frame, int32_t count, Strided<const T> a,
                          Strided<T> r1, Strided<T> r2, Report&& report) {
    const int64_t n = count;
    uint32_t standing_flags = frame.entry_flags();
    if (a.inc == 1 && r1.inc == 1 && r2.inc == 1) {
      const auto block = [&](int64_t at) {
        return Op::fast_block(n - at, a.base + at, r1.base + at, r2.base + at);
      };
      const int64_t g = n > 0 ? block(0) : 0;
      if (g < n) {
        finish_contiguous_groups(
            n, g,
            [&](int32_t lanes, int64_t at) {
              group(lanes, at, a, r1, r2, standing_flags, report);
            },
            block);
      }
      return;
    }
    for (int64_t g = 0; g < n; g += kGroupLanes) {
      group(static_cast<int32_t>(std::min<int64_t>(kGroupLanes, n - g)), g, a, r1, r2,
            standing_flags, report);
    }
  }

 private:
  // `standing_flags`: the exception flags at entry and those the callouts raised so far.
  template <class Report>
  static void group(int32_t lanes, int64_t g, Strided<const T> a, Strided<T> r1, Strided<T> r2,
                    uint32_t& standing_flags, Report& report) {
    alignas(16) T x[kGroupLanes] = {T(0.75), T(0.75), T(0.75), T(0.75)};
    alignas(16) T y1[kGroupLanes], y2[kGroupLanes];
    for (int32_t l = 0; l < lanes; ++l) x[l] = a[g + l];
    int special = Op::fast_group(x, y1, y2) & ((1 << lanes) - 1);
    if (special != 0) {
      before_special_lanes<Op>(standing_flags);
      for (int l = 0; special != 0; ++l, special >>= 1) {
        if ((special & 1) == 0) continue;
        const int32_t status = Op::callout(x[l], &y1[l], &y2[l]);
        if (status == TESS_STATUS_OK) continue;
        r1[g + l] = y1[l];
        r2[g + l] = y2[l];
        report(status, static_cast<int32_t>(g + l));
        y1[l] = r1[g + l];
        y2[l] = r2[g + l];
      }
      after_special_lanes<Op>(standing_flags);
    }
    for (int32_t l = 0; l < lanes; ++l) {
      r1[g + l] = y1[l];
      r2[g + l] = y2[l];
    }
  }
};

// Declares a kernel with two results per argument whose fast path (fast_block,
// fast_group) and callout are defined in its .cpp.
#define TESS_TWO_RESULT_KERNEL(Type, T, callout_fn, ...)                       \
  int32_t callout_fn(T x, T* r1, T* r2);                                       \
  struct Type : ::zorn::tess::TwoResultLanes<Type, T> {                        \
    static int64_t fast_block(int64_t n, const T* a, T* r1, T* r2);            \
    static int fast_group(const T x[4], T y1[4], T y2[4]);                     \
    static int32_t callout(T x, T* r1, T* r2) { return callout_fn(x, r1, r2); } \
    __VA_ARGS__                                                                \
  }

}  // namespace zorn::tess
