// Conversions of real values to the 32-bit counts the integer generators return.
#pragma once

#include <cstdint>

namespace zorn::distributions {

// floor(u) as its truncation, minus 1 when the truncation lies above u; u must lie in
// the range of int32_t (a uniform on [a, b) of 32-bit bounds does).
inline int32_t floor_to_int32(double u) {
  const int32_t t = static_cast<int32_t>(u);
  return static_cast<double>(t) > u ? t - 1 : t;
}

// A count from a value y meant to be non-negative: truncated toward zero, 0 for y < 0
// (and for NaN), INT32_MAX for y at or above 2^31 (and for +inf), so that no input can
// reach an undefined conversion.
template <class T>
int32_t count_from(T y) {
  if (!(y > T(0))) return 0;
  if (!(y < T(2147483648.0))) return INT32_MAX;
  return static_cast<int32_t>(y);
}

}  // namespace zorn::distributions
