// Running minimum and maximum. Comparisons are strict, so a NaN observation never
// replaces a value and a NaN starting value is never replaced.
#include <algorithm>

#include "summary_stats/data_checks.h"
#include "summary_stats/estimate_bits.h"
#include "summary_stats/variable_selection.h"
#include "summary_stats/work_memory.h"

namespace zorn::ss {
namespace {

template <class T>
inline void lower(T& current, T x) {
  if (current > x) current = x;
}
template <class T>
inline void raise(T& current, T x) {
  if (x > current) current = x;
}

// Scans a contiguous row with eight running values of each kind, started at the
// current value; combining them with the same strict rule gives the sequential result.
template <class T, bool kMin, bool kMax>
void scan_row(const T* row, int64_t n, T* minimum, T* maximum) {
  T lo[8], hi[8];
  std::fill(lo, lo + 8, kMin ? *minimum : T{});
  std::fill(hi, hi + 8, kMax ? *maximum : T{});
  int64_t j = 0;
  for (; j + 8 <= n; j += 8)
    for (int h = 0; h < 8; ++h) {
      if constexpr (kMin) lower(lo[h], row[j + h]);
      if constexpr (kMax) raise(hi[h], row[j + h]);
    }
  for (; j < n; ++j) {
    if constexpr (kMin) lower(lo[0], row[j]);
    if constexpr (kMax) raise(hi[0], row[j]);
  }
  for (int h = 0; h < 8; ++h) {
    if constexpr (kMin) lower(*minimum, lo[h]);
    if constexpr (kMax) raise(*maximum, hi[h]);
  }
}

// Observations in columns: every variable of an observation is adjacent.
template <class T, bool kMin, bool kMax>
void scan_columns(const T* x, int64_t p, int64_t n, T* minimum, T* maximum) {
  for (int64_t j = 0; j < n; ++j) {
    const T* obs = x + j * p;
    for (int64_t i = 0; i < p; ++i) {
      if constexpr (kMin) lower(minimum[i], obs[i]);
      if constexpr (kMax) raise(maximum[i], obs[i]);
    }
  }
}

template <class T, bool kMin, bool kMax>
void scan(const PavoSSTask& task, const DataShape& shape, VariableList vars, T* work) {
  const T* x = static_cast<const T*>(task.x);
  T* minimum = static_cast<T*>(task.minimum);
  T* maximum = static_cast<T*>(task.maximum);
  const int64_t p = shape.p;
  if (shape.rows) {
    for (int64_t v = 0; v < vars.count; ++v) {
      const int64_t i = vars.index[v];
      scan_row<T, kMin, kMax>(x + i * shape.n, shape.n, kMin ? minimum + i : nullptr,
                              kMax ? maximum + i : nullptr);
    }
    return;
  }
  if (task.selection == nullptr) {
    scan_columns<T, kMin, kMax>(x, p, shape.n, minimum, maximum);
    return;
  }
  // With a selection, every variable is scanned in work copies and only the selected
  // ones are written back.
  T* lo = work;
  T* hi = work + p;
  if (kMin) std::copy(minimum, minimum + p, lo);
  if (kMax) std::copy(maximum, maximum + p, hi);
  scan_columns<T, kMin, kMax>(x, p, shape.n, lo, hi);
  for (int64_t v = 0; v < vars.count; ++v) {
    const int64_t i = vars.index[v];
    if (kMin) minimum[i] = lo[i];
    if (kMax) maximum[i] = hi[i];
  }
}

template <class T>
int32_t compute_minmax(PavoSSTask* task, uint64_t estimates, int32_t method) {
  if (task == nullptr) return kNullTask;
  DataShape shape;
  if (task->storage != nullptr && !has_layout_bit(read_integer(*task, task->storage)))
    return kBadStorage;
  const bool want_min = (estimates & kEstimateMinimum) != 0;
  const bool want_max = (estimates & kEstimateMaximum) != 0;
  if (want_min && task->minimum == nullptr) return kNullMinimum;
  if (want_max && task->maximum == nullptr) return kNullMaximum;
  if ((static_cast<uint32_t>(method) & kMethodMinmax) == 0) return kBadMethod;
  if (const int32_t status = check_data(*task, &shape); status != kOk) return status;
  if (!want_min && !want_max) return kOk;

  uint64_t bytes = 0;
  if (!add_size(&bytes, static_cast<uint64_t>(shape.p), sizeof(int64_t)) ||
      !add_size(&bytes, 2 * static_cast<uint64_t>(shape.p), sizeof(T)))
    return kNoMemory;
  WorkBlock block(bytes);
  if (block.get() == nullptr) return kNoMemory;
  Carver carve(block.get());
  const VariableList vars = select_variables(*task, shape.p, carve.take<int64_t>(shape.p));
  T* work = carve.take<T>(2 * shape.p);
  if (want_min && want_max)
    scan<T, true, true>(*task, shape, vars, work);
  else if (want_min)
    scan<T, true, false>(*task, shape, vars, work);
  else
    scan<T, false, true>(*task, shape, vars, work);
  return kOk;
}

}  // namespace
}  // namespace zorn::ss

extern "C" {

int32_t _pavodSSMinmax(PAVO_SS_TASK task, uint64_t estimates, int32_t method) {
  return zorn::ss::compute_minmax<double>(task, estimates, method);
}

int32_t _pavosSSMinmax(PAVO_SS_TASK task, uint64_t estimates, int32_t method) {
  return zorn::ss::compute_minmax<float>(task, estimates, method);
}

}  // extern "C"
