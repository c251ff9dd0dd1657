// The copy lives in initial-exec thread-local storage: one load at a fixed offset from
// the thread pointer. The loader gives every thread a zeroed copy when the library is
// loaded, threads that existed before the load included, and again at a reload.
#pragma once

#include <cstdint>

namespace zorn::platform {

struct CachedSlotValue {
  void* value;
  uint32_t generation;
};
[[gnu::tls_model("initial-exec")]] extern constinit thread_local CachedSlotValue
    cached_slot_value;

inline void* cached_slot(uint32_t generation) {
  const CachedSlotValue& copy = cached_slot_value;
  return copy.generation == generation ? copy.value : nullptr;
}

inline void cache_slot(void* value, uint32_t generation) {
  cached_slot_value = {value, generation};
}

}  // namespace zorn::platform
