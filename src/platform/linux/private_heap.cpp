// A private heap: blocks come from the C++ allocator and are chained into a list, so
// that destroying the heap releases all of them, whichever thread allocated them.
#include <cstdlib>
#include <mutex>
#include <new>

#include "platform/platform.h"

namespace zorn::platform {

namespace {
struct alignas(16) BlockHeader {
  BlockHeader* prev;
  BlockHeader* next;
};
}  // namespace

struct Heap {
  std::mutex mutex;
  BlockHeader head{&head, &head};  // circular list of live blocks
  size_t live = 0;
};

Heap* heap_create(size_t /*initial_bytes: the heap grows on demand*/) {
  return new (std::nothrow) Heap;
}

void* heap_alloc(Heap* heap, size_t bytes) {
  if (heap == nullptr || bytes > (size_t{1} << 48)) return nullptr;
  auto* block = static_cast<BlockHeader*>(std::malloc(sizeof(BlockHeader) + bytes));
  if (block == nullptr) return nullptr;
  std::lock_guard lock(heap->mutex);
  block->prev = &heap->head;
  block->next = heap->head.next;
  heap->head.next->prev = block;
  heap->head.next = block;
  ++heap->live;
  return block + 1;
}

void heap_free(Heap* heap, void* p) {
  if (heap == nullptr || p == nullptr) return;
  BlockHeader* block = static_cast<BlockHeader*>(p) - 1;
  {
    std::lock_guard lock(heap->mutex);
    block->prev->next = block->next;
    block->next->prev = block->prev;
    --heap->live;
  }
  std::free(block);
}

void heap_destroy(Heap* heap) {
  if (heap == nullptr) return;
  for (BlockHeader* b = heap->head.next; b != &heap->head;) {
    BlockHeader* next = b->next;
    std::free(b);
    b = next;
  }
  delete heap;
}

size_t heap_live_blocks(const Heap* heap) { return heap == nullptr ? 0 : heap->live; }

}  // namespace zorn::platform
