// All x87 and SSE floating-point exceptions masked for the lifetime of the object; the
// caller's x87 control word (after clearing pending x87 exceptions) and MXCSR are put
// back, in that order, when it ends. A control word is loaded on entry only when the
// masks change it.
#pragma once

#include <cstdint>

namespace zorn::distributions {

class ExceptionMasks {
 public:
  ExceptionMasks();
  ~ExceptionMasks();
  ExceptionMasks(const ExceptionMasks&) = delete;
  ExceptionMasks& operator=(const ExceptionMasks&) = delete;

 private:
  uint32_t saved_mxcsr_;
  uint16_t saved_x87_;
};

}  // namespace zorn::distributions
