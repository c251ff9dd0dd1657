// Single precision cores of Sinh, Cosh and Tanh on four float lanes: one table row at the
// nearest multiple of 1/32 (Tanh: the nearest float of six fraction bits) and the addition
// theorem (Tanh: the Taylor series), carried as an exact head and a small rest until one
// final rounding.
#pragma once

#include <iterator>

#include "tess_kernels/frame/simd.h"
#include "tess_kernels/inv_trig_hyp/hyperbolic_core_double.h"

namespace zorn::tess::hyperbolic_single {

using simd::F32x4;

[[gnu::always_inline]] inline F32x4 splat_single(float v) { return F32x4::splat(v); }

// Rows of a table of four floats (16-byte aligned) at the byte offsets of the lanes of
// `offset` (signed 32-bit) from `base`, transposed: column[c][l] = row at offset[l] of base, column c.
// The offsets leave through a store and four scalar loads (words_through_memory.h): the
// load and store ports are free where the vector ports are not (s Sinh 0.89x the time of
// two 64-bit moves and integer shifts). The transposition by eight shufps, half rows
// first, in place of _MM_TRANSPOSE4_PS's unpacks and half moves: as many instructions, s
// Cosh 0.94x the time, s Sinh and Tanh 0.98x.
[[gnu::always_inline]] inline void gather_rows_at(intptr_t base, __m128i offset_lanes,
                                                  F32x4 column[4]) {
  const simd::Words offset = simd::words_through_memory(offset_lanes);
  const auto row = [&](uint32_t o) {
    return _mm_load_ps(reinterpret_cast<const float*>(base + static_cast<int32_t>(o)));
  };
  const __m128 r0 = row(offset.w[0]), r1 = row(offset.w[1]);
  const __m128 r2 = row(offset.w[2]), r3 = row(offset.w[3]);
  const __m128 low01 = _mm_shuffle_ps(r0, r1, _MM_SHUFFLE(1, 0, 1, 0));
  const __m128 high01 = _mm_shuffle_ps(r0, r1, _MM_SHUFFLE(3, 2, 3, 2));
  const __m128 low23 = _mm_shuffle_ps(r2, r3, _MM_SHUFFLE(1, 0, 1, 0));
  const __m128 high23 = _mm_shuffle_ps(r2, r3, _MM_SHUFFLE(3, 2, 3, 2));
  column[0] = {_mm_shuffle_ps(low01, low23, _MM_SHUFFLE(2, 0, 2, 0))};
  column[1] = {_mm_shuffle_ps(low01, low23, _MM_SHUFFLE(3, 1, 3, 1))};
  column[2] = {_mm_shuffle_ps(high01, high23, _MM_SHUFFLE(2, 0, 2, 0))};
  column[3] = {_mm_shuffle_ps(high01, high23, _MM_SHUFFLE(3, 1, 3, 1))};
}
// The last argument of Sinh and Cosh with a finite float result (bits 0x42B2D4FC).
constexpr float kOverflowBound = 89.41598510742188f;
// x held to [-bound, bound]; a NaN lane becomes -bound. Lanes it changes take the callout.
[[gnu::always_inline]] inline F32x4 clamp_to_overflow_bound(F32x4 x) {
  return simd::min(simd::max(x, splat_single(-kOverflowBound)), splat_single(kOverflowBound));
}

// sinh x for |x| <= 89.416 (other lanes take the callout) by the addition theorem at c =
// k/32, k = round(32x): sinh x = sinh c cosh r + cosh c sinh r, r = x - c, |r| <= 1/64,
// carried as u = 32r (exact: 32x and 32x - k are). With cosh r - 1 = E = e u^2 and 32
// (sinh r - r) = O = o u^3 (one generated constant each: their relative errors, r^2/24 and
// r^2/20 halved, weigh below 2^-29 of the result), f = sinh c and g = cosh c,
//   sinh x = f + g r + f E + (g/32) O.
// The rows {f0, f1, h1, h2} (tools/tess_inverse_trig_tables) give the head s = f0 + h1 u
// exactly and the rest h2 u + f1 + u^2 ((f0 + f1) e + (h1 + h2) u o) below it:
// - up to |c| = 7/16, {c, f - c, 1/32, (g - 1)/32}: the head is c + u/32 = x itself, and
//   the rest at most 1/29 of the result (f - c is about c^3/6);
// - beyond, {f hi, f lo, 0, g/32}: the head is f hi, the rest at most 1/27 of the result
//   (g r/f is coth(c)/64 at most),
// so that the rest's roundings add at most about 0.07 ulp to the one final rounding (0.570
// ulp over every float, near |x| = 0.453 where the two kinds of rows meet). No series and no
// branch: row 0 is {-0, -0, 1/32, +0}, so that every term of sinh -0 is -0 and of sinh +0
// one is +0. Was a head f hi + head(g) r summed exactly by Dekker's fast two-sum on every
// row, with a rest of g in the rows: three operations a group more (0.522 ulp). Steps of
// 1/32 rather than 1/8 leave one term of each series, and the two series share their factor
// u^2, for four times the rows (92 KiB; [-20, 20] touches 20). The rows run over k of both
// signs, those of -k being those of k with f negated: every operation is symmetric, so
// sinh(-x) = -sinh(x) bit for bit with no absolute value and no sign put back (0.97x the
// time). k comes by conversion (cvtps2dq: the nearest integer in the rounding mode in
// force, as the additions of 1.5 * 2^23 and back gave) and returns as a float by cvtdq2ps,
// so that two additions leave the add pipes, and the offsets 16 k are read as signed
// words from row 0 (0.96-0.97x the time, same bits).
[[gnu::always_inline]] inline F32x4 sinh_core(F32x4 x) {
  const auto& rows = hyperbolic::data::kSinhRowsSingle;  // k = -2861 .. 2861
  const auto& c = hyperbolic::data::kSinhCoshEvenOdd;
  const F32x4 y = clamp_to_overflow_bound(x) * splat_single(32.0f);
  const __m128i k = _mm_cvtps_epi32(y.v);
  const F32x4 u = y - F32x4{_mm_cvtepi32_ps(k)};
  F32x4 row[4];
  gather_rows_at(reinterpret_cast<intptr_t>(&rows[std::size(rows) / 2]), _mm_slli_epi32(k, 4),
                 row);
  const F32x4 head_slope = row[2] * u;
  const F32x4 rest_slope = row[3] * u;
  const F32x4 head = row[0] + head_slope;
  const F32x4 series = (u * u) * ((row[0] + row[1]) * splat_single(c[0]) +
                                  (head_slope + rest_slope) * splat_single(c[1]));
  return head + (rest_slope + (row[1] + series));
}
// cosh x for |x| <= 89.416 on the same points, from rows {f hi, f lo, g/32, 0} with f =
// cosh c and g = sinh c rounded to float:
//   cosh x = f hi + ((f lo + f hi E + (g/32) O) + (g/32) u).
// |g r| <= cosh(c)/64, so the inner product and sum round at about 1/64 ulp of the result
// each and no exact product or two-sum is needed: nine operations after the gather, was
// fifteen (0.77x the time; 0.551 ulp over every float, was 0.507). The
// rows start at k = 0 and the kernel takes |x|: rows of both signs measured 1.005x the
// time (twice the rows touched). k by conversion as in sinh_core (a NaN lane's y is the
// bound: the minimum passes its second operand on).
[[gnu::always_inline]] inline F32x4 cosh_core(F32x4 x) {
  const auto& rows = hyperbolic::data::kCoshRowsSingle;  // k = 0 .. 2861
  const auto& c = hyperbolic::data::kSinhCoshEvenOdd;
  const F32x4 y = simd::min(simd::abs(x), splat_single(kOverflowBound)) * splat_single(32.0f);
  const __m128i k = _mm_cvtps_epi32(y.v);
  const F32x4 u = y - F32x4{_mm_cvtepi32_ps(k)};
  F32x4 row[4];
  gather_rows_at(reinterpret_cast<intptr_t>(rows), _mm_slli_epi32(k, 4), row);
  const F32x4 gu = row[2] * u;
  const F32x4 series = (u * u) * (row[0] * splat_single(c[0]) + gu * splat_single(c[1]));
  return row[0] + ((row[1] + series) + gu);
}

// tanh a for 0 <= a (NaN passes through) by the Taylor series at the float c of six
// fraction bits nearest a (c = 2^e (1 + j/64): relative steps, |r| <= 2^-7 c for r = a - c,
// exact), a held at 9.125 (from 9.011 on the result rounds to 1): with T = tanh c and G =
// 1 - T^2 (the derivatives of tanh are polynomials in it),
//   tanh a = T hi + (T lo + G (r - T r^2 + (T^2 - 1/3) r^3)).
// The first term left out, G T (2/3 - T^2) r^4, stays below 2^-29.8 of the result (largest
// near c = 2 to 3, where r reaches 2^-6). As the steps are relative, the G term is at most
// about 2^-7 of the result on every row, so its roundings weigh about 2^-7 ulp each and no
// exact head or remainder is needed. The series in place of the addition theorem's
// quotient G s/(1 + T s), s = tanh r, takes no division and one row column more (T^2 - 1/3,
// was 0): two operations a group fewer, 0.95x the time (0.519 ulp over every float, was
// 0.517). Below 2^-13 c is 0 and the floor row {0, 0, 1,
// -1/3} gives r - r^3/3 itself. The row offsets come from the bits of max(c, floor), those
// of NaN lanes from c = 0 (their comparison fails), while r carries the NaN to the result
// (the minimum passes it on): NaN marks the lanes for the callout. 1035 rows (17 KiB) from
// tools/tess_inverse_trig_tables.
[[gnu::always_inline]] inline F32x4 tanh_core(F32x4 magnitude) {
  using simd::I32x4;
  const auto& rows = hyperbolic::data::kTanhRowsSingle;
  constexpr uint32_t kFloorBits = 0x38FE0000;  // the grid point below 2^-13, row 0
  const F32x4 a = simd::min(splat_single(9.125f), magnitude);
  const I32x4 nearest = (simd::bits(a) + I32x4::splat(0x10000)) &
                        I32x4::splat(static_cast<int32_t>(0xFFFE0000));
  const F32x4 c = {_mm_and_ps(_mm_cmple_ps(splat_single(0x1p-13f).v, a.v),
                              simd::from_bits(nearest).v)};
  const F32x4 r = a - c;
  const F32x4 point = simd::max(c, simd::from_bits(I32x4::splat(kFloorBits)));
  F32x4 row[4];
  gather_rows_at(reinterpret_cast<intptr_t>(rows) - intptr_t{kFloorBits >> 13},
                 _mm_srli_epi32(simd::bits(point).v, 13), row);
  const F32x4 series = r + (r * r) * (row[3] * r - row[0]);
  return row[0] + (row[1] + row[2] * series);
}

}  // namespace zorn::tess::hyperbolic_single
