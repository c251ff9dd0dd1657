// Four-lane cores of the single precision Erf, Erfc and CdfNorm from values on the grids
// r = k/256 (Erf) and k/128 (Erfc, CdfNorm) (tables from tools/tess_erf_tables --float),
// in float.
//
// erfc(a) for 0 <= a <= 9 from its value at the nearest grid point r = k/128 (|d| =
// |a - r| <= 1/256, d exact) and its logarithm's Taylor polynomial about r:
//   erfc(a) = erfc(r) e^L,  L = -q' d - c2 d^2,
// q = (2/sqrt(pi)) / erfcx(r) being ln erfc's slope, q' = q plus the economised cubic
// term (tools/tess_erf_tables), so that L is good to 2^-29 relative to erfc; |L| <= 0.071,
// and e^L - 1 = L + L^2 g(L), g a quadratic fitted on |L| <= 0.0712 (good to 2^-27.9 of
// e^L; the degree-5 series took two more operations a group, 5% of a loop bound by its
// count of operations more than by its chain). The product form keeps the relative error
// small in the tail, where erfc falls by e^(-2 r d) across a step. The row holds erfc(r) as head
// and remainder, so that erfc = hi + lo + hm with hm = hi (e^L - 1) at most 0.073 hi;
// CdfNorm's 2 - erfc takes hi exactly (Fast2Sum), so that it is rounded once from parts
// good to about 2^-27; Erfc's rounds the sum first (below).
#pragma once

#include "tess_kernels/frame/simd.h"
#include "tess_kernels/frame/splat_rows.h"

