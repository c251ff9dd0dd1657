// Quantiles and order statistics. Variables are shared out among the threads of the
// caller's service; each worker sorts or selects its own variables only.
#include <algorithm>
#include <climits>
#include <cstring>

#include "summary_stats/data_checks.h"
#include "summary_stats/estimate_bits.h"
#include "summary_stats/sampled_selection.h"
#include "summary_stats/sort_routines.h"
#include "summary_stats/threading.h"
#include "summary_stats/variable_selection.h"
#include "summary_stats/work_memory.h"

namespace zorn::ss {
namespace {

// Linear interpolation between neighbouring order statistics: t = q (n - 1),
// k = floor(t), f = t - k. When f is 0 (or the neighbours are equal) the k-th value is
// returned as it is, so orders 0 and 1 give the extremes exactly even next to an
// infinity.
template <class T>
struct QuantilePosition {
  int64_t k;
  T f;
};

template <class T>
QuantilePosition<T> position_of(T q, int64_t n) {
  double t = static_cast<double>(q) * static_cast<double>(n - 1);
  // Orders were checked to lie in [0, 1], but a caller may pass one array as orders and
  // results, so an order read late can be anything: keep the conversion defined.
  if (!(t >= 0)) t = 0;
  if (t > static_cast<double>(n - 1)) t = static_cast<double>(n - 1);
  const int64_t k = static_cast<int64_t>(t);
  return {k, static_cast<T>(t - static_cast<double>(k))};
}

template <class T>
T interpolate(T lower, T upper, T f) {
  if (f == 0 || lower == upper) return lower;
  return lower + (upper - lower) * f;
}

template <class T>
struct QuantileJob {
  const PavoSSTask* task;
  DataShape shape;
  VariableList vars;
  int64_t threads;
  int64_t order_count;
  const T* orders;
  T* quantiles;         // null when not requested
  T* order_statistics;  // null when not requested
  bool statistics_in_rows;
  T* work;              // threads * n values
  int64_t* counters;    // threads * kRadixCounters<T>
  int64_t* ranks;       // threads * 2 * order_count
  T* rank_values;       // threads * 2 * order_count
};

template <class T>
void copy_variable(const QuantileJob<T>& job, int64_t i, T* dst, int64_t dst_stride) {
  const T* x = static_cast<const T*>(job.task->x);
  const int64_t n = job.shape.n, p = job.shape.p;
  if (job.shape.rows)
    for (int64_t j = 0; j < n; ++j) dst[j * dst_stride] = x[i * n + j];
  else
    for (int64_t j = 0; j < n; ++j) dst[j * dst_stride] = x[j * p + i];
}

template <class T>
void sort_variable(const QuantileJob<T>& job, int64_t v, int64_t thread) {
  const int64_t i = job.vars.index[v], n = job.shape.n, p = job.shape.p;
  const bool contiguous = job.statistics_in_rows;
  T* sorted = job.order_statistics + (contiguous ? i * n : i);
  const int64_t stride = contiguous ? 1 : p;
  copy_variable(job, i, sorted, stride);
  if (!contiguous)
    quick_sort(sorted, n, stride);
  else if (n <= INT32_MAX)
    radix_sort(sorted, n, job.work + thread * n, job.counters + thread * kRadixCounters<T>);
  else
    quick_sort(sorted, n, 1);
  if (job.quantiles == nullptr) return;
  for (int64_t o = 0; o < job.order_count; ++o) {
    const auto [k, f] = position_of(job.orders[o], n);
    const T upper = sorted[(k + 1 < n ? k + 1 : n - 1) * stride];
    job.quantiles[v * job.order_count + o] = interpolate(sorted[k * stride], upper, f);
  }
}

// Places the order statistics of the ascending ranks [first, last) at their positions
// in a[lo, hi): the middle rank is selected, then each side is handled with its own
// ranks, so every level of the recursion reads at most the whole range once.
template <class T>
void select_ranks(T* a, int64_t lo, int64_t hi, const int64_t* first, const int64_t* last) {
  while (first != last && lo < hi) {
    const int64_t* middle = first + (last - first) / 2;
    const int64_t k = *middle;
    quick_select(a + lo, hi - lo, k - lo, [](T x, T y) { return x < y; });
    select_ranks(a, lo, k, first, middle);
    lo = k + 1;
    first = middle + 1;
  }
}

// Quantiles only: selection instead of a full sort. Long data are first tried by
// sampling, without a copy; otherwise the values are copied with NaNs put at the end, so
// the selection compares numbers only and ranks among the NaNs are NaN.
template <class T>
void select_quantiles(const QuantileJob<T>& job, int64_t v, int64_t thread) {
  const int64_t i = job.vars.index[v], n = job.shape.n, p = job.shape.p;
  const StridedValues<T> values{static_cast<const T*>(job.task->x) + (job.shape.rows ? i * n : i),
                                job.shape.rows ? 1 : p};
  T* copy = job.work + thread * n;
  // The ranks needed: k and, when interpolating, k + 1; ascending and distinct.
  int64_t* ranks = job.ranks + thread * 2 * job.order_count;
  T* rank_values = job.rank_values + thread * 2 * job.order_count;
  int64_t count = 0;
  for (int64_t o = 0; o < job.order_count; ++o) {
    const auto [k, f] = position_of(job.orders[o], n);
    ranks[count++] = k;
    if (f != 0 && k + 1 < n) ranks[count++] = k + 1;
  }
  std::sort(ranks, ranks + count);
  count = std::unique(ranks, ranks + count) - ranks;
  const bool sampled = n >= 8 * kSampleLength &&
                       select_by_sampling(values, n, ranks, count, rank_values, copy);
  if (!sampled) {
    int64_t numbers = 0, nans = n;
    for (int64_t j = 0; j < n; ++j) {
      const T value = values[j];
      if (value == value)
        copy[numbers++] = value;
      else
        copy[--nans] = value;
    }
    const int64_t usable = std::lower_bound(ranks, ranks + count, numbers) - ranks;
    select_ranks(copy, 0, numbers, ranks, ranks + usable);
    for (int64_t r = 0; r < count; ++r) rank_values[r] = copy[ranks[r]];
  }
  auto value_of = [&](int64_t k) { return rank_values[std::lower_bound(ranks, ranks + count, k) - ranks]; };
  for (int64_t o = 0; o < job.order_count; ++o) {
    const auto [k, f] = position_of(job.orders[o], n);
    const T lower = value_of(k);
    job.quantiles[v * job.order_count + o] =
        interpolate(lower, f != 0 && k + 1 < n ? value_of(k + 1) : lower, f);
  }
}

template <class T>
void quantile_worker(int64_t thread, int64_t, int64_t, void* context) {
  const auto& job = *static_cast<const QuantileJob<T>*>(context);
  if (job.shape.n == 0) return;
  for (int64_t v = thread; v < job.vars.count; v += job.threads) {
    if (job.order_statistics != nullptr)
      sort_variable(job, v, thread);
    else
      select_quantiles(job, v, thread);
  }
}

template <class T>
int32_t compute_quantiles(PavoSSTask* task, uint64_t estimates, int32_t method,
                          void* const* service) {
  if (task == nullptr) return kNullTask;
  if (task->storage != nullptr && !has_layout_bit(read_integer(*task, task->storage)))
    return kBadStorage;
  const bool want_quantiles = (estimates & kEstimateQuantiles) != 0;
  const bool want_statistics = (estimates & kEstimateOrderStatistics) != 0;
  int64_t order_count = 0;
  if (want_quantiles) {
    if (task->quantiles == nullptr) return kNullQuantiles;
    if (task->quantile_orders == nullptr) return kNullQuantileOrders;
    if (task->quantile_order_count == nullptr) return kBadQuantileOrders;
    order_count = read_integer(*task, task->quantile_order_count);
    if (order_count < 0) return kBadQuantileOrders;
    const T* orders = static_cast<const T*>(task->quantile_orders);
    for (int64_t o = 0; o < order_count; ++o)
      if (!(orders[o] >= 0 && orders[o] <= 1)) return kBadQuantileOrders;
  }
  bool statistics_in_rows = false;
  if (want_statistics) {
    if (task->order_statistics == nullptr) return kNullOrderStatistics;
    if (task->order_statistics_storage == nullptr) return kNullStorage;
    const int64_t code = read_integer(*task, task->order_statistics_storage);
    if (!has_layout_bit(code)) return kBadStorage;
    statistics_in_rows = is_row_layout(code);
  }
  if ((static_cast<uint32_t>(method) & kMethodFast) == 0) return kBadMethod;
  DataShape shape;
  if (const int32_t status = check_data(*task, &shape); status != kOk) return status;
  if (!want_statistics && (!want_quantiles || order_count == 0)) return kOk;

  uint64_t bytes = 0;
  if (!add_size(&bytes, static_cast<uint64_t>(shape.p), sizeof(int64_t))) return kNoMemory;
  WorkBlock list_block(bytes);
  if (list_block.get() == nullptr) return kNoMemory;
  const VariableList vars =
      select_variables(*task, shape.p, static_cast<int64_t*>(list_block.get()));
  const int64_t threads = std::max<int64_t>(1, std::min(thread_limit(service), vars.count));
  bytes = 0;
  if (!add_size(&bytes, static_cast<uint64_t>(threads) * shape.n, sizeof(T)) ||
      !add_size(&bytes, static_cast<uint64_t>(threads) * kRadixCounters<T>, sizeof(int64_t)) ||
      !add_size(&bytes, static_cast<uint64_t>(threads) * 2 * order_count, sizeof(int64_t)) ||
      !add_size(&bytes, static_cast<uint64_t>(threads) * 2 * order_count, sizeof(T)))
    return kNoMemory;
  WorkBlock work_block(bytes);
  if (work_block.get() == nullptr) return kNoMemory;
  Carver carve(work_block.get());
  T* work = carve.take<T>(static_cast<uint64_t>(threads) * shape.n);
  int64_t* counters = carve.take<int64_t>(static_cast<uint64_t>(threads) * kRadixCounters<T>);
  int64_t* ranks = carve.take<int64_t>(static_cast<uint64_t>(threads) * 2 * order_count);
  T* rank_values = carve.take<T>(static_cast<uint64_t>(threads) * 2 * order_count);

  QuantileJob<T> job{task,
                     shape,
                     vars,
                     threads,
                     want_quantiles ? order_count : 0,
                     static_cast<const T*>(task->quantile_orders),
                     want_quantiles ? static_cast<T*>(task->quantiles) : nullptr,
                     want_statistics ? static_cast<T*>(task->order_statistics) : nullptr,
                     statistics_in_rows,
                     work,
                     counters,
                     ranks,
                     rank_values};
  run_workers(service, threads, &job, quantile_worker<T>);
  return kOk;
}

}  // namespace
}  // namespace zorn::ss

extern "C" {

int32_t _pavodSSQuantiles(PAVO_SS_TASK task, uint64_t estimates, int32_t method,
                          void* const* threading) {
  return zorn::ss::compute_quantiles<double>(task, estimates, method, threading);
}

int32_t _pavosSSQuantiles(PAVO_SS_TASK task, uint64_t estimates, int32_t method,
                          void* const* threading) {
  return zorn::ss::compute_quantiles<float>(task, estimates, method, threading);
}

}  // extern "C"
