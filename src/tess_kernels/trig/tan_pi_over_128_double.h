// Tangent of two lanes from a reduction by multiples of pi/128 onto a table of the
// tangent's period: the fast path of the double precision Tan kernel, and its evaluation
// of larger arguments once reduced exactly by quarter turns.
//
// An angle a of either sign is written m pi/128 + s, m the nearest integer to a 128/pi
// (held in the low mantissa bits of t = a 128/pi + 1.5 2^52 + 2^22 as m + 2^22) and
// |s| <= pi/256 carried as s + s_lo. Row m mod 128 of the table holds, for b = m pi/128,
// sin b and cos b scaled so that the larger is 1: S = tan b and C = 1, or near the poles
// (pi/4 < |b mod pi| <= pi/2) S = 1 and C = 1/tan b, the one that is not 1 rounded. The
// row's angle b' (tan b' = S / C exactly) differs from b by the row's delta, which joins
// s_lo: with T = tan(s + s_lo + delta) from a short series,
//   tan(b + s) = N / D,   N = S + C T,   D = C - S T,
// one corrected quotient in every lane and no select: the row chooses the branch. The
// reduction of -a is that of a negated exactly, and so is every step after it, so the
// result is odd in a without a sign flip.
#pragma once

#include <cmath>
#include <cstdint>

#include "tess_kernels/frame/simd.h"
#include "tess_kernels/frame/words_through_memory.h"
#include "tess_kernels/trig/sin_core_double.h"
#include "tess_kernels/trig/trig_tables.h"

