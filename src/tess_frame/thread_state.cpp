#include "tess_frame/thread_state.h"

#include <cstring>

#include "core_interface/sibling.h"

namespace zorn {

std::atomic<uint32_t> tess_tls_index{platform::kNoSlot};
std::atomic<platform::Heap*> tess_heap{nullptr};
std::atomic<uint32_t> tess_state_generation{0};
int32_t tess_slot_lock = 0;
int32_t tess_heap_lock = 0;
int32_t tess_env_lock = 0;
bool tess_attach_in_progress = false;

namespace {
constexpr int32_t kMessageNoThreadState = 773;
constexpr int32_t kExitNoThreadState = 3;
constexpr size_t kInitialHeapBytes = 32;

void report_no_thread_state() { sibling::zorn_serv_print()(1, kMessageNoThreadState, 0); }
}  // namespace

StateLock::StateLock(int32_t* word) : word_(tess_attach_in_progress ? nullptr : word) {
  if (word_ != nullptr) sibling::zorn_serv_lock()(word_);
}

StateLock::~StateLock() {
  if (word_ != nullptr) sibling::zorn_serv_unlock()(word_);
}

TessThreadState* tess_thread_state_from_slot() {
  if (tess_tls_index.load(std::memory_order_acquire) == platform::kNoSlot) tess_init_tls();
  const uint32_t slot = tess_tls_index.load(std::memory_order_acquire);
  if (slot != platform::kNoSlot) {
    if (auto* state = static_cast<TessThreadState*>(platform::slot_get(slot))) {
      platform::cache_slot(state, tess_state_generation.load(std::memory_order_relaxed));
      return state;
    }
    if (TessThreadState* state = tess_new_thread_state()) return state;
  }
  sibling::zorn_serv_exit()(kExitNoThreadState);
  __builtin_unreachable();
}

int32_t tess_init_tls() {
  uint32_t slot;
  {
    StateLock lock(&tess_slot_lock);
    if (tess_tls_index.load(std::memory_order_acquire) != platform::kNoSlot) return 1;
    slot = platform::slot_alloc();
    tess_tls_index.store(slot, std::memory_order_release);
  }
  if (slot == platform::kNoSlot) {
    report_no_thread_state();
    return 0;
  }
  return tess_new_thread_state() != nullptr ? 1 : 0;
}

TessThreadState* tess_new_thread_state() {
  platform::Heap* heap = tess_heap.load(std::memory_order_acquire);
  if (heap == nullptr) {
    StateLock lock(&tess_heap_lock);
    heap = tess_heap.load(std::memory_order_acquire);
    if (heap == nullptr) {
      heap = platform::heap_create(kInitialHeapBytes);
      tess_heap.store(heap, std::memory_order_release);
    }
  }
  if (heap == nullptr) {
    report_no_thread_state();
    return nullptr;
  }
  void* block = platform::heap_alloc(heap, sizeof(TessThreadState));
  if (block != nullptr && !platform::slot_set(tess_tls_index.load(), block)) {
    platform::heap_free(heap, block);
    block = nullptr;
  }
  if (block == nullptr) {
    report_no_thread_state();
    return nullptr;
  }
  std::memset(block, 0, sizeof(TessThreadState));
  platform::cache_slot(block, tess_state_generation.load(std::memory_order_relaxed));
  return static_cast<TessThreadState*>(block);
}

}  // namespace zorn
