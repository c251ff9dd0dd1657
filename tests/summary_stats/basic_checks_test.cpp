// The checks of the basic statistics: method word, dependency table, missing
// accumulated weights, data description; a failing call writes nothing.
#include <gtest/gtest.h>

#include <vector>

#include "ss_test_support.h"

namespace {

using ss_test::DataSet;
using ss_test::Task;

constexpr double kSentinel = -12345.0;

// What a case attaches to the task before the call.
enum Attach : unsigned {
  kMeanOnly = 1 << 0,
  kMoments = 1 << 1,        // mean, raw and central moments 2 to 4
  kMomentsNoC4 = 1 << 2,    // the same without the central moment 4
  kMeanAndRaw2 = 1 << 3,
  kKurtosis = 1 << 4,
  kSums = 1 << 5,           // sum of order 1 and central sum 2
  kCentralSum3 = 1 << 6,
  kAccumulated = 1 << 7,    // accumulated weights
  kWeights = 1 << 8,        // observation weights
  kBadStorage = 1 << 9,     // then a data description fault
  kNegativeCount = 1 << 10,
  kNegativeDimension = 1 << 11,
};

// Results for two variables, all holding the sentinel until a call writes them.
struct Results {
  std::vector<double> mean, r2, r3, r4, c2, c3, c4, kurt, sum1, cs2, cs3, accumulated;
  Results() {
    for (auto* a : all()) a->assign(2, kSentinel);
  }
  std::vector<std::vector<double>*> all() {
    return {&mean, &r2, &r3, &r4, &c2, &c3, &c4, &kurt, &sum1, &cs2, &cs3, &accumulated};
  }
  bool untouched() {
    for (const auto* a : all())
      for (double v : *a)
        if (v != kSentinel) return false;
    return true;
  }
};

void attach(PAVO_SS_TASK t, unsigned what, Results& r, std::vector<double>& weights) {
  if (what & kMeanOnly) __pavodSSEditTask(t, PAVO_SS_ID_MEAN, r.mean.data());
  if (what & (kMoments | kMomentsNoC4))
    __pavodSSEditMoments(t, r.mean.data(), r.r2.data(), r.r3.data(), r.r4.data(), r.c2.data(), r.c3.data(),
                         what & kMoments ? r.c4.data() : nullptr);
  if (what & kMeanAndRaw2)
    __pavodSSEditMoments(t, r.mean.data(), r.r2.data(), nullptr, nullptr, nullptr, nullptr, nullptr);
  if (what & kKurtosis) __pavodSSEditTask(t, PAVO_SS_ID_KURTOSIS, r.kurt.data());
  if (what & kSums) __pavodSSEditSums(t, r.sum1.data(), nullptr, nullptr, nullptr, r.cs2.data(), nullptr, nullptr);
  if (what & kCentralSum3)
    __pavodSSEditSums(t, nullptr, nullptr, nullptr, nullptr, nullptr, r.cs3.data(), nullptr);
  if (what & kAccumulated) __pavodSSEditTask(t, PAVO_SS_ID_ACCUMULATED_WEIGHTS, r.accumulated.data());
  if (what & kWeights) __pavodSSEditTask(t, PAVO_SS_ID_WEIGHTS, weights.data());
  static int32_t bad_storage = 0x4, negative = -1;
  if (what & kBadStorage) __pavoiSSEditTask(t, PAVO_SS_ID_OBSERVATION_STORAGE, &bad_storage);
  if (what & kNegativeCount) __pavoiSSEditTask(t, PAVO_SS_ID_OBSERVATION_COUNT, &negative);
  if (what & kNegativeDimension) __pavoiSSEditTask(t, PAVO_SS_ID_DIMENSION, &negative);
}

// Every check comes before any write: a refused call leaves every result untouched.
TEST(SSBasicChecks, StatusesInCheckOrder) {
  const DataSet data = ss_test::gaussian_data(2, 40, PAVO_SS_STORAGE_ROWS, 1, 1, 7);
  const struct {
    unsigned attached;
    int64_t estimates;
    std::vector<int32_t> methods;
    int32_t status;
  } cases[] = {
      // The method word needs exactly one one-pass bit or one stored-sums bit.
      {kMoments | kAccumulated, PAVO_SS_MEAN, {0x0, 0x3, 0x102, 0x101, 0x103, 0x4, 0x800}, -4029},
      {kMomentsNoC4 | kKurtosis | kAccumulated, PAVO_SS_KURTOSIS, {0x1, 0x2, 0x100}, -4012},
      // The first missing field in the dependency table's order decides.
      {kAccumulated, PAVO_SS_SKEWNESS | PAVO_SS_CENTRAL_MOMENT_2, {0x2}, -4006},
      {kMeanOnly | kAccumulated, PAVO_SS_CENTRAL_MOMENT_2, {0x2}, -4007},  // one-pass carries raw moments
      {kMoments | kAccumulated, PAVO_SS_SKEWNESS, {0x2}, -4014},
      {kMoments | kAccumulated, PAVO_SS_COVARIANCE | PAVO_SS_CORRELATION, {0x2}, -4018},
      {kMoments | kAccumulated, PAVO_SS_CROSS_PRODUCT, {0x2}, -4081},
      {kMoments | kAccumulated, PAVO_SS_RAW_SUM_3, {0x2}, -4076},
      // The fast method needs raw moments for central sums; one-pass methods only the mean.
      {kMeanAndRaw2 | kCentralSum3, PAVO_SS_CENTRAL_SUM_3, {0x1}, -4008},
      {kMeanAndRaw2 | kCentralSum3, PAVO_SS_CENTRAL_SUM_3, {0x2}, 0},
      // Stored-sums methods cannot produce sums, and their moments need the sums.
      {kMoments | kSums | kAccumulated, PAVO_SS_SUM_1, {0x200}, -4029},
      {kMoments | kSums | kAccumulated, PAVO_SS_CENTRAL_SUM_2, {0x400}, -4029},
      {kMoments | kSums | kAccumulated, PAVO_SS_CENTRAL_MOMENT_2, {0x200}, -4075},
      // Accumulated weights are required only without observation weights.
      {kMoments | kWeights, PAVO_SS_MEAN, {0x2}, -4020},
      // The data description, last edited first.
      {kMoments | kAccumulated | kBadStorage, PAVO_SS_MEAN, {0x2}, -4003},
      {kMoments | kAccumulated | kNegativeCount, PAVO_SS_MEAN, {0x2}, -4002},
      {kMoments | kAccumulated | kNegativeCount | kNegativeDimension, PAVO_SS_MEAN, {0x2}, -4001},
  };
  for (const auto& c : cases) {
    for (int32_t method : c.methods) {
      Task task(data);
      Results results;
      std::vector<double> weights(static_cast<size_t>(data.n), 1.0);
      attach(task.handle, c.attached, results, weights);
      EXPECT_EQ(_pavodSSBasic(task.handle, c.estimates, method, nullptr), c.status)
          << "attached " << std::hex << c.attached << " estimates " << c.estimates << " method " << method;
      EXPECT_EQ(results.untouched(), c.status != 0) << std::hex << c.attached << " " << c.estimates;
    }
  }
  EXPECT_EQ(_pavodSSBasic(nullptr, PAVO_SS_MEAN, 0x2, nullptr), -4031);
}


// A covariance of 2^31 - 1 variables cannot be sized: -4000 before anything is read
// or written.
TEST(SSBasicMemory, UnsizableWorkReturnsNoMemoryAndWritesNothing) {
  int32_t p = 2147483647, n = 1, rows = PAVO_SS_STORAGE_ROWS, full = 0;
  double x[1] = {1}, mean[1] = {kSentinel}, cov[1] = {kSentinel}, weights[2] = {kSentinel, kSentinel};
  PAVO_SS_TASK task = nullptr;
  ASSERT_EQ(__pavodSSNewTask(&task, &p, &n, &rows, x, nullptr, nullptr, 0), 0);
  __pavodSSEditCovCor(task, mean, cov, &full, nullptr, nullptr);
  __pavodSSEditTask(task, PAVO_SS_ID_ACCUMULATED_WEIGHTS, weights);
  EXPECT_EQ(_pavodSSBasic(task, PAVO_SS_COVARIANCE, 0x2, nullptr), -4000);
  EXPECT_EQ(mean[0], kSentinel);
  EXPECT_EQ(cov[0], kSentinel);
  EXPECT_EQ(weights[0], kSentinel);
  __pavoSSDeleteTask(&task);
}

}  // namespace
