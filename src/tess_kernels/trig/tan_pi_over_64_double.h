// Tangent of two lanes from the reduction by multiples of pi/64 of d Cos
// (pi_over_64_double.h) onto a table of the tangent's period: the fast path of the double
// precision Tan kernel, and its evaluation of larger arguments once reduced exactly by
// quarter turns.
//
// An angle a of either sign is written m pi/64 + s, m the nearest integer to a 64/pi
// (held in the low mantissa bits of t = a 64/pi + 1.5 2^52, two's complement) and
// |s| <= pi/128 carried as s + s_lo. Row m mod 64 of the table holds, for b = m pi/64,
// sin b and cos b scaled so that the larger is 1: S = tan b and C = 1, or near the poles
// (pi/4 < |b mod pi| <= pi/2) S = 1 and C = 1/tan b, the one that is not 1 rounded. The
// row's angle b' (tan b' = S / C exactly) differs from b by the row's delta, which joins
// s_lo: with T = tan(s + s_lo + delta) from a short series,
//   tan(b + s) = N / D,   N = S + C T,   D = C - S T,
// one corrected quotient in every lane and no select: the row chooses the branch. The
// reduction of -a is that of a negated exactly, and so is every step after it, so the
// result is odd in a without a sign flip.
#pragma once

#include <cstdint>

#include "tess_kernels/frame/simd.h"
#include "tess_kernels/frame/words_through_memory.h"
#include "tess_kernels/trig/pi_over_64_double.h"
#include "tess_kernels/trig/sin_core_double.h"
#include "tess_kernels/trig/trig_tables.h"

namespace zorn::tess::tan_pi_over_64 {

namespace polynomial {
#include "tess_kernels/trig/data/tan_pi_over_64_polynomial.inc"
}  // namespace polynomial

using simd::F64x2;
using simd::I64x2;
using sin_core::ReducedAngle;

// tan(m pi/64 + s + s_lo). Error budget in units of the result's last place: the heads
// S_hi + C_hi s and C_hi - S_hi s are summed exactly (Dekker's fast two-sum: the term of
// the row that is not 1 is 0 or at least tan(pi/64) > |s| in size); of their products
// only the one that is not exact (|product| < 2^-5.3 beside the sum's 1) rounds, below
// 0.016; T's series errs by 2^-66 of T; the corrected quotient leaves one rounding, 0.5,
// and products of its terms of 2^-12 with 2^-52. D is 0 only at b = pi/2 and s = 0,
// which no argument but a multiple of pi/2 reduces to.
inline F64x2 tan_of(const ReducedAngle& angle) {
  // The row numbers through memory: the loop waits on the vector ports, where the word
  // extractions would go (1.01x faster).
  const simd::Words w = simd::words_through_memory(angle.t_bits.v);
  const double* row0 = trig_tables::kTanPiOver64Double[w.w[0] & 63];
  const double* row1 = trig_tables::kTanPiOver64Double[w.w[2] & 63];
  const __m128d a0 = _mm_load_pd(row0), a1 = _mm_load_pd(row1);
  const F64x2 s_hi{_mm_unpacklo_pd(a0, a1)}, c_hi{_mm_unpackhi_pd(a0, a1)};
  const F64x2 delta{_mm_loadh_pd(_mm_load_sd(row0 + 2), row1 + 2)};
  const F64x2 s = angle.hi;
  const F64x2 z = s * s;
  const auto c = [](int i) { return F64x2::splat(polynomial::kTanTail[i]); };
  // tan(s + s_lo + delta) - s, the term (s_lo + delta) tan^2 s below 2^-10.7 of
  // s_lo + delta dropped.
  const F64x2 tail =
      (s * z) * (((c(3) * z + c(2)) * z + c(1)) * z + c(0)) + (angle.lo + delta);
  const F64x2 cs = c_hi * s;
  const F64x2 ss = s_hi * s;
  // Row 0 holds S_hi = -0, so that a zero s keeps its sign here.
  const F64x2 n_hi = s_hi + cs;
  const F64x2 n_lo = ((s_hi - n_hi) + cs) + c_hi * tail;
  // N / D corrected once: q_hi, the quotient of the heads cut to 26 bits (within 2^-11 of
  // N / D), times the denominator's head cut to 26 bits is exact and within 2^-10 of n_hi,
  // so that their difference is exact; q_hi less the residual over D then rounds once.
  // The denominator's head is C_hi - S_hi s rounded and cut at once: C_hi - dc_hi is exact
  // (C_hi is 0 or, with |S_hi s| <= pi/128 < C_hi/2, within a factor 2 of dc_hi), and the
  // rest, below 2^-25 of D, rounds by 2^-78 of D.
  // The residual is taken negated, so that a zero result keeps the sign of n_hi.
  const F64x2 keep26 = simd::from_bits(I64x2::splat(~int64_t{0} << 27));
  const F64x2 dc_hi = (c_hi - ss) & keep26;
  const F64x2 dc_lo = ((c_hi - dc_hi) - ss) - s_hi * tail;
  const F64x2 inverse = F64x2::splat(1.0) / (dc_hi + dc_lo);
  const F64x2 q_hi = (n_hi * inverse) & keep26;
  const F64x2 minus_residual = ((q_hi * dc_hi - n_hi) - n_lo) + q_hi * dc_lo;
  return q_hi - minus_residual * inverse;
}

// tan x for |x| <= sin_core::kFastPathLimit.
inline F64x2 tan_lanes(F64x2 x) { return tan_of(pi_over_64::reduce(x)); }

}  // namespace zorn::tess::tan_pi_over_64
