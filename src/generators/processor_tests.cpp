// The processor tests that callers use before choosing a generator that needs
// particular instructions.
#include "core_interface/sibling.h"
#include "streams/processor_features.h"
#include "zorn/pavo.h"

extern "C" {

int32_t __pavoCPUisAES(void) { return zorn::streams::has_aes() ? 1 : 0; }

int32_t __pavoCPUisRDRAND(void) { return zorn::streams::has_rdrand() ? 1 : 0; }

// Passed on from the core library unchanged.
int32_t __pavoCPUisVAES(void) { return zorn::sibling::zorn_serv_cpuistolx()(); }

}  // extern "C"