namespace zorn::tess::tan_pi_over_128 {

namespace polynomial {
#include "tess_kernels/trig/data/tan_pi_over_128_polynomial.inc"
}  // namespace polynomial

using simd::F64x2;
using simd::I64x2;
using sin_core::ReducedAngle;

constexpr double kOneTwentyEightOverPi = 40.74366543152521;
constexpr const double* kPiOver128 = trig_tables::kPiOver128Parts;

// a - m pi/128, exact for |m| <= 2^22 (|a| up to about 102943.7): m times each of the
// first two parts of pi/128 is exact there.
inline ReducedAngle reduce(F64x2 a) {
  return sin_core::reduce_three_part<kOneTwentyEightOverPi, kPiOver128[0], kPiOver128[1],
                                     kPiOver128[2]>(a);
}

// The lanes left to the callout:
// - |x| at or beyond 102400 (inf and NaN among them), so that |m| < 2^22: those whose
//   leading 16 bits but the sign, read as a signed word, exceed 0x40F8 (2^16 times 1.5
//   and a mantissa of zeros);
// - |s + s_lo| below 2^-43. The reduction's absolute error is below 2^-101.4 (the
//   roundings of m times the last part of pi/128 and of its difference, each up to
//   2^-103 for |m| <= 2^22, and that part's own error times m), which near a zero or a
//   pole of the tangent is relative to s: up to 2^-58.4 here, and 6.5 ulp at x =
//   46066.743875913933 (s 2^-52.7) before these lanes left. The callout, given them,
//   reduces exactly those with m != 0 (|x| >= pi/256) by quarter turns.
// Those of a pair, or of a chunk of pairs combined by |: `words` the greatest of those
// leading words (every other word 0), `z` the least (s + s_lo)^2 (as stage forms it), so
// that the block tests a chunk's greatest word and least z once (an and and a maximum a
// pair, a minimum for z, rather than a compare and an or for each).
struct SpecialLanes {
  __m128i words = _mm_setzero_si128();
  F64x2 z = F64x2::splat(1.0);  // above every z of the fast path
  friend SpecialLanes operator|(SpecialLanes a, SpecialLanes b) {
    return {_mm_max_epi16(a.words, b.words), simd::min(a.z, b.z)};
  }
};
inline int lane_bits(const SpecialLanes& special) {
  const F64x2 beyond{_mm_castsi128_pd(_mm_cmpgt_epi16(special.words, _mm_set1_epi16(0x40F8)))};
  return simd::lane_mask(beyond | simd::less(special.z, F64x2::splat(0x1p-86)));
}
inline SpecialLanes special_lanes(F64x2 x, F64x2 z) {
  const F64x2 leading = simd::from_bits(I64x2::splat(0x7FFF000000000000));
  return {_mm_castpd_si128((x & leading).v), z};
}

// What the table lookup and the quotient need of a reduced angle: s and s_lo, the series'
// odd part, and the words of t (the row number in the low bits). The contiguous block
// runs the reductions and series of a chunk of pairs before their quotients, each pass
// through these, so that the constants of each pass fit the registers beside its chains.
// `tail` is tan(s + s_lo) - s but for the row's delta, and `t` its sum with s rounded: the
// remainder's tangent to 2^-52, from which the quotient's divisor is formed ahead of its
// exact parts.
struct Staged {
  F64x2 s, tail, t;
  simd::Words rows;
};

// tan(s + e) - s = odd + e, e = s_lo + delta: e reaches 2^-49.7 (m times the last part of
// pi/128), and e tan^2 s would be 0.1 ulp of a result near pi/256, so the cube takes sf,
// s + s_lo to half an ulp of s (2^-53 of the cube; delta, below 2^-55, leaves 2^-68).
// Returns z = sf^2, for special_lanes.
inline F64x2 stage_sum(const ReducedAngle& angle, F64x2 sf, Staged& out) {
  const auto c = [](int i) { return F64x2::splat(polynomial::kTanTail[i]); };
  const F64x2 z = sf * sf;
  const F64x2 odd = (sf * z) * ((c(2) * z + c(1)) * z + c(0));
  out.s = angle.hi;
  out.tail = odd + angle.lo;
  out.t = sf + odd;
  // The row numbers through memory: the loop waits on the vector ports, where the word
  // extractions would go (1.01x faster).
  _mm_store_si128(reinterpret_cast<__m128i*>(out.rows.w), angle.t_bits.v);
  asm("" : "+m"(out.rows.w));  // read back from memory, not extracted from the register
  return z;
}

// An angle as reduce gives it: sf = s - m pi_lo, which is s + s_lo but for the rounding
// error of s, and is ready three operations before s_lo (0.95x the time); m and its
// product are the reduction's, shared by the compiler.
inline F64x2 stage_of(const ReducedAngle& angle, F64x2 m, Staged& out) {
  return stage_sum(angle, angle.hi - m * F64x2::splat(kPiOver128[2]), out);
}
inline F64x2 stage(const ReducedAngle& angle, Staged& out) {
  return stage_of(angle, simd::from_bits(angle.t_bits) - F64x2::splat(sin_core::kShifter), out);
}

// The contiguous block's first pass: m by conversion (cvtpd2dq), the same nearest integer
// in the same rounding mode, which frees the shifter's two constants (0.986-0.993x the
// time). Its words hold m in two 32-bit halves, the rows at bytes 0 and 4 (finish<4>).
// It raises the invalid flag for lanes beyond 2^31 pi/128 and NaN, which special_lanes
// reports: the frame clears the flag before their callouts (kSpecialLanesRaiseNoFlag).
inline F64x2 stage_converted(F64x2 a, Staged& out) {
  const __m128i words = _mm_cvtpd_epi32((a * F64x2::splat(kOneTwentyEightOverPi)).v);
  const F64x2 m{_mm_cvtepi32_pd(words)};
  return stage_of(
      sin_core::remainder_three_part<kPiOver128[0], kPiOver128[1], kPiOver128[2]>(a, m, {words}),
      m, out);
}

// tan(m pi/128 + s + s_lo). Error budget in units of the result's last place: the heads
// S_hi + C_hi s and C_hi - S_hi s are summed exactly (Dekker's fast two-sum: the term of
// the row that is not 1 is 0 or at least tan(pi/128) > |s| in size); of their products
// only the one that is not exact (|product| < 2^-6.3 beside the sum's 1) rounds, below
// 0.008; T's series errs by 2^-61 of T; the corrected quotient leaves one rounding, 0.5,
// and products of its terms of 2^-12 with 2^-52. D is 0 only at b = pi/2 and s = 0,
// which no argument but a multiple of pi/2 reduces to.
template <int kSecondRow = 8>
inline F64x2 finish(const Staged& in) {
  // The rows are the low bytes of m (the table repeats its period), read by one
  // zero-extending byte load a lane, and each column is indexed by them with no shift.
  const auto* bytes = reinterpret_cast<const uint8_t*>(in.rows.w);
  const unsigned j0 = bytes[0], j1 = bytes[kSecondRow];
  const auto column = [j0, j1](const double* c) {
    return F64x2{_mm_loadh_pd(_mm_load_sd(c + j0), c + j1)};
  };
  const F64x2 s_hi = column(trig_tables::kTanPiOver128Columns[0]);
  const F64x2 c_hi = column(trig_tables::kTanPiOver128Columns[1]);
  const F64x2 delta = column(trig_tables::kTanPiOver128Columns[2]);
  const F64x2 s = in.s;
  const F64x2 tail = in.tail + delta;
  const F64x2 cs = c_hi * s;
  const F64x2 ss = s_hi * s;
  // Row 0 holds S_hi = -0, so that a zero s keeps its sign here.
  const F64x2 n_hi = s_hi + cs;
  // N / D corrected once. The divisor is D to 2^-51 (C_hi - S_hi t), so that the division
  // waits on three operations rather than on D's exact parts (seven); its head, cut to 26
  // bits, leaves C_hi - dc_hi exact (C_hi is 0 or, with |S_hi T| <= tan(pi/256) < C_hi/2,
  // within a factor 2 of dc_hi), and the rest, below 2^-25 of D, rounds by 2^-78 of D.
  // q_hi, the quotient cut to 26 bits, times dc_hi is exact and within 2^-23 of N, and so
  // is S_hi within a factor 2 of it (S_hi is -0, or 1 beside |C T| < 2^-6, or tan b >=
  // tan(pi/128) with N - S_hi = T, |T| <= tan(pi/256) < 0.5001 S_hi): q_hi dc_hi - S_hi is
  // exact. The rest of the residual against N = S_hi + C_hi s + C_hi tail, in two
  // sums each below 2^-10 of N (that difference less C_hi s, and q_hi dc_lo - C_hi tail,
  // apart so that the second waits only on q_hi), rounds by 2^-62 of N, and q_hi less the
  // residual over D then rounds once (the divisor's error, 2^-51 of D, times the residual
  // is 2^-74 of N). The residual is taken negated, so that a zero result keeps the sign of
  // n_hi.
  const F64x2 keep26 = simd::from_bits(I64x2::splat(~int64_t{0} << 27));
  const F64x2 d = c_hi - s_hi * in.t;
  const F64x2 inverse = F64x2::splat(1.0) / d;
  const F64x2 dc_hi = d & keep26;
  const F64x2 dc_lo = ((c_hi - dc_hi) - ss) - s_hi * tail;
  const F64x2 q_hi = (n_hi * inverse) & keep26;
  const F64x2 minus_residual =
      ((q_hi * dc_hi - s_hi) - cs) + (q_hi * dc_lo - c_hi * tail);
  return q_hi - minus_residual * inverse;
}

// tan of a quarter turn's remainder reduced by pi/128 (whose low part also holds the
// quarter turn's).
inline F64x2 tan_of(const ReducedAngle& angle) {
  Staged staged;
  stage_sum(angle, angle.hi + angle.lo, staged);
  return finish(staged);
}

// tan x for the lanes that special_lanes does not report (|x| below 102400).
inline F64x2 tan_lanes(F64x2 x) {
  Staged staged;
  stage(reduce(x), staged);
  return finish(staged);
}

// tan x and a pair's lanes that need the slow path.
inline SpecialLanes tan_pair(F64x2 x, F64x2& y) {
  Staged staged;
  const SpecialLanes special = special_lanes(x, stage(reduce(x), staged));
  y = finish(staged);
  return special;
}

// Whether the callout takes x on the fast path: the lanes special_lanes reports but for
// those with m = 0 (|x| < pi/256 or so, reduced exactly).
inline bool on_fast_path(double x) {
  // Far beyond the fast path (special and m != 0), without the reduction, whose products
  // overflow on the largest x.
  if (std::fabs(x) > 0x1p20) return false;
  const ReducedAngle angle = reduce(F64x2::splat(x));
  Staged staged;
  return (lane_bits(special_lanes(F64x2::splat(x), stage(angle, staged))) & 1) == 0 ||
         angle.t_bits.lane0_bits() == 0x4338000000000000;  // m = 0
}

}  // namespace zorn::tess::tan_pi_over_128
