// The vector loops of complex functions of one or two complex arguments whose fast path
// works on the parts of four elements at once. A kernel K supplies
//   static int group(const double x[4], const double y[4], double re[4], double im[4]);
// the parts of f(x + iy) for four elements (single precision widened to double), or for
// two arguments
//   static int group(const double x[4], const double y[4], const double u[4],
//                    const double v[4], double re[4], double im[4]);
// those of f(x + iy, u + iv), and returns the four-bit mask of the elements only the
// scalar form can be trusted with (special values, arguments beyond the fast range). A
// kernel may also supply `single_group`, of the same form, for single precision
// elements (to single accuracy, still in double arithmetic), and declare
//   static constexpr bool kSingleResultsFinite = true;
// where those results cannot leave the float range (nor be NaN outside the lanes it
// marks), so that the loop does not test them. A kernel may supply
//   static int64_t block(int64_t n, const std::complex<double>* z, std::complex<double>* r);
// which takes contiguous double elements whole groups at a time, in registers, until the
// first group holding an element for the scalar form, and returns the count it stored (of
// two arguments, a block may also take the second as one element by value, for an
// increment of 0 there).
// Those elements, and single precision results beyond the float range (which report
// overflow), go to the operation's scalar form `Op::eval` one by one in element order;
// so do all elements of a call under a directed rounding, where the lanes' error-free
// steps are not: the error of 1 + t rounded away from the nearest is no double, and the
// lanes' logarithms of 1 + tiny erred by up to 2^640 ulp (the scalar inverse functions
// take log1p by its callout, exact in every rounding);
// an element with a non-zero status is stored, reported and read back. Every element of
// a group is read before any result is stored, so results may overwrite the arguments.
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
#include "tess_kernels/complex/rounds_to_nearest.h"
#include "tess_kernels/frame/op_adapters.h"

namespace zorn::tess::cx {

template <class Op, class Kernel>
struct GroupLanes {
 private:
  // The count Kernel's block stored from element g on: a block for contiguous arguments, or
  // one taking the second argument as one element by value (an increment of 0 there); 0
  // where Kernel has no block of the kind.
  template <class R, class... Args>
  [[gnu::always_inline]] static int64_t block_from(int64_t n, int64_t g, Strided<std::complex<R>> r,
                                                   bool contiguous, Args... args) {
    if constexpr (requires { Kernel::block(n, args.base..., r.base); }) {
      if (contiguous) return Kernel::block(n - g, (args.base + g)..., r.base + g);
    }
    if constexpr (sizeof...(Args) == 2) {
      return [&](auto x, auto w) -> int64_t {
        if constexpr (requires { Kernel::block(n, x.base, w.base[0], r.base); }) {
          if (x.inc == 1 && w.inc == 0) {
            return Kernel::block(n - g, x.base + g, w.base[0], r.base + g);
          }
        }
        return 0;
      }(args...);
    }
    return 0;
  }

