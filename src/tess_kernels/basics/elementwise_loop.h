// The vector loop of the real element-wise basics. Contiguous vectors run two registers
// per iteration (eight floats or four doubles); strided vectors and the remainder run
// element by element through the operation's scalar form. An operation Op derives from
// Elementwise<Op, arguments, results> and supplies, in both precisions,
//   template <class V> static int lanes(V x..., V& r...)
//       the results of one register of each argument, no branches; returns one bit per
//       lane whose result or status only the scalar form gives (0 for none);
//   template <class T> static int32_t eval(T x..., T& r...)
//       the result and status of any arguments (the callout of those lanes).
// An operation that must leave the inexact flag as the caller had it (the rounding
// functions other than Rint) sets kQuietInexact.
//
// A lane needing the scalar form is computed there, in lane order; a non-zero status is
// stored, reported and read back (the callback may replace the result) before the
// registers are stored. Every register is loaded before any result is stored, so results
// may overwrite the arguments. Positions count in 64 bits; a count of zero or less does
// nothing.
#pragma once

#include <xmmintrin.h>

#include <array>
#include <cstdint>
#include <type_traits>
#include <utility>

#include "tess_kernels/basics/lanes.h"
#include "tess_kernels/frame/fp_state.h"
#include "tess_kernels/frame/kernel_frame.h"
#include "tess_kernels/frame/status_rules.h"

namespace zorn::tess {

constexpr uint32_t kMxcsrInexactFlag = 0x20;

// Keeps the inexact flag of MXCSR as it was at construction when it was clear then.
class InexactFlagKeeper {
 public:
  explicit InexactFlagKeeper(bool active) : active_(active && !(_mm_getcsr() & kMxcsrInexactFlag)) {}
  ~InexactFlagKeeper() {
    if (!active_) return;
    const uint32_t mxcsr = _mm_getcsr();
    if (mxcsr & kMxcsrInexactFlag) _mm_setcsr(mxcsr & ~kMxcsrInexactFlag);
  }
  InexactFlagKeeper(const InexactFlagKeeper&) = delete;
  InexactFlagKeeper& operator=(const InexactFlagKeeper&) = delete;

 private:
  bool active_;
};

template <class Op, size_t NIn, size_t NOut>
struct Elementwise {
  static constexpr bool kQuietInexact = false;

  template <class T, class Report>
  static void run(FpFrame& frame, int32_t count, const std::array<Strided<const T>, NIn>& in,
                  const std::array<Strided<T>, NOut>& out, Report& report) {
    const InexactFlagKeeper keep_inexact(Op::kQuietInexact);
    const int64_t n = count;
    const int64_t i =
        all_unit(in) && all_unit(out) ? contiguous_blocks(frame, n, in, out, report) : 0;
    if (i == n) return;
    frame.mask_x87_exceptions();
    std::array<Strided<T>, NOut> rest;
    for (size_t k = 0; k < NOut; ++k) rest[k] = {out[k].base + i * out[k].inc, out[k].inc};
    run_groups<T, NOut>(
        static_cast<int32_t>(n - i), rest,
        [&](int64_t j, T(&y)[NOut]) { return call_eval(in, i + j, y); },
        [&](int32_t status, int32_t j) { report(status, static_cast<int32_t>(i + j)); });
  }

  // The frame's hooks for one- and two-argument, one- and two-result kernels; only the
  // real types have them.
  template <class T, class Report>
    requires(std::is_floating_point_v<T> && NIn == 1 && NOut == 1)
  static void vector_loop(FpFrame& frame, int32_t n, Strided<const T> a, Strided<T> r,
                          Report&& report) {
    run<T>(frame, n, {a}, {r}, report);
  }
  template <class T, class Report>
    requires(std::is_floating_point_v<T> && NIn == 2 && NOut == 1)
  static void vector_loop(FpFrame& frame, int32_t n, Strided<const T> a, Strided<const T> b,
                          Strided<T> r, Report&& report) {
    run<T>(frame, n, {a, b}, {r}, report);
  }
  template <class T, class Report>
    requires(std::is_floating_point_v<T> && NIn == 1 && NOut == 2)
  static void vector_loop(FpFrame& frame, int32_t n, Strided<const T> a, Strided<T> r1,
                          Strided<T> r2, Report&& report) {
    run<T>(frame, n, {a}, {r1, r2}, report);
  }

 private:
  // Registers of elements T, as many as arguments or results.
  template <class T>
  struct Registers {
    lanes::Register<T> v[NIn > NOut ? NIn : NOut];
  };

