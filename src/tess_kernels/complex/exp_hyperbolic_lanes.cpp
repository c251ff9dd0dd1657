#include "tess_kernels/complex/exp_hyperbolic_lanes.h"

#include "tess_kernels/complex/pair_loop.h"
#include "tess_kernels/complex/single_cores.h"
#include "tess_kernels/frame/constant_source.h"
#include "tess_kernels/frame/interleaved_schedule.h"
#include "tess_kernels/frame/simd_double.h"
#include "tess_kernels/frame/two_sum_double.h"
#include "tess_kernels/inv_trig_hyp/hyperbolic_core_double.h"
#include "tess_kernels/trig/quarter_turn_double.h"

namespace zorn::tess::cx {
namespace {

using simd::F64x2;
using simd::I64x2;
namespace h = hyperbolic;

// The exponential lanes take -600 <= x <= 690 and the hyperbolic ones |x| <= 689: there
// the values stay below 2^995, where Dekker's split cannot overflow, and above 2^-866,
// where the products' tails stay normal for every cosine and sine of a double.
constexpr double kExpLow = -600.0;
constexpr double kExpHigh = 690.0;
constexpr double kHyperbolicHigh = 689.0;
constexpr double kTanhHigh = 300.0;

// |(v.hi + v.lo)(f.hi + f.lo)| rounded once, with the sign of f.hi flipped by `sign`
// (-0.0 lanes): the sign of a zero product follows the sign rule exactly. With the heads
// split at 26 bits, v.hi = a + a' and f.hi = b + b', the product is a b + a b' (both
// exact) plus a f.lo + (a' + v.lo)(f.hi + f.lo). Both tails may be large (v's up to 4% of
// its head, f's up to 2^-3): a f.lo joins last, so that two roundings of the rest weigh
// most, each below 2^-56 of the result.
template <class K = simd::SplatConstants>
[[gnu::always_inline]] inline F64x2 product(h::Sum v, h::Sum f, F64x2 sign, const K& k = {}) {
  const F64x2 minus = simd::constant<-0.0>(k);
  const Split a = truncated_split(v.hi), b = truncated_split(f.hi);
  const F64x2 rest = a.hi * f.lo + (a.hi * b.lo + (a.lo + v.lo) * (f.hi + f.lo));
  return simd::and_not(a.hi * b.hi + rest, minus) | ((f.hi & minus) ^ sign);
}

// cos r and sin r of y = k pi/2 + r for |y| <= sin_core::kFastPathLimit, from one
// reduction by quarter turns of y itself (the reduction is odd in y bit for bit, and k mod 4
// of a negative k sits in the low bits of t as of a positive one), each left as the
// quarter-turn core's leading part and tail (the tail below 2^-3 of the part), so that a
// product with them rounds once: the parts' error before rounding stays near a third of an
// ulp, where the rounded sine and cosine would add half an ulp each. Odd quadrants (`odd`,
// all ones) exchange the two; the quadrant's signs come apart as -0.0 masks, for the
// products to take on with their own sign (two exclusive ors a pair instead of four): cos y
// takes bit 1 of k + 1, sin y bit 1 of k.
struct QuarterTurnParts {
  h::Sum cos_r, sin_r;
  F64x2 odd, cos_sign, sin_sign;
};
template <class K = simd::SplatConstants>
[[gnu::always_inline]] inline QuarterTurnParts quarter_turn_parts(F64x2 y, const K& k = {}) {
  namespace qt = quarter_turn;
  const sin_core::ReducedAngle angle = qt::reduce(y, k);
  const qt::SinCosParts p = qt::sin_cos_parts(angle, k);
  return {{p.cos.hi, p.cos.lo}, {p.sin.hi, p.sin.lo}, qt::odd_quadrant(angle),
          simd::from_bits(qt::cos_negate(angle)),
          simd::from_bits((angle.t_bits & I64x2::splat(2)) << 62)};
}

// cos y and sin y as above, exchanged by exclusive or under the mask.
struct QuadrantParts {
  h::Sum c, s;
  F64x2 c_sign, s_sign;
};
[[gnu::always_inline]] inline QuadrantParts quadrant_parts(F64x2 y) {
  const QuarterTurnParts p = quarter_turn_parts(y);
  const F64x2 swap_hi = (p.sin_r.hi ^ p.cos_r.hi) & p.odd;
  const F64x2 swap_lo = (p.sin_r.lo ^ p.cos_r.lo) & p.odd;
  return {{p.cos_r.hi ^ swap_hi, p.cos_r.lo ^ swap_lo},
          {p.sin_r.hi ^ swap_hi, p.sin_r.lo ^ swap_lo},
          p.cos_sign,
          p.sin_sign};
}

// The same with the signs on both parts, for the tangents' sums.
struct Circular {
  h::Sum c, s;
};
[[gnu::always_inline]] inline Circular circular(F64x2 y) {
  const QuadrantParts q = quadrant_parts(y);
  return {{q.c.hi ^ q.c_sign, q.c.lo ^ q.c_sign}, {q.s.hi ^ q.s_sign, q.s.lo ^ q.s_sign}};
}

// e^x for -600 <= x <= 690 as 2^M (hi + lo), hi + lo = 2^(j/64) e^r in [2^-1/128, 2^(1+1/128))
// unscaled (k = 64 M + j, the hyperbolic core's reduction and series): the products with
// cos y and sin y take the unscaled parts and are scaled once at the end, exactly, since
// every result and every term before it stays normal in that range (Dekker's split and
// the truncated splits are invariant under powers of two).
struct ScaledExponential {
  h::Sum unit;
  F64x2 scale;
};
template <class K>
[[gnu::always_inline]] inline ScaledExponential scaled_exponential(F64x2 x, const K& k) {
  const h::ExpReduction e = h::reduce_exponent(x, k);
  const F64x2 p = h::exp_minus_one(e.r, k);
  const I64x2 t_bits = simd::bits(e.t);
  const auto& table = exp_single_data::kExp2Over64Absolute;
  const F64x2 row0 = F64x2::load_aligned(table[t_bits.low32_lane0() & 63]);
  const F64x2 row1 = F64x2::load_aligned(table[t_bits.low32_lane1() & 63]);
  const F64x2 hi = simd::lane0s(row0, row1), lo = simd::lane1s(row0, row1);
  const F64x2 scale = simd::from_bits(((t_bits << 46) + I64x2::splat(int64_t{1023} << 52)) &
                                      I64x2::splat(0x7FF0000000000000));
  return {{hi, p * hi + lo}, scale};
}

// Whether any of the four values at p lies below `limit` in magnitude: a group's choice
// of the form with the series of sinh (NaNs compare false, as in the lanes' selects).
inline bool any_below(const double* p, double limit) {
  const F64x2 l = F64x2::splat(limit);
  return simd::lane_mask(simd::less(simd::abs(F64x2::load(p)), l) |
                         simd::less(simd::abs(F64x2::load(p + 2)), l)) != 0;
}

// Lanes whose |y| is beyond the quarter-turn reduction or not finite, as a two-bit mask.
template <class K = simd::SplatConstants>
inline int circular_out_of_range(F64x2 y, const K& k = {}) {
  const F64x2 a = simd::and_not(y, simd::constant<-0.0>(k));
  return simd::lane_mask(simd::not_less_equal(a, simd::constant<sin_core::kFastPathLimit>(k)));
}

// Lanes with a non-zero part below kLimit, as a two-bit mask: below 2^-960 (the
// hyperbolic and circular factors), or 2^-100 beside e^x or 1 / cosh 2x down to 2^-868,
// a part of the result may be subnormal (or within 2^-40 of it, beside a cosine that
// small), where the products' tails underflow and the sum rounds on the subnormal grid;
// the scalar form (extended precision there) takes them. (Exp's imaginary part erred by
// up to 5.7 ulp there, Sinh's and Cosh's parts by up to 1.8.)
template <double kLimit, class K = simd::SplatConstants>
inline int tiny_lanes(F64x2 v, const K& k = {}) {
  const F64x2 a = simd::and_not(v, simd::constant<-0.0>(k));
  return simd::lane_mask(simd::less(F64x2::splat(0.0), a) &
                         simd::less(a, simd::constant<kLimit>(k)));
}

// sinh a and cosh a for 0 <= a <= 689 as hi + lo, sinh from its series below 1/2.
// Without kSeries the caller has found every a at or above 1/2.
struct SinhCosh {
  h::Sum sinh, cosh;
};
template <bool kSeries>
[[gnu::always_inline]] inline SinhCosh sinh_cosh(F64x2 a) {
  const F64x2 two = F64x2::splat(2.0);
  const h::HalfHyperbolic half = h::half_hyperbolic(a);
  if constexpr (!kSeries) {
    return {{half.sinh_half.hi * two, half.sinh_half.lo * two},
            {half.cosh_half.hi * two, half.cosh_half.lo * two}};
  }
  const h::Sum series = h::sinh_series(a);
  const F64x2 in_series = simd::less(a, F64x2::splat(h::kSinhSeriesLimit));
  return {{simd::select(in_series, series.hi, half.sinh_half.hi * two),
           simd::select(in_series, series.lo, half.sinh_half.lo * two)},
          {half.cosh_half.hi * two, half.cosh_half.lo * two}};
}

// (n.hi + n.lo) / (d.hi + d.lo) for n at most a few times d, rounded once beyond a
// remainder's rounding: q = n.hi / d.hi by the reciprocal `inv` of d.hi, corrected by the
// remainder n - q d (n.hi - q d.hi exact: Dekker's product, and q d.hi is near n.hi).
[[gnu::always_inline]] inline F64x2 quotient(h::Sum n, h::Sum d, F64x2 inv) {
  const F64x2 q = n.hi * inv;
  const TwoSum qd = two_product(q, d.hi);
  return q + ((((n.hi - qd.sum) - qd.err) + n.lo) - q * d.lo) * inv;
}

// The elements a single precision lane leaves to the scalar form: |x| beyond the
// hyperbolic core, |y| beyond the circular one, or either not finite.
inline int single_out_of_range(F64x2 x, F64x2 y) {
  return simd::lane_mask(simd::not_less_equal(simd::abs(x), F64x2::splat(kSingleHyperbolicLimit)) |
                         simd::not_less_equal(simd::abs(y), F64x2::splat(kSingleCircularLimit)));
}

}  // namespace

// e^x = 2^z, z = x / ln 2, as scale (1 + q); the fast range keeps z within the table
// core's [-151, 129] (results beyond the float range are found by the loop and report).
// Both interleave their two pairs (the double ones of Exp measured 3% slower with the
// Dekker products, 3-4% faster with the shorter ones; those of the hyperbolic and tangent
// functions 5-12% faster).
[[TESS_INTERLEAVED]] int ExpLanes::single_group(const double x[4], const double y[4], double re[4],
                                                double im[4]) {
  int special = 0;
  for (int v = 0; v < 4; v += 2) {
    const F64x2 xv = F64x2::load(x + v), yv = F64x2::load(y + v);
    // Up to 88.72 (ln FLT_MAX = 88.7228...) e^x and the parts stay below FLT_MAX / 1.002.
    special |= simd::lane_mask(simd::not_less_equal(xv, F64x2::splat(88.72)) |
                               simd::less(xv, F64x2::splat(-103.0)) |
                               simd::not_less_equal(simd::abs(yv), F64x2::splat(kSingleCircularLimit)))
               << v;
    const F64x2 e = exp_single(xv);
    const CosSin t = cos_sin_single(yv);
    (e * t.c).store(re + v);
    (e * t.s).store(im + v);
  }
  return special;
}

namespace {
// Every constant of exp_pair, read as rows (frame/constant_source.h): the pair holds more
// values than there are registers, and GCC rebuilt some 29 broadcast constants a group.
constexpr double kExpPairConstants[] = {
    h::kSixtyFourOverLn2, h::kExpShifter, h::kLn2Over64Hi, h::kLn2Over64Lo,
    h::kExpMinusOneSeries[0], h::kExpMinusOneSeries[1], h::kExpMinusOneSeries[2],
    h::kExpMinusOneSeries[3], h::kExpMinusOneSeries[4], quarter_turn::kTwoOverPi,
    quarter_turn::kPiOver2Hi, quarter_turn::kPiOver2Mid, quarter_turn::kPiOver2Lo, 0x1.8p26, 1.0,
    quarter_turn::polynomials::kSinTail[0], quarter_turn::polynomials::kSinTail[1],
    quarter_turn::polynomials::kSinTail[2], quarter_turn::polynomials::kSinTail[3],
    quarter_turn::polynomials::kSinTail[4], quarter_turn::polynomials::kSinTail[5],
    quarter_turn::polynomials::kSinTail[6], quarter_turn::polynomials::kCosTail[0],
    quarter_turn::polynomials::kCosTail[1], quarter_turn::polynomials::kCosTail[2],
    quarter_turn::polynomials::kCosTail[3], quarter_turn::polynomials::kCosTail[4],
    quarter_turn::polynomials::kCosTail[5], kExpHigh, kExpLow, sin_core::kFastPathLimit, 0x1p-100,
    -0.0};
using ExpPairConstants = simd::RowConstants<kExpPairConstants>;

// The parts of e^(x + iy) for two elements, and the two-bit mask of those for the scalar
// form. The products take cos r and sin r before the quadrant's choice, which then
// exchanges two results rather than four parts: in even quadrants bit 1 of k and of k + 1
// agree, so the product with cos r takes sin y's sign and the one with sin r cos y's,
// whichever part each lands in (the same bits as the choice first).
[[gnu::always_inline]] inline int exp_pair(F64x2 xv, F64x2 yv, F64x2& re, F64x2& im,
                                           const ExpPairConstants& k) {
  using simd::constant;
  const ScaledExponential e = scaled_exponential(xv, k);
  const QuarterTurnParts t = quarter_turn_parts(yv, k);
  const F64x2 with_cos = product(e.unit, t.cos_r, t.sin_sign, k);
  const F64x2 with_sin = product(e.unit, t.sin_r, t.cos_sign, k);
  const F64x2 swap = (with_cos ^ with_sin) & t.odd;
  re = (with_cos ^ swap) * e.scale;
  im = (with_sin ^ swap) * e.scale;
  return simd::lane_mask(simd::not_less_equal(xv, constant<kExpHigh>(k)) |
                         simd::less(xv, constant<kExpLow>(k))) |
         circular_out_of_range(yv, k) | tiny_lanes<0x1p-100>(yv, k);
}
}  // namespace

[[TESS_INTERLEAVED]] int ExpLanes::group(const double x[4], const double y[4], double re[4],
                                         double im[4]) {
  int special = 0;
  const ExpPairConstants k;
  for (int v = 0; v < 4; v += 2) {
    F64x2 r, i;
    special |= exp_pair(F64x2::load(x + v), F64x2::load(y + v), r, i, k) << v;
    r.store(re + v);
    i.store(im + v);
  }
  return special;
}

// Contiguous groups split and merged in registers, with no call and no part arrays
// between them and the lanes.
[[TESS_INTERLEAVED]] int64_t ExpLanes::block(int64_t n, const std::complex<double>* z,
                                             std::complex<double>* r) {
  int64_t i = 0;
  const ExpPairConstants k;
  for (; i + kGroupLanes <= n; i += kGroupLanes) {
    __m128d z0, z1, z2, z3;
    load_pair(z + i, z0, z1);
    load_pair(z + i + 2, z2, z3);
    F64x2 re0, im0, re1, im1;
    const int special =
        exp_pair({_mm_unpacklo_pd(z0, z1)}, {_mm_unpackhi_pd(z0, z1)}, re0, im0, k) |
        exp_pair({_mm_unpacklo_pd(z2, z3)}, {_mm_unpackhi_pd(z2, z3)}, re1, im1, k);
    if (special != 0) [[unlikely]] break;
    store_pair(r + i, _mm_unpacklo_pd(re0.v, im0.v), _mm_unpackhi_pd(re0.v, im0.v));
    store_pair(r + i + 2, _mm_unpacklo_pd(re1.v, im1.v), _mm_unpackhi_pd(re1.v, im1.v));
  }
  return i;
}

// The even part (cosh x times cos y or sin y) and the odd part (sinh x times the other)
// into the result's parts: sinh's real part is the odd one, cosh's the even one, and the
// rotated sine gives -i (odd + i even).
template <bool kSine, bool kRotated>
inline void store_parts(F64x2 even_part, F64x2 odd_part, double* re, double* im) {
  if constexpr (kRotated && kSine) {
    even_part.store(re);
    (odd_part ^ F64x2::splat(-0.0)).store(im);
  } else if constexpr (kSine) {
    odd_part.store(re);
    even_part.store(im);
  } else {
    even_part.store(re);
    odd_part.store(im);
  }
}

// sinh(x + iy) = sinh x cos y + i cosh x sin y, cosh(x + iy) = cosh x cos y + i sinh x sin y,
// from sinh |x| and cosh |x| with the sign of x on the odd part. The rotated forms take
// x' + iy' = i z = -y + ix, and the sine gives back -i times the result.
// Each kSeries form is a function of its own (see tangent_group).
namespace {
template <bool kSine, bool kRotated, bool kSeries>
[[gnu::noinline, TESS_INTERLEAVED]] int hyperbolic_group(const double x[4], const double y[4],
                                                        double re[4], double im[4]) {
  int special = 0;
  const F64x2 minus = F64x2::splat(-0.0);
  for (int v = 0; v < 4; v += 2) {
    const F64x2 xv = kRotated ? F64x2::load(y + v) ^ minus : F64x2::load(x + v);
    const F64x2 yv = F64x2::load((kRotated ? x : y) + v);
    const F64x2 a = simd::abs(xv), sign = xv & minus;
    const auto [sinh, cosh] = sinh_cosh<kSeries>(a);
    const QuadrantParts t = quadrant_parts(yv);
    const F64x2 even_part = kSine ? product(cosh, t.s, t.s_sign) : product(cosh, t.c, t.c_sign);
    const F64x2 odd_part =
        kSine ? product(sinh, t.c, sign ^ t.c_sign) : product(sinh, t.s, sign ^ t.s_sign);
    store_parts<kSine, kRotated>(even_part, odd_part, re + v, im + v);
    special |= (simd::lane_mask(simd::not_less_equal(a, F64x2::splat(kHyperbolicHigh))) |
                circular_out_of_range(yv) | tiny_lanes<0x1p-960>(xv) | tiny_lanes<0x1p-960>(yv))
               << v;
  }
  return special;
}
}  // namespace

template <bool kSine, bool kRotated>
int HyperbolicLanes<kSine, kRotated>::group(const double x[4], const double y[4], double re[4],
                                            double im[4]) {
  return any_below(kRotated ? y : x, h::kSinhSeriesLimit)
             ? hyperbolic_group<kSine, kRotated, true>(x, y, re, im)
             : hyperbolic_group<kSine, kRotated, false>(x, y, re, im);
}

namespace {

// sinh b and cosh b - 1 for 0 <= b <= 600 as hi + lo. Below 1/2, sinh b from its series
// and cosh b - 1 = b^2/2 (1 + b^2 T(b^2)), b^2 exact by Dekker's product, T the Taylor
// series sum 2 b^(2k-2) / (2k+2)! to k = 7 (the rest below 2^-60); from 1/2 on, twice
// the halved cosine less 1, exact by a fast two-sum (2 cosh b / 2 >= 1). Without
// kSeries the caller has found every b at or above 1/2, and the series are left out.
struct SinhCoshLessOne {
  h::Sum sinh, cosh_m1;
};
template <bool kSeries>
[[gnu::always_inline]] inline SinhCoshLessOne sinh_cosh_less_one(F64x2 b) {
  const auto c = [](double v) { return F64x2::splat(v); };
  const h::HalfHyperbolic half = h::half_hyperbolic(b);
  const F64x2 two = c(2.0), half_one = c(0.5);
  const TwoSum m1 = fast_two_sum(half.cosh_half.hi * two, c(-1.0));
  if constexpr (!kSeries) {
    return {{half.sinh_half.hi * two, half.sinh_half.lo * two},
            {m1.sum, m1.err + half.cosh_half.lo * two}};
  }
  const h::Sum series = h::sinh_series(b);
  const Split bs = truncated_split(b);
  const TwoSum sq = two_product(bs, bs);
  const F64x2 z = sq.sum, z2 = z * z;
  const F64x2 t = z * ((c(1.0 / 12) + z * c(1.0 / 360)) +
                       z2 * ((c(1.0 / 20160) + z * c(1.0 / 1814400)) +
                             z2 * ((c(1.0 / 239500800) + z * c(1.0 / 43589145600)) +
                                   z2 * c(1.0 / 10461394944000))));
  const F64x2 in_series = simd::less(b, c(h::kSinhSeriesLimit));
  return {{simd::select(in_series, series.hi, half.sinh_half.hi * two),
           simd::select(in_series, series.lo, half.sinh_half.lo * two)},
          {simd::select(in_series, z * half_one, m1.sum),
           simd::select(in_series, (sq.err + z * t) * half_one, m1.err + half.cosh_half.lo * two)}};
}

// Where 2y lies within 2^-17 of an odd multiple of pi, 1 + cos 2y = h^2/2 - cos_tail
// (h = r on the 2^-26 grid) cancels up to fourfold, and the tail drops r_lo^2/2. There
// it is 1 - cos r = s^2 / (1 + cos r) = s^2/2 + s^4/8 (the rest below 2^-70 of it) from
// s = sin r renormalised (its tail reaches 2^-15 of the head there), s.hi^2 exact by
// Dekker's product.
constexpr double kNearPole = 0x1p-17;
[[gnu::always_inline]] inline h::Sum versine_near_pole(h::Sum sine) {
  const TwoSum s = fast_two_sum(sine.hi, sine.lo);
  const Split hs = truncated_split(s.sum);
  const TwoSum sq = two_product(hs, hs);
  const F64x2 half = F64x2::splat(0.5);
  return {sq.sum * half, (sq.err * half + s.sum * s.err) + (sq.sum * sq.sum) * F64x2::splat(0.125)};
}

// tanh(x + iy) = (sinh 2x + i sin 2y) / ((cosh 2x - 1) + (1 + cos 2y)): the denominator
// is a sum of two terms >= 0 and cancels nowhere (renormalised, since its tails reach 2^-3
// of their heads and the quotients' one correction needs a tail below an ulp). 1 + cos 2y
// comes from the quarter-turn parts of 2y, 1 + c.hi exact by a fast two-sum (|c.hi| <= 1);
// where cos 2y is near -1, c.hi = -(1 - h^2/2) and the sum is h^2/2 exactly. Numerators
// and denominator are hi + lo and share one reciprocal, each quotient corrected once by
// its remainder. Magnitudes come from |x| and the signs go on at the end (of x on the real
// part, of sin 2y on the imaginary), which keeps every zero's sign. The rotated form gives
// tan z = -i tanh(iz). |x| above 300 (where 2 e^2|x| nears Dekker's bound), non-finite x
// and non-zero |x| below 2^-960 (where the real part may near the subnormal range and
// the quotient's remainder underflow; the denominator is at most about 2 there) go to the
// scalar form, as do non-zero |y| below 2^-100. Without kNearPoles, the lanes near
// a pole are only marked in `poles` (their results to be recomputed with it): a branch
// inside the group would keep its two pairs from interleaving. Without kSeries every
// |x| is at least 1/4 (the group's test; 90% of groups of x uniform in [-10, 10]).
template <bool kRotated, bool kNearPoles, bool kSeries>
[[gnu::always_inline]] inline int tangent_pair(F64x2 x, F64x2 y, F64x2& re, F64x2& im,
                                               int& poles) {
  const F64x2 minus = F64x2::splat(-0.0);
  const F64x2 xv = kRotated ? y ^ minus : x;
  const F64x2 yv = kRotated ? x : y;
  const F64x2 a = simd::abs(xv);
  const SinhCoshLessOne hc = sinh_cosh_less_one<kSeries>(a + a);
  const F64x2 y2 = yv + yv;
  const Circular t = circular(y2);
  const TwoSum sum = fast_two_sum(F64x2::splat(1.0), t.c.hi);
  h::Sum one_plus = {sum.sum, sum.err + t.c.lo};
  const F64x2 near_pole = simd::less(t.c.hi, F64x2::splat(-0.5)) &
                          simd::less(simd::abs(t.s.hi), F64x2::splat(kNearPole));
  if constexpr (kNearPoles) {
    const h::Sum pole = versine_near_pole(t.s);
    one_plus = {simd::select(near_pole, pole.hi, one_plus.hi),
                simd::select(near_pole, pole.lo, one_plus.lo)};
  }
  const TwoSum d = two_sum(hc.cosh_m1.hi, one_plus.hi);
  const TwoSum dn = fast_two_sum(d.sum, d.err + (hc.cosh_m1.lo + one_plus.lo));
  const h::Sum denominator = {dn.sum, dn.err};
  const F64x2 inv = F64x2::splat(1.0) / dn.sum;
  const F64x2 real_part = quotient(hc.sinh, denominator, inv) | (xv & minus);
  const F64x2 imag_part = simd::abs(quotient(t.s, denominator, inv)) | (t.s.hi & minus);
  if constexpr (kRotated) {  // -i (real + i imag)
    re = imag_part;
    im = real_part ^ minus;
  } else {
    re = real_part;
    im = imag_part;
  }
  const F64x2 tiny = simd::less(F64x2::splat(0.0), a) & simd::less(a, F64x2::splat(0x1p-960));
  poles = simd::lane_mask(near_pole);
  return simd::lane_mask(simd::not_less_equal(a, F64x2::splat(kTanhHigh)) | tiny) |
         circular_out_of_range(y2) | tiny_lanes<0x1p-100>(yv);
}

template <bool kRotated, bool kNearPoles, bool kSeries>
[[gnu::always_inline]] inline int tangent_pairs(const double x[4], const double y[4], double re[4],
                                                double im[4], int& poles) {
  int special = 0;
  for (int v = 0; v < 4; v += 2) {
    F64x2 r, i;
    int pair_poles;
    special |= tangent_pair<kRotated, kNearPoles, kSeries>(F64x2::load(x + v),
                                                          F64x2::load(y + v), r, i, pair_poles)
               << v;
    poles |= pair_poles << v;
    r.store(re + v);
    i.store(im + v);
  }
  return special;
}

// The group's pairs on the common path, a function of its own for each kSeries (inline
// in one function the two copies spilled the constants of both).
template <bool kRotated, bool kSeries>
[[gnu::noinline, TESS_INTERLEAVED]] int tangent_group(const double x[4], const double y[4],
                                                     double re[4], double im[4], int& poles) {
  return tangent_pairs<kRotated, false, kSeries>(x, y, re, im, poles);
}

template <bool kRotated>
[[gnu::noinline]] int tangent_near_poles(const double x[4], const double y[4], double re[4],
                                         double im[4]) {
  int poles = 0;
  return tangent_pairs<kRotated, true, true>(x, y, re, im, poles);
}

}  // namespace

template <bool kRotated>
int TangentLanes<kRotated>::group(const double x[4], const double y[4], double re[4],
                                  double im[4]) {
  int poles = 0;
  // 2|x| below 1/2.
  const int special = any_below(kRotated ? y : x, 0.25)
                          ? tangent_group<kRotated, true>(x, y, re, im, poles)
                          : tangent_group<kRotated, false>(x, y, re, im, poles);
  if (poles != 0) [[unlikely]] return tangent_near_poles<kRotated>(x, y, re, im);
  return special;
}

// Contiguous groups whose four |x| are at least 1/4, away from the poles and special
// values, split and merged in registers.
template <bool kRotated>
[[TESS_INTERLEAVED]] int64_t TangentLanes<kRotated>::block(int64_t n, const std::complex<double>* z,
                                                           std::complex<double>* r) {
  const F64x2 quarter = F64x2::splat(0.25);
  int64_t i = 0;
  for (; i + kGroupLanes <= n; i += kGroupLanes) {
    F64x2 x0, y0, x1, y1;
    split_group(z + i, x0, y0, x1, y1);
    // 2|x| below 1/2, for the real part of the tangent's argument.
    if (simd::lane_mask(simd::less(simd::abs(kRotated ? y0 : x0), quarter) |
                        simd::less(simd::abs(kRotated ? y1 : x1), quarter)) != 0) {
      break;
    }
    F64x2 re0, im0, re1, im1;
    int poles0, poles1;
    const int special = tangent_pair<kRotated, false, false>(x0, y0, re0, im0, poles0) |
                        tangent_pair<kRotated, false, false>(x1, y1, re1, im1, poles1) |
                        poles0 | poles1;
    if (special != 0) [[unlikely]] break;
    store_pair(r + i, _mm_unpacklo_pd(re0.v, im0.v), _mm_unpackhi_pd(re0.v, im0.v));
    store_pair(r + i + 2, _mm_unpacklo_pd(re1.v, im1.v), _mm_unpackhi_pd(re1.v, im1.v));
  }
  return i;
}

// Single precision: the same products from sinh_cosh_single and cos_sin_single, each
// rounded once in double; the zeros keep the sign rule of the products.
template <bool kSine, bool kRotated>
[[TESS_INTERLEAVED]] int HyperbolicLanes<kSine, kRotated>::single_group(const double x[4],
                                                                        const double y[4],
                                                                        double re[4],
                                                                        double im[4]) {
  const F64x2 minus = F64x2::splat(-0.0);
  int special = 0;
  for (int v = 0; v < 4; v += 2) {
    const F64x2 xv = kRotated ? F64x2::load(y + v) ^ minus : F64x2::load(x + v);
    const F64x2 yv = kRotated ? F64x2::load(x + v) : F64x2::load(y + v);
    special |= single_out_of_range(xv, yv) << v;
    const SinhCoshSingle hc = sinh_cosh_single(xv);
    const CosSin t = cos_sin_single(yv);
    const F64x2 even_part = kSine ? hc.cosh * t.s : hc.cosh * t.c;
    const F64x2 odd_part = kSine ? hc.sinh * t.c : hc.sinh * t.s;
    store_parts<kSine, kRotated>(even_part, odd_part, re + v, im + v);
  }
  return special;
}

// Single precision: the quotients of the double lanes in plain double arithmetic (no
// cancellation anywhere: every relative error adds), for |x| <= 89, where sinh^2 x stays
// far inside the double range.
template <bool kRotated>
[[TESS_INTERLEAVED]] int TangentLanes<kRotated>::single_group(const double x[4], const double y[4],
                                                              double re[4], double im[4]) {
  const F64x2 minus = F64x2::splat(-0.0);
  int special = 0;
  for (int v = 0; v < 4; v += 2) {
    const F64x2 xv = kRotated ? F64x2::load(y + v) ^ minus : F64x2::load(x + v);
    const F64x2 yv = kRotated ? F64x2::load(x + v) : F64x2::load(y + v);
    special |= single_out_of_range(xv, yv) << v;
    const SinhCoshSingle hc = sinh_cosh_single(xv);
    const CosSin t = cos_sin_single(yv);
    const F64x2 inv = F64x2::splat(1.0) / (hc.sinh * hc.sinh + t.c * t.c);
    const F64x2 real_part = (hc.sinh * hc.cosh) * inv, imag_part = (t.s * t.c) * inv;
    if constexpr (kRotated) {  // -i (real + i imag)
      imag_part.store(re + v);
      (real_part ^ minus).store(im + v);
    } else {
      real_part.store(re + v);
      imag_part.store(im + v);
    }
  }
  return special;
}

template struct TangentLanes<false>;
template struct TangentLanes<true>;
template struct HyperbolicLanes<true, false>;
template struct HyperbolicLanes<false, false>;
template struct HyperbolicLanes<true, true>;
template struct HyperbolicLanes<false, true>;

}  // namespace zorn::tess::cx
