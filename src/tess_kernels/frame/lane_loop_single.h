// The four-lane loop of single precision kernels with a vector fast path. A function type F
// supplies
//   simd::F32x4 F::fast_path(simd::F32x4 x)     results of ordinary lanes, no branches
//   int F::special_lanes(simd::F32x4 x)          lane mask of the arguments it cannot take
//   int32_t F::callout(const float* x, float* r) correct result and status of any argument
// and optionally
//   bool F::any_special_lane(simd::F32x4 x0, simd::F32x4 x1)
// whether special_lanes is non-zero for either group, in fewer operations (paired kernels),
//   int F::finish_lanes(const float x[4], float y[4], int special)
// which completes, in any error mode, the special lanes that only leave the fast path for
// a slower path of the kernel itself (no status), and returns the mask of the others, and
//   int F::resolve_inline(const float x[4], float y[4], int special)
// which, with error handling off, settles some special lanes in place and returns the mask
// of those still left for the callout, and kSpecialLanesRaiseNoFlag (fp_state.h), and
//   int F::special_results(simd::F32x4 y0, simd::F32x4 y1)
// for kernels whose fast path gives NaN on every special lane (and possibly others): a
// non-zero mask when either group of a pair may hold one, in place of special_lanes on
// both groups.
//   int64_t F::contiguous_block(int64_t n, const float* a, float* r)
// which runs whole contiguous groups from the start, with the results fast_path gives,
// until the first group holding a special lane, and returns the number of elements
// stored (kernels whose contiguous vectors take a loop of their own).
//
// Contiguous vectors are loaded and stored four floats at a time; strided ones are
// gathered and scattered. The remainder is one partial group whose missing lanes hold
// 0.75 and never count as special (Acosh sends 0.75 to its callout). Special lanes leave
// the loop: each goes to the callout in lane order, and a non-zero status is stored,
// reported and read back (the callback may replace the result) before the group is
// stored.
//
// Positions are counted in 64 bits: no bound overflows for any int32_t count, and a
// count of zero or less does nothing.
#pragma once

#include <algorithm>
#include <cstdint>

#include "tess_kernels/frame/contiguous_finish.h"
#include "tess_kernels/frame/fp_state.h"
#include "tess_kernels/frame/interleaved_schedule.h"
#include "tess_kernels/frame/kernel_frame.h"
#include "tess_kernels/frame/simd.h"

namespace zorn::tess {

template <class F>
struct LaneLoopSingle {
  static constexpr bool kPaired = requires { requires F::kPairedVectors; };

  // A contiguous call, in place of its entry (OneKernel), with the frame of kind K: the
  // usual call (whole groups, no special lane) is one function, its frame in registers, and
  // the rest is out of line, with an x87 setup of its own. The reporter holds no state:
  // report(status, i, a, r). Paired kernels schedule the whole call for interleaved chains
  // (fast_block).
  template <FrameKind K, class Report>
  [[gnu::flatten, gnu::noinline]] static void vector_loop(OwnFrame<K>, int32_t count,
                                                          const float* a, float* r,
                                                          Report report) noexcept
    requires(!kPaired)
  {
    contiguous_call<K>(count, a, r, report);
  }
  template <FrameKind K, class Report>
  [[gnu::flatten, gnu::noinline, TESS_INTERLEAVED]] static void vector_loop(
      OwnFrame<K>, int32_t count, const float* a, float* r, Report report) noexcept
    requires kPaired
  {
    contiguous_call<K>(count, a, r, report);
  }

  // A strided call (contiguous ones reach the overload above).
  template <class Report>
  [[gnu::always_inline]] static void vector_loop(FpFrame& frame, int32_t count,
                                                 Strided<const float> a, Strided<float> r,
                                                 Report&& report) {
    const int64_t n = count;
    const bool no_errors = frame.error_mode() == TESS_ERRMODE_NOERR;
    uint32_t standing_flags = frame.entry_flags();
    int64_t g = 0;
    for (; g + kGroupLanes <= n; g += kGroupLanes) {
      const simd::F32x4 x = gather_lanes(a, g, kGroupLanes);
      simd::F32x4 y = F::fast_path(x);
      if (const int special = F::special_lanes(x)) {
        y = settle_special(frame, x, y, special, no_errors, standing_flags, g, r, report);
      }
      store_lanes(y, kGroupLanes, g, r);
    }
    finish_partial_group(frame, n, g, a, r, no_errors, standing_flags, report);
  }

