// The basic statistics: checks, the split of the observations over threads, one
// accumulation routine per thread, the merge in thread order and the finalisation.
//
// All arithmetic is in double precision, also for single-precision tasks. Every thread
// accumulates from zero into its own state; the running state read back from the
// caller's fields is the first operand of the merge. Nothing is written before all
// checks and allocations have succeeded.
#include <algorithm>
#include <climits>
#include <cstring>

#include "summary_stats/basic_plan.h"
#include "summary_stats/basic_routines.h"
#include "summary_stats/result_fields.h"
#include "summary_stats/status.h"
#include "summary_stats/storage_codes.h"
#include "summary_stats/threading.h"
#include "summary_stats/variable_selection.h"
#include "summary_stats/work_memory.h"

namespace zorn::ss {
namespace {

// The task's work buffer keeps a copy of the state at the end of the last call, for
// the quantities that have no result field among the needed ones (for example M3 when
// only kurtosis is asked for): a header (capacity, p, W, V) and nine arrays of p
// (mean, raw 2-4, central sums 2-4, the cross-product diagonal, and the rounding error
// of the stored mean, so that a continued call starts from the unrounded mean).
constexpr int64_t kBufferHeader = 4;
constexpr int64_t kBufferArrays = 9;
constexpr int64_t kStateVectors = 7;

double* ensure_work_buffer(PavoSSTask& task, int64_t p) {
  auto* buffer = static_cast<double*>(task.work_buffer);
  if (buffer != nullptr && buffer[0] >= static_cast<double>(p)) return buffer;
  uint64_t bytes = 0;
  if (!add_size(&bytes, static_cast<uint64_t>(p) * kBufferArrays + kBufferHeader, 8))
    return nullptr;
  auto* fresh = static_cast<double*>(sibling::allocate(bytes));
  if (fresh == nullptr) return nullptr;
  fresh[0] = static_cast<double>(p);
  fresh[1] = -1;  // holds no state yet
  sibling::deallocate(task.work_buffer);
  task.work_buffer = fresh;
  return fresh;
}

// The buffered state, when it was stored by the call that left the accumulated
// weights as they are now.
const double* valid_buffered_state(const double* buffer, int64_t p, double W, double V) {
  if (buffer[1] != static_cast<double>(p) || buffer[2] != W || buffer[3] != V) return nullptr;
  return buffer + kBufferHeader;
}

void store_buffered_state(double* buffer, const MomentState& s, const double* mean_low,
                          int64_t p, bool matrix, double W, double V) {
  double* at = buffer + kBufferHeader;
  std::memcpy(at, s.mean, sizeof(double) * p);
  for (int k = 0; k < 3; ++k) {
    std::memcpy(at + (1 + k) * p, s.raw[k], sizeof(double) * p);
    std::memcpy(at + (4 + k) * p, s.central[k], sizeof(double) * p);
  }
  for (int64_t i = 0; i < p; ++i) at[7 * p + i] = matrix ? s.C[cross_index(p, i, i)] : 0.0;
  std::memcpy(at + 8 * p, mean_low, sizeof(double) * p);
  buffer[1] = static_cast<double>(p);
  buffer[2] = W;
  buffer[3] = V;
}

double* bind_state(MomentState& s, double* at, int64_t p, bool matrix) {
  s.mean = at;
  at += p;
  for (double*& raw : s.raw) raw = at, at += p;
  for (double*& central : s.central) central = at, at += p;
  if (matrix) s.C = at, at += p * p;
  return at;
}

uint64_t state_doubles(int64_t p, bool matrix) {
  return kStateVectors * static_cast<uint64_t>(p) + (matrix ? static_cast<uint64_t>(p) * p : 0);
}

uint64_t scratch_doubles(int64_t p, bool matrix, bool rows) {
  uint64_t count = state_doubles(p, matrix) + 2 * static_cast<uint64_t>(p);
  if (matrix) count += static_cast<uint64_t>(p) * (rows ? kBlockLength : 1);
  return count;
}

// T = min(service limit, p*n*q / 8192, n / 16), at least 1; q = p with a matrix.
int64_t choose_thread_count(void* const* service, int64_t p, int64_t n, bool matrix) {
  const double units = static_cast<double>(p) * static_cast<double>(n) *
                       static_cast<double>(matrix ? p : 1) / 8192.0;
  int64_t count = thread_limit(service);
  count = std::min<int64_t>(count, units < 1e15 ? static_cast<int64_t>(units) : INT64_MAX);
  count = std::min<int64_t>(count, n / 16);
  return count < 1 ? 1 : count;
}

template <class T>
struct WorkerContext {
  AccumulateFn<T> accumulate;
  const DataView<T>* data;
  ThreadWork* works;
};

template <class T>
void accumulation_worker(int64_t index, int64_t, int64_t, void* context) {
  auto* ctx = static_cast<WorkerContext<T>*>(context);
  ctx->accumulate(*ctx->data, ctx->works[index]);
}

using MergeFn = void (*)(MomentState&, const MomentState&, int64_t, VariableList, double*);

MergeFn choose_merge(int order, bool central, bool matrix) {
  static constexpr MergeFn kTable[2][2][4] = {
      {{merge_moments<1, false, false>, merge_moments<2, false, false>,
        merge_moments<3, false, false>, merge_moments<4, false, false>},
       {merge_moments<1, false, true>, merge_moments<2, false, true>,
        merge_moments<3, false, true>, merge_moments<4, false, true>}},
      {{merge_moments<1, true, false>, merge_moments<2, true, false>,
        merge_moments<3, true, false>, merge_moments<4, true, false>},
       {merge_moments<1, true, true>, merge_moments<2, true, true>,
        merge_moments<3, true, true>, merge_moments<4, true, true>}}};
  return kTable[central][matrix][std::max(order, 1) - 1];
}

// The sibling's rank-k update takes 32-bit orders and leading dimensions.
bool fits_blas(int64_t p, int64_t n) { return p <= INT32_MAX && n <= INT32_MAX; }

template <class T>
int32_t compute_basic(PavoSSTask* task, uint64_t estimates, int32_t method,
                      void* const* service) {
  if (task == nullptr) return kNullTask;
  BasicPlan plan;
  if (const int32_t status = make_basic_plan(*task, estimates, method, &plan); status != kOk)
    return status;
  if (task->p == nullptr) return kBadDimension;
  const int64_t p = read_integer(*task, task->p);
  if (p < 1) return kBadDimension;
  if (plan.fields == 0) return kOk;
  const bool from_sums = plan.method == BasicMethod::kFromSums;
  const T* accumulated = static_cast<const T*>(task->accumulated_weights);
  int64_t n = 0;
  if (task->n != nullptr) n = read_integer(*task, task->n);
  if ((task->n == nullptr && (!from_sums || accumulated == nullptr)) || n < 0)
    return kBadObservationCount;
  bool rows = false;
  if (!from_sums) {
    if (task->x == nullptr) return kNullObservations;
    if (task->storage == nullptr) return kNullStorage;
    const int64_t code = read_integer(*task, task->storage);
    if (!has_layout_bit(code)) return kBadStorage;
    rows = is_row_layout(code);
    uint64_t elements;
    if (__builtin_mul_overflow(static_cast<uint64_t>(n), static_cast<uint64_t>(p), &elements))
      return kBadObservationCount;
  }
  const MatrixCodes codes = read_matrix_codes(*task);
  const bool weighted = task->weights != nullptr;
  const int64_t threads = from_sums ? 0 : choose_thread_count(service, p, n, plan.matrix);

  // One piece per take() below, in the same order.
  uint64_t bytes = 0;
  bool sizes_ok = add_size(&bytes, p, sizeof(int64_t)) && add_size(&bytes, p, sizeof(int64_t)) &&
                  add_size(&bytes, state_doubles(p, plan.matrix), sizeof(double)) &&
                  add_size(&bytes, p, sizeof(double)) && add_size(&bytes, p, sizeof(double)) &&
                  add_size(&bytes, threads, sizeof(ThreadWork));
  for (int64_t t = 0; t < threads && sizes_ok; ++t)
    sizes_ok = add_size(&bytes, state_doubles(p, plan.matrix), sizeof(double)) &&
               add_size(&bytes, scratch_doubles(p, plan.matrix, rows), sizeof(double));
  if (!sizes_ok) return kNoMemory;
  WorkBlock block(bytes);
  if (block.get() == nullptr) return kNoMemory;
  double* buffer = from_sums ? nullptr : ensure_work_buffer(*task, p);
  if (!from_sums && buffer == nullptr) return kNoMemory;
  std::memset(block.get(), 0, bytes);

  Carver carve(block.get());
  const VariableList selected = select_variables(*task, p, carve.take<int64_t>(p));
  const VariableList all = all_variables(p, carve.take<int64_t>(p));
  MomentState base;
  bind_state(base, carve.take<double>(state_doubles(p, plan.matrix)), p, plan.matrix);
  double* scratch = carve.take<double>(p);
  double* shift = carve.take<double>(p);

  if (from_sums) {
    base.W = accumulated ? static_cast<double>(accumulated[0]) : static_cast<double>(n);
    base.V = accumulated ? static_cast<double>(accumulated[1]) : static_cast<double>(n);
    load_state<T>(*task, plan, codes, {true, nullptr}, base, p, selected);
    write_results<T>(*task, plan, codes, false, base, p, selected, scratch);
    return kOk;
  }

  const double* buffered = nullptr;
  if (accumulated != nullptr && accumulated[0] > 0) {
    base.W = static_cast<double>(accumulated[0]);
    base.V = static_cast<double>(accumulated[1]);
    buffered = valid_buffered_state(buffer, p, base.W, base.V);
    load_state<T>(*task, plan, codes, {false, buffered}, base, p, selected);
  }

  const bool fast = plan.method == BasicMethod::kFast;
  const T* x = static_cast<const T*>(task->x);
  if (!fast)
    for (int64_t i = 0; i < p; ++i) {
      if (base.W > 0) {
        // Continue about the stored mean, with its rounding error when it is known.
        const bool exact = buffered != nullptr && buffered[i] == base.mean[i];
        shift[i] = base.mean[i];
        base.mean[i] = exact ? buffered[8 * p + i] : 0.0;
      } else if (n > 0) {
        shift[i] = static_cast<double>(rows ? x[i * n] : x[i]);
      }
    }

  auto* works = carve.take<ThreadWork>(threads);
  const int64_t chunk = n / threads;
  for (int64_t t = 0; t < threads; ++t) {
    ThreadWork& w = works[t];
    w = ThreadWork{};
    bind_state(w.state, carve.take<double>(state_doubles(p, plan.matrix)), p, plan.matrix);
    double* s = bind_state(w.scratch.block,
                           carve.take<double>(scratch_doubles(p, plan.matrix, rows)), p,
                           plan.matrix);
    w.scratch.first = s;
    w.scratch.delta = s + p;
    w.scratch.deviations = s + 2 * p;
    w.begin = t * chunk;
    w.end = t + 1 == threads ? n : (t + 1) * chunk;
  }
  const bool blas =
      std::is_same_v<T, double> && plan.matrix && !weighted && p > 1 && fits_blas(p, n);
  const DataView<T> data{x, static_cast<const T*>(task->weights), p, n, selected, all, shift};
  WorkerContext<T> context{
      choose_accumulation<T>(plan.method, rows, weighted, plan.matrix, plan.order, blas),
      &data, works};
  run_workers(service, threads, &context, accumulation_worker<T>);

  const MergeFn merge = choose_merge(plan.order, !fast, plan.matrix);
  for (int64_t t = 0; t < threads; ++t)
    if (works[t].state.W > 0) merge(base, works[t].state, p, selected, scratch);
  if (fast) {
    central_from_raw(base, plan.order, selected);
  } else {
    // mean = shift + offset, rounded; the shift array keeps the rounding error (TwoSum
    // with a small offset).
    for (int64_t v = 0; v < selected.count; ++v) {
      const int64_t i = selected.index[v];
      const double mean = shift[i] + base.mean[i];
      shift[i] = (shift[i] - mean) + base.mean[i];
      base.mean[i] = mean;
    }
  }

  write_results<T>(*task, plan, codes, true, base, p, selected, scratch);
  T* out_weights = static_cast<T*>(task->accumulated_weights);
  double W = base.W, V = base.V;
  if (out_weights != nullptr) {
    out_weights[0] = static_cast<T>(W);
    out_weights[1] = static_cast<T>(V);
    W = static_cast<double>(out_weights[0]);
    V = static_cast<double>(out_weights[1]);
  }
  store_buffered_state(buffer, base, shift, p, plan.matrix, W, V);
  return kOk;
}

}  // namespace
}  // namespace zorn::ss

extern "C" {

int32_t _pavodSSBasic(PAVO_SS_TASK task, uint64_t estimates, int32_t method,
                      void* const* threading) {
  return zorn::ss::compute_basic<double>(task, estimates, method, threading);
}

int32_t _pavosSSBasic(PAVO_SS_TASK task, uint64_t estimates, int32_t method,
                      void* const* threading) {
  return zorn::ss::compute_basic<float>(task, estimates, method, threading);
}

}  // extern "C"
