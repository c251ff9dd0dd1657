// Running workers through the caller's threading service table.
#pragma once

#include <cstdint>

#include "zorn/core.h"

namespace zorn::ss {

// The number of threads the service allows (entry 4); 1 without a usable service.
inline int64_t thread_limit(void* const* service) {
  if (service == nullptr || service[ZORN_THR_MAX_THREADS] == nullptr) return 1;
  const int64_t limit =
      reinterpret_cast<zorn_thr_max_threads_fn>(service[ZORN_THR_MAX_THREADS])();
  return limit < 1 ? 1 : limit;
}

// Calls worker(i, 0, count, context) for i in [0, count) and returns when all are done:
// through entry 2 of the service, or in the calling thread for a single worker.
inline void run_workers(void* const* service, int64_t count, void* context,
                        zorn_thr_worker_fn worker) {
  if (count > 1 && service != nullptr && service[ZORN_THR_FOR] != nullptr) {
    reinterpret_cast<zorn_thr_for_fn>(service[ZORN_THR_FOR])(count, context, worker);
    return;
  }
  for (int64_t i = 0; i < count; ++i) worker(i, 0, count, context);
}

}  // namespace zorn::ss
