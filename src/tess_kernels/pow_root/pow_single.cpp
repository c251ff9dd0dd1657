#include "tess_kernels/pow_root/double_ops.h"
#include "tess_kernels/pow_root/narrowed_callout.h"
#include "tess_kernels/pow_root/single_ops.h"

namespace zorn::tess {

int32_t tess_callout_sPow(const float* x, const float* y, float* r) {
  return narrowed_callout<tess_callout_dPow, TESS_STATUS_OVERFLOW>(x, y, r);
}
int32_t tess_callout_sPowr(const float* x, const float* y, float* r) {
  return narrowed_callout<tess_callout_dPowr, TESS_STATUS_SINGULARITY>(x, y, r);
}
int32_t tess_callout_sHypot(const float* x, const float* y, float* r) {
  return narrowed_callout<tess_callout_dHypot, TESS_STATUS_OVERFLOW>(x, y, r);
}

}  // namespace zorn::tess
