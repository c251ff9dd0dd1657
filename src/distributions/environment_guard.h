// The floating-point and vector-math environment a distribution runs its kernels in,
// as one object whose destructor undoes everything, so every exit restores it.
//
// On construction: all x87 and SSE exceptions masked, the thread's tess mode word
// merged with 0x1000 (errors go to the callback only) and the distribution's error
// callback installed. While a kernel runs (see KernelModeScope) the word is merged with
// 0x140000 as well, so kernels never flush denormals. On destruction, in this order:
// the previous callback, the previous mode word itself (the merge rule of SetMode
// cannot put back a zero field, so the saved word is stored as it was), the x87
// control word after clearing pending x87 exceptions, and the previous MXCSR.
#pragma once

#include <cstdint>

#include "distributions/exception_masks.h"
#include "tess_frame/thread_state.h"
#include "zorn/tess.h"

namespace zorn::distributions {

class EnvironmentGuard {
 public:
  explicit EnvironmentGuard(TessErrorCallBack callback);
  ~EnvironmentGuard();
  EnvironmentGuard(const EnvironmentGuard&) = delete;
  EnvironmentGuard& operator=(const EnvironmentGuard&) = delete;

  // Runs `kernel_call` under the mode word kernels get, then puts back the call's word.
  template <class F>
  void around_kernel(F&& kernel_call) {
    state_->Mode = kernel_mode_;
    kernel_call();
    state_->Mode = call_mode_;
  }

 private:
  ExceptionMasks masks_;  // first made, last undone
  TessThreadState* state_;
  TessErrorCallBack saved_callback_;
  uint32_t saved_mode_;
  uint32_t call_mode_;    // the word in force between kernel calls
  uint32_t kernel_mode_;  // the word in force during a kernel call
};

}  // namespace zorn::distributions
