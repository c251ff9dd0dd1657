// Checks every computation makes on the task's data description before it reads data.
#pragma once

#include <cstdint>

#include "summary_stats/status.h"
#include "summary_stats/storage_codes.h"
#include "summary_stats/task.h"

namespace zorn::ss {

struct DataShape {
  int64_t p;
  int64_t n;
  bool rows;
};

// p >= 1, n >= 0, observations present, a storage code with a layout bit and p*n
// addressable; returns 0 and fills `shape`, or the status of the failed check.
inline int32_t check_data(const PavoSSTask& task, DataShape* shape) {
  if (task.p == nullptr) return kBadDimension;
  shape->p = read_integer(task, task.p);
  if (shape->p < 1) return kBadDimension;
  if (task.storage == nullptr) return kNullStorage;
  const int64_t code = read_integer(task, task.storage);
  if (!has_layout_bit(code)) return kBadStorage;
  shape->rows = is_row_layout(code);
  if (task.n == nullptr) return kBadObservationCount;
  shape->n = read_integer(task, task.n);
  uint64_t elements;
  if (shape->n < 0 || __builtin_mul_overflow(static_cast<uint64_t>(shape->n),
                                             static_cast<uint64_t>(shape->p), &elements))
    return kBadObservationCount;
  if (task.x == nullptr) return kNullObservations;
  return kOk;
}

}  // namespace zorn::ss
