#include "distributions/exception_masks.h"

#include <immintrin.h>

namespace zorn::distributions {
namespace {

constexpr uint16_t kX87AllMasked = 0x3F;
constexpr uint32_t kMxcsrAllMasked = 0x1F80;

}  // namespace

ExceptionMasks::ExceptionMasks() {
  asm volatile("fnstcw %0" : "=m"(saved_x87_));
  const uint16_t masked = saved_x87_ | kX87AllMasked;
  if (masked != saved_x87_) asm volatile("fldcw %0" : : "m"(masked));
  saved_mxcsr_ = _mm_getcsr();
  if ((saved_mxcsr_ | kMxcsrAllMasked) != saved_mxcsr_) _mm_setcsr(saved_mxcsr_ | kMxcsrAllMasked);
}

ExceptionMasks::~ExceptionMasks() {
  asm volatile("fnclex\n\tfldcw %0" : : "m"(saved_x87_));
  _mm_setcsr(saved_mxcsr_);
}

}  // namespace zorn::distributions
