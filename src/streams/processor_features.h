// Processor instructions that some generators need or can use, from CPUID. The answers
// are read once per process: CPUID is slow (a virtual machine traps it) and the
// processor does not change under a running process.
#pragma once

#include <cpuid.h>

namespace zorn::streams {

struct ProcessorFeatures {
  unsigned leaf1_ecx = 0;
  unsigned leaf7_ebx = 0;
  unsigned leaf7_ecx = 0;
  bool os_saves_ymm = false;  // XCR0 has the SSE and AVX state bits
};

inline const ProcessorFeatures& processor_features() {
  static const ProcessorFeatures features = [] {
    ProcessorFeatures f;
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    if (__get_cpuid(1, &eax, &ebx, &ecx, &edx)) f.leaf1_ecx = ecx;
    if (__get_cpuid_count(7, 0, &eax, &ebx, &ecx, &edx)) {
      f.leaf7_ebx = ebx;
      f.leaf7_ecx = ecx;
    }
    if ((f.leaf1_ecx & bit_OSXSAVE) != 0) {
      unsigned xcr0 = 0, high = 0;
      __asm__("xgetbv" : "=a"(xcr0), "=d"(high) : "c"(0));
      f.os_saves_ymm = (xcr0 & 6) == 6;
    }
    return f;
  }();
  return features;
}

inline bool has_rdrand() { return (processor_features().leaf1_ecx & bit_RDRND) != 0; }
inline bool has_aes() { return (processor_features().leaf1_ecx & bit_AES) != 0; }

// 256-bit integer and AES paths. Not offered on 64-bit Windows, where GCC does not keep
// 32-byte stack slots aligned (GCC bug 54412), so a spilled 256-bit value could fault.
inline bool has_avx2() {
#if defined(_WIN32)
  return false;
#else
  return processor_features().os_saves_ymm && (processor_features().leaf7_ebx & bit_AVX2) != 0;
#endif
}
inline bool has_vaes() { return has_avx2() && has_aes() && (processor_features().leaf7_ecx & bit_VAES) != 0; }

}  // namespace zorn::streams
