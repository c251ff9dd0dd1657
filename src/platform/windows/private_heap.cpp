// A private heap of the platform: growable, serialised, destroyed with all its blocks.
// The count of live blocks is kept beside it for diagnostics and tests.
#include <windows.h>

#include <atomic>
#include <new>

#include "platform/platform.h"

namespace zorn::platform {

struct Heap {
  HANDLE handle;
  std::atomic<size_t> live{0};
};

Heap* heap_create(size_t initial_bytes) {
  HANDLE handle = HeapCreate(0, initial_bytes, 0);  // no options, no maximum: it grows
  if (handle == nullptr) return nullptr;
  Heap* heap = new (std::nothrow) Heap{handle};
  if (heap == nullptr) HeapDestroy(handle);
  return heap;
}

void* heap_alloc(Heap* heap, size_t bytes) {
  if (heap == nullptr) return nullptr;
  void* block = HeapAlloc(heap->handle, 0, bytes);
  if (block != nullptr) heap->live.fetch_add(1, std::memory_order_relaxed);
  return block;
}

void heap_free(Heap* heap, void* block) {
  if (heap == nullptr || block == nullptr) return;
  if (HeapFree(heap->handle, 0, block)) heap->live.fetch_sub(1, std::memory_order_relaxed);
}

void heap_destroy(Heap* heap) {
  if (heap == nullptr) return;
  HeapDestroy(heap->handle);
  delete heap;
}

size_t heap_live_blocks(const Heap* heap) {
  return heap == nullptr ? 0 : heap->live.load(std::memory_order_relaxed);
}

}  // namespace zorn::platform
