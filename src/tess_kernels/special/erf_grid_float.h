// Four-lane cores of the single precision Erf, Erfc and CdfNorm from values on the grid
// r = k/128 (tables from tools/tess_erf_tables --float): Erfc and CdfNorm in float, Erf
// in double on two pairs of lanes.
//
// erfc(a) for 0 <= a <= 9 from its value at the nearest grid point r = k/128 (|d| =
// |a - r| <= 1/256, d exact) and its logarithm's Taylor polynomial about r:
//   erfc(a) = erfc(r) e^L,  L = -q' d - c2 d^2,
// q = (2/sqrt(pi)) / erfcx(r) being ln erfc's slope, q' = q plus the economised cubic
// term (tools/tess_erf_tables), so that L is good to 2^-29 relative to erfc; |L| <= 0.071,
// and e^L - 1 by its degree-5 series. The product form keeps the relative error small in
// the tail, where erfc falls by e^(-2 r d) across a step. The row holds erfc(r) as head
// and remainder, so that erfc = hi + lo + hm with hm = hi (e^L - 1) at most 0.073 hi;
// 2 - erfc takes hi exactly (Fast2Sum), and the result is rounded once from parts good
// to about 2^-27.
#pragma once

#include "tess_kernels/frame/simd.h"

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
  const F32x4 em1 =
      l * (splat(1.0f) +
           l * (splat(0.5f) +
                l * (splat(1.0f / 6) + l * (splat(1.0f / 24) + l * splat(1.0f / 120)))));
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

// erf(a) for 0 <= a <= 4 in double, from the row {erf(r), s0 = (2/sqrt(pi)) e^(-r^2)} at
// the nearest r = k/128 (d = a - r exact, |d| <= 1/256):
//   erf(a) = erf(r) + s0 d (1 - r d + (2 r^2 - 1)/3 d^2),
// whose next term, s0 r (3 - 2 r^2)/6 d^4, stays below 2^-34 of erf: the float result is
// rounded once from a value good to about 2^-33, small arguments included (r = 0 is the
// series 2/sqrt(pi) (d - d^3/3)).
inline F64x2 erf_in_double(F64x2 a) {
  const F64x2 shifter = F64x2::splat(0x1p45);  // its ulp is 1/128: z's low bits hold k
  const F64x2 z = a + shifter;
  const F64x2 r = z - shifter;
  const F64x2 d = a - r;
  const __m128i k = simd::bits(z).v;
  const F64x2 row0 = F64x2::load_aligned(kErfGridDouble[_mm_extract_epi16(k, 0)]);
  const F64x2 row1 = F64x2::load_aligned(kErfGridDouble[_mm_extract_epi16(k, 4)]);
  const F64x2 s0d = simd::lane1s(row0, row1) * d;
  const F64x2 p = d * ((r * r * F64x2::splat(2.0 / 3) - F64x2::splat(1.0 / 3)) * d - r);
  return simd::lane0s(row0, row1) + (s0d + s0d * p);
}

// erf rounds to 1 in float from 3.92 on.
inline F32x4 erf(F32x4 x) {
  const F32x4 a = simd::min(simd::abs(x), splat(4.0f));
  const F32x4 y = simd::to_float(erf_in_double(simd::low_to_double(a)),
                                 erf_in_double(simd::high_to_double(a)));
  return simd::or_sign(y, x);
}

inline F32x4 erfc(F32x4 x) {
  const Parts p = erfc_parts(simd::min(simd::abs(x), splat(9.0f)));
  return simd::select(simd::less(x, splat(0.0f)), subtract_from(2.0f, p), sum(p));
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
