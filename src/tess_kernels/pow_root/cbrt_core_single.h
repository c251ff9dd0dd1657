// Cube roots of four float lanes, all in float, for |x| in [2^-126, 2^126), by the table
// reduction of cube_root_rows.h: rows by i and 6 fraction bits, so |v| <= 2^-7, and P to
// v^2 (the next term below 2^-30 relative); the float terms err by about 2^-31 of the
// result before its one rounding.
#pragma once

#include <cstdint>

#include "tess_kernels/frame/simd.h"
#include "tess_kernels/pow_root/cube_root_rows.h"

namespace zorn::tess::cbrt_core {

template <RootPower P>
constexpr const float (*single_rows())[4] {
  return P == RootPower::kCbrt      ? tables::kCbrtRowsSingle
         : P == RootPower::kInvCbrt ? tables::kInvCbrtRowsSingle
                                    : tables::kPow2o3RowsSingle;
}

// cbrt x, x^(-1/3) (both with the sign of x) or x^(2/3) for |x| in [2^-126, 2^126).
template <RootPower P>
[[gnu::always_inline]] inline simd::F32x4 single_root_power(simd::F32x4 x) {
  using simd::F32x4;
  using simd::I32x4;
  const I32x4 a_bits = simd::bits(simd::abs(x));
  const RowIndex ix = row_index<23, 6, 42>(a_bits);
  F32x4 row[4];  // c, 1 / c, hi, lo
  simd::gather_rows(single_rows<P>(), ix.row, row);
  // k in the exponent field's place; a' = 2^(i - 1) m = a 2^(-3k).
  const I32x4 k_field = ix.k << 23;
  const F32x4 reduced = simd::from_bits(a_bits - ((k_field + k_field) + k_field));
  const F32x4 v = (reduced - row[0]) * row[1];
  const double* b = series(P);
  const F32x4 poly = (F32x4::splat(static_cast<float>(b[0])) +
                      v * F32x4::splat(static_cast<float>(b[1]))) +
                     (v * v) * F32x4::splat(static_cast<float>(b[2]));
  const F32x4 power = row[2] + (row[3] + (row[2] * v) * poly);
  const F32x4 y = simd::from_bits(scaled_by<P>(simd::bits(power), k_field));
  if constexpr (P == RootPower::kPow2o3) return y;
  return simd::or_sign(y, x);
}

// Lanes with |x| outside [2^-126, 2^126): zero, subnormal, the top two binades, inf, NaN.
// Moved by 2^31 - 2^23, the range is [INT32_MIN, -2^25) and everything else lies above.
[[gnu::always_inline]] inline int single_outside_range(simd::F32x4 x) {
  using simd::I32x4;
  const I32x4 moved = simd::bits(simd::abs(x)) + I32x4::splat(0x7F800000);
  return simd::lane_mask(moved > I32x4::splat(-(1 << 25) - 1));
}

}  // namespace zorn::tess::cbrt_core
