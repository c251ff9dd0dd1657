// Two-lane cores of the error function kernels (Erf, Erfc, Erfcx, CdfNorm in double, and
// the single precision kernels, which compute in double and round once).
//
// erf on 0 <= a <= 6 and erfc on 0 <= a <= 9 come from rows about the grid points
// r = k/64 (erf) and k/32 (erfc): each row is a polynomial in d = a - r (|d| at most half
// a step) with its constant term as head and remainder, so that the result is rounded
// once from a head and a small rest.
// Past erfc's rows, erfc(a) = e^(-a^2) erfcx(a):
// - erfcx(a) comes from one of 80 polynomial rows in a - left (rows chosen by the top
//   bits of a + 1, so that each spans a sixteenth of a binade of a + 1), its constant term
//   carried as head and remainder so that erfcx keeps a few bits beyond double;
// - e^(-a^2) from the exponential's reduction, 2^(k/64) e^r, with a^2 split exactly
//   (Dekker's product) and the low part of the square folded into r;
// - the product of the two heads is exact (Dekker), so that erfc is rounded once.
// erfc(a) for a up to 26.5 (normal results), erfcx(a) for a below 30.5 from the rows
// and from a erfcx(a) = g(1/a^2) beyond.
#pragma once

#include <cstdint>

#include "tess_kernels/exp_log/scale_double.h"
#include "tess_kernels/frame/polynomial_double.h"
#include "tess_kernels/frame/simd_double.h"
#include "tess_kernels/frame/two_sum_double.h"

