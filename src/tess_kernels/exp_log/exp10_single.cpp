#include "tess_kernels/exp_log/exp10_single.h"

#include <cmath>

#include "tess_kernels/exp_log/flagged_results.h"
#include "tess_kernels/exp_log/scalar_bits_single.h"
#include "tess_kernels/exp_log/table_power_single.h"

namespace zorn::tess {

int32_t tess_callout_sExp10(const float* px, float* r) {
  constexpr float kZeroBound = -45.1545f;  // below: results under half the least subnormal
  const float xf = *px;
  const double x = xf;
  if (std::isnan(x) || x == INFINITY) {
    *r = static_cast<float>(x);
    return TESS_STATUS_OK;
  }
  if (x == -INFINITY) {
    *r = 0.0f;
    return TESS_STATUS_OK;
  }
  if (xf > Exp10Single::kLargestFinite) {
    *r = overflowed<float>();
    return TESS_STATUS_OVERFLOW;
  }
  if (xf < kZeroBound) {
    *r = underflowed<float>();
    return TESS_STATUS_UNDERFLOW;
  }
  // k = the nearest integer to 64 x log2 10, by the 1.5 * 2^52 shifter; log10(2) / 64 in
  // a high part and a correction.
  const double shifter = 6755399441055744.0;
  const double t = x * 212.60339807279118 + shifter;
  const double k = t - shifter;
  const double rr = x - k * 0.004703593682222618 - k * 2.7088530630863833e-14;
  const double c =
      rr * (2.3025850929940455 +
            rr * (2.6509490552364285 +
                  rr * (2.0346785924261965 +
                        rr * (1.1712567517670747 + rr * 0.5393660213379269))));
  *r = static_cast<float>(table_power(static_cast<int64_t>(k), c));
  return xf <= Exp10Single::kSubnormalBound ? TESS_STATUS_UNDERFLOW : TESS_STATUS_OK;
}

}  // namespace zorn::tess
