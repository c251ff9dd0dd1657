// The search a task-level call makes: the method chosen from the task and the hints,
// the sites (given, or generated from the first and last), and one block of it.
#pragma once

#include <cmath>
#include <cstdint>

#include "data_fitting/search_engine.h"
#include "data_fitting/task.h"

namespace zorn::df {

constexpr int64_t kSiteBlock = 2048;

template <class T>
struct SearchPlan {
  SearchMethod method;
  Partition<T> partition;
  UserSearchFn<T> fn;
  void* param;
  // The sorted method carries its state from block to block and the caller's function
  // may not be reentrant: those run on the calling thread only.
  bool may_split() const {
    return method != SearchMethod::kSorted && method != SearchMethod::kUser &&
           method != SearchMethod::kUniformUser && partition.nx > kHybridWindow;
  }
};

// Entry 1 of a data hint selects the peak method (1) or the default one (0); entry 4
// is then the peak position.
template <class T>
int32_t choose_search(const Task& t, int64_t site_hint, const T* data_hint, UserSearchFn<T> fn,
                      void* param, SearchPlan<T>& plan) {
  const T* x = static_cast<const T*>(t.x);
  const bool uniform = t.partition_hint == kPartitionUniform;
  const T span = uniform ? x[1] - x[0] : x[t.nx - 1] - x[0];
  plan = {SearchMethod::kHybrid, make_partition(x, t.nx, uniform, span / T(t.nx - 1)), fn, param};
  if (t.bins != nullptr && t.bins_nx == t.nx && t.bins_x == t.x &&
      t.precision == (sizeof(T) == sizeof(double) ? 1 : 0)) {
    plan.partition.bins = t.bins;
    plan.partition.bin_count = t.bin_count;
    if constexpr (sizeof(T) == sizeof(double)) plan.partition.bin_scale = t.bin_scale.d;
    else plan.partition.bin_scale = t.bin_scale.s;
  }
  if (fn != nullptr) {
    plan.method = uniform ? SearchMethod::kUniformUser : SearchMethod::kUser;
  } else if (t.partition_hint == kPartitionQuasiUniform) {
    plan.method = SearchMethod::kQuasiUniform;
  } else if (uniform) {
    plan.method = SearchMethod::kUniform;
  } else if (site_hint == ZORN_DF_SITES_SORTED) {
    plan.method = SearchMethod::kSorted;
  } else if (data_hint != nullptr) {
    const T selector = data_hint[1];
    if (selector == T(1)) {
      const T peak = data_hint[4];
      if (!(peak >= T(0) && peak <= T(t.nx))) return kBadDataHint;
      plan.method = SearchMethod::kPeak;
    } else if (selector != T(0)) {
      return kBadDataHint;
    }
  }
  return kOk;
}

// Sites as given, or nsite equally spaced sites from sites[0] to sites[1], generated
// block by block.
template <class T>
struct SiteSource {
  const T* given;
  bool generated;
  T first;
  T step;

  static SiteSource make(const T* sites, int64_t nsite, int64_t site_hint) {
    if (site_hint != ZORN_DF_SITES_UNIFORM) return {sites, false, T(0), T(0)};
    const T step = nsite > 1 ? (sites[1] - sites[0]) / T(nsite - 1) : T(0);
    return {sites, true, sites[0], step};
  }
  // The sites first ... first+n-1; `buffer` holds at least n reals.
  const T* block(int64_t first, int64_t n, T* buffer) const {
    if (!generated) return given + first;
    for (int64_t i = 0; i < n; ++i) buffer[i] = this->first + T(first + i) * step;
    return buffer;
  }
};

// The cells of one block of sites.
template <class T>
int32_t search_block(const SearchPlan<T>& plan, int64_t n, const T* sites, int64_t* cells,
                     int64_t& state) {
  auto store = [cells](int64_t i, int64_t c) { cells[i] = c; };
  switch (plan.method) {
    case SearchMethod::kUser:
      return search_user<false>(plan.partition, n, sites, plan.fn, plan.param, nullptr, nullptr, store);
    case SearchMethod::kUniformUser:
      return search_user<true>(plan.partition, n, sites, plan.fn, plan.param, nullptr, nullptr, store);
    default:
      search_builtin(plan.method, plan.partition, n, sites, state, store);
      return kOk;
  }
}

// Stores cells in the caller's width (the task's integer width).
inline void store_cells(void* out, bool wide, int64_t first, int64_t n, const int64_t* cells) {
  if (wide) {
    int64_t* o = static_cast<int64_t*>(out) + first;
    for (int64_t i = 0; i < n; ++i) o[i] = cells[i];
  } else {
    int32_t* o = static_cast<int32_t*>(out) + first;
    for (int64_t i = 0; i < n; ++i) o[i] = int32_t(cells[i]);
  }
}

}  // namespace zorn::df
