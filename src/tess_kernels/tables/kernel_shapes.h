// The kernel of each argument shape, as alias templates of one form, so that the
// function list can name the kernel of any table the same way.
#pragma once

#include <type_traits>

#include "tess_kernels/basics/pack.h"
#include "tess_kernels/frame/kernel_frame.h"
#include "tess_kernels/pow_root/powx_kernel.h"

namespace zorn::tess {

template <class E> struct RealOfElement { using type = E; };
template <> struct RealOfElement<TessComplex8> { using type = float; };
template <> struct RealOfElement<TessComplex16> { using type = double; };
template <class E> using RealOf = typename RealOfElement<E>::type;

template <class Op, class E, FrameKind K, FixedName Name>
using ShapeONE = OneKernel<Op, E, E, K, Name>;
template <class Op, class E, FrameKind K, FixedName Name>
using ShapeTO_REAL = OneKernel<Op, E, RealOf<E>, K, Name>;
template <class Op, class E, FrameKind K, FixedName Name>
using ShapeCIS = OneKernel<Op, RealOf<E>, E, K, Name>;
template <class Op, class E, FrameKind K, FixedName Name>
using ShapeTWO = TwoKernel<Op, E, K, Name>;
template <class Op, class E, FrameKind K, FixedName Name>
using ShapePOWX = PowxKernel<Op, E, K, Name>;
template <class Op, class E, FrameKind K, FixedName Name>
using ShapeONE_TWO = OneTwoKernel<Op, E, K, Name>;
template <class Op, class E, FrameKind K, FixedName Name>
using ShapeORDER = OrderKernel<Op, E, K, Name>;
template <class Op, class E, FrameKind K, FixedName Name>
using ShapeLINEAR_FRAC = LinearFracKernel<Op, E, K, Name>;

// Entry points call their kernel with exactly their own arguments.
template <class... Args>
inline void forward(TessKernel kernel, Args... args) {
  reinterpret_cast<void (*)(Args...)>(kernel)(args...);
}

// The double complex Powx entry passes its exponent through a private copy.
inline void forward_powx(TessKernel kernel, int32_t n, const TessComplex16* a, TessComplex16 b,
                         TessComplex16* r) {
  const TessComplex16 copy = b;
  reinterpret_cast<void (*)(int32_t, const TessComplex16*, const TessComplex16*,
                            TessComplex16*)>(kernel)(n, a, &copy, r);
}
inline void forward_powx(TessKernel kernel, int32_t n, const TessComplex16* a, int32_t inca,
                         TessComplex16 b, TessComplex16* r, int32_t incr) {
  const TessComplex16 copy = b;
  reinterpret_cast<void (*)(int32_t, const TessComplex16*, int32_t, const TessComplex16*,
                            TessComplex16*, int32_t)>(kernel)(n, a, inca, &copy, r, incr);
}
template <class... Args>
inline void forward_powx(TessKernel kernel, Args... args) {
  forward(kernel, args...);
}

// Pack and unpack entries pass the selector 1 (32-bit integers) after their arguments.
inline int64_t widen(int32_t v) { return v; }
inline const void* widen(const void* p) { return p; }
inline void* widen(void* p) { return p; }
template <class... Args>
inline void forward_pack(TessKernel kernel, Args... args) {
  reinterpret_cast<void (*)(decltype(widen(args))..., int32_t)>(kernel)(widen(args)..., 1);
}

}  // namespace zorn::tess
