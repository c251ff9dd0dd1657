// The threading service: a process-wide pool of worker threads behind a table of
// functions. A call posts a job whose indices are claimed one at a time by the pool's
// threads and by the calling thread itself, so nested and concurrent calls cannot
// deadlock: every caller works on its own job until all of its indices are claimed.
#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdlib>
#include <deque>
#include <mutex>
#include <thread>

#include "export.h"
#include "zorn/core.h"

namespace {

struct Job {
  int64_t count;
  void* context;
  zorn_thr_worker_fn worker;
  std::atomic<int64_t> next{0};
  int64_t visitors = 0;  // pool threads working on the job; guarded by the pool's mutex

  // Claims and runs indices until none are left.
  void run_indices() {
    for (int64_t i; (i = next.fetch_add(1, std::memory_order_relaxed)) < count;) {
      worker(i, 0, count, context);
    }
  }
};

int64_t configured_threads() {
  if (const char* v = std::getenv("ZORN_NUM_THREADS")) {
    char* end = nullptr;
    long n = std::strtol(v, &end, 10);
    if (end != v && *end == '\0' && n >= 1) return std::min<long>(n, 1024);
  }
  unsigned hw = std::thread::hardware_concurrency();
  return hw == 0 ? 1 : hw;
}

class Pool {
 public:
  explicit Pool(int64_t threads) : threads_(threads) {
    for (int64_t t = 1; t < threads_; ++t) std::thread([this] { serve(); }).detach();
  }
  int64_t threads() const { return threads_; }

  void run(int64_t count, void* context, zorn_thr_worker_fn worker) {
    if (count <= 0 || worker == nullptr) return;
    Job job{count, context, worker};
    if (count > 1 && threads_ > 1) {
      {
        std::lock_guard lock(mutex_);
        jobs_.push_back(&job);
      }
      wake_.notify_all();
    }
    job.run_indices();
    // Every index is claimed; those claimed by pool threads are finished once no pool
    // thread visits the job, and none can start visiting once it leaves the queue.
    std::unique_lock lock(mutex_);
    jobs_.erase(std::remove(jobs_.begin(), jobs_.end(), &job), jobs_.end());
    left_job_.wait(lock, [&job] { return job.visitors == 0; });
  }

 private:
  [[noreturn]] void serve() {
    std::unique_lock lock(mutex_);
    for (;;) {
      wake_.wait(lock, [this] { return !jobs_.empty(); });
      Job* job = jobs_.front();
      if (job->next.load(std::memory_order_relaxed) >= job->count) {
        jobs_.pop_front();  // fully claimed; its owner waits for the running indices
        continue;
      }
      ++job->visitors;
      lock.unlock();
      job->run_indices();
      lock.lock();
      if (--job->visitors == 0) left_job_.notify_all();
    }
  }

  int64_t threads_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::condition_variable left_job_;
  std::deque<Job*> jobs_;
};

// Never destroyed: at process exit the pool's threads may already be gone (Windows
// ends them before static destructors run), so joining them there could wait forever.
Pool& pool() {
  static Pool* instance = new Pool(configured_threads());
  return *instance;
}

int64_t max_threads() { return pool().threads(); }
void run_for(int64_t count, void* context, zorn_thr_worker_fn worker) {
  pool().run(count, context, worker);
}
void run_parallel_for(int64_t count, int64_t, void* context, zorn_thr_worker_fn worker) {
  pool().run(count, context, worker);
}

void* const kTable[ZORN_THR_TABLE_SIZE] = {
    reinterpret_cast<void*>(&run_parallel_for), nullptr,
    reinterpret_cast<void*>(&run_for),          nullptr,
    reinterpret_cast<void*>(&max_threads),      nullptr,
    nullptr,                                    nullptr,
};

}  // namespace

ZORN_CORE_EXPORT void* const* zorn_core_threading_service(void) { return kTable; }
