// Tangent of two lanes from a reduction by multiples of pi/2, without a table: the core of
// the pi-scaled and degree tangents (the radian Tan takes tan_pi_over_128_double.h); the
// sine and cosine parts of the same reduction for the complex kernels.
//
// An angle a is written k pi/2 + r, k the nearest integer to a 2/pi (held in the low
// mantissa bits of t = a 2/pi + 1.5 2^52) and |r| <= pi/4 carried as r + r_lo. sin r and
// cos r come from near-minimax polynomials, tan r from one rational function
// (tools/tess_quarter_turn_polynomials), each as a leading part and a small tail:
//   sin r = r + (r^3 S(r^2) + r_lo w)
//   cos r = w + (((1 - w) - h^2/2) + (r^4 C(r^2) - ((h + l/2) l + r r_lo))),
// w = 1 - h^2/2 exactly, h = r rounded to a multiple of 2^-26 and l = r - h, so that
// r^2's rounding does not reach the cosine. The tangent is the corrected quotient of its
// numerator and denominator (swapped in odd quadrants).
#pragma once

#include <cstdint>

#include "tess_kernels/frame/constant_source.h"
#include "tess_kernels/frame/polynomial_double.h"
#include "tess_kernels/frame/simd.h"
#include "tess_kernels/trig/sin_core_double.h"

namespace zorn::tess::quarter_turn {

namespace polynomials {
#include "tess_kernels/trig/data/quarter_turn_polynomials.inc"
}  // namespace polynomials

using simd::F64x2;
using simd::I64x2;
using sin_core::ReducedAngle;
using sin_core::SinParts;
using sin_core::value;

// pi/2 in three parts, the digits of the pi/256 parts times 128: k times the first is exact
// for k <= 5340354 and k times the second for k < 2^21; the fast path has k < 2^16.
constexpr double kPiOver2Hi = 128 * sin_core::kPiOver256Hi;
constexpr double kPiOver2Mid = 128 * sin_core::kPiOver256Mid;
constexpr double kPiOver2Lo = 128 * sin_core::kPiOver256Lo;
constexpr double kTwoOverPi = 0.6366197723675814;

// a - k pi/2 for |a| <= 65536.00349206588, where k pi/2 hi is exact. Here and below the
// constants come from the source k (constant_source.h).
template <class K = simd::SplatConstants>
inline ReducedAngle reduce(F64x2 a, const K& k = {}) {
  return sin_core::reduce_three_part<kTwoOverPi, kPiOver2Hi, kPiOver2Mid, kPiOver2Lo>(a, k);
}

// 1 - (r + r_lo)^2/2 as w = 1 - h^2/2 and the rest (h + l/2) l + r r_lo to be subtracted,
// for |r| < 1: h = r rounded to a multiple of 2^-26 (by adding and subtracting 1.5 2^26),
// so that h^2/2 is a multiple of 2^-53 below 1/2 and w, in (1/2, 1], is exact; l = r - h
// is exact too (|l| <= 2^-27). The rest is below 2^-27, so its rounding is lost in a tail.
struct OneMinusHalfSquare {
  F64x2 w, rest;
};
template <class K = simd::SplatConstants>
inline OneMinusHalfSquare one_minus_half_square(const ReducedAngle& angle, const K& k = {}) {
  using simd::constant;
  const F64x2 r = angle.hi;
  const F64x2 grid = constant<0x1.8p26>(k);
  const F64x2 h = (r + grid) - grid;
  const F64x2 l = r - h;
  const F64x2 half_h2 = (h * h) * constant<0.5>(k);
  return {constant<1.0>(k) - half_h2, (h + l * constant<0.5>(k)) * l + r * angle.lo};
}

// sin r and cos r of r + r_lo as leading parts and tails, |tail| below 2^-3 of the part:
// the cosine's leading part is w above, so that r^2's rounding does not reach it; the
// sine's tail keeps z's rounding times r/6 (below 0.1 ulp). Always inline: with a row
// source, GCC had left it out of line in the complex exponential's loop.
struct SinCosParts {
  SinParts sin, cos;
};
template <class K = simd::SplatConstants>
[[gnu::always_inline]] inline SinCosParts sin_cos_parts(const ReducedAngle& angle,
                                                       const K& k = {}) {
  const F64x2 r = angle.hi;
  const F64x2 z = r * r;
  const OneMinusHalfSquare c = one_minus_half_square(angle, k);
  const F64x2 sin_tail = (r * z) * simd::estrin<polynomials::kSinTail>(z, k) + angle.lo * c.w;
  const F64x2 cos_tail = (z * z) * simd::estrin<polynomials::kCosTail>(z, k) - c.rest;
  return {{r, sin_tail}, {c.w, cos_tail}};
}

// Lanes of odd k as an all-ones mask.
inline F64x2 odd_quadrant(const ReducedAngle& angle) {
  return simd::from_bits(I64x2::splat(0) - (angle.t_bits & I64x2::splat(1)));
}

// The cosine's sign bit in quadrant k: bit 1 of k + 1 (the sine's is bit 1 of k).
inline I64x2 cos_negate(const ReducedAngle& angle) {
  return ((angle.t_bits + I64x2::splat(1)) & I64x2::splat(2)) << 62;
}

// tan(k pi/2 + r) with the sign of x: N / D for even k, -D / N for odd k, where
// tan r = N / D = r (1 + z A(z)) / (1 - z/2 + z B(z)) (z = r^2, the rational fit of the
// tools) and r_lo turns them into N + r_lo D and D - r_lo N (the tangent of r + r_lo to
// first order). N = r + n_lo and D = w + d_lo as above, each within about 0.1 ulp, give
// the corrected quotient (or, with kCorrectedQuotient false, their plain quotient). The
// odd lanes' parts change places by one xor each (a ^ ((a ^ b) & odd)), and their minus
// joins the sign of x in the last xor.
template <bool kCorrectedQuotient = true>
inline F64x2 tan_of(const ReducedAngle& angle, F64x2 x) {
  const F64x2 r = angle.hi;
  const F64x2 z = r * r;
  const OneMinusHalfSquare c = one_minus_half_square(angle);
  const SinParts n{r, (r * z) * estrin(z, polynomials::kTanNumerator) + angle.lo * c.w};
  const SinParts d{c.w, z * estrin(z, polynomials::kTanDenominator) - c.rest};
  const F64x2 odd = odd_quadrant(angle);
  const F64x2 swap_hi = (n.hi ^ d.hi) & odd;
  const F64x2 swap_lo = (n.lo ^ d.lo) & odd;
  // r = +0 gives +0 (r is never -0), the sign of x comes last.
  const SinParts num{n.hi ^ swap_hi, n.lo ^ swap_lo};
  const SinParts den{d.hi ^ swap_hi, d.lo ^ swap_lo};
  F64x2 y;
  if constexpr (kCorrectedQuotient) {
    y = sin_core::quotient(num, den);
  } else {
    y = value(num) / value(den);
  }
  const I64x2 sign = (simd::bits(x) & I64x2::splat(sin_core::kSignBit)) ^ (angle.t_bits << 63);
  return simd::from_bits(simd::bits(y) ^ sign);
}

}  // namespace zorn::tess::quarter_turn
