#include "tess_frame/library_entry.h"

#include "tess_frame/thread_state.h"

namespace zorn {

namespace {

// Frees the calling thread's block, if it has one, and clears its slot value and the
// thread's copy of it.
void release_own_block(uint32_t slot) {
  if (void* block = platform::slot_get(slot)) platform::heap_free(tess_heap.load(), block);
  platform::slot_set(slot, nullptr);
  platform::cache_slot(nullptr, tess_state_generation.load(std::memory_order_relaxed));
}

}  // namespace

int32_t tess_library_entry(void* /*module*/, uint32_t reason, void* reserved) {
  switch (reason) {
    case kProcessAttach: {
      tess_attach_in_progress = true;
      const int32_t made = tess_init_tls();
      tess_attach_in_progress = false;
      return made;
    }
    case kThreadDetach: {
      const uint32_t slot = tess_tls_index.load(std::memory_order_acquire);
      if (slot != platform::kNoSlot) release_own_block(slot);
      return 1;
    }
    case kProcessDetach: {
      if (reserved != nullptr) return 1;  // the process is ending: leave everything alone
      // Other threads' copies of their slot values name blocks that die with the heap.
      tess_state_generation.fetch_add(1, std::memory_order_acq_rel);
      const uint32_t slot = tess_tls_index.load(std::memory_order_acquire);
      if (slot != platform::kNoSlot) {
        release_own_block(slot);
        tess_tls_index.store(platform::kNoSlot, std::memory_order_release);
        platform::slot_free(slot);
      }
      // Destroying the heap also ends the blocks of every other thread.
      platform::heap_destroy(tess_heap.exchange(nullptr, std::memory_order_acq_rel));
      return 1;
    }
    default:
      return 1;  // thread attach: blocks are made on a thread's first call
  }
}

}  // namespace zorn
