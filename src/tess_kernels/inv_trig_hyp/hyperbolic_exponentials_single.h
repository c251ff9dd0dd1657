// Single precision cores of Sinh, Cosh and Tanh on four float lanes: one table row at the
// nearest multiple of 1/8 and the addition theorem, carried as an exact head and a small
// rest until one final rounding.
#pragma once

#include <iterator>

#include "tess_kernels/frame/simd.h"
#include "tess_kernels/inv_trig_hyp/hyperbolic_core_double.h"

namespace zorn::tess::hyperbolic_single {

using simd::F32x4;

[[gnu::always_inline]] inline F32x4 splat_single(float v) { return F32x4::splat(v); }

// The rows k of a table of four floats (16-byte aligned, row0 the row of k = 0, k of
// either sign) for the lanes of t = y + 1.5 * 2^23, whose bits are 0x4B400000 + k,
// transposed: column[c][l] = row0[k_l][c]. The byte offsets 16 k, with the exponent bits
// still in them (0xB4000000 after the shift by 4, taken off the base once), leave through
// a store and four scalar loads
// (words_through_memory.h): the load and store ports are free where the vector ports
// are not (s Sinh 0.89x the time of two 64-bit moves and integer shifts). The
// transposition by eight shufps, half rows first, in place of _MM_TRANSPOSE4_PS's unpacks
// and half moves: as many instructions, s Cosh 0.94x the time, s Sinh and Tanh 0.98x.
[[gnu::always_inline]] inline void gather_shifted_rows(const float (*row0)[4], F32x4 t,
                                                       F32x4 column[4]) {
  const simd::Words offset =
      simd::words_through_memory(_mm_slli_epi32(_mm_castps_si128(t.v), 4));
  const uintptr_t base = reinterpret_cast<uintptr_t>(row0) - uintptr_t{0xB4000000u};
  const auto row = [&](uint32_t o) {
    return _mm_load_ps(reinterpret_cast<const float*>(base + o));
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

// f(x) for f = sinh or cosh and |x| <= 89.416 (other lanes take the callout) by the
// addition theorem at c = k/8, k = round(8x): f(x) = f(c) cosh r + g(c) sinh r with g the
// other function and r = x - c, |r| <= 1/16, carried as u = 8r (exact: 8x and 8x - k are).
// The row {f hi, f lo, g head/8, g rest/8} (tools/tess_inverse_trig_tables) holds f(c) and
// g(c) = head + rest, the head short enough that head r = (head/8) u is exact; with
// cosh r - 1 = E (r^2/2 + r^4/24, the rest below 2^-33) and 8 (sinh r - r) = O (r^3/6 +
// r^5/120 in powers of u),
//   f(x) = (f hi + head r) + (f lo + f hi E + (g/8) O + (rest/8) u),
// the first sum taken exactly by Dekker's fast two-sum (|head r| <= |f hi| for every row
// but sinh's row 0, where f hi = 0) and the second at most 1/32 of the result, so that
// its roundings add below 1/16 ulp to the one final rounding. No series and no branch:
// sinh near 0 is r + O/8 itself (row 0 is {-0, -0, 1/8, 0}, and the two-sum's error
// taken as p - (s - f hi), so that every term of sinh -0 is -0 and of sinh +0 one is +0).
// Sinh's rows run over k of both signs, those of -k being those of k with f negated:
// every operation is symmetric, so sinh(-x) = -sinh(x) bit for bit with no absolute
// value and no sign put back (s Sinh 0.97x the time). Cosh's start at k = 0 and take |x|:
// rows of both signs measured 1.005x the time (twice the rows touched).
[[gnu::always_inline]] inline F32x4 addition_core(const float (*row0)[4], F32x4 held) {
  const F32x4 shifter = splat_single(12582912.0f);  // 1.5 * 2^23: k in the low bits of t
  const F32x4 y = held * splat_single(8.0f);
  const F32x4 t = y + shifter;
  const F32x4 u = y - (t - shifter);
  F32x4 row[4];
  gather_shifted_rows(row0, t, row);
  const F32x4 z = u * u;
  const F32x4 even = z * (splat_single(1.0f / 128) + z * splat_single(1.0f / 98304));
  const F32x4 odd = (u * z) * (splat_single(1.0f / 384) + z * splat_single(1.0f / 491520));
  const F32x4 p = row[2] * u;
  const F32x4 s = row[0] + p;
  const F32x4 e = p - (s - row[0]);
  const F32x4 rest = ((row[1] + row[0] * even) + (row[2] + row[3]) * odd) + row[3] * u;
  return s + (e + rest);
}
// The kernel passes x with its sign to both.
[[gnu::always_inline]] inline F32x4 sinh_core(F32x4 x) {
  const auto& rows = hyperbolic::data::kSinhRowsSingle;  // k = -715 .. 715
  return addition_core(&rows[std::size(rows) / 2], clamp_to_overflow_bound(x));
}
[[gnu::always_inline]] inline F32x4 cosh_core(F32x4 x) {
  return addition_core(hyperbolic::data::kCoshRowsSingle,
                       simd::min(simd::abs(x), splat_single(kOverflowBound)));
}

// tanh a for a >= 0 by the addition theorem at c = k/8, k = round(8a) with a held at
// 9.125 (from 9.011 on the result rounds to 1): with T = tanh c, G = 1 - T^2 and s =
// tanh r (r = a - c, |r| <= 1/16, carried as u = 8r),
//   tanh a = T + G s/(1 + T s) = T + G r + G d,   d = (s - r - T s r)/(1 + T s),
// d near -T r^2. The row {T hi, T lo, G head/8, G rest/8} (tools/tess_inverse_trig_tables)
// holds G's head short enough that head r is exact, as in addition_core:
//   tanh a = (T hi + head r) + (T lo + G d + rest r),
// the first sum exact by the fast two-sum (T hi >= tanh 1/8 > 1/16 >= head r but in row 0,
// where T = 0), the second at most 1/32 of the result. s - r = r^3 P(r^2) is a fit (relative error
// 2^-21.5, and s - r is at most r^2/3 of s); d needs 2^-20 only, so that the one division
// in float serves.
[[gnu::always_inline]] inline F32x4 tanh_core(F32x4 a) {
  const auto& q = hyperbolic::data::kTanhCubicPolynomial;
  const F32x4 shifter = splat_single(12582912.0f);  // 1.5 * 2^23: k in the low bits of t
  const F32x4 y = simd::min(a, splat_single(9.125f)) * splat_single(8.0f);
  const F32x4 t = y + shifter;
  const F32x4 u = y - (t - shifter);
  F32x4 row[4];
  gather_shifted_rows(hyperbolic::data::kTanhRowsSingle, t, row);
  const F32x4 z = u * u;
  const F32x4 cubic = (u * z) * (splat_single(q[0]) + z * splat_single(q[1]));  // 8 (s - r)
  const F32x4 ts = (row[0] * splat_single(0.125f)) * (u + cubic);                // T s
  const F32x4 d = (cubic - ts * u) / (splat_single(1.0f) + ts);                  // 8d
  const F32x4 p = row[2] * u;
  const F32x4 sum = row[0] + p;
  const F32x4 e = (row[0] - sum) + p;
  const F32x4 rest = (row[1] + (row[2] + row[3]) * d) + row[3] * u;
  return sum + (e + rest);
}

}  // namespace zorn::tess::hyperbolic_single
