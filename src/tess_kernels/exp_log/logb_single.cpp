#include "tess_kernels/exp_log/logb_single.h"

#include <cmath>

#include "tess_kernels/exp_log/scalar_bits_single.h"
#include "zorn/tess.h"

namespace zorn::tess {

// A zero has no exponent: -inf, reported as a domain error. A subnormal is scaled by
// 2^25 into the normal range, and 25 + 127 comes off its biased exponent. With
// denormals-are-zero on, the SSE unit reads a subnormal as zero, and so does this test.
int32_t tess_callout_sLogb(const float* px, float* r) {
  const float x = *px;
  if (std::isnan(x)) {
    *r = x + x;
    return TESS_STATUS_OK;
  }
  if (std::isinf(x)) {
    *r = INFINITY;
    return TESS_STATUS_OK;
  }
  if (x == 0.0f) {
    *r = -INFINITY;
    return TESS_STATUS_DOMAIN;
  }
  const int32_t biased = static_cast<int32_t>((bits_of(x) >> 23) & 0xFF);
  if (biased != 0) {
    *r = static_cast<float>(biased - 127);
  } else {
    const float scaled = x * 33554432.0f;  // 2^25, exact
    *r = static_cast<float>(static_cast<int32_t>((bits_of(scaled) >> 23) & 0xFF) - 152);
  }
  return TESS_STATUS_OK;
}

}  // namespace zorn::tess
