// Single precision cores of Sinh, Cosh and Tanh on four float lanes: the halves of e^a
// and e^-a from one reduction of the exponential and one table row, carried as exact
// heads and small rests until one final rounding (Tanh: e^(2a) alone); sinh and tanh
// near 0 by their series.
#pragma once

#include "tess_kernels/exp_log/exp_single.h"
#include "tess_kernels/frame/simd.h"
#include "tess_kernels/inv_trig_hyp/hyperbolic_core_double.h"

namespace zorn::tess::hyperbolic_single {

using simd::F32x4;
using simd::I32x4;

[[gnu::always_inline]] inline F32x4 splat_single(float v) { return F32x4::splat(v); }

// e^a/4 = head_plus + rest_plus and e^-a/4 = head_minus + rest_minus for 0 <= a <= 89.5
// (the quarter keeps 2^(M-2) finite up to the overflow bound, M = 129; the callers double).
// The exponential's reduction gives n = 128 M + j nearest to a 128/ln2 (n >= 0 in every
// rounding mode, as a >= 0) and r = a - n ln2/128, |r| <= ln2/256 (twice that under a
// directed rounding). e^a/4 = 2^(M-2) 2^(j/128) e^r and e^-a/4 = 2^(-M-2) 2^(-j/128) e^-r,
// both powers of 2^(1/128) as {hi, lo} in one table row; e^(+-r) - 1 = E +- O with
// E = r^2/2 and O = r + r^3/6 (the rest below 2^-37). The heads 2^(+-M-2) hi are exact,
// the rests 2^(+-M-2) (hi (E +- O) + lo) at most 0.006 of them, and head_plus >=
// head_minus. From M = 125 on (a >= 86.6, where e^-a is far below an ulp of e^a), the
// minus parts are 0.
struct QuarterExponentials {
  F32x4 head_plus, head_minus, rest_plus, rest_minus;
};
[[gnu::always_inline]] inline QuarterExponentials quarter_exponentials(F32x4 a) {
  F32x4 t, r;
  ExpSingle::reduce(a, t, r);
  const F32x4 r2 = r * r;
  const F32x4 even = r2 * splat_single(0.5f);
  const F32x4 odd = r + r * (r2 * splat_single(1.0f / 6));
  F32x4 row[4];
  simd::gather_rows(hyperbolic::data::kExp2PlusMinusOver128Single,
                    simd::bits(t) & I32x4::splat(127), row);
  // M << 23 from n in the low bits of t (j's bits fall below the exponent field).
  const I32x4 m = (simd::bits(t) << 16) & I32x4::splat(0x7F800000);
  const I32x4 quarter_bias = I32x4::splat(125 << 23);
  const F32x4 up = simd::from_bits(m + quarter_bias);
  // 125 - M in the exponent field, saturated at 0 (the high halfwords subtracted
  // unsigned, the low ones are 0): 2^(-M-2), or 0 from M = 125 on.
  const F32x4 down = simd::from_bits(I32x4{_mm_subs_epu16(quarter_bias.v, m.v)});
  return {row[0] * up, row[2] * down, (row[0] * (even + odd) + row[1]) * up,
          (row[2] * (even - odd) + row[3]) * down};
}

// cosh a / 2 = (A + B) + (c+ + c-) and sinh a / 2 = (A - B) + (c+ - c-) with the heads
// A >= B summed exactly by Dekker's fast two-sum: the rests add below 0.01 ulp to the one
// final rounding, and the doubling is exact. The sine cancels by at most coth(1/8) = 8
// from 1/8 on, where the error of r (2^-33) stays below 2^-30 of the result.
// The kernel passes x with its sign (cosh is even).
[[gnu::always_inline]] inline F32x4 cosh_core(F32x4 x) {
  const QuarterExponentials h = quarter_exponentials(simd::abs(x));
  const F32x4 s = h.head_plus + h.head_minus;
  const F32x4 e = h.head_minus - (s - h.head_plus);
  return (s + (e + (h.rest_plus + h.rest_minus))) * splat_single(2.0f);
}

// sinh a = a + a^3 (1/3! + a^2/5! + a^4/7!) below 1/8 (the rest below 2^-43 of the
// result; the series after a adds at most 0.003 of it, so that its roundings add below
// 0.01 ulp to the last one).
[[gnu::always_inline]] inline F32x4 sinh_series(F32x4 a) {
  const F32x4 z = a * a;
  const F32x4 p = splat_single(1.0f / 6) + z * (splat_single(1.0f / 120) + z * splat_single(1.0f / 5040));
  return a + a * (z * p);
}

// A group whose lanes all lie below 1/8 takes the series alone.
[[gnu::always_inline]] inline F32x4 sinh_core(F32x4 a) {
  const F32x4 in_series = simd::less(a, splat_single(0.125f));
  const int series_lanes = simd::lane_mask(simd::bits(in_series));
  if (series_lanes == 0xF) return sinh_series(a);
  const QuarterExponentials h = quarter_exponentials(a);
  const F32x4 s = h.head_plus - h.head_minus;
  const F32x4 e = (h.head_plus - s) - h.head_minus;
  const F32x4 y = (s + (e + (h.rest_plus - h.rest_minus))) * splat_single(2.0f);
  if (series_lanes == 0) return y;
  return simd::select(in_series, sinh_series(a), y);
}

// tanh a = a + a^3 P(a^2) below 0.55 (P from the table tool, relative error 2^-24): the
// part after a is at most 0.1 of the result, and its five roundings and P's error add
// up to 0.33 ulp to the last rounding (0.83 ulp found over every float below 0.55).
[[gnu::always_inline]] inline F32x4 tanh_series(F32x4 a) {
  const F32x4 z = a * a;
  const auto& c = hyperbolic::data::kTanhSeriesSingle;
  const F32x4 p = splat_single(c[0]) +
                  z * (splat_single(c[1]) +
                       z * (splat_single(c[2]) + z * (splat_single(c[3]) + z * splat_single(c[4]))));
  return a + a * (z * p);
}

// tanh a = 1 - u, u = 2/D, D = e^(2a) + 1, from 0.55 on, where the result is at least 1/2
// and u at most 1/2 (a held at 9.5: from 9.02 on the result rounds to 1). e^(2a) = E + e
// from the exponential's reduction (2a exact, n < 2^12, r to 2^-33) and table, E = 2^(n
// div 128) hi exact and at least 1, e^r - 1 to r^3/6 (the rest below 2^-38). D = D_hi +
// D_lo by two fast two-sums, renormalised so that D_lo is at most half an ulp of D_hi;
// u0 = 2/D_hi, and u = u0 - c with c = u0^2 D_lo/2 to 2^-46 of u. 1 - u0 is a fast
// two-sum v + v_err, and y = v + (v_err + c) rounds once: the rounding of u0, at most
// 2^-26, adds a quarter of an ulp of the result to its own half (0.75 ulp found).
[[gnu::always_inline]] inline F32x4 tanh_exponential(F32x4 a) {
  F32x4 t, r;
  const F32x4 held = simd::min(a, splat_single(9.5f));
  ExpSingle::reduce(held + held, t, r);
  const F32x4 p = r + (r * r) * (splat_single(0.5f) + r * splat_single(1.0f / 6));
  const ExpSingle::TablePower w = ExpSingle::table_power_parts(t);
  const F32x4 e_hi = w.hi * w.scale;
  const F32x4 e_lo = (p * w.hi + w.lo) * w.scale;
  const F32x4 one = splat_single(1.0f);
  const F32x4 s = e_hi + one;
  const F32x4 tail = (one - (s - e_hi)) + e_lo;
  const F32x4 d_hi = s + tail;
  const F32x4 d_lo = tail - (d_hi - s);
  const F32x4 u0 = splat_single(2.0f) / d_hi;
  const F32x4 c = (u0 * u0) * (d_lo * splat_single(0.5f));
  const F32x4 v = one - u0;
  const F32x4 v_err = (one - v) - u0;
  return v + (v_err + c);
}

// Both forms on every lane and a select, which leaves the group without branches, so
// that the paired loop interleaves two groups.
[[gnu::always_inline]] inline F32x4 tanh_core(F32x4 a) {
  return simd::select(simd::less(a, splat_single(0.55f)), tanh_series(a), tanh_exponential(a));
}

}  // namespace zorn::tess::hyperbolic_single
