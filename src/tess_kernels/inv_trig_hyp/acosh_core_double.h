// Two-lane double precision acosh x = ln(x + sqrt(x^2 - 1)) for 1 <= x <= 2^1000: the
// logarithm's argument as hi + lo, and a logarithm of its own for such sums of at least 1
// (no result below ln(1 + 2^-52)), whose reduction is exact without a split of the mantissa
// (the rows kAcoshLogRowsDouble of the hyperbolic tables).
#pragma once

#include <cstddef>
#include <cstdint>

#include "tess_kernels/frame/simd_double.h"
#include "tess_kernels/frame/two_sum_double.h"
#include "tess_kernels/frame/words_through_memory.h"
#include "tess_kernels/inv_trig_hyp/hyperbolic_core_double.h"

namespace zorn::tess::hyperbolic {

// Row j = round(256 (m - 1)) of m in [1, 2), from the top nine fraction bits f of the high
// word: j = (f + 1) >> 1, the row's first element 4j doubles into the table.
ZORN_HYPERBOLIC_INLINE const double* acosh_log_row(uint32_t high_word) {
  const size_t offset = (((high_word & 0xFF800) + 0x800) >> 10) & 0x7FC;
  return data::kAcoshLogRowsDouble[0] + offset;
}

// ln(hi + lo) for hi = 2^k m, 1 <= hi <= 2^1001, and |lo| at most a few ulps of hi. With
// c = 1 + j/256 (m rounded to eight fraction bits, ties up as the row index rounds) and the
// row's inv_c (1/c to 10 bits) and e = c inv_c - 1:
//   m inv_c - 1 = r = P + e, P = (m - c) inv_c,
// m - c exact (|m - c| <= 2^-9, 43 bits at most) and so is P (53 bits at most). Then
//   ln(hi + lo) = (k ln2_hi + H) + P + (k ln2_lo + L + t (1 - r) + r^2 Q(r)),
// H = (-ln inv_c)_hi + e and L its rest from the row, t = lo 2^-k inv_c the low part's
// share of r (t r^2 and t^2 below 2^-66 of the result), Q the Taylor series of (ln(1 + r)
// - r) / r^2 to r^5 (|r| <= 2^-9 + 2^-11: the truncation stays below 2^-63 of r). k ln2_hi
// + H is exact (multiples of 2^-43 below 2^10), and so is its sum with P as Kahan's fast
// two-sum: it is 0 (j = 0, k = 0) or at least ln(1 + 1/512) > 2^-9 >= |P|. The head thus
// carries the exact leading part of every result down to the smallest (hi just above 1,
// row 0, where P = m - 1 itself).
ZORN_HYPERBOLIC_INLINE F64x2 log_from_one(F64x2 hi, F64x2 lo) {
  const simd::ExponentMantissa km = simd::exponent_and_mantissa(hi, 0);
  const simd::Words w = simd::words_through_memory(simd::bits(hi).v);
  const double* row0 = acosh_log_row(w.w[1]);
  const double* row1 = acosh_log_row(w.w[3]);
  const F64x2 a0 = F64x2::load_aligned(row0), a1 = F64x2::load_aligned(row1);
  const F64x2 b0 = F64x2::load_aligned(row0 + 2), b1 = F64x2::load_aligned(row1 + 2);
  const F64x2 inv_c = simd::lane0s(a0, a1), e = simd::lane1s(a0, a1);
  const F64x2 c = simd::from_bits((simd::bits(km.m) + I64x2::splat(int64_t{1} << 43)) &
                                  I64x2::splat(-(int64_t{1} << 44)));
  const F64x2 p = (km.m - c) * inv_c;
  const F64x2 r = p + e;
  const TwoSum head =
      fast_two_sum(km.k * splat(data::kAcoshLn2Double[0]) + simd::lane0s(b0, b1), p);
  const F64x2 inv_scale = simd::from_bits(I64x2::splat(int64_t{2046} << 52) -
                                          (simd::bits(hi) & I64x2::splat(0x7FF0000000000000)));
  const F64x2 t = (lo * inv_scale) * inv_c;
  const F64x2 r2 = r * r;
  const F64x2 q01 = splat(-0.5) + r * splat(1.0 / 3);
  const F64x2 q23 = splat(-0.25) + r * splat(0.2);
  const F64x2 q45 = splat(-1.0 / 6) + r * splat(1.0 / 7);
  const F64x2 excess = r2 * (q01 + r2 * (q23 + r2 * q45));
  const F64x2 rest = km.k * splat(data::kAcoshLn2Double[1]) + simd::lane1s(b0, b1);
  return head.sum + (head.err + (rest + (t * (splat(1.0) - r) + excess)));
}

// acosh x for 1 <= x <= kLargestFastArgument, with m = min(x, 2^26) = h + l and q = m^2 - 1.
// The root's chain is short: s0 = sqrt((m - 1)(m + 1)), within 3 ulps of sqrt(q) (m - 1 is
// exact below 2). Its remainder q - s0^2, with s0 = g + d (h and g the leading 26 bits), is
//   ((((h^2 - 1) - g^2) + 2hl) - d (g + s0)) + l^2:
// h^2 - 1 is exact (m <= 2^26), and so is its difference with g^2: 0 - g^2 below x = 1 +
// 2^-25 (h = 1), else s0 >= 2^-12 and the difference (below 2^-22 x^2) spans 53 bits at
// most. Its sum with 2hl (exact) lies near q - s0^2 with bits down to those of 2hl, exact
// too; the rounding of d (g + s0) stays below 2^-76 s0^2 and the rest below the result's
// 2^-62. Then s_lo = remainder / 2 s0 by the reciprocal, taken beside the remainder, and
// ln(v) for v = m + s0 + s_lo (m >= s0: Kahan's fast two-sum). Above 2^26, v rounds to 2m
// and hi, scaled by x/m, to 2x; lo (about -1/2m) then gives -1/(4mx) in place of -1/(4x^2),
// below 2^-54 against the result's unit of at least 2^-48.
ZORN_HYPERBOLIC_INLINE F64x2 acosh_value(F64x2 x) {
  const F64x2 m = min(x, splat(0x1p26));
  const F64x2 s0 = sqrt((m - splat(1.0)) * (m + splat(1.0)));
  const F64x2 half_inverse = splat(0.5) / simd::max(s0, splat(0x1p-1000));
  const Split mh = truncated_split(m);
  const Split sh = truncated_split(s0);
  const F64x2 rem = ((((mh.hi * mh.hi - splat(1.0)) - sh.hi * sh.hi) +
                      (mh.hi * mh.lo) * splat(2.0)) -
                     sh.lo * (sh.hi + s0)) +
                    mh.lo * mh.lo;
  const TwoSum v = fast_two_sum(m, s0);
  const F64x2 scale = simd::max(x * splat(0x1p-26), splat(1.0));
  return log_from_one(v.sum * scale, v.err + rem * half_inverse);
}

}  // namespace zorn::tess::hyperbolic
