// A spin lock on a 32-bit word: taken by an atomic compare-and-exchange from 0 to 1,
// retried until it succeeds, released by a store of 0. For short critical sections
// that never call out.
#pragma once

#include <atomic>
#include <cstdint>

namespace zorn::platform {

class SpinLockGuard {
 public:
  explicit SpinLockGuard(std::atomic<int32_t>& word) : word_(word) {
    int32_t expected = 0;
    while (!word_.compare_exchange_weak(expected, 1, std::memory_order_acquire,
                                        std::memory_order_relaxed))
      expected = 0;
  }
  ~SpinLockGuard() { word_.store(0, std::memory_order_release); }
  SpinLockGuard(const SpinLockGuard&) = delete;
  SpinLockGuard& operator=(const SpinLockGuard&) = delete;

 private:
  std::atomic<int32_t>& word_;
};

}  // namespace zorn::platform
