#include "tess_kernels/exp_log/exp_single.h"

#include <cmath>

#include "tess_kernels/exp_log/exp_table_double.h"
#include "tess_kernels/exp_log/flagged_results.h"
#include "tess_kernels/exp_log/scalar_bits_single.h"

namespace zorn::tess {

using exp_single_data::kExp2Over64Relative;

int ExpSingle::resolve_inline(const float x[4], float y[4], int special) {
  return resolve_exp_inline(x, y, special, kOverflowBound, kUnderflowBound);
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
    *r = overflowed<float>();
    return TESS_STATUS_OVERFLOW;
  }
  if (xf < ExpSingle::kUnderflowBound) {
    *r = underflowed<float>();
    return TESS_STATUS_UNDERFLOW;
  }
  const auto [k, hi, w] = exp_callout_parts(x, kExp2Over64Relative);
  // Both the normal and the subnormal range of single precision lie inside the normal
  // double range, so the scaled value is exact and the conversion rounds once.
  *r = static_cast<float>((hi + w) * power_of_two(k >> 6));
  return xf >= kNormalResultBound ? TESS_STATUS_OK : TESS_STATUS_UNDERFLOW;
}

}  // namespace zorn::tess
