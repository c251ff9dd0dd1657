// Sine of two lanes from a reduction by multiples of pi/256, shared by the double
// precision Sin, Cos, Tan and SinCos kernels, their callouts and the pi-scaled and degree
// functions.
//
// An angle a is written k pi/256 + r with k the nearest integer to a 256/pi, held in the
// low mantissa bits of t = a 256/pi + 1.5 2^52, and |r| <= pi/512 carried as r + r_lo.
// Then sin a = sin(j pi/256 + r) with j = k mod 512. Angles of the last three quarters of
// the period are folded onto the first, sin(pi + b) = -sin b and sin(pi - b) = sin b, so
// that the table row of j in 0..128 has cos(j pi/256) in [0, 1]: the sum
//   sin a = s_hi + r + (s_hi (cos r - 1) + s_lo + (cos(j pi/256) - 1) sin r + sin r - r)
// then never cancels beyond what the result's own size allows.
#pragma once

#include <cstdint>

#include "tess_kernels/frame/constant_source.h"
#include "tess_kernels/frame/simd.h"
#include "tess_kernels/frame/two_sum_double.h"
#include "tess_kernels/trig/trig_tables.h"

namespace zorn::tess::sin_core {

using simd::F64x2;
using simd::I64x2;

constexpr double kShifter = 6755399441055744.0;  // 1.5 * 2^52
constexpr double kTwoFiftySixOverPi = 81.48733086305042;
// pi/256 in three parts; the first two have trailing zero bits, so that k times the first
// is exact for k <= 5340354 and k times the second for k < 2^21 (larger k are split).
constexpr double kPiOver256Hi = 0.012271846302610356;
constexpr double kPiOver256Mid = 4.747734770549973e-13;
constexpr double kPiOver256Lo = 1.5798955068718364e-23;
constexpr int64_t kSignBit = INT64_MIN;

// An angle k pi/256 + hi + lo with k in the low bits of t_bits (two's complement mod 2^9).
struct ReducedAngle {
  F64x2 hi, lo;
  I64x2 t_bits;
};

// a - k pi/256 for k the nearest integer to a 256/pi, |a| <= 65536.00349206588. k is split
// as k_hi + k_lo, k_lo = k mod 4, so that both products with the middle part are exact:
// k_hi is t with its two lowest bits cleared, less the shifter (t stays in [2^52, 2^53)
// for either sign of k, so the bits hold k in two's complement). The three subtractions
// keep their rounding errors in lo, each as Dekker's fast two-sum gives it: exact for
// u - v when |u| >= |v| and also when u is a multiple of ulp(v) (then u - s and the
// error are multiples of ulp(v), at most 2^53 ulp(v) in size). Here
// u is p, a multiple of 2^-60 (the last bit of a >= pi/512 for k != 0, and the last bit
// of pi/256 hi is 2^-37), then differences of multiples of 2^-70 (k_hi times the middle
// part, whose last bit is 2^-72); each v is below 2^-8 (ulp 2^-61 or less).
inline TwoSum exact_difference(F64x2 u, F64x2 v) {
  const F64x2 s = u - v;
  return {s, (u - s) - v};
}
inline ReducedAngle reduce_pi_over_256(F64x2 a) {
  const F64x2 shifter = F64x2::splat(kShifter);
  const F64x2 t = a * F64x2::splat(kTwoFiftySixOverPi) + shifter;
  const F64x2 k = t - shifter;
  const I64x2 t_bits = simd::bits(t);
  const F64x2 k_hi = simd::from_bits(t_bits & I64x2::splat(~int64_t{3})) - shifter;
  const F64x2 k_lo = k - k_hi;
  const F64x2 mid = F64x2::splat(kPiOver256Mid);
  const F64x2 p = a - k * F64x2::splat(kPiOver256Hi);
  const TwoSum s1 = exact_difference(p, k_hi * mid);
  const TwoSum s2 = exact_difference(s1.sum, k_lo * mid);
  const TwoSum s3 = exact_difference(s2.sum, k * F64x2::splat(kPiOver256Lo));
  return {s3.sum, (s1.err + s2.err) + s3.err, t_bits};
}

// a - m step for m the nearest integer to a / step, the step in three parts whose first
// has trailing zero bits, so that p = a - m step_hi is exact over the caller's range (the
// callers state it); p - m step_mid keeps its rounding error as in Dekker's fast two-sum,
// exact also where |p| is the smaller term (p has no bits below those of the difference),
// and m step_lo joins that error. m is in the low bits of t_bits, as above.
// The constants come from the source k (constant_source.h).
// remainder_three_part is the step from m (its words as the caller holds them) on.
template <double kStepHi, double kStepMid, double kStepLo, class K = simd::SplatConstants>
inline ReducedAngle remainder_three_part(F64x2 a, F64x2 m, I64x2 words, const K& k = {}) {
  using simd::constant;
  const F64x2 p = a - m * constant<kStepHi>(k);
  const F64x2 mid = m * constant<kStepMid>(k);
  const F64x2 s = p - mid;
  return {s, ((p - s) - mid) - m * constant<kStepLo>(k), words};
}
template <double kInverseStep, double kStepHi, double kStepMid, double kStepLo,
          class K = simd::SplatConstants>
inline ReducedAngle reduce_three_part(F64x2 a, const K& k = {}) {
  using simd::constant;
  const F64x2 shifter = constant<kShifter>(k);
  const F64x2 t = a * constant<kInverseStep>(k) + shifter;
  return remainder_three_part<kStepHi, kStepMid, kStepLo>(a, t - shifter, simd::bits(t), k);
}

// The series of the reduced angle r + r_lo, shared by the sine and the cosine of one
// reduction: sin r - r (with r_lo) is odd in r, cos r - 1 even. Every coefficient is an
// addend (c + r2 (-d) has the bits of c - r2 d): a constant subtrahend needs a register
// copy of the constant, which the compiler built in the loop by a scalar load and a shuffle.
struct RemainderSeries {
  F64x2 r, sin_tail, cos_m1;
};
inline RemainderSeries remainder_series(const ReducedAngle& angle) {
  const F64x2 r = angle.hi;
  const F64x2 r2 = r * r;
  return {r,
          angle.lo + (r * r2) * (F64x2::splat(-0.1666666666665455) +
                                 r2 * F64x2::splat(0.008333322932609515)),
          r2 * (F64x2::splat(-0.5) + r2 * (F64x2::splat(0.041666666666651524) +
                                           r2 * F64x2::splat(-0.0013888875887985619)))};
}

// Rows (word + offset) mod kRows of a table of four doubles a row, for the two lanes
// whose row numbers are the low words of t_bits (words 0 and 4), one register per
// column. The byte offsets are formed in general registers: the loops around these loads
// wait on the vector ports, and the integer ports are idle. For the same reason the words
// reach them through memory (a store and two loads) rather than by extraction (movd and
// pextrw, two vector operations a pair): d Sin 1.06x and d Cos 1.04x faster. d SinCos,
// whose two rows share the words, extracts them: 1.02x faster than through memory.
struct RowColumns {
  F64x2 c0, c1, c2, c3;
};
enum class RowWords { kThroughMemory, kExtracted };
template <uint32_t kRows, RowWords W = RowWords::kThroughMemory>
inline RowColumns row_columns(const double (*table)[4], const I64x2& t_bits, uint32_t offset) {
  static_assert((kRows & (kRows - 1)) == 0, "rows wrap by a mask");
  const auto* base = reinterpret_cast<const char*>(table);
  const auto row = [&](int word) {
    const uint32_t j = static_cast<uint32_t>(word) + offset;
    return reinterpret_cast<const double*>(base + ((j & (kRows - 1)) << 5));
  };
  const double *row0, *row1;
  if constexpr (W == RowWords::kExtracted) {
    row0 = row(_mm_cvtsi128_si32(t_bits.v));
    row1 = row(_mm_extract_epi16(t_bits.v, 4));
  } else {
    const simd::Words w = simd::words_through_memory(t_bits.v);
    row0 = row(static_cast<int>(w.w[0]));
    row1 = row(static_cast<int>(w.w[2]));
  }
  const __m128d a0 = _mm_load_pd(row0), a1 = _mm_load_pd(row1);
  const __m128d b0 = _mm_load_pd(row0 + 2), b1 = _mm_load_pd(row1 + 2);
  return {{_mm_unpacklo_pd(a0, a1)},
          {_mm_unpackhi_pd(a0, a1)},
          {_mm_unpacklo_pd(b0, b1)},
          {_mm_unpackhi_pd(b0, b1)}};
}

// sin(k pi/256 + r) = hi + lo, |lo| below 2^-6 |hi| (not normalised); `quarter_turns`
// is added to k in units of pi/2 (1 gives the cosine).
struct SinParts {
  F64x2 hi, lo;
};
inline SinParts sin_parts(const ReducedAngle& angle, const RemainderSeries& series,
                          int64_t quarter_turns) {
  // Row j = k mod 512 of the whole period holds the values of the first quarter with
  // their signs: lanes in (pi/2, pi) mod pi are reflected (angle -r, the row of 256 - j
  // mod 256) and sin(pi + b) = -sin b negates the sine parts, the row's sign mask doing
  // both to r. The byte offsets come from the low words of t in general registers: the
  // loop waits on the vector ports.
  const RowColumns rows = row_columns<512>(trig_tables::kSinCosDouble, angle.t_bits,
                                           static_cast<uint32_t>(128 * quarter_turns));
  const F64x2 cm1 = rows.c0, r_sign = rows.c1, s_hi = rows.c2, s_lo = rows.c3;
  const F64x2 r = series.r ^ r_sign;
  const F64x2 sin_tail = series.sin_tail ^ r_sign;

  // Dekker's fast two-sum is exact here: s_hi is 0 (rows 0 and 256) or at least
  // sin(pi/256) in size, above the |r| <= pi/512 of every reduction onto this table, so
  // its exponent is the larger.
  const TwoSum head = fast_two_sum(s_hi, r);
  const F64x2 small =
      (((s_hi * series.cos_m1 + s_lo) + cm1 * sin_tail) + sin_tail) + (head.err + cm1 * r);
  return {head.sum, small};
}

inline F64x2 value(const SinParts& p) { return p.hi + p.lo; }

// (s.hi + s.lo) / (c.hi + c.lo): the rounded quotient cut to a 26-bit q_hi, whose product
// with c.hi cut to 26 bits is exact, so that the residual s - q_hi c is
//   (s.hi - q_hi c_hi) + s.lo - q_hi (c.hi - c_hi + c.lo)
// with the first difference exact (its terms agree to within a factor of two); then
// q_hi + residual / c, one division in all. |s.lo| and |c.lo| stay below 2^-2 of their
// leading parts.
inline F64x2 quotient(const SinParts& s, const SinParts& c) {
  const F64x2 keep26 = simd::from_bits(I64x2::splat(~int64_t{0} << 27));
  const F64x2 inverse = F64x2::splat(1.0) / (c.hi + c.lo);
  const F64x2 q_hi = ((s.hi + s.lo) * inverse) & keep26;
  const F64x2 c_hi = c.hi & keep26;
  const F64x2 c_lo = (c.hi - c_hi) + c.lo;
  const F64x2 residual = ((s.hi - q_hi * c_hi) + s.lo) - q_hi * c_lo;
  return q_hi + residual * inverse;
}

enum class Fn { kSin, kCos, kTan };

// Whether a reduced angle can give an exact zero: angles in half turns or degrees can (at
// their multiples of a quarter turn); a radian angle is zero only for a = +0, whose parts
// are all +0 and sum to +0 as they stand.
enum class Zeros { kPossible, kOnlyAtZero };

// sin or cos of a = |x| reduced by multiples of pi/256; the sine takes the sign of x.
// Exact zeros come out as +0 (before the sign of x). The tangent takes its own reduction
// (quarter_turn_double.h).
template <Fn F, Zeros Z = Zeros::kPossible>
F64x2 evaluate(const ReducedAngle& angle, F64x2 x) {
  static_assert(F != Fn::kTan);
  const RemainderSeries series = remainder_series(angle);
  const auto plus_zero = [](F64x2 v) {
    return Z == Zeros::kPossible ? v + F64x2::splat(0.0) : v;
  };
  if constexpr (F == Fn::kCos) {
    return plus_zero(value(sin_parts(angle, series, 1)));
  } else {
    const F64x2 y = plus_zero(value(sin_parts(angle, series, 0)));
    return simd::from_bits(simd::bits(y) ^ (simd::bits(x) & I64x2::splat(kSignBit)));
  }
}

// f(x) for |x| <= kFastPathLimit.
constexpr double kFastPathLimit = 65536.00349206588;  // k (pi/256 hi) exact up to here
template <Fn F>
F64x2 fast_lanes(F64x2 x) {
  return evaluate<F, Zeros::kOnlyAtZero>(reduce_pi_over_256(simd::abs(x)), x);
}

}  // namespace zorn::tess::sin_core
