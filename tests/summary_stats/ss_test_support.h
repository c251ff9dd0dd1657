// Helpers shared by the summary-statistics tests: data sets, reference statistics
// summed in long double by a plain two-pass transcription, and threading tables.
#pragma once

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "zorn/core.h"
#include "zorn/ss.h"

namespace ss_test {

// p variables with n observations each, stored in the given layout.
struct DataSet {
  int64_t p, n;
  int64_t storage;
  std::vector<double> x;  // p*n values
  double at(int64_t i, int64_t j) const {
    return storage == PAVO_SS_STORAGE_ROWS ? x[i * n + j] : x[j * p + i];
  }
};

// Variable i: offset[i] + scale[i] * N(0, 1), with a shared component that correlates
// the variables.
inline DataSet gaussian_data(int64_t p, int64_t n, int64_t storage, double offset,
                             double scale, uint64_t seed) {
  std::mt19937_64 rng(seed);
  std::normal_distribution<double> normal;
  DataSet d{p, n, storage, std::vector<double>(p * n)};
  for (int64_t j = 0; j < n; ++j) {
    const double shared = normal(rng);
    for (int64_t i = 0; i < p; ++i) {
      const double value = offset * (1 + i) + scale * (normal(rng) + 0.5 * i * shared);
      (storage == PAVO_SS_STORAGE_ROWS ? d.x[i * n + j] : d.x[j * p + i]) = value;
    }
  }
  return d;
}

// Moments of one variable, exactly enough: the data are shifted by their first value
// (exact for values of similar size), then summed twice in long double.
struct Reference {
  long double W = 0, V = 0, mean = 0, raw[5] = {}, central[5] = {};
  double variance() const { return static_cast<double>(central[2] / (W - V / W)); }
  double c3() const { return static_cast<double>(central[3] / W); }
  double c4() const { return static_cast<double>(central[4] / W); }
  double skewness() const { return c3() / std::pow(variance(), 1.5); }
  double kurtosis() const { return c4() / (variance() * variance()) - 3; }
};

inline Reference reference_of(const DataSet& d, int64_t i, const std::vector<double>* weights,
                              int64_t begin = 0, int64_t end = -1) {
  if (end < 0) end = d.n;
  Reference r;
  const long double shift = d.at(i, begin);
  long double s1 = 0;
  for (int64_t j = begin; j < end; ++j) {
    const long double w = weights ? (*weights)[j] : 1.0L;
    r.W += w;
    r.V += w * w;
    s1 += w * (d.at(i, j) - shift);
    long double xk = 1;
    for (int k = 1; k <= 4; ++k) {
      xk *= d.at(i, j);
      r.raw[k] += w * xk;
    }
  }
  const long double shifted_mean = s1 / r.W;
  r.mean = shift + shifted_mean;
  for (int k = 1; k <= 4; ++k) r.raw[k] /= r.W;
  for (int64_t j = begin; j < end; ++j) {
    const long double w = weights ? (*weights)[j] : 1.0L;
    const long double dev = (d.at(i, j) - shift) - shifted_mean;
    long double dk = 1;
    for (int k = 1; k <= 4; ++k) {
      dk *= dev;
      r.central[k] += w * dk;
    }
  }
  return r;
}

// Sum of w (x_i - mean_i)(x_l - mean_l) in long double.
inline long double reference_cross(const DataSet& d, int64_t i, int64_t l,
                                   const std::vector<double>* weights) {
  const Reference ri = reference_of(d, i, weights), rl = reference_of(d, l, weights);
  long double c = 0;
  for (int64_t j = 0; j < d.n; ++j)
    c += (weights ? (*weights)[j] : 1.0L) * (d.at(i, j) - ri.mean) * (d.at(l, j) - rl.mean);
  return c;
}

// A NaN result counts as an infinite error.
inline double relative_error(double value, long double exact) {
  if (std::isnan(value)) return HUGE_VAL;
  if (exact == 0) return std::fabs(value);
  return static_cast<double>(std::fabs((value - exact) / exact));
}

// A threading table that runs every worker in the calling thread, in index order, and
// records the counts it was asked for.
struct SpyService {
  static inline int64_t limit = 1;
  static inline std::vector<int64_t> counts;
  static int64_t max_threads() { return limit; }
  static void run(int64_t count, void* context, zorn_thr_worker_fn worker) {
    counts.push_back(count);
    for (int64_t i = 0; i < count; ++i) worker(i, 0, count, context);
  }
  static void* const* table(int64_t max) {
    limit = max;
    counts.clear();
    static void* entries[ZORN_THR_TABLE_SIZE] = {};
    entries[ZORN_THR_FOR] = reinterpret_cast<void*>(&run);
    entries[ZORN_THR_MAX_THREADS] = reinterpret_cast<void*>(&max_threads);
    return entries;
  }
};

// The sibling's real thread pool.
inline void* const* real_service() { return zorn_core_threading_service(); }

// A task over a data set with 32-bit integer parameters; deleted at scope exit.
struct Task {
  int32_t p, n, storage;
  PAVO_SS_TASK handle = nullptr;
  Task(const DataSet& d, const double* weights = nullptr, const int32_t* selection = nullptr)
      : p(static_cast<int32_t>(d.p)), n(static_cast<int32_t>(d.n)),
        storage(static_cast<int32_t>(d.storage)) {
    __pavodSSNewTask(&handle, &p, &n, &storage, d.x.data(), weights, selection, 0);
  }
  ~Task() { __pavoSSDeleteTask(&handle); }
  Task(const Task&) = delete;
  Task& operator=(const Task&) = delete;
};

}  // namespace ss_test
