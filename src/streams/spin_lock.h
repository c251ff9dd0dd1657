// The spin lock of the shared read-only data table: a 32-bit word taken by an atomic
// compare-and-exchange from 0 to 1, retried at once until it succeeds, and released by
// a store of 0. Held only for a few table operations, never across a call out.
#pragma once

#include <atomic>
#include <cstdint>

namespace zorn::streams {

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

}  // namespace zorn::streams
