// Editing a task record by parameter identifier, shared by the summary-statistics and
// the data-fitting tasks. A table maps each identifier to its field, the editor that owns
// it and the status of a null address (or, for an integer parameter, the test a value
// must pass and the status of a refusal); the task type's rules give the status of a
// null task and of an identifier the editor does not own. Every edit checks, in order:
// the task, whether the task takes edits, the identifier, then the argument; a refused
// edit leaves the task unchanged.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <initializer_list>

#include "core_interface/sibling.h"

namespace zorn::task_model {

constexpr int32_t kOk = 0;

template <class Task>
struct Rules {
  int32_t null_task;           // a null task, or a handle that holds none
  int32_t unknown_identifier;  // an identifier the editor does not own
  // When set and false, the task takes no edits: each one succeeds without effect.
  bool (*takes_edits)(const Task& task) = nullptr;
};

// An address parameter. Plain fields keep the address at `offset`; a field whose edit
// does more (rebuilds a table the task owns) names its own `store`, which returns the
// status. `element_size` is the size of one real of the editing function's precision.
template <class Task>
struct AddressField {
  int64_t id;
  int32_t editor;       // the editing function that owns the identifier
  int32_t null_status;  // the edit's status for a null address
  size_t offset = 0;
  int32_t (*store)(Task& task, const void* address, size_t element_size) = nullptr;
};

// An integer parameter held in a signed member of 4 or 8 bytes at `offset`. `after`,
// when set, is the work that storing the value entails; it gives the edit's status.
template <class Task>
struct ValueField {
  int64_t id;
  int32_t refusal;  // the status of a value that `accepts` refuses
  bool (*accepts)(int64_t value);
  size_t offset;
  size_t width;
  int32_t (*after)(Task& task, int64_t value) = nullptr;
};

// offsetof and size of an integer member, for a ValueField.
#define ZORN_TASK_MEMBER(Task, member) offsetof(Task, member), sizeof(Task::member)

template <class Field, size_t N>
const Field* find_field(const Field (&table)[N], int64_t id) {
  for (const Field& field : table)
    if (field.id == id) return &field;
  return nullptr;
}

template <class Task>
const void*& address_at(Task& task, size_t offset) {
  return *reinterpret_cast<const void**>(reinterpret_cast<char*>(&task) + offset);
}

template <class Task>
const void* address_at(const Task& task, size_t offset) {
  return *reinterpret_cast<const void* const*>(reinterpret_cast<const char*>(&task) + offset);
}

template <class Task>
bool refuses_edits(const Rules<Task>& rules, const Task& task) {
  return rules.takes_edits != nullptr && !rules.takes_edits(task);
}

template <class Task, size_t N>
int32_t edit_address(const Rules<Task>& rules, const AddressField<Task> (&table)[N], Task* task,
                     int64_t id, int32_t editor, const void* address, size_t element_size) {
  if (task == nullptr) return rules.null_task;
  if (refuses_edits(rules, *task)) return kOk;
  const AddressField<Task>* field = find_field(table, id);
  if (field == nullptr || field->editor != editor) return rules.unknown_identifier;
  if (address == nullptr) return field->null_status;
  if (field->store != nullptr) return field->store(*task, address, element_size);
  address_at(*task, field->offset) = address;
  return kOk;
}

template <class Task>
int64_t read_value(const Task& task, const ValueField<Task>& field) {
  const char* at = reinterpret_cast<const char*>(&task) + field.offset;
  if (field.width == sizeof(int32_t)) {
    int32_t v;
    std::memcpy(&v, at, sizeof v);
    return v;
  }
  int64_t v;
  std::memcpy(&v, at, sizeof v);
  return v;
}

template <class Task, size_t N>
int32_t edit_value(const Rules<Task>& rules, const ValueField<Task> (&table)[N], Task* task,
                   int64_t id, int64_t value) {
  if (task == nullptr) return rules.null_task;
  if (refuses_edits(rules, *task)) return kOk;
  const ValueField<Task>* field = find_field(table, id);
  if (field == nullptr) return rules.unknown_identifier;
  if (!field->accepts(value)) return field->refusal;
  char* at = reinterpret_cast<char*>(task) + field->offset;
  if (field->width == sizeof(int32_t)) {
    const auto narrow = static_cast<int32_t>(value);
    std::memcpy(at, &narrow, sizeof narrow);
  } else {
    std::memcpy(at, &value, sizeof value);
  }
  return field->after != nullptr ? field->after(*task, value) : kOk;
}

// A group edit: every non-null address is stored in its field, a null one leaves its
// field as it was.
struct GroupArgument {
  size_t offset;
  const void* address;
};

template <class Task>
int32_t edit_group(const Rules<Task>& rules, Task* task, std::initializer_list<GroupArgument> arguments) {
  if (task == nullptr) return rules.null_task;
  for (const GroupArgument& argument : arguments)
    if (argument.address != nullptr) address_at(*task, argument.offset) = argument.address;
  return kOk;
}

// Allocates a zeroed record for a new task and stores it in *handle (null when the
// allocation fails): the counterpart of delete_task. The caller fills the record.
template <class Task>
Task* allocate_task(Task** handle) {
  auto* task = static_cast<Task*>(sibling::allocate(sizeof(Task)));
  *handle = task;
  if (task != nullptr) std::memset(static_cast<void*>(task), 0, sizeof(Task));
  return task;
}

// Deletes the task in *handle: `release` frees what the task owns, then the record goes
// and the handle is set to null. A null handle address and a handle that holds no task
// both give the null-task status.
template <class Task>
int32_t delete_task(const Rules<Task>& rules, Task** handle, void (*release)(Task& task)) {
  if (handle == nullptr || *handle == nullptr) return rules.null_task;
  release(**handle);
  sibling::deallocate(*handle);
  *handle = nullptr;
  return kOk;
}

}  // namespace zorn::task_model
