// A statistics task that lives for one computation: created over the caller's data,
// deleted on every exit.
#pragma once

#include <cstdint>

#include "without_gil.h"
#include "zorn/ss.h"

namespace zorn_python::stats {

class Task {
 public:
  // The task keeps the addresses: p, n and storage must outlive it. 64-bit integers.
  Task(const int64_t* p, const int64_t* n, const int64_t* storage, const double* x,
       const double* weights) {
    check_status(__pavodSSNewTask(&task_, p, n, storage, x, weights, nullptr, 1));
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
