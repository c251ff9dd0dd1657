// Thread-local slot over the thread-local storage of the platform. Blocks of ending
// threads are released by the thread-detach notification of DllMain.
#include <windows.h>

#include "platform/platform.h"

namespace zorn::platform {

static_assert(TLS_OUT_OF_INDEXES == kNoSlot);

uint32_t slot_alloc() { return TlsAlloc(); }
void slot_free(uint32_t slot) { TlsFree(slot); }
void* slot_get(uint32_t slot) { return TlsGetValue(slot); }
bool slot_set(uint32_t slot, void* value) { return TlsSetValue(slot, value) != 0; }

}  // namespace zorn::platform
