// The arctangent and the two-argument arctangent in single precision arithmetic on four
// lanes, and their quotients by pi.
//
// atan a = atan c + atan u, u = (a - c)/(1 + a c), with c = 0 below 2^-7 and otherwise
// a rounded to a float with 4 bits after the point (a clamped to 2^26, whose arctangent
// already rounds to that of infinity): a - c is exact and |u| <= 2^-6, so atan u - u
// takes one term (u^3 times a fitted constant) and the roundings of 1 + a c and of the
// quotient (about 1.5 ulp of u) move the result by less than 0.05 ulp. atan c comes
// from a generated table as a head and a remainder; u, the series and the remainder are
// summed first (where c = 0 that sum is the result; elsewhere it is at most 2^-5 of the
// head, so its rounding weighs under 1/32 ulp) and one more rounding adds the head:
// 0.547 ulp over every float. NaN runs through the arithmetic, the table index is
// formed from a clamped copy of a that is never NaN.
#pragma once

#include <bit>
#include <cstdint>

#include "tess_kernels/exp_log/double_cores_single.h"
#include "tess_kernels/frame/simd.h"
#include "tess_kernels/inv_trig_hyp/inverse_trig_tables.h"

namespace zorn::tess::atan_float {

namespace data {
#include "tess_kernels/inv_trig_hyp/data/float_tables.inc"
}  // namespace data

using simd::F32x4;
using simd::I32x4;

// The centre of a (clamped to at most 2^26; NaN gives c = 0) and its table row. Below the
// lowest centre the argument is cleared first, so that the rounding leaves c = 0 and a
// shifted row of 0, which the saturating subtraction keeps at row 0.
struct Centre {
  F32x4 c;
  I32x4 row;
};
ZORN_FAST_INLINE Centre centre(F32x4 clamped) {
  constexpr int kDropped = 23 - data::kAtanCentreBits;
  constexpr int32_t kRowBefore = (std::bit_cast<int32_t>(data::kAtanLowestCentre) >> kDropped) - 1;
  static_assert(kRowBefore > 0 && kRowBefore < 0x8000);
  const F32x4 central = simd::less(F32x4::splat(data::kAtanLowestCentre), clamped);  // not NaN
  const I32x4 rounded =
      (simd::bits(central) & simd::bits(clamped)) + I32x4::splat(1 << (kDropped - 1));
  const I32x4 shifted = {_mm_srli_epi32(rounded.v, kDropped)};
  return {simd::from_bits(rounded & I32x4::splat(-(1 << kDropped))),
          {_mm_subs_epu16(shifted.v, I32x4::splat(kRowBefore).v)}};
}
ZORN_FAST_INLINE F32x4 clamp(F32x4 a) {
  return simd::min(F32x4::splat(data::kAtanHighestCentre), a);  // NaN stays
}

// The reduced argument u = (a - c)/(1 + a c) of a >= 0 (NaN included) and c's row.
struct Reduction {
  F32x4 u;
  I32x4 row;
};
ZORN_FAST_INLINE Reduction reduce(F32x4 a) {
  const F32x4 clamped = clamp(a);
  const Centre k = centre(clamped);
  return {(clamped - k.c) / (F32x4::splat(1.0f) + clamped * k.c), k.row};
}

// atan u - u = u z P, z = u^2, P one constant for |u| <= 2^-6 (relative error 2^-27.3).
constexpr float kSeries = data::kAtanPolynomialFloat[0];
ZORN_FAST_INLINE F32x4 series_rest(F32x4 u) { return (u * F32x4::splat(kSeries)) * (u * u); }

// head + small + (rest_head + rest_small) rounded once, head + small by Fast2Sum.
ZORN_FAST_INLINE F32x4 sum_rounded_once(F32x4 head, F32x4 small, F32x4 rest) {
  const F32x4 s = head + small;
  return s + (rest + ((head - s) + small));
}

// The angle from a reduction: atan(c) + u + small from the rows of `table`, small the
// series' part and what u lacks of the exact quotient, at most 2^-7 of u.
ZORN_FAST_INLINE F32x4 angle(const float (*table)[2], I32x4 row, F32x4 u, F32x4 small) {
  F32x4 head, rest;
  simd::gather_pairs(table, row, head, rest);
  return sum_rounded_once(head, u, rest + small);
}
// (u + small)/pi as head + rest: the exact product of u's top 12 bits with a 12-bit head
// of 1/pi, plus small products, so that where u is the whole result the quotient by pi
// loses nothing to a rounded 1/pi. Over pi from the rows of atan(c)/pi.
struct OverPi {
  F32x4 head, rest;
};
ZORN_FAST_INLINE OverPi over_pi(F32x4 u, F32x4 small) {
  const F32x4 u_head = simd::from_bits(simd::bits(u) & I32x4::splat(-4096));
  const F32x4 inverse_head = F32x4::splat(data::kInversePiHead12);
  const F32x4 inverse_rest = F32x4::splat(data::kInversePiRest);
  return {u_head * inverse_head,
          ((u - u_head) + small) * inverse_head + (u + small) * inverse_rest};
}
ZORN_FAST_INLINE F32x4 angle_over_pi(const float (*table)[2], I32x4 row, F32x4 u,
                                     F32x4 small) {
  F32x4 head, rest;
  simd::gather_pairs(table, row, head, rest);
  const OverPi p = over_pi(u, small);
  return sum_rounded_once(head, p.head, rest + p.rest);
}

ZORN_FAST_INLINE F32x4 atan(F32x4 a) {
  const Reduction r = reduce(a);
  F32x4 head, rest;
  simd::gather_pairs(data::kAtanCentresFloat, r.row, head, rest);
  return head + ((rest + series_rest(r.u)) + r.u);
}
// atan(u)/pi = u/4 + u H + u (R + z P/pi), H the 12-bit head of 1/pi - 1/4 and R its
// remainder: u/4 is exact; u H, at most 0.22 of the result where c = 0, rounds by 1/8
// ulp of it, as does its sum with the small rest; the row's head joins last, as in atan.
ZORN_FAST_INLINE F32x4 atanpi(F32x4 a) {
  constexpr double kInversePi = inverse_trig::data::kInversePiHi;
  constexpr double kHead = inverse_trig::data::kInversePiLessQuarterHead12;
  constexpr float kRest = static_cast<float>(kInversePi - 0.25 - kHead);
  const Reduction r = reduce(a);
  const F32x4 q = F32x4::splat(static_cast<float>(kSeries * kInversePi));
  F32x4 head, rest;
  simd::gather_pairs(data::kAtanpiCentresFloat, r.row, head, rest);
  return head + (r.u * F32x4::splat(0.25f) +
                 (rest + (r.u * F32x4::splat(static_cast<float>(kHead)) +
                          r.u * (F32x4::splat(kRest) + (r.u * r.u) * q))));
}

// num - u den exactly for u = num/den rounded (Dekker's product with both factors cut
// into 12-bit heads and their exact tails; num - u den is exact, within a factor 2).
ZORN_FAST_INLINE F32x4 quotient_remainder(F32x4 num, F32x4 den, F32x4 u) {
  const auto head = [](F32x4 v) { return simd::from_bits(simd::bits(v) & I32x4::splat(-4096)); };
  const F32x4 u_head = head(u), den_head = head(den);
  const F32x4 u_tail = u - u_head, den_tail = den - den_head;
  const F32x4 p = u * den;
  const F32x4 p_error =
      ((u_head * den_head - p) + u_head * den_tail + u_tail * den_head) + u_tail * den_tail;
  return (num - p) - p_error;
}

// All ones in the lanes of a >= 0 whose bits, as an unsigned integer, lie inside [low,
// high] (NaN above every other float): one signed comparison of the bits less low, with
// the sign bits flipped. The bound is on the left, where the comparison keeps it (the
// lanes outside as its complement cost two more operations a vector).
ZORN_FAST_INLINE I32x4 bits_inside(F32x4 a, uint32_t low, uint32_t high) {
  const I32x4 shifted = simd::bits(a) + I32x4::splat(std::bit_cast<int32_t>(0x80000000u - low));
  return I32x4::splat(std::bit_cast<int32_t>((high - low + 1) ^ 0x80000000u)) > shifted;
}

// atan2(y, x), the angle of the point (x, y), for |x| and |y| in [2^-60, 2^60] (other
// lanes are left to the callout: zeros, infinities, NaN, and quotients that the products
// below would take out of the normal range). The centre c comes from the rounded quotient
// |y|/|x|, and u = (|y| - c |x|)/(|x| + c |y|) with c |x| = c x_head + c x_tail exactly
// (c has kAtanCentreBits + 1 significant bits, x_head the other 24 - that many and x_tail
// the rest), |y| - c x_head exact (within a factor 2 of each other) and one rounding in
// the numerator; the quotient's own rounding is carried by
// its exact remainder. For x < 0 the rows of pi - atan(c) and -u.
// The sign of y goes on last. Atan2pi also leaves quotients below 2^-100 to the callout,
// as atanpi does.
template <bool kPiScaled>
ZORN_FAST_INLINE int atan2_lanes(F32x4 y, F32x4 x, F32x4& r) {
  const F32x4 ya = simd::abs(y), xa = simd::abs(x);
  const F32x4 quotient = ya / xa;
  const Centre k = centre(clamp(quotient));
  const F32x4 x_head =
      simd::from_bits(simd::bits(xa) & I32x4::splat(-(2 << data::kAtanCentreBits)));
  const F32x4 num = (ya - k.c * x_head) - k.c * (xa - x_head), den = xa + k.c * ya;
  const F32x4 u = num / den;
  // Below 2^-20 the rounded quotient is the angle (x > 0) or negligible beside pi: the
  // series (u^3/3, below 2^-40 u) and the remainder are left at 0 there rather than
  // computed among subnormals (u^3 is one below 2^-42; a subnormal operand costs about
  // a hundred cycles). Over pi the quotient's remainder still counts and is kept.
  const F32x4 series_keep = simd::less(F32x4::splat(0x1p-20f), quotient);
  const F32x4 keep = kPiScaled ? simd::less(F32x4::splat(0.0f), quotient) : series_keep;
  const F32x4 series_u = simd::from_bits(simd::bits(u) & simd::bits(series_keep));
  const F32x4 kept_u = simd::from_bits(simd::bits(u) & simd::bits(keep));
  const F32x4 kept_num = simd::from_bits(simd::bits(num) & simd::bits(keep));
  const I32x4 x_sign = simd::bits(x) & I32x4::splat(INT32_MIN);
  const I32x4 row = k.row + (I32x4::splat(data::kAtanCentreRows) & (x_sign >> 31));
  const auto signed_part = [x_sign](F32x4 v) { return simd::from_bits(simd::bits(v) ^ x_sign); };
  const F32x4 small = signed_part(quotient_remainder(kept_num, den, kept_u) / den +
                                  series_rest(series_u));
  const F32x4 theta = kPiScaled
                          ? angle_over_pi(data::kAtanpiCentresFloat, row, signed_part(u), small)
                          : angle(data::kAtanCentresFloat, row, signed_part(u), small);
  r = simd::or_sign(theta, y);
  constexpr uint32_t kLow = std::bit_cast<uint32_t>(0x1p-60f);
  constexpr uint32_t kHigh = std::bit_cast<uint32_t>(0x1p60f);
  const I32x4 inside = bits_inside(ya, kLow, kHigh) & bits_inside(xa, kLow, kHigh);
  int special = simd::lane_mask(inside) ^ 0xF;
  if constexpr (kPiScaled) special |= simd::lane_mask_less(quotient, F32x4::splat(0x1p-100f));
  return special;
}

// The lanes whose |x| has its bits inside [low, high], as bits_inside.
ZORN_FAST_INLINE int magnitude_bits_inside(F32x4 x, uint32_t low, uint32_t high) {
  return simd::lane_mask(bits_inside(simd::abs(x), low, high));
}
constexpr uint32_t kAtanpiLowestBits = 0x0D800000;  // 2^-100
// The lanes atanpi leaves to the callout: non-zero |x| below 2^-100, where its products
// would fall among the subnormals.
ZORN_FAST_INLINE int atanpi_tiny_lanes(F32x4 x) {
  return magnitude_bits_inside(x, 1, kAtanpiLowestBits - 1);
}

}  // namespace zorn::tess::atan_float
