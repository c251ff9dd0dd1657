// Double precision cores of the complex lanes for single precision elements: cos y and
// sin y, sinh x and cosh x, ln s, atan2(y, x) to about 2^-33 relative or better, so that
// a part formed from a few of them in double rounds to float within about 0.501 ulp. Two
// lanes per call.
#pragma once

#include "tess_kernels/complex/cis_single_polynomials.h"
#include "tess_kernels/exp_log/double_cores_single.h"
#include "tess_kernels/frame/polynomial_double.h"
#include "tess_kernels/frame/simd_double.h"
#include "tess_kernels/inv_trig_hyp/atan_float.h"
#include "tess_kernels/trig/sin_core_double.h"

namespace zorn::tess::cx {

// Bounds of the cores' arguments (the elements beyond go to the scalar forms).
constexpr double kSingleCircularLimit = 10000.0;
constexpr double kSingleHyperbolicLimit = 89.0;

// cos y and sin y to about 2^-35 relative for |y| <= 10000: k the nearest integer to
// y 2/pi, r = y - k pi/2 with pi/2 in two parts (k < 2^13, so k times the first is
// exact), near-minimax polynomials of sin r and cos r on |r| <= pi/4 (2^-35.6 and
// 2^-39.5), and the quadrant k mod 4 choosing and signing them.
struct CosSin {
  simd::F64x2 c, s;
};
[[gnu::always_inline]] inline CosSin cos_sin_single(simd::F64x2 y) {
  using simd::F64x2;
  using simd::I64x2;
  constexpr double kPiOver2Hi = 128 * sin_core::kPiOver256Hi;
  constexpr double kPiOver2Rest = 128 * sin_core::kPiOver256Mid + 128 * sin_core::kPiOver256Lo;
  const F64x2 shifter = F64x2::splat(sin_core::kShifter);
  const F64x2 t = y * F64x2::splat(0.6366197723675814) + shifter;
  const F64x2 k = t - shifter;
  const F64x2 r = (y - k * F64x2::splat(kPiOver2Hi)) - k * F64x2::splat(kPiOver2Rest);
  const F64x2 z = r * r;
  // sin r has the sign of r, which the sign bit put on keeps for r = -0.
  const F64x2 sin_r =
      (r + (r * z) * estrin(z, cis_single::kSinTailSingle)) | (r & F64x2::splat(-0.0));
  const F64x2 cos_r = F64x2::splat(1.0) +
                      z * (F64x2::splat(-0.5) + z * estrin(z, cis_single::kCosTailSingleCores));
  // cos(r + k pi/2) is -sin r, -cos r, sin r for k = 1, 2, 3; sin(r + k pi/2) is cos r,
  // -sin r, -cos r.
  const I64x2 quadrant = simd::bits(t);
  const F64x2 odd = simd::from_bits(I64x2::splat(0) - (quadrant & I64x2::splat(1)));
  const I64x2 cos_sign = ((quadrant ^ (quadrant >> 1)) & I64x2::splat(1)) << 63;
  const I64x2 sin_sign = (quadrant & I64x2::splat(2)) << 62;
  return {simd::from_bits(simd::bits(simd::select(odd, sin_r, cos_r)) ^ cos_sign),
          simd::from_bits(simd::bits(simd::select(odd, cos_r, sin_r)) ^ sin_sign)};
}

// e^x for -103 <= x <= 89 to about 2^-33 relative, from the float kernels' 2^(k/64)
// core (x / ln 2 rounded adds at most 2^-46).
[[gnu::always_inline]] inline simd::F64x2 exp_single(simd::F64x2 x) {
  const PowerOfTwoParts p = power_of_two_parts(x * simd::F64x2::splat(1.4426950408889634));
  return p.scale + p.scale * p.q;
}

// sinh x and cosh x for |x| <= 89 to about 2^-32 relative: from E = e^|x|,
// cosh = (E + 1/E) / 2 and sinh = (E - 1/E) / 2 (the difference loses at most a factor
// coth(1/2) < 2.2 to cancellation), below |x| = 1/2 sinh from its Taylor series (the first
// term left out, x^10 / 11!, below 2^-35 of the sum); sinh carries the sign of x, so
// that sinh(-0) = -0.
struct SinhCoshSingle {
  simd::F64x2 sinh, cosh;
};
[[gnu::always_inline]] inline SinhCoshSingle sinh_cosh_single(simd::F64x2 x) {
  using simd::F64x2;
  const auto c = [](double v) { return F64x2::splat(v); };
  const F64x2 a = simd::abs(x), sign = x & c(-0.0);
  const F64x2 e = exp_single(a), inverse = c(1.0) / e;
  const F64x2 z = x * x;
  const F64x2 series =
      x + (x * z) * (c(1.0 / 6) + z * (c(1.0 / 120) + z * (c(1.0 / 5040) + z * c(1.0 / 362880))));
  const F64x2 difference = ((e - inverse) * c(0.5)) | sign;
  return {simd::select(simd::less(a, c(0.5)), series, difference), (e + inverse) * c(0.5)};
}

// ln s for s = 1 + d > 0 (normal, finite), to about 2^-36 relative where d is accurate
// to 2^-50 relative: for |d| < 2^-7 as ln(1 + d) from d; elsewhere s = 2^e m, m in
// [1, 2), split at the nearest point c = 1 + j/64 of the single precision logarithms'
// table: e ln 2 + ln c + ln(1 + r), r = m c^-1 - 1, whose rounding and the series'
// truncation stay below 2^-43 absolute, |ln s| >= 2^-7 there.
[[gnu::always_inline]] inline simd::F64x2 log_single(simd::F64x2 s, simd::F64x2 d) {
  using simd::F64x2;
  using simd::I64x2;
  constexpr int64_t kUnitExponent = int64_t{1} << 52;
  const F64x2 near = simd::less(simd::abs(d), F64x2::splat(0x1p-7));
  const I64x2 bits = simd::bits(s);
  const I64x2 mantissa = bits & I64x2::splat(0x000FFFFFFFFFFFFF);
  const __m128i j = ((mantissa + I64x2::splat(int64_t{1} << 45)) >> 46).v;
  const auto& table = log_single_data::kLogPointsSingle;
  const uint32_t j0 = static_cast<uint32_t>(_mm_cvtsi128_si32(j));
  const uint32_t j1 = static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_shuffle_epi32(j, 0xEE)));
  const F64x2 m = simd::from_bits(mantissa | I64x2::splat(1023 * kUnitExponent));
  const F64x2 r = m * simd::gather_column(table, 0, j0, j1) - F64x2::splat(1.0);
  // The exponent e as a double: the field's high word converted, less the bias.
  const __m128i high = _mm_shuffle_epi32(_mm_srli_epi64(bits.v, 52), _MM_SHUFFLE(3, 3, 2, 0));
  const F64x2 e = F64x2{_mm_cvtepi32_pd(high)} - F64x2::splat(1023.0);
  const F64x2 far = (e * F64x2::splat(0.6931471805599453) + simd::gather_column(table, 1, j0, j1)) +
                    ln_one_plus_small(r);
  return simd::select(near, ln_one_plus_small(d), far);
}

