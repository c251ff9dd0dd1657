// Calls into libzorn_core.so. Each operation is resolved on its first call and the
// address kept; nothing here creates a link-time dependency on the sibling.
//
//   zorn::sibling::zorn_serv_allocate()(bytes, 128)
//
// returns the bound function and calls it. Prefer the helpers at the end for the
// common services.
#pragma once

#include <atomic>

#include "core_interface/sibling_loader.h"
#include "zorn/core.h"

namespace zorn::sibling {

#define ZORN_SIBLING_OPERATION(name)                                                 \
  inline decltype(&::name) name() {                                                  \
    using Fn = decltype(&::name);                                                    \
    static std::atomic<Fn> bound{nullptr};                                           \
    Fn fn = bound.load(std::memory_order_acquire);                                   \
    if (fn == nullptr) {                                                             \
      fn = reinterpret_cast<Fn>(core_interface::resolve_sibling_operation(#name));   \
      bound.store(fn, std::memory_order_release);                                    \
    }                                                                                \
    return fn;                                                                       \
  }
#include "core_interface/sibling_operations.def"
#undef ZORN_SIBLING_OPERATION

// Every block the library allocates through the sibling is 128-byte aligned.
constexpr int32_t kBlockAlignment = 128;
inline void* allocate(uint64_t bytes) { return zorn_serv_allocate()(bytes, kBlockAlignment); }
inline void deallocate(void* block) {
  if (block != nullptr) zorn_serv_deallocate()(block);
}

// Holds a sibling lock word for the duration of a scope.
class LockGuard {
 public:
  explicit LockGuard(int32_t* word) : word_(word) { zorn_serv_lock()(word_); }
  ~LockGuard() { zorn_serv_unlock()(word_); }
  LockGuard(const LockGuard&) = delete;
  LockGuard& operator=(const LockGuard&) = delete;

 private:
  int32_t* word_;
};

}  // namespace zorn::sibling
