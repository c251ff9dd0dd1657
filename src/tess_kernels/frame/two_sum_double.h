// Error-free sums and products of two lanes of doubles, for kernels that carry a value and its
// rounding error.
#pragma once

#include "tess_kernels/frame/simd_double.h"

namespace zorn::tess {

struct TwoSum {
  simd::F64x2 sum, err;
};
// Knuth's two-sum: sum + err = a + b exactly, whatever their magnitudes.
inline TwoSum two_sum(simd::F64x2 a, simd::F64x2 b) {
  const simd::F64x2 sum = a + b;
  const simd::F64x2 back = sum - a;
  return {sum, (a - (sum - back)) + (b - back)};
}

// a - b as a two-sum, without negating b first: difference + err = a - b exactly.
inline TwoSum two_difference(simd::F64x2 a, simd::F64x2 b) {
  const simd::F64x2 difference = a - b;
  const simd::F64x2 back = difference - a;
  return {difference, (a - (difference - back)) - (b + back)};
}

// Dekker's fast two-sum: sum + err = a + b exactly when b is 0 or the exponent of a is
// at least that of b (or the sum is exact anyway).
inline TwoSum fast_two_sum(simd::F64x2 a, simd::F64x2 b) {
  const simd::F64x2 sum = a + b;
  return {sum, b - (sum - a)};
}

// Dekker's exact product of two lanes: a b = sum + err (Veltkamp split with 2^27 + 1),
// when no product overflows or underflows.
inline TwoSum two_product(simd::F64x2 a, simd::F64x2 b) {
  using simd::F64x2;
  const F64x2 c = F64x2::splat(134217729.0);
  const F64x2 ca = c * a, cb = c * b;
  const F64x2 a_hi = ca - (ca - a), b_hi = cb - (cb - b);
  const F64x2 a_lo = a - a_hi, b_lo = b - b_hi;
  const F64x2 p = a * b;
  return {p, ((a_hi * b_hi - p) + a_hi * b_lo + a_lo * b_hi) + a_lo * b_lo};
}

}  // namespace zorn::tess
