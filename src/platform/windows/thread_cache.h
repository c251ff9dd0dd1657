// No copy: MinGW-w64 builds thread_local on emulated storage, a call per read, while
// the slot (TlsGetValue) is a read from the thread's own block. Every read goes to the
// slot.
#pragma once

#include <cstdint>

namespace zorn::platform {

inline void* cached_slot(uint32_t /*generation*/) { return nullptr; }
inline void cache_slot(void* /*value*/, uint32_t /*generation*/) {}

}  // namespace zorn::platform
