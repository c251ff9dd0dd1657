// The task record: creation, deletion, editing and queries by identifier (one table of
// arguments and statuses per entry point), bin table.
#include <cstring>

#include "data_fitting/task.h"
#include "df_support.h"

namespace {

using df_test::TaskHandle;

const double kX[4] = {0, 1, 2, 3};
const double kY[8] = {0, 1, 4, 9, 1, 1, 1, 1};

constexpr int32_t kNullTask = -1000;

TEST(DataFittingTask, CreationStatusesInCheckOrder) {
  const struct {
    int64_t nx;
    const double* x;
    int64_t hint, ny;
    const double* y;
    int64_t storage;
    int32_t status;
  } cases[] = {{1, kX, 3, 1, kY, 0, -1004},      {4, nullptr, 3, 1, kY, 0, -1005}, {4, kX, 3, 1, kY, 0, -1006},
               {4, kX, 5, 1, kY, 0, -1006},      {4, kX, 0, 0, kY, 0, -1007},      {4, kX, 0, 2, nullptr, 0, -1008},
               {4, kX, 0, 2, kY, 64, -1009},     {4, kX, 0, -1, kY, 0, -1007},
               {4, kX, 2, 0, nullptr, 32, 0},    {4, kX, 4, 2, kY, 16, 0}};
  for (const auto& c : cases) {
    ZornDfTask* t = nullptr;
    EXPECT_EQ(zorn_df_kernel_dNewTask1D(&t, c.nx, c.x, c.hint, c.ny, c.y, c.storage, 0), c.status) << c.nx;
    EXPECT_EQ(t != nullptr, c.status == 0);  // argument errors come before the allocation
    if (t != nullptr) {
      EXPECT_EQ(zorn_df_kernel_DeleteTask(&t), 0);
    }
  }
}

TEST(DataFittingTask, DeletionStatuses) {
  TaskHandle h;
  ZornDfTask* empty = nullptr;
  ASSERT_EQ(zorn_df_kernel_dNewTask1D(&h.task, 4, kX, 0, 1, kY, 0, 0), 0);
  const struct {
    ZornDfTask** handle;
    int32_t status;
  } cases[] = {{&h.task, 0}, {&h.task, kNullTask}, {&empty, kNullTask}, {nullptr, kNullTask}};
  for (const auto& c : cases) {
    EXPECT_EQ(zorn_df_kernel_DeleteTask(c.handle), c.status);
    if (c.handle != nullptr) {
      EXPECT_EQ(*c.handle, nullptr);
    }
  }
}

TEST(DataFittingTask, RecordHoldsWhatCreationWasGiven) {
  TaskHandle h;
  ASSERT_EQ(zorn_df_kernel_sNewTask1D(&h.task, 4, reinterpret_cast<const float*>(kX), 2, 0,
                                      nullptr, 32, 1),
            0);
  const ZornDfTask& t = *h.task;
  EXPECT_EQ(t.task_kind, 4);
  EXPECT_EQ(t.precision, 0);
  EXPECT_EQ(t.dimension_count, 1);
  EXPECT_EQ(t.integer_width, 1);
  EXPECT_EQ(t.nx, 4);
  EXPECT_EQ(t.ny, 0);
  EXPECT_EQ(t.values, nullptr);  // a task without functions is valid
  EXPECT_EQ(reinterpret_cast<uintptr_t>(h.task) % 128, 0u);
}

TEST(DataFittingTask, ValueTableFollowsStorage) {
  TaskHandle rows, columns, separate;
  ASSERT_EQ(zorn_df_kernel_dNewTask1D(&rows.task, 4, kX, 0, 2, kY, 16, 0), 0);
  EXPECT_EQ(rows.task->values[0], kY);
  EXPECT_EQ(rows.task->values[1], kY + 4);
  void* entry = nullptr;
  EXPECT_EQ(zorn_df_kernel_dQueryIdxPtr(rows.task, 2, 1, &entry), 0);
  EXPECT_EQ(entry, kY + 4);

  ASSERT_EQ(zorn_df_kernel_dNewTask1D(&columns.task, 4, kX, 0, 2, kY, 32, 0), 0);
  EXPECT_EQ(columns.task->value_entries, 1);
  EXPECT_EQ(zorn_df_kernel_dEditIdxPtr(columns.task, 2, 0, kY), -1009);
  EXPECT_EQ(zorn_df_kernel_dQueryIdxPtr(columns.task, 2, 0, &entry), -1009);

  ASSERT_EQ(zorn_df_kernel_dNewTask1D(&separate.task, 4, kX, 0, 2, kY, 128, 0), 0);
  EXPECT_EQ(separate.task->values[1], nullptr);
  EXPECT_EQ(zorn_df_kernel_sEditIdxPtr(separate.task, 2, 1, kY + 4), 0);
  EXPECT_EQ(separate.task->values[1], kY + 4);
  EXPECT_EQ(zorn_df_kernel_dEditIdxPtr(separate.task, 2, 2, kY), -1020);
  EXPECT_EQ(zorn_df_kernel_dEditIdxPtr(separate.task, 2, -1, kY), -1020);
  EXPECT_EQ(zorn_df_kernel_dEditIdxPtr(separate.task, 2, 1, nullptr), -1008);
  EXPECT_EQ(zorn_df_kernel_dEditIdxPtr(separate.task, 7, 1, kY), -1019);
}

TEST(DataFittingTask, BinCountFollowsNodeCount) {
  for (auto [nx, bins] : {std::pair<int64_t, int64_t>{16, 16}, {400, 25}, {16400, 1024}}) {
    std::vector<double> x(static_cast<size_t>(nx));
    for (int64_t i = 0; i < nx; ++i) x[size_t(i)] = double(i);
    TaskHandle h;
    ASSERT_EQ(zorn_df_kernel_dNewTask1D(&h.task, nx, x.data(), 0, 0, nullptr, 0, 0), 0);
    EXPECT_EQ(h.task->bin_count, bins) << nx;
    EXPECT_DOUBLE_EQ(h.task->bin_scale.d, double(bins) / double(nx - 1));
    // Every node that falls in bin k lies between the pair's low and high node.
    for (int64_t i = 1; i + 1 < nx; ++i) {
      const int64_t k = int64_t(x[size_t(i)] * h.task->bin_scale.d);
      EXPECT_LE(h.task->bins[k].low, i);
      EXPECT_GE(h.task->bins[k].high, i);
    }
    EXPECT_EQ(h.task->bins[bins].high, nx - 1);
  }
  TaskHandle uniform;
  ASSERT_EQ(zorn_df_kernel_dNewTask1D(&uniform.task, 100, kX, 4, 0, nullptr, 0, 0), 0);
  EXPECT_EQ(uniform.task->bins, nullptr);
  EXPECT_EQ(zorn_df_kernel_iEditVal(uniform.task, 14, 4), 0);
  EXPECT_EQ(zorn_df_kernel_iEditVal(uniform.task, 15, 1), 0);  // rebuilt from nx = 4
  ASSERT_NE(uniform.task->bins, nullptr);
  EXPECT_EQ(uniform.task->bin_count, 16);
}

TEST(DataFittingTask, ValueEditorRefusesEachFieldsBadValues) {
  TaskHandle h;
  ASSERT_EQ(zorn_df_kernel_dNewTask1D(&h.task, 4, kX, 0, 1, kY, 0, 0), 0);
  const struct {
    int64_t id, bad, status, good;
  } cases[] = {{14, 1, -1004, 3},  {15, 3, -1006, 2},   {15, 8, -1006, 4}, {16, 0, -1007, 1},
               {17, 8, -1009, 32}, {18, -1, -1010, 4},  {19, 6, -1011, 9}, {20, 3, -1012, 8 | 3},
               {21, -1, -1014, 2}, {22, 48, -1017, 128}, {23, 2, -1036, 1}, {23, -1, -1036, 0}};
  for (const auto& c : cases) {
    int64_t before = -5;
    ASSERT_EQ(zorn_df_kernel_iQueryVal(h.task, c.id, &before), 0);
    EXPECT_EQ(zorn_df_kernel_iEditVal(h.task, c.id, c.bad), c.status) << c.id;
    int64_t after = -5;
    ASSERT_EQ(zorn_df_kernel_iQueryVal(h.task, c.id, &after), 0);
    EXPECT_EQ(after, before) << c.id;  // a refused edit changes nothing
    EXPECT_EQ(zorn_df_kernel_iEditVal(h.task, c.id, c.good), 0) << c.id;
    // The query writes 4 bytes for a task of 32-bit integers.
    int64_t queried = 0x5555555555555555;
    ASSERT_EQ(zorn_df_kernel_iQueryVal(h.task, c.id, &queried), 0);
    EXPECT_EQ(int32_t(queried & 0xFFFFFFFF), int32_t(c.good)) << c.id;
    EXPECT_EQ(uint64_t(queried) >> 32, 0x55555555u) << c.id;
  }
  EXPECT_EQ(zorn_df_kernel_iEditVal(h.task, 13, 1), -1019);
  EXPECT_EQ(zorn_df_kernel_iEditVal(h.task, 24, 1), -1019);
  int64_t v;
  EXPECT_EQ(zorn_df_kernel_iQueryVal(h.task, 24, &v), -1019);
  EXPECT_EQ(zorn_df_kernel_iQueryVal(h.task, 14, nullptr), -1037);
  EXPECT_EQ(zorn_df_kernel_iQueryVal(nullptr, 14, &v), kNullTask);
  EXPECT_EQ(zorn_df_kernel_iEditVal(nullptr, 14, 4), kNullTask);
}

TEST(DataFittingTask, AddressEditorAndQueryStatuses) {
  TaskHandle h;
  ASSERT_EQ(zorn_df_kernel_dNewTask1D(&h.task, 4, kX, 0, 1, kY, 0, 0), 0);
  double ends[2] = {1, 2}, *got = nullptr;
  const struct {
    int64_t id;
    const double* address;
    int32_t edit_status, query_status;
  } cases[] = {{1, nullptr, -1005, 0},  {2, nullptr, -1008, 0},      {3, nullptr, -1013, 0},
               {4, nullptr, -1015, 0},  {5, nullptr, -1016, -1016},  // never-set coefficients are not read
               {6, kX, -1019, -1019},   {0, kX, -1019, -1019},       {4, ends, 0, 0},
               {1, kX, 0, 0}};
  for (const auto& c : cases) {
    EXPECT_EQ(zorn_df_kernel_dEditPtr(h.task, c.id, c.address), c.edit_status) << c.id;
    EXPECT_EQ(zorn_df_kernel_dEditPtr(nullptr, c.id, c.address), kNullTask);
    EXPECT_EQ(zorn_df_kernel_dQueryPtr(h.task, c.id, &got), c.query_status) << c.id;
    if (c.edit_status == 0) {
      EXPECT_EQ(got, c.address) << c.id;
    }
    EXPECT_EQ(zorn_df_kernel_dQueryPtr(h.task, c.id, nullptr), -1037);
    EXPECT_EQ(zorn_df_kernel_dQueryPtr(nullptr, c.id, &got), kNullTask);
  }
  void* entry;
  EXPECT_EQ(zorn_df_kernel_dQueryIdxPtr(h.task, 5, 0, &entry), -1020);
  EXPECT_EQ(zorn_df_kernel_dQueryIdxPtr(h.task, 5, 1, &entry), -1020);
  EXPECT_EQ(zorn_df_kernel_dQueryIdxPtr(nullptr, 5, 0, &entry), kNullTask);
  EXPECT_EQ(zorn_df_kernel_dEditIdxPtr(nullptr, 5, 0, kX), kNullTask);
}

TEST(DataFittingTask, CoefficientBlocksFollowOrderKindAndStorage) {
  std::vector<double> x(11), y(33), c(200);
  TaskHandle h;
  ASSERT_EQ(zorn_df_kernel_dNewTask1D(&h.task, 11, x.data(), 4, 3, y.data(), 0, 0), 0);
  ASSERT_EQ(zorn_df_kernel_dEditPPSpline1D(h.task, 4, 0, 2, nullptr, 0, nullptr, c.data(), 0), 0);
  EXPECT_EQ(h.task->coefficients[1], c.data() + 40);
  EXPECT_EQ(h.task->coefficients[2], c.data() + 80);
  ASSERT_EQ(zorn_df_kernel_dEditPPSpline1D(h.task, 4, 1, 2, nullptr, 0, nullptr, c.data(), 0), 0);
  EXPECT_EQ(h.task->coefficients[1], c.data() + 44);
  ASSERT_EQ(zorn_df_kernel_dEditPPSpline1D(h.task, 4, 0, 2, nullptr, 0, nullptr, c.data(), 128), 0);
  EXPECT_EQ(h.task->coefficients[0], c.data());
  EXPECT_EQ(h.task->coefficients[1], nullptr);
  EXPECT_EQ(zorn_df_kernel_dEditIdxPtr(h.task, 5, 2, c.data() + 100), 0);
  void* entry = nullptr;
  EXPECT_EQ(zorn_df_kernel_sQueryIdxPtr(h.task, 5, 2, &entry), 0);
  EXPECT_EQ(entry, c.data() + 100);
  EXPECT_EQ(zorn_df_kernel_dEditIdxPtr(h.task, 5, 3, c.data()), -1020);
  EXPECT_EQ(zorn_df_kernel_dEditIdxPtr(h.task, 5, 0, nullptr), -1016);
}

TEST(DataFittingTask, SplineEditorStoresFieldsUntilTheFirstRefusal) {
  TaskHandle h;
  double c[8], ends[2] = {0, 0}, inner[2] = {0, 0};
  ASSERT_EQ(zorn_df_kernel_dNewTask1D(&h.task, 4, kX, 0, 0, nullptr, 0, 0), 0);
  EXPECT_EQ(zorn_df_kernel_dEditPPSpline1D(h.task, -1, 0, 2, nullptr, 0, nullptr, nullptr, 0), -1010);
  EXPECT_EQ(h.task->spline_order, 0);
  EXPECT_EQ(zorn_df_kernel_dEditPPSpline1D(h.task, 4, -2, 2, nullptr, 0, nullptr, nullptr, 0), -1011);
  EXPECT_EQ(h.task->spline_order, 0);
  // Kind 6 is stored by this editor only; the value editor refuses it.
  EXPECT_EQ(zorn_df_kernel_dEditPPSpline1D(h.task, 0, 6, 12, nullptr, 0, nullptr, nullptr, 0), -1015);
  EXPECT_EQ(h.task->spline_kind, 6);
  EXPECT_EQ(h.task->end_kind, 0);
  EXPECT_EQ(zorn_df_kernel_iEditVal(h.task, 19, 6), -1011);
  EXPECT_EQ(zorn_df_kernel_dEditPPSpline1D(h.task, 4, 0, 64, nullptr, 1, nullptr, nullptr, 0), -1013);
  EXPECT_EQ(h.task->end_kind, 64);
  EXPECT_EQ(zorn_df_kernel_dEditPPSpline1D(h.task, 4, 0, 12, ends, 0, inner, nullptr, 0), -1012);
  EXPECT_EQ(h.task->end, ends);
  // Coefficients on a task without functions.
  EXPECT_EQ(zorn_df_kernel_dEditPPSpline1D(h.task, 4, 0, 12, ends, 0, nullptr, c, 16), -1007);
  EXPECT_EQ(zorn_df_kernel_dEditPtr(h.task, 5, c), -1007);
  EXPECT_EQ(zorn_df_kernel_dEditPPSpline1D(h.task, 4, 0, 12, ends, 0, nullptr, nullptr, 16), 0);
  EXPECT_EQ(h.task->coefficient_storage, 16);
}

TEST(DataFittingTask, OperationsOnOtherDimensionCountsDoNothing) {
  TaskHandle h;
  ASSERT_EQ(zorn_df_kernel_dNewTask1D(&h.task, 4, kX, 0, 1, kY, 0, 0), 0);
  h.task->dimension_count = 2;
  EXPECT_EQ(zorn_df_kernel_iEditVal(h.task, 14, 1), 0);
  EXPECT_EQ(h.task->nx, 4);
  EXPECT_EQ(zorn_df_kernel_dEditPtr(h.task, 1, nullptr), 0);
  EXPECT_EQ(h.task->x, kX);
}

TEST(DataFittingTask, ImpossibleTableSizesReportNoMemory) {
  TaskHandle h;
  EXPECT_EQ(zorn_df_kernel_dNewTask1D(&h.task, 4, kX, 0, int64_t(1) << 61, kY, 0, 0), -1001);
  // The record stays in the handle for deletion; its table is absent.
  ASSERT_NE(h.task, nullptr);
  EXPECT_EQ(h.task->values, nullptr);
}

}  // namespace
