#include "distributions/environment_guard.h"

#include <immintrin.h>

#include "tess_frame/mode.h"

namespace zorn::distributions {
namespace {

constexpr uint16_t kX87AllMasked = 0x3F;
constexpr uint32_t kMxcsrAllMasked = 0x1F80;
constexpr uint32_t kCallMode = TESS_ERRMODE_CALLBACK;  // 0x1000
constexpr uint32_t kKernelMode = 0x140000;             // denormal field: no flushing

}  // namespace

EnvironmentGuard::EnvironmentGuard(TessErrorCallBack callback) {
  asm volatile("fnstcw %0" : "=m"(saved_x87_));
  const uint16_t masked = saved_x87_ | kX87AllMasked;
  asm volatile("fldcw %0" : : "m"(masked));
  saved_mxcsr_ = _mm_getcsr();
  _mm_setcsr(saved_mxcsr_ | kMxcsrAllMasked);

  state_ = tess_get_thread_state();
  saved_mode_ = zorn_tess_kernel_SetMode(kCallMode);
  saved_callback_ = zorn_tess_kernel_SetErrorCallBack(callback);
  call_mode_ = current_mode(state_);
  kernel_mode_ = merge_mode(call_mode_, kKernelMode);
}

EnvironmentGuard::~EnvironmentGuard() {
  state_->ErrorCallBack = saved_callback_;
  state_->Mode = saved_mode_;
  asm volatile("fnclex\n\tfldcw %0" : : "m"(saved_x87_));
  _mm_setcsr(saved_mxcsr_);
}

}  // namespace zorn::distributions