 protected:
  template <class R, class Report, class... Args>
  [[gnu::always_inline]] static void run(FpFrame& frame, int32_t count, Strided<std::complex<R>> r,
                                         Report& report, Args... args) {
    constexpr int kParts = 2 * sizeof...(Args);
    const int64_t n = count;
    int64_t g = 0;
    if (!kHoldsInEveryRounding && !rounds_to_nearest()) [[unlikely]] {
      if (n > 0) frame.mask_x87_exceptions();
      alignas(16) const double unused[kGroupLanes] = {};
      for (; g < n; g += kGroupLanes) {
        const int lanes = static_cast<int>(std::min<int64_t>(kGroupLanes, n - g));
        finish(lanes, (1 << lanes) - 1, g, unused, unused, r, report, args...);
      }
      return;
    }
    // An argument of increment 0 (Powx's one exponent) is spread over the group's lanes.
    if (((args.inc == 1 || args.inc == 0) && ...) && r.inc == 1) {
      const bool contiguous = ((args.inc == 1) && ...);
      // The parts pass between registers and the kernel's arrays as whole vectors only,
      // which keeps every load forwarded from its store.
      for (; g + kGroupLanes <= n; g += kGroupLanes) {
        g += block_from(n, g, r, contiguous, args...);
        if (g + kGroupLanes > n) break;
        alignas(16) double parts[kParts][kGroupLanes], re[kGroupLanes], im[kGroupLanes];
        int k = 0;
        ((args.inc == 1 ? split_group(args.base + g, parts[k], parts[k + 1])
                        : spread(args.base[0], parts[k], parts[k + 1]),
          k += 2),
         ...);
        int special = group<R>(parts, re, im);
        if constexpr (kTestSingle<R>) special |= outside_single(re, im);
        if (special != 0) [[unlikely]] {
          frame.mask_x87_exceptions();
          finish(kGroupLanes, special, g, re, im, r, report, args...);
          continue;
        }
        merge_group(r.base + g, re, im);
      }
    }
    for (; g < n; g += kGroupLanes) {
      const int lanes = static_cast<int>(std::min<int64_t>(kGroupLanes, n - g));
      // Lanes past the end hold 0 + i0; their results are dropped.
      alignas(16) double parts[kParts][kGroupLanes] = {};
      for (int l = 0; l < lanes; ++l) {
        int k = 0;
        ((parts[k][l] = args[g + l].real(), parts[k + 1][l] = args[g + l].imag(), k += 2), ...);
      }
      alignas(16) double re[kGroupLanes], im[kGroupLanes];
      int special = group<R>(parts, re, im);
      if constexpr (kTestSingle<R>) special |= outside_single(re, im);
      special &= (1 << lanes) - 1;
      if (special != 0) frame.mask_x87_exceptions();
      finish(lanes, special, g, re, im, r, report, args...);
    }
  }

 private:
  // A kernel whose lanes stay accurate under every rounding declares
  //   static constexpr bool kHoldsInEveryRounding = true;
  // and skips the read of MXCSR (a few nanoseconds a call: it waits for the caller's
  // floating-point work in flight).
  static constexpr bool kHoldsInEveryRounding =
      requires { requires Kernel::kHoldsInEveryRounding; };
  template <class R>
  static constexpr bool kTestSingle =
      sizeof(R) == sizeof(float) && !requires { requires Kernel::kSingleResultsFinite; };
  template <class R>
  static int group(const double (&p)[2][kGroupLanes], double* re, double* im) {
    if constexpr (sizeof(R) == sizeof(float) &&
                  requires { Kernel::single_group(p[0], p[1], re, im); }) {
      return Kernel::single_group(p[0], p[1], re, im);
    } else {
      return Kernel::group(p[0], p[1], re, im);
    }
  }
  template <class R>
  static int group(const double (&p)[4][kGroupLanes], double* re, double* im) {
    if constexpr (sizeof(R) == sizeof(float) &&
                  requires { Kernel::single_group(p[0], p[1], p[2], p[3], re, im); }) {
      return Kernel::single_group(p[0], p[1], p[2], p[3], re, im);
    } else {
      return Kernel::group(p[0], p[1], p[2], p[3], re, im);
    }
  }

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

  template <class R, class Report, class... Args>
  static void finish(int lanes, int special, int64_t g, const double* re, const double* im,
                     Strided<std::complex<R>> r, Report& report, Args... args) {
    std::complex<R> out[kGroupLanes];
    for (int l = 0; l < lanes; ++l) out[l] = {static_cast<R>(re[l]), static_cast<R>(im[l])};
    finish_group(lanes, special, g, out, r,
                 [g, args...](int l, std::complex<R>& y) { return Op::eval(args[g + l]..., y); },
                 report);
  }
};

// One argument.
template <class Op, class Kernel>
struct ComplexLanes : GroupLanes<Op, Kernel> {
  template <class R, class Report>
  [[gnu::always_inline]] static void vector_loop(FpFrame& frame, int32_t count,
                                                 Strided<const std::complex<R>> a,
                                                 Strided<std::complex<R>> r, Report&& report) {
    GroupLanes<Op, Kernel>::run(frame, count, r, report, a);
  }
};

// Two arguments (the second may have increment 0: Powx's one exponent).
template <class Op, class Kernel>
struct ComplexBinaryLanes : GroupLanes<Op, Kernel> {
  template <class R, class Report>
  [[gnu::always_inline]] static void vector_loop(FpFrame& frame, int32_t count,
                                                 Strided<const std::complex<R>> a,
                                                 Strided<const std::complex<R>> b,
                                                 Strided<std::complex<R>> r, Report&& report) {
    GroupLanes<Op, Kernel>::run(frame, count, r, report, a, b);
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
