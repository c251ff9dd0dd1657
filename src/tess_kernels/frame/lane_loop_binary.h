// The loop of two-argument kernels with a vector fast path, in either precision. A
// function type F supplies, for its element type T (float or double),
//   int F::fast_group(const T x[4], const T y[4], T r[4])   results of four lanes, no
//                                                           branches; returns the mask of
//                                                           the lanes it cannot take
//   int32_t F::callout(const float* x, const float* y, float* r)    (single precision)
//   int32_t F::callout(double x, double y, double* r)               (double precision)
// which give the correct result and status of any pair of arguments, and optionally
//   int64_t F::fast_block(int64_t n, const T* x, const T* y, T* r)
// which runs whole contiguous groups until the first one holding a special lane (left
// unstored) and returns the number of elements stored (run_binary_fast_block below).
//
// Contiguous groups are read in place; strided groups and the remainder are gathered
// into arrays, the missing lanes of a partial group holding 0.75 (never reported: the
// mask is cut to the real lanes), and a scalar second argument (increment 0) is spread
// into one array for the whole call.
// Special lanes go to the callout in lane order, and a non-zero status is stored,
// reported and read back (the callback may replace the result) before the group is
// stored. Positions are counted in 64 bits; a count of zero or less does nothing.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <type_traits>

#include "tess_kernels/frame/contiguous_finish.h"
#include "tess_kernels/frame/fp_state.h"
#include "tess_kernels/frame/kernel_frame.h"
#include "tess_kernels/frame/simd.h"

namespace zorn::tess {

// A group of four doubles through `pair(x, y, r)` on two pairs of lanes, which returns
// the two-bit mask of its special lanes; returns the group's four-bit mask.
template <class Pair>
inline int run_binary_pairs(const double x[4], const double y[4], double r[4], Pair&& pair) {
  simd::F64x2 r0, r1;
  const int special = pair(simd::F64x2::load(x), simd::F64x2::load(y), r0) |
                      pair(simd::F64x2::load(x + 2), simd::F64x2::load(y + 2), r1) << 2;
  r0.store(r);
  r1.store(r + 2);
  return special;
}

// Whole contiguous groups through `lanes` (one vector of four floats, or `pair` on two
// vectors of two doubles, returning its lane mask) until the first group with a special
// lane, which is left unstored: an in-place call still has that group's arguments.
template <class Pair>
inline int64_t run_binary_fast_block(int64_t n, const double* x, const double* y, double* r,
                                     Pair&& pair) {
  int64_t g = 0;
  for (; g + kGroupLanes <= n; g += kGroupLanes) {
    simd::F64x2 r0, r1;
    const int special =
        pair(simd::F64x2::load(x + g), simd::F64x2::load(y + g), r0) |
        pair(simd::F64x2::load(x + g + 2), simd::F64x2::load(y + g + 2), r1);
    if (special != 0) break;
    r0.store(r + g);
    r1.store(r + g + 2);
  }
  return g;
}
template <class Lanes>
inline int64_t run_binary_fast_block(int64_t n, const float* x, const float* y, float* r,
                                     Lanes&& lanes) {
  int64_t g = 0;
  for (; g + kGroupLanes <= n; g += kGroupLanes) {
    simd::F32x4 out;
    if (lanes(simd::F32x4::load(x + g), simd::F32x4::load(y + g), out) != 0) break;
    out.store(r + g);
  }
  return g;
}

// The fast block and group of a single precision kernel from its four-lane function
// `Lanes(x, y, r)`, which returns the group's special mask. The block is out of line and
// flattened, so that its loop keeps the constants in registers.
template <auto Lanes>
struct FloatBinaryFastPaths {
  [[gnu::flatten, gnu::noinline]] static int64_t fast_block(int64_t n, const float* x,
                                                            const float* y, float* r) {
    return run_binary_fast_block(n, x, y, r, Lanes);
  }
  static int fast_group(const float x[4], const float y[4], float r[4]) {
    simd::F32x4 out;
    const int special = Lanes(simd::F32x4::load(x), simd::F32x4::load(y), out);
    out.store(r);
    return special;
  }
};

template <class F, class T>
struct BinaryLanes {
  // A contiguous call of a kernel with a fast block, in place of its entry (TwoKernel),
  // with the frame of kind K in registers; the rest is out of line. The frame masks the
  // x87 exceptions at entry, as the framed loop's does. The reporter holds no state:
  // report(status, i, a, b, r).
  template <FrameKind K, class Report>
  [[gnu::flatten, gnu::noinline]] static void vector_loop(OwnFrame<K>, int32_t count,
                                                          const T* a, const T* b, T* r,
                                                          Report report) noexcept
    requires requires(int64_t n, const T* x, T* y) { F::fast_block(n, x, x, y); }
  {
    const FpFrame frame(K);
    const int64_t n = count;
    const int64_t g = F::fast_block(n, a, b, r);
    if (g < n) finish_contiguous(n, g, a, b, r, report);
  }

