// Four-lane float cores of the single precision Erf, Erfc and CdfNorm, all in float,
// from values on the grid r = k/128 (tables from tools/tess_erf_tables --float).
//
// erfc(a) for 0 <= a <= 9 from its value at the nearest grid point r = k/128 (|d| =
// |a - r| <= 1/256, d exact):
//   erfc(a) = erfc(r) e^(-u) erfcx(a)/erfcx(r),  u = a^2 - r^2 = d (a + r) <= 0.0704,
// the exponential by its degree-5 series and the erfcx ratio by its third-order Taylor
// polynomial in d, whose coefficients follow from erfcx' = 2 a erfcx - 2/sqrt(pi):
// b1 = erfcx'/erfcx and b2 = 1 + r b1 from the row, b3 = 2/3 (b1 + r b2). The ratio's
// product form keeps the relative error small in the tail, where erfc falls by e^(-2 r d)
// across a step. The row holds erfc(r) as head and remainder, so that erfc = hi + lo + hm
// with hm = hi (ratio - 1) at most 0.073 hi; 2 - erfc takes hi exactly
// (Fast2Sum), and the result is rounded once from parts good to about 2^-27.
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

// The grid index k = round(128 a) of 0 <= a <= 9 (rows 0 .. 1152).
inline I32x4 row_of(F32x4 a) { return simd::truncate_to_int(a * splat(128.0f) + splat(0.5f)); }
inline F32x4 grid_point(I32x4 k) { return simd::to_float(k) * splat(0x1p-7f); }

inline Parts erfc_parts(F32x4 a, I32x4 k, F32x4 d) {
  F32x4 c[4];
  simd::gather_rows(kErfcGridFloat, k, c);
  const F32x4 r = grid_point(k);
  const F32x4 u = d * (a + r);
  const F32x4 em1 =
      u * (splat(-1.0f) +
           u * (splat(0.5f) +
                u * (splat(-1.0f / 6) + u * (splat(1.0f / 24) + u * splat(-1.0f / 120)))));
  const F32x4 b3 = (c[2] + r * c[3]) * splat(2.0f / 3);
  const F32x4 gm1 = d * (c[2] + d * (c[3] + d * b3));
  return {c[0], c[1], c[0] * ((em1 + gm1) + em1 * gm1)};
}

inline Parts erfc_parts(F32x4 a) {
  const I32x4 k = row_of(a);
  return erfc_parts(a, k, a - grid_point(k));
}

// c - erfc for c >= hi: c - hi and its rounding error exactly, then the rest.
inline F32x4 subtract_from(float c, const Parts& p) {
  const F32x4 s = splat(c) - p.hi;
  const F32x4 e = (splat(c) - s) - p.hi;
  return s + ((e - p.lo) - p.hm);
}
inline F32x4 sum(const Parts& p) { return p.hi + (p.lo + p.hm); }

// erf(a) = a + a Q(a^2) below 1/8 (Q <= 0.13, its constant term as head and remainder,
// so that the rounding of a Q is damped), above from the grid's erf(r) = hi + lo and the
// Taylor step d (s0 - r s0 d + s2 d^2), which is at most 1/31 of the result there;
// a = |x| at least 2^-120 (smaller ones go to the callout), at most 4 (erf rounds to 1
// from 3.92 on).
inline F32x4 erf(F32x4 x) {
  const F32x4 a = simd::min(simd::abs(x), splat(4.0f));
  const F32x4 s = a * a;
  const float* q = kErfRatioFloat;
  const F32x4 series =
      a + (a * splat(q[0]) +
           a * (splat(q[1]) + s * (splat(q[2]) + s * (splat(q[3]) + s * splat(q[4])))));
  const I32x4 k = row_of(a);
  F32x4 c[4];
  simd::gather_rows(kErfGridFloat, k, c);
  const F32x4 r = grid_point(k), d = a - r;
  const F32x4 step = d * (c[2] + d * (splat(0.0f) - r * c[2] + d * c[3]));
  const F32x4 y = simd::select(simd::less(a, splat(0.125f)), series, c[0] + (c[1] + step));
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
  const I32x4 k = row_of(a);
  const F32x4 r = grid_point(k);
  const F32x4 d = simd::to_float(a0 - simd::low_to_double(r), a1 - simd::high_to_double(r));
  const Parts p = erfc_parts(a, k, d);
  return splat(0.5f) * simd::select(simd::less(splat(0.0f), x), subtract_from(2.0f, p), sum(p));
}

}  // namespace zorn::tess::erf_grid
