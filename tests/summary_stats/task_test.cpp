// Task creation, editing by identifier and by group, and deletion.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "summary_stats/task.h"
#include "zorn/ss.h"

namespace {

TEST(SSTaskCreation, ChecksDimensionStorageAndCountInOrder) {
  int32_t p = 2, n = 5, rows = 0x10000, both = 0x30000, zero = 0;
  double x[10] = {};
  PAVO_SS_TASK task = reinterpret_cast<PAVO_SS_TASK>(0x1);  // argument errors leave it alone
  EXPECT_EQ(__pavodSSNewTask(&task, nullptr, &n, &rows, x, nullptr, nullptr, 0), -4001);
  EXPECT_EQ(__pavodSSNewTask(&task, &zero, &n, &rows, x, nullptr, nullptr, 0), -4001);
  EXPECT_EQ(__pavodSSNewTask(&task, &p, &n, nullptr, x, nullptr, nullptr, 0), -4044);
  EXPECT_EQ(__pavodSSNewTask(&task, &p, &n, &both, x, nullptr, nullptr, 0), -4003);
  EXPECT_EQ(__pavodSSNewTask(&task, &p, nullptr, &rows, x, nullptr, nullptr, 0), -4002);
  EXPECT_EQ(__pavosSSNewTask(&task, &p, &zero, &rows, nullptr, nullptr, nullptr, 0), 0);
  EXPECT_NE(task, nullptr);
  EXPECT_EQ(__pavoSSDeleteTask(&task), 0);
  EXPECT_EQ(task, nullptr);
}

TEST(SSTaskCreation, WithoutObservationsIgnoresCountAndStorage) {
  int32_t p = 3, garbage = 0x30000;
  PAVO_SS_TASK task = nullptr;
  ASSERT_EQ(__pavodSSNewTask(&task, &p, nullptr, &garbage, nullptr, nullptr, nullptr, 0), 0);
  const PavoSSTask* record = task;
  EXPECT_EQ(record->task_kind, 2);
  EXPECT_EQ(record->precision, 1);
  EXPECT_EQ(record->p, &p);
  EXPECT_EQ(record->mean, nullptr);
  __pavoSSDeleteTask(&task);
}

TEST(SSTaskCreation, ReadsIntegersAtTheRequestedWidth) {
  // 2^32: its low 32-bit half is zero, so only a 64-bit read sees a positive dimension.
  int64_t p = int64_t{1} << 32, n = 4, rows = 0x10000;
  PAVO_SS_TASK task = nullptr;
  EXPECT_EQ(__pavodSSNewTask(&task, &p, &n, &rows, nullptr, nullptr, nullptr, 0), -4001);
  ASSERT_EQ(__pavodSSNewTask(&task, &p, &n, &rows, nullptr, nullptr, nullptr, 1), 0);
  EXPECT_EQ(task->integer_width, 1);
  __pavoSSDeleteTask(&task);
}

class SSTaskEditing : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(__pavodSSNewTask(&task_, &p_, nullptr, nullptr, nullptr, nullptr, nullptr, 0), 0);
  }
  void TearDown() override { __pavoSSDeleteTask(&task_); }
  int32_t p_ = 2;
  PAVO_SS_TASK task_ = nullptr;
};

TEST_F(SSTaskEditing, IdentifiersBelongToOneEditor) {
  double value = 0;
  int32_t integer = 0;
  EXPECT_EQ(__pavodSSEditTask(task_, 2, &value), -3);
  EXPECT_EQ(__pavodSSEditTask(task_, 79, &value), -3);
  EXPECT_EQ(__pavodSSEditTask(task_, 0, &value), -3);
  EXPECT_EQ(__pavodSSEditTask(task_, 80, &value), -3);
  EXPECT_EQ(__pavoiSSEditTask(task_, 7, &integer), -3);
  EXPECT_EQ(__pavoiSSEditTask(task_, 80, &integer), -3);
  EXPECT_EQ(__pavoiSSEditTask(task_, -1, &integer), -3);
  EXPECT_EQ(__pavodSSEditTask(nullptr, 7, &value), -4031);
  EXPECT_EQ(__pavoiSSEditTask(nullptr, 1, &integer), -4031);
}

