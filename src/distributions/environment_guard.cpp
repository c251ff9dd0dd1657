#include "distributions/environment_guard.h"

#include "tess_frame/mode.h"

namespace zorn::distributions {
namespace {

constexpr uint32_t kCallMode = TESS_ERRMODE_CALLBACK;  // 0x1000
constexpr uint32_t kKernelMode = 0x140000;             // denormal field: no flushing

}  // namespace

EnvironmentGuard::EnvironmentGuard(TessErrorCallBack callback) {
  state_ = tess_get_thread_state();
  saved_mode_ = zorn_tess_kernel_SetMode(kCallMode);
  saved_callback_ = zorn_tess_kernel_SetErrorCallBack(callback);
  call_mode_ = current_mode(state_);
  kernel_mode_ = merge_mode(call_mode_, kKernelMode);
}

EnvironmentGuard::~EnvironmentGuard() {
  state_->ErrorCallBack = saved_callback_;
  state_->Mode = saved_mode_;
}  // masks_ then restores the x87 control word and MXCSR

}  // namespace zorn::distributions
