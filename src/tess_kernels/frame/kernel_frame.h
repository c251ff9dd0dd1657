// The kernel frame shared by every vector function: floating-point entry and exit, the
// loop over groups of four elements, and special lanes of a group passed one by one,
// in lane order, to the reporter. A function supplies an operation type (Op) with a
// scalar routine `eval` that returns the element's status; an operation may instead
// supply a whole vector loop of its own, which calls the frame's mask_x87_exceptions()
// before any scalar code (callouts, reports): its vector code runs no x87 instruction,
// so a call without special lanes leaves the x87 unit alone.
//
// Strided kernels hand a call whose increments are all 1 to the contiguous kernel in
// their own slot of the function's table.
#pragma once

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>

#include "tess_kernels/frame/element_types.h"
#include "tess_kernels/frame/fp_state.h"

namespace zorn::tess {

constexpr int32_t kGroupLanes = 4;

// A vector with an element increment (1 for contiguous vectors, 0 for a scalar).
template <class T>
struct Strided {
  T* base;
  int32_t inc;
  T& operator[](int64_t i) const { return base[i * inc]; }
};
template <class T>
Strided(T*, int32_t) -> Strided<T>;

// Scalar routines of the C library may set errno; only the reporters may. The library
// is compiled as if math functions left errno alone, so the restoring store is kept
// behind a compiler barrier.
class ErrnoKeeper {
 public:
  ErrnoKeeper() : saved_(errno) {}
  ~ErrnoKeeper() {
    asm volatile("" ::: "memory");
    errno = saved_;
  }
  ErrnoKeeper(const ErrnoKeeper&) = delete;
  ErrnoKeeper& operator=(const ErrnoKeeper&) = delete;

 private:
  int saved_;
};

// Runs `compute(i, results)` on groups of four elements; `compute` returns a status.
// Every lane of a group is computed before any is stored, so results may overwrite the
// arguments. A lane with a non-zero status is stored, reported, and read back (the
// reporter may have put the callback's result there) before the group is stored.
// Positions are counted in 64 bits, so that no bound overflows for any int32_t count; a
// count of zero or less does nothing.
template <class TOut, size_t NOut, class Compute, class Report>
void run_groups(int32_t count, const std::array<Strided<TOut>, NOut>& out, Compute&& compute,
                Report&& report) {
  const int64_t n = count;
  for (int64_t g = 0; g < n; g += kGroupLanes) {
    const int32_t lanes = static_cast<int32_t>(std::min<int64_t>(kGroupLanes, n - g));
    TOut y[kGroupLanes][NOut];
    int32_t status[kGroupLanes];
    {
      const ErrnoKeeper keep_errno;
      for (int32_t l = 0; l < lanes; ++l) status[l] = compute(g + l, y[l]);
    }
    for (int32_t l = 0; l < lanes; ++l) {
      if (status[l] == TESS_STATUS_OK) continue;
      for (size_t k = 0; k < NOut; ++k) out[k][g + l] = y[l][k];
      report(status[l], static_cast<int32_t>(g + l));
      for (size_t k = 0; k < NOut; ++k) y[l][k] = out[k][g + l];
    }
    for (int32_t l = 0; l < lanes; ++l)
      for (size_t k = 0; k < NOut; ++k) out[k][g + l] = y[l][k];
  }
}

// The special lanes of a vector group (bit l of `special` for lane l), in lane order:
// `callout(l)` puts the lane's result in y[l] and returns its status. A lane with a
// non-zero status is stored, reported, and read back (the reporter may have put the
// callback's result there); the caller stores the group afterwards.
template <class T, class Callout, class Report>
void settle_special_lanes(int special, int64_t g, T* y, Strided<T> r, Callout&& callout,
                          Report& report) {
  for (int l = 0; special != 0; ++l, special >>= 1) {
    if ((special & 1) == 0) continue;
    const int32_t status = callout(l);
    if (status == TESS_STATUS_OK) continue;
    r[g + l] = y[l];
    report(status, static_cast<int32_t>(g + l));
    y[l] = r[g + l];
  }
}

// The vector loop of an operation that computes one element of type T at a time with
// `Self::eval(x, r)`: an operation whose types differ in method supplies one loop per
// type, some vectorised and some lane by lane.
template <class Self, class T>
struct LaneByLane {
  template <class Report>
  static void vector_loop(FpFrame& frame, int32_t n, Strided<const T> a, Strided<T> r,
                          Report&& report) {
    frame.mask_x87_exceptions();
    run_groups<T, 1>(
        n, {r}, [&](int64_t i, T(&y)[1]) { return Self::eval(a[i], y[0]); }, report);
  }
};

template <class Fn>
Fn slot_kernel(const TessFunctionTable* table, int slot) {
  return reinterpret_cast<Fn>(table->slot[slot]);
}

// Cast of a kernel to the type-erased pointer the tables hold.
template <class Fn>
constexpr TessKernel erase(Fn fn) {
  return reinterpret_cast<TessKernel>(fn);
}

// ---- one argument, one result: n, a, r (also TO_REAL and CIS, whose types differ) ----
template <class Op, class EIn, class EOut, FrameKind K, FixedName Name>
struct OneKernel {
  using TIn = Internal<EIn>;
  using TOut = Internal<EOut>;