namespace zorn::tess::erf_core {

#include "tess_kernels/special/data/erf_tables.inc"

namespace exp_data {
#include "tess_kernels/exp_log/data/exp_tables.inc"
}  // namespace exp_data

using simd::F64x2;
using simd::I64x2;

inline F64x2 splat(double v) { return F64x2::splat(v); }

constexpr double kTwoOverSqrtPi = 1.1283791670955126;
// erfc(a) stays normal up to about 26.5432; the rows reach a = 31 (a + 1 = 32 would
// index past them), the asymptotic form takes over at 30.5.
constexpr double kTailLimit = 26.5;
constexpr double kAsymptoticFrom = 30.5;

// value = 2^(k div 64) (hi + lo), where k is held in the low bits of `shifted`.
struct ScaledPair {
  F64x2 hi, lo, shifted;
};

inline F64x2 scale_of(const ScaledPair& p) { return scale_from_shifted_integer(simd::bits(p.shifted)); }
// k div 64 of lane 0 (the callouts' scaling of results outside the normal range).
inline int64_t scale_exponent(const ScaledPair& p) {
  constexpr double kShifter = 6755399441055744.0;
  return static_cast<int64_t>((p.shifted - splat(kShifter)).lane0()) >> 6;
}

// e^(y + yl) for |y| <= 745, |yl| below an ulp of y: k the nearest integer to 64 y / ln 2,
// r = y - k ln2/64 + yl (k ln2/64's head is exact and its difference with y too),
// 2^(j/64) = hi + lo from the table, e^r - 1 by the exponential's polynomial.
inline ScaledPair exp_pair(F64x2 y, F64x2 yl) {
  const F64x2 shifter = splat(6755399441055744.0);  // 1.5 * 2^52
  const F64x2 t = y * splat(92.33248261689366) + shifter;
  const F64x2 k = t - shifter;
  const F64x2 r = ((y - k * splat(0.010830424696223417)) - k * splat(2.572804622327669e-14)) + yl;
  const F64x2 p =
      r + (r * r) * (splat(0.4999999999994775) +
                     r * (splat(0.1666666666667797) +
                          r * (splat(0.04166672368662385) + r * splat(0.00833333416441411))));
  const I64x2 t_bits = simd::bits(t);
  const F64x2 row0 = F64x2::load_aligned(exp_data::kExp2Over64Absolute[t_bits.low32_lane0() & 63]);
  const F64x2 row1 = F64x2::load_aligned(exp_data::kExp2Over64Absolute[t_bits.low32_lane1() & 63]);
  const F64x2 hi = simd::lane0s(row0, row1);
  return {hi, p * hi + simd::lane1s(row0, row1), t};
}

struct Pair {
  F64x2 hi, lo;
};

// The columns of two table rows (lane 0's and lane 1's), read as 16-byte pairs that the
// unpacks turn into coefficient columns.
template <int kWidth>
[[gnu::always_inline]] inline void row_columns(const double* r0, const double* r1, F64x2 (&c)[kWidth]) {
  for (int k = 0; k < kWidth; k += 2) {
    const F64x2 u = F64x2::load_aligned(r0 + k), v = F64x2::load_aligned(r1 + k);
    c[k] = simd::lane0s(u, v);
    c[k + 1] = simd::lane1s(u, v);
  }
}

// erfcx(a) as hi + lo from the rows, 0 <= a < 31 (not NaN).
template <int kWidth>
inline Pair erfcx_rows(F64x2 a, const double (*rows)[kWidth]) {
  static_assert(kWidth % 2 == 0 && kWidth >= 6);
  const I64x2 top = simd::bits(a + splat(1.0)) >> 48;
  F64x2 c[kWidth];
  row_columns(rows[top.low32_lane0() - (1023 << 4)], rows[top.low32_lane1() - (1023 << 4)], c);
  const F64x2 d = a - c[0];  // exact: a lies in [left, 2 left] or left = 0
  const F64x2 q = estrin_of<kWidth - 3>(d, [&](size_t i) { return c[i + 3]; });
  const TwoSum f = fast_two_sum(c[1], d * q);
  return {f.sum, f.err + c[2]};
}

// The columns of the row about r = k/kPerUnit nearest to a >= 0 (k within the table), and
// d = a - r, which is exact, |d| <= 1/(2 kPerUnit). a + 1.5 * 2^52 / kPerUnit, whose ulp
// is 1/kPerUnit, rounds a to r and holds k in its low mantissa bits.
// The shifter may come in as a vector (a memory operand of a loop's constant rows).
template <int kPerUnit>
constexpr double kRowShifter = 6755399441055744.0 / kPerUnit;
// The two lanes' rows and d.
struct CentredRows {
  const double* row0;
  const double* row1;
  F64x2 d;
};
template <int kWidth>
[[gnu::always_inline]] inline CentredRows centred_rows(F64x2 a, F64x2 shifter,
                                                       const double (*rows)[kWidth]) {
  const F64x2 t = a + shifter;
  const I64x2 k = simd::bits(t);
  return {rows[k.low32_lane0()], rows[k.low32_lane1()], a - (t - shifter)};
}
template <int kWidth>
[[gnu::always_inline]] inline F64x2 centred_row(F64x2 a, F64x2 shifter,
                                                const double (*rows)[kWidth],
                                                F64x2 (&c)[kWidth]) {
  const CentredRows r = centred_rows(a, shifter, rows);
  row_columns(r.row0, r.row1, c);
  return r.d;
}
template <int kPerUnit, int kWidth>
[[gnu::always_inline]] inline F64x2 centred_row(F64x2 a, const double (*rows)[kWidth],
                                                F64x2 (&c)[kWidth]) {
  return centred_row(a, splat(kRowShifter<kPerUnit>), rows, c);
}

// erf(a) for 1/16 <= a <= 6 (not NaN; any value below) from the row {c0 hi, c0 lo,
// c1 - 1, c2, ..., c6} in powers of d (|d| <= 1/128): erf = c0 + d + d q with
// q = (c1 - 1) + c2 d + ... by Estrin's scheme. c0 + d is exact as two parts (Fast2Sum,
// c0 >= erf(7/128) > 1/128), and d q, below 0.007 of erf (erf's slope is at most
// 2/sqrt(pi), whose excess over 1 is q's), is added to their rest, so that erf is rounded
// once from parts good to about 2^-60. (Below 1/16 the rows' absolute error, 2^-60, is too
// large against erf.)
[[gnu::always_inline]] inline F64x2 erf_rows(F64x2 a, F64x2 shifter = splat(kRowShifter<64>)) {
  F64x2 c[8];
  const F64x2 d = centred_row(a, shifter, kErfRowsDouble, c);
  const F64x2 q = estrin_of<6>(d, [&](size_t i) { return c[i + 2]; });
  const TwoSum f = fast_two_sum(c[0], d);
  return f.sum + ((f.err + c[1]) + d * q);
}

// One lane's (even, odd) sums of the row's aligned pairs (c4, c5) .. (c12, c13) in powers
// of s = d^2 (the lane's s and s^2 in both halves): c4 + c6 s + ... and c5 + c7 s + ....
// Read as the row's 16-byte pairs, they need no unpacks into columns, and the loop keeps
// two partial sums per lane in registers instead of ten columns.
[[gnu::always_inline]] inline F64x2 erfc_pair_sums(const double* row, F64x2 s, F64x2 s2) {
  const auto pair = [&](int j) { return F64x2::load_aligned(row + 4 + 2 * j); };
  return (pair(0) + pair(1) * s) + s2 * ((pair(2) + pair(3) * s) + s2 * pair(4));
}

// erfc(a + al) for 0 <= a <= 9 (not NaN), al below an ulp of a (zero unless kWithLow),
// as hi + lo from the row {c0 hi, c0 lo, c1 hi, c1 lo, c2, ...} in powers of d = a - r,
// c1 hi being c1's leading 6 bits. The first-order term reaches a quarter of erfc at the
// end of the rows (erfc falls by e^(-2 r d)), too much to round: d c1 hi is exact from
// a = 1/2 on, where d = a - r has at most 47 bits (below, that term is under 0.04 of erfc
// and its one rounding negligible), and goes into the two-sum with c0's head, so that
// only terms below 0.03 of erfc are rounded. With al: d + al = dh + dl exactly, dh's
// 26-bit head (Veltkamp's split) times c1 hi exact, the rest of (dh + dl) c1 hi rounded
// (dl is below 2^-59 and the slope changes by a quarter across a row, so the higher
// terms take dh alone).
constexpr double kErfcRowsEnd = 9.0;
template <bool kWithLow>
[[gnu::always_inline]] inline Pair erfc_rows(F64x2 a, F64x2 al) {
  static_assert(sizeof(kErfcRowsDouble[0]) == 14 * sizeof(double));
  const CentredRows rows = centred_rows(a, splat(kRowShifter<32>), kErfcRowsDouble);
  F64x2 c[4], d = rows.d, head, rest{};
  row_columns(rows.row0, rows.row1, c);
  if constexpr (kWithLow) {
    const TwoSum s = two_sum(d, al);
    const Split ds = veltkamp_split(s.sum);
    d = s.sum;
    head = ds.hi * c[2];
    rest = (ds.lo + s.err) * c[2];
  } else {
    head = d * c[2];
  }
  // q = c3 + c4 d + ... + c13 d^10 = c3 + d (even + odd d), the sums per lane.
  const F64x2 s = d * d, s2 = s * s;
  const F64x2 v0 = erfc_pair_sums(rows.row0, simd::lane0s(s, s), simd::lane0s(s2, s2));
  const F64x2 v1 = erfc_pair_sums(rows.row1, simd::lane1s(s, s), simd::lane1s(s2, s2));
  const F64x2 q = c[3] + d * (simd::lane0s(v0, v1) + d * simd::lane1s(v0, v1));
  const TwoSum f = fast_two_sum(c[0], head);
  return {f.sum, f.err + (c[1] + (rest + d * q))};
}

// erfc(a + al) = 2^m (hi + lo) for 0 <= a <= 26.5, al below an ulp of a (zero unless
// kWithLow): the exponent takes a^2 + 2 a al, erfcx its first-order change
// al erfcx'(a) = al (2 a erfcx(a) - 2/sqrt(pi)).
template <bool kWithLow>
inline ScaledPair erfc_scaled(F64x2 a, F64x2 al) {
  const TwoSum square = two_product(a, a);
  F64x2 square_lo = square.err;
  if constexpr (kWithLow) square_lo = square_lo + splat(2.0) * a * al;
  const ScaledPair e = exp_pair(splat(0.0) - square.sum, splat(0.0) - square_lo);
  Pair f = erfcx_rows(a, kErfcxRowsDouble);
  if constexpr (kWithLow) f.lo = f.lo + al * (splat(2.0) * a * f.hi - splat(kTwoOverSqrtPi));
  const TwoSum head = two_product(e.hi, f.hi);
  return {head.sum, head.err + (e.hi * f.lo + e.lo * f.hi), e.shifted};
}

// The same scaled into two parts, for results in the normal range.
inline Pair scaled_parts(const ScaledPair& p) {
  const F64x2 s = scale_of(p);
  return {p.hi * s, p.lo * s};
}

// c - (hi + lo) for c >= hi >= 0, rounded once: c - hi is carried exactly.
inline F64x2 subtract_from(double c, const Pair& r) {
  const TwoSum d = fast_two_sum(splat(c), splat(0.0) - r.hi);
  return d.sum + (d.err - r.lo);
}

// erf(x) = x + x P(x^2) for small |x| (P = erf(x)/x - 1, whose value 0.128 keeps the
// rounding of x P small against x): x P(0) hi is taken exactly (P(0) split as head and
// remainder, Dekker's product), so that only the part of x P below an ulp of the result
// rounds before the final sum, whose two parts the _parts form returns.
template <int kDegree>
inline TwoSum erf_small_parts(F64x2 x, const double (&c)[kDegree + 2]) {
  const F64x2 s = x * x;
  F64x2 q = splat(c[kDegree + 1]);
  for (int k = kDegree; k >= 2; --k) q = q * s + splat(c[k]);
  const TwoSum head = two_product(x, splat(c[0]));
  const TwoSum lead = fast_two_sum(x, head.sum);
  return {lead.sum, lead.err + (head.err + x * (splat(c[1]) + s * q))};
}
template <int kDegree>
inline F64x2 erf_small_split(F64x2 x, const double (&c)[kDegree + 2]) {
  const TwoSum parts = erf_small_parts<kDegree>(x, c);
  return parts.sum + parts.err;
}

// a erfcx(a) = g(w), w = 1/a^2, for a >= 30.5 (up to 2^995, where the split of a holds):
// 1/a is corrected by its residual 1 - a u (exact through Dekker's product), so that
// erfcx(a) = u (1 + delta) (gh + gl) is rounded once.
inline Pair erfcx_asymptotic(F64x2 a) {
  const F64x2 u = splat(1.0) / a;
  const TwoSum au = two_product(a, u);
  const F64x2 delta = (splat(1.0) - au.sum) - au.err;
  const F64x2 w = u * u;
  const double* g = kErfcxTailDouble;
  F64x2 q = splat(g[7]);
  for (int k = 6; k >= 2; --k) q = q * w + splat(g[k]);
  const TwoSum head = fast_two_sum(splat(g[0]), w * q);
  const F64x2 gl = head.err + splat(g[1]);
  const TwoSum lead = two_product(u, head.sum);
  return {lead.sum, lead.err + u * (gl + head.sum * delta)};
}

}  // namespace zorn::tess::erf_core
