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
#include "tess_kernels/complex/group_io.h"
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
        split_group(a.base + g, x, y);
        int special = Kernel::group(x, y, re, im);
        if constexpr (sizeof(R) == sizeof(float)) special |= outside_single(re, im);
        if (special != 0) [[unlikely]] {
          frame.mask_x87_exceptions();
          finish(kGroupLanes, special, g, re, im, a, r, report);
          continue;
        }
        merge_group(r.base + g, re, im);
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
      if constexpr (sizeof(R) == sizeof(float)) special |= outside_single(re, im);
      special &= (1 << lanes) - 1;
      if (special != 0) frame.mask_x87_exceptions();
      finish(lanes, special, g, re, im, a, r, report);
    }
  }

 private:
  // Elements of a group whose single precision result overflows (they report), as a
  // four-bit mask.
  static int outside_single(const double* re, const double* im) {
    const __m128d limit = _mm_set1_pd(FLT_MAX), sign = _mm_set1_pd(-0.0);
    int mask = 0;
    for (int v = 0; v < kGroupLanes; v += 2) {
      const __m128d a = _mm_andnot_pd(sign, _mm_load_pd(re + v));
      const __m128d b = _mm_andnot_pd(sign, _mm_load_pd(im + v));
      mask |= _mm_movemask_pd(_mm_or_pd(_mm_cmpnle_pd(a, limit), _mm_cmpnle_pd(b, limit))) << v;
    }
    return mask;
  }

  template <class R, class Report>
  static void finish(int lanes, int special, int64_t g, const double* re, const double* im,
                     Strided<const std::complex<R>> a, Strided<std::complex<R>> r,
                     Report& report) {
    std::complex<R> out[kGroupLanes];
    for (int l = 0; l < lanes; ++l) out[l] = {static_cast<R>(re[l]), static_cast<R>(im[l])};
    finish_group(lanes, special, g, out, r,
                 [a, g](int l, std::complex<R>& y) { return Op::eval(a[g + l], y); }, report);
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
