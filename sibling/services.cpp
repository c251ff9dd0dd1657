// Memory, locks, environment, exit and bounded copy services.
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <new>
#include <thread>

#include "aligned_memory.h"
#include "export.h"
#include "zorn/core.h"

ZORN_CORE_EXPORT void* zorn_serv_allocate(uint64_t bytes, int32_t alignment) {
  // aligned_alloc wants a power-of-two alignment that is a multiple of sizeof(void*)
  // and a size that is a multiple of it.
  uint64_t align = alignment < static_cast<int32_t>(sizeof(void*)) ? sizeof(void*)
                                                                     : static_cast<uint64_t>(alignment);
  if ((align & (align - 1)) != 0) return nullptr;
  if (bytes == 0) bytes = 1;
  if (bytes > (uint64_t{1} << 62)) return nullptr;
  return aligned_memory(align, (bytes + align - 1) & ~(align - 1));
}

ZORN_CORE_EXPORT void zorn_serv_deallocate(void* block) { free_aligned_memory(block); }

// A lock word is 0 when free and 1 when held. Waiters spin briefly, then yield.
ZORN_CORE_EXPORT void zorn_serv_lock(int32_t* lock_word) {
  std::atomic_ref<int32_t> word(*lock_word);
  for (unsigned spins = 0;; ++spins) {
    int32_t expected = 0;
    if (word.load(std::memory_order_relaxed) == 0 &&
        word.compare_exchange_weak(expected, 1, std::memory_order_acquire))
      return;
    if (spins > 64) std::this_thread::yield();
  }
}

ZORN_CORE_EXPORT void zorn_serv_unlock(int32_t* lock_word) {
  std::atomic_ref<int32_t>(*lock_word).store(0, std::memory_order_release);
}

ZORN_CORE_EXPORT int32_t zorn_serv_getenv(const char* name, char* buf, int32_t size) {
  if (name == nullptr || buf == nullptr || size < 1) return 0;
  const char* value = std::getenv(name);
  if (value == nullptr) return 0;
  size_t length = std::strlen(value);
  size_t copied = length < static_cast<size_t>(size) - 1 ? length : static_cast<size_t>(size) - 1;
  std::memcpy(buf, value, copied);
  buf[copied] = '\0';
  return static_cast<int32_t>(length > 0x7FFFFFFF ? 0x7FFFFFFF : length);
}

ZORN_CORE_EXPORT void zorn_serv_exit(int32_t code) { std::exit(code); }

ZORN_CORE_EXPORT int32_t zorn_serv_memcpy_s(void* dst, uint64_t dst_size, const void* src,
                                            uint64_t count) {
  if (count == 0) return 0;
  if (dst == nullptr || src == nullptr) return 22;  // EINVAL
  if (count > dst_size) return 34;                  // ERANGE
  std::memmove(dst, src, count);
  return 0;
}
