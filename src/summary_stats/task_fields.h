// Editing a task by parameter identifier: which field an identifier names, which editor
// (real or integer) owns it, and the status a null address returns.
#pragma once

#include <cstddef>
#include <cstdint>

#include "summary_stats/task.h"

namespace zorn::ss {

enum class ParameterKind : uint8_t { kReal, kInteger };

struct FieldEntry {
  int32_t id;
  ParameterKind kind;
  int32_t null_status;
  size_t offset;  // of the address field in PavoSSTask
};

// The entry of `id` owned by an editor of `kind`, or null when that editor does not
// know the identifier.
const FieldEntry* find_field(int32_t id, ParameterKind kind);

// Stores `address` in the field at `offset` of the task.
inline void store_field(PavoSSTask* task, size_t offset, const void* address) {
  *reinterpret_cast<const void**>(reinterpret_cast<char*>(task) + offset) = address;
}

}  // namespace zorn::ss
