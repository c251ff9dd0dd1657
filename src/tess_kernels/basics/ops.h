// Element-wise basics of real types: absolute value, rounding, fractional parts,
// minimum and maximum, sign and neighbour functions, remainders.
#pragma once

#include <cmath>
#include <complex>
#include <cstring>

#include "tess_kernels/basics/arithmetic.h"
#include "tess_kernels/basics/rounding.h"
#include "tess_kernels/basics/sign_and_order.h"
#include "tess_kernels/frame/op_adapters.h"

namespace zorn::tess::ops {

// Remainders, exact: fmod(x, y) = x - trunc(x/y) y and remainder(x, y) = x - rint(x/y) y
// with the quotient exact.
#define ZORN_TESS_BINARY(Name, rule, expr)                                      \
  struct Name {                                                                 \
    template <class T>                                                          \
    static int32_t eval(T x, T y, T& r) {                                       \
      r = expr;                                                                 \
      return classify(rule, r, false, x, y);                                    \
    }                                                                           \
  };
ZORN_TESS_BINARY(Fmod, kDomain, std::fmod(x, y))
ZORN_TESS_BINARY(Remainder, kDomain, std::remainder(x, y))
#undef ZORN_TESS_BINARY

}  // namespace zorn::tess::ops
