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

#define ZORN_SINGLE_CALLOUT(Func)                                    \
  int32_t tess_callout_s##Func(const float* x, float* r) {           \
    return through_double(tess_callout_d##Func, x, r);               \
  }
ZORN_SINGLE_CALLOUT(Sinh)
ZORN_SINGLE_CALLOUT(Cosh)
ZORN_SINGLE_CALLOUT(Tanh)
ZORN_SINGLE_CALLOUT(Asinh)
ZORN_SINGLE_CALLOUT(Acosh)
ZORN_SINGLE_CALLOUT(Atanh)
#undef ZORN_SINGLE_CALLOUT

}  // namespace zorn::tess
