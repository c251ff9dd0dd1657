#include "tess_kernels/exp_log/expm1_single.h"

#include <cmath>

#include "tess_kernels/exp_log/flagged_results.h"
#include "zorn/tess.h"

namespace zorn::tess {
namespace expm1_single_data {
// In the order of LaneRow: the exponential's reduction constants, the series coefficients
// 1/2 and 1/6 of e^r - 1, and -1.
const simd::SplatRows<float, kRowCount> kRows({ExpSingle::kInverseStep, ExpSingle::kShifter,
                                               ExpSingle::kMinusStepHead, ExpSingle::kStepRest,
                                               0.5f, 1.0f / 6, -1.0f});
}  // namespace expm1_single_data

// In double precision: the library's expm1 is within an ulp of double, so one rounding to
// single precision gives the correctly rounded result but in the rarest of cases.
int32_t tess_callout_sExpm1(const float* px, float* r) {
  const double x = *px;
  if (std::isnan(x) || x == INFINITY) {
    *r = static_cast<float>(x);
    return TESS_STATUS_OK;
  }
  if (x > Expm1Single::kOverflowBound) {
    *r = overflowed<float>();
    return TESS_STATUS_OVERFLOW;
  }
  *r = x == -INFINITY ? -1.0f : static_cast<float>(std::expm1(x));
  return TESS_STATUS_OK;
}

}  // namespace zorn::tess