 private:
  template <FrameKind K, class Report>
  [[gnu::always_inline]] static void contiguous_call(int32_t count, const float* a, float* r,
                                                     Report report) {
    const FpFrame frame(K, X87Entry::kBeforeScalarCode);
    const int64_t n = count;
    const int64_t g = fast_groups(n, a, r);
    if (g < n) finish_contiguous(frame.loop_entry(), n, g, a, r, report);
  }

  // A contiguous call from the group at g on, after fast_groups stopped there: a group
  // holding a special lane (for paired kernels also the first group of a pair holding
  // one, or a last odd group), the blocks after it, and the partial group.
  template <class Report>
  [[gnu::noinline]] static void finish_contiguous(LoopEntry entry, int64_t n, int64_t g,
                                                  const float* a, float* r,
                                                  Report report_at) noexcept {
    X87Masking x87(entry.x87_ready);
    const auto report = [&](int32_t st, int32_t i) { report_at(st, i, a, r); };
    const bool no_errors = entry.error_mode == TESS_ERRMODE_NOERR;
    uint32_t standing_flags = entry.entry_flags;
    const Strided<float> rs{r, 1};
    finish_contiguous_groups(
        n, g,
        [&](int32_t lanes, int64_t at) {
          if (lanes < kGroupLanes) {
            return finish_partial_group(x87, n, at, Strided<const float>{a, 1}, rs, no_errors,
                                        standing_flags, report);
          }
          const simd::F32x4 x = simd::F32x4::load(a + at);
          simd::F32x4 y = F::fast_path(x);
          if (const int special = F::special_lanes(x)) {
            y = settle_special(x87, x, y, special, no_errors, standing_flags, at, rs, report);
          }
          y.store(r + at);
        },
        [&](int64_t at) { return fast_block(n - at, a + at, r + at); });
  }

  // The last n - g < 4 elements, if any, as one group.
  template <class Report>
  [[gnu::always_inline]] static void finish_partial_group(X87Masking& x87, int64_t n, int64_t g,
                                                          Strided<const float> a,
                                                          Strided<float> r, bool no_errors,
                                                          uint32_t& standing_flags,
                                                          Report& report) {
    if (g >= n) return;
    const int32_t lanes = static_cast<int32_t>(n - g);
    const simd::F32x4 x = gather_lanes(a, g, lanes);
    simd::F32x4 y = F::fast_path(x);
    if (const int special = F::special_lanes(x) & ((1 << lanes) - 1)) {
      y = settle_special(x87, x, y, special, no_errors, standing_flags, g, r, report);
    }
    store_lanes(y, lanes, g, r);
  }

  // Whole contiguous groups until the first one holding a special lane, which is left
  // unstored; returns the number of elements stored. Nothing is called in this loop (the
  // fast path is inlined even where the compiler would judge it too large), so the
  // function's constants stay in registers. Paired kernels (F::kPairedVectors), whose
  // group is one chain longer than the out-of-order window reaches, run whole pairs of
  // groups, interleaved, and stop before the pair holding a special lane, which
  // finish_contiguous takes group by group; a group-by-group loop beside this one measured
  // slower (fewer registers for the pairs).
  [[gnu::always_inline]] static int64_t fast_groups(int64_t n, const float* a, float* r) {
    int64_t g = 0;
    if constexpr (kPaired) {
      for (; g + 2 * kGroupLanes <= n; g += 2 * kGroupLanes) {
        const simd::F32x4 x0 = simd::F32x4::load(a + g);
        const simd::F32x4 x1 = simd::F32x4::load(a + g + kGroupLanes);
        const simd::F32x4 y0 = F::fast_path(x0);
        const simd::F32x4 y1 = F::fast_path(x1);
        if (pair_special(x0, x1, y0, y1) != 0) return g;
        y0.store(r + g);
        y1.store(r + g + kGroupLanes);
      }
    } else {
      if constexpr (requires { F::contiguous_block(n, a, r); }) g = F::contiguous_block(n, a, r);
      for (; g + kGroupLanes <= n; g += kGroupLanes) {
        const simd::F32x4 x = simd::F32x4::load(a + g);
        const simd::F32x4 y = F::fast_path(x);
        if (F::special_lanes(x) != 0) return g;
        y.store(r + g);
      }
    }
    return g < n ? last_groups(n, g, a, r) : g;
  }

  // fast_groups out of line, for finish_contiguous.
  [[gnu::flatten, gnu::noinline]] static int64_t fast_block(int64_t n, const float* a, float* r)
    requires(!kPaired)
  {
    return fast_groups(n, a, r);
  }
  [[gnu::flatten, gnu::noinline, TESS_INTERLEAVED]]
  static int64_t fast_block(int64_t n, const float* a, float* r)
    requires kPaired
  {
    return fast_groups(n, a, r);
  }