  // Whole blocks of two registers from the start of contiguous vectors; returns the
  // number of elements done.
  template <class T, class Report>
  static int64_t contiguous_blocks(FpFrame& frame, int64_t n,
                                   const std::array<Strided<const T>, NIn>& in,
                                   const std::array<Strided<T>, NOut>& out, Report& report) {
    constexpr int64_t kWidth = lanes::kLanes<T>;
    const T* a[NIn];
    T* r[NOut];
    for (size_t k = 0; k < NIn; ++k) a[k] = in[k].base;
    for (size_t k = 0; k < NOut; ++k) r[k] = out[k].base;
    int64_t i = 0;
    for (; i + 2 * kWidth <= n; i += 2 * kWidth) {
      Registers<T> x0, x1, y0, y1;
      for (size_t k = 0; k < NIn; ++k) {
        x0.v[k] = lanes::load(a[k] + i);
        x1.v[k] = lanes::load(a[k] + i + kWidth);
      }
      const int special = call_lanes(x0, y0) | call_lanes(x1, y1) << kWidth;
      if (special != 0) [[unlikely]] {
        settle(frame, special, i, a, out, report);
        continue;
      }
      for (size_t k = 0; k < NOut; ++k) {
        lanes::store(r[k] + i, y0.v[k]);
        lanes::store(r[k] + i + kWidth, y1.v[k]);
      }
    }
    return i;
  }

  template <class S, size_t N>
  static bool all_unit(const std::array<Strided<S>, N>& v) {
    for (const Strided<S>& s : v)
      if (s.inc != 1) return false;
    return true;
  }

  template <class T>
  static int call_lanes(const Registers<T>& x, Registers<T>& y) {
    return [&]<size_t... I, size_t... O>(std::index_sequence<I...>, std::index_sequence<O...>) {
      return Op::lanes(x.v[I]..., y.v[O]...);
    }(std::make_index_sequence<NIn>{}, std::make_index_sequence<NOut>{});
  }
  template <class A, class T>
  static int32_t call_eval(const A& x, int64_t at, T (&y)[NOut]) {
    return [&]<size_t... I, size_t... O>(std::index_sequence<I...>, std::index_sequence<O...>) {
      return Op::eval(x[I][at]..., y[O]...);
    }(std::make_index_sequence<NIn>{}, std::make_index_sequence<NOut>{});
  }

  // Out of line: such lanes are rare, and the loop stays small without them. The block's
  // arguments are read again (nothing of the block is stored yet, also in place) and its
  // results computed again.
  template <class T, class Report>
  [[gnu::noinline]] static void settle(FpFrame& frame, int special, int64_t g,
                                       const T* const (&a)[NIn],
                                       const std::array<Strided<T>, NOut>& out, Report& report) {
    constexpr int kWidth = lanes::kLanes<T>;
    frame.mask_x87_exceptions();
    alignas(16) T xs[NIn][2 * kWidth], ys[NOut][2 * kWidth];
    for (int half = 0; half < 2; ++half) {
      Registers<T> x, y;
      for (size_t k = 0; k < NIn; ++k) x.v[k] = lanes::load(a[k] + g + half * kWidth);
      call_lanes(x, y);
      for (size_t k = 0; k < NIn; ++k) lanes::store(xs[k] + half * kWidth, x.v[k]);
      for (size_t k = 0; k < NOut; ++k) lanes::store(ys[k] + half * kWidth, y.v[k]);
    }
    for (int l = 0; special != 0; ++l, special >>= 1) {
      if ((special & 1) == 0) continue;
      T y[NOut];
      int32_t status;
      {
        const ErrnoKeeper keep_errno;
        status = call_eval(xs, l, y);
      }
      for (size_t k = 0; k < NOut; ++k) ys[k][l] = y[k];
      if (status == TESS_STATUS_OK) continue;
      for (size_t k = 0; k < NOut; ++k) out[k][g + l] = ys[k][l];
      report(status, static_cast<int32_t>(g + l));
      for (size_t k = 0; k < NOut; ++k) ys[k][l] = out[k][g + l];
    }
    for (size_t k = 0; k < NOut; ++k)
      for (int l = 0; l < 2 * kWidth; ++l) out[k][g + l] = ys[k][l];
  }
};

// A two-argument basic whose scalar form is Derived::scalar(x, y), its status by `rule`.
template <class Derived, uint32_t kRule>
struct ScalarRule : Elementwise<Derived, 2, 1> {
  template <class T>
  static int32_t eval(T x, T y, T& r) {
    r = Derived::scalar(x, y);
    return classify(kRule, r, false, x, y);
  }
};

}  // namespace zorn::tess
