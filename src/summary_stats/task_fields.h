// Editing a task by parameter identifier: which field an identifier names, which editor
// (real or integer) owns it, and the status a null address returns.
#pragma once

#include "summary_stats/task.h"
#include "task_model/task_editing.h"

namespace zorn::ss {

enum Editor : int32_t { kRealEditor, kIntegerEditor };

extern const task_model::Rules<PavoSSTask> kTaskRules;

// Stores `address` for identifier `id` through the editor `editor`.
int32_t edit_field(PavoSSTask* task, int32_t id, const void* address, Editor editor);

}  // namespace zorn::ss
