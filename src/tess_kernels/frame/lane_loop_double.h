// The vector loop of double precision kernels with a two-lane fast path, in two halves:
//
// - In each function's .cpp, next to its tables, the fast path of one pair of lanes
//   (`pair(x, y)` returns its special lanes, as a compare mask with all-ones lanes or as
//   a two-bit lane mask) drives two loops:
//   `fast_block`, which runs whole contiguous groups of four (two vectors) until the
//   first group with a special lane, and `fast_group`, which runs one group held in
//   arrays (strided and partial groups).
// - Here, the loop over the vector: contiguous groups through the block, every other
//   group through the array form, and the special lanes of a group passed one by one,
//   in lane order, to the function's callout and, with a non-zero status, stored,
//   reported and read back (the reporter may have put the callback's result there).
//
// Positions are counted in 64 bits: no bound overflows for any int32_t count, and a
// count of zero or less does nothing.
#pragma once

#include <algorithm>
#include <cstdint>

#include "tess_kernels/frame/contiguous_finish.h"
#include "tess_kernels/frame/fp_state.h"
#include "tess_kernels/frame/kernel_frame.h"
#include "tess_kernels/frame/simd_double.h"
#include "zorn/tess.h"

namespace zorn::tess {

// Lanes beyond the end of a partial group hold this value; their special bits are
// dropped, since a function may have to send it to its callout (below 1 for Acosh).
constexpr double kDoubleFillerLane = 0.75;

// A pair's special lanes, one bit per lane.
inline int lane_bits(int bits) { return bits; }
inline int lane_bits(simd::F64x2 mask) { return simd::lane_mask(mask); }

// Whole contiguous groups from the start of a and r until the first group holding a
// special lane, which is left unstored; returns the number of elements stored. Compare
// masks of the two vectors are tested as one (an or and one movmskpd).
template <class Pair>
inline int64_t run_fast_block(int64_t n, const double* a, double* r, Pair&& pair) {
  int64_t g = 0;
  for (; g + kGroupLanes <= n; g += kGroupLanes) {
    const simd::F64x2 x0 = simd::F64x2::load(a + g);
    const simd::F64x2 x1 = simd::F64x2::load(a + g + 2);
    simd::F64x2 y0, y1;
    const auto special0 = pair(x0, y0);
    const auto special1 = pair(x1, y1);
    if (lane_bits(special0 | special1) != 0) break;
    y0.store(r + g);
    y1.store(r + g + 2);
  }
  return g;
}

// run_fast_block two groups per step, for kernels whose pair is one chain longer than the
// out-of-order window reaches (four independent chains rather than two; d Tan 1.06x
// faster, d Sin and d Cos slower from their spills: measure). The step holding a special
// lane is left to run_fast_block, group by group.
template <class Pair>
inline int64_t run_paired_fast_block(int64_t n, const double* a, double* r, Pair&& pair) {
  int64_t g = 0;
  for (; g + 2 * kGroupLanes <= n; g += 2 * kGroupLanes) {
    simd::F64x2 y[4];
    const auto special01 = pair(simd::F64x2::load(a + g), y[0]) |
                           pair(simd::F64x2::load(a + g + 2), y[1]);
    const auto special23 = pair(simd::F64x2::load(a + g + 4), y[2]) |
                           pair(simd::F64x2::load(a + g + 6), y[3]);
    if (lane_bits(special01 | special23) != 0) break;
    for (int v = 0; v < 4; ++v) y[v].store(r + g + 2 * v);
  }
  return g + run_fast_block(n - g, a + g, r + g, pair);
}

// Fast-path results of one group held in arrays; returns its four-bit special mask.
template <class Pair>
inline int run_fast_group(const double x[4], double y[4], Pair&& pair) {
  simd::F64x2 y0, y1;
  const int special = lane_bits(pair(simd::F64x2::load(x), y0)) |
                      lane_bits(pair(simd::F64x2::load(x + 2), y1)) << 2;
  y0.store(y);
  y1.store(y + 2);
  return special;
}

// Defines Type::fast_block and Type::fast_group of a kernel whose fast path of one pair
// is the function `pair`.
#define TESS_DOUBLE_PAIR_LOOPS(Type, pair)                                \
  int64_t Type::fast_block(int64_t n, const double* a, double* r) {       \
    return run_fast_block(n, a, r, pair);                                 \
  }                                                                       \
  int Type::fast_group(const double x[4], double y[4]) { return run_fast_group(x, y, pair); }
// The same with the contiguous block two groups per step (run_paired_fast_block).
#define TESS_DOUBLE_PAIRED_STEP_LOOPS(Type, pair)                         \
  int64_t Type::fast_block(int64_t n, const double* a, double* r) {       \
    return run_paired_fast_block(n, a, r, pair);                          \
  }                                                                       \
  int Type::fast_group(const double x[4], double y[4]) { return run_fast_group(x, y, pair); }

// Op supplies:
//   static int64_t fast_block(int64_t n, const double* a, double* r);
//   static int fast_group(const double x[4], double y[4]);
//   static int32_t callout(double x, double* r);
// and, when it resolves overflow and underflow inline with error handling off,
//   static int resolve_inline(const double x[4], double y[4], int special);
// and optionally kSpecialLanesRaiseNoFlag (fp_state.h).
template <class Op>
struct DoubleLanes {
  // A contiguous call, in place of its entry (OneKernel), with the frame of kind K: the
  // usual call (every group through the fast block) is this function and the block, the
  // frame in registers; the rest is out of line, with an x87 setup of its own. The
  // reporter holds no state: report(status, i, a, r).
  template <FrameKind K, class Report>
  [[gnu::flatten, gnu::noinline]] static void vector_loop(OwnFrame<K>, int32_t count,
                                                          const double* a, double* r,
                                                          Report report) noexcept {
    const FpFrame frame(K, X87Entry::kBeforeScalarCode);
    const int64_t n = count;
    const int64_t g = Op::fast_block(n, a, r);
    if (g < n) finish_contiguous(frame.loop_entry(), n, g, a, r, report);
  }

