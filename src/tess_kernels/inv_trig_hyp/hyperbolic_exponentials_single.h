// Single precision cores of Sinh, Cosh and Tanh. Sinh and Cosh on four float lanes: the
// halves of e^a and e^-a from one reduction of the exponential and one table row, carried
// as exact heads and small rests until one final rounding; sinh near 0 by its series.
// Tanh on the float pairs widened to doubles: e^(2a) by one reduction and a fitted
// polynomial without a table, rounded once to float (relative error below 2^-30 before).
#pragma once

#include "tess_kernels/exp_log/double_cores_single.h"
#include "tess_kernels/exp_log/exp_single.h"
#include "tess_kernels/frame/simd.h"
#include "tess_kernels/frame/simd_double.h"
#include "tess_kernels/inv_trig_hyp/hyperbolic_core_double.h"

namespace zorn::tess::hyperbolic_single {

using simd::F32x4;
using simd::F64x2;
using simd::I32x4;
using simd::I64x2;

[[gnu::always_inline]] inline F32x4 splat_single(float v) { return F32x4::splat(v); }
[[gnu::always_inline]] inline F64x2 splat_double(double v) { return F64x2::splat(v); }

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

constexpr double kLn2 = 0.6931471805599453;

// z = n + f for |z| < 2^50: n the nearest integer (in the low bits of z + 1.5 * 2^52),
// kept as n << 52, the exponent field of 2^n; f = z - n exact, |f| <= 1/2.
struct Exp2Split {
  I64x2 exponent;
  F64x2 f;
};
[[gnu::always_inline]] inline Exp2Split exp2_split(F64x2 z) {
  const F64x2 shifter = splat_double(6755399441055744.0);
  const F64x2 t = z + shifter;
  return {simd::bits(t) << 52, z - (t - shifter)};
}

// tanh a = q / (q + 2) with q = e^(2a) - 1 = 2^n (2^f - 1) + (2^n - 1) for z = 2a/ln2, a
// at least 0 and held at 9.5 (from 9.02 on the result rounds to 1): 2^n - 1 is exact,
// and q keeps its relative accuracy as a goes to 0, where n = 0 and q = 2^f - 1.
[[gnu::always_inline]] inline F64x2 tanh_held(F64x2 a) {
  const auto& c = hyperbolic::data::kTanhExp2Polynomial;
  const Exp2Split s = exp2_split(a * splat_double(2 / kLn2));
  // Estrin's scheme: the chains of the group stay short enough for the out-of-order
  // window to overlap several groups (Horner's rule measured 3% slower).
  const F64x2 f = s.f, f2 = f * f, f4 = f2 * f2;
  const auto pair = [&](int i) { return splat_double(c[i]) + f * splat_double(c[i + 1]); };
  const F64x2 high = pair(4) + f2 * splat_double(c[6]);
  const F64x2 p = f * ((pair(0) + f2 * pair(2)) + f4 * high);
  const F64x2 power = simd::from_bits(s.exponent + simd::bits(splat_double(1.0)));
  const F64x2 q = power * p + (power - splat_double(1.0));
  return q / (q + splat_double(2.0));
}
[[gnu::always_inline]] inline F32x4 tanh_core(F32x4 a) {
  return in_double(simd::min(a, F32x4::splat(9.5f)), tanh_held);
}

}  // namespace zorn::tess::hyperbolic_single
