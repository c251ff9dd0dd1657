// Complex products and quotients of one element in a register of two doubles (real
// part in lane 0), for the pair loop (pair_loop.h). Each returns true where the scalar
// form must take the element over.
//
// Double precision product: the plain formula p - q, p = (xr yr, xr yi),
// q = (xi yi, -xi yr). Each part's error is at most half an ulp of p, of q and of the
// part, so where no product's exponent exceeds that of the larger part M, each part is
// within 1.5 ulp of M; elsewhere (cancellation beside a small other part) and beyond
// the range the scalar form's exact products take over.
// Double precision quotient: x conj(y) and |y|^2 from exact products as double-double,
// their quotient by the reciprocal corrected by its remainder, for parts within 2^+-450 (so that no
// product, square or quotient leaves the range); the scalar form takes the rest.
// Single precision: the products of single parts are exact in double, so the formulas
// in double round each part about once before its rounding to single; the scalar
// form takes non-finite parts, overflows and division by zero.
#pragma once

#include <emmintrin.h>

#include <cfloat>

#include "tess_kernels/frame/simd_double.h"
#include "tess_kernels/frame/two_sum_double.h"

namespace zorn::tess::cx {

inline __m128d swap_parts(__m128d z) { return _mm_shuffle_pd(z, z, 1); }
inline __m128d magnitude(__m128d v) { return _mm_andnot_pd(_mm_set1_pd(-0.0), v); }
inline __m128d exponent_field(__m128d v) {
  return _mm_and_pd(v, _mm_castsi128_pd(_mm_set1_epi64x(0x7FF0000000000000)));
}
inline bool not_both(__m128d mask) { return _mm_movemask_pd(mask) != 3; }
// Both parts of a single precision result finite in single (false for NaN).
inline __m128d within_single(__m128d r) { return _mm_cmple_pd(magnitude(r), _mm_set1_pd(FLT_MAX)); }

// x y, or x conj(y) with kConj.
template <class R, bool kConj>
inline bool product_pair(__m128d x, __m128d y, __m128d& r) {
  if constexpr (kConj) y = _mm_xor_pd(y, _mm_set_pd(-0.0, 0.0));
  const __m128d p = _mm_mul_pd(_mm_unpacklo_pd(x, x), y);                // (xr yr, xr yi)
  const __m128d q = _mm_mul_pd(_mm_unpackhi_pd(x, x), swap_parts(y));    // (xi yi, xi yr)
  r = _mm_add_pd(p, _mm_xor_pd(q, _mm_set_pd(0.0, -0.0)));
  if constexpr (sizeof(R) == sizeof(float)) {
    return not_both(within_single(r));
  } else {
    const __m128d a = magnitude(r);
    const __m128d m = _mm_max_pd(a, swap_parts(a));  // a NaN part leaves one lane NaN
    const __m128d e = exponent_field(m);
    const __m128d ok = _mm_and_pd(
        _mm_and_pd(_mm_cmple_pd(exponent_field(p), e), _mm_cmple_pd(exponent_field(q), e)),
        _mm_cmple_pd(m, _mm_set1_pd(DBL_MAX)));
    return not_both(ok);
  }
}

// Veltkamp's split into 26 + 27 bits, and Dekker's product of split factors.
struct Split {
  __m128d hi, lo;
};
inline Split split(__m128d a) {
  const __m128d c = _mm_mul_pd(_mm_set1_pd(134217729.0), a);
  const __m128d hi = _mm_sub_pd(c, _mm_sub_pd(c, a));
  return {hi, _mm_sub_pd(a, hi)};
}
inline TwoSum split_product(__m128d a, Split sa, __m128d b, Split sb) {
  using simd::F64x2;
  const F64x2 p{_mm_mul_pd(a, b)};
  const F64x2 ah{sa.hi}, al{sa.lo}, bh{sb.hi}, bl{sb.lo};
  return {p, ((ah * bh - p) + ah * bl + al * bh) + al * bl};
}

// x / y = x conj(y) / |y|^2.
template <class R>
inline bool quotient_pair(__m128d x, __m128d y, __m128d& r) {
  const __m128d yr = _mm_unpacklo_pd(y, y);
  const __m128d cross = _mm_xor_pd(_mm_unpackhi_pd(y, y), _mm_set_pd(-0.0, 0.0));  // (yi, -yi)
  if constexpr (sizeof(R) == sizeof(float)) {
    const __m128d num = _mm_add_pd(_mm_mul_pd(x, yr), _mm_mul_pd(swap_parts(x), cross));
    const __m128d y2 = _mm_mul_pd(y, y);
    const __m128d den = _mm_add_pd(y2, swap_parts(y2));
    r = _mm_div_pd(num, den);
    const __m128d ok = _mm_and_pd(_mm_and_pd(within_single(x), within_single(y)),
                                  _mm_and_pd(within_single(r), _mm_cmpgt_pd(den, _mm_setzero_pd())));
    return not_both(ok);
  } else {
    using simd::F64x2;
    const __m128d ax = magnitude(x), ay = magnitude(y);
    const __m128d mx = _mm_max_pd(ax, swap_parts(ax)), my = _mm_max_pd(ay, swap_parts(ay));
    const __m128d high = _mm_set1_pd(0x1p450), low = _mm_set1_pd(0x1p-450);
    const __m128d ok = _mm_and_pd(
        _mm_and_pd(_mm_cmple_pd(my, high), _mm_cmpge_pd(my, low)),
        _mm_and_pd(_mm_cmple_pd(mx, high),
                   _mm_or_pd(_mm_cmpge_pd(mx, low), _mm_cmpeq_pd(mx, _mm_setzero_pd()))));
    if (not_both(ok)) return true;
    // x conj(y) = (xr yr + xi yi, xi yr - xr yi) as (xr, xi) yr + (xi, xr) (yi, -yi), and
    // |y|^2, by Dekker's products on one Veltkamp split of each of x and y (the split
    // of -v is that of v negated).
    const Split sx = split(x), sy = split(y);
    const __m128d negate_1 = _mm_set_pd(-0.0, 0.0);
    const Split syr = {_mm_unpacklo_pd(sy.hi, sy.hi), _mm_unpacklo_pd(sy.lo, sy.lo)};
    const Split sc = {_mm_xor_pd(_mm_unpackhi_pd(sy.hi, sy.hi), negate_1),
                      _mm_xor_pd(_mm_unpackhi_pd(sy.lo, sy.lo), negate_1)};
    const Split sxs = {swap_parts(sx.hi), swap_parts(sx.lo)};
    const TwoSum p = split_product(x, sx, yr, syr);
    const TwoSum q = split_product(swap_parts(x), sxs, cross, sc);
    const TwoSum n = two_sum(p.sum, q.sum);
    const F64x2 n_lo = n.err + (p.err + q.err);
    const TwoSum y2 = split_product(y, sy, y, sy);
    const TwoSum d = two_sum(y2.sum, F64x2{swap_parts(y2.sum.v)});
    const F64x2 d_lo = d.err + (y2.err + F64x2{swap_parts(y2.err.v)});
    // One division: the quotient by the reciprocal is within an ulp or two, and its
    // remainder, exact by Dekker's product, corrects it.
    const F64x2 inverse = F64x2::splat(1.0) / d.sum;
    const F64x2 quotient = n.sum * inverse;
    const TwoSum qd = split_product(quotient.v, split(quotient.v), d.sum.v, split(d.sum.v));
    const F64x2 remainder = ((n.sum - qd.sum) - qd.err) + n_lo - quotient * d_lo;
    r = (quotient + remainder * inverse).v;
    return false;
  }
}

}  // namespace zorn::tess::cx
