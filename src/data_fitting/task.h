// The data-fitting task record: the caller's counts, hints and kinds, the addresses of
// the caller's arrays, and the three blocks the task owns (the value and coefficient
// address tables and the partition's bin table).
#pragma once

#include <cstddef>
#include <cstdint>

#include "data_fitting/search_methods.h"
#include "zorn/df.h"

namespace zorn::df {

constexpr uint8_t kDataFittingTaskKind = 4;

// Partition hints.
constexpr int64_t kPartitionNone = ZORN_DF_PARTITION_NONE;
constexpr int64_t kPartitionNonUniform = ZORN_DF_PARTITION_NON_UNIFORM;
constexpr int64_t kPartitionQuasiUniform = ZORN_DF_PARTITION_QUASI_UNIFORM;
constexpr int64_t kPartitionUniform = ZORN_DF_PARTITION_UNIFORM;

// Value and coefficient storage.
constexpr int64_t kStorageRows = ZORN_DF_STORAGE_ROWS;
constexpr int64_t kStorageColumns = ZORN_DF_STORAGE_COLUMNS;
constexpr int64_t kStorageSeparate = ZORN_DF_STORAGE_SEPARATE;

union TaskReal {
  double d;
  float s;
};

}  // namespace zorn::df

struct ZornDfTask {
  int32_t integer_width;  // non-zero: the caller's integers are 64 bits wide
  uint8_t task_kind;
  int32_t precision;  // 1 double, 0 single
  int32_t dimension_count;
  int64_t nx;
  const void* x;
  int64_t partition_hint;
  int64_t ny;
  const void** values;  // value address table
  int64_t value_storage;
  int64_t spline_order;
  int64_t spline_kind;
  int64_t inner_kind;
  const void* inner;
  int64_t end_kind;
  const void* end;
  void** coefficients;  // coefficient address table
  int64_t coefficient_storage;
  int32_t auxiliary_flag;
  int64_t bin_count;
  zorn::df::BinPair* bins;
  zorn::df::TaskReal bin_scale;
  // Bookkeeping that keeps later operations inside the caller's arrays: the entry
  // counts of the two address tables and the coefficient block length (in reals) the
  // table was laid out with (0 for separate arrays, whose length the caller owns).
  int64_t value_entries;
  int64_t coefficient_entries;
  int64_t coefficient_block;
  // The partition the bin table was built from; a search uses the table only while
  // the task still describes that partition.
  int64_t bins_nx;
  const void* bins_x;
};

static_assert(offsetof(ZornDfTask, task_kind) == 4);
static_assert(offsetof(ZornDfTask, precision) == 8);
static_assert(offsetof(ZornDfTask, nx) == 16);
static_assert(offsetof(ZornDfTask, x) == 24);
static_assert(offsetof(ZornDfTask, values) == 48);
static_assert(offsetof(ZornDfTask, spline_order) == 64);
static_assert(offsetof(ZornDfTask, end_kind) == 96);
static_assert(offsetof(ZornDfTask, coefficients) == 112);
static_assert(offsetof(ZornDfTask, auxiliary_flag) == 128);
static_assert(offsetof(ZornDfTask, bin_count) == 136);
static_assert(offsetof(ZornDfTask, bins) == 144);
static_assert(offsetof(ZornDfTask, bin_scale) == 152);
static_assert(sizeof(ZornDfTask) == 200);

namespace zorn::df {

using Task = ZornDfTask;

inline bool is_uniform(const Task& t) { return (t.partition_hint & kPartitionUniform) != 0; }
inline bool is_column_storage(const Task& t) { return t.value_storage == kStorageColumns; }
inline bool storage_accepted(int64_t v) {
  return v == 0 || v == kStorageRows || v == kStorageColumns || v == kStorageSeparate;
}
inline bool partition_hint_accepted(int64_t v) { return v >= 0 && v <= 4 && v != 3; }

// Reals per function in the coefficient array: one cell fewer than nodes, except for
// the quadratic with knots between the nodes (kind 1), which has nx cells.
inline int64_t coefficient_block_length(int64_t order, int64_t kind, int64_t nx) {
  return order * (kind == ZORN_DF_KIND_KNOT_QUADRATIC ? nx : nx - 1);
}

}  // namespace zorn::df
