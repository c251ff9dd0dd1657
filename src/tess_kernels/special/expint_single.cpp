#include "tess_kernels/special/expint_single.h"

#include "tess_kernels/frame/status_rules.h"
#include "tess_kernels/special/special_functions.h"

namespace zorn::tess {

int32_t tess_callout_sExpInt1(const float* x, float* r) {
  *r = static_cast<float>(expint1(*x));
  return classify(kExpInt1Rule, *r, *x == 0, *x);
}

}  // namespace zorn::tess
