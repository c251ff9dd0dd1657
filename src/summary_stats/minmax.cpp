// Running minimum and maximum. Comparisons are strict, so a NaN observation never
// replaces a value and a NaN starting value is never replaced.
#include <emmintrin.h>

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

// SSE2 lanes of T. min(x, lo) is `lo > x ? x : lo` and max(x, hi) is `x > hi ? x : hi`
// exactly (an unordered pair gives the second operand), so a lane follows the strict
// rule of lower and raise bit for bit.
template <class T>
struct Lanes;
template <>
struct Lanes<float> {
  using V = __m128;
  static constexpr int kWidth = 4;
  static V load(const float* p) { return _mm_loadu_ps(p); }
  static void store(float* p, V v) { _mm_storeu_ps(p, v); }
  static V lower(V lo, V x) { return _mm_min_ps(x, lo); }
  static V raise(V hi, V x) { return _mm_max_ps(x, hi); }
};
template <>
struct Lanes<double> {
  using V = __m128d;
  static constexpr int kWidth = 2;
  static V load(const double* p) { return _mm_loadu_pd(p); }
  static void store(double* p, V v) { _mm_storeu_pd(p, v); }
  static V lower(V lo, V x) { return _mm_min_pd(x, lo); }
  static V raise(V hi, V x) { return _mm_max_pd(x, hi); }
};

// Scans a contiguous row with eight running values of each kind, started at the
// current value, running value h taking the observations j + h for j a multiple of 8;
// combining them with the same strict rule gives the sequential result.
template <class T, bool kMin, bool kMax>
void scan_row(const T* row, int64_t n, T* minimum, T* maximum) {
  using L = Lanes<T>;
  constexpr int kRegs = 8 / L::kWidth;
  T lo[8], hi[8];
  std::fill(lo, lo + 8, kMin ? *minimum : T{});
  std::fill(hi, hi + 8, kMax ? *maximum : T{});
  typename L::V vlo[kRegs], vhi[kRegs];
  for (int r = 0; r < kRegs; ++r) {
    vlo[r] = L::load(lo + r * L::kWidth);
    vhi[r] = L::load(hi + r * L::kWidth);
  }
  int64_t j = 0;
  for (; j + 8 <= n; j += 8)
    for (int r = 0; r < kRegs; ++r) {
      const typename L::V x = L::load(row + j + r * L::kWidth);
      if constexpr (kMin) vlo[r] = L::lower(vlo[r], x);
      if constexpr (kMax) vhi[r] = L::raise(vhi[r], x);
    }
  for (int r = 0; r < kRegs; ++r) {
    L::store(lo + r * L::kWidth, vlo[r]);
    L::store(hi + r * L::kWidth, vhi[r]);
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
