#include "tess_kernels/inv_trig_hyp/hyperbolic_single.h"

#include <cmath>

#include "tess_kernels/inv_trig_hyp/hyperbolic_double.h"
#include "zorn/tess.h"

namespace zorn::tess {
namespace {

// The double precision callout, rounded once. Its statuses carry over; a result that
// overflows only in single precision (Sinh and Cosh) reports status 3.
int32_t through_double(int32_t (*callout)(double, double*), const float* x, float* r) {
  double y;
  int32_t status = callout(*x, &y);
  *r = static_cast<float>(y);
  if (status == TESS_STATUS_OK && std::isinf(*r) && std::isfinite(*x)) {
    status = TESS_STATUS_OVERFLOW;
  }
  return status;
}

}  // namespace

int32_t tess_callout_sSinh(const float* x, float* r) {
  return through_double(tess_callout_dSinh, x, r);
}
int32_t tess_callout_sCosh(const float* x, float* r) {
  return through_double(tess_callout_dCosh, x, r);
}
int32_t tess_callout_sTanh(const float* x, float* r) {
  return through_double(tess_callout_dTanh, x, r);
}
int32_t tess_callout_sAsinh(const float* x, float* r) {
  return through_double(tess_callout_dAsinh, x, r);
}
int32_t tess_callout_sAcosh(const float* x, float* r) {
  return through_double(tess_callout_dAcosh, x, r);
}
int32_t tess_callout_sAtanh(const float* x, float* r) {
  return through_double(tess_callout_dAtanh, x, r);
}

}  // namespace zorn::tess
