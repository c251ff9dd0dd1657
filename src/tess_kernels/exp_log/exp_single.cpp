#include "tess_kernels/exp_log/exp_single.h"

#include <cmath>
#include <cstring>

#include "tess_kernels/frame/simd.h"

namespace zorn::tess {
namespace {
#include "tess_kernels/exp_log/data/exp_tables.inc"

using simd::F32x4;
using simd::I32x4;

constexpr int32_t kFastPathLimitBits = 0x42AEAC4F;  // 87.33654
constexpr float kOverflowBound = 88.72283f;
constexpr float kUnderflowBound = -103.97208f;
constexpr float kNormalResultBound = -87.33654f;

uint32_t bits_of(float x) {
  uint32_t b;
  std::memcpy(&b, &x, sizeof b);
  return b;
}
uint64_t bits_of(double x) {
  uint64_t b;
  std::memcpy(&b, &x, sizeof b);
  return b;
}
double power_of_two(int64_t e) {  // 2^e for a normal exponent
  const uint64_t b = static_cast<uint64_t>(e + 1023) << 52;
  double d;
  std::memcpy(&d, &b, sizeof d);
  return d;
}

}  // namespace

int exp_fast_path_s(const float x[4], float y[4]) {
  const F32x4 xv = F32x4::load(x);
  const F32x4 shifter = F32x4::splat(12582912.0f);  // 1.5 * 2^23
  // t holds n, the nearest integer to x * 128 / ln 2, in its low mantissa bits.
  const F32x4 t = xv * F32x4::splat(184.66496f) + shifter;
  const F32x4 n = t - shifter;
  const F32x4 r = (xv + n * F32x4::splat(-0.0054168701171875f)) +
                  n * F32x4::splat(1.6577690757912933e-06f);
  const F32x4 p = r + F32x4::splat(0.5f) * (r * r);
  alignas(16) int32_t t_bits[4];
  _mm_store_si128(reinterpret_cast<__m128i*>(t_bits), simd::bits(t).v);
  alignas(16) float hi[4], lo[4];
  for (int l = 0; l < 4; ++l) {
    const int j = t_bits[l] & 127;
    hi[l] = kExp2Over128Single[j][0];
    lo[l] = kExp2Over128Single[j][1];
  }
  const F32x4 hv = F32x4::load(hi);
  // 2^(n div 128) straight from the bits of t: n div 128 lands in the exponent field.
  const F32x4 scale = simd::from_bits(((simd::bits(t) << 16) + I32x4::splat(0x3F800000)) &
                                      I32x4::splat(0x7F800000));
  (((p * hv + F32x4::load(lo)) + hv) * scale).store(y);
  return simd::lane_mask(simd::bits(simd::abs(xv)) > I32x4::splat(kFastPathLimitBits));
}

int exp_resolve_inline_s(const float x[4], float y[4], int special) {
  const F32x4 xv = F32x4::load(x);
  const int over = simd::lane_mask_greater(xv, F32x4::splat(kOverflowBound)) & special;
  const int under = simd::lane_mask_less(xv, F32x4::splat(kUnderflowBound)) & special;
  for (int l = 0; l < 4; ++l) {
    if (over & (1 << l)) y[l] = INFINITY;
    if (under & (1 << l)) y[l] = 0.0f;
  }
  return special & ~(over | under);
}

int32_t tess_callout_sExp(const float* px, float* r) {
  const float xf = *px;
  const double x = xf;
  if (std::isnan(xf)) {
    *r = static_cast<float>(x * x);
    return TESS_STATUS_OK;
  }
  if (std::isinf(xf)) {
    *r = xf > 0 ? INFINITY : 0.0f;
    return TESS_STATUS_OK;
  }
  if ((bits_of(xf) & 0x7FFFFFFFu) < 0x25000001u) {  // |x| <= 2^-53
    *r = static_cast<float>(1.0 + x);
    return TESS_STATUS_OK;
  }
  if (xf > kOverflowBound) {
    *r = INFINITY;
    return TESS_STATUS_OVERFLOW;
  }
  if (xf < kUnderflowBound) {
    *r = 0.0f;
    return TESS_STATUS_UNDERFLOW;
  }
  const double shifter = 6755399441055744.0;  // 1.5 * 2^52
  const double t = x * 92.33248261689366 + shifter;
  const double k = t - shifter;
  const double rr = x - k * 0.010830424696223417 - k * 2.572804622327669e-14;
  const int64_t kn = static_cast<int64_t>(k);
  const int j = static_cast<int>(bits_of(t) & 63);
  const double p =
      rr + rr * rr *
               (0.5 + rr * (0.1666666666665788 +
                            rr * (0.04166666666677052 +
                                  rr * (0.008333341995140497 + rr * 0.0013888870459233254))));
  const double hi = kExp2Over64Relative[j][0];
  const double y = hi + (p + kExp2Over64Relative[j][1]) * hi;
  // Both the normal and the subnormal range of single precision lie inside the normal
  // double range, so the scaled value is exact and the conversion rounds once.
  *r = static_cast<float>(y * power_of_two(kn >> 6));
  return xf >= kNormalResultBound ? TESS_STATUS_OK : TESS_STATUS_UNDERFLOW;
}

}  // namespace zorn::tess
