// A copy of the calling thread's slot value that the thread reads without a call, for
// the paths every kernel call takes. The slot stays the owner: the copy is written only
// where the slot value is read or written, and it stands only under the generation it
// was written with (an unload starts a new one, so no copy outlives its block).
//   void* cached_slot(uint32_t generation)   the copy, or null when there is none
//   void cache_slot(void* value, uint32_t generation)
#pragma once

#if defined(_WIN32)
#include "platform/windows/thread_cache.h"
#else
#include "platform/linux/thread_cache.h"
#endif
