#include "tess_kernels/exp_log/log1p_single.h"

#include <cmath>

#include "tess_kernels/exp_log/flagged_results.h"
#include "zorn/tess.h"

namespace zorn::tess {
// In double precision: the library's log1p is within an ulp of double, so one rounding to
// single precision gives the correctly rounded result but in the rarest of cases. At -1
// the result is -inf and below it NaN, both without a report.
int32_t tess_callout_sLog1p(const float* px, float* r) {
  const double x = *px;
  if (std::isnan(x) || x == INFINITY) {
    *r = static_cast<float>(x);
  } else if (x == -1.0) {
    *r = pole_minus_infinity<float>();
  } else if (x < -1.0) {
    *r = domain_error_nan<float>();
  } else {
    *r = static_cast<float>(std::log1p(x));
  }
  return TESS_STATUS_OK;
}

}  // namespace zorn::tess
