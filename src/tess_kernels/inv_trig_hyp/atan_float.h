// The arctangent in single precision arithmetic on four lanes, and its quotient by pi.
//
// atan a = atan c + atan u, u = (a - c)/(1 + a c), with c = 0 below 2^-4 and otherwise
// a rounded to a float with 3 bits after the point (a clamped to 2^26, whose arctangent
// already rounds to that of infinity): a - c is exact, |u| <= 2^-4 and at most 2^-4 of
// the result, so the roundings of 1 + a c and of the quotient (about 1.5 ulp of u) move
// the result by less than 0.1 ulp. atan c comes from a generated table as a head and a
// remainder; the head and u are summed exactly (Fast2Sum, the head the larger or 0) and
// one rounding gives the result. NaN runs through the arithmetic, the
// table index is formed from a clamped copy of a that is never NaN.
#pragma once

#include <bit>
#include <cstdint>

#include "tess_kernels/exp_log/double_cores_single.h"
#include "tess_kernels/frame/simd.h"

namespace zorn::tess::atan_float {

namespace data {
#include "tess_kernels/inv_trig_hyp/data/float_tables.inc"
}  // namespace data

using simd::F32x4;
using simd::I32x4;

// The reduced argument and the table row of a >= 0 (NaN included).
struct Reduction {
  F32x4 u;      // (a - c)/(1 + a c)
  I32x4 row;    // row of c in the centre tables
};
ZORN_FAST_INLINE Reduction reduce(F32x4 a) {
  constexpr int kDropped = 23 - data::kAtanCentreBits;
  constexpr int32_t kRowBefore = (std::bit_cast<int32_t>(data::kAtanLowestCentre) >> kDropped) - 1;
  const F32x4 clamped = simd::min(F32x4::splat(data::kAtanHighestCentre), a);  // NaN stays
  const F32x4 lowest = F32x4::splat(data::kAtanLowestCentre);
  const I32x4 central = simd::bits(simd::less(lowest, clamped));  // not NaN
  const I32x4 rounded =
      simd::bits(simd::max(clamped, lowest)) + I32x4::splat(1 << (kDropped - 1));
  const F32x4 c = simd::from_bits(rounded & I32x4::splat(-(1 << kDropped)) & central);
  const I32x4 row = ((rounded >> kDropped) - I32x4::splat(kRowBefore)) & central;
  return {(clamped - c) / (F32x4::splat(1.0f) + clamped * c), row};
}

// atan u - u = u z P(z), z = u^2.
ZORN_FAST_INLINE F32x4 series_rest(F32x4 u) {
  const F32x4 z = u * u;
  const auto& p = data::kAtanPolynomialFloat;
  return (u * z) * (F32x4::splat(p[0]) + z * F32x4::splat(p[1]));
}

// head + small + (rest_head + rest_small) rounded once, head + small by Fast2Sum.
ZORN_FAST_INLINE F32x4 sum_rounded_once(F32x4 head, F32x4 small, F32x4 rest) {
  const F32x4 s = head + small;
  return s + (rest + ((head - s) + small));
}

ZORN_FAST_INLINE F32x4 atan(F32x4 a) {
  const Reduction r = reduce(a);
  F32x4 head, rest;
  simd::gather_pairs(data::kAtanCentresFloat, r.row, head, rest);
  return sum_rounded_once(head, r.u, rest + series_rest(r.u));
}

// atan(a)/pi: the table holds atan(c)/pi; u/pi as the exact product of u's top 12 bits
// with a 12-bit head of 1/pi plus small products, so that below 2^-4 (c = 0, u = a) the
// quotient by pi loses nothing to a rounded 1/pi.
ZORN_FAST_INLINE F32x4 atanpi(F32x4 a) {
  const Reduction r = reduce(a);
  F32x4 head, rest;
  simd::gather_pairs(data::kAtanpiCentresFloat, r.row, head, rest);
  const F32x4 u_head = simd::from_bits(simd::bits(r.u) & I32x4::splat(-4096));
  const F32x4 inverse_head = F32x4::splat(data::kInversePiHead12);
  const F32x4 inverse_rest = F32x4::splat(data::kInversePiRest);
  const F32x4 small = (r.u - u_head) * inverse_head +
                      (r.u * inverse_rest + series_rest(r.u) * (inverse_head + inverse_rest));
  return sum_rounded_once(head, u_head * inverse_head, rest + small);
}

// The lanes atanpi leaves to the callout: non-zero |x| below 2^-100, where its products
// would fall among the subnormals.
ZORN_FAST_INLINE int atanpi_tiny_lanes(F32x4 x) {
  const I32x4 b = simd::bits(simd::abs(x));
  return simd::lane_mask((b > I32x4::splat(0)) & (I32x4::splat(0x0D800000) > b));  // 2^-100
}

}  // namespace zorn::tess::atan_float
