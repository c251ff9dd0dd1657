// The callouts of the single precision log2 and log10: the shared double precision
// logarithm scaled by log2 e or log10 e; its relative error stays far below single
// precision, so the one rounding to float decides the result.
#include "tess_kernels/exp_log/ln_core_single.h"
#include "tess_kernels/exp_log/log10_single.h"
#include "tess_kernels/exp_log/log2_single.h"

namespace zorn::tess {
namespace log_single_data {
#include "tess_kernels/exp_log/data/log_float_lanes.inc"
}  // namespace log_single_data

int32_t tess_callout_sLog2(const float* px, float* r) {
  const double x = *px;
  int32_t status;
  if (log_special_argument(x, r, &status)) return status;
  *r = static_cast<float>(ln_core_single(x, 0.009765625) * 1.4426950408889634);
  return TESS_STATUS_OK;
}

int32_t tess_callout_sLog10(const float* px, float* r) {
  const double x = *px;
  int32_t status;
  if (log_special_argument(x, r, &status)) return status;
  *r = static_cast<float>(ln_core_single(x, 0.005859375) * 0.4342944819032518);
  return TESS_STATUS_OK;
}

}  // namespace zorn::tess
