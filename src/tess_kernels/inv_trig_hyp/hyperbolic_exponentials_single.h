// Single precision cores of Sinh, Cosh and Tanh. Sinh and Cosh on four float lanes: one
// table row at the nearest multiple of 1/8 and the addition theorem, carried as an exact
// head and a small rest until one final rounding.
// Tanh on the float pairs widened to doubles: e^(2a) by one reduction and a fitted
// polynomial without a table, rounded once to float (relative error below 2^-30 before).
#pragma once

#include "tess_kernels/exp_log/double_cores_single.h"
#include "tess_kernels/frame/simd.h"
#include "tess_kernels/frame/simd_double.h"
#include "tess_kernels/inv_trig_hyp/hyperbolic_core_double.h"

namespace zorn::tess::hyperbolic_single {

using simd::F32x4;
using simd::F64x2;
using simd::I64x2;

[[gnu::always_inline]] inline F32x4 splat_single(float v) { return F32x4::splat(v); }
[[gnu::always_inline]] inline F64x2 splat_double(double v) { return F64x2::splat(v); }

// f(a) for f = sinh or cosh and 0 <= a <= 89.416 (held there: other lanes take the
// callout) by the addition theorem at c = k/8, k = round(8a): f(a) = f(c) cosh r +
// g(c) sinh r with g the other function and r = a - c, |r| <= 1/16, carried as u = 8r
// (exact: 8a and 8a - k are). The row {f hi, f lo, g head/8, g rest/8}
// (tools/tess_inverse_trig_tables) holds f(c) and g(c) = head + rest, the head short
// enough that head r = (head/8) u is exact; with cosh r - 1 = E (r^2/2 + r^4/24, the rest
// below 2^-33) and 8 (sinh r - r) = O (r^3/6 + r^5/120 in powers of u),
//   f(a) = (f hi + head r) + (f lo + f hi E + (g/8) O + (rest/8) u),
// the first sum taken exactly by Dekker's fast two-sum (|head r| <= f hi for every row
// but sinh's first, where f hi = 0) and the second at most 1/32 of the result, so that
// its roundings add below 1/16 ulp to the one final rounding. No series and no branch:
// sinh near 0 is r + O/8 itself (row 0 is {0, 0, 1/8, 0}).
template <const float (&kRows)[716][4]>
[[gnu::always_inline]] inline F32x4 addition_core(F32x4 a) {
  const F32x4 shifter = splat_single(12582912.0f);  // 1.5 * 2^23: k in the low bits of t
  const F32x4 y = simd::min(a, splat_single(89.416f)) * splat_single(8.0f);
  const F32x4 t = y + shifter;
  const F32x4 u = y - (t - shifter);
  F32x4 row[4];
  simd::gather_rows(kRows, simd::bits(t), row);
  const F32x4 z = u * u;
  const F32x4 even = z * (splat_single(1.0f / 128) + z * splat_single(1.0f / 98304));
  const F32x4 odd = (u * z) * (splat_single(1.0f / 384) + z * splat_single(1.0f / 491520));
  const F32x4 p = row[2] * u;
  const F32x4 s = row[0] + p;
  const F32x4 e = (row[0] - s) + p;
  const F32x4 rest = ((row[1] + row[0] * even) + (row[2] + row[3]) * odd) + row[3] * u;
  return s + (e + rest);
}
[[gnu::always_inline]] inline F32x4 sinh_core(F32x4 a) {
  return addition_core<hyperbolic::data::kSinhRowsSingle>(a);
}
// The kernel passes x with its sign (cosh is even).
[[gnu::always_inline]] inline F32x4 cosh_core(F32x4 x) {
  return addition_core<hyperbolic::data::kCoshRowsSingle>(simd::abs(x));
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
