// Complex products and quotients of one element in a register of two doubles (real
// part in lane 0), for the pair loop (pair_loop.h). Each returns true where the scalar
// form must take the element over.
//
// Double precision product: the plain formula p - q, p = (xr yr, xr yi),
// q = (xi yi, -xi yr). Each part's error is at most half an ulp of p, of q and of the
// part, so where no product's exponent exceeds that of the larger part M, each part is
// within 1.5 ulp of M; elsewhere (cancellation beside a small other part) and beyond
// the range the scalar form's exact products take over.
// Single precision: the products of single parts are exact in double, so the formulas
// in double round each part about once before its rounding to single; the scalar
// form takes non-finite parts, overflows and division by zero. (A double precision
// quotient from double-double x conj(y) and |y|^2 measured slower than the scalar
// form's extended precision, so z Div keeps the scalar form.)
#pragma once

#include <emmintrin.h>

#include <cfloat>


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

// Two elements: single parts one register each as above; double parts with the real
// parts of both elements in one register and the imaginary parts in another, the same
// formula and trust test in half the instructions per element. Returns bit l set where
// element l needs the scalar form.
template <class R, bool kConj>
inline int product_pairs(__m128d x0, __m128d x1, __m128d y0, __m128d y1, __m128d& r0,
                         __m128d& r1) {
  if constexpr (sizeof(R) == sizeof(float)) {
    return int{product_pair<R, kConj>(x0, y0, r0)} | int{product_pair<R, kConj>(x1, y1, r1)} << 1;
  } else {
    const __m128d xr = _mm_unpacklo_pd(x0, x1), xi = _mm_unpackhi_pd(x0, x1);
    const __m128d yr = _mm_unpacklo_pd(y0, y1);
    __m128d yi = _mm_unpackhi_pd(y0, y1);
    if constexpr (kConj) yi = _mm_xor_pd(yi, _mm_set1_pd(-0.0));
    const __m128d p_re = _mm_mul_pd(xr, yr), q_re = _mm_mul_pd(xi, yi);
    const __m128d p_im = _mm_mul_pd(xr, yi), q_im = _mm_mul_pd(xi, yr);
    const __m128d re = _mm_sub_pd(p_re, q_re), im = _mm_add_pd(p_im, q_im);
    r0 = _mm_unpacklo_pd(re, im);
    r1 = _mm_unpackhi_pd(re, im);
    // Both parts finite (false for NaN: any non-finite argument part leaves one), and
    // the largest product's exponent at most the larger part's (exponent fields order
    // as the magnitudes do).
    const __m128d a_re = magnitude(re), a_im = magnitude(im), limit = _mm_set1_pd(DBL_MAX);
    const __m128d products = _mm_max_pd(_mm_max_pd(magnitude(p_re), magnitude(q_re)),
                                        _mm_max_pd(magnitude(p_im), magnitude(q_im)));
    const __m128d ok = _mm_and_pd(
        _mm_and_pd(_mm_cmple_pd(a_re, limit), _mm_cmple_pd(a_im, limit)),
        _mm_cmple_pd(exponent_field(products), exponent_field(_mm_max_pd(a_re, a_im))));
    return _mm_movemask_pd(ok) ^ 3;
  }
}

// x / y = x conj(y) / |y|^2 for single parts (in double: the products are exact and
// each of the sums and the quotient rounds once).
inline bool quotient_pair(__m128d x, __m128d y, __m128d& r) {
  const __m128d yr = _mm_unpacklo_pd(y, y);
  const __m128d cross = _mm_xor_pd(_mm_unpackhi_pd(y, y), _mm_set_pd(-0.0, 0.0));  // (yi, -yi)
  const __m128d num = _mm_add_pd(_mm_mul_pd(x, yr), _mm_mul_pd(swap_parts(x), cross));
  const __m128d y2 = _mm_mul_pd(y, y);
  const __m128d den = _mm_add_pd(y2, swap_parts(y2));
  r = _mm_div_pd(num, den);
  const __m128d ok = _mm_and_pd(_mm_and_pd(within_single(x), within_single(y)),
                                _mm_and_pd(within_single(r), _mm_cmpgt_pd(den, _mm_setzero_pd())));
  return not_both(ok);
}
inline int quotient_pairs(__m128d x0, __m128d x1, __m128d y0, __m128d y1, __m128d& r0,
                          __m128d& r1) {
  return int{quotient_pair(x0, y0, r0)} | int{quotient_pair(x1, y1, r1)} << 1;
}

}  // namespace zorn::tess::cx
