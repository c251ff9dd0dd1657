// Calls into libzorn_core.so. Each operation is bound on its first call (see
// platform/sibling_binding.h); loading this library calls nothing in the sibling.
//
//   zorn::sibling::zorn_serv_allocate()(bytes, 128)
//
// returns the bound function and calls it. Prefer the helpers at the end for the
// common services.
#pragma once

#include "platform/sibling_binding.h"
#include "zorn/core.h"

namespace zorn::sibling {

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
