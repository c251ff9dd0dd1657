// Creating and deleting summary-statistics tasks.
#include <algorithm>

#include "core_interface/sibling.h"
#include "summary_stats/status.h"
#include "summary_stats/storage_codes.h"
#include "summary_stats/task.h"
#include "summary_stats/task_fields.h"
#include "task_model/task_editing.h"

namespace zorn::ss {
namespace {

int32_t new_task(PAVO_SS_TASK* handle, const void* p, const void* n, const void* storage,
                 const void* x, const void* weights, const void* selection,
                 int32_t integer_width, int32_t precision) {
  if (handle == nullptr) return kNullTask;
  PavoSSTask probe{};
  probe.integer_width = integer_width;
  if (p == nullptr || read_integer(probe, p) < 1) return kBadDimension;
  if (x != nullptr) {
    if (storage == nullptr) return kNullStorage;
    if (!is_observation_storage(read_integer(probe, storage))) return kBadStorage;
    if (n == nullptr || read_integer(probe, n) < 1) return kBadObservationCount;
  }
  PavoSSTask* task = task_model::allocate_task(handle);
  if (task == nullptr) return kNoMemory;
  task->integer_width = integer_width;
  task->task_kind = kTaskKind;
  task->precision = precision;
  task->p = p;
  task->n = n;
  task->selection = selection;
  task->x = x;
  task->storage = storage;
  task->weights = weights;
  return kOk;
}

}  // namespace
}  // namespace zorn::ss

using namespace zorn::ss;

extern "C" {

int32_t __pavodSSNewTask(PAVO_SS_TASK* task, const void* p, const void* n, const void* storage,
                         const double* x, const double* weights, const void* selection,
                         int32_t integer_width) {
  return new_task(task, p, n, storage, x, weights, selection, integer_width, 1);
}

int32_t __pavosSSNewTask(PAVO_SS_TASK* task, const void* p, const void* n, const void* storage,
                         const float* x, const float* weights, const void* selection,
                         int32_t integer_width) {
  return new_task(task, p, n, storage, x, weights, selection, integer_width, 0);
}

int32_t __pavoSSDeleteTask(PAVO_SS_TASK* handle) {
  return zorn::task_model::delete_task<PavoSSTask>(kTaskRules, handle, [](PavoSSTask& task) {
    zorn::sibling::deallocate(task.work_buffer);
    const int32_t count = std::min(task.release_count, kMaxReleaseFunctions);
    for (int32_t i = 0; i < count; ++i)
      if (task.release[i] != nullptr) task.release[i](&task);
  });
}

}  // extern "C"
