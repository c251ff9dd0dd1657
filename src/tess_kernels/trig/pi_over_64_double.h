// Cosine and sine of two lanes from a reduction by multiples of pi/64 onto a table of the
// whole period: the fast paths of the double precision Sin, Cos and SinCos kernels, and their
// evaluation of larger arguments once reduced exactly by quarter turns.
//
// An angle a is written m pi/64 + s, m the nearest integer to a 64/pi (held in the low
// mantissa bits of t = a 64/pi + 1.5 2^52) and |s| <= pi/128 carried as s + s_lo. Row
// m mod 128 of the table holds, for the angle b = m pi/64, V = cos b as V_hi + V_lo, the
// derivative D = -sin b, and D - sigma with sigma = +-1 the sign of D, so that
//   cos(b + s) = V cos s + D sin s
//              = (V_hi + sigma s) + (V_hi (cos s - 1) + V_lo + (D - sigma) s + D (sin s - s)),
// the head summed exactly (Dekker's fast two-sum: V_hi is 0 or at least sin(pi/64), above
// |s|). |D - sigma| = 1 - |sin b| <= cos^2 b, so no term of the tail exceeds 2^-5 of the
// result and their roundings stay below 0.05 ulp: one rounding at weight, about 0.55 ulp
// in all. The phase of the sine is folded into the row: sin(b + s) = cos(b - pi/2 + s),
// row m - 32. No quadrant selects and no sign flips but the sine's sign of x.
#pragma once

#include <cstdint>

#include "tess_kernels/frame/simd.h"
#include "tess_kernels/trig/sin_core_double.h"
#include "tess_kernels/trig/trig_tables.h"

namespace zorn::tess::pi_over_64 {

using simd::F64x2;
using simd::I64x2;
using sin_core::ReducedAngle;

// pi/64 in three parts, the digits of the pi/256 parts times 4: k times the first is exact
// for k <= 1335088 and k times the second for k < 2^21; the fast path has k < 2^20.4.
constexpr double kPiOver64Hi = 4 * sin_core::kPiOver256Hi;
constexpr double kPiOver64Mid = 4 * sin_core::kPiOver256Mid;
constexpr double kPiOver64Lo = 4 * sin_core::kPiOver256Lo;
constexpr double kSixtyFourOverPi = 20.371832715762604;

// a - m pi/64 for |a| <= 65536.00349206588 (or |a| <= pi/4 of either sign), where m pi/64
// hi is exact.
inline ReducedAngle reduce(F64x2 a) {
  return sin_core::reduce_three_part<kSixtyFourOverPi, kPiOver64Hi, kPiOver64Mid, kPiOver64Lo>(a);
}

// sin(s + s_lo) - s and cos s - 1 for |s| <= pi/128 (+ 2^-12): Taylor's series, whose
// first omitted terms are below 2^-61 |s| and 2^-58 (0.03 ulp of a cosine near 1, the
// term's weight at most).
struct Series {
  F64x2 sin_tail, cos_m1;
};
inline Series series(const ReducedAngle& angle) {
  const F64x2 s = angle.hi;
  const F64x2 z = s * s;
  const F64x2 z2 = z * z;
  const auto c = [](double v) { return F64x2::splat(v); };
  const F64x2 sin_tail =
      (s * z) * ((c(-1.0 / 6) + z * c(1.0 / 120)) + z2 * c(-1.0 / 5040)) + angle.lo;
  const F64x2 cos_m1 = z * c(-0.5) + z2 * (c(1.0 / 24) + z * c(-1.0 / 720));
  return {sin_tail, cos_m1};
}

// cos(m pi/64 + s + s_lo) with m offset by `rows` (-32 gives the sine). The one exact
// zero, the sine of a = +0 (row 96), comes out as +0: every sum there has a +0 term.
template <sin_core::RowWords W = sin_core::RowWords::kThroughMemory>
inline F64x2 cos_of(const ReducedAngle& angle, const Series& ser, int64_t rows) {
  // Byte offsets of the rows (m + rows) mod 128 from the low words of t, offset, masked
  // and scaled in general registers: the vector ports are what the loop waits on (d Cos
  // 1.04x faster than with these three steps in vector registers).
  const sin_core::RowColumns row = sin_core::row_columns<128, W>(
      trig_tables::kCosPiOver64Double, angle.t_bits, static_cast<uint32_t>(rows));
  const F64x2 v_hi = row.c0, d_less_sigma = row.c1, v_lo = row.c2, d = row.c3;
  const F64x2 s = angle.hi;
  const F64x2 signed_s = s ^ (d & F64x2::splat(-0.0));
  const F64x2 head = v_hi + signed_s;
  const F64x2 head_err = (v_hi - head) + signed_s;
  const F64x2 small =
      ((v_hi * ser.cos_m1 + v_lo) + (d_less_sigma * s + head_err)) + d * ser.sin_tail;
  return head + small;
}

// The cosine of a = |x|.
inline F64x2 cos_lanes(F64x2 x) {
  const ReducedAngle angle = reduce(simd::abs(x));
  return cos_of(angle, series(angle), 0);
}

// The sine of a = |x| (rows m - 32) given the sign of x.
template <sin_core::RowWords W = sin_core::RowWords::kThroughMemory>
inline F64x2 sin_of(const ReducedAngle& angle, const Series& ser, F64x2 x) {
  const F64x2 sin_a = cos_of<W>(angle, ser, -32);
  return simd::from_bits(simd::bits(sin_a) ^ (simd::bits(x) & I64x2::splat(sin_core::kSignBit)));
}

// The sine of x.
inline F64x2 sin_lanes(F64x2 x) {
  const ReducedAngle angle = reduce(simd::abs(x));
  return sin_of(angle, series(angle), x);
}

// Both, the sine with the sign of x.
struct SinCosValues {
  F64x2 sin, cos;
};
inline SinCosValues sin_cos_lanes(F64x2 x) {
  const ReducedAngle angle = reduce(simd::abs(x));
  const Series ser = series(angle);
  constexpr auto kExtracted = sin_core::RowWords::kExtracted;
  return {sin_of<kExtracted>(angle, ser, x), cos_of<kExtracted>(angle, ser, 0)};
}

}  // namespace zorn::tess::pi_over_64
