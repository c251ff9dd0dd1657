#include "tess_kernels/exp_log/ln_single.h"

#include "tess_kernels/exp_log/ln_core_single.h"

namespace zorn::tess {

int32_t tess_callout_sLn(const float* px, float* r) {
  const double x = *px;
  int32_t status;
  if (log_special_argument(x, r, &status)) return status;
  *r = static_cast<float>(ln_core_single(x, 0.009765625));
  return TESS_STATUS_OK;
}

}  // namespace zorn::tess
