// Editing and querying a task by parameter identifier. Both directions are driven by
// two tables of the shared task-editing engine: the address and the integer parameters.
#include <cstring>

#include "data_fitting/status.h"
#include "data_fitting/task_tables.h"
#include "task_model/task_editing.h"
#include "zorn/df.h"

namespace zorn::df {

const task_model::Rules<Task> kTaskRules{.null_task = kNullTask,
                                          .unknown_identifier = kUnknownIdentifier,
                                          .takes_edits = [](const Task& t) { return t.dimension_count == 1; }};

namespace {

using task_model::AddressField;
using task_model::ValueField;

constexpr int64_t kValuesId = ZORN_DF_ID_VALUES;
constexpr int64_t kCoefficientsId = ZORN_DF_ID_COEFFICIENTS;
constexpr int32_t kOnlyEditor = 0;

int32_t store_values(Task& t, const void* y, size_t real) { return rebuild_value_table(t, y, real); }
int32_t store_coefficients(Task& t, const void* c, size_t real) {
  if (t.ny == 0) return kBadFunctionCount;
  return rebuild_coefficient_table(t, const_cast<void*>(c), real);
}

constexpr AddressField<Task> kAddressFields[] = {
    {.id = ZORN_DF_ID_NODES, .editor = kOnlyEditor, .null_status = kNullNodes, .offset = offsetof(Task, x)},
    {.id = kValuesId, .editor = kOnlyEditor, .null_status = kNullValues, .store = store_values},
    {.id = ZORN_DF_ID_INNER_CONDITIONS, .editor = kOnlyEditor, .null_status = kBadInnerConditions, .offset = offsetof(Task, inner)},
    {.id = ZORN_DF_ID_END_CONDITIONS, .editor = kOnlyEditor, .null_status = kNullEndConditions, .offset = offsetof(Task, end)},
    {.id = kCoefficientsId, .editor = kOnlyEditor, .null_status = kNullCoefficients, .store = store_coefficients},
};

int32_t rebuild_bins_for_hint(Task& t, int64_t hint) {
  return hint == kPartitionNonUniform ? rebuild_bin_table(t) : kOk;
}

constexpr ValueField<Task> kValueFields[] = {
    {ZORN_DF_ID_NODE_COUNT, kBadNodeCount, [](int64_t v) { return v >= 2; }, ZORN_TASK_MEMBER(Task, nx)},
    {ZORN_DF_ID_PARTITION_HINT, kBadPartitionHint, partition_hint_accepted, ZORN_TASK_MEMBER(Task, partition_hint), rebuild_bins_for_hint},
    {ZORN_DF_ID_FUNCTION_COUNT, kBadFunctionCount, [](int64_t v) { return v >= 1; }, ZORN_TASK_MEMBER(Task, ny)},
    {ZORN_DF_ID_VALUE_STORAGE, kBadValueStorage, storage_accepted, ZORN_TASK_MEMBER(Task, value_storage)},
    {ZORN_DF_ID_SPLINE_ORDER, kBadSplineOrder, [](int64_t v) { return v >= 0; }, ZORN_TASK_MEMBER(Task, spline_order)},
    {ZORN_DF_ID_SPLINE_KIND, kBadSplineKind, [](int64_t v) { return (v >= 0 && v <= 5) || v == 9; }, ZORN_TASK_MEMBER(Task, spline_kind)},
    {ZORN_DF_ID_INNER_CONDITION_KIND, kBadInnerConditionKind, [](int64_t v) { return v < 3 || (v & ZORN_DF_INNER_KNOTS) != 0; }, ZORN_TASK_MEMBER(Task, inner_kind)},
    {ZORN_DF_ID_END_CONDITION_KIND, kBadEndConditionKind, [](int64_t v) { return v >= 0; }, ZORN_TASK_MEMBER(Task, end_kind)},
    {ZORN_DF_ID_COEFFICIENT_STORAGE, kBadCoefficientStorage, storage_accepted, ZORN_TASK_MEMBER(Task, coefficient_storage)},
    {ZORN_DF_ID_AUXILIARY_FLAG, kBadAuxiliaryFlag, [](int64_t v) { return uint64_t(v) <= 1; }, ZORN_TASK_MEMBER(Task, auxiliary_flag)},
};

template <class T>
int32_t edit_address(Task* t, int64_t id, const T* address) {
  return task_model::edit_address(kTaskRules, kAddressFields, t, id, kOnlyEditor, address, sizeof(T));
}

template <class T>
int32_t query_address(Task* t, int64_t id, T** result) {
  if (t == nullptr) return kTaskRules.null_task;
  if (result == nullptr) return kNullResult;
  if (t->dimension_count != 1) return kOk;
  const AddressField<Task>* field = task_model::find_field(kAddressFields, id);
  if (field == nullptr) return kUnknownIdentifier;
  const void* found = nullptr;
  if (field->id == kValuesId) {
    if (t->value_entries < 1) return kNullValues;
    found = t->values[0];
  } else if (field->id == kCoefficientsId) {
    if (t->coefficient_entries < 1) return kNullCoefficients;
    found = t->coefficients[0];
  } else {
    found = task_model::address_at(*t, field->offset);
  }
  *result = static_cast<T*>(const_cast<void*>(found));
  return kOk;
}

int32_t edit_indexed(Task* t, int64_t id, int64_t index, const void* address) {
  if (t == nullptr) return kTaskRules.null_task;
  if (t->dimension_count != 1) return kOk;
  if (id == 5) {
    if (index < 0 || index >= t->ny || index >= t->coefficient_entries) return kBadFunctionIndex;
    if (address == nullptr) return kNullCoefficients;
    t->coefficients[index] = const_cast<void*>(address);
    return kOk;
  }
  if (id == 2) {
    if (is_column_storage(*t)) return kBadValueStorage;
    if (index < 0 || index >= t->ny || index >= t->value_entries) return kBadFunctionIndex;
    if (address == nullptr) return kNullValues;
    t->values[index] = address;
    return kOk;
  }
  return kUnknownIdentifier;
}

int32_t query_indexed(Task* t, int64_t id, int64_t index, void** result) {
  if (t == nullptr) return kTaskRules.null_task;
  if (result == nullptr) return kNullResult;
  if (index < 0 || index >= t->ny) return kBadFunctionIndex;
  if (t->dimension_count != 1) return kOk;
  if (id == 5) {
    if (index >= t->coefficient_entries) return kBadFunctionIndex;
    *result = t->coefficients[index];
    return kOk;
  }
  if (id == 2) {
    if (is_column_storage(*t)) return kBadValueStorage;
    if (index >= t->value_entries) return kBadFunctionIndex;
    *result = const_cast<void*>(t->values[index]);
    return kOk;
  }
  return kUnknownIdentifier;
}

int32_t query_value(Task* t, int64_t id, void* result) {
  if (t == nullptr) return kTaskRules.null_task;
  if (result == nullptr) return kNullResult;
  if (t->dimension_count != 1) return kOk;
  const ValueField<Task>* field = task_model::find_field(kValueFields, id);
  if (field == nullptr) return kUnknownIdentifier;
  const int64_t v = task_model::read_value(*t, *field);
  if (t->integer_width != 0) {
    std::memcpy(result, &v, sizeof v);
  } else {
    const int32_t low = static_cast<int32_t>(v);
    std::memcpy(result, &low, sizeof low);
  }
  return kOk;
}

template <class T>
int32_t edit_spline(Task* t, int64_t order, int64_t kind, int64_t end_kind, const T* end,
                    int64_t inner_kind, const T* inner, T* coefficients, int64_t storage) {
  if (t == nullptr) return kTaskRules.null_task;
  if (order < 0) return kBadSplineOrder;
  if (kind < 0) return kBadSplineKind;
  t->spline_order = order;
  t->spline_kind = kind;
  if (end == nullptr && end_kind >= 3 && end_kind != ZORN_DF_END_PERIODIC)
    return kNullEndConditions;
  t->end_kind = end_kind;
  t->end = end;
  if (inner_kind != 0 && inner == nullptr) return kBadInnerConditions;
  if (inner_kind == 0 && inner != nullptr) return kBadInnerConditionKind;
  t->inner_kind = inner_kind;
  t->inner = inner;
  if (coefficients != nullptr) {
    if (t->ny == 0) return kBadFunctionCount;
    t->coefficient_storage = storage;
    if (int32_t st = rebuild_coefficient_table(*t, coefficients, sizeof(T)); st != kOk) return st;
  }
  t->coefficient_storage = storage;
  return kOk;
}

}  // namespace
}  // namespace zorn::df

