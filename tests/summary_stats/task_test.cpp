// Task creation, editing by identifier and by group, and deletion: one table of
// arguments and statuses per entry point.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "summary_stats/task.h"
#include "zorn/ss.h"

namespace {

constexpr int32_t kNullTask = -4031;

TEST(SSTask, CreationStatusesInCheckOrder) {
  int32_t p = 2, n = 5, rows = 0x10000, columns = 0x20000, both = 0x30000, zero = 0;
  int64_t wide_p = int64_t{1} << 32;  // positive only when read as 64 bits
  double x[10] = {};
  const struct {
    const void *p, *n, *storage;
    const double* x;
    int32_t width, status;
  } cases[] = {
      {nullptr, &n, &rows, x, 0, -4001}, {&zero, &n, &rows, x, 0, -4001}, {&p, &n, nullptr, x, 0, -4044},
      {&p, &n, &both, x, 0, -4003},      {&p, nullptr, &rows, x, 0, -4002}, {&p, &zero, &columns, x, 0, -4002},
      {&wide_p, &n, &rows, nullptr, 0, -4001},
      // Without observations the count and the storage code are not examined.
      {&p, nullptr, &both, nullptr, 0, 0}, {&wide_p, &n, &rows, nullptr, 1, 0}, {&p, &n, &columns, x, 0, 0},
  };
  for (const auto& c : cases) {
    PAVO_SS_TASK task = reinterpret_cast<PAVO_SS_TASK>(0x1);  // argument errors leave it alone
    EXPECT_EQ(__pavodSSNewTask(&task, c.p, c.n, c.storage, c.x, nullptr, nullptr, c.width), c.status);
    if (c.status != 0) {
      EXPECT_EQ(task, reinterpret_cast<PAVO_SS_TASK>(0x1));
      continue;
    }
    EXPECT_EQ(task->task_kind, 2);
    EXPECT_EQ(task->precision, 1);
    EXPECT_EQ(task->integer_width, c.width);
    EXPECT_EQ(task->p, c.p);
    EXPECT_EQ(task->mean, nullptr);
    EXPECT_EQ(__pavoSSDeleteTask(&task), 0);
  }
  PAVO_SS_TASK single = nullptr;
  ASSERT_EQ(__pavosSSNewTask(&single, &p, &zero, &rows, nullptr, nullptr, nullptr, 0), 0);
  EXPECT_EQ(single->precision, 0);
  EXPECT_EQ(__pavoSSDeleteTask(&single), 0);
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

enum Editor { kDouble, kSingle, kInteger };

int32_t edit(Editor editor, PAVO_SS_TASK task, int32_t id, void* address) {
  switch (editor) {
    case kDouble: return __pavodSSEditTask(task, id, static_cast<double*>(address));
    case kSingle: return __pavosSSEditTask(task, id, static_cast<float*>(address));
    default: return __pavoiSSEditTask(task, id, address);
  }
}

// A refused edit leaves the task as it was; an accepted one stores the address in the
// field its identifier names.
TEST_F(SSTaskEditing, EditByIdentifierStatuses) {
  double array[2] = {};
  const struct {
    Editor editor;
    int32_t id;
    bool null_address;
    int32_t status;
    const void* PavoSSTask::*field = nullptr;  // the field an accepted edit fills
  } cases[] = {
      // Identifiers another editor owns, or none.
      {kDouble, 2, false, -3}, {kDouble, 79, false, -3}, {kDouble, 0, false, -3}, {kDouble, 80, false, -3},
      {kSingle, 1, false, -3}, {kInteger, 7, false, -3}, {kInteger, 80, false, -3}, {kInteger, -1, false, -3},
      // A null address gives the identifier's own code (67, the sum of order 1, the mean's).
      {kDouble, 3, true, -4032}, {kDouble, 6, true, -4005}, {kDouble, 7, true, -4006}, {kDouble, 13, true, -4012},
      {kDouble, 19, true, -4018}, {kDouble, 21, true, -4019}, {kDouble, 23, true, -4020}, {kSingle, 25, true, -4021},
      {kSingle, 26, true, -4023}, {kSingle, 27, true, -4024}, {kDouble, 60, true, -4071}, {kDouble, 67, true, -4006},
      {kDouble, 68, true, -4075}, {kSingle, 73, true, -4080}, {kDouble, 74, true, -4081}, {kDouble, 78, true, -4084},
      {kInteger, 1, true, -4001}, {kInteger, 2, true, -4002}, {kInteger, 4, true, -4044}, {kInteger, 5, true, -4004},
      {kInteger, 20, true, -4044}, {kInteger, 24, true, -4022}, {kInteger, 28, true, -4038},
      {kInteger, 37, true, -4043}, {kInteger, 62, true, -4066}, {kInteger, 79, true, -4044},
      // Accepted edits.
      {kDouble, 3, false, 0, &PavoSSTask::x}, {kSingle, 6, false, 0, &PavoSSTask::weights},
      {kInteger, 5, false, 0, &PavoSSTask::selection}, {kInteger, 24, false, 0, &PavoSSTask::quantile_order_count},
      {kDouble, 25, false, 0, &PavoSSTask::quantile_orders}, {kInteger, 79, false, 0, &PavoSSTask::sorted_observations_storage},
  };
  for (const auto& c : cases) {
    const PavoSSTask before = *task_;
    EXPECT_EQ(edit(c.editor, task_, c.id, c.null_address ? nullptr : array), c.status) << c.editor << " " << c.id;
    EXPECT_EQ(edit(c.editor, nullptr, c.id, array), kNullTask);
    if (c.status != 0) {
      EXPECT_EQ(std::memcmp(&before, task_, sizeof before), 0) << c.id;
    } else {
      EXPECT_EQ(task_->*c.field, array) << c.id;
    }
  }
  // Result fields (not const in the record) by identifier: mean 7, kurtosis 14, sum 67.
  double mean[2], kurtosis[2], sum[2];
  ASSERT_EQ(__pavodSSEditTask(task_, 7, mean), 0);
  ASSERT_EQ(__pavodSSEditTask(task_, 14, kurtosis), 0);
  ASSERT_EQ(__pavodSSEditTask(task_, 67, sum), 0);
  EXPECT_EQ(task_->mean, mean);
  EXPECT_EQ(task_->kurtosis, kurtosis);
  EXPECT_EQ(task_->sum1, sum);
}

TEST_F(SSTaskEditing, GroupEditorsStoreNonNullAddressesOnly) {
  double mean[2] = {}, c2[2] = {}, other[2] = {};
  int32_t storage = 0;
  ASSERT_EQ(__pavodSSEditMoments(task_, mean, nullptr, nullptr, nullptr, c2, nullptr, nullptr), 0);
  const PavoSSTask before = *task_;
  EXPECT_EQ(__pavodSSEditMoments(task_, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr), 0);
  EXPECT_EQ(__pavosSSEditCovCor(task_, nullptr, nullptr, nullptr, nullptr, nullptr), 0);
  EXPECT_EQ(__pavodSSEditMissingVals(task_, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                     nullptr, nullptr),
            0);
  EXPECT_EQ(std::memcmp(&before, task_, sizeof(PavoSSTask)), 0);

  EXPECT_EQ(__pavodSSEditCP(task_, other, nullptr, nullptr, &storage), 0);
  EXPECT_EQ(task_->mean, other);
  EXPECT_EQ(task_->central_moment[0], c2);
  EXPECT_EQ(task_->cross_product_storage, &storage);
  EXPECT_EQ(__pavodSSEditPartialCovCor(task_, nullptr, mean, &storage, nullptr, nullptr, nullptr, nullptr, nullptr,
                                       nullptr),
            0);
  EXPECT_EQ(task_->covariance, mean);
  EXPECT_EQ(task_->covariance_storage, &storage);
  EXPECT_EQ(__pavodSSEditQuantiles(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr), kNullTask);
  EXPECT_EQ(__pavosSSEditRCov(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr), kNullTask);
}

std::vector<int>* g_release_order;
void release_first(PavoSSTask*) { g_release_order->push_back(1); }
void release_second(PavoSSTask*) { g_release_order->push_back(2); }

TEST(SSTask, DeletionStatusesAndReleaseOrder) {
  int32_t p = 1;
  PAVO_SS_TASK task = nullptr, empty = nullptr;
  ASSERT_EQ(__pavodSSNewTask(&task, &p, nullptr, nullptr, nullptr, nullptr, nullptr, 0), 0);
  std::vector<int> order;
  g_release_order = &order;
  task->release[0] = release_first;
  task->release[1] = release_second;
  task->release_count = 2;
  const struct {
    PAVO_SS_TASK* handle;
    int32_t status;
  } cases[] = {{&task, 0}, {&task, kNullTask}, {&empty, kNullTask}, {nullptr, kNullTask}};
  for (const auto& c : cases) {
    EXPECT_EQ(__pavoSSDeleteTask(c.handle), c.status);
    if (c.handle != nullptr) {
      EXPECT_EQ(*c.handle, nullptr);
    }
  }
  EXPECT_EQ(order, (std::vector<int>{1, 2}));
}

}  // namespace
