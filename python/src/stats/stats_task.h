// A statistics task that lives for one computation: created over the caller's data,
// deleted on every exit; in double or single precision (T).
#pragma once

#include <cstdint>

#include "without_gil.h"
#include "zorn/ss.h"

namespace zorn_python::stats {

// The task calls of one precision.
template <class T>
struct Calls;

#define ZORN_PYTHON_SS_CALLS(R, L)                                 \
  template <>                                                      \
  struct Calls<R> {                                                \
    static constexpr auto new_task = __pavo##L##SSNewTask;         \
    static constexpr auto edit_task = __pavo##L##SSEditTask;       \
    static constexpr auto edit_moments = __pavo##L##SSEditMoments; \
    static constexpr auto edit_sums = __pavo##L##SSEditSums;       \
    static constexpr auto edit_cp = __pavo##L##SSEditCP;           \
    static constexpr auto edit_quantiles = __pavo##L##SSEditQuantiles; \
    static constexpr auto basic = _pavo##L##SSBasic;               \
    static constexpr auto minmax = _pavo##L##SSMinmax;             \
    static constexpr auto quantiles = _pavo##L##SSQuantiles;       \
  };
ZORN_PYTHON_SS_CALLS(double, d)
ZORN_PYTHON_SS_CALLS(float, s)
#undef ZORN_PYTHON_SS_CALLS

template <class T>
class Task {
 public:
  // The task keeps the addresses: p, n and storage must outlive it. 64-bit integers.
  Task(const int64_t* p, const int64_t* n, const int64_t* storage, const T* x, const T* weights) {
    check_status(Calls<T>::new_task(&task_, p, n, storage, x, weights, nullptr, 1));
  }
  ~Task() {
    if (task_ != nullptr) __pavoSSDeleteTask(&task_);
  }
  Task(const Task&) = delete;
  Task& operator=(const Task&) = delete;

  PAVO_SS_TASK get() const { return task_; }

 private:
  PAVO_SS_TASK task_ = nullptr;
};

}  // namespace zorn_python::stats
