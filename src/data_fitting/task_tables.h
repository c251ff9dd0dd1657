// The blocks a task owns: value and coefficient address tables, the bin table.
#pragma once

#include "data_fitting/task.h"
#include "task_model/task_editing.h"

namespace zorn::df {

// The statuses of a null task and an unknown identifier; a task edits only in dimension 1.
extern const task_model::Rules<Task> kTaskRules;

// Frees the value address table and makes a new one for `y` (element size `real`):
// one entry for column storage, else ny (row storage: y + j*nx; separate arrays:
// entry 0 = y, the others null until set by index). Returns kOk or kNoMemory.
int32_t rebuild_value_table(Task& t, const void* y, size_t real);

// Frees the coefficient address table and lays out ny blocks of the current order,
// kind and nx from `c` (separate arrays: entry 0 = c). kOk or kNoMemory.
int32_t rebuild_coefficient_table(Task& t, void* c, size_t real);

// Frees and rebuilds the bin table from the current nx and x in the task's precision.
int32_t rebuild_bin_table(Task& t);

void free_task_blocks(Task& t);

}  // namespace zorn::df