  // A strided call (contiguous ones reach the overload above).
  template <class Report>
  [[gnu::always_inline]] static void vector_loop(FpFrame& frame, int32_t count,
                                                 Strided<const double> a, Strided<double> r,
                                                 Report&& report) {
    const bool no_errors = frame.error_mode() == TESS_ERRMODE_NOERR;
    uint32_t standing_flags = frame.entry_flags();
    const int64_t n = count;
    for (int64_t g = 0; g < n; g += kGroupLanes) {
      group(frame, no_errors, standing_flags,
            static_cast<int32_t>(std::min<int64_t>(kGroupLanes, n - g)), g, a, r, report);
    }
  }

 private:
  // A contiguous call from the group at g on, after the fast block stopped there: a group
  // holding a special lane, the blocks after it, and the partial group.
  template <class Report>
  [[gnu::noinline]] static void finish_contiguous(LoopEntry entry, int64_t n, int64_t g,
                                                  const double* a, double* r,
                                                  Report report_at) noexcept {
    X87Masking x87(entry.x87_ready);
    const bool no_errors = entry.error_mode == TESS_ERRMODE_NOERR;
    uint32_t standing_flags = entry.entry_flags;
    finish_contiguous_groups(
        n, g,
        [&](int32_t lanes, int64_t at) {
          group(x87, no_errors, standing_flags, lanes, at, {a, 1}, {r, 1},
                [&](int32_t st, int32_t i) { report_at(st, i, a, r); });
        },
        [&](int64_t at) { return Op::fast_block(n - at, a + at, r + at); });
  }

  // `standing_flags`: the exception flags at entry and those the callouts raised so far.
  template <class Report>
  static void group(X87Masking& x87, [[maybe_unused]] bool no_errors,
                    uint32_t& standing_flags, int32_t lanes, int64_t g,
                    Strided<const double> a, Strided<double> r, Report&& report) {
    // Each pair is built in registers and stored whole: lanes stored one by one and read
    // back as one vector would wait for the stores (no store forwarding).
    const auto lane = [&](int32_t l) { return l < lanes ? a[g + l] : kDoubleFillerLane; };
    alignas(16) double x[kGroupLanes];
    alignas(16) double y[kGroupLanes];
    _mm_store_pd(x, _mm_setr_pd(lane(0), lane(1)));
    _mm_store_pd(x + 2, _mm_setr_pd(lane(2), lane(3)));
    int special = Op::fast_group(x, y) & ((1 << lanes) - 1);
    if (special != 0) {
      x87.mask_x87_exceptions();
      before_special_lanes<Op>(standing_flags);
      if constexpr (requires { Op::resolve_inline(x, y, special); }) {
        if (no_errors) special = Op::resolve_inline(x, y, special);
      }
      settle_special_lanes(special, g, y, r, [&](int l) { return Op::callout(x[l], &y[l]); },
                           report);
      after_special_lanes<Op>(standing_flags);
    }
    for (int32_t l = 0; l < lanes; ++l) r[g + l] = y[l];
  }
};

// Declares a double precision kernel whose fast path (fast_block, fast_group) and
// callout are defined in its .cpp; further member declarations may follow the callout.
#define TESS_DOUBLE_LANE_KERNEL(Type, callout_fn, ...)                       \
  int32_t callout_fn(double x, double* r);                                   \
  struct Type : ::zorn::tess::DoubleLanes<Type> {                            \
    static int64_t fast_block(int64_t n, const double* a, double* r);        \
    static int fast_group(const double x[4], double y[4]);                   \
    static int32_t callout(double x, double* r) { return callout_fn(x, r); } \
    __VA_ARGS__                                                              \
  }

}  // namespace zorn::tess
