// Powx: x^b for a vector x and one scalar exponent b. For real types a few exponents
// are recognised by their exact bit patterns before any frame is set up: 0, 1 and 2 are
// written directly, and -1, 0.5, -0.5 and 1.5 hand the whole call to the high accuracy
// kernels of Inv, Sqrt, InvSqrt and Pow3o2 (which then report under their own names).
#pragma once

#include <cstring>
#include <type_traits>

#include "tess_kernels/frame/kernel_frame.h"

namespace zorn::tess {

// The kernels a real Powx hands its calls to, contiguous and strided.
struct PowxTarget {
  const TessFunctionTable* contiguous;
  const TessFunctionTable* strided;
};
template <class E>
struct PowxTargets;
#define ZORN_POWX_TARGETS(E, p)                                                          \
  template <>                                                                            \
  struct PowxTargets<E> {                                                                \
    static constexpr PowxTarget kInv{&zorn_tess_kernel_##p##Inv_ttab,                    \
                                     &zorn_tess_kernel_##p##InvI_ttab};                  \
    static constexpr PowxTarget kSqrt{&zorn_tess_kernel_##p##Sqrt_ttab,                  \
                                      &zorn_tess_kernel_##p##SqrtI_ttab};                \
    static constexpr PowxTarget kInvSqrt{&zorn_tess_kernel_##p##InvSqrt_ttab,            \
                                         &zorn_tess_kernel_##p##InvSqrtI_ttab};          \
    static constexpr PowxTarget kPow3o2{&zorn_tess_kernel_##p##Pow3o2_ttab,              \
                                        &zorn_tess_kernel_##p##Pow3o2I_ttab};            \
  };
ZORN_POWX_TARGETS(float, s)
ZORN_POWX_TARGETS(double, d)
#undef ZORN_POWX_TARGETS

enum class PowxExponent { kGeneral, kZero, kOne, kTwo, kMinusOne, kHalf, kMinusHalf, kThreeHalves };

// On bit patterns only: the caller's denormals-are-zero must not make a subnormal
// exponent count as zero.
template <class T>
PowxExponent classify_exponent(T b) {
  const T zeros[] = {T(0), -T(0)};
  for (const T& z : zeros) {
    if (std::memcmp(&b, &z, sizeof b) == 0) return PowxExponent::kZero;
  }
  const T known[] = {T(1), T(2), T(-1), T(0.5), T(-0.5), T(1.5)};
  const PowxExponent kinds[] = {PowxExponent::kOne,     PowxExponent::kTwo,
                                PowxExponent::kMinusOne, PowxExponent::kHalf,
                                PowxExponent::kMinusHalf, PowxExponent::kThreeHalves};
  for (int k = 0; k < 6; ++k) {
    if (std::memcmp(&b, &known[k], sizeof b) == 0) return kinds[k];  // exact bits
  }
  return PowxExponent::kGeneral;
}

inline bool written_directly(PowxExponent kind) {
  return kind == PowxExponent::kZero || kind == PowxExponent::kOne || kind == PowxExponent::kTwo;
}

// The kernel that takes the whole call for exponent `kind`, or null.
template <class E>
const PowxTarget* handoff_target(PowxExponent kind) {
  switch (kind) {
    case PowxExponent::kMinusOne: return &PowxTargets<E>::kInv;
    case PowxExponent::kHalf: return &PowxTargets<E>::kSqrt;
    case PowxExponent::kMinusHalf: return &PowxTargets<E>::kInvSqrt;
    case PowxExponent::kThreeHalves: return &PowxTargets<E>::kPow3o2;
    default: return nullptr;
  }
}

// The complex double kernel receives its exponent through a pointer to a private copy.
template <class E>
using PowxScalarArg = std::conditional_t<std::is_same_v<E, TessComplex16>, const E*, E>;

template <class Op, class E, FrameKind K, FixedName Name>
struct PowxKernel {
  using T = Internal<E>;
  using One = void (*)(int32_t, const E*, E*);
  using OneStrided = void (*)(int32_t, const E*, int32_t, E*, int32_t);

  static void run(int32_t n, const T* a, int32_t inca, T b, T* r, int32_t incr) {
    FpFrame frame(K);
    // The exponent is one scalar: it is read and reported through a zero increment.
    auto report_element = [&](int32_t st, int32_t i) {
      report(st, i, a, inca, &b, 0, r, incr, r, incr, Name.text);
    };
    const Strided<const T> x{a, inca}, y{&b, 0};
    if constexpr (requires { Op::vector_loop(frame, n, x, y, Strided<T>{r, incr}, report_element); }) {
      Op::vector_loop(frame, n, x, y, Strided<T>{r, incr}, report_element);
    } else {
      run_groups<T, 1>(
          n, {Strided<T>{r, incr}}, [&](int64_t i, T(&out)[1]) { return Op::eval(x[i], b, out[0]); },
          report_element);
    }
  }

  // Exponents 0, 1 and 2, written directly under the kernel's own frame.
  static void run_trivial(PowxExponent kind, int32_t n, const T* a, int32_t inca, T* r,
                          int32_t incr) {
    FpFrame frame(K);
    for (int64_t i = 0; i < n; ++i) {
      const T x = a[i * inca];
      r[i * incr] = kind == PowxExponent::kZero ? T(1) : kind == PowxExponent::kOne ? x : x * x;
    }
  }

  static T scalar(PowxScalarArg<E> b) {
    if constexpr (std::is_pointer_v<PowxScalarArg<E>>) {
      return *internal(b);
    } else {
      return *internal(&b);
    }
  }

  static void contiguous(int32_t n, const E* a, PowxScalarArg<E> b_arg, E* r) {
    const T b = scalar(b_arg);
    if constexpr (std::is_floating_point_v<E>) {
      const PowxExponent kind = classify_exponent(b);
      if (written_directly(kind)) return run_trivial(kind, n, a, 1, r, 1);
      if (const PowxTarget* target = handoff_target<E>(kind)) {
        return slot_kernel<One>(target->contiguous, 1)(n, a, r);
      }
    }
    run(n, internal(a), 1, b, internal(r), 1);
  }

  template <const TessFunctionTable* Table, int Slot>
  static void strided(int32_t n, const E* a, int32_t inca, PowxScalarArg<E> b_arg, E* r,
                      int32_t incr) {
    if (inca == 1 && incr == 1) {
      return slot_kernel<decltype(&contiguous)>(Table, Slot)(n, a, b_arg, r);
    }
    const T b = scalar(b_arg);
    if constexpr (std::is_floating_point_v<E>) {
      const PowxExponent kind = classify_exponent(b);
      if (written_directly(kind)) return run_trivial(kind, n, a, inca, r, incr);
      if (const PowxTarget* target = handoff_target<E>(kind)) {
        return slot_kernel<OneStrided>(target->strided, 1)(n, a, inca, r, incr);
      }
    }
    run(n, internal(a), inca, b, internal(r), incr);
  }
};

}  // namespace zorn::tess