TEST_F(SSTaskEditing, NullAddressReturnsTheIdentifiersCodeAndChangesNothing) {
  const struct {
    int32_t id, status;
  } kReal[] = {{3, -4032},  {6, -4005},  {7, -4006},  {13, -4012}, {19, -4018}, {21, -4019},
               {23, -4020}, {25, -4021}, {26, -4023}, {27, -4024}, {60, -4071}, {67, -4006},
               {68, -4075}, {73, -4080}, {74, -4081}, {78, -4084}},
    kInteger[] = {{1, -4001},  {2, -4002},  {4, -4044},  {5, -4004},  {20, -4044},
                  {24, -4022}, {28, -4038}, {37, -4043}, {62, -4066}, {79, -4044}};
  double mean[2] = {};
  ASSERT_EQ(__pavodSSEditTask(task_, 7, mean), 0);
  const PavoSSTask before = *task_;
  for (const auto& c : kReal) EXPECT_EQ(__pavodSSEditTask(task_, c.id, nullptr), c.status) << c.id;
  for (const auto& c : kReal) EXPECT_EQ(__pavosSSEditTask(task_, c.id, nullptr), c.status) << c.id;
  for (const auto& c : kInteger)
    EXPECT_EQ(__pavoiSSEditTask(task_, c.id, nullptr), c.status) << c.id;
  EXPECT_EQ(std::memcmp(&before, task_, sizeof(PavoSSTask)), 0);
}

TEST_F(SSTaskEditing, EditorsStoreTheAddressInTheNamedField) {
  double mean[2] = {}, kurtosis[2] = {}, sum[2] = {};
  int64_t count = 3;
  EXPECT_EQ(__pavodSSEditTask(task_, 7, mean), 0);
  EXPECT_EQ(__pavodSSEditTask(task_, 14, kurtosis), 0);
  EXPECT_EQ(__pavodSSEditTask(task_, 67, sum), 0);
  EXPECT_EQ(__pavoiSSEditTask(task_, 24, &count), 0);
  EXPECT_EQ(task_->mean, mean);
  EXPECT_EQ(task_->kurtosis, kurtosis);
  EXPECT_EQ(task_->sum1, sum);
  EXPECT_EQ(task_->quantile_order_count, &count);
}

TEST_F(SSTaskEditing, GroupEditorsStoreNonNullAddressesOnly) {
  double mean[2] = {}, c2[2] = {}, other[2] = {};
  int32_t storage = 0;
  ASSERT_EQ(__pavodSSEditMoments(task_, mean, nullptr, nullptr, nullptr, c2, nullptr, nullptr), 0);
  const PavoSSTask before = *task_;
  EXPECT_EQ(__pavodSSEditMoments(task_, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                 nullptr),
            0);
  EXPECT_EQ(__pavosSSEditCovCor(task_, nullptr, nullptr, nullptr, nullptr, nullptr), 0);
  EXPECT_EQ(__pavodSSEditMissingVals(task_, nullptr, nullptr, nullptr, nullptr, nullptr,
                                     nullptr, nullptr, nullptr, nullptr, nullptr),
            0);
  EXPECT_EQ(std::memcmp(&before, task_, sizeof(PavoSSTask)), 0);

  EXPECT_EQ(__pavodSSEditCP(task_, other, nullptr, nullptr, &storage), 0);
  EXPECT_EQ(task_->mean, other);
  EXPECT_EQ(task_->central_moment[0], c2);
  EXPECT_EQ(task_->cross_product_storage, &storage);
  EXPECT_EQ(__pavodSSEditPartialCovCor(task_, nullptr, mean, &storage, nullptr, nullptr, nullptr,
                                       nullptr, nullptr, nullptr),
            0);
  EXPECT_EQ(task_->covariance, mean);
  EXPECT_EQ(task_->covariance_storage, &storage);
  EXPECT_EQ(__pavodSSEditQuantiles(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr), -4031);
}

std::vector<int>* g_release_order;
void release_first(PavoSSTask*) { g_release_order->push_back(1); }
void release_second(PavoSSTask*) { g_release_order->push_back(2); }

TEST(SSTaskDeletion, CallsReleaseFunctionsInOrderAndClearsTheHandle) {
  int32_t p = 1;
  PAVO_SS_TASK task = nullptr;
  ASSERT_EQ(__pavodSSNewTask(&task, &p, nullptr, nullptr, nullptr, nullptr, nullptr, 0), 0);
  std::vector<int> order;
  g_release_order = &order;
  task->release[0] = release_first;
  task->release[1] = release_second;
  task->release_count = 2;
  EXPECT_EQ(__pavoSSDeleteTask(&task), 0);
  EXPECT_EQ(task, nullptr);
  EXPECT_EQ(order, (std::vector<int>{1, 2}));
  EXPECT_EQ(__pavoSSDeleteTask(nullptr), -4031);
}

}  // namespace
