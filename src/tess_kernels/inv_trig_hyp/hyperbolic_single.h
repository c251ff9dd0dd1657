// Single precision kernels of the hyperbolic functions and their inverses: Sinh and Cosh
// in float from one exponential reduction, Tanh and the inverses on the four lanes
// widened to two pairs of doubles through short double precision formulas, rounded once;
// callouts that compute in double precision (through the double kernels' callouts).
#pragma once

#include <cstdint>

#include "tess_kernels/exp_log/double_cores_single.h"
#include "tess_kernels/frame/core_single.h"
#include "tess_kernels/inv_trig_hyp/hyperbolic_core_double.h"

namespace zorn::tess {

// The callouts give the correct single precision result of *x in *r and its status:
// Sinh, Cosh 3 on overflow; Acosh 1 below 1; Atanh 2 at ±1, 1 beyond (infinities
// included); Tanh and Asinh never report.
int32_t tess_callout_sSinh(const float* x, float* r);
int32_t tess_callout_sCosh(const float* x, float* r);
int32_t tess_callout_sTanh(const float* x, float* r);
int32_t tess_callout_sAsinh(const float* x, float* r);
int32_t tess_callout_sAcosh(const float* x, float* r);
int32_t tess_callout_sAtanh(const float* x, float* r);

namespace hyperbolic_single {

using simd::F64x2;
using hyperbolic::splat;

constexpr int32_t kOverflowBoundBits = 0x42B2D4FC;  // 89.41599, the last finite result

namespace data = hyperbolic::data;

using simd::F32x4;
using simd::I32x4;
ZORN_FAST_INLINE F32x4 fsplat(float v) { return F32x4::splat(v); }

// Sinh and Cosh compute in float. e^a and e^-a for 0 <= a <= 89.5 come from one
// reduction: k = 64 M + j the nearest integer to 64 a / ln 2 (by the float shifter),
// r = a - k ln2/64 with ln2/64 in two parts (k times the 9-bit head and the difference
// are exact), |r| <= 0.0055; 2^(j/64) = T and 2^(-j/64) = U from one table row (head and
// remainder each), e^(+-r) - 1 by the series to degree 3 (the rest below 2^-34). Then
//   e^a + e^-a = 2^M (P + Q) and e^a - e^-a = 2^M (P - Q),
//   P = T e^r, Q = 2^(-2M) U e^-r,
// each as a head (a table entry, exact) and a small part below 0.02 of it, so that the
// heads' sum is carried exactly and one rounding gives the result within about 0.51
// ulp. Q is dropped from M = 40 on (2^-80 of P), which keeps 2^(-2M) a normal float.
struct ExpPair {
  F32x4 p_head, p_small, q_head, q_small;
  F32x4 quarter_scale;  // 2^(M - 2): 2^(M - 1) would overflow at M = 129 (a near 89.4)
};
ZORN_FAST_INLINE ExpPair exp_pair(F32x4 a) {
  const F32x4 shifter = fsplat(12582912.0f);  // 1.5 * 2^23
  const F32x4 t = a * fsplat(92.33248f) + shifter;
  const F32x4 k = t - shifter;
  const F32x4 r = (a - k * fsplat(0x1.63p-7f)) - k * fsplat(-3.3155381e-06f);
  const F32x4 r2 = r * r;
  const F32x4 even = r2 * fsplat(0.5f), odd = (r2 * r) * fsplat(1.0f / 6);
  const F32x4 exp_plus = r + (even + odd), exp_minus = (even - odd) - r;
  F32x4 row[4];
  simd::gather_rows(data::kExp2PlusMinusOver64, simd::bits(t) & I32x4::splat(63), row);
  const I32x4 m = (simd::bits(t) >> 6) & I32x4::splat(0xFF);
  const F32x4 inverse_square = simd::from_bits(((I32x4::splat(127) - (m + m)) << 23) &
                                               (I32x4::splat(40) > m));
  const F32x4 q_head = inverse_square * row[2];
  return {row[0], row[1] + row[0] * exp_plus, q_head,
          inverse_square * row[3] + q_head * exp_minus,
          simd::from_bits((m + I32x4::splat(125)) << 23)};
}

// 2^(M - 1) (P + Q) = cosh a, or 2^(M - 1) (P - Q) = sinh a with kDifference: the head
// of P is at least that of Q, so the heads' sum and its error are exact (Fast2Sum).
template <bool kDifference>
ZORN_FAST_INLINE F32x4 half_sum(const ExpPair& e) {
  const F32x4 zero = fsplat(0.0f);
  const F32x4 q_head = kDifference ? zero - e.q_head : e.q_head;
  const F32x4 q_small = kDifference ? zero - e.q_small : e.q_small;
  const F32x4 s = e.p_head + q_head;
  const F32x4 tail = ((e.p_head - s) + q_head) + (e.p_small + q_small);
  return ((s + tail) * e.quarter_scale) * fsplat(2.0f);
}

// sinh a = a + a z S(z), z = a^2, for a < 1/4 (Taylor to a^9, the rest below 2^-40 of
// the result), as the exact a and a part below 0.011 of it. Above 1/4, P - Q cancels
// less than a factor 4 and the small parts' errors stay below 1/30 ulp.
constexpr float kSinhSeriesLimit = 0.25f;
ZORN_FAST_INLINE F32x4 sinh_series_tail(F32x4 a) {
  const F32x4 z = a * a;
  return (a * z) * (fsplat(1.0f / 6) +
                    z * (fsplat(1.0f / 120) + z * (fsplat(1.0f / 5040) + z * fsplat(1.0f / 362880))));
}

ZORN_FAST_INLINE F32x4 cosh_core(F32x4 x) { return half_sum<false>(exp_pair(simd::abs(x))); }
ZORN_FAST_INLINE F32x4 sinh_core(F32x4 a) {
  return simd::select(simd::less(a, fsplat(kSinhSeriesLimit)), a + sinh_series_tail(a),
                      half_sum<true>(exp_pair(a)));
}
// tanh a = m / (m + 2) with m = e^(2a) - 1 in double, accurate relative to itself as a
// goes to 0 (k = 0 for small arguments, as in Expm1); beyond 10 the quotient rounds to 1.
// (The float sums above, joined and divided in double, measured slower.)
ZORN_FAST_INLINE F64x2 tanh_core(F64x2 a) {
  const F64x2 z = simd::min(a, F64x2::splat(10.0)) * F64x2::splat(2.8853900817779268);  // 2 log2 e
  const PowerOfTwoParts p = power_of_two_parts<true>(z);
  const F64x2 m = p.scale * p.q + (p.scale - F64x2::splat(1.0));
  return m / (m + F64x2::splat(2.0));
}
// ln v for a positive normal double v to a relative error near 2^-34 (enough for one
// rounding to float), or an absolute one near 2^-53 as v nears 1. From the bits of v =
// 2^e m: the point c = 1 + j/64 nearest m (j = 64 at m near 2, whose row holds ln 2),
// r = m c^-1 - 1 with |r| <= 0.009 and c^-1 of 11 bits, so that for e = j = 0, r = m - 1
// exactly; ln v = e ln 2 + ln c + ln(1 + r).
ZORN_FAST_INLINE F64x2 natural_log(F64x2 v) {
  using simd::I64x2;
  const I64x2 b = simd::bits(v);
  const I64x2 mantissa = b & I64x2::splat(0x000FFFFFFFFFFFFF);
  const I64x2 j = (mantissa + I64x2::splat(int64_t{1} << 45)) >> 46;
  const F64x2 m = simd::from_bits(mantissa | I64x2::splat(0x3FF0000000000000));
  // The biased exponent as the low bits of 2^52 + field, less 2^52 + 1023.
  const F64x2 e = simd::from_bits((b >> 52) | I64x2::splat(0x4330000000000000)) -
                  splat(4503599627371519.0);
  const uint32_t j0 = static_cast<uint32_t>(j.low32_lane0());
  const uint32_t j1 = static_cast<uint32_t>(j.low32_lane1());
  const auto& table = log_single_data::kLogPointsSingle;
  const F64x2 r = m * simd::gather_column(table, 0, j0, j1) - splat(1.0);
  return (e * splat(0.6931471805599453) + simd::gather_column(table, 1, j0, j1)) +
         ln_one_plus_small(r);
}
// Below 2^-12, the series a - a^3/6 (the rest below 2^-46 of the result); above, the
// logarithm's absolute error near 2^-53 stays below 2^-40 of the result.
ZORN_FAST_INLINE F64x2 asinh_core(F64x2 a) {
  const F64x2 y = natural_log(a + hyperbolic::sqrt(a * a + splat(1.0)));
  const F64x2 series = a - (a * a) * a * splat(1.0 / 6);
  return simd::select(simd::less(a, splat(0x1p-12)), series, y);
}
// x - 1 is exact for a float x >= 1, so that near 1 the root keeps its relative accuracy.
ZORN_FAST_INLINE F64x2 acosh_core(F64x2 x) {
  return natural_log(x + hyperbolic::sqrt((x - splat(1.0)) * (x + splat(1.0))));
}
ZORN_FAST_INLINE F64x2 atanh_core(F64x2 a) {
  const F64x2 y = splat(0.5) * natural_log((splat(1.0) + a) / (splat(1.0) - a));
  const F64x2 series = a + (a * a) * a * splat(1.0 / 3);
  return simd::select(simd::less(a, splat(0x1p-12)), series, y);
}

ZORN_FAST_INLINE int beyond_overflow_bound(simd::F32x4 x) {
  return simd::lane_mask(simd::bits(simd::abs(x)) > simd::I32x4::splat(kOverflowBoundBits));
}
// Infinities and NaN.
ZORN_FAST_INLINE int not_finite(simd::F32x4 x) {
  return simd::lane_mask_not_less_equal(simd::abs(x), simd::F32x4::splat(3.4028235e38f));
}
ZORN_FAST_INLINE int nan_lanes(simd::F32x4 x) {
  return simd::lane_mask_not_less_equal(simd::abs(x), simd::F32x4::splat(INFINITY));
}
// Below 1, +inf and NaN.
ZORN_FAST_INLINE int outside_acosh_range(simd::F32x4 x) {
  return simd::lane_mask_less(x, simd::F32x4::splat(1.0f)) | not_finite(x);
}
ZORN_FAST_INLINE int outside_open_unit(simd::F32x4 x) {
  return simd::lane_mask_not_less(simd::abs(x), simd::F32x4::splat(1.0f));
}

}  // namespace hyperbolic_single

using SinhSingle = CoreSingle<hyperbolic_single::sinh_core, true,
                                    hyperbolic_single::beyond_overflow_bound, tess_callout_sSinh>;
using CoshSingle = CoreSingle<hyperbolic_single::cosh_core, false,
                                    hyperbolic_single::beyond_overflow_bound, tess_callout_sCosh>;
using TanhSingle = CoreSingle<hyperbolic_single::tanh_core, true,
                                    hyperbolic_single::nan_lanes, tess_callout_sTanh>;
using AsinhSingle = CoreSingle<hyperbolic_single::asinh_core, true,
                                     hyperbolic_single::not_finite, tess_callout_sAsinh>;
using AcoshSingle = CoreSingle<hyperbolic_single::acosh_core, false,
                                     hyperbolic_single::outside_acosh_range, tess_callout_sAcosh>;
using AtanhSingle = CoreSingle<hyperbolic_single::atanh_core, true,
                                     hyperbolic_single::outside_open_unit, tess_callout_sAtanh>;

}  // namespace zorn::tess
