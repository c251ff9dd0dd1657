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

}  // namespace zorn::tess