  static constexpr bool kHasVectorLoop =
      requires(FpFrame& frame, Strided<const TIn> x, Strided<TOut> y) {
        Op::vector_loop(frame, 0, x, y, [](int32_t, int32_t) {});
      };
  // A loop of its own for contiguous calls that sets up the frame itself, given a
  // reporter without state, report(status, i, a, r): the entry is then one jump. It is
  // noexcept, so that it needs no cleanup for unwinding, which would take the frame's
  // address and keep it in memory.
  static constexpr bool kHasContiguousLoop = requires(const TIn* x, TOut* y) {
    { Op::vector_loop(OwnFrame<K>{}, 0, x, y, [](int32_t, int32_t, const TIn*, TOut*) {}) } noexcept;
  };

  // Inlined into both entries, so that the contiguous one runs with its increments known.
  template <bool kStrided>
  [[gnu::always_inline]] static void run(int32_t n, const TIn* a, int32_t inca, TOut* r,
                                         int32_t incr) {
    if constexpr (!kStrided && kHasContiguousLoop) {
      Op::vector_loop(OwnFrame<K>{}, n, a, r, [](int32_t st, int32_t i, const TIn* x0, TOut* y0) {
        report(st, i, x0, x0, y0, y0, Name.text);
      });
    } else {
      run_framed<kStrided>(n, a, inca, r, incr);
    }
  }

