// Processor feature queries.
#include <cpuid.h>

#include "export.h"
#include "zorn/core.h"

ZORN_CORE_EXPORT int32_t zorn_serv_cpuistolx(void) {
  unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
  if (!__get_cpuid(1, &eax, &ebx, &ecx, &edx)) return 0;
  return (ecx & bit_AES) != 0 ? 1 : 0;
}
