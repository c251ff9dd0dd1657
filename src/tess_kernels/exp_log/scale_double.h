// Bit-level helpers of the double precision exponentials: powers of two built from
// exponent fields, and the final scaling of a result 2^s (hi + w) in the callouts,
// where the scale may overflow (s = 1024) or the result be subnormal. The exponential
// scales subnormal results by 2^60 and 2^-60, Exp2 and Exp10 by 2^100 and 2^-100.
#pragma once

#include <cstdint>
#include <cstring>

#include "tess_kernels/frame/simd_double.h"

namespace zorn::tess {

inline uint64_t bits_of_double(double x) {
  uint64_t b;
  std::memcpy(&b, &x, sizeof b);
  return b;
}
inline double double_with_bits(uint64_t b) {
  double x;
  std::memcpy(&x, &b, sizeof x);
  return x;
}
inline int biased_exponent(double x) { return static_cast<int>((bits_of_double(x) >> 52) & 0x7FF); }

// 2^e for a normal exponent, -1022 <= e <= 1023.
inline double exact_power_of_two(int64_t e) {
  return double_with_bits(static_cast<uint64_t>(e + 1023) << 52);
}

// 2^(k div 64) of two lanes whose low 18 bits hold k in two's complement (a shifter sum
// 1.5 * 2^52 + k, or any sum whose unit in the last place is 1/64 of the step of k
// div 64's unit), for -1022 <= k div 64 <= 1023: the bits of k div 64 move into the
// exponent field, the bias is added, and the bits above it are cut.
inline simd::F64x2 scale_from_shifted_integer(simd::I64x2 t_bits) {
  return simd::from_bits(((t_bits << 46) + simd::I64x2::splat(int64_t{1023} << 52)) &
                           simd::I64x2::splat(0x7FF0000000000000));
}

// v 2^(k div 64) with k in t_bits as for scale_from_shifted_integer, for a v and a product
// both normal: k div 64 is added to v's exponent field, which gives the product's bits
// exactly with three integer operations in place of the scale's three and a product.
inline simd::F64x2 scaled_by_shifted_integer(simd::F64x2 v, simd::I64x2 t_bits) {
  return simd::from_bits(simd::bits(v) + ((t_bits >> 6) << 52));
}

// y 2^s for a normal result, -1022 <= s <= 1024; 2^1024 itself overflows, so that scale
// is applied as two halves.
inline double scale_normal(double y, int64_t s) {
  if (s == 1024) {
    const double half = y * exact_power_of_two(1023);
    return half + half;
  }
  return y * exact_power_of_two(s);
}

// (hi + w) 2^s rounded once for a result below about 2^-1000, s >= -1076, hi >= |w|: the
// value is brought into the normal range by 2^(s + kUp) and back by 2^-kUp. A normal
// result scales back exactly from the sum rounded there (splitting it at the subnormal
// grid would round it twice, at 2^-1074 and then at its own ulp). When a subnormal keeps
// more than a few bits there (biased exponent above kUp - 10: results of 2^-1032 and
// more), the scaled hi is first split at the unit of the subnormal grid (2^(kUp - 1074) before
// the final factor) by the shifter 1.5 * 2^52 times that unit; the high part then
// scales exactly and the remainder, with w added unrounded, rounds once. Otherwise
// there are so few bits left that rounding hi + w first changes nothing measurable.
template <int kUp>
inline double scale_subnormal(double hi, double w, int64_t s) {
  static_assert(kUp >= 60 && kUp <= 100);
  const double back_factor = exact_power_of_two(-kUp);
  const double up = exact_power_of_two(s + kUp);
  const double scaled_hi = hi * up;
  const double scaled_w = w * up;
  const double scaled = scaled_hi + scaled_w;
  const int exponent = biased_exponent(scaled);
  if (exponent > kUp || exponent <= kUp - 10) return scaled * back_factor;
  const double grid_shifter = 1.5 * exact_power_of_two(52 + kUp - 1074);
  const double top = (scaled_hi + grid_shifter) - grid_shifter;
  const double rest = (scaled_hi - top) + scaled_w;
  return top * back_factor + rest * back_factor;
}

}  // namespace zorn::tess
