// x^y = 2^(y log2 x) for two lanes of positive x, shared by the double precision power
// kernels (fast paths and callouts).
//
// log2 x in double-double: x = 2^k m with m in [1, 2), and three reductions of 1 + r
// (first r = m - 1) by short factors c from tables, each indexed by the leading bits of
// the r left by the one before: (1 + r) c - 1 = (c - 1) + r c, carried exactly by
// Dekker's product, ends with |r| below about 2^-21. Then
//   log2 x = k + sum log2(1 / c_i) + log2(1 + r),
// log2(1 + r) from the series of ln(1 + r) to r^4 (the next term is below 2^-107) times
// 1 / ln 2 in two parts. Row 0 of each table has c = 1 and the last row of the first
// c = 1/2 with log2 = 1 exactly, so that for x near 1 every term but the last is zero
// and the logarithm keeps its relative accuracy.
//
// 2^z for z = y log2 x in double-double: the shifter 1.5 * 2^45 rounds z to n/128,
// 2^(z - n/128) = 1 + p with p of degree 5 (|z - n/128| <= 2^-8), and 2^(n/128) =
// 2^(n div 128) T[n mod 128] with T in two parts.
#pragma once

#include <cmath>
#include <cstdint>

#include "tess_kernels/frame/simd_double.h"
#include "tess_kernels/frame/two_sum_double.h"

