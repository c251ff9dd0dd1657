#include "tess_kernels/exp_log/exp_single.h"

#include <cmath>

#include "tess_kernels/exp_log/scalar_bits_single.h"

namespace zorn::tess {

using exp_single_data::kExp2Over64Relative;

int ExpSingle::resolve_inline(const float x[4], float y[4], int special) {
  const simd::F32x4 xv = simd::F32x4::load(x);
  const int over = simd::lane_mask_greater(xv, simd::F32x4::splat(kOverflowBound)) & special;
  const int under = simd::lane_mask_less(xv, simd::F32x4::splat(kUnderflowBound)) & special;
  for (int l = 0; l < 4; ++l) {
    if (over & (1 << l)) y[l] = INFINITY;
    if (under & (1 << l)) y[l] = 0.0f;
  }
  return special & ~(over | under);
}

int32_t tess_callout_sExp(const float* px, float* r) {
  constexpr float kNormalResultBound = -87.33654f;
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
  if (xf > ExpSingle::kOverflowBound) {
    *r = INFINITY;
    return TESS_STATUS_OVERFLOW;
  }
  if (xf < ExpSingle::kUnderflowBound) {
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