// atan2(y, x) of single precision parts (widened) to about 2^-40 relative, for |x| and
// |y| in [2^-60, 2^60] (the four-bit mask of the other lanes is returned): the centre c
// of the float arctangent's table from the float quotient |y| / |x|, then in double
// u = (|y| - c |x|) / (|x| + c |y|) (c |x| and c |y| exact, |u| <= 2^-4), atan u by its
// series to u^9 (the first term left out below 2^-44 of u), atan c (or pi - atan c and
// -u for x < 0) as the table's head plus rest, and the sign of y on last.
[[gnu::always_inline]] inline int angle_single(const double x[4], const double y[4], double r[4]) {
  using simd::F32x4;
  using simd::F64x2;
  using simd::I32x4;
  namespace af = atan_float;
  const auto c = [](double v) { return F64x2::splat(v); };
  const F64x2 x01 = F64x2::load(x), x23 = F64x2::load(x + 2);
  const F64x2 y01 = F64x2::load(y), y23 = F64x2::load(y + 2);
  const F32x4 xf = simd::to_float(x01, x23), yf = simd::to_float(y01, y23);  // exact
  const F32x4 xa = simd::abs(xf), ya = simd::abs(yf);
  const af::Centre k = af::centre(af::clamp(ya / xa));
  const I32x4 x_sign = simd::bits(xf) & I32x4::splat(INT32_MIN);
  F32x4 head, rest;
  simd::gather_pairs(af::data::kAtanCentresFloat,
                     k.row + (I32x4::splat(af::data::kAtanCentreRows) & (x_sign >> 31)), head, rest);
  const auto pair = [&](F64x2 xv, F64x2 yv, F64x2 centre, F64x2 h, F64x2 t) {
    const F64x2 ax = simd::abs(xv), ay = simd::abs(yv);
    const F64x2 u = (ay - centre * ax) / (ax + centre * ay);
    const F64x2 z = u * u;
    const F64x2 atan_u = u + (u * z) * (c(-1.0 / 3) + z * (c(1.0 / 5) + z * (c(-1.0 / 7) + z * c(1.0 / 9))));
    return (h + (t + (atan_u ^ (xv & c(-0.0))))) | (yv & c(-0.0));
  };
  pair(x01, y01, simd::low_to_double(k.c), simd::low_to_double(head), simd::low_to_double(rest))
      .store(r);
  pair(x23, y23, simd::high_to_double(k.c), simd::high_to_double(head), simd::high_to_double(rest))
      .store(r + 2);
  const F32x4 low = F32x4::splat(0x1p-60f), high = F32x4::splat(0x1p60f);
  return simd::lane_mask_not_less_equal(ya, high) | simd::lane_mask_not_less_equal(xa, high) |
         simd::lane_mask_less(ya, low) | simd::lane_mask_less(xa, low);
}

}  // namespace zorn::tess::cx
