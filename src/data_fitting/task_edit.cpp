// Editing and querying a task by parameter identifier. Both directions are driven by
// two tables: one for the address parameters, one for the integer parameters.
#include <cstring>

#include "data_fitting/status.h"
#include "data_fitting/task_tables.h"
#include "zorn/df.h"

namespace zorn::df {
namespace {

enum class AddressKind { kPlain, kValues, kCoefficients };

struct AddressParameter {
  int64_t id;
  int32_t null_status;  // returned when the edit is given a null address
  AddressKind kind;
  const void* Task::*field;  // kPlain only
};

constexpr AddressParameter kAddressParameters[] = {
    {1, kNullNodes, AddressKind::kPlain, &Task::x},
    {2, kNullValues, AddressKind::kValues, nullptr},
    {3, kBadInnerConditions, AddressKind::kPlain, &Task::inner},
    {4, kNullEndConditions, AddressKind::kPlain, &Task::end},
    {5, kNullCoefficients, AddressKind::kCoefficients, nullptr},
};

const AddressParameter* find_address_parameter(int64_t id) {
  for (const auto& p : kAddressParameters)
    if (p.id == id) return &p;
  return nullptr;
}

struct ValueParameter {
  int64_t id;
  int32_t refusal;
  bool (*accepts)(int64_t);
  int64_t (*read)(const Task&);
  void (*write)(Task&, int64_t);
};

#define ZORN_DF_INT_FIELD(member)                                      \
  [](const Task& t) -> int64_t { return t.member; },                   \
      [](Task& t, int64_t v) { t.member = static_cast<decltype(t.member)>(v); }

constexpr ValueParameter kValueParameters[] = {
    {14, kBadNodeCount, [](int64_t v) { return v >= 2; }, ZORN_DF_INT_FIELD(nx)},
    {15, kBadPartitionHint, partition_hint_accepted, ZORN_DF_INT_FIELD(partition_hint)},
    {16, kBadFunctionCount, [](int64_t v) { return v >= 1; }, ZORN_DF_INT_FIELD(ny)},
    {17, kBadValueStorage, storage_accepted, ZORN_DF_INT_FIELD(value_storage)},
    {18, kBadSplineOrder, [](int64_t v) { return v >= 0; }, ZORN_DF_INT_FIELD(spline_order)},
    {19, kBadSplineKind, [](int64_t v) { return (v >= 0 && v <= 5) || v == 9; },
     ZORN_DF_INT_FIELD(spline_kind)},
    {20, kBadInnerConditionKind, [](int64_t v) { return v < 3 || (v & 8) != 0; },
     ZORN_DF_INT_FIELD(inner_kind)},
    {21, kBadEndConditionKind, [](int64_t v) { return v >= 0; }, ZORN_DF_INT_FIELD(end_kind)},
    {22, kBadCoefficientStorage, storage_accepted, ZORN_DF_INT_FIELD(coefficient_storage)},
    {23, kBadAuxiliaryFlag, [](int64_t v) { return uint64_t(v) <= 1; },
     ZORN_DF_INT_FIELD(auxiliary_flag)},
};
#undef ZORN_DF_INT_FIELD

const ValueParameter* find_value_parameter(int64_t id) {
  for (const auto& p : kValueParameters)
    if (p.id == id) return &p;
  return nullptr;
}

template <class T>
int32_t edit_address(Task* t, int64_t id, const T* address) {
  if (t == nullptr) return kNullTask;
  if (t->dimension_count != 1) return kOk;
  const AddressParameter* p = find_address_parameter(id);
  if (p == nullptr) return kUnknownIdentifier;
  if (address == nullptr) return p->null_status;
  switch (p->kind) {
    case AddressKind::kPlain: t->*(p->field) = address; return kOk;
    case AddressKind::kValues: return rebuild_value_table(*t, address, sizeof(T));
    case AddressKind::kCoefficients:
      if (t->ny == 0) return kBadFunctionCount;
      return rebuild_coefficient_table(*t, const_cast<T*>(address), sizeof(T));
  }
  return kUnknownIdentifier;
}

template <class T>
int32_t query_address(Task* t, int64_t id, T** result) {
  if (t == nullptr) return kNullTask;
  if (result == nullptr) return kNullResult;
  if (t->dimension_count != 1) return kOk;
  const AddressParameter* p = find_address_parameter(id);
  if (p == nullptr) return kUnknownIdentifier;
  switch (p->kind) {
    case AddressKind::kPlain: *result = static_cast<T*>(const_cast<void*>(t->*(p->field))); return kOk;
    case AddressKind::kValues:
      if (t->value_entries < 1) return kNullValues;
      *result = static_cast<T*>(const_cast<void*>(t->values[0]));
      return kOk;
    case AddressKind::kCoefficients:
      if (t->coefficient_entries < 1) return kNullCoefficients;
      *result = static_cast<T*>(t->coefficients[0]);
      return kOk;
  }
  return kUnknownIdentifier;
}

int32_t edit_indexed(Task* t, int64_t id, int64_t index, const void* address) {
  if (t == nullptr) return kNullTask;
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
  if (t == nullptr) return kNullTask;
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

int32_t edit_value(Task* t, int64_t id, int64_t value) {
  if (t == nullptr) return kNullTask;
  if (t->dimension_count != 1) return kOk;
  const ValueParameter* p = find_value_parameter(id);
  if (p == nullptr) return kUnknownIdentifier;
  if (!p->accepts(value)) return p->refusal;
  p->write(*t, value);
  if (id == 15 && value == kPartitionNonUniform) return rebuild_bin_table(*t);
  return kOk;
}

int32_t query_value(Task* t, int64_t id, void* result) {
  if (t == nullptr) return kNullTask;
  if (result == nullptr) return kNullResult;
  if (t->dimension_count != 1) return kOk;
  const ValueParameter* p = find_value_parameter(id);
  if (p == nullptr) return kUnknownIdentifier;
  const int64_t v = p->read(*t);
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
  if (t == nullptr) return kNullTask;
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
  return edit_value(task, id, value);
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
