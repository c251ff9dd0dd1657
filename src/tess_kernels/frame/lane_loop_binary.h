// The loop of two-argument kernels with a vector fast path, in either precision. A
// function type F supplies, for its element type T (float or double),
//   int F::fast_group(const T x[4], const T y[4], T r[4])   results of four lanes, no
//                                                           branches; returns the mask of
//                                                           the lanes it cannot take
//   int32_t F::callout(const float* x, const float* y, float* r)    (single precision)
//   int32_t F::callout(double x, double y, double* r)               (double precision)
// which give the correct result and status of any pair of arguments.
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

#include "tess_kernels/frame/fp_state.h"
#include "tess_kernels/frame/kernel_frame.h"
#include "tess_kernels/frame/simd_double.h"

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

template <class F, class T>
struct BinaryLanes {
  template <class Report>
  static void vector_loop(const FpFrame&, int32_t count, Strided<const T> a, Strided<const T> b,
                          Strided<T> r, Report&& report) {
    const int64_t n = count;
    // A scalar second argument (increment 0) is spread over a group once per call.
    alignas(16) T b_spread[kGroupLanes];
    if (b.inc == 0 && n > 0) std::fill_n(b_spread, kGroupLanes, b.base[0]);
    for (int64_t g = 0; g < n; g += kGroupLanes) {
      const int32_t lanes = static_cast<int32_t>(std::min<int64_t>(kGroupLanes, n - g));
      alignas(16) T xs[kGroupLanes], ys[kGroupLanes], out[kGroupLanes];
      const T* x = lanes == kGroupLanes && a.inc == 1 ? a.base + g : gather(a, g, lanes, xs);
      const T* y = b.inc == 0                                 ? b_spread
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
  }

 private:
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
