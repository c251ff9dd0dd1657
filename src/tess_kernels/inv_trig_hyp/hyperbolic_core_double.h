// Two-lane double precision cores of the hyperbolic functions and their inverses, each
// carrying its value as an unevaluated sum hi + lo (relative error near 2^-60) until the
// final rounding. The double kernels round them once; the single precision kernels have
// shorter cores of their own (hyperbolic_single.h) and reach these through the callouts.
//
// The complex kernels' sinh and cosh take |x| and build e^|x| and e^-|x| from one
// reduction of the exponential (2^(k/64) from the table, e^r - 1 by its series), or sinh
// |x| from its own series where e^|x| - e^-|x| would cancel; Sinh and Cosh take generated
// rows of sinh and cosh at k/32 by the addition theorem; Tanh takes e^(2|x|) alone from
// 0.55 on (below, its own series). Asinh, Acosh and Atanh take the logarithm of an
// argument carried as hi + lo, which keeps the bits that cancel near 0 and near 1.
#pragma once

#include <cstdint>

#include "tess_kernels/exp_log/exp_single.h"
#include "tess_kernels/exp_log/exp_table_double.h"
#include "tess_kernels/exp_log/log_core_double.h"
#include "tess_kernels/frame/constant_source.h"
#include "tess_kernels/frame/simd_double.h"
#include "tess_kernels/frame/splat_rows.h"
#include "tess_kernels/frame/two_sum_double.h"

