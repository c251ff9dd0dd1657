// Processor instructions that some generators need, from CPUID leaf 1.
#pragma once

#include <cpuid.h>

namespace zorn::streams {

inline unsigned cpuid_leaf1_ecx() {
  unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
  return __get_cpuid(1, &eax, &ebx, &ecx, &edx) ? ecx : 0;
}
inline bool has_rdrand() { return (cpuid_leaf1_ecx() & bit_RDRND) != 0; }
inline bool has_aes() { return (cpuid_leaf1_ecx() & bit_AES) != 0; }

}  // namespace zorn::streams
