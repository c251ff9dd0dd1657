// Aligned blocks from the C runtime: aligned_alloc where it exists, the runtime's own
// aligned allocator on Windows (whose blocks need their own free).
#pragma once

#include <cstdlib>
#if defined(_WIN32)
#include <malloc.h>
#endif

inline void* aligned_memory(size_t alignment, size_t bytes) {
#if defined(_WIN32)
  return _aligned_malloc(bytes, alignment);
#else
  return std::aligned_alloc(alignment, bytes);
#endif
}

inline void free_aligned_memory(void* block) {
#if defined(_WIN32)
  _aligned_free(block);
#else
  std::free(block);
#endif
}
