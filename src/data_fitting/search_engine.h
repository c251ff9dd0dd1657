// Running a search method over a run of sites: the per-method loops, the caller's
// search function in blocks of 128, and the split of site blocks over the threads of
// the caller's threading service.
#pragma once

#include <algorithm>
#include <cstdint>

#include "data_fitting/search_methods.h"
#include "data_fitting/status.h"
#include "zorn/core.h"

namespace zorn::df {

template <class T>
using UserSearchFn = int32_t (*)(int64_t*, const T*, int64_t*, int32_t*, void*, void*);

// Runs a built-in method over sites [begin, end); store(i, cell) receives each cell.
// The sorted method reads and updates `state`; the others leave it alone.
template <SearchMethod M, class T, class Store>
void search_range(const Partition<T>& p, int64_t begin, int64_t end, const T* sites,
                  int64_t& state, Store& store) {
  for (int64_t i = begin; i < end; ++i) {
    const T t = sites[i];
    int64_t c = outer_cell(p, t);
    if constexpr (M == SearchMethod::kSorted) {
      if (c < 0) {
        c = sorted_cell(p, t, state);
        state = c;
      } else if (c != p.nx - 1) {
        state = c;
      }
    } else if (c < 0) {
      if constexpr (M == SearchMethod::kUniform) c = uniform_cell(p, t);
      if constexpr (M == SearchMethod::kQuasiUniform) c = quasi_uniform_cell(p, t);
      if constexpr (M == SearchMethod::kHybrid) c = hybrid_cell(p, t);
      if constexpr (M == SearchMethod::kPeak) c = peak_cell(p, t);
    }
    store(i, c);
  }
}

template <class T>
bool non_decreasing(const T* sites, int64_t n) {
  for (int64_t i = 1; i < n; ++i)
    if (!(sites[i - 1] <= sites[i])) return false;
  return true;
}

// The sorted method on sites that are in fact non-decreasing (no NaN). There, with s the
// state before the first site inside [x[0], right), every such site gets
// sorted_cell(s, t) whatever the sites between: all nodes from s up to the previous
// site's cell are at or below the previous site, hence below this one. Runs of those
// sites therefore go kSortedChains side by side, each from the cell of its first site:
// one site's search waits on the one before (a load, a compare, a count), and the runs
// fill that wait. The cells and the state are those of search_range.
constexpr int64_t kSortedChains = 4;
template <class T, class Store>
void search_sorted_chains(const Partition<T>& p, int64_t n, const T* sites, int64_t& state,
                          Store& store) {
  const T* a_site = std::partition_point(sites, sites + n, [&](T t) { return t < p.left; });
  const int64_t a = a_site - sites;
  const int64_t b = std::partition_point(a_site, sites + n, [&](T t) { return t < p.right; }) - sites;
  search_range<SearchMethod::kSorted>(p, 0, a, sites, state, store);
  if (a < b) {
    const int64_t run = (b - a) / kSortedChains;
    int64_t cell[kSortedChains];
    for (int64_t k = 0; k < kSortedChains; ++k) cell[k] = sorted_cell(p, sites[a + k * run], state);
    for (int64_t j = 0; j < run; ++j)
#pragma GCC unroll 4  // the cells stay in registers: through the stack each waits on a reload
      for (int64_t k = 0; k < kSortedChains; ++k) {
        const int64_t i = a + k * run + j;
        cell[k] = sorted_cell_from(p, sites[i], cell[k]);
        store(i, cell[k]);
      }
    state = cell[kSortedChains - 1];  // the cell of site a + chains * run - 1, or of site a
    search_range<SearchMethod::kSorted>(p, a + kSortedChains * run, b, sites, state, store);
  }
  search_range<SearchMethod::kSorted>(p, b, n, sites, state, store);
}

// The default (hybrid) method takes the sorted walk too when the sites happen to be in
// order: on ascending nodes a site has one cell whatever the method, and the walk from
// cell 0 finds it.
template <SearchMethod M, class T, class Store>
void search_sites(const Partition<T>& p, int64_t n, const T* sites, int64_t& state,
                  Store&& store) {
  constexpr bool kWalks = M == SearchMethod::kSorted || M == SearchMethod::kHybrid;
  if (kWalks && n >= 4 * kSortedChains && non_decreasing(sites, n)) {
    int64_t from_start = 0;
    search_sorted_chains(p, n, sites, M == SearchMethod::kSorted ? state : from_start, store);
  } else {
    search_range<M>(p, 0, n, sites, state, store);
  }
}

template <class T, class Store>
void search_builtin(SearchMethod m, const Partition<T>& p, int64_t n, const T* sites,
                    int64_t& state, Store&& store) {
  switch (m) {
    case SearchMethod::kUniform: search_sites<SearchMethod::kUniform>(p, n, sites, state, store); break;
    case SearchMethod::kQuasiUniform: search_sites<SearchMethod::kQuasiUniform>(p, n, sites, state, store); break;
    case SearchMethod::kSorted: search_sites<SearchMethod::kSorted>(p, n, sites, state, store); break;
    case SearchMethod::kPeak: search_sites<SearchMethod::kPeak>(p, n, sites, state, store); break;
    default: search_sites<SearchMethod::kHybrid>(p, n, sites, state, store); break;
  }
}

constexpr int64_t kUserBlock = 128;

// The caller-defined methods. `flags` may be null (then every block gets zero flags).
// Returns the first negative status of the caller's function, else the status of the
// last block whose cells were not all final (0 when there was none).
template <bool kUniformPartition, class T, class Store>
int32_t search_user(const Partition<T>& p, int64_t n, const T* sites, UserSearchFn<T> fn,
                    void* param, void* word, int32_t* flags, Store&& store) {
  int32_t result = kOk;
  int64_t cells[kUserBlock];
  int32_t own_flags[kUserBlock];
  for (int64_t first = 0; first < n; first += kUserBlock) {
    int64_t count = std::min(kUserBlock, n - first);
    int32_t* f = flags != nullptr ? flags + first : own_flags;
    if (flags == nullptr) std::fill(own_flags, own_flags + count, 0);
    std::fill(cells, cells + count, 0);
    int32_t status = kOk;
    if (fn != nullptr) {
      int64_t reported = count;  // the caller's function may not change our count
      status = fn(&reported, sites + first, cells, f, param, word);
    }
    if (status < 0) return status;
    for (int64_t i = 0; i < count; ++i) {
      int64_t c = cells[i];
      if (status != kUserCellsFinal && f[i] == 0) {
        const T t = sites[first + i];
        if constexpr (kUniformPartition) {
          c = outer_cell(p, t);
          if (c < 0) c = uniform_cell(p, t);
        } else {
          c = corrected_guess(p, t, c);
        }
      }
      store(first + i, c);
    }
    if (status != kUserCellsFinal) result = status;
  }
  return result;
}

// Calls body(first, count) for consecutive blocks of `block` sites, handing the whole
// blocks to the threading service when it offers more than one thread and there are
// at least as many whole blocks as threads; the calling thread does the rest. The
// body of a parallel run must only write per-site outputs of its own block.
template <class Body>
void for_site_blocks(int64_t nsite, int64_t block, bool may_split, void* const* threading,
                     Body&& body) {
  int64_t done = 0;
  if (may_split && threading != nullptr && threading[ZORN_THR_MAX_THREADS] != nullptr &&
      threading[ZORN_THR_PARALLEL_FOR] != nullptr) {
    const int64_t threads =
        reinterpret_cast<zorn_thr_max_threads_fn>(threading[ZORN_THR_MAX_THREADS])();
    const int64_t whole = nsite / block;
    if (threads > 1 && whole >= threads) {
      struct Context {
        Body* body;
        int64_t block;
      } ctx{&body, block};
      auto worker = [](int64_t index, int64_t, int64_t, void* c) {
        auto* k = static_cast<Context*>(c);
        (*k->body)(index * k->block, k->block);
      };
      reinterpret_cast<zorn_thr_parallel_for_fn>(threading[ZORN_THR_PARALLEL_FOR])(
          whole, whole, &ctx, worker);
      done = whole * block;
    }
  }
  for (int64_t first = done; first < nsite; first += block)
    body(first, std::min(block, nsite - first));
}

}  // namespace zorn::df
