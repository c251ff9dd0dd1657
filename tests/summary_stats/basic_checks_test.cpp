// The checks of the basic statistics: method word, dependency table, missing
// accumulated weights; a failing call writes nothing.
#include <gtest/gtest.h>

#include <vector>

#include "ss_test_support.h"

namespace {

using ss_test::DataSet;
using ss_test::Task;

constexpr double kSentinel = -12345.0;

class SSBasicChecks : public ::testing::Test {
 protected:
  SSBasicChecks() : data_(ss_test::gaussian_data(2, 40, PAVO_SS_STORAGE_ROWS, 1, 1, 7)), task_(data_) {
    for (auto* a : {&mean_, &r2_, &r3_, &r4_, &c2_, &c3_, &c4_, &kurt_, &skew_, &sum1_, &cs2_})
      a->assign(2, kSentinel);
    weights_.assign(2, kSentinel);
  }
  void attach_moments(bool with_c4) {
    __pavodSSEditMoments(task_.handle, mean_.data(), r2_.data(), r3_.data(), r4_.data(),
                         c2_.data(), c3_.data(), with_c4 ? c4_.data() : nullptr);
  }
  bool untouched() const {
    for (const auto* a : {&mean_, &r2_, &r3_, &r4_, &c2_, &c3_, &c4_, &kurt_, &skew_, &sum1_, &cs2_})
      for (double v : *a)
        if (v != kSentinel) return false;
    return weights_[0] == kSentinel && weights_[1] == kSentinel;
  }
  DataSet data_;
  Task task_;
  std::vector<double> mean_, r2_, r3_, r4_, c2_, c3_, c4_, kurt_, skew_, sum1_, cs2_, weights_;
};

TEST_F(SSBasicChecks, MethodWordNeedsExactlyOneOnePassBitOrAStoredSumsBit) {
  attach_moments(true);
  __pavodSSEditTask(task_.handle, PAVO_SS_ID_ACCUMULATED_WEIGHTS, weights_.data());
  for (int32_t method : {0x0, 0x3, 0x102, 0x101, 0x103, 0x4, 0x800})
    EXPECT_EQ(_pavodSSBasic(task_.handle, PAVO_SS_MEAN, method, nullptr), -4029) << method;
  EXPECT_TRUE(untouched());
}

TEST_F(SSBasicChecks, KurtosisWithoutCentralMomentFour) {
  attach_moments(false);
  __pavodSSEditTask(task_.handle, PAVO_SS_ID_KURTOSIS, kurt_.data());
  __pavodSSEditTask(task_.handle, PAVO_SS_ID_ACCUMULATED_WEIGHTS, weights_.data());
  for (int32_t method : {0x1, 0x2, 0x100})
    EXPECT_EQ(_pavodSSBasic(task_.handle, PAVO_SS_KURTOSIS, method, nullptr), -4012);
  EXPECT_TRUE(untouched());
}

TEST_F(SSBasicChecks, FirstMissingFieldInTableOrderDecides) {
  __pavodSSEditTask(task_.handle, PAVO_SS_ID_ACCUMULATED_WEIGHTS, weights_.data());
  // Nothing attached: the mean comes first.
  EXPECT_EQ(_pavodSSBasic(task_.handle, PAVO_SS_SKEWNESS | PAVO_SS_CENTRAL_MOMENT_2, 0x2, nullptr),
            -4006);
  __pavodSSEditTask(task_.handle, PAVO_SS_ID_MEAN, mean_.data());
  // The one-pass methods carry the raw moments along with the central ones.
  EXPECT_EQ(_pavodSSBasic(task_.handle, PAVO_SS_CENTRAL_MOMENT_2, 0x2, nullptr), -4007);
  attach_moments(true);
  EXPECT_EQ(_pavodSSBasic(task_.handle, PAVO_SS_SKEWNESS, 0x2, nullptr), -4014);
  EXPECT_EQ(_pavodSSBasic(task_.handle, PAVO_SS_COVARIANCE | PAVO_SS_CORRELATION, 0x2, nullptr),
            -4018);
  EXPECT_EQ(_pavodSSBasic(task_.handle, PAVO_SS_CROSS_PRODUCT, 0x2, nullptr), -4081);
  EXPECT_EQ(_pavodSSBasic(task_.handle, PAVO_SS_RAW_SUM_3, 0x2, nullptr), -4076);
  EXPECT_TRUE(untouched());
}

TEST_F(SSBasicChecks, FastMethodNeedsRawMomentsForCentralSums) {
  Task task(data_);
  double cs3[2] = {kSentinel, kSentinel};
  __pavodSSEditSums(task.handle, nullptr, nullptr, nullptr, nullptr, nullptr, cs3, nullptr);
  __pavodSSEditMoments(task.handle, mean_.data(), r2_.data(), nullptr, nullptr, nullptr,
                       nullptr, nullptr);
  EXPECT_EQ(_pavodSSBasic(task.handle, PAVO_SS_CENTRAL_SUM_3, 0x1, nullptr), -4008);
  EXPECT_EQ(cs3[0], kSentinel);
  // The one-pass methods update central sums directly and need only the mean.
  EXPECT_EQ(_pavodSSBasic(task.handle, PAVO_SS_CENTRAL_SUM_3, 0x2, nullptr), 0);
  EXPECT_NE(cs3[0], kSentinel);
}

TEST_F(SSBasicChecks, StoredSumsMethodsCannotProduceSums) {
  attach_moments(true);
  __pavodSSEditSums(task_.handle, sum1_.data(), nullptr, nullptr, nullptr, cs2_.data(),
                    nullptr, nullptr);
  __pavodSSEditTask(task_.handle, PAVO_SS_ID_ACCUMULATED_WEIGHTS, weights_.data());
  EXPECT_EQ(_pavodSSBasic(task_.handle, PAVO_SS_SUM_1, 0x200, nullptr), -4029);
  EXPECT_EQ(_pavodSSBasic(task_.handle, PAVO_SS_CENTRAL_SUM_2, 0x400, nullptr), -4029);
  // The moments need their sums: the raw moment 2 needs raw sum 2.
  EXPECT_EQ(_pavodSSBasic(task_.handle, PAVO_SS_CENTRAL_MOMENT_2, 0x200, nullptr), -4075);
  EXPECT_TRUE(untouched());
}

TEST_F(SSBasicChecks, MissingAccumulatedWeightsOnlyWithoutWeightsAndWithCount) {
  attach_moments(true);
  std::vector<double> w(data_.n, 1.0);
  __pavodSSEditTask(task_.handle, PAVO_SS_ID_WEIGHTS, w.data());
  EXPECT_EQ(_pavodSSBasic(task_.handle, PAVO_SS_MEAN, 0x2, nullptr), -4020);
  EXPECT_TRUE(untouched());
}

TEST_F(SSBasicChecks, BadDataDescriptionIsRejectedBeforeWriting) {
  attach_moments(true);
  __pavodSSEditTask(task_.handle, PAVO_SS_ID_ACCUMULATED_WEIGHTS, weights_.data());
  int32_t bad_storage = 0x4, negative = -1;
  __pavoiSSEditTask(task_.handle, PAVO_SS_ID_OBSERVATION_STORAGE, &bad_storage);
  EXPECT_EQ(_pavodSSBasic(task_.handle, PAVO_SS_MEAN, 0x2, nullptr), -4003);
  __pavoiSSEditTask(task_.handle, PAVO_SS_ID_OBSERVATION_STORAGE, &task_.storage);
  __pavoiSSEditTask(task_.handle, PAVO_SS_ID_OBSERVATION_COUNT, &negative);
  EXPECT_EQ(_pavodSSBasic(task_.handle, PAVO_SS_MEAN, 0x2, nullptr), -4002);
  __pavoiSSEditTask(task_.handle, PAVO_SS_ID_DIMENSION, &negative);
  EXPECT_EQ(_pavodSSBasic(task_.handle, PAVO_SS_MEAN, 0x2, nullptr), -4001);
  EXPECT_EQ(_pavodSSBasic(nullptr, PAVO_SS_MEAN, 0x2, nullptr), -4031);
  EXPECT_TRUE(untouched());
}

}  // namespace

namespace {

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
