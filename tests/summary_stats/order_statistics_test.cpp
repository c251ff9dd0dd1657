// Minimum and maximum, quantiles, order statistics and the sorting routines.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "ss_test_support.h"

namespace {

using ss_test::DataSet;
using ss_test::Task;

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kSentinel = -12345.0;

// std::sort with NaNs last, the order our routines promise.
std::vector<double> sorted_copy(std::vector<double> v) {
  std::stable_partition(v.begin(), v.end(), [](double x) { return !std::isnan(x); });
  std::sort(v.begin(), std::find_if(v.begin(), v.end(), [](double x) { return std::isnan(x); }));
  return v;
}

bool same_values(const std::vector<double>& a, const std::vector<double>& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (!(a[i] == b[i] || (std::isnan(a[i]) && std::isnan(b[i])))) return false;
  return true;
}

std::vector<double> mixed_values(size_t n, uint64_t seed) {
  std::mt19937_64 rng(seed);
  std::vector<double> v(n);
  for (double& x : v) x = std::ldexp(std::normal_distribution<double>()(rng), static_cast<int>(rng() % 40) - 20);
  // Ties, signed zeros, infinities and a subnormal.
  for (size_t i = 0; i + 8 < n; i += 97) {
    v[i] = v[i + 1];
    v[i + 2] = -0.0;
    v[i + 3] = 0.0;
    v[i + 4] = (i % 2) ? kInf : -kInf;
    v[i + 5] = 4.9e-324;
  }
  return v;
}

TEST(SSSort, QuickSortAndRadixSortAgreeWithStdSort) {
  for (size_t n : {0u, 1u, 2u, 3u, 7u, 8u, 9u, 50u, 1000u, 100000u}) {
    std::vector<double> v = mixed_values(n, n + 1);
    if (n > 20) v[n / 2] = std::nan(""), v[n / 3] = -std::nan("");
    std::vector<double> q = v;
    __pavodQSort(static_cast<int64_t>(n), q.data());
    EXPECT_TRUE(same_values(q, sorted_copy(v))) << n;
    // Radix sort: order statistics of one variable stored in rows.
    if (n == 0) continue;
    int32_t p = 1, count = static_cast<int32_t>(n), rows = PAVO_SS_STORAGE_ROWS;
    std::vector<double> stats(n);
    PAVO_SS_TASK task = nullptr;
    ASSERT_EQ(__pavodSSNewTask(&task, &p, &count, &rows, v.data(), nullptr, nullptr, 0), 0);
    __pavodSSEditQuantiles(task, nullptr, nullptr, nullptr, stats.data(), &rows);
    ASSERT_EQ(_pavodSSQuantiles(task, PAVO_SS_ORDER_STATISTICS, 0x1, nullptr), 0);
    // Zeros of either sign compare equal; the radix sort puts -0 first.
    std::vector<double> expected = sorted_copy(v);
    for (size_t i = 0; i < n; ++i)
      if (stats[i] == 0) EXPECT_EQ(expected[i], 0.0);
      else EXPECT_TRUE(stats[i] == expected[i] || (std::isnan(stats[i]) && std::isnan(expected[i]))) << i;
    __pavoSSDeleteTask(&task);
  }
}

TEST(SSSort, StepSortTouchesOnlyItsStride) {
  std::vector<double> v = mixed_values(3 * 301, 9);
  std::vector<double> expected;
  for (size_t i = 1; i < v.size(); i += 3) expected.push_back(v[i]);
  expected = sorted_copy(expected);
  std::vector<double> s = v;
  __pavodQSortStep(301, s.data() + 1, 3);
  for (size_t i = 0; i < v.size(); ++i)
    if (i % 3 != 1) EXPECT_TRUE(same_values({s[i]}, {v[i]}));
    else EXPECT_EQ(s[i], expected[i / 3]) << i;
  std::vector<float> f = {3, -1, 2, 8, 0, -5};
  __pavosQSortStep(3, f.data(), 2);
  EXPECT_EQ(f, (std::vector<float>{0, -1, 2, 8, 3, -5}));
}

TEST(SSSort, SelectFindsEveryRank) {
  const std::vector<double> v = mixed_values(257, 4);
  const std::vector<double> expected = sorted_copy(v);
  for (int64_t k = 0; k < 257; ++k) {
    std::vector<double> s = v;
    EXPECT_EQ(__pavodQSortSelect(257, s.data(), k), expected[k]) << k;
    EXPECT_TRUE(same_values(sorted_copy(s), expected));  // a permutation
  }
  std::vector<double> s = v;
  EXPECT_TRUE(std::isnan(__pavodQSortSelect(257, s.data(), 257)));
  EXPECT_TRUE(std::isnan(__pavodQSortSelect(257, s.data(), -1)));
  EXPECT_TRUE(same_values(s, v));
  std::vector<float> f = {5, 1, 4, 2, 3};
  EXPECT_EQ(__pavosQSortSelect(5, f.data(), 3), 4.0f);
}

class SSQuantiles : public ::testing::Test {
 protected:
  // 1..10 shuffled: the linear-interpolation quantile of order q is 1 + 9q.
  std::vector<double> x_ = {7, 3, 10, 1, 5, 9, 2, 8, 6, 4};
  int32_t p_ = 1, n_ = 10, rows_ = PAVO_SS_STORAGE_ROWS, m_ = 5;
  std::vector<double> orders_ = {0, 0.25, 0.5, 0.9, 1};
  std::vector<double> result_ = std::vector<double>(5, kSentinel);
};

TEST_F(SSQuantiles, LinearInterpolationBetweenOrderStatistics) {
  const DataSet d{1, 10, PAVO_SS_STORAGE_ROWS, x_};
  Task task(d);
  __pavodSSEditQuantiles(task.handle, &m_, orders_.data(), result_.data(), nullptr, nullptr);
  ASSERT_EQ(_pavodSSQuantiles(task.handle, PAVO_SS_QUANTILES, 0x1, nullptr), 0);
  const std::vector<double> expected = {1, 3.25, 5.5, 9.1, 10};
  for (int o = 0; o < 5; ++o) EXPECT_NEAR(result_[o], expected[o], 1e-15) << o;
  // The data were only copied, not sorted in place.
  EXPECT_EQ(d.x[0], 7);
}

TEST_F(SSQuantiles, OrdersZeroAndOneGiveTheExtremesExactly) {
  DataSet d = ss_test::gaussian_data(3, 1000, PAVO_SS_STORAGE_COLUMNS, 1e9, 1, 6);
  d.x[5 * 3 + 1] = kInf;  // variable 1 has an infinite maximum
  std::vector<double> ends = {0, 1}, q(6, kSentinel), stats(3000);
  int32_t two = 2, cols = PAVO_SS_STORAGE_COLUMNS;
  for (uint64_t mask : {PAVO_SS_QUANTILES, PAVO_SS_QUANTILES | PAVO_SS_ORDER_STATISTICS}) {
    Task task(d);
    __pavodSSEditQuantiles(task.handle, &two, ends.data(), q.data(), stats.data(), &cols);
    ASSERT_EQ(_pavodSSQuantiles(task.handle, mask, 0x1, ss_test::real_service()), 0);
    for (int64_t i = 0; i < 3; ++i) {
      double lo = kInf, hi = -kInf;
      for (int64_t j = 0; j < d.n; ++j) lo = std::min(lo, d.at(i, j)), hi = std::max(hi, d.at(i, j));
      EXPECT_EQ(q[2 * i], lo);
      EXPECT_EQ(q[2 * i + 1], hi);
    }
  }
}

TEST_F(SSQuantiles, SingleObservationIsEveryQuantile) {
  std::vector<double> one = {-2.5};
  int32_t n = 1;
  const DataSet d{1, 1, PAVO_SS_STORAGE_ROWS, one};
  Task task(d);
  __pavoiSSEditTask(task.handle, PAVO_SS_ID_OBSERVATION_COUNT, &n);
  __pavodSSEditQuantiles(task.handle, &m_, orders_.data(), result_.data(), nullptr, nullptr);
  ASSERT_EQ(_pavodSSQuantiles(task.handle, PAVO_SS_QUANTILES, 0x1, nullptr), 0);
  for (double r : result_) EXPECT_EQ(r, -2.5);
}

// Every check comes before any write.
TEST_F(SSQuantiles, StatusesInCheckOrder) {
  const DataSet d{1, 10, PAVO_SS_STORAGE_ROWS, x_};
  const uint64_t both = PAVO_SS_QUANTILES | PAVO_SS_ORDER_STATISTICS;
  const struct {
    bool attached;
    double last_order;
    int32_t order_count, stats_storage;
    uint64_t estimates;
    int32_t method, status;
  } cases[] = {{true, 1.0000001, 5, PAVO_SS_STORAGE_COLUMNS, both, 0x1, -4022},
               {true, std::nan(""), 5, PAVO_SS_STORAGE_COLUMNS, both, 0x1, -4022},
               {true, 1, 5, PAVO_SS_STORAGE_COLUMNS, both, 0x2, -4029},
               {true, 1, -1, PAVO_SS_STORAGE_COLUMNS, both, 0x1, -4022},
               {true, 1, 5, 0, both, 0x1, -4003},
               {false, 1, 5, PAVO_SS_STORAGE_COLUMNS, PAVO_SS_QUANTILES, 0x1, -4023},
               {false, 1, 5, PAVO_SS_STORAGE_COLUMNS, PAVO_SS_ORDER_STATISTICS, 0x1, -4024},
               {true, 1, 5, PAVO_SS_STORAGE_COLUMNS, both, 0x1, 0}};
  for (const auto& c : cases) {
    Task task(d);
    std::vector<double> stats(10, kSentinel), result(5, kSentinel), orders = orders_;
    orders[4] = c.last_order;
    int32_t count = c.order_count, storage = c.stats_storage;
    if (c.attached)
      __pavodSSEditQuantiles(task.handle, &count, orders.data(), result.data(), stats.data(), &storage);
    EXPECT_EQ(_pavodSSQuantiles(task.handle, c.estimates, c.method, nullptr), c.status) << c.last_order;
    const bool untouched = std::all_of(result.begin(), result.end(), [](double r) { return r == kSentinel; }) &&
                           std::all_of(stats.begin(), stats.end(), [](double r) { return r == kSentinel; });
    EXPECT_EQ(untouched, c.status != 0) << c.last_order << " " << c.order_count;
  }
}

TEST_F(SSQuantiles, OrderStatisticsInColumnsAndSelectionMatchSorting) {
  const DataSet d = ss_test::gaussian_data(4, 999, PAVO_SS_STORAGE_ROWS, 0, 1, 13);
  const int32_t selection[4] = {1, 0, 1, 1};
  std::vector<double> stats(4 * 999, kSentinel), q_sorted(3 * 5), q_selected(3 * 5);
  int32_t cols = PAVO_SS_STORAGE_COLUMNS;
  Task task(d, nullptr, selection);
  __pavodSSEditQuantiles(task.handle, &m_, orders_.data(), q_sorted.data(), stats.data(), &cols);
  ASSERT_EQ(_pavodSSQuantiles(task.handle, PAVO_SS_QUANTILES | PAVO_SS_ORDER_STATISTICS, 0x1,
                              ss_test::SpyService::table(2)),
            0);
  EXPECT_EQ(ss_test::SpyService::counts, std::vector<int64_t>{2});
  __pavodSSEditTask(task.handle, PAVO_SS_ID_QUANTILES, q_selected.data());
  ASSERT_EQ(_pavodSSQuantiles(task.handle, PAVO_SS_QUANTILES, 0x1, nullptr), 0);
  int64_t v = 0;
  for (int64_t i = 0; i < 4; ++i) {
    std::vector<double> column(999);
    for (int64_t j = 0; j < 999; ++j) column[j] = stats[j * 4 + i];
    if (!selection[i]) {
      for (double s : column) EXPECT_EQ(s, kSentinel);
      continue;
    }
    std::vector<double> values(999);
    for (int64_t j = 0; j < 999; ++j) values[j] = d.at(i, j);
    const std::vector<double> expected = sorted_copy(values);
    EXPECT_EQ(column, expected);
    for (int o = 0; o < 5; ++o) {
      const double t = orders_[o] * 998;
      const int64_t k = static_cast<int64_t>(t);
      const double want = k + 1 < 999 ? expected[k] + (expected[k + 1] - expected[k]) * (t - k) : expected[k];
      EXPECT_NEAR(q_sorted[v * 5 + o], want, 1e-15);
      EXPECT_EQ(q_selected[v * 5 + o], q_sorted[v * 5 + o]);
    }
    ++v;
  }
}

// The minimum and maximum entry points of one precision.
template <class T>
struct MinmaxApi;
template <>
struct MinmaxApi<double> {
  static constexpr auto new_task = __pavodSSNewTask;
  static constexpr auto edit = __pavodSSEditTask;
  static constexpr auto minmax = _pavodSSMinmax;
};
template <>
struct MinmaxApi<float> {
  static constexpr auto new_task = __pavosSSNewTask;
  static constexpr auto edit = __pavosSSEditTask;
  static constexpr auto minmax = _pavosSSMinmax;
};

// A task over `x` (p variables of n observations) with the minimum and maximum attached.
template <class T>
struct MinmaxTask {
  int32_t p, n, storage;
  std::vector<T> x;
  T lo[3], hi[3];
  PAVO_SS_TASK handle = nullptr;
  MinmaxTask(int32_t vars, int32_t count, int32_t layout, std::vector<T> values, const int32_t* selection = nullptr,
             bool attach_min = true, bool attach_max = true)
      : p(vars), n(count), storage(layout), x(std::move(values)) {
    EXPECT_EQ(MinmaxApi<T>::new_task(&handle, &p, &n, &storage, x.data(), nullptr, selection, 0), 0);
    if (attach_min) MinmaxApi<T>::edit(handle, PAVO_SS_ID_MINIMUM, lo);
    if (attach_max) MinmaxApi<T>::edit(handle, PAVO_SS_ID_MAXIMUM, hi);
  }
  ~MinmaxTask() { __pavoSSDeleteTask(&handle); }
  int32_t run(uint64_t estimates, int32_t method) { return MinmaxApi<T>::minmax(handle, estimates, method); }
};

template <class T>
class SSMinmax : public ::testing::Test {};
using Reals = ::testing::Types<double, float>;
TYPED_TEST_SUITE(SSMinmax, Reals);

TYPED_TEST(SSMinmax, RunningExtremesInBothLayoutsWithSelection) {
  using T = TypeParam;
  const T inf = std::numeric_limits<T>::infinity();
  for (int32_t storage : {PAVO_SS_STORAGE_ROWS, PAVO_SS_STORAGE_COLUMNS}) {
    const DataSet d = ss_test::gaussian_data(3, 1003, storage, 0, 1, 17);
    const int32_t selection[3] = {1, 0, 1};
    MinmaxTask<T> task(3, 1003, storage, std::vector<T>(d.x.begin(), d.x.end()), selection);
    task.lo[0] = inf, task.hi[0] = -inf;                       // from the infinities: the data extremes
    task.lo[1] = task.hi[1] = static_cast<T>(kSentinel);     // not selected
    task.lo[2] = -100, task.hi[2] = 100;                     // beyond the data: unchanged
    ASSERT_EQ(task.run(PAVO_SS_MINIMUM | PAVO_SS_MAXIMUM, 0x2), 0);
    T want_lo = inf, want_hi = -inf;
    for (int64_t j = 0; j < d.n; ++j) {
      want_lo = std::min(want_lo, static_cast<T>(d.at(0, j)));
      want_hi = std::max(want_hi, static_cast<T>(d.at(0, j)));
    }
    EXPECT_EQ(task.lo[0], want_lo);
    EXPECT_EQ(task.hi[0], want_hi);
    EXPECT_EQ(task.lo[1], static_cast<T>(kSentinel));
    EXPECT_EQ(task.lo[2], -100);
    EXPECT_EQ(task.hi[2], 100);
  }
}

TYPED_TEST(SSMinmax, NaNNeitherReplacesNorIsReplaced) {
  using T = TypeParam;
  const T nan = std::numeric_limits<T>::quiet_NaN();
  MinmaxTask<T> task(1, 10, PAVO_SS_STORAGE_ROWS, {3, nan, -1, 4, nan, 2, 0, 1, 5, -2});
  task.lo[0] = task.hi[0] = nan;
  ASSERT_EQ(task.run(PAVO_SS_MINIMUM | PAVO_SS_MAXIMUM, 0x1), 0);
  EXPECT_TRUE(std::isnan(task.lo[0]));
  EXPECT_TRUE(std::isnan(task.hi[0]));
  task.lo[0] = 10, task.hi[0] = -10;
  ASSERT_EQ(task.run(PAVO_SS_MINIMUM, 0x1), 0);
  EXPECT_EQ(task.lo[0], -2);
  EXPECT_EQ(task.hi[0], -10);  // maximum not requested
}

// Every check comes before any write.
TEST(SSMinmaxChecks, StatusesInCheckOrder) {
  int32_t no_storage = 0;
  const struct {
    bool attach_min, attach_max, bad_storage;
    uint64_t estimates;
    int32_t method, status;
  } cases[] = {{false, true, false, PAVO_SS_MINIMUM, 0x1, -4015}, {true, false, false, PAVO_SS_MAXIMUM, 0x1, -4016},
               {true, true, false, PAVO_SS_MINIMUM, 0x100, -4029}, {true, true, true, PAVO_SS_MINIMUM, 0x1, -4003},
               {true, true, false, PAVO_SS_MINIMUM | PAVO_SS_MAXIMUM, 0x1, 0}};
  for (const auto& c : cases) {
    MinmaxTask<double> task(1, 4, PAVO_SS_STORAGE_ROWS, {1, 2, 3, 4}, nullptr, c.attach_min, c.attach_max);
    task.lo[0] = task.hi[0] = kSentinel;
    if (c.bad_storage) __pavoiSSEditTask(task.handle, PAVO_SS_ID_OBSERVATION_STORAGE, &no_storage);
    EXPECT_EQ(task.run(c.estimates, c.method), c.status) << c.estimates << " " << c.method;
    EXPECT_EQ(task.lo[0] == kSentinel && task.hi[0] == kSentinel, c.status != 0);
  }
  EXPECT_EQ(_pavodSSMinmax(nullptr, PAVO_SS_MINIMUM, 0x1), -4031);
}


// Quantiles of long data come from a sample that brackets the ranks; they must equal
// the quantiles taken from the fully sorted data, whatever the data do to the sample.
TEST(SSQuantilesLong, SampledSelectionEqualsSorting) {
  const int64_t n = 600000;
  std::mt19937_64 rng(77);
  std::vector<std::vector<double>> sets(4, std::vector<double>(n));
  for (int64_t j = 0; j < n; ++j) {
    sets[0][j] = std::normal_distribution<double>()(rng);
    sets[1][j] = j % 97 == 3 ? std::nan("") : std::exp(sets[0][j]);       // NaNs inside
    sets[2][j] = static_cast<double>(j / 3);                             // sorted, ties
  }
  // Every sampled position holds a value above all others: the sample misleads the
  // brackets, which then hold none of the middle ranks.
  for (int64_t j = 0; j < n; ++j) sets[3][j] = std::uniform_real_distribution<double>()(rng);
  for (int64_t i = 0; i < 65536; ++i) sets[3][((2 * i + 1) * n) / (2 * 65536)] = 2 + i * 1e-6;
  int32_t m = 7;
  for (int layout = 0; layout < 2; ++layout)
    for (size_t set = 0; set < sets.size(); ++set) {
      const std::vector<double>& values = sets[set];
      std::vector<double> orders = {0, 0.001, 0.3, 0.5, 0.77, 0.999, 1};
      if (set == 3) orders = {0.2, 0.3, 0.4, 0.5, 0.6, 0.77, 1};
      // Two variables; the second is the set itself.
      DataSet d{2, n, layout ? PAVO_SS_STORAGE_COLUMNS : PAVO_SS_STORAGE_ROWS, std::vector<double>(2 * n)};
      for (int64_t j = 0; j < n; ++j) {
        (layout ? d.x[2 * j] : d.x[j]) = -1.0 * j;
        (layout ? d.x[2 * j + 1] : d.x[n + j]) = values[j];
      }
      std::vector<double> sampled(14), sorted(14), stats(2 * n);
      int32_t rows = PAVO_SS_STORAGE_ROWS;
      Task task(d);
      __pavodSSEditQuantiles(task.handle, &m, orders.data(), sampled.data(), stats.data(), &rows);
      ASSERT_EQ(_pavodSSQuantiles(task.handle, PAVO_SS_QUANTILES, 0x1, nullptr), 0);
      __pavodSSEditTask(task.handle, PAVO_SS_ID_QUANTILES, sorted.data());
      ASSERT_EQ(_pavodSSQuantiles(task.handle, PAVO_SS_QUANTILES | PAVO_SS_ORDER_STATISTICS, 0x1,
                                  nullptr),
                0);
      for (int o = 0; o < 14; ++o)
        EXPECT_TRUE(sampled[o] == sorted[o] || (std::isnan(sampled[o]) && std::isnan(sorted[o])))
            << "layout " << layout << " entry " << o << ": " << sampled[o] << " vs " << sorted[o];
    }
}


TEST(SSQuantilesSingle, SinglePrecisionTwinMatchesDoubleOnTheSameValues) {
  for (int32_t n : {1001, 600000}) {
    std::mt19937_64 rng(n);
    std::vector<float> xf(n);
    for (float& v : xf) v = static_cast<float>(std::normal_distribution<double>()(rng));
    std::vector<double> xd(xf.begin(), xf.end());
    int32_t p = 1, rows = PAVO_SS_STORAGE_ROWS, m = 4;
    std::vector<float> of = {0, 0.5f, 0.9f, 1}, qf(4), sf(n);
    std::vector<double> od(of.begin(), of.end()), qd(4);
    PAVO_SS_TASK tf = nullptr, td = nullptr;
    ASSERT_EQ(__pavosSSNewTask(&tf, &p, &n, &rows, xf.data(), nullptr, nullptr, 0), 0);
    ASSERT_EQ(__pavodSSNewTask(&td, &p, &n, &rows, xd.data(), nullptr, nullptr, 0), 0);
    __pavosSSEditQuantiles(tf, &m, of.data(), qf.data(), sf.data(), &rows);
    __pavodSSEditQuantiles(td, &m, od.data(), qd.data(), nullptr, nullptr);
    ASSERT_EQ(_pavosSSQuantiles(tf, PAVO_SS_QUANTILES, 0x1, nullptr), 0);
    ASSERT_EQ(_pavodSSQuantiles(td, PAVO_SS_QUANTILES, 0x1, nullptr), 0);
    for (int o = 0; o < 4; ++o) EXPECT_NEAR(qf[o], qd[o], 1e-6 * (1 + std::fabs(qd[o]))) << n << " " << o;
    EXPECT_EQ(qf[0], *std::min_element(xf.begin(), xf.end()));
    ASSERT_EQ(_pavosSSQuantiles(tf, PAVO_SS_ORDER_STATISTICS, 0x1, nullptr), 0);
    EXPECT_TRUE(std::is_sorted(sf.begin(), sf.end()));
    EXPECT_EQ(sf[n - 1], *std::max_element(xf.begin(), xf.end()));
    __pavoSSDeleteTask(&tf);
    __pavoSSDeleteTask(&td);
  }
}

// One array for orders and results: later variables read orders that the first
// variable's results overwrote (with 1e300); the position must stay inside the data
// rather than convert out of range (an index far outside the sorted copy).
TEST_F(SSQuantiles, OrdersSharedWithResultsStayInsideTheData) {
  const DataSet d = ss_test::gaussian_data(3, 100, PAVO_SS_STORAGE_COLUMNS, 1e300, 1, 7);
  std::vector<double> shared = {0.5, 0.5, 0, 0, 0, 0};  // two orders, then 3 x 2 results
  int32_t two = 2;
  Task task(d);
  __pavodSSEditQuantiles(task.handle, &two, shared.data(), shared.data(), nullptr, nullptr);
  ASSERT_EQ(_pavodSSQuantiles(task.handle, PAVO_SS_QUANTILES, 0x1, nullptr), 0);
  for (int64_t v = 0; v < 3; ++v) {
    double lo = kInf, hi = -kInf;
    for (int64_t j = 0; j < d.n; ++j) lo = std::min(lo, d.at(v, j)), hi = std::max(hi, d.at(v, j));
    for (int o = 0; o < 2; ++o) EXPECT_TRUE(shared[2 * v + o] >= lo && shared[2 * v + o] <= hi) << v << " " << o;
  }
}

}  // namespace
