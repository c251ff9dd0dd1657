// Creation and deletion of data-fitting tasks.

#include "data_fitting/status.h"
#include "data_fitting/task_tables.h"
#include "task_model/task_editing.h"
#include "zorn/df.h"

namespace zorn::df {
namespace {

template <class T>
int32_t new_task(Task** handle, int64_t nx, const T* x, int64_t hint, int64_t ny, const T* y,
                 int64_t storage, int32_t integer_width) {
  if (handle == nullptr) return kNullTask;
  if (nx < 2) return kBadNodeCount;
  if (x == nullptr) return kNullNodes;
  if (!partition_hint_accepted(hint)) return kBadPartitionHint;
  if (ny == 0 && y != nullptr) return kBadFunctionCount;
  if (ny != 0 && y == nullptr) return kNullValues;
  if (!storage_accepted(storage)) return kBadValueStorage;
  // A negative function count cannot describe any array.
  if (ny < 0) return kBadFunctionCount;

  Task* t = task_model::allocate_task(handle);
  if (t == nullptr) return kNoMemory;
  t->nx = nx;
  t->x = x;
  t->partition_hint = hint;
  t->ny = ny;
  t->value_storage = storage;
  t->integer_width = integer_width;
  t->task_kind = kDataFittingTaskKind;
  t->precision = sizeof(T) == sizeof(double) ? 1 : 0;
  t->dimension_count = 1;
  if (y != nullptr) {
    if (int32_t st = rebuild_value_table(*t, y, sizeof(T)); st != kOk) return st;
  }
  if (hint != kPartitionUniform) return rebuild_bin_table(*t);
  return kOk;
}

}  // namespace
}  // namespace zorn::df

using namespace zorn::df;

extern "C" {

int32_t zorn_df_kernel_dNewTask1D(ZornDfTask** task, int64_t nx, const double* x,
                                  int64_t partition_hint, int64_t ny, const double* y,
                                  int64_t value_storage, int32_t integer_width) {
  return new_task(task, nx, x, partition_hint, ny, y, value_storage, integer_width);
}

int32_t zorn_df_kernel_sNewTask1D(ZornDfTask** task, int64_t nx, const float* x,
                                  int64_t partition_hint, int64_t ny, const float* y,
                                  int64_t value_storage, int32_t integer_width) {
  return new_task(task, nx, x, partition_hint, ny, y, value_storage, integer_width);
}

int32_t zorn_df_kernel_DeleteTask(ZornDfTask** task) {
  return zorn::task_model::delete_task(kTaskRules, task, free_task_blocks);
}

}  // extern "C"
