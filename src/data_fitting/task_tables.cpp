#include "data_fitting/task_tables.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

#include "core_interface/sibling.h"
#include "data_fitting/status.h"

namespace zorn::df {
namespace {

template <class E>
E* allocate_entries(int64_t count) {
  if (count <= 0 || uint64_t(count) > std::numeric_limits<uint64_t>::max() / 2 / sizeof(E))
    return nullptr;
  return static_cast<E*>(sibling::allocate(uint64_t(count) * sizeof(E)));
}

template <class T>
void fill_bins(BinPair* bins, int64_t b, int64_t nx, const T* x, T scale) {
  for (int64_t k = 0; k < b + 2; ++k) bins[k] = {-1, -1};
  bins[0].low = 0;
  const T x0 = x[0];
  // Bin k (1..b) records, in bins[k-1].high, the first node that falls in it and, in
  // bins[k+1].low, the last. Nodes are taken in runs of one bin (on sorted nodes, a
  // thousand or so per bin): the table is written once per run, at its start and its end,
  // which gives the same table as writing it at every node, sorted or not.
  int64_t run = 0;  // the bin of the current run; 0 records nothing
  for (int64_t i = 1; i < nx; ++i) {
    const T q = (x[i] - x0) * scale;
    // Unsorted or non-finite nodes must not index outside the table.
    const int64_t k = !(q >= T(0)) ? 0 : (q >= T(b) ? b : int64_t(q));
    if (k == run) continue;
    if (run != 0) bins[run + 1].low = i - 1;
    if (k != 0 && bins[k - 1].high == -1) bins[k - 1].high = i;
    run = k;
  }
  if (run != 0) bins[run + 1].low = nx - 1;
  bins[b - 1].high = nx - 1;
  for (int64_t j = 1; j < b; ++j)
    if (bins[j].low == -1) bins[j].low = bins[j - 1].low;
  for (int64_t j = b - 2; j >= 0; --j)
    if (bins[j].high == -1) bins[j].high = bins[j + 1].high;
  bins[b] = bins[b - 1];
}

}  // namespace

int32_t rebuild_value_table(Task& t, const void* y, size_t real) {
  sibling::deallocate(t.values);
  t.values = nullptr;
  t.value_entries = 0;
  const int64_t entries = is_column_storage(t) ? 1 : t.ny;
  if (entries < 1) return kBadFunctionCount;
  t.values = allocate_entries<const void*>(entries);
  if (t.values == nullptr) return kNoMemory;
  const char* base = static_cast<const char*>(y);
  for (int64_t j = 0; j < entries; ++j) {
    if (t.value_storage == kStorageSeparate)
      t.values[j] = j == 0 ? y : nullptr;
    else
      t.values[j] = base + size_t(j) * size_t(t.nx) * real;
  }
  t.value_entries = entries;
  return kOk;
}

int32_t rebuild_coefficient_table(Task& t, void* c, size_t real) {
  sibling::deallocate(t.coefficients);
  t.coefficients = nullptr;
  t.coefficient_entries = 0;
  t.coefficient_block = 0;
  t.coefficients = allocate_entries<void*>(t.ny);
  if (t.coefficients == nullptr) return kNoMemory;
  const bool separate = (t.coefficient_storage & kStorageSeparate) != 0;
  const int64_t block = coefficient_block_length(t.spline_order, t.spline_kind, t.nx);
  char* base = static_cast<char*>(c);
  for (int64_t j = 0; j < t.ny; ++j) {
    if (separate)
      t.coefficients[j] = j == 0 ? c : nullptr;
    else
      t.coefficients[j] = base + size_t(j) * size_t(block) * real;
  }
  t.coefficient_entries = t.ny;
  t.coefficient_block = separate ? 0 : block;
  return kOk;
}

int32_t rebuild_bin_table(Task& t) {
  sibling::deallocate(t.bins);
  t.bins = nullptr;
  t.bin_count = 0;
  t.bins_nx = 0;
  t.bins_x = nullptr;
  const int64_t b = std::min<int64_t>(std::max<int64_t>(t.nx / 16, 16), 1024);
  t.bins = allocate_entries<BinPair>(b + 2);
  if (t.bins == nullptr) return kNoMemory;
  t.bin_count = b;
  t.bins_nx = t.nx;
  t.bins_x = t.x;
  if (t.precision == 1) {
    const double* x = static_cast<const double*>(t.x);
    t.bin_scale.d = double(b) / (x[t.nx - 1] - x[0]);
    fill_bins(t.bins, b, t.nx, x, t.bin_scale.d);
  } else {
    const float* x = static_cast<const float*>(t.x);
    t.bin_scale.s = float(b) / (x[t.nx - 1] - x[0]);
    fill_bins(t.bins, b, t.nx, x, t.bin_scale.s);
  }
  return kOk;
}

void free_task_blocks(Task& t) {
  sibling::deallocate(t.values);
  sibling::deallocate(t.coefficients);
  sibling::deallocate(t.bins);
  t.values = nullptr;
  t.coefficients = nullptr;
  t.bins = nullptr;
}

}  // namespace zorn::df
