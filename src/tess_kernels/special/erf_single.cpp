#include "tess_kernels/special/erf_single.h"

#include <cmath>

#include "tess_kernels/special/erf_double.h"
#include "zorn/tess.h"

namespace zorn::tess {
namespace {

// The double precision result of a double callout, rounded to float once.
float via_double(int32_t (*callout)(double, double*), float x) {
  double r;
  callout(x, &r);
  return static_cast<float>(r);
}

}  // namespace

int32_t tess_callout_sErf(const float* x, float* r) {
  *r = via_double(tess_callout_dErf, *x);
  return TESS_STATUS_OK;
}

int32_t tess_callout_sErfc(const float* px, float* r) {
  const double x = *px;
  if (x <= -3.832506856900711) {
    *r = 2.0f;
    return TESS_STATUS_OK;
  }
  if (x >= 10.054194928818097) {
    *r = 0.0f;
    return std::isinf(x) ? TESS_STATUS_OK : TESS_STATUS_UNDERFLOW;
  }
  if (x >= 0 || std::isnan(x)) {
    *r = via_double(tess_callout_dErfc, *px);
    return TESS_STATUS_OK;
  }
  // 2 - erfc(|x|), the parts summed from the smallest.
  const erf_core::Pair p =
      erf_core::scaled_parts(erf_core::erfc_scaled<false>(erf_core::splat(-x), erf_core::splat(0.0)));
  *r = static_cast<float>((-p.lo.lane0() - p.hi.lane0()) + 2.0);
  return TESS_STATUS_OK;
}

int32_t tess_callout_sErfcx(const float* x, float* r) {
  double d;
  const int32_t status = tess_callout_dErfcx(*x, &d);
  *r = static_cast<float>(d);
  if (status == TESS_STATUS_OK && std::isinf(*r) && !std::isinf(*x)) return TESS_STATUS_OVERFLOW;
  return status;
}

int32_t tess_callout_sCdfNorm(const float* px, float* r) {
  const float x = *px;
  if (x > 5.419983f) {
    *r = 1.0f;
    return TESS_STATUS_OK;
  }
  if (x < -14.170185f) {
    *r = 0.0f;
    return std::isinf(x) ? TESS_STATUS_OK : TESS_STATUS_UNDERFLOW;
  }
  *r = via_double(tess_callout_dCdfNorm, x);
  return TESS_STATUS_OK;
}

}  // namespace zorn::tess
