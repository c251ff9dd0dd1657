// The special-lane test and argument reductions that the single precision logarithms
// share.
#pragma once

#include <cstdint>

#include "tess_kernels/exp_log/double_cores_single.h"
#include "tess_kernels/frame/simd.h"

namespace zorn::tess {

// Lanes outside the positive normal floats (bits 0x00800000 to 0x7F7FFFFF): zeros,
// subnormals, negatives, infinities and NaNs.
inline int positive_normal_complement(simd::F32x4 x) {
  const simd::I32x4 b = simd::bits(x);
  return simd::lane_mask((simd::I32x4::splat(0x00800000) > b) |
                         (b > simd::I32x4::splat(0x7F7FFFFF)));
}

constexpr int32_t kTwoThirdsBits = 0x3F2AAAAB;

// x = 2^e m with m in [2/3, 4/3) for a positive normal x, from the bits alone: e as
// integers and m - 1 exactly.
inline void reduce_to_two_thirds(simd::F32x4 x, simd::I32x4& e, simd::F32x4& m_minus_1) {
  using simd::I32x4;
  const I32x4 u = simd::bits(x) - I32x4::splat(kTwoThirdsBits);
  e = u >> 23;
  const simd::F32x4 m =
      simd::from_bits((u & I32x4::splat(0x007FFFFF)) + I32x4::splat(kTwoThirdsBits));
  m_minus_1 = m - simd::F32x4::splat(1.0f);
}

// log_base x = e log_base 2 + log_base c + ln(1 + r) / ln base for positive normal x (see
// log_split), with Column the table column of log_base c; in double precision, rounded
// once per lane.
template <int Column>
ZORN_FAST_INLINE simd::F32x4 log_by_points(simd::F32x4 x, double log_of_two,
                                           double inverse_ln_base) {
  using simd::F64x2;
  const LogSplit s = log_split(x);
  uint32_t j[4];
  simd::index_lanes(s.j, j);
  const auto half = [&](F64x2 m, F64x2 e, uint32_t j0, uint32_t j1) {
    const auto& table = log_single_data::kLogPointsSingle;
    const F64x2 r = m * simd::gather_column(table, 0, j0, j1) - F64x2::splat(1.0);
    return (e * F64x2::splat(log_of_two) + simd::gather_column(table, Column, j0, j1)) +
           ln_one_plus_small(r) * F64x2::splat(inverse_ln_base);
  };
  return simd::to_float(half(simd::low_to_double(s.m), simd::low_to_double(s.e), j[0], j[1]),
                        half(simd::high_to_double(s.m), simd::high_to_double(s.e), j[2], j[3]));
}

// Whether a lane lies in [0.5, 2), where log x may be small and cancel; the rest of the
// positive normal floats have |log_base x| >= log_base 2.
inline bool any_lane_near_one(simd::F32x4 x) {
  const simd::I32x4 b = simd::bits(x);
  return simd::lane_mask((b > simd::I32x4::splat(0x3EFFFFFF)) &
                         (simd::I32x4::splat(0x40000000) > b)) != 0;
}

// The constants of log_base in single precision: log_base 2 as a hi part, a multiple of
// 2^-12, and a lo part; 1/ln base, -1/(2 ln base) and 1/(3 ln base) for log_base(1 + r).
struct FloatLogBase {
  float two_hi, two_lo, k1, k2, k3;
};

// log_base x in single precision for positive normal x outside [0.5, 2). x = 2^e m with
// c = 1 + j/128 the nearest point to m and r = (m - c)/c, |r| <= 1/256, from the exact
// integer difference of the mantissas. e log_base(2)_hi + log_base(c)_hi is exact (both
// multiples of 2^-12, below 2^7); the lo parts and log_base(1 + r) to degree 3 add at most
// 0.016, so their rounding errors stay near 0.03 ulp of a result of at least log_base 2.
// Table rows {2^-23/c, log_base(c)_hi, log_base(c)_lo, 0}.
ZORN_FAST_INLINE simd::F32x4 log_by_float_points(simd::F32x4 x, const float (&table)[129][4],
                                                FloatLogBase k) {
  using simd::F32x4;
  using simd::I32x4;
  const I32x4 b = simd::bits(x);
  const I32x4 mantissa = b & I32x4::splat(0x007FFFFF);
  const I32x4 j = (mantissa + I32x4::splat(0x8000)) >> 16;
  const F32x4 e = simd::to_float((b >> 23) - I32x4::splat(127));
  F32x4 row[4];
  simd::gather_rows(table, j, row);
  const F32x4 r = simd::to_float(mantissa - (j << 16)) * row[0];
  const F32x4 t =
      r * (F32x4::splat(k.k1) + r * (F32x4::splat(k.k2) + r * F32x4::splat(k.k3)));
  return (e * F32x4::splat(k.two_hi) + row[1]) +
         (row[2] + (e * F32x4::splat(k.two_lo) + t));
}

}  // namespace zorn::tess
