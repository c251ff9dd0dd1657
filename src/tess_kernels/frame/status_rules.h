// How a scalar routine's result turns into an element status, for the functions whose
// statuses follow the general rules: a NaN from non-NaN arguments is a domain error,
// an infinity from finite arguments a singularity or an overflow, and a tiny result
// an underflow where the function reports one.
#pragma once

#include <cmath>
#include <complex>
#include <cstdint>
#include <limits>

#include "zorn/tess.h"

namespace zorn::tess {

enum Rule : uint32_t {
  kSilent = 0,
  kDomain = 1u << 0,           // NaN result from non-NaN arguments: status 1
  kPole = 1u << 1,             // infinite result from finite arguments: status 2
  kOverflow = 1u << 2,         // infinite result from finite arguments: status 3
  kUnderflow = 1u << 3,        // subnormal or zero result from finite arguments: status 4
  kUnderflowToZero = 1u << 4,  // zero result from finite arguments: status 4
};

template <class T>
bool any_nan(T x) {
  return std::isnan(x);
}
template <class T, class... Rest>
bool any_nan(T x, Rest... rest) {
  return std::isnan(x) || any_nan(rest...);
}
template <class T>
bool all_finite(T x) {
  return std::isfinite(x);
}
template <class T, class... Rest>
bool all_finite(T x, Rest... rest) {
  return std::isfinite(x) && all_finite(rest...);
}

// The status of a real result r of the real arguments args under `rule`. A function
// with both poles and overflows passes pole = true at its poles.
template <class T, class... Args>
int32_t classify(uint32_t rule, T r, bool pole, Args... args) {
  if (std::isnan(r)) {
    return ((rule & kDomain) && !any_nan(args...)) ? TESS_STATUS_DOMAIN : TESS_STATUS_OK;
  }
  if (!all_finite(args...)) return TESS_STATUS_OK;
  if (std::isinf(r)) {
    if ((rule & kPole) && (pole || !(rule & kOverflow))) return TESS_STATUS_SINGULARITY;
    if (rule & kOverflow) return TESS_STATUS_OVERFLOW;
    return TESS_STATUS_OK;
  }
  if ((rule & kUnderflow) && std::fabs(r) < std::numeric_limits<T>::min()) {
    return TESS_STATUS_UNDERFLOW;
  }
  if ((rule & kUnderflowToZero) && r == 0) return TESS_STATUS_UNDERFLOW;
  return TESS_STATUS_OK;
}

// Complex results report only overflow: a part of the result is infinite while every
// part of the arguments is finite.
template <class R, class... Args>
int32_t complex_overflow(std::complex<R> r, Args... args) {
  const bool finite_args = (... && (std::isfinite(args.real()) && std::isfinite(args.imag())));
  if (finite_args && (std::isinf(r.real()) || std::isinf(r.imag()))) {
    return TESS_STATUS_OVERFLOW;
  }
  return TESS_STATUS_OK;
}

}  // namespace zorn::tess
