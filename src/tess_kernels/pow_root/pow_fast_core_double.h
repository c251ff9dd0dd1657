// x^y = e^(y ln x) for two lanes of positive normal x with |y ln x| < 707: the fast path
// of the double precision power kernels, one table lookup for each of the logarithm and
// the exponential (the scheme of Szabolcs Nagy's published pow, without fused
// multiply-adds).
//
// ln x: x = 2^k z with z in [z0, 2 z0), z0 near 1/sqrt 2, the bin of z giving a short c
// near 1/z. z = zh + zl with zh the leading 21 bits, so that r = z c - 1 is exact as
// rh + rl (rh = zh c - 1, rl = zl c) and so is rh^2; with hi + lo = ln(1 / c),
//   ln x = (k ln2_hi + hi) + r - rh^2/2 - rl (rh + r)/2 + (k ln2_lo + lo) + p(r)
// where the first sum is exact, the next terms are carried with their rounding errors,
// and p(r) = ln(1 + r) - r + r^2/2 is its series to r^10 (|r| < 2^-7.4: the next term is
// below 2^-80 relative to r).
//
// e^(zh + zl): n = round(128 zh / ln 2), f = zh - n ln2/128 (the leading part exact) + zl,
// e^f = 1 + f + f^2/2 + ... + f^5/120 (|f| < 2^-8.4: the next term below 2^-60), and
// 2^(n/128) = 2^(n div 128) T[n mod 128] with T in two parts.
#pragma once

#include <cstdint>

#include "tess_kernels/frame/simd_double.h"
#include "tess_kernels/frame/two_sum_double.h"
#include "tess_kernels/pow_root/pow_core_double.h"

