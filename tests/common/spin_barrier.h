// A barrier for a fixed number of threads that waits by yielding, for tests that start
// many threads at once. std::barrier of some C++ libraries (MinGW-w64's) waits through an
// atomic-wait fallback that now and then misses a wake-up, leaving every thread asleep.
#pragma once

#include <atomic>
#include <thread>

namespace zorn_test {

class SpinBarrier {
 public:
  explicit SpinBarrier(int threads) : threads_(threads) {}
  void arrive_and_wait() {
    const int phase = phase_.load();
    if (arrived_.fetch_add(1) + 1 == threads_) {
      arrived_ = 0;
      phase_.fetch_add(1);
      return;
    }
    while (phase_.load() == phase) std::this_thread::yield();
  }

 private:
  const int threads_;
  std::atomic<int> arrived_{0}, phase_{0};
};

}  // namespace zorn_test
