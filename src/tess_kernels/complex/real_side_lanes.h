// The vector loops of the complex functions with a real side, four elements per group:
// a complex argument and a real result (Abs, Arg), or a real argument and a complex
// result (CIS). A kernel K names the type its parts take for elements of precision R,
// `K::Part<R>` (double, or float for single precision kept single), and supplies for it
//   static int group(const Part x[4], const Part y[4], Part r[4]);   (to real)
//   static int group(const Part t[4], Part re[4], Part im[4]);       (from real)
// with the four-bit mask of the elements only the operation's scalar form `Op::eval` can
// be trusted with; those go through it one by one in element order. Contiguous whole
// groups move as vectors; strided vectors and the last partial group element by element
// (lanes past the end hold 1, masked off). Every element of a group is read before any
// result is stored.
// A kernel may also supply, for contiguous vectors,
//   static int64_t block(int64_t n, const std::complex<R>* a, R* r);   (to real)
//   static int64_t block(int64_t n, const R* t, std::complex<R>* r);   (from real)
// which runs whole groups until the first holding an element it cannot take, left
// unstored, and returns the count stored; that group then takes the path above.
#pragma once

#include <algorithm>
#include <complex>
#include <cstdint>

#include "tess_kernels/complex/group_io.h"
#include "tess_kernels/frame/fp_state.h"
#include "tess_kernels/frame/kernel_frame.h"

namespace zorn::tess::cx {

template <class Op, class Kernel>
struct ComplexToRealLanes {
  template <class R>
  using Part = typename Kernel::template Part<R>;

  template <class R, class Report>
  static void vector_loop(FpFrame& frame, int32_t count, Strided<const std::complex<R>> a,
                          Strided<R> r, Report&& report) {
    const int64_t n = count;
    const bool contiguous = a.inc == 1 && r.inc == 1;
    for (int64_t g = 0; g < n; g += kGroupLanes) {
      if constexpr (requires { Kernel::block(n, a.base, r.base); }) {
        if (contiguous) {
          g += Kernel::block(n - g, a.base + g, r.base + g);
          if (g == n) break;
        }
      }
      const int lanes = static_cast<int>(std::min<int64_t>(kGroupLanes, n - g));
      const bool whole = contiguous && lanes == kGroupLanes;
      alignas(16) Part<R> x[kGroupLanes] = {1, 1, 1, 1}, y[kGroupLanes] = {1, 1, 1, 1};
      alignas(16) Part<R> v[kGroupLanes];
      if (whole) {
        split_group(a.base + g, x, y);
      } else {
        for (int l = 0; l < lanes; ++l) {
          x[l] = a[g + l].real();
          y[l] = a[g + l].imag();
        }
      }
      const int special = Kernel::group(x, y, v) & ((1 << lanes) - 1);
      if (whole && special == 0) [[likely]] {
        store_reals(r.base + g, v);
        continue;
      }
      if (special != 0) frame.mask_x87_exceptions();
      R out[kGroupLanes];
      for (int l = 0; l < lanes; ++l) out[l] = static_cast<R>(v[l]);
      finish_group(lanes, special, g, out, r,
                   [a, g](int l, R& y) { return Op::eval(a[g + l], y); }, report);
    }
  }
};

template <class Op, class Kernel>
struct RealToComplexLanes {
  template <class R>
  using Part = typename Kernel::template Part<R>;

  template <class R, class Report>
  static void vector_loop(FpFrame& frame, int32_t count, Strided<const R> a,
                          Strided<std::complex<R>> r, Report&& report) {
    const int64_t n = count;
    const bool contiguous = a.inc == 1 && r.inc == 1;
    for (int64_t g = 0; g < n; g += kGroupLanes) {
      if constexpr (requires { Kernel::block(n, a.base, r.base); }) {
        if (contiguous) {
          g += Kernel::block(n - g, a.base + g, r.base + g);
          if (g == n) break;
        }
      }
      const int lanes = static_cast<int>(std::min<int64_t>(kGroupLanes, n - g));
      const bool whole = contiguous && lanes == kGroupLanes;
      alignas(16) Part<R> t[kGroupLanes] = {1, 1, 1, 1};
      alignas(16) Part<R> re[kGroupLanes], im[kGroupLanes];
      if (whole) {
        load_reals(a.base + g, t);
      } else {
        for (int l = 0; l < lanes; ++l) t[l] = a[g + l];
      }
      const int special = Kernel::group(t, re, im) & ((1 << lanes) - 1);
      if (whole && special == 0) [[likely]] {
        merge_group(r.base + g, re, im);
        continue;
      }
      if (special != 0) frame.mask_x87_exceptions();
      std::complex<R> out[kGroupLanes];
      for (int l = 0; l < lanes; ++l) out[l] = {static_cast<R>(re[l]), static_cast<R>(im[l])};
      finish_group(lanes, special, g, out, r,
                   [a, g](int l, std::complex<R>& y) { return Op::eval(a[g + l], y); }, report);
    }
  }
};

}  // namespace zorn::tess::cx
