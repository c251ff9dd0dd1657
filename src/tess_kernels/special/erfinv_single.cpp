#include "tess_kernels/special/erfinv_single.h"

#include <cmath>

#include "tess_kernels/special/erfinv_extended.h"
#include "zorn/tess.h"

namespace zorn::tess {

int32_t tess_callout_sErfInv(const float* px, float* r) {
  const double x = *px, a = std::fabs(x);
  if (std::isnan(x)) {
    *r = *px;
    return TESS_STATUS_OK;
  }
  if (a >= 1) {
    *r = static_cast<float>(a == 1 ? std::copysign(INFINITY, x) : NAN);
    return a == 1 ? TESS_STATUS_SINGULARITY : TESS_STATUS_DOMAIN;
  }
  if (a < 0x1p-24) {
    // ±0 stays itself, and so does the signed zero a subnormal is read as with
    // denormals-are-zero on.
    *r = static_cast<float>(x * 0.886226925452758);
    return TESS_STATUS_OK;
  }
  *r = static_cast<float>(erfinv_extended(x));
  return TESS_STATUS_OK;
}

// The double routines give NaN outside the domain and the infinities at its ends.
int32_t tess_callout_sErfcInv(const float* x, float* r) {
  *r = static_cast<float>(erfcinv_extended(*x));
  return (*x == 0 || *x == 2) ? TESS_STATUS_SINGULARITY : TESS_STATUS_OK;
}

int32_t tess_callout_sCdfNormInv(const float* x, float* r) {
  *r = static_cast<float>(normal_quantile_extended(*x));
  return (*x == 0 || *x == 1) ? TESS_STATUS_SINGULARITY : TESS_STATUS_OK;
}

}  // namespace zorn::tess