namespace zorn::tess {
namespace pow_tables {
#include "tess_kernels/pow_root/data/pow_tables.inc"
}  // namespace pow_tables

namespace pow_core {

using simd::F64x2;
using simd::I64x2;

constexpr double kExpShifter = 52776558133248.0;  // 1.5 * 2^45: rounds to 1/128
constexpr double kStage2Shifter = 0x1.8p39;       // rounds to 2^-13
constexpr double kStage3Shifter = 0x1.8p32;       // rounds to 2^-20
constexpr uint32_t kStage2Centre = 48;
constexpr uint32_t kStage3Centre = 72;

// Rows i0 and i1 of a reduction table as c, and log2(1 / c) = hi + lo.
struct Rows {
  F64x2 c, hi, lo;
};
inline Rows rows(const double (*table)[4], uint32_t i0, uint32_t i1) {
  const F64x2 a0 = F64x2::load_aligned(table[i0]), a1 = F64x2::load_aligned(table[i1]);
  return {simd::lane0s(a0, a1), simd::lane1s(a0, a1),
          simd::lane0s(F64x2::load_aligned(table[i0] + 2), F64x2::load_aligned(table[i1] + 2))};
}

// (1 + r) c - 1 as a double-double; c - 1 is exact for c in [1/2, 2].
inline TwoSum reduce(TwoSum r, F64x2 c) {
  const TwoSum p = two_product(r.sum, c);
  const TwoSum s = two_sum(c - F64x2::splat(1.0), p.sum);
  return fast_two_sum(s.sum, s.err + (p.err + r.err * c));
}

// The table index of round(r / unit) + centre, from the low word of r + shifter.
inline void shifted_indices(F64x2 r, double shifter, uint32_t centre, uint32_t& i0,
                            uint32_t& i1) {
  const I64x2 t = simd::bits(r + F64x2::splat(shifter));
  i0 = static_cast<uint32_t>(t.low32_lane0()) + centre;
  i1 = static_cast<uint32_t>(t.low32_lane1()) + centre;
}

// x = 2^k m, m in [1, 2), for positive normal finite lanes whose exponent counts
// k_offset more than its field says (for arguments scaled into the normal range), and
// the first reduction's rows.
struct Mantissa {
  F64x2 k, m;
  Rows first;
};
inline Mantissa mantissa(F64x2 x, int32_t k_offset = 0) {
  const I64x2 ix = simd::bits(x);
  const auto [k, m] = simd::exponent_and_mantissa(x, k_offset);
  const auto first_row = [](uint64_t bits) {
    return static_cast<uint32_t>((((bits >> 44) & 0xFF) + 1) >> 1);  // round(128 (m - 1))
  };
  return {k, m,
          rows(pow_tables::kLog2Stage1, first_row(ix.lane0_bits()), first_row(ix.lane1_bits()))};
}

// log2 x as a double-double, for the lanes `mantissa` takes.
inline TwoSum log2_parts(F64x2 x, int32_t k_offset = 0) {
  namespace t = pow_tables;
  const Mantissa xm = mantissa(x, k_offset);
  const F64x2 k = xm.k;
  const Rows r1 = xm.first;
  const TwoSum v1 = reduce({xm.m - F64x2::splat(1.0), F64x2::splat(0.0)}, r1.c);
  uint32_t i0, i1;
  shifted_indices(v1.sum, kStage2Shifter, kStage2Centre, i0, i1);
  const Rows r2 = rows(t::kLog2Stage2, i0, i1);
  const TwoSum v2 = reduce(v1, r2.c);
  shifted_indices(v2.sum, kStage3Shifter, kStage3Centre, i0, i1);
  const Rows r3 = rows(t::kLog2Stage3, i0, i1);
  const TwoSum v3 = reduce(v2, r3.c);

  // ln(1 + h + l) = h + (l - h l - h^2 (1/2 - h/3 + h^2/4)) for |h| < 2^-20.
  const F64x2 h = v3.sum, l = v3.err;
  const F64x2 series =
      l - h * (l + h * (F64x2::splat(0.5) -
                        h * (F64x2::splat(1.0 / 3) - h * F64x2::splat(0.25))));
  const F64x2 inv_hi = F64x2::splat(t::kInvLn2[0]);
  const TwoSum lead = two_product(h, inv_hi);
  const F64x2 tail = lead.err + (h * F64x2::splat(t::kInvLn2[1]) + series * inv_hi);

  const TwoSum s1 = two_sum(k, r1.hi);
  const TwoSum s2 = two_sum(s1.sum, r2.hi);
  const TwoSum s3 = two_sum(s2.sum, r3.hi);
  const TwoSum s4 = two_sum(s3.sum, lead.sum);
  const F64x2 errors = (s1.err + s2.err) + (s3.err + s4.err);
  const F64x2 table_tails = (r1.lo + r2.lo) + r3.lo;
  return fast_two_sum(s4.sum, errors + (table_tails + tail));
}

// The product y log2 x as a double-double; |y| below 2^900 keeps Dekker's split finite.
inline TwoSum times(F64x2 y, TwoSum l) {
  const TwoSum p = two_product(y, l.sum);
  return {p.sum, p.err + y * l.err};
}

// 2^z split as 2^k (base), base in [1/2, 2), k in the low word of `shifted` >> 7.
struct Exp2Parts {
  F64x2 base;
  I64x2 shifted;  // the bits of z + 1.5 * 2^45: n = 128 k + j in the low bits
};
inline Exp2Parts exp2_parts(TwoSum z) {
  namespace t = pow_tables;
  const F64x2 shifter = F64x2::splat(kExpShifter);
  const F64x2 s = z.sum + shifter;
  const F64x2 n = s - shifter;
  const F64x2 f = (z.sum - n) + z.err;
  const F64x2 p =
      f * (F64x2::splat(0.6931471805599453) +
           f * (F64x2::splat(0.24022650695910072) +
                f * (F64x2::splat(0.05550410866482158) +
                     f * (F64x2::splat(0.009618129107628477) +
                          f * F64x2::splat(0.0013333558146428443)))));
  const I64x2 bits = simd::bits(s);
  const F64x2 row0 = F64x2::load_aligned(t::kExp2Over128[bits.low32_lane0() & 127]);
  const F64x2 row1 = F64x2::load_aligned(t::kExp2Over128[bits.low32_lane1() & 127]);
  const F64x2 hi = simd::lane0s(row0, row1), lo = simd::lane1s(row0, row1);
  return {hi + (hi * p + lo), bits};
}

// 2^k for the k = n div 128 of the shifted bits, -1022 <= k <= 1023: n's bits moved up
// so that k lands in the exponent field, the bias added, and the bits around cut.
inline F64x2 scale_of(I64x2 shifted) {
  return simd::from_bits(((shifted << 45) + I64x2::splat(int64_t{1023} << 52)) &
                         I64x2::splat(0x7FF0000000000000));
}

// Lanes outside the positive normal finite numbers: high words outside [0x00100000,
// 0x7FEFFFFF], which adding 0x7FF00000 maps onto the signed values up to -0x200001.
inline int positive_normal_special(F64x2 x) {
  const __m128i high_words = _mm_shuffle_epi32(_mm_castpd_si128(x.v), _MM_SHUFFLE(3, 1, 3, 1));
  const __m128i moved = _mm_add_epi32(high_words, _mm_set1_epi32(0x7FF00000));
  return _mm_movemask_ps(_mm_castsi128_ps(_mm_cmpgt_epi32(moved, _mm_set1_epi32(-0x200001)))) & 3;
}

// An exponent as an integer or not: ±0 and every finite y of magnitude 2^53 or more
// are even, ±inf and NaN not integers.
enum class IntegerClass { kNotInteger, kOdd, kEven };
inline IntegerClass integer_class(double y) {
  if (!std::isfinite(y)) return IntegerClass::kNotInteger;
  const double a = std::fabs(y);
  if (a >= 0x1p53) return IntegerClass::kEven;
  if (std::trunc(a) != a) return IntegerClass::kNotInteger;
  return (static_cast<int64_t>(a) & 1) != 0 ? IntegerClass::kOdd : IntegerClass::kEven;
}

}  // namespace pow_core
}  // namespace zorn::tess
