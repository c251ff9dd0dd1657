// The vector loop of complex functions of one complex argument whose fast path works on
// the parts of four elements at once. A kernel K supplies
//   static int group(const double x[4], const double y[4], double re[4], double im[4]);
// the parts of f(x + iy) for four elements (single precision widened to double) and the
// four-bit mask of the elements only the scalar form can be trusted with (special
// values, arguments beyond the fast range). Those elements, and single precision
// results beyond the float range (which report overflow), go to the operation's scalar
// form `Op::eval` one by one in element order; an element with a non-zero status is
// stored, reported and read back. Every element of a group is read before any result
// is stored, so results may overwrite the arguments.
#pragma once

#include <emmintrin.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <complex>
#include <cstdint>

#include "tess_kernels/frame/fp_state.h"
#include "tess_kernels/frame/kernel_frame.h"
#include "tess_kernels/complex/pair_loop.h"
#include "tess_kernels/frame/op_adapters.h"

namespace zorn::tess::cx {

template <class Op, class Kernel>
struct ComplexLanes {
  template <class R, class Report>
  [[gnu::always_inline]] static void vector_loop(FpFrame& frame, int32_t count,
                                                 Strided<const std::complex<R>> a,
                                                 Strided<std::complex<R>> r, Report&& report) {
    const int64_t n = count;
    int64_t g = 0;
    if (a.inc == 1 && r.inc == 1) {
      // The parts pass between registers and the kernel's arrays as whole vectors only,
      // which keeps every load forwarded from its store.
      for (; g + kGroupLanes <= n; g += kGroupLanes) {
        alignas(16) double x[kGroupLanes], y[kGroupLanes], re[kGroupLanes], im[kGroupLanes];
        __m128d z0, z1, z2, z3;
        load_pair(a.base + g, z0, z1);
        load_pair(a.base + g + 2, z2, z3);
        _mm_store_pd(x, _mm_unpacklo_pd(z0, z1));
        _mm_store_pd(x + 2, _mm_unpacklo_pd(z2, z3));
        _mm_store_pd(y, _mm_unpackhi_pd(z0, z1));
        _mm_store_pd(y + 2, _mm_unpackhi_pd(z2, z3));
        int special = Kernel::group(x, y, re, im);
        const __m128d re01 = _mm_load_pd(re), re23 = _mm_load_pd(re + 2);
        const __m128d im01 = _mm_load_pd(im), im23 = _mm_load_pd(im + 2);
        if constexpr (sizeof(R) == sizeof(float)) {
          special |= outside_single(re01, im01) | outside_single(re23, im23) << 2;
        }
        if (special != 0) [[unlikely]] {
          frame.mask_x87_exceptions();
          finish_group(kGroupLanes, special, g, re, im, a, r, report);
          continue;
        }
        store_pair(r.base + g, _mm_unpacklo_pd(re01, im01), _mm_unpackhi_pd(re01, im01));
        store_pair(r.base + g + 2, _mm_unpacklo_pd(re23, im23), _mm_unpackhi_pd(re23, im23));
      }
    }
    for (; g < n; g += kGroupLanes) {
      const int lanes = static_cast<int>(std::min<int64_t>(kGroupLanes, n - g));
      // Lanes past the end hold 0 + i0, which every kernel takes on its fast path.
      alignas(16) double x[kGroupLanes] = {}, y[kGroupLanes] = {};
      for (int l = 0; l < lanes; ++l) {
        x[l] = a[g + l].real();
        y[l] = a[g + l].imag();
      }
      alignas(16) double re[kGroupLanes], im[kGroupLanes];
      int special = Kernel::group(x, y, re, im);
      if constexpr (sizeof(R) == sizeof(float)) {
        special |= outside_single(_mm_load_pd(re), _mm_load_pd(im)) |
                   outside_single(_mm_load_pd(re + 2), _mm_load_pd(im + 2)) << 2;
      }
      special &= (1 << lanes) - 1;
      if (special != 0) frame.mask_x87_exceptions();
      finish_group(lanes, special, g, re, im, a, r, report);
    }
  }

 private:
  // Elements of two parts in double whose single precision result overflows (they
  // report), as a two-bit mask.
  static int outside_single(__m128d re, __m128d im) {
    const __m128d limit = _mm_set1_pd(FLT_MAX), sign = _mm_set1_pd(-0.0);
    return _mm_movemask_pd(_mm_or_pd(_mm_cmpnle_pd(_mm_andnot_pd(sign, re), limit),
                                     _mm_cmpnle_pd(_mm_andnot_pd(sign, im), limit)));
  }

  // Stores a group's results, the elements of `special` through the scalar form; a
  // non-zero status is stored, reported and read back before the group is stored.
  template <class R, class Report>
  [[gnu::noinline]] static void finish_group(int lanes, int special, int64_t g,
                                             const double* re, const double* im,
                                             Strided<const std::complex<R>> a,
                                             Strided<std::complex<R>> r, Report& report) {
    std::complex<R> out[kGroupLanes];
    int32_t status[kGroupLanes] = {};
    for (int l = 0; l < lanes; ++l) out[l] = {static_cast<R>(re[l]), static_cast<R>(im[l])};
    if (special != 0) {
      const ErrnoKeeper keep_errno;
      for (int l = 0; l < lanes; ++l)
        if (special & (1 << l)) status[l] = Op::eval(a[g + l], out[l]);
    }
    for (int l = 0; l < lanes; ++l) {
      if (status[l] == TESS_STATUS_OK) continue;
      r[g + l] = out[l];
      report(status[l], static_cast<int32_t>(g + l));
      out[l] = r[g + l];
    }
    for (int l = 0; l < lanes; ++l) r[g + l] = out[l];
  }
};

// An operation with real kernels Single and Double whose complex form runs on the lanes
// of Kernel, falling back to Self's scalar form (`value` and `kReportsOverflow`).
template <class Self, class Single, class Double, class Kernel>
struct RealAndComplexLanes : ByPrecision<Single, Double>,
                             ComplexUnary<Self>,
                             ComplexLanes<Self, Kernel> {
  using ByPrecision<Single, Double>::vector_loop;
  using ComplexLanes<Self, Kernel>::vector_loop;
  using ComplexUnary<Self>::eval;
};

}  // namespace zorn::tess::cx
