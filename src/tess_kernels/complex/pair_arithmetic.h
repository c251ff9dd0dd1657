// Complex products and quotients of one element in a register of two doubles (real
// part in lane 0), for the pair loop (pair_loop.h). Each returns true where the scalar
// form must take the element over.
//
// Double precision product: the plain formula p - q, p = (xr yr, xr yi),
// q = (xi yi, -xi yr). Each part's error is at most half an ulp of p, of q and of the
// part, so where no product's exponent exceeds that of the larger part M, each part is
// within 1.5 ulp of M; elsewhere (cancellation beside a small other part) exact
// products take over, in two-element form within 2^+-450 and in the scalar form beyond.
// Single precision: four elements a step take the same plain formula and trust test in
// single precision (product_quads); the others and the groups it declines take the
// formulas in double, where the products of single parts are exact, so that each part
// rounds about once before its rounding to single; the scalar form takes non-finite
// parts, overflows and division by zero.
// Double precision quotient: the plain formula corrected once by the residual x - q y,
// from exact products of halves (q cut to 26 bits) or, out of the hot loop, from
// Dekker's products.
#pragma once

#include <emmintrin.h>

#include <cfloat>

#include "tess_kernels/complex/pair_loop.h"
#include "tess_kernels/frame/two_sum_double.h"

namespace zorn::tess::cx {

inline __m128d swap_parts(__m128d z) { return _mm_shuffle_pd(z, z, 1); }
// The sign bits cleared by an AND with a 64-bit integer constant, which the compiler
// keeps as a memory operand (a -0.0 constant it rebuilds in every use).
inline __m128d magnitude(__m128d v) {
  return _mm_and_pd(v, _mm_castsi128_pd(_mm_set1_epi64x(0x7FFFFFFFFFFFFFFF)));
}
inline __m128 magnitude(__m128 v) {
  return _mm_and_ps(v, _mm_castsi128_ps(_mm_set1_epi32(0x7FFFFFFF)));
}
inline __m128d exponent_field(__m128d v) {
  return _mm_and_pd(v, _mm_castsi128_pd(_mm_set1_epi64x(0x7FF0000000000000)));
}
inline __m128 exponent_field(__m128 v) {
  return _mm_and_ps(v, _mm_castsi128_ps(_mm_set1_epi32(0x7F800000)));
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
    const __m128d yr = _mm_unpacklo_pd(y0, y1), yi = _mm_unpackhi_pd(y0, y1);
    const __m128d p_re = _mm_mul_pd(xr, yr), q_re = _mm_mul_pd(xi, yi);
    const __m128d p_im = _mm_mul_pd(xr, yi), q_im = _mm_mul_pd(xi, yr);
    // x conj(y) = (xr yr + xi yi) + i (xi yr - xr yi).
    const __m128d re = kConj ? _mm_add_pd(p_re, q_re) : _mm_sub_pd(p_re, q_re);
    const __m128d im = kConj ? _mm_sub_pd(q_im, p_im) : _mm_add_pd(p_im, q_im);
    r0 = _mm_unpacklo_pd(re, im);
    r1 = _mm_unpackhi_pd(re, im);
    // Exponent fields order as the magnitudes do and hold no NaN (a NaN or infinity
    // has the field of +inf). Trusted: the largest product's field at most the larger
    // part's, and that at most 2^1021's, below which no part of finite products rounds
    // to infinity (a non-finite product fails the first test).
    const __m128d products =
        _mm_max_pd(_mm_max_pd(exponent_field(p_re), exponent_field(q_re)),
                   _mm_max_pd(exponent_field(p_im), exponent_field(q_im)));
    const __m128d larger = _mm_min_pd(_mm_max_pd(exponent_field(re), exponent_field(im)),
                                      _mm_set1_pd(0x1p1021));
    const __m128d ok = _mm_cmple_pd(products, larger);
    return _mm_movemask_pd(ok) ^ 3;
  }
}

