// Error-free sums of two lanes of doubles, for kernels that carry a value and its
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

// Dekker's fast two-sum: sum + err = a + b exactly when b is 0 or the exponent of a is
// at least that of b (or the sum is exact anyway).
inline TwoSum fast_two_sum(simd::F64x2 a, simd::F64x2 b) {
  const simd::F64x2 sum = a + b;
  return {sum, b - (sum - a)};
}

}  // namespace zorn::tess
