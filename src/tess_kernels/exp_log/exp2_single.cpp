#include "tess_kernels/exp_log/exp2_single.h"

#include <cmath>

#include "tess_kernels/exp_log/flagged_results.h"
#include "tess_kernels/exp_log/scalar_bits_single.h"
#include "tess_kernels/exp_log/table_power_single.h"

namespace zorn::tess {

int32_t tess_callout_sExp2(const float* px, float* r) {
  const double x = *px;
  if (std::isnan(x) || x == INFINITY) {
    *r = static_cast<float>(x);
    return TESS_STATUS_OK;
  }
  if (x == -INFINITY) {
    *r = 0.0f;
    return TESS_STATUS_OK;
  }
  if (x >= 128.0) {
    *r = overflowed<float>();
    return TESS_STATUS_OVERFLOW;
  }
  if (x <= -150.0) {
    *r = underflowed<float>();
    return TESS_STATUS_UNDERFLOW;
  }
  // Adding 1.5 * 2^46 rounds x to a multiple of 1/64: k = 64 x rounded sits in the low
  // bits of t, and r = x - k/64 is exact.
  const double shifter = 105553116266496.0;
  const double t = x + shifter;
  const double rr = x - (t - shifter);
  const int64_t k = static_cast<int32_t>(bits_of(t) & 0xFFFFFFFFu);
  const double c =
      rr * (0.6931471805599453 +
            rr * (0.24022650695884967 +
                  rr * (0.05550410866607508 +
                        rr * (0.009618142269653759 + rr * 0.0013333417185814622))));
  *r = static_cast<float>(table_power(k, c));
  return x < -126.0 ? TESS_STATUS_UNDERFLOW : TESS_STATUS_OK;
}

}  // namespace zorn::tess
