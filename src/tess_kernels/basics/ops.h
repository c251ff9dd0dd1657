// Element-wise basics of real types: absolute value, rounding, fractional parts,
// minimum and maximum, sign and neighbour functions, remainders.
#pragma once

#include <cmath>
#include <complex>
#include <cstring>

#include "tess_kernels/basics/arithmetic.h"
#include "tess_kernels/frame/op_adapters.h"

namespace zorn::tess::ops {

// The sign bit cleared, so that NaN payloads survive; complex: the modulus.
struct Abs {
  template <class T>
  static int32_t eval(T x, T& r) {
    r = std::copysign(x, T(1));
    return TESS_STATUS_OK;
  }
  template <class R>
  static int32_t eval(std::complex<R> x, R& r) {
    r = static_cast<R>(std::abs(std::complex<double>(x)));
    return TESS_STATUS_OK;
  }
};

// Silent operations of one real argument.
#define ZORN_TESS_SILENT_UNARY(Name, fn)                                       \
  struct Name {                                                                \
    template <class T>                                                         \
    static int32_t eval(T x, T& r) {                                           \
      r = fn(x);                                                               \
      return TESS_STATUS_OK;                                                   \
    }                                                                          \
  };
ZORN_TESS_SILENT_UNARY(Ceil, std::ceil)
ZORN_TESS_SILENT_UNARY(Floor, std::floor)
ZORN_TESS_SILENT_UNARY(Round, std::round)  // halfway cases away from zero
ZORN_TESS_SILENT_UNARY(Trunc, std::trunc)
ZORN_TESS_SILENT_UNARY(Rint, std::rint)            // in the caller's rounding mode
ZORN_TESS_SILENT_UNARY(NearbyInt, std::nearbyint)  // the same, without inexact
#undef ZORN_TESS_SILENT_UNARY

// x - trunc(x) with the sign of x; infinities have the fractional part 0.
template <class T>
T fractional_part(T x) {
  if (std::isinf(x)) return std::copysign(T(0), x);
  return std::copysign(x - std::trunc(x), x);
}

struct Frac {
  template <class T>
  static int32_t eval(T x, T& r) {
    r = fractional_part(x);
    return TESS_STATUS_OK;
  }
};

// r1 the integral part, r2 the fractional part, both with the sign of x.
struct Modf {
  template <class T>
  static int32_t eval(T x, T& r1, T& r2) {
    r1 = std::trunc(x);
    r2 = fractional_part(x);
    return TESS_STATUS_OK;
  }
};

// Two-argument basics; a NaN in one argument of Fmax, Fmin, MaxMag and MinMag is
// treated as missing data.
#define ZORN_TESS_BINARY(Name, rule, expr)                                      \
  struct Name {                                                                 \
    template <class T>                                                          \
    static int32_t eval(T x, T y, T& r) {                                       \
      r = expr;                                                                 \
      return classify(rule, r, false, x, y);                                    \
    }                                                                           \
  };
ZORN_TESS_BINARY(Fmax, kSilent, std::fmax(x, y))
ZORN_TESS_BINARY(Fmin, kSilent, std::fmin(x, y))
ZORN_TESS_BINARY(MaxMag, kSilent,
                 (std::fabs(x) > std::fabs(y)   ? x
                  : std::fabs(y) > std::fabs(x) ? y
                                                : std::fmax(x, y)))
ZORN_TESS_BINARY(MinMag, kSilent,
                 (std::fabs(x) < std::fabs(y)   ? x
                  : std::fabs(y) < std::fabs(x) ? y
                                                : std::fmin(x, y)))
ZORN_TESS_BINARY(CopySign, kSilent, std::copysign(x, y))
ZORN_TESS_BINARY(NextAfter, kOverflow, std::nextafter(x, y))
ZORN_TESS_BINARY(Fdim, kOverflow, std::fdim(x, y))
ZORN_TESS_BINARY(Fmod, kDomain, std::fmod(x, y))
ZORN_TESS_BINARY(Remainder, kDomain, std::remainder(x, y))
#undef ZORN_TESS_BINARY

}  // namespace zorn::tess::ops
