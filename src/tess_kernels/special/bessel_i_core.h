// Two-lane core of the modified Bessel kernels I0 and I1 (both precisions):
// I_nu(a) = e^a a^nu g_nu(a) for a = |x|, g_nu = e^-a I_nu / a^nu from rows of the erfcx layout
// (erf_core::erfcx_rows, tables from tools/tess_bessel_i_tables), e^a from the
// exponential's reduction; the products of the heads are exact (Dekker), so that
// the double result is rounded once. Up to a = 700 the scale 2^(k div 64) of e^a stays
// normal (a / ln 2 < 1010) and the result finite.
#pragma once

#include "tess_kernels/special/erf_core.h"

namespace zorn::tess::bessel_i_core {

#include "tess_kernels/special/data/bessel_i_tables.inc"

using erf_core::F64x2;
using erf_core::splat;

constexpr double kFastLimit = 700.0;

// e^a g(a) = 2^m (hi + lo) for a = min(|x|, 700) (NaN lanes too, which leave the fast
// path), the heads' product exact; the scale 2^m is returned apart.
template <int kWidth>
inline erf_core::Pair exp_times_rows(F64x2 a, const double (*rows)[kWidth], F64x2& scale) {
  const erf_core::ScaledPair e = erf_core::exp_pair(a, splat(0.0));
  const erf_core::Pair g = erf_core::erfcx_rows(a, rows);
  const TwoSum head = two_product(e.hi, g.hi);
  scale = erf_core::scale_of(e);
  return {head.sum, head.err + (e.hi * g.lo + e.lo * g.hi)};
}

inline F64x2 fast_range(F64x2 x) { return simd::min(simd::abs(x), splat(kFastLimit)); }

// I0 is even; I1 = a e^a g_1(a) is odd, its rows holding g_1 = e^-a I1(a) / a, so that
// the final product by a keeps the relative accuracy of the smallest a (-0 keeps its
// sign).
template <int kWidth>
inline F64x2 i0(F64x2 x, const double (*rows)[kWidth]) {
  F64x2 scale;
  const erf_core::Pair p = exp_times_rows(fast_range(x), rows, scale);
  return (p.hi + p.lo) * scale;
}
template <int kWidth>
inline F64x2 i1(F64x2 x, const double (*rows)[kWidth]) {
  const F64x2 a = fast_range(x);
  F64x2 scale;
  const erf_core::Pair p = exp_times_rows(a, rows, scale);
  const TwoSum q = two_product(a, p.hi);
  return ((q.sum + (q.err + a * p.lo)) * scale) | (x & splat(-0.0));
}

}  // namespace zorn::tess::bessel_i_core