// The exponent field of v as a double (+inf for infinities and NaNs, 0 for zeros and
// subnormals), which orders as |v| does and is never NaN.
inline simd::F64x2 field(simd::F64x2 v) { return {exponent_field(v.v)}; }

// Bit l set where every part of element l of x and y lies in [lo, hi] (so none is zero,
// subnormal or non-finite), parts as in product_pairs.
inline int parts_within(simd::F64x2 a, simd::F64x2 b, simd::F64x2 c, simd::F64x2 d, double lo,
                        double hi) {
  using simd::F64x2;
  const F64x2 low = min(min(field(a), field(b)), min(field(c), field(d)));
  const F64x2 high = max(max(field(a), field(b)), max(field(c), field(d)));
  // Fields are never NaN, so that high <= hi is a compare with the bound as its memory
  // operand (not greater would put the bound in the destination register).
  return simd::lane_mask(simd::not_less(low, F64x2::splat(lo)) &
                         F64x2{_mm_cmple_pd(high.v, F64x2::splat(hi).v)});
}

// One element x y, or x conj(y) with kConj, from Dekker's exact products, each part
// rounded as the scalar form rounds it ((p.hi - q.hi) + (p.lo - q.lo), the same bits)
// where every part lies within 2^+-450 (no split overflows, no product's error term
// underflows).
template <bool kConj>
inline __m128d exact_product(__m128d x, __m128d y) {
  using simd::F64x2;
  if constexpr (kConj) y = _mm_xor_pd(y, _mm_set_pd(-0.0, 0.0));
  const TwoSum p = two_product(F64x2{_mm_unpacklo_pd(x, x)}, F64x2{y});  // (xr yr, xr yi)
  const TwoSum q = two_product(F64x2{_mm_unpackhi_pd(x, x)}, F64x2{swap_parts(y)});
  // q = (xi yi, xi yr) enters negated in the real part.
  const __m128d sign = _mm_set_pd(0.0, -0.0);
  const F64x2 q_sum{_mm_xor_pd(q.sum.v, sign)}, q_err{_mm_xor_pd(q.err.v, sign)};
  return ((p.sum + q_sum) + (p.err + q_err)).v;
}
// Every part of the one element x and of y within [2^-450, 2^450]: parts_within with the
// real parts in lane 0 and the imaginary ones in lane 1.
inline bool parts_within_450(__m128d x, __m128d y) {
  using simd::F64x2;
  return parts_within(F64x2{x}, F64x2{x}, F64x2{y}, F64x2{y}, 0x1p-450, 0x1p450) == 3;
}

// The double precision elements product_pairs declined (bits `declined`; its results
// for the others in r0 and r1), out of the hot loop, from exact_product; returns bit l
// set where element l takes the scalar form (a part beyond 2^+-450). Only the declined
// elements, about 2% of random ones, pay for the exact products.
template <bool kConj>
inline int exact_products(__m128d x0, __m128d x1, __m128d y0, __m128d y1, int declined,
                          __m128d& r0, __m128d& r1) {
  int scalar = 0;
  if (declined & 1) {
    r0 = exact_product<kConj>(x0, y0);
    scalar |= parts_within_450(x0, y0) ? 0 : 1;
  }
  if (declined & 2) {
    r1 = exact_product<kConj>(x1, y1);
    scalar |= parts_within_450(x1, y1) ? 0 : 2;
  }
  return scalar;
}

