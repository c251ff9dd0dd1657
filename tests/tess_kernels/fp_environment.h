// Reading and setting the floating-point control registers in tests, and a guard that
// restores the thread's mode, callback, status and registers after each test.
// Mode fields are merged by SetMode only when non-zero; a denormal field of 0x140000
// keeps denormals.
#pragma once

#include <immintrin.h>

#include <cstdint>

#include "tess_frame/thread_state.h"
#include "zorn/tess.h"

namespace zorn_test {

inline uint16_t x87_control() {
  uint16_t cw;
  asm volatile("fnstcw %0" : "=m"(cw));
  return cw;
}
inline void set_x87_control(uint16_t cw) { asm volatile("fldcw %0" : : "m"(cw)); }
inline uint16_t x87_status() {
  uint16_t sw;
  asm volatile("fnstsw %0" : "=m"(sw));
  return sw;
}
inline void clear_x87_flags() { asm volatile("fnclex"); }

constexpr uint32_t kMxcsrOverflowMask = 0x0400;
constexpr uint32_t kMxcsrRoundTowardZero = 0x6000;
constexpr uint32_t kMxcsrFlagBits = 0x003F;

class TessStateGuard {
 public:
  TessStateGuard()
      : mode_(_tessGetMode()),
        callback_(_tessGetErrorCallBack()),
        mxcsr_(_mm_getcsr()),
        x87_(x87_control()) {}
  ~TessStateGuard() {
    _tessSetErrorCallBack(callback_);
    zorn::tess_get_thread_state()->Mode = mode_;  // every field, zero ones included
    _tessClearErrStatus();
    _tessSetInterfInputVectorPointer(nullptr);
    _mm_setcsr(mxcsr_);
    clear_x87_flags();
    set_x87_control(x87_);
  }

 private:
  uint32_t mode_;
  TessErrorCallBack callback_;
  uint32_t mxcsr_;
  uint16_t x87_;
};

}  // namespace zorn_test