  template <bool kStrided>
  [[gnu::always_inline]] static void run_framed(int32_t n, const TIn* a, int32_t inca, TOut* r,
                                                int32_t incr) {
    // A vector loop sets up the x87 unit itself before any scalar code.
    FpFrame frame(K, kHasVectorLoop ? X87Entry::kBeforeScalarCode : X87Entry::kAtEntry);
    const Strided<const TIn> x{a, inca};
    // Captured by value: the vectors and increments stay known constants of the
    // contiguous entry, whose strided branches then fold away.
    auto report_element = [a, inca, r, incr](int32_t st, int32_t i) {
      if constexpr (std::is_same_v<TIn, TOut>) {
        if constexpr (kStrided) {
          report(st, i, a, inca, a, inca, r, incr, r, incr, Name.text);
        } else {
          report(st, i, a, a, r, r, Name.text);
        }
      }
    };
    if constexpr (kHasVectorLoop) {
      Op::vector_loop(frame, n, x, Strided<TOut>{r, incr}, report_element);
    } else {
      run_groups<TOut, 1>(
          n, {Strided<TOut>{r, incr}},
          [&](int64_t i, TOut(&y)[1]) { return Op::eval(x[i], y[0]); }, report_element);
    }
  }
  static void contiguous(int32_t n, const EIn* a, EOut* r) {
    run<false>(n, internal(a), 1, internal(r), 1);
  }
  template <const TessFunctionTable* Table, int Slot>
  static void strided(int32_t n, const EIn* a, int32_t inca, EOut* r, int32_t incr) {
    if (inca == 1 && incr == 1) {
      return slot_kernel<decltype(&contiguous)>(Table, Slot)(n, a, r);
    }
    run<true>(n, internal(a), inca, internal(r), incr);
  }
};

// ---- two arguments, one result: n, a, b, r ----
template <class Op, class E, FrameKind K, FixedName Name>
struct TwoKernel {
  using T = Internal<E>;
  // A loop of its own for contiguous calls that sets up the frame itself, as OneKernel's,
  // given a reporter without state, report(status, i, a, b, r).
  static constexpr bool kHasContiguousLoop = requires(const T* x, T* y) {
    { Op::vector_loop(OwnFrame<K>{}, 0, x, x, y, [](int32_t, int32_t, const T*, const T*, T*) {}) } noexcept;
  };
  static void run(int32_t n, const T* a, int32_t inca, const T* b, int32_t incb, T* r,
                  int32_t incr, bool strided) {
    FpFrame frame(K);
    auto report_element = [&](int32_t st, int32_t i) {
      if (strided) {
        report(st, i, a, inca, b, incb, r, incr, r, incr, Name.text);
      } else {
        report(st, i, a, b, r, r, Name.text);
      }
    };
    const Strided<const T> x{a, inca}, y{b, incb};
    if constexpr (requires { Op::vector_loop(frame, n, x, y, Strided<T>{r, incr}, report_element); }) {
      Op::vector_loop(frame, n, x, y, Strided<T>{r, incr}, report_element);
    } else {
      run_groups<T, 1>(
          n, {Strided<T>{r, incr}},
          [&](int64_t i, T(&out)[1]) { return Op::eval(x[i], y[i], out[0]); }, report_element);
    }
  }
  static void contiguous(int32_t n, const E* a, const E* b, E* r) {
    if constexpr (kHasContiguousLoop) {
      Op::vector_loop(OwnFrame<K>{}, n, internal(a), internal(b), internal(r),
                      [](int32_t st, int32_t i, const T* x0, const T* y0, T* r0) {
                        report(st, i, x0, y0, r0, r0, Name.text);
                      });
    } else {
      run(n, internal(a), 1, internal(b), 1, internal(r), 1, false);
    }
  }
  template <const TessFunctionTable* Table, int Slot>
  static void strided(int32_t n, const E* a, int32_t inca, const E* b, int32_t incb, E* r,
                      int32_t incr) {
    if (inca == 1 && incb == 1 && incr == 1) {
      return slot_kernel<decltype(&contiguous)>(Table, Slot)(n, a, b, r);
    }
    run(n, internal(a), inca, internal(b), incb, internal(r), incr, true);
  }
};

// ---- one argument, two results: n, a, r1, r2 ----
template <class Op, class E, FrameKind K, FixedName Name>
struct OneTwoKernel {
  using T = Internal<E>;
  static void run(int32_t n, const T* a, int32_t inca, T* r1, int32_t incr1, T* r2,
                  int32_t incr2, bool strided) {
    FpFrame frame(K);
    const Strided<T> y1{r1, incr1}, y2{r2, incr2};
    auto report_element = [&](int32_t st, int32_t i) {
      if (strided) {
        report(st, i, a, inca, a, inca, r1, incr1, r2, incr2, Name.text);
      } else {
        report(st, i, a, a, r1, r2, Name.text);
      }
    };
    if constexpr (requires { Op::vector_loop(frame, n, Strided<const T>{a, inca}, y1, y2, report_element); }) {
      Op::vector_loop(frame, n, Strided<const T>{a, inca}, y1, y2, report_element);
    } else {
      run_groups<T, 2>(
          n, {y1, y2}, [&](int64_t i, T(&y)[2]) { return Op::eval(a[i * inca], y[0], y[1]); },
          report_element);
    }
  }
  static void contiguous(int32_t n, const E* a, E* r1, E* r2) {
    run(n, internal(a), 1, internal(r1), 1, internal(r2), 1, false);
  }
  template <const TessFunctionTable* Table, int Slot>
  static void strided(int32_t n, const E* a, int32_t inca, E* r1, int32_t incr1, E* r2,
                      int32_t incr2) {
    if (inca == 1 && incr1 == 1 && incr2 == 1) {
      return slot_kernel<decltype(&contiguous)>(Table, Slot)(n, a, r1, r2);
    }
    run(n, internal(a), inca, internal(r1), incr1, internal(r2), incr2, true);
  }
};

// ---- one argument and a scalar parameter (Bessel order): n, a, order, r ----
template <class Op, class E, FrameKind K, FixedName Name>
struct OrderKernel {
  using T = Internal<E>;
  static void run(int32_t n, const T* a, int32_t inca, T order, T* r, int32_t incr,
                  bool strided) {
    FpFrame frame(K);
    run_groups<T, 1>(
        n, {Strided<T>{r, incr}},
        [&](int64_t i, T(&y)[1]) { return Op::eval(a[i * inca], order, y[0]); },
        [&](int32_t st, int32_t i) {
          if (strided) {
            report(st, i, a, inca, a, inca, r, incr, r, incr, Name.text);
          } else {
            report(st, i, a, a, r, r, Name.text);
          }
        });
  }
  static void contiguous(int32_t n, const E* a, E order, E* r) {
    run(n, internal(a), 1, order, internal(r), 1, false);
  }
  template <const TessFunctionTable* Table, int Slot>
  static void strided(int32_t n, const E* a, int32_t inca, E order, E* r, int32_t incr) {
    if (inca == 1 && incr == 1) {
      return slot_kernel<decltype(&contiguous)>(Table, Slot)(n, a, order, r);
    }
    run(n, internal(a), inca, order, internal(r), incr, true);
  }
};

// ---- (scalea * a + shifta) / (scaleb * b + shiftb) ----
template <class Op, class E, FrameKind K, FixedName Name>
struct LinearFracKernel {
  using T = E;
  static void run(int32_t n, const T* a, int32_t inca, const T* b, int32_t incb, T scalea,
                  T shifta, T scaleb, T shiftb, T* r, int32_t incr, bool strided) {
    FpFrame frame(K);
    run_groups<T, 1>(
        n, {Strided<T>{r, incr}},
        [&](int64_t i, T(&y)[1]) {
          return Op::eval(a[i * inca], b[i * incb], scalea, shifta, scaleb, shiftb, y[0]);
        },
        [&](int32_t st, int32_t i) {
          if (strided) {
            report(st, i, a, inca, b, incb, r, incr, r, incr, Name.text);
          } else {
            report(st, i, a, b, r, r, Name.text);
          }
        });
  }
  static void contiguous(int32_t n, const E* a, const E* b, E scalea, E shifta, E scaleb,
                         E shiftb, E* r) {
    run(n, a, 1, b, 1, scalea, shifta, scaleb, shiftb, r, 1, false);
  }
  template <const TessFunctionTable* Table, int Slot>
  static void strided(int32_t n, const E* a, int32_t inca, const E* b, int32_t incb,
                      E scalea, E shifta, E scaleb, E shiftb, E* r, int32_t incr) {
    if (inca == 1 && incb == 1 && incr == 1) {
      return slot_kernel<decltype(&contiguous)>(Table, Slot)(n, a, b, scalea, shifta, scaleb,
                                                             shiftb, r);
    }
    run(n, a, inca, b, incb, scalea, shifta, scaleb, shiftb, r, incr, true);
  }
};

}  // namespace zorn::tess
