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

// The variable is named directly rather than through a reference: GCC 12's null check of
// a reference bound to a thread-local tests stale flags and reports a null pointer that
// is not there.
inline void* cached_slot(uint32_t generation) {
  return cached_slot_value.generation == generation ? cached_slot_value.value : nullptr;
}

inline void cache_slot(void* value, uint32_t generation) {
  cached_slot_value = {value, generation};
}

}  // namespace zorn::platform
