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

// Runs a built-in method over n sites; store(i, cell) receives each cell. The sorted
// method reads and updates `state`; the others leave it alone.
template <SearchMethod M, class T, class Store>
void search_sites(const Partition<T>& p, int64_t n, const T* sites, int64_t& state,
                  Store&& store) {
  for (int64_t i = 0; i < n; ++i) {
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
