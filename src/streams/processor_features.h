// Processor instructions that some generators need, from CPUID leaf 1. The answer is
// read once per process: CPUID is slow (a virtual machine traps it) and the processor
// does not change under a running process.
#pragma once

#include <cpuid.h>

namespace zorn::streams {

inline unsigned cpuid_leaf1_ecx() {
  static const unsigned ecx = [] {
    unsigned eax = 0, ebx = 0, c = 0, edx = 0;
    return __get_cpuid(1, &eax, &ebx, &c, &edx) ? c : 0u;
  }();
  return ecx;
}
inline bool has_rdrand() { return (cpuid_leaf1_ecx() & bit_RDRND) != 0; }
inline bool has_aes() { return (cpuid_leaf1_ecx() & bit_AES) != 0; }

}  // namespace zorn::streams
