// Helpers shared by the data-fitting tests.
#pragma once

#include <gtest/gtest.h>

#include <type_traits>
#include <vector>

#include "zorn/core.h"
#include "zorn/df.h"

namespace df_test {

// Owns a task handle for the length of a test.
struct TaskHandle {
  ZornDfTask* task = nullptr;
  ~TaskHandle() {
    if (task != nullptr) zorn_df_kernel_DeleteTask(&task);
  }
};

// A double task that keeps its own copies of the nodes and values alive: nodes x,
// values y (ny functions), spline order and kind set, coefficients into `c`.
struct Spline {
  std::vector<double> x, y, c;
  TaskHandle h;
  ZornDfTask* task() const { return h.task; }
  int32_t make(std::vector<double> nodes, int64_t hint, int64_t ny, std::vector<double> values,
               int64_t order, int64_t kind, int64_t end_kind, const double* ends,
               int64_t inner_kind = 0, const double* inner = nullptr, int64_t nx = 0,
               int64_t storage = 0) {
    x = std::move(nodes);
    y = std::move(values);
    const int64_t n = nx != 0 ? nx : int64_t(x.size());
    int32_t st = zorn_df_kernel_dNewTask1D(&h.task, n, x.data(), hint, ny, y.data(), storage, 1);
    if (st != 0) return st;
    c.assign(size_t(ny * order * (kind == 1 ? n : n - 1)), -777.0);
    return zorn_df_kernel_dEditPPSpline1D(h.task, order, kind, end_kind, ends, inner_kind, inner,
                                          c.data(), 0);
  }
};

// Evaluates sum c_k d^k.
inline double poly(const double* c, int order, double d) {
  double r = 0;
  for (int k = order - 1; k >= 0; --k) r = r * d + c[k];
  return r;
}

inline void* const* threads() { return zorn_core_threading_service(); }

// Interpolation without the caller's functions or search: nsite sites, nflags derivative
// flags, results in the given layout; the type word, site hint, data hint, cells and
// threading table default to none.
template <class T>
int32_t interpolate(ZornDfTask* task, int64_t nsite, const T* sites, int64_t nflags,
                    const int32_t* flags, T* result, int64_t result_hint = 16, int64_t type = 0,
                    int64_t site_hint = 0, const std::type_identity_t<T>* data_hint = nullptr, void* cells = nullptr,
                    void* const* threading = nullptr) {
  if constexpr (sizeof(T) == 8) {
    return zorn_df_kernel_dDFInterpolate1D(task, type, 0, nsite, sites, site_hint, nflags, flags,
                                           data_hint, result, result_hint, cells, nullptr, nullptr,
                                           nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                           threading);
  } else {
    return zorn_df_kernel_sDFInterpolate1D(task, type, 0, nsite, sites, site_hint, nflags, flags,
                                           data_hint, result, result_hint, cells, nullptr, nullptr,
                                           nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                           threading);
  }
}

}  // namespace df_test
