#include "tess_kernels/special/bessel_i_single.h"

#include <cmath>

#include "tess_kernels/special/bessel_i_double.h"
#include "zorn/tess.h"

namespace zorn::tess {
namespace {

// The double callout's result rounded to float, which overflows earlier.
int32_t via_double(int32_t (*callout)(double, double*), const float* x, float* r) {
  double d;
  callout(*x, &d);
  *r = static_cast<float>(d);
  return std::isinf(*r) && !std::isinf(*x) ? TESS_STATUS_OVERFLOW : TESS_STATUS_OK;
}

}  // namespace

int32_t tess_callout_sI0(const float* x, float* r) { return via_double(tess_callout_dI0, x, r); }
int32_t tess_callout_sI1(const float* x, float* r) { return via_double(tess_callout_dI1, x, r); }

}  // namespace zorn::tess
