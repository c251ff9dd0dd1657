// Thread-local slot over POSIX thread-specific data. Every slot's key destructor is
// the library's thread-exit hook, so blocks of ending threads are released.
#include <pthread.h>

#include "platform/linux/thread_cache.h"
#include "platform/linux/thread_exit_hook.h"
#include "platform/platform.h"

namespace zorn::platform {

[[gnu::tls_model("initial-exec")]] constinit thread_local CachedSlotValue cached_slot_value = {};

uint32_t slot_alloc() {
  pthread_key_t key;
  if (pthread_key_create(&key, &on_thread_exit) != 0) return kNoSlot;
  if (static_cast<uint32_t>(key) == kNoSlot) {  // cannot be told from "no slot"
    pthread_key_delete(key);
    return kNoSlot;
  }
  return static_cast<uint32_t>(key);
}

void slot_free(uint32_t slot) { pthread_key_delete(static_cast<pthread_key_t>(slot)); }

void* slot_get(uint32_t slot) { return pthread_getspecific(static_cast<pthread_key_t>(slot)); }

bool slot_set(uint32_t slot, void* value) {
  return pthread_setspecific(static_cast<pthread_key_t>(slot), value) == 0;
}

}  // namespace zorn::platform