namespace zorn::tess::erf_grid {

#include "tess_kernels/special/data/erf_grid_tables.inc"

using simd::F32x4;
using simd::F64x2;
using simd::I32x4;

inline F32x4 splat(float v) { return F32x4::splat(v); }

// erfc = hi + lo + hm.
struct Parts {
  F32x4 hi, lo, hm;
};

// The grid point r = k/128 nearest 0 <= a <= 9 and its row k (0 .. 1152): a + 2^16,
// whose ulp is 1/128, holds k in its low mantissa bits.
struct GridPoint {
  F32x4 r;
  I32x4 k;
};
inline GridPoint grid_point(F32x4 a) {
  const F32x4 z = a + splat(0x1p16f);
  return {z - splat(0x1p16f), simd::bits(z)};
}

inline Parts erfc_parts(I32x4 k, F32x4 d) {
  F32x4 c[4];
  simd::gather_rows(kErfcGridFloat, k, c);
  const F32x4 l = d * (c[2] + d * c[3]);
  const F32x4 l2 = l * l;
  const float* e = kExpm1RatioFloat;
  const F32x4 em1 = l + l2 * ((splat(e[0]) + l * splat(e[1])) + l2 * splat(e[2]));
  return {c[0], c[1], c[0] * em1};
}

inline Parts erfc_parts(F32x4 a) {
  const GridPoint g = grid_point(a);
  return erfc_parts(g.k, a - g.r);
}

// c - erfc for c >= hi: c - hi and its rounding error exactly, then the rest.
inline F32x4 subtract_from(float c, const Parts& p) {
  const F32x4 s = splat(c) - p.hi;
  const F32x4 e = (splat(c) - s) - p.hi;
  return s + ((e - p.lo) - p.hm);
}
inline F32x4 sum(const Parts& p) { return p.hi + (p.lo + p.hm); }

// erf(a) for 1/32 <= a <= 4 from the row {erf(r) head, remainder, s0 = (2/sqrt(pi))
// e^(-r^2)} at the nearest r = k/256 (a + 2^15, whose ulp is 1/256, holds k in its low
// mantissa bits; d = a - r exact, |d| <= 1/512):
//   erf(a) = erf(r) + s0 (d + p d),  p = d (q d - r),
// q = (2 r^2 - 1)/3 taken as -1/3 (the rest, s0 (2 r^2/3) d^3, stays below 2^-28.8 of erf);
// the next term, s0 r (3 - 2 r^2)/6 d^4, below 2^-38. Three columns of the rows are read
// (the transpose's fourth is dropped) and the correction takes eight operations, where rows
// about k/128 needed q and nine. The correction is at most 1/15 of erf from a = 1/32 on, so
// that its few roundings (about 2.5 ulp of it) add at most 0.17 ulp to the final one (0.59
// ulp over every float in [1/32, 1/16), 0.55 above). Below 1/32 the Taylor series, a + a t
// with t = 2/sqrt(pi) - 1 - 2/(3 sqrt(pi)) a^2 + 1/(5 sqrt(pi)) a^4 (next term 2^-35 of
// erf): one rounding of a term at most 0.13 a. The sum is formed at a 2^48 so that a t
// stays normal, then scaled back exactly; subnormal a keeps scale 1, where a t rounds to a
// multiple of 2^-149 and the sum is exact. erf rounds to 1 in float from 3.92 on.
inline F32x4 erf_series(F32x4 a) {
  constexpr double kTwoOverRootPi = 1.1283791670955126;
  const F32x4 s = a * a;
  const F32x4 t = splat(static_cast<float>(kTwoOverRootPi - 1)) +
                  s * (splat(static_cast<float>(-kTwoOverRootPi / 3)) +
                       s * splat(static_cast<float>(kTwoOverRootPi / 10)));
  const F32x4 subnormal = simd::less(a, splat(0x1p-126f));
  const F32x4 b = a * simd::select(subnormal, splat(1.0f), splat(0x1p48f));
  return (b + b * t) * simd::select(subnormal, splat(1.0f), splat(0x1p-48f));
}
// The grid path's constants as rows read through an opaque pointer, memory operands: with
// the branch on small groups, GCC rebuilt them by a load and a broadcast in every pass.
constexpr float kErfGridConstants[] = {0x1p15f, -1.0f / 3};
constexpr simd::SplatRows<float, 2> kErfGridRows(kErfGridConstants);
inline F32x4 erf_grid_lanes(F32x4 a) {
  const simd::SplatReader<float, 2> rows(kErfGridRows);
  const F32x4 z = a + rows[0];
  const F32x4 r = z - rows[0];
  const F32x4 d = a - r;
  F32x4 c[4];
  simd::gather_rows(kErfGridFloat, simd::bits(z), c);
  const F32x4 p = d * (rows[1] * d - r);
  return c[0] + (c[1] + c[2] * (d + p * d));
}
// A group whose lanes are all below 1/32 (small deviations) takes the series alone, without
// the gather; a lane's bits do not depend on the path its group takes.
inline F32x4 erf(F32x4 x) {
  const F32x4 a = simd::min(simd::abs(x), splat(4.0f));
  const F32x4 small = simd::less(a, splat(0.03125f));
  const int small_lanes = simd::lane_mask(simd::bits(small));
  if (small_lanes == 0xf) [[unlikely]] return simd::or_sign(erf_series(a), x);
  F32x4 y = erf_grid_lanes(a);
  if (small_lanes != 0) y = simd::select(small, erf_series(a), y);
  return simd::or_sign(y, x);
}

// erfc(-a) = 2 - erfc(a) as (-erfc(a)) - (-2): x's sign bit negates the sum and, shifted
// right by one with sign fill, is the bit pattern of -2 (+0 for positive x). Rounding the
// sum first costs at most a quarter ulp of the result, which is at least 1 there.
inline F32x4 erfc(F32x4 x) {
  const F32x4 sign = simd::from_bits(simd::bits(x) & I32x4::splat(static_cast<int32_t>(0x80000000u)));
  const F32x4 e = sum(erfc_parts(simd::min(simd::abs(x), splat(9.0f))));
  return simd::from_bits(simd::bits(e) ^ simd::bits(sign)) - simd::from_bits(simd::bits(sign) >> 1);
}

// Phi(x) = erfc(t) / 2, t = -x / sqrt 2, formed in double: its rounding error in float
// would be magnified by 2 t^2 (up to 162). d = |t| - r is taken in double too.
inline F32x4 cdfnorm(F32x4 x) {
  const F64x2 scale = F64x2::splat(0.7071067811865476), limit = F64x2::splat(9.0);
  const F64x2 a0 = simd::min(simd::abs(simd::low_to_double(x)) * scale, limit);
  const F64x2 a1 = simd::min(simd::abs(simd::high_to_double(x)) * scale, limit);
  const F32x4 a = simd::to_float(a0, a1);
  const GridPoint g = grid_point(a);
  const F32x4 d = simd::to_float(a0 - simd::low_to_double(g.r), a1 - simd::high_to_double(g.r));
  const Parts p = erfc_parts(g.k, d);
  return splat(0.5f) * simd::select(simd::less(splat(0.0f), x), subtract_from(2.0f, p), sum(p));
}

}  // namespace zorn::tess::erf_grid