  // After the loop of a contiguous block ran to its end: a last whole group (paired
  // kernels) and the partial group, each stored unless it holds a special lane, so that a
  // call with no special lane ends in fast_groups whatever its count. Returns the elements
  // stored. Out of line: inlined, it changed the register use of the block's loop, which
  // measured 2% slower.
  [[gnu::flatten, gnu::noinline]] static int64_t last_groups(int64_t n, int64_t g, const float* a,
                                                    float* r) {
    if (kPaired && g + kGroupLanes <= n) {
      const simd::F32x4 x = simd::F32x4::load(a + g);
      const simd::F32x4 y = F::fast_path(x);
      if (F::special_lanes(x) != 0) return g;
      y.store(r + g);
      g += kGroupLanes;
    }
    if (g < n) {
      const int32_t lanes = static_cast<int32_t>(n - g);
      const simd::F32x4 x = gather_lanes({a, 1}, g, lanes);
      const simd::F32x4 y = F::fast_path(x);
      if ((F::special_lanes(x) & ((1 << lanes) - 1)) != 0) return g;
      store_lanes(y, lanes, g, {r, 1});
      g = n;
    }
    return g;
  }

  // A pair's special lanes, or a superset of them (the pair then goes group by group).
  [[gnu::always_inline]] static int pair_special(simd::F32x4 x0, simd::F32x4 x1,
                                                 simd::F32x4 y0, simd::F32x4 y1) {
    if constexpr (requires { F::special_results(y0, y1); }) {
      return F::special_results(y0, y1);
    } else if constexpr (requires { F::any_special_lane(x0, x1); }) {
      return F::any_special_lane(x0, x1) ? 0xF : 0;
    } else {
      return F::special_lanes(x0) | F::special_lanes(x1);
    }
  }

  // The lanes of a group from a[g] on, lanes past `lanes` holding 0.75, built in
  // registers: lanes written one by one to memory and read back as one vector would wait
  // for the stores (no store forwarding), about 20 ns a call.
  static simd::F32x4 gather_lanes(Strided<const float> a, int64_t g, int32_t lanes) {
    constexpr float kFiller = 0.75f;
    return {_mm_setr_ps(a[g], lanes > 1 ? a[g + 1] : kFiller, lanes > 2 ? a[g + 2] : kFiller,
                        lanes > 3 ? a[g + 3] : kFiller)};
  }

  // The first `lanes` lanes of y at r[g] on; contiguous ones by one to two stores, not a
  // copy through the stack (which GCC makes a call of memcpy).
  static void store_lanes(simd::F32x4 y, int32_t lanes, int64_t g, Strided<float> r) {
    if (r.inc == 1) {
      float* p = r.base + g;
      if (lanes == 4) return y.store(p);
      if (lanes == 1) return _mm_store_ss(p, y.v);
      _mm_storel_pi(reinterpret_cast<__m64*>(p), y.v);
      if (lanes == 3) _mm_store_ss(p + 2, _mm_movehl_ps(y.v, y.v));
      return;
    }
    alignas(16) float ys[4];
    y.store(ys);
    for (int32_t l = 0; l < lanes; ++l) r[g + l] = ys[l];
  }

  // Out of line: special lanes are rare, and the fast loop stays small without them.
  // `standing_flags`: the exception flags at entry and those settling special lanes raised
  // so far.
  template <class Report>
  [[gnu::noinline]] static simd::F32x4 settle_special(X87Masking& x87, simd::F32x4 x,
                                                      simd::F32x4 y, int special,
                                                      bool no_errors, uint32_t& standing_flags,
                                                      int64_t g, Strided<float> r,
                                                      Report& report) {
    x87.mask_x87_exceptions();
    before_special_lanes<F>(standing_flags);
    alignas(16) float xs[4], ys[4];
    x.store(xs);
    y.store(ys);
    if constexpr (requires { F::finish_lanes(xs, ys, special); }) {
      special = F::finish_lanes(xs, ys, special);
    }
    if constexpr (requires { F::resolve_inline(xs, ys, special); }) {
      if (no_errors) special = F::resolve_inline(xs, ys, special);
    }
    settle_special_lanes(special, g, ys, r, [&](int l) { return F::callout(&xs[l], &ys[l]); },
                         report);
    after_special_lanes<F>(standing_flags);
    return simd::F32x4::load(ys);
  }
};

}  // namespace zorn::tess
