// Error-free sums and products of two lanes of doubles, for kernels that carry a value and its
// rounding error.
#pragma once

#include <cstdint>

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

// Veltkamp's split with 2^27 + 1: value = hi + lo exactly, each half 26 bits or fewer
// (no overflow below 2^996). Kept for an operand that enters several exact products.
struct Split {
  simd::F64x2 value, hi, lo;
};
inline Split veltkamp_split(simd::F64x2 v) {
  const simd::F64x2 t = simd::F64x2::splat(134217729.0) * v;
  const simd::F64x2 hi = t - (t - v);
  return {v, hi, v - hi};
}

// The same halves by cutting v's significand after its leading 26 bits: hi and lo keep
// v's sign, lo has at most 27 bits, and no multiplication can overflow (any finite v).
inline Split truncated_split(simd::F64x2 v) {
  const simd::F64x2 hi =
      simd::from_bits(simd::bits(v) & simd::I64x2::splat(-(int64_t{1} << 27)));
  return {v, hi, v - hi};
}

// Dekker's exact product of two lanes: a b = sum + err, when no product overflows or
// underflows.
inline TwoSum two_product(const Split& a, const Split& b) {
  const simd::F64x2 p = a.value * b.value;
  return {p, ((a.hi * b.hi - p) + a.hi * b.lo + a.lo * b.hi) + a.lo * b.lo};
}
inline TwoSum two_product(simd::F64x2 a, simd::F64x2 b) {
  return two_product(veltkamp_split(a), veltkamp_split(b));
}

}  // namespace zorn::tess
