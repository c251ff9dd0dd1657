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

// The first node in [begin, nx) whose bin is `k` or more (nx if none), by bisection:
// on increasing nodes the bins rise with them. Any other nodes give some node of the
// range, never one outside it.
template <class T>
int64_t first_node_of_bin(int64_t begin, int64_t nx, const T* x, T scale, int64_t b, int64_t k) {
  const auto bin = [&](int64_t i) {
    const T q = (x[i] - x[0]) * scale;
    return !(q >= T(0)) ? 0 : (q >= T(b) ? b : int64_t(q));
  };
  int64_t lo = begin, hi = nx;
  while (lo < hi) {
    const int64_t mid = lo + (hi - lo) / 2;
    if (bin(mid) < k) lo = mid + 1; else hi = mid;
  }
  return lo;
}

template <class T>
void fill_bins(BinPair* bins, int64_t b, int64_t nx, const T* x, T scale) {
  for (int64_t k = 0; k < b + 2; ++k) bins[k] = {-1, -1};
  bins[0].low = 0;
  // Bin k (1..b) records, in bins[k-1].high, the first node after node 0 that falls in it
  // and, in bins[k+1].low, the last; nodes in bin 0 record nothing. The bins' bounds are
  // found by bisection, about b log2(nx) node reads instead of a pass over the nodes.
  int64_t first = first_node_of_bin(1, nx, x, scale, b, 1);
  for (int64_t k = 1; k <= b; ++k) {
    const int64_t next = k < b ? first_node_of_bin(first, nx, x, scale, b, k + 1) : nx;
    if (next > first) {
      bins[k - 1].high = first;
      bins[k + 1].low = next - 1;
    }
    first = next;
  }
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