// Four single precision elements, two a register as stored: the plain formula of
// product_pairs in single precision on the real parts of the four in one register and
// the imaginary parts in another, trusted as there where no product's exponent exceeds
// the larger part's (each part then within 1.5 ulp of the larger part, and a part whose
// terms do not cancel within 1.25 ulp of itself) and that one lies below 2^126 (no
// part overflows). True where any of the four is not trusted (non-finite products
// included): then they go through the two-element steps, whose products are exact in
// double.
template <bool kConj>
inline bool product_quads(__m128 x01, __m128 x23, __m128 y01, __m128 y23, __m128& r01,
                          __m128& r23) {
  const __m128 a = _mm_shuffle_ps(x01, x23, _MM_SHUFFLE(2, 0, 2, 0));
  const __m128 b = _mm_shuffle_ps(x01, x23, _MM_SHUFFLE(3, 1, 3, 1));
  const __m128 c = _mm_shuffle_ps(y01, y23, _MM_SHUFFLE(2, 0, 2, 0));
  const __m128 d = _mm_shuffle_ps(y01, y23, _MM_SHUFFLE(3, 1, 3, 1));
  const __m128 p_re = _mm_mul_ps(a, c), q_re = _mm_mul_ps(b, d);
  const __m128 p_im = _mm_mul_ps(a, d), q_im = _mm_mul_ps(b, c);
  // x conj(y) = (a c + b d) + i (b c - a d).
  const __m128 re = kConj ? _mm_add_ps(p_re, q_re) : _mm_sub_ps(p_re, q_re);
  const __m128 im = kConj ? _mm_sub_ps(q_im, p_im) : _mm_add_ps(p_im, q_im);
  r01 = _mm_unpacklo_ps(re, im);
  r23 = _mm_unpackhi_ps(re, im);
  const __m128 products = _mm_max_ps(_mm_max_ps(exponent_field(p_re), exponent_field(q_re)),
                                     _mm_max_ps(exponent_field(p_im), exponent_field(q_im)));
  const __m128 larger =
      _mm_min_ps(_mm_max_ps(exponent_field(re), exponent_field(im)), _mm_set1_ps(0x1p125f));
  return _mm_movemask_ps(_mm_cmple_ps(products, larger)) != 0xF;
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

// The double precision quotient of two elements, parts as in product_pairs. Every part
// of x and y lies in [2^-300, 2^300] (the others, zeros and non-finite parts included,
// take the scalar form): then no product, |y|^2 or its reciprocal leaves the normal
// range and x / y lies within 2^+-601. The plain quotient q1 = x conj(y) / |y|^2 (times
// the rounded 1 / |y|^2) is within a few 2^-53 |x / y|, and is corrected once by the
// residual x - q y over y, in one of two ways:
// - in the hot loop, a long division in two steps: q1's parts rounded to the grid
//   2^(E - 25), E the exponent of its larger part, give t, and y's parts rounded to the
//   same kind of grid of y give c_hi, d_hi (at most 2^26 steps each), so that every
//   product t c_hi, t d_hi and the sum or difference of two of them is exact (2^53 steps
//   of the product grid at most); x - t y, near 2^-23 |x|, then rounds only in its
//   subtraction from x's part and in the small terms t c_lo, t d_lo (near 2^-25 |x|),
//   errors near 2^-76 |x|. Its quotient by y is within about 2^-75 |x / y|, and each
//   part of t + (x - t y) / y rounds once beyond errors near 2^-74 |x / y|, far below
//   its last place where the parts of q1 lie within 2^12 of each other;
// - out of the hot loop, for the pairs with an element whose parts of q1 lie further
//   apart (a part cancelled far below |x / y|): q1 + (x - q1 y) / y with the residual
//   from Dekker's exact products, its error near 2^-104 |x|, so that each part rounds
//   once beyond errors near 2^-100 |x / y|.
namespace quotient_detail {

using simd::F64x2;

struct Quotient {
  F64x2 re, im;
  // 1 / y = (cr - i dr).
  F64x2 cr, dr;
};

// The plain quotient of x = a + ib by y = c + id from r = 1 / |y|^2: x conj(y) times r,
// so that one product follows the division on the way to q (1 / y comes beside it).
inline Quotient plain(F64x2 a, F64x2 b, F64x2 c, F64x2 d, F64x2 r) {
  return {(a * c + b * d) * r, (b * c - a * d) * r, c * r, d * r};
}
inline F64x2 reciprocal_norm(F64x2 c, F64x2 d) { return F64x2::splat(1.0) / (c * c + d * d); }
inline Quotient plain(F64x2 a, F64x2 b, F64x2 c, F64x2 d) {
  return plain(a, b, c, d, reciprocal_norm(c, d));
}

// Bit l set where a part of element l of x or y lies outside [2^-300, 2^300].
inline int out_of_range(F64x2 a, F64x2 b, F64x2 c, F64x2 d) {
  return parts_within(a, b, c, d, 0x1p-300, 0x1p300) ^ 3;
}
// Bit l set where the parts of element l of q lie beyond 2^12 of each other.
inline int parts_apart(const Quotient& q) {
  const F64x2 f_re = field(q.re), f_im = field(q.im);
  return simd::lane_mask(simd::less(min(f_re, f_im) * F64x2::splat(0x1p12), max(f_re, f_im)));
}

// 1.5 * 2^(E + 27) for the field 2^E of a pair's larger part: (v + shift) - shift rounds a
// part v of that pair to the grid 2^(E - 25), at most 2^26 steps of it in magnitude.
inline F64x2 grid_shift(F64x2 larger_field) { return larger_field * F64x2::splat(0x1.8p27); }

// y's parts on the grid of its larger part (hi) and the rest (lo).
struct GridDivisor {
  F64x2 c_hi, d_hi, c_lo, d_lo;
};
inline GridDivisor grid_divisor(F64x2 c, F64x2 d) {
  const F64x2 shift = grid_shift(max(field(c), field(d)));
  const F64x2 c_hi = (c + shift) - shift, d_hi = (d + shift) - shift;
  return {c_hi, d_hi, c - c_hi, d - d_hi};
}
// q's parts rounded to the grid of its larger part: t.
inline Quotient on_grid(const Quotient& q) {
  const F64x2 shift = grid_shift(max(field(q.re), field(q.im)));
  return {(q.re + shift) - shift, (q.im + shift) - shift, q.cr, q.dr};
}
// t + (x - t y) / y for t in q's parts: the terms of the grids' parts and their sums
// exact, the subtraction from x's part near 2^-23 |x|.
inline Quotient corrected(F64x2 a, F64x2 b, const GridDivisor& y, const Quotient& t) {
  // (t y)_re = t_re c - t_im d, (t y)_im = t_re d + t_im c.
  const F64x2 e_re = (a - (t.re * y.c_hi - t.im * y.d_hi)) - (t.re * y.c_lo - t.im * y.d_lo);
  const F64x2 e_im = (b - (t.re * y.d_hi + t.im * y.c_hi)) - (t.re * y.d_lo + t.im * y.c_lo);
  return {t.re + (e_re * t.cr + e_im * t.dr), t.im + (e_im * t.cr - e_re * t.dr), t.cr, t.dr};
}

inline void store(const Quotient& q, __m128d& r0, __m128d& r1) {
  r0 = _mm_unpacklo_pd(q.re.v, q.im.v);
  r1 = _mm_unpackhi_pd(q.re.v, q.im.v);
}
inline void load_parts(const std::complex<double>* p, F64x2& re, F64x2& im) {
  __m128d z0, z1;
  load_pair(p, z0, z1);
  re = {_mm_unpacklo_pd(z0, z1)};
  im = {_mm_unpackhi_pd(z0, z1)};
}

}  // namespace quotient_detail

inline int quotient_pairs_double(__m128d x0, __m128d x1, __m128d y0, __m128d y1, __m128d& r0,
                                 __m128d& r1) {
  using namespace quotient_detail;
  const F64x2 a{_mm_unpacklo_pd(x0, x1)}, b{_mm_unpackhi_pd(x0, x1)};
  const F64x2 c{_mm_unpacklo_pd(y0, y1)}, d{_mm_unpackhi_pd(y0, y1)};
  const GridDivisor y = grid_divisor(c, d);
  const Quotient q = plain(a, b, c, d);
  const int declined = parts_apart(q) | out_of_range(a, b, c, d);
  store(corrected(a, b, y, on_grid(q)), r0, r1);
  return declined;
}

// kQuotientBlockPairs pairs of contiguous elements (from x, y and out on) by the same
// operations as quotient_pairs_double (so the same bits), in three passes over the
// block: y's grid and 1 / |y|^2; the plain quotient and t; the residual and the result.
// One pair's chain (squares, division, quotient, grid, residual, correction) is some 80
// cycles, more than the scheduler holds in flight at the pair loop's rate; a pass's is
// about a third of it, so that the pairs of a pass overlap. Returns true, having stored
// nothing, where any element needs more (its pairs then take quotient_pairs_double one
// at a time), so that results may overwrite the arguments.
constexpr int kQuotientBlockPairs = 8;
inline bool quotient_block_double(const std::complex<double>* x, const std::complex<double>* y,
                                  std::complex<double>* out) {
  using namespace quotient_detail;
  struct Pass {
    F64x2 a, b, c, d, r;
    GridDivisor y;
    Quotient t;
  } pass[kQuotientBlockPairs];
  int declined = 0;
  for (int k = 0; k < kQuotientBlockPairs; ++k) {
    Pass& p = pass[k];
    load_parts(x + 2 * k, p.a, p.b);
    load_parts(y + 2 * k, p.c, p.d);
    p.y = grid_divisor(p.c, p.d);
    declined |= out_of_range(p.a, p.b, p.c, p.d);
    p.r = reciprocal_norm(p.c, p.d);
  }
  for (Pass& p : pass) {
    const Quotient q = plain(p.a, p.b, p.c, p.d, p.r);
    declined |= parts_apart(q);
    p.t = on_grid(q);
  }
  if (declined != 0) return true;
  for (int k = 0; k < kQuotientBlockPairs; ++k) {
    const Pass& p = pass[k];
    __m128d r0, r1;
    store(corrected(p.a, p.b, p.y, p.t), r0, r1);
    store_pair(out + 2 * k, r0, r1);
  }
  return false;
}

// The pairs quotient_pairs_double declined: both elements corrected by Dekker's
// residual; bit l set where element l takes the scalar form.
inline int dekker_quotient_pairs(__m128d x0, __m128d x1, __m128d y0, __m128d y1, __m128d& r0,
                                 __m128d& r1) {
  using namespace quotient_detail;
  const F64x2 a{_mm_unpacklo_pd(x0, x1)}, b{_mm_unpackhi_pd(x0, x1)};
  const F64x2 c{_mm_unpacklo_pd(y0, y1)}, d{_mm_unpackhi_pd(y0, y1)};
  Quotient q = plain(a, b, c, d);
  // x - q y: (q y)_re = q_re c - q_im d, (q y)_im = q_re d + q_im c.
  const Split qr = truncated_split(q.re), qi = truncated_split(q.im);
  const Split cs = truncated_split(c), ds = truncated_split(d);
  const TwoSum p1 = two_product(qr, cs), p2 = two_product(qi, ds);
  const TwoSum p3 = two_product(qr, ds), p4 = two_product(qi, cs);
  const TwoSum s_re = two_difference(p1.sum, p2.sum), s_im = two_sum(p3.sum, p4.sum);
  const F64x2 e_re = ((a - s_re.sum) - s_re.err) - (p1.err - p2.err);
  const F64x2 e_im = ((b - s_im.sum) - s_im.err) - (p3.err + p4.err);
  q.re = q.re + (e_re * q.cr + e_im * q.dr);
  q.im = q.im + (e_im * q.cr - e_re * q.dr);
  store(q, r0, r1);
  return parts_within(a, b, c, d, 0x1p-300, 0x1p300) ^ 3;
}

}  // namespace zorn::tess::cx
