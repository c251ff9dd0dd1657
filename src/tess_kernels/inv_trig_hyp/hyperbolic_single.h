// Single precision kernels of the hyperbolic functions and their inverses: Sinh and Cosh
// on the four float lanes (hyperbolic_exponentials_single.h), the others with the lanes
// widened to two pairs of doubles through short double precision formulas, rounded once;
// callouts that compute in double precision (through the double kernels' callouts).
#pragma once

#include <cstdint>

#include "tess_kernels/exp_log/double_cores_single.h"
#include "tess_kernels/frame/core_single.h"
#include "tess_kernels/inv_trig_hyp/hyperbolic_core_double.h"
#include "tess_kernels/inv_trig_hyp/hyperbolic_exponentials_single.h"

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

using simd::I64x2;

// Tanh computes in double on 0 <= a <= 10. t = a log2 e = k + f with k the nearest integer (the low bits
// of the 1.5 * 2^52 shifter) and |f| <= 1/2 exact; 2^(+-f) = C +- S from the even and
// odd parts of one polynomial pass (relative errors near 2^-34 and 2^-37). With
// ch = (2^k + 2^-k)/2 and sh = (2^k - 2^-k)/2 (rounded once; sh = 0 and ch = 1 at k = 0),
//   cosh a = C ch + S sh,   sinh a = C sh + S ch,
// so that near 0 the sine is S itself and keeps its relative accuracy (f = a log2 e
// rounded once), and from k = 1 on the sum cancels less than a factor 4.
struct HalfBinadeParts {
  F64x2 even, odd, ch, sh;  // C, S, ch, sh
};
ZORN_FAST_INLINE HalfBinadeParts half_binade_parts(F64x2 a) {
  constexpr double kShifter = 6755399441055744.0;  // 1.5 * 2^52
  const F64x2 t = a * splat(1.4426950408889634);
  const F64x2 shifted = t + splat(kShifter);
  const F64x2 f = t - (shifted - splat(kShifter));
  const F64x2 z = f * f;
  const auto& c = data::kCoshHalfBinade;
  const auto& s = data::kSinhHalfBinade;
  const F64x2 even = splat(c[0]) + z * (splat(c[1]) + z * (splat(c[2]) + z * splat(c[3])));
  const F64x2 odd = f * (splat(s[0]) + z * (splat(s[1]) + z * (splat(s[2]) + z * splat(s[3]))));
  // k << 52 from the shifter's low bits; the biases 1022 give the halving.
  const I64x2 exponent = simd::bits(shifted) << 52;
  const F64x2 up = simd::from_bits(exponent + I64x2::splat(int64_t{1022} << 52));
  const F64x2 down = simd::from_bits(I64x2::splat(int64_t{1022} << 52) - exponent);
  return {even, odd, up + down, up - down};
}

// tanh a = sinh a / cosh a; from 10 on it rounds to 1 (1 - tanh a < 2^-27).
ZORN_FAST_INLINE F64x2 tanh_core(F64x2 a) {
  const HalfBinadeParts p = half_binade_parts(simd::min(a, splat(10.0)));
  return (p.even * p.sh + p.odd * p.ch) / (p.even * p.ch + p.odd * p.sh);
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