  template <class Report>
  static void vector_loop(const FpFrame&, int32_t count, Strided<const T> a, Strided<const T> b,
                          Strided<T> r, Report&& report) {
    const int64_t n = count;
    // A strided call: contiguous ones reach the overload above through the kernel's own
    // entry. A scalar second argument (increment 0) is spread over a group once per call.
    alignas(16) T b_spread[kGroupLanes];
    if (b.inc == 0 && n > 0) std::fill_n(b_spread, kGroupLanes, b.base[0]);
    for (int64_t g = 0; g < n; g += kGroupLanes) {
      group(static_cast<int32_t>(std::min<int64_t>(kGroupLanes, n - g)), g, a, b, b_spread, r,
            report);
    }
  }

 private:
  // A contiguous call from the group at g on, after the fast block stopped there: a group
  // holding a special lane, the blocks after it, and the partial group.
  template <class Report>
  [[gnu::noinline]] static void finish_contiguous(int64_t n, int64_t g, const T* a, const T* b,
                                                  T* r, Report report_at) noexcept {
    finish_contiguous_groups(
        n, g,
        [&](int32_t lanes, int64_t at) {
          group(lanes, at, {a, 1}, {b, 1}, nullptr, {r, 1},
                [&](int32_t st, int32_t i) { report_at(st, i, a, b, r); });
        },
        [&](int64_t at) { return F::fast_block(n - at, a + at, b + at, r + at); });
  }

  template <class Report>
  static void group(int32_t lanes, int64_t g, Strided<const T> a, Strided<const T> b,
                    const T* b_spread, Strided<T> r, Report&& report) {
    alignas(16) T xs[kGroupLanes], ys[kGroupLanes], out[kGroupLanes];
    const T* x = lanes == kGroupLanes && a.inc == 1 ? a.base + g : gather(a, g, lanes, xs);
    const T* y = b.inc == 0                         ? b_spread
                 : lanes == kGroupLanes && b.inc == 1 ? b.base + g
                                                      : gather(b, g, lanes, ys);
    if (const int special = F::fast_group(x, y, out) & ((1 << lanes) - 1)) {
      settle(special, x, y, out, g, r, report);
    }
    if (lanes == kGroupLanes && r.inc == 1) {
      std::memcpy(r.base + g, out, sizeof out);
    } else {
      for (int32_t l = 0; l < lanes; ++l) r[g + l] = out[l];
    }
  }

  static const T* gather(Strided<const T> v, int64_t g, int32_t lanes, T* to) {
    for (int32_t l = 0; l < kGroupLanes; ++l) to[l] = l < lanes ? v[g + l] : T(0.75);
    return to;
  }

  // Out of line: special lanes are rare. The arguments are copied first, since a
  // reported result may be stored over an argument the later lanes still need.
  template <class Report>
  [[gnu::noinline]] static void settle(int special, const T* x, const T* y, T* out, int64_t g,
                                       Strided<T> r, Report& report) {
    T xs[kGroupLanes], ys[kGroupLanes];
    std::memcpy(xs, x, sizeof xs);
    std::memcpy(ys, y, sizeof ys);
    settle_special_lanes(special, g, out, r,
                         [&](int l) {
                           if constexpr (std::is_same_v<T, float>) {
                             return F::callout(&xs[l], &ys[l], &out[l]);
                           } else {
                             return F::callout(xs[l], ys[l], &out[l]);
                           }
                         },
                         report);
  }
};

}  // namespace zorn::tess
