// Polynomials of two double lanes with coefficients from a constant array.
#pragma once

#include <cstddef>

#include "tess_kernels/frame/simd_double.h"

namespace zorn::tess {

// c(0) + c(1) z + ... + c(N-1) z^(N-1) by Estrin's scheme: pairs c(2i) + c(2i+1) z, then
// pairs of those with z^2, z^4, ...: a dependency chain of about log2 N steps instead of N.
// c(i) gives the coefficients as vectors (constants or table columns) of z's type (two
// double lanes, or four float lanes).
template <size_t N, class Vector, class Coefficient>
[[gnu::always_inline]] inline Vector estrin_of(Vector z, Coefficient&& c) {
  Vector terms[(N + 1) / 2];
  for (size_t i = 0; i < N / 2; ++i) terms[i] = c(2 * i) + z * c(2 * i + 1);
  if (N % 2 != 0) terms[N / 2] = c(N - 1);
  Vector power = z * z;
  for (size_t count = (N + 1) / 2; count > 1; count = (count + 1) / 2, power = power * power) {
    for (size_t i = 0; i < count / 2; ++i) terms[i] = terms[2 * i] + power * terms[2 * i + 1];
    if (count % 2 != 0) terms[count / 2] = terms[count - 1];
  }
  return terms[0];
}

template <size_t N>
[[gnu::always_inline]] inline simd::F64x2 estrin(simd::F64x2 z, const double (&c)[N]) {
  return estrin_of<N>(z, [&](size_t i) { return simd::F64x2::splat(c[i]); });
}

}  // namespace zorn::tess