namespace zorn::tess::hyperbolic {

using simd::F64x2;
using simd::I64x2;

#define ZORN_HYPERBOLIC_INLINE [[gnu::always_inline]] inline

namespace data {
#include "tess_kernels/inv_trig_hyp/data/hyperbolic_tables.inc"
}  // namespace data

ZORN_HYPERBOLIC_INLINE F64x2 splat(double v) { return F64x2::splat(v); }
ZORN_HYPERBOLIC_INLINE F64x2 sqrt(F64x2 a) { return {_mm_sqrt_pd(a.v)}; }
ZORN_HYPERBOLIC_INLINE F64x2 sign_of(F64x2 x) { return x & splat(-0.0); }
// {table[i0], table[i1]} by two 8-byte loads.
ZORN_HYPERBOLIC_INLINE F64x2 load_lanes(const double* table, uint32_t i0, uint32_t i1) {
  return {_mm_loadh_pd(_mm_load_sd(table + i0), table + i1)};
}

// {rows[i0][0], rows[i1][0]}, the heads of two rows.
ZORN_HYPERBOLIC_INLINE F64x2 load_heads(const double (*rows)[2], uint32_t i0, uint32_t i1) {
  return {_mm_loadh_pd(_mm_load_sd(&rows[i0][0]), &rows[i1][0])};
}

struct Sum {
  F64x2 hi, lo;
};

// Dekker's exact product a b = hi + lo (Veltkamp's split), for products that neither
// overflow nor underflow.
ZORN_HYPERBOLIC_INLINE Sum two_product(F64x2 a, F64x2 b) {
  const F64x2 split = splat(134217729.0);  // 2^27 + 1
  const F64x2 sa = a * split, sb = b * split;
  const F64x2 a1 = sa - (sa - a), b1 = sb - (sb - b);
  const F64x2 a2 = a - a1, b2 = b - b1;
  const F64x2 p = a * b;
  return {p, (((a1 * b1 - p) + a1 * b2) + a2 * b1) + a2 * b2};
}

// The largest argument whose hyperbolic cosine (and sine) is finite.
constexpr double kOverflowBound = 710.4758600739439;
// Below this, sinh |x| comes from its series; above, e^|x| - e^-|x| cancels less than
// e/(e - 1/e) and the two exponentials serve.
constexpr double kSinhSeriesLimit = 0.5;

// e^|x|/4 = A + a and e^-|x|/4 = B + b for 0 <= |x| <= kOverflowBound, with A, B exact
// products of a table entry and a power of two. k = 64 M + j is the nearest integer to
// 64 |x| / ln 2 (in the low bits of the 1.5 * 2^52 shifter), r = |x| - k ln2/64 in two
// parts, and e^(+-r) - 1 = E +- O from the even and odd parts of the series (degrees 6
// and 5 on |r| <= ln2/128, the rest below 2^-64), so that one polynomial pass and one
// table row (2^(j/64) and 2^(-j/64)) serve both. The quarter keeps 2^(M - 2) a normal
// double up to the overflow bound; the callers double. From |x| = 27 on, e^-|x| is below
// 2^-77 of e^|x| and B + b is dropped (which keeps 2^(-M - 2) from leaving the range).
struct QuarterExponentials {
  Sum plus, minus;
};
constexpr double kExpShifter = 6755399441055744.0;  // 1.5 * 2^52
constexpr double kNegativeExponentLimit = 27.0;
// e^r - 1 = r + r^2 (E0 + r (E1 + ...)); constants from the source k (constant_source.h).
constexpr double kExpMinusOneSeries[5] = {0.5, 0.1666666666665788, 0.04166666666677052,
                                          0.008333341995140497, 0.0013888870459233254};
template <class K = simd::SplatConstants>
ZORN_HYPERBOLIC_INLINE F64x2 exp_minus_one(F64x2 r, const K& k = {}) {
  using simd::constant;
  constexpr auto& e = kExpMinusOneSeries;
  return r + (r * r) * (constant<e[0]>(k) +
                        r * (constant<e[1]>(k) +
                             r * (constant<e[2]>(k) +
                                  r * (constant<e[3]>(k) + r * constant<e[4]>(k)))));
}
// 2^(k div 64 - 2): the bias 1021 instead of 1023.
ZORN_HYPERBOLIC_INLINE F64x2 quarter_scale(I64x2 t_bits) {
  return simd::from_bits(((t_bits << 46) + I64x2::splat(int64_t{1021} << 52)) &
                         I64x2::splat(0x7FF0000000000000));
}
ZORN_HYPERBOLIC_INLINE Sum quarter_power(F64x2 t, F64x2 p) {
  const I64x2 t_bits = simd::bits(t);
  const auto& table = exp_single_data::kExp2Over64Absolute;
  const F64x2 row0 = F64x2::load_aligned(table[t_bits.low32_lane0() & 63]);
  const F64x2 row1 = F64x2::load_aligned(table[t_bits.low32_lane1() & 63]);
  const F64x2 hi = simd::lane0s(row0, row1), lo = simd::lane1s(row0, row1);
  const F64x2 scale = quarter_scale(t_bits);
  return {hi * scale, (p * hi + lo) * scale};
}
struct ExpReduction {
  F64x2 t, k, r;
};
// 64/ln 2, and ln2/64 in two parts (the first with trailing zeros, so that k times it is
// exact for the k of the cores' ranges).
constexpr double kSixtyFourOverLn2 = 92.33248261689366;
constexpr double kLn2Over64Hi = 0.010830424696223417;
constexpr double kLn2Over64Lo = 2.572804622327669e-14;
template <class K = simd::SplatConstants>
ZORN_HYPERBOLIC_INLINE ExpReduction reduce_exponent(F64x2 a, const K& c = {}) {
  using simd::constant;
  const F64x2 t = a * constant<kSixtyFourOverLn2>(c) + constant<kExpShifter>(c);
  const F64x2 k = t - constant<kExpShifter>(c);
  return {t, k, (a - k * constant<kLn2Over64Hi>(c)) - k * constant<kLn2Over64Lo>(c)};
}
ZORN_HYPERBOLIC_INLINE QuarterExponentials quarter_exponentials(F64x2 a) {
  const ExpReduction e = reduce_exponent(a);
  const F64x2 r2 = e.r * e.r;
  const F64x2 odd = e.r + (r2 * e.r) * (splat(1.0 / 6) + r2 * splat(1.0 / 120));
  const F64x2 even = r2 * (splat(0.5) + r2 * (splat(1.0 / 24) + r2 * splat(1.0 / 720)));
  const I64x2 t_bits = simd::bits(e.t);
  const auto& row0 = data::kExp2PlusMinusOver64Double[t_bits.low32_lane0() & 63];
  const auto& row1 = data::kExp2PlusMinusOver64Double[t_bits.low32_lane1() & 63];
  const F64x2 plus0 = F64x2::load_aligned(row0), plus1 = F64x2::load_aligned(row1);
  const F64x2 minus0 = F64x2::load_aligned(row0 + 2), minus1 = F64x2::load_aligned(row1 + 2);
  const F64x2 t_hi = simd::lane0s(plus0, plus1), t_lo = simd::lane1s(plus0, plus1);
  const F64x2 u_hi = simd::lane0s(minus0, minus1), u_lo = simd::lane1s(minus0, minus1);
  const F64x2 scale = quarter_scale(t_bits);
  // 2^(-M - 2) has the biased exponent 2042 - (M + 1021).
  const F64x2 inverse_scale =
      simd::from_bits(I64x2::splat(int64_t{2042} << 52) - simd::bits(scale)) &
      simd::less(a, splat(kNegativeExponentLimit));
  return {{t_hi * scale, ((even + odd) * t_hi + t_lo) * scale},
          {u_hi * inverse_scale, ((even - odd) * u_hi + u_lo) * inverse_scale}};
}
// e^x / 4 alone, for a signed x of -707 <= x <= 709.78 (where 2^(k div 64 - 2) is normal).
ZORN_HYPERBOLIC_INLINE Sum quarter_exponential(F64x2 x) {
  const ExpReduction e = reduce_exponent(x);
  return quarter_power(e.t, exp_minus_one(e.r));
}

// sinh a = a + a^3 S(a^2) for a < 1/2: Taylor series to a^15 (the rest below 2^-64).
ZORN_HYPERBOLIC_INLINE Sum sinh_series(F64x2 a) {
  const F64x2 a2 = a * a;
  const F64x2 a4 = a2 * a2;
  const F64x2 s01 = splat(1.0 / 6) + a2 * splat(1.0 / 120);
  const F64x2 s23 = splat(1.0 / 5040) + a2 * splat(1.0 / 362880);
  const F64x2 s45 = splat(2.505210838544172e-08) + a2 * splat(1.6059043836821613e-10);
  const F64x2 s6 = splat(7.647163731819816e-13);
  const F64x2 s = (s01 + a4 * s23) + (a4 * a4) * (s45 + a4 * s6);
  return {a, (a2 * a) * s};
}

// sinh a and cosh a of a = |x| <= kOverflowBound, both halved (cosh/2 = A + B, sinh/2 =
// A - B, each summed exactly before the small parts join: A >= B, as both are rounded
// from 2^(+-k/64) scaled by 2^(+-M)); the sine from the series is not halved, since
// halving a subnormal a would lose its last bit.
struct HalfHyperbolic {
  Sum sinh_half, cosh_half;
};
ZORN_HYPERBOLIC_INLINE HalfHyperbolic half_hyperbolic(F64x2 a) {
  const QuarterExponentials e = quarter_exponentials(a);
  const TwoSum c = fast_two_sum(e.plus.hi, e.minus.hi);
  const TwoSum s = fast_two_sum(e.plus.hi, splat(0.0) - e.minus.hi);
  return {{s.sum, s.err + (e.plus.lo - e.minus.lo)}, {c.sum, c.err + (e.plus.lo + e.minus.lo)}};
}

// sinh a (kCosh false) or cosh a for 0 <= a < kRowsLimit by the addition theorem at c =
// k/32, k = round(32 a), r = a - c exact (a multiple of ulp(a), |r| <= 1/64 <= a from k =
// 1 on), cosh r - 1 = E to r^6 and sinh r - r = O to r^7 (the rests below 2^-63 of the
// result), from generated rows S = sinh c = S_hi + S_lo and C = cosh c:
// - the product form, f a = F cosh r + G sinh r with (F, G) = (C, S) for cosh and (S, C)
//   for sinh from kSinhProductLimit on: the head F_hi alone, the rest F_lo + G_hi (r + O)
//   + F_hi E below a thirtieth of the result (G/F <= coth(1/2) there, |r| <= 1/64), which
//   its one rounding adds to the result's (sinh: 0.554 ulp at most in place of 0.51 on
//   [1/2, 1], 0.54 beyond).
// - kHeadSum, sinh a below kSinhProductLimit (k <= 16), where C r reaches half the result:
//   with C = 1 + C1 (C1 = cosh c - 1 rounded), the head S_hi + r is summed exactly (S_hi >
//   1/64 >= |r| from k = 1 on, S_hi = 0 at k = 0); the rest, S_lo + C1 (r + O) + O + S_hi
//   E, stays below a thirtieth of the result and joins once. No branch near 0: row 0 is
//   the series of sinh itself.
//
// kScaled extends the product form to 0 <= a <= kOverflowBound by generated cells of 32
// rows, q = k div 32: the rows k - n_q give f(a - n_q/32), and f(a) = e^(n_q/32) f(a -
// n_q/32) to 2^-62 where n_q > 0 (then a - n_q/32 >= 21.5), e^(n_q/32) = 2^M (1 + g), |g|
// < 2^-8.5. The result is 2^M (head + (rest + y g)), y = head + rest rounded (an error of
// 2^-61 of the result at most; rest reaches a sixtieth of it there), 2^M by an integer add
// of M 2^52 to the bits (the result stays normal and finite), and the cells within the rows
// (n = 0, g = 0, M = 0) give the unscaled form's bits. The shift and the cell's row
// come by integer work on k in general registers, beside the vector chain, so that the
// rows load as early as the unscaled form's; g and 2^M share one 16-byte row per cell.
constexpr double kRowsLimit = 30.0 - 1.0 / 64;  // round(32 a) within the 960 rows
constexpr double kSinhProductLimit = 0.5;
// Its constants as 16-byte rows read through an opaque pointer (memory operands): held as
// scalars, GCC rebuilt each with a load and a broadcast in every pass.
enum RowsConstant { kRowsShifter, kE0, kE1, kE2, kO0, kO1, kO2, kRowsConstantCount };
inline constexpr simd::SplatRows<double, kRowsConstantCount> kRowsConstants({
    0x1.8p+47, 0.5, 1.0 / 24, 1.0 / 720, 1.0 / 6, 1.0 / 120, 1.0 / 5040});
// `sign` (scaled only, 0 or -0 per lane) is ORed into 2^M's bits: the one integer add then also sets the
// sign bit of the result (positive, as a >= 0), and the sign's register is free early.
template <bool kCosh, bool kScaled, bool kHeadSum = false>
ZORN_HYPERBOLIC_INLINE F64x2 hyperbolic_by_rows(F64x2 a, F64x2 sign = splat(0.0)) {
  static_assert(!kHeadSum || (!kCosh && !kScaled));
  const simd::SplatReader<double, kRowsConstantCount> c(kRowsConstants);
  // The shifter 1.5 * 2^47 has the last place 1/32: t rounds a to c = k/32, k in the low
  // bits of t, and r = a - c is exact.
  const F64x2 t = a + c[kRowsShifter];
  const F64x2 r = a - (t - c[kRowsShifter]);
  const simd::Words w = simd::words_through_memory(simd::bits(t).v);
  uint32_t k0 = w.w[0], k1 = w.w[2];
  if constexpr (kScaled) {
    k0 -= static_cast<uint32_t>(data::kSinhShiftDouble[k0 >> 5]);
    k1 -= static_cast<uint32_t>(data::kSinhShiftDouble[k1 >> 5]);
  }
  const auto& rows = kCosh ? data::kCoshRowsDouble : data::kSinhRowsDouble;
  const F64x2 row0 = F64x2::load_aligned(rows[k0]);
  const F64x2 row1 = F64x2::load_aligned(rows[k1]);
  // G_hi (the head of the other function's row), or the head sum's C1.
  const F64x2 slope = kHeadSum ? load_lanes(data::kCoshMinusOneDouble, k0, k1)
                               : load_heads(kCosh ? data::kSinhRowsDouble : data::kCoshRowsDouble,
                                            k0, k1);
  const F64x2 f_hi = simd::lane0s(row0, row1), f_lo = simd::lane1s(row0, row1);
  const F64x2 r2 = r * r;
  const F64x2 even = r2 * (c[kE0] + r2 * (c[kE1] + r2 * c[kE2]));
  const F64x2 odd = (r2 * r) * (c[kO0] + r2 * (c[kO1] + r2 * c[kO2]));
  F64x2 head, rest;
  if constexpr (kHeadSum) {
    head = f_hi + r;
    rest = ((f_hi - head) + r + f_lo) + (slope * (r + odd) + (odd + f_hi * even));
  } else {
    head = f_hi;
    rest = f_lo + (slope * (r + odd) + f_hi * even);
  }
  if constexpr (kScaled) {
    const F64x2 cell0 = F64x2::load_aligned(data::kSinhFactorDouble[w.w[0] >> 5]);
    const F64x2 cell1 = F64x2::load_aligned(data::kSinhFactorDouble[w.w[2] >> 5]);
    const F64x2 g = simd::lane0s(cell0, cell1);
    const F64x2 exponent = simd::lane1s(cell0, cell1) | sign;
    return simd::from_bits(simd::bits(head + (rest + (head + rest) * g)) + simd::bits(exponent));
  }
  return head + rest;
}

// ln(hi + lo) for a positive normal hi and |lo| at most about an ulp of hi, already
// ordered (hi = fl(hi + lo)): lo 2^-k joins the mantissa of hi = 2^k m (2^-k from the
// exponent field; 0 at k = 1023, where lo is far below the last place anyway).
ZORN_HYPERBOLIC_INLINE F64x2 log_of_ordered_sum(F64x2 hi, F64x2 lo) {
  const F64x2 inv_scale = simd::from_bits(I64x2::splat(int64_t{2046} << 52) -
                                          (simd::bits(hi) & I64x2::splat(0x7FF0000000000000)));
  const LogParts l = log_parts<true>(hi, 0, lo * inv_scale);
  return l.head + l.tail;
}

// ln(v.hi + v.lo), the same once the pair is ordered.
ZORN_HYPERBOLIC_INLINE F64x2 log_of_sum(Sum v) {
  const TwoSum n = fast_two_sum(v.hi, v.lo);
  return log_of_ordered_sum(n.sum, n.err);
}

// Above this, sqrt(x^2 + 1) is |x| to below 2^-57 and the inverse sine is ln(2|x|); the
// sums are held there so that x^2 stays finite.
constexpr double kLargeArgument = 0x1p28;
// Inverse hyperbolic arguments above this take the callout (2|x| must stay finite).
constexpr double kLargestFastArgument = 0x1p1000;

// ln(m + sqrt(q)) for m in [0, kLargeArgument] and q = q_hi + q_lo = m^2 + 1 exactly
// (Asinh's; Acosh has its own in acosh_core_double.h). The root's rounding error comes
// back from the remainder q - s^2 over 2s, with s = h + d cut after its leading 26 bits:
// q_hi - h^2 is exact (h^2 has 52 bits and lies within 2^-25 of q_hi: Sterbenz's lemma),
// and so are 2hd (53 bits) and their difference (a multiple of 2^28 ulp(s)^2 below 2^53 of
// them), so that only d^2 and q_lo join with a rounding, far below the remainder. Kahan's
// fast two-sum carries s + m, the larger operand (s > m) first.
ZORN_HYPERBOLIC_INLINE F64x2 log_of_root_sum(F64x2 x, F64x2 m, TwoSum q) {
  const F64x2 s = sqrt(q.sum);
  const Split h = truncated_split(s);
  const F64x2 rem = (((q.sum - h.hi * h.hi) - (h.hi + h.hi) * h.lo) - h.lo * h.lo) + q.err;
  const F64x2 s_lo = rem / simd::max(s + s, splat(0x1p-1000));
  const TwoSum v = fast_two_sum(s, m);
  // x/m: exactly 1 below kLargeArgument, where m = x (no lane's bits change); above, m =
  // 2^28, m + s rounds to 2^29 and the sum scaled by x/m is 2x (1 -+ 2^-58): ln(2x) to
  // 2^-58, as close as the exact result (1/(4x^2) from ln(2x), at most 2^-58). A product
  // and a max in place of a comparison and two selects.
  const F64x2 scale = simd::max(x * splat(1.0 / kLargeArgument), splat(1.0));
  return log_of_ordered_sum(v.sum * scale, (v.err + s_lo) * scale);
}

// m^2 as an exact sum, m at most 2^28.
ZORN_HYPERBOLIC_INLINE TwoSum exact_square(F64x2 m) {
  const Split split = truncated_split(m);
  return two_product(split, split);
}

// asinh a = ln(a + sqrt(a^2 + 1)) for 0 <= a <= kLargestFastArgument; a^2 + 1 exactly as
// a fast two-sum of the exact square and 1 (the larger first); below 2^-26, asinh a
// rounds to a itself.
ZORN_HYPERBOLIC_INLINE F64x2 asinh_of_magnitude(F64x2 a) {
  const F64x2 m = min(a, splat(kLargeArgument));
  const TwoSum sq = exact_square(m);
  const TwoSum q = fast_two_sum(simd::max(sq.sum, splat(1.0)), simd::min(sq.sum, splat(1.0)));
  const F64x2 y = log_of_root_sum(a, m, {q.sum, q.err + sq.err});
  return simd::select(simd::less(a, splat(0x1p-26)), a, y);
}

// atanh a = ln(1 + y) / 2 with y = 2a / (1 - a) for 0 <= a < 1: 1 - a as a fast two-sum
// (d + d_err exactly), y = 2a / d from the reciprocal and its remainder
// (2a - q d - q d_err) / d with q d exact by Dekker's product; then 1 + y as a fast
// two-sum, the larger operand first. Near 0 the remainder is of the order of a^2, so the
// reciprocal of d alone (not of d + d_err) suffices for it.
ZORN_HYPERBOLIC_INLINE F64x2 atanh_of_magnitude(F64x2 a) {
  const TwoSum d = fast_two_sum(splat(1.0), splat(0.0) - a);
  const F64x2 inv = splat(1.0) / d.sum;
  const F64x2 a2 = a + a;
  const F64x2 q = a2 * inv;
  const TwoSum qd = two_product(truncated_split(q), truncated_split(d.sum));
  const F64x2 y_lo = (((a2 - qd.sum) - qd.err) - q * d.err) * inv;
  const TwoSum u = fast_two_sum(simd::max(q, splat(1.0)), simd::min(q, splat(1.0)));
  return log_of_ordered_sum(u.sum, u.err + y_lo) * splat(0.5);
}

}  // namespace zorn::tess::hyperbolic