namespace zorn::tess {
namespace pow_fast_tables {
#include "tess_kernels/pow_root/data/pow_fast_tables.inc"
}  // namespace pow_fast_tables

namespace pow_fast {

using simd::F64x2;
using simd::I64x2;

constexpr double kProductBound = 707.0;        // |y ln x|: normal results, no overflow
constexpr double kRoundShifter = 0x1.8p52;     // rounds to an integer in the low bits
constexpr int64_t kLeadingMask = -(int64_t{1} << 32);
constexpr int64_t kHalfMask = -(int64_t{1} << 27);  // keeps 26 significant bits

// x = 2^k z with z in [z0, 2 z0), and the row of z's bin.
struct Reduction {
  F64x2 k, z;
  pow_core::Rows row;
};
inline Reduction reduction(F64x2 x) {
  namespace t = pow_fast_tables;
  const I64x2 ix = simd::bits(x);
  const I64x2 moved = ix - I64x2::splat(static_cast<int64_t>(t::kLnOffsetBits));
  const I64x2 bin = (moved >> 45) & I64x2::splat(127);
  // k: the high words of `moved`, shifted arithmetically.
  const __m128i high = _mm_shuffle_epi32(moved.v, _MM_SHUFFLE(3, 1, 3, 1));
  return {simd::int32_lanes_to_double(_mm_srai_epi32(high, 20)),
          simd::from_bits(ix - (moved & I64x2::splat(static_cast<int64_t>(0xFFF0000000000000u)))),
          pow_core::rows(t::kLnReduction, static_cast<uint32_t>(bin.low32_lane0()),
                         static_cast<uint32_t>(bin.low32_lane1()))};
}

// The terms of ln x as an unnormalised double-double hi + lo, |lo| < 2^-13 |hi|.
inline TwoSum ln_parts(F64x2 x) {
  namespace t = pow_fast_tables;
  const auto [k, z, row] = reduction(x);
  const F64x2 zh = simd::from_bits((simd::bits(z) + I64x2::splat(int64_t{1} << 31)) &
                                   I64x2::splat(kLeadingMask));
  const F64x2 zl = z - zh;
  const F64x2 rh = zh * row.c - F64x2::splat(1.0);
  const F64x2 rl = zl * row.c;
  const F64x2 r = rh + rl;

  const F64x2 t1 = k * F64x2::splat(t::kLn2Parts[0]) + row.hi;  // exact
  const F64x2 t2 = t1 + r;
  const F64x2 lo1 = k * F64x2::splat(t::kLn2Parts[1]) + row.lo;
  const F64x2 lo2 = (t1 - t2) + r;  // exact: t1 is 0 or |t1| > |r|
  const F64x2 half = F64x2::splat(-0.5);
  const F64x2 ar = half * r, ar2 = r * ar;
  const F64x2 arh = half * rh, arh2 = rh * arh;  // -rh^2/2, exact
  const F64x2 hi = t2 + arh2;
  const F64x2 lo3 = rl * (ar + arh);
  const F64x2 lo4 = (t2 - hi) + arh2;  // exact
  // p(r) = -r^3/2 (a1 + a2 r + (-r^2/2)(a3 + a4 r + (-r^2/2)(a5 + a6 r + (-r^2/2)(a7 + a8 r))))
  // with the series' coefficients: r^3/3 - r^4/4 + ... + r^9/9 - r^10/10.
  const F64x2 inner = F64x2::splat(16.0 / 9) + r * F64x2::splat(-1.6);
  const F64x2 third = (F64x2::splat(-8.0 / 7) + r * F64x2::splat(1.0)) + ar2 * inner;
  const F64x2 second = (F64x2::splat(0.8) + r * F64x2::splat(-2.0 / 3)) + ar2 * third;
  const F64x2 p = (r * ar2) * ((F64x2::splat(-2.0 / 3) + r * F64x2::splat(0.5)) + ar2 * second);
  return {hi, ((lo1 + lo2) + (lo3 + lo4)) + p};
}

// y (hi + lo) as zh + zl, zh = yh hh exact (both cut to 26 bits).
inline TwoSum times(F64x2 y, TwoSum l) {
  const I64x2 mask = I64x2::splat(kHalfMask);
  const F64x2 yh = simd::from_bits(simd::bits(y) & mask);
  const F64x2 hh = simd::from_bits(simd::bits(l.sum) & mask);
  const F64x2 hl = (l.sum - hh) + l.err;
  return {yh * hh, (y - yh) * hh + y * hl};
}

// 2^(n/128) (1 + p) for n in the low bits of s = n + 1.5 * 2^52, |n| < 2^17: T[n mod 128]
// in two parts (the first alone with `with_tail` false) and 2^(n div 128) from the bits.
inline F64x2 table_power(F64x2 s, F64x2 p, bool with_tail) {
  const I64x2 bits = simd::bits(s);
  const F64x2 row0 = F64x2::load_aligned(pow_tables::kExp2Over128[bits.low32_lane0() & 127]);
  const F64x2 row1 = F64x2::load_aligned(pow_tables::kExp2Over128[bits.low32_lane1() & 127]);
  const F64x2 th = simd::lane0s(row0, row1);
  const F64x2 tail = with_tail ? simd::lane1s(row0, row1) : F64x2::splat(0.0);
  return (th + (th * p + tail)) * pow_core::scale_of(bits);
}

// z rounded to a multiple of ln2/128: returns s = n + 1.5 * 2^52, and f = z - n ln2/128
// (its leading part exact for |z| < 2^10).
inline F64x2 exp_reduce(F64x2 z, F64x2& f) {
  namespace t = pow_fast_tables;
  const F64x2 shifter = F64x2::splat(kRoundShifter);
  const F64x2 s = z * F64x2::splat(t::k128OverLn2) + shifter;
  const F64x2 n = s - shifter;
  f = (z - n * F64x2::splat(t::kLn2Over128Parts[0])) - n * F64x2::splat(t::kLn2Over128Parts[1]);
  return s;
}

// e^(zh + zl) for |zh| < kProductBound.
inline F64x2 exp_of(TwoSum z) {
  F64x2 f;
  const F64x2 s = exp_reduce(z.sum, f);
  f = f + z.err;
  const F64x2 f2 = f * f;
  const F64x2 p = f + f2 * ((F64x2::splat(0.5) + f * F64x2::splat(1.0 / 6)) +
                            f2 * (F64x2::splat(1.0 / 24) + f * F64x2::splat(1.0 / 120)));
  return table_power(s, p, true);
}

}  // namespace pow_fast
}  // namespace zorn::tess
