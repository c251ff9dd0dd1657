// The per-thread vector-math block and the library-wide state that owns the blocks.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

#include "platform/platform.h"
#include "platform/thread_cache.h"
#include "zorn/tess.h"

namespace zorn {

struct TessThreadState {
  uint32_t Mode;  // 0 until the first reader applies the initial mode
  int32_t ErrStatus;
  TessErrorCallBack ErrorCallBack;
  const void* InterfInputVectorPointer;  // start of the caller's whole vector, or null
};
static_assert(sizeof(TessThreadState) == 24);
static_assert(offsetof(TessThreadState, Mode) == 0);
static_assert(offsetof(TessThreadState, ErrStatus) == 4);
static_assert(offsetof(TessThreadState, ErrorCallBack) == 8);
static_assert(offsetof(TessThreadState, InterfInputVectorPointer) == 16);

extern std::atomic<uint32_t> tess_tls_index;  // platform::kNoSlot when there is no slot
extern std::atomic<platform::Heap*> tess_heap;
// Advanced at every unload: a thread's cached copy of its slot value stands only under
// the generation it was made in.
extern std::atomic<uint32_t> tess_state_generation;

// The sibling lock words that guard creation of the slot and the heap, and the read
// of the mode environment variable. Never two of them are held together.
extern int32_t tess_slot_lock;
extern int32_t tess_heap_lock;
extern int32_t tess_env_lock;

// The calling thread's block through its slot (made when missing), cached for the
// thread; ends the process when none can be had.
TessThreadState* tess_thread_state_from_slot();

// The calling thread's block: the thread's cached copy of its slot value when it has
// one, else the slot.
inline TessThreadState* tess_get_thread_state() {
  if (void* cached = platform::cached_slot(tess_state_generation.load(std::memory_order_relaxed)))
    return static_cast<TessThreadState*>(cached);
  return tess_thread_state_from_slot();
}
// 1 when the slot exists and, if it was created now, the caller's block was made.
int32_t tess_init_tls();
// A new, zeroed block stored in the calling thread's slot, or null.
TessThreadState* tess_new_thread_state();

// Takes a state lock. While process attach runs, the loader keeps every other thread
// out of the library and the sibling may not be loadable yet, so no lock is taken.
class StateLock {
 public:
  explicit StateLock(int32_t* word);
  ~StateLock();
  StateLock(const StateLock&) = delete;
  StateLock& operator=(const StateLock&) = delete;

 private:
  int32_t* word_;
};
extern bool tess_attach_in_progress;

}  // namespace zorn
