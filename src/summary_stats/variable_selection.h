// The list of variables a computation works on.
#pragma once

#include <cstdint>

#include "summary_stats/moment_state.h"
#include "summary_stats/task.h"

namespace zorn::ss {

// Fills `index` (p entries) with the selected variables, ascending: all of them when
// the task has no selection, otherwise those whose selection entry is non-zero.
inline VariableList select_variables(const PavoSSTask& task, int64_t p, int64_t* index) {
  int64_t count = 0;
  for (int64_t i = 0; i < p; ++i)
    if (task.selection == nullptr || read_integer(task, task.selection, i) != 0) index[count++] = i;
  return {index, count};
}

inline VariableList all_variables(int64_t p, int64_t* index) {
  for (int64_t i = 0; i < p; ++i) index[i] = i;
  return {index, p};
}

}  // namespace zorn::ss
