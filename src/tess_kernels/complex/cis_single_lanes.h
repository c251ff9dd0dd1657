// cos t + i sin t of four floats (CIS) in double arithmetic, within about 0.52 ulp per
// part; elements beyond |t| = 65536 or not finite are left to the scalar form. Groups
// whose |t| all stay within kCisFloatLimit take a float path of their own (about 0.6 ulp),
// twice the lanes per instruction. Inline, so that the loop around it keeps its constants
// out of the loop.
#pragma once

#include <complex>
#include <cstdint>

#include "tess_kernels/complex/cis_single_polynomials.h"
#include "tess_kernels/frame/polynomial_double.h"
#include "tess_kernels/frame/simd.h"
#include "tess_kernels/frame/simd_double.h"
#include "tess_kernels/frame/splat_rows.h"
#include "tess_kernels/trig/quarter_turn_double.h"

namespace zorn::tess::cx {

namespace cis_single {

// v truncated to its leading `bits` significant bits (v > 0), at compile time.
constexpr double leading_bits(double v, int bits) {
  double unit = 1.0;  // 2^(e + 1 - bits), e the exponent of v
  while (unit * 2 <= v) unit *= 2;
  while (unit > v) unit /= 2;
  for (int i = 1; i < bits; ++i) unit /= 2;
  return static_cast<double>(static_cast<long long>(v / unit)) * unit;
}

// The float path: |t| <= kCisFloatLimit gives k = nearest(t 2/pi) below 2^kQuadrantBits,
// and pi/2 in three float parts, the first two of 24 - kQuadrantBits bits so that k times
// either is exact (56 bits of pi/2 in all).
constexpr int kQuadrantBits = 8;
constexpr float kCisFloatLimit = 256.0f;
constexpr double kHalfPiHi = quarter_turn::kPiOver2Hi, kHalfPiMid = quarter_turn::kPiOver2Mid;
constexpr double kHalfPi1 = leading_bits(kHalfPiHi, 24 - kQuadrantBits);
constexpr double kHalfPi2 = leading_bits((kHalfPiHi - kHalfPi1) + kHalfPiMid, 24 - kQuadrantBits);
constexpr float kHalfPi3 = static_cast<float>(((kHalfPiHi - kHalfPi1) - kHalfPi2) + kHalfPiMid);

// The float path's constants as full rows (a scalar load and a broadcast each otherwise).
enum FloatRow { kTwoOverPi, kShifter, kHalfPi1Row, kHalfPi2Row, kHalfPi3Row, kGrid, kHalf, kOne,
                kSinRow, kCosRow = kSinRow + 4, kFloatRows = kCosRow + 3 };
inline constexpr simd::SplatRows<float, kFloatRows> kFloatRowTable({
    0.636619772f, 0x1.8p23f, static_cast<float>(kHalfPi1), static_cast<float>(kHalfPi2), kHalfPi3,
    0x1.8p12f, 0.5f, 1.0f, static_cast<float>(kSinTailSingle[0]),
    static_cast<float>(kSinTailSingle[1]), static_cast<float>(kSinTailSingle[2]),
    static_cast<float>(kSinTailSingle[3]), static_cast<float>(kCosTailSingle[0]),
    static_cast<float>(kCosTailSingle[1]), static_cast<float>(kCosTailSingle[2])});
}  // namespace cis_single

struct CisSingleLanes {
  [[gnu::always_inline]] static int group(const float t[4], float re[4], float im[4]);
  // Contiguous whole groups with every |t| within kCisFloatLimit, in registers, until the
  // first group with another; returns the count stored.
  [[gnu::always_inline]] static int64_t block(int64_t n, const float* t, std::complex<float>* r);
};

// cos t and sin t of quadrant k (its low bits in k's low bits) from sin r and cos r.
struct CisParts {
  simd::F32x4 re, im;
};
[[gnu::always_inline]] inline CisParts quadrant_parts(simd::F32x4 sin_r, simd::F32x4 cos_r,
                                                      simd::I32x4 k) {
  using simd::I32x4;
  // Bit 0 of k into the sign bit (k << 31) and bit 1 with it (k << 30).
  const I32x4 k31 = k << 31, k30 = k << 30;
  const I32x4 sign_bit = I32x4::splat(static_cast<int32_t>(0x80000000u));
  // Odd k swaps the two: an exchange by exclusive or under the mask.
  const I32x4 swap = (simd::bits(sin_r) ^ simd::bits(cos_r)) & (k31 >> 31);
  const I32x4 sin_negate = k30 & sign_bit, cos_negate = (k30 ^ k31) & sign_bit;
  return {simd::from_bits(simd::bits(cos_r) ^ swap ^ cos_negate),
          simd::from_bits(simd::bits(sin_r) ^ swap ^ sin_negate)};
}
[[gnu::always_inline]] inline void store_quadrant(simd::F32x4 sin_r, simd::F32x4 cos_r,
                                                  simd::I32x4 k, float re[4], float im[4]) {
  const CisParts p = quadrant_parts(sin_r, cos_r, k);
  p.re.store(re);
  p.im.store(im);
}

// The float path (Cody and Waite's reduction in float, its last step's rounding kept):
// x1 = t - k P1 is exact (Sterbenz), k P2 exact, and r + r_lo = x1 - k P2 - k P3 by the
// exact difference of the first two (Dekker), |r_lo| below half an ulp of r. Then
//   sin(r + r_lo) = r + ((r z) S(z) + r_lo w),   z = r^2,
//   cos(r + r_lo) = w + (z^2 C(z) - ((h + l/2) l + r r_lo)),
// w = 1 - h^2/2, h = r rounded to a multiple of 2^-11 (h^2 of 22 bits, w a multiple of
// 2^-23 in (1/2, 1]: both exact), l = r - h: only the last rounding of each weighs.
// sin r carries the sign of r, so that t = -0 gives -0.
[[gnu::always_inline]] inline CisParts cis_float_parts(simd::F32x4 t) {
  using simd::F32x4;
  using simd::I32x4;
  namespace cs = cis_single;
  const simd::SplatReader c(cs::kFloatRowTable);
  const F32x4 shifter = c[cs::kShifter];
  const F32x4 biased = t * c[cs::kTwoOverPi] + shifter;
  const F32x4 k = biased - shifter;
  const F32x4 x1 = t - k * c[cs::kHalfPi1Row];
  const F32x4 p2 = k * c[cs::kHalfPi2Row];
  const F32x4 r = x1 - p2;
  const F32x4 r_lo = ((x1 - r) - p2) - k * c[cs::kHalfPi3Row];
  const F32x4 z = r * r;
  const F32x4 grid = c[cs::kGrid], half = c[cs::kHalf];
  const F32x4 h = (r + grid) - grid;
  const F32x4 l = r - h;
  const F32x4 w = c[cs::kOne] - (h * h) * half;
  const F32x4 rest = (h + l * half) * l + r * r_lo;
  const F32x4 sin_tail =
      (r * z) * estrin_of<4>(z, [&](size_t i) { return c[cs::kSinRow + i]; }) + r_lo * w;
  const F32x4 cos_tail = (z * z) * estrin_of<3>(z, [&](size_t i) { return c[cs::kCosRow + i]; }) - rest;
  const I32x4 r_sign = simd::bits(r) & I32x4::splat(static_cast<int32_t>(0x80000000u));
  const F32x4 sin_r = simd::from_bits(simd::bits(r + sin_tail) | r_sign);
  return quadrant_parts(sin_r, w + cos_tail, simd::bits(biased));
}
[[gnu::always_inline]] inline void cis_float_lanes(simd::F32x4 t, float re[4], float im[4]) {
  const CisParts p = cis_float_parts(t);
  p.re.store(re);
  p.im.store(im);
}

struct SinCosOfReduced {
  simd::F64x2 sin, cos;
  simd::I64x2 t_bits;  // k in the low bits
};
[[gnu::always_inline]] inline SinCosOfReduced sin_cos_of_reduced(simd::F64x2 x) {
  using simd::F64x2;
  const sin_core::ReducedAngle angle = quarter_turn::reduce(x);
  const F64x2 r = angle.hi, z = r * r, one = F64x2::splat(1.0);
  const F64x2 sin_r = r * (one + z * estrin(z, cis_single::kSinTailSingle));
  const F64x2 cos_r = one + z * (F64x2::splat(-0.5) + z * estrin(z, cis_single::kCosTailSingle));
  return {sin_r, cos_r, angle.t_bits};
}

[[gnu::always_inline]] inline int CisSingleLanes::group(const float t[4], float re[4], float im[4]) {
  using simd::F32x4;
  using simd::I32x4;
  const F32x4 x = F32x4::load(t);
  if (simd::lane_mask_not_less_equal(simd::abs(x), F32x4::splat(cis_single::kCisFloatLimit)) == 0)
      [[likely]] {
    cis_float_lanes(x, re, im);
    return 0;
  }
  const SinCosOfReduced low = sin_cos_of_reduced(simd::low_to_double(x));
  const SinCosOfReduced high = sin_cos_of_reduced(simd::high_to_double(x));
  // k's low bits: the low words of the shifted doubles.
  const I32x4 k = {_mm_castps_si128(_mm_shuffle_ps(_mm_castsi128_ps(low.t_bits.v),
                                                   _mm_castsi128_ps(high.t_bits.v),
                                                   _MM_SHUFFLE(2, 0, 2, 0)))};
  store_quadrant(simd::to_float(low.sin, high.sin), simd::to_float(low.cos, high.cos), k, re, im);
  return simd::lane_mask_not_less_equal(simd::abs(x), F32x4::splat(65536.0f));
}

[[gnu::always_inline]] inline int64_t CisSingleLanes::block(int64_t n, const float* t,
                                                         std::complex<float>* r) {
  using simd::F32x4;
  int64_t i = 0;
  for (; i + 4 <= n; i += 4) {
    const F32x4 x = F32x4::load(t + i);
    if (simd::lane_mask_not_less_equal(simd::abs(x), F32x4::splat(cis_single::kCisFloatLimit)) != 0)
        [[unlikely]] {
      break;
    }
    const CisParts p = cis_float_parts(x);
    float* out = reinterpret_cast<float*>(r + i);
    _mm_storeu_ps(out, _mm_unpacklo_ps(p.re.v, p.im.v));
    _mm_storeu_ps(out + 4, _mm_unpackhi_ps(p.re.v, p.im.v));
  }
  return i;
}

}  // namespace zorn::tess::cx