using namespace zorn::df;

extern "C" {

int32_t zorn_df_kernel_dEditPtr(ZornDfTask* task, int64_t id, const double* address) {
  return edit_address(task, id, address);
}
int32_t zorn_df_kernel_sEditPtr(ZornDfTask* task, int64_t id, const float* address) {
  return edit_address(task, id, address);
}
int32_t zorn_df_kernel_dEditIdxPtr(ZornDfTask* task, int64_t id, int64_t index,
                                   const void* address) {
  return edit_indexed(task, id, index, address);
}
int32_t zorn_df_kernel_sEditIdxPtr(ZornDfTask*, int64_t, int64_t, const void*)
    ZORN_ALIAS(zorn_df_kernel_dEditIdxPtr);
int32_t zorn_df_kernel_iEditVal(ZornDfTask* task, int64_t id, int64_t value) {
  return zorn::task_model::edit_value(kTaskRules, kValueFields, task, id, value);
}
int32_t zorn_df_kernel_dEditPPSpline1D(ZornDfTask* task, int64_t order, int64_t kind,
                                       int64_t end_kind, const double* end_values,
                                       int64_t inner_kind, const double* inner_values,
                                       double* coefficients, int64_t coefficient_storage) {
  return edit_spline(task, order, kind, end_kind, end_values, inner_kind, inner_values,
                     coefficients, coefficient_storage);
}
int32_t zorn_df_kernel_sEditPPSpline1D(ZornDfTask* task, int64_t order, int64_t kind,
                                       int64_t end_kind, const float* end_values,
                                       int64_t inner_kind, const float* inner_values,
                                       float* coefficients, int64_t coefficient_storage) {
  return edit_spline(task, order, kind, end_kind, end_values, inner_kind, inner_values,
                     coefficients, coefficient_storage);
}
int32_t zorn_df_kernel_dQueryPtr(ZornDfTask* task, int64_t id, double** result) {
  return query_address(task, id, result);
}
int32_t zorn_df_kernel_sQueryPtr(ZornDfTask* task, int64_t id, float** result) {
  return query_address(task, id, result);
}
int32_t zorn_df_kernel_dQueryIdxPtr(ZornDfTask* task, int64_t id, int64_t index,
                                    void** result) {
  return query_indexed(task, id, index, result);
}
int32_t zorn_df_kernel_sQueryIdxPtr(ZornDfTask*, int64_t, int64_t, void**)
    ZORN_ALIAS(zorn_df_kernel_dQueryIdxPtr);
int32_t zorn_df_kernel_iQueryVal(ZornDfTask* task, int64_t id, void* result) {
  return query_value(task, id, result);
}

}  // extern "C"
