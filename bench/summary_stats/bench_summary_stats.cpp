// Summary statistics against GSL, the standard library and plain loops, on the data
// sizes of the issue: 10^7 observations of one variable, 10 variables x 10^6.
//
//   build-stats/bin/bench_summary_stats --benchmark_min_time=0.5
#include <gsl/gsl_sort.h>
#include <gsl/gsl_statistics_double.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "common/ratio_reporter.h"
#include "zorn/core.h"
#include "zorn/ss.h"

namespace {

constexpr int32_t kLong = 10000000;      // one variable
constexpr int32_t kWideVars = 10;
constexpr int32_t kWideObs = 1000000;   // ten variables, in columns

const std::vector<double>& data() {
  static std::vector<double> values = [] {
    std::mt19937_64 rng(1);
    std::normal_distribution<double> normal(1.0, 1.0);
    std::vector<double> v(kLong);
    for (double& x : v) x = normal(rng);
    return v;
  }();
  return values;
}

int64_t one_thread() { return 1; }
void run_inline(int64_t count, void* context, zorn_thr_worker_fn worker) {
  for (int64_t i = 0; i < count; ++i) worker(i, 0, count, context);
}
void* const* service(int threads) {
  static void* single[ZORN_THR_TABLE_SIZE] = {};
  single[ZORN_THR_FOR] = reinterpret_cast<void*>(&run_inline);
  single[ZORN_THR_MAX_THREADS] = reinterpret_cast<void*>(&one_thread);
  return threads == 1 ? single : zorn_core_threading_service();
}

// A task over the data with every result array the cases use.
struct Task {
  int32_t p, n, storage, full = PAVO_SS_MATRIX_FULL, rows = PAVO_SS_STORAGE_ROWS, m = 5;
  std::vector<double> mean, r2, r3, r4, c2, c3, c4, kurt, skew, cov, weights, orders, quantiles,
      stats;
  PAVO_SS_TASK handle = nullptr;
  Task(int32_t p_, int32_t n_, int32_t storage_)
      : p(p_), n(n_), storage(storage_), mean(p), r2(p), r3(p), r4(p), c2(p), c3(p), c4(p),
        kurt(p), skew(p), cov(p * p), weights(2), orders{0.1, 0.25, 0.5, 0.75, 0.9},
        quantiles(5 * p) {
    __pavodSSNewTask(&handle, &p, &n, &storage, data().data(), nullptr, nullptr, 0);
    __pavodSSEditMoments(handle, mean.data(), r2.data(), r3.data(), r4.data(), c2.data(),
                         c3.data(), c4.data());
    __pavodSSEditCovCor(handle, nullptr, cov.data(), &full, nullptr, nullptr);
    __pavodSSEditTask(handle, PAVO_SS_ID_KURTOSIS, kurt.data());
    __pavodSSEditTask(handle, PAVO_SS_ID_SKEWNESS, skew.data());
    __pavodSSEditQuantiles(handle, &m, orders.data(), quantiles.data(), nullptr, nullptr);
  }
  ~Task() { __pavoSSDeleteTask(&handle); }
  void with_order_statistics() {
    stats.resize(static_cast<size_t>(p) * n);
    __pavodSSEditQuantiles(handle, nullptr, nullptr, nullptr, stats.data(), &rows);
  }
};

constexpr uint64_t kFourMoments =
    PAVO_SS_MEAN | PAVO_SS_CENTRAL_MOMENT_2 | PAVO_SS_SKEWNESS | PAVO_SS_KURTOSIS;

void basic(benchmark::State& state, int32_t p, int32_t n, uint64_t mask, int32_t method,
           int threads) {
  Task task(p, n, p == 1 ? PAVO_SS_STORAGE_ROWS : PAVO_SS_STORAGE_COLUMNS);
  for (auto _ : state) {
    task.weights = {0, 0};  // a fresh estimate each time, not a continuation
    __pavodSSEditTask(task.handle, PAVO_SS_ID_ACCUMULATED_WEIGHTS, task.weights.data());
    if (_pavodSSBasic(task.handle, mask, method, service(threads)) != 0) state.SkipWithError("status");
    benchmark::DoNotOptimize(task.kurt.data());
  }
  state.SetItemsProcessed(state.iterations() * int64_t{p} * n);
}

void gsl_four_moments(benchmark::State& state) {
  const double* x = data().data();
  for (auto _ : state) {
    const double mean = gsl_stats_mean(x, 1, kLong);
    const double var = gsl_stats_variance(x, 1, kLong);
    const double skew = gsl_stats_skew(x, 1, kLong);
    const double kurt = gsl_stats_kurtosis(x, 1, kLong);
    benchmark::DoNotOptimize(mean + var + skew + kurt);
  }
  state.SetItemsProcessed(state.iterations() * kLong);
}

void two_pass_four_moments(benchmark::State& state) {
  const double* x = data().data();
  for (auto _ : state) {
    double s = 0;
    for (int32_t j = 0; j < kLong; ++j) s += x[j];
    const double m = s / kLong;
    double m2 = 0, m3 = 0, m4 = 0;
    for (int32_t j = 0; j < kLong; ++j) {
      const double d = x[j] - m, d2 = d * d;
      m2 += d2, m3 += d2 * d, m4 += d2 * d2;
    }
    benchmark::DoNotOptimize(m2 + m3 + m4);
  }
  state.SetItemsProcessed(state.iterations() * kLong);
}

// One plain read of the data: a sum with four accumulators.
void plain_read(benchmark::State& state) {
  const double* x = data().data();
  for (auto _ : state) {
    double s[4] = {};
    for (int32_t j = 0; j < kLong; j += 4)
      for (int h = 0; h < 4; ++h) s[h] += x[j + h];
    benchmark::DoNotOptimize(s[0] + s[1] + s[2] + s[3]);
  }
  state.SetItemsProcessed(state.iterations() * kLong);
}

void gsl_covariance(benchmark::State& state) {
  const double* x = data().data();  // ten variables in columns: stride 10
  for (auto _ : state) {
    double means[kWideVars], cov[kWideVars * kWideVars];
    for (int i = 0; i < kWideVars; ++i) means[i] = gsl_stats_mean(x + i, kWideVars, kWideObs);
    for (int i = 0; i < kWideVars; ++i)
      for (int l = i; l < kWideVars; ++l)
        cov[i * kWideVars + l] = gsl_stats_covariance_m(x + i, kWideVars, x + l, kWideVars,
                                                        kWideObs, means[i], means[l]);
    benchmark::DoNotOptimize(cov);
  }
  state.SetItemsProcessed(state.iterations() * int64_t{kWideVars} * kWideObs);
}

void quantiles(benchmark::State& state, int threads) {
  Task task(1, kLong, PAVO_SS_STORAGE_ROWS);
  for (auto _ : state)
    if (_pavodSSQuantiles(task.handle, PAVO_SS_QUANTILES, 0x1, service(threads)) != 0)
      state.SkipWithError("status");
  state.SetItemsProcessed(state.iterations() * kLong);
}

void nth_element_quantiles(benchmark::State& state) {
  const std::vector<double>& x = data();
  std::vector<double> copy(kLong);
  const double orders[5] = {0.1, 0.25, 0.5, 0.75, 0.9};
  for (auto _ : state) {
    std::copy(x.begin(), x.end(), copy.begin());
    double q[5];
    for (int o = 0; o < 5; ++o) {
      const double t = orders[o] * (kLong - 1);
      const auto k = static_cast<int64_t>(t);
      std::nth_element(copy.begin(), copy.begin() + k, copy.end());
      const double next = *std::min_element(copy.begin() + k + 1, copy.end());
      q[o] = copy[k] + (next - copy[k]) * (t - k);
    }
    benchmark::DoNotOptimize(q);
  }
  state.SetItemsProcessed(state.iterations() * kLong);
}

void gsl_sorted_quantiles(benchmark::State& state) {
  const std::vector<double>& x = data();
  std::vector<double> copy(kLong);
  for (auto _ : state) {
    std::copy(x.begin(), x.end(), copy.begin());
    gsl_sort(copy.data(), 1, kLong);
    double q = 0;
    for (double order : {0.1, 0.25, 0.5, 0.75, 0.9})
      q += gsl_stats_quantile_from_sorted_data(copy.data(), 1, kLong, order);
    benchmark::DoNotOptimize(q);
  }
  state.SetItemsProcessed(state.iterations() * kLong);
}

void full_sort(benchmark::State& state) {
  Task task(1, kLong, PAVO_SS_STORAGE_ROWS);
  task.with_order_statistics();
  for (auto _ : state)
    if (_pavodSSQuantiles(task.handle, PAVO_SS_ORDER_STATISTICS, 0x1, service(1)) != 0)
      state.SkipWithError("status");
  state.SetItemsProcessed(state.iterations() * kLong);
}

void std_sort(benchmark::State& state) {
  const std::vector<double>& x = data();
  std::vector<double> copy(kLong);
  for (auto _ : state) {
    std::copy(x.begin(), x.end(), copy.begin());
    std::sort(copy.begin(), copy.end());
    benchmark::DoNotOptimize(copy.data());
  }
  state.SetItemsProcessed(state.iterations() * kLong);
}

void register_all() {
  using benchmark::RegisterBenchmark;
  const uint64_t cov = PAVO_SS_MEAN | PAVO_SS_COVARIANCE;
  RegisterBenchmark("four moments 1x1e7 | zorn", basic, 1, kLong, kFourMoments, 0x2, 1);
  RegisterBenchmark("four moments 1x1e7 | zorn 2 threads", basic, 1, kLong, kFourMoments, 0x2, 2);
  RegisterBenchmark("four moments 1x1e7 | zorn 0x100", basic, 1, kLong, kFourMoments, 0x100, 1);
  RegisterBenchmark("four moments 1x1e7 | gsl 4 calls", gsl_four_moments);
  RegisterBenchmark("four moments 1x1e7 | two-pass loop", two_pass_four_moments);
  RegisterBenchmark("fast four moments 1x1e7 | zorn", basic, 1, kLong, kFourMoments, 0x1, 1);
  RegisterBenchmark("fast four moments 1x1e7 | plain read", plain_read);
  RegisterBenchmark("covariance 10x1e6 | zorn", basic, kWideVars, kWideObs, cov, 0x2, 1);
  RegisterBenchmark("covariance 10x1e6 | zorn 2 threads", basic, kWideVars, kWideObs, cov, 0x2, 2);
  RegisterBenchmark("covariance 10x1e6 | zorn 0x1 dsyrk", basic, kWideVars, kWideObs, cov, 0x1, 1);
  RegisterBenchmark("covariance 10x1e6 | gsl", gsl_covariance);
  RegisterBenchmark("5 quantiles 1e7 | zorn", quantiles, 1);
  RegisterBenchmark("5 quantiles 1e7 | std::nth_element", nth_element_quantiles);
  RegisterBenchmark("5 quantiles 1e7 | gsl sort", gsl_sorted_quantiles);
  RegisterBenchmark("full sort 1e7 | zorn", full_sort);
  RegisterBenchmark("full sort 1e7 | std::sort", std_sort);
}

}  // namespace

int main(int argc, char** argv) {
  register_all();
  return bench::run_with_ratios(argc, argv);
}
