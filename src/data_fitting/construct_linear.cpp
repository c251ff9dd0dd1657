// Linear splines: each cell the chord between its two nodes.
#include "data_fitting/construct_common.h"

namespace zorn::df {
namespace {

template <class T, bool kColumns, bool kUniform>
struct LinearWorker {
  static int32_t run(const Job<T>& job) {
    const Task& t = *job.task;
    const Values<T, kColumns> v{t.values, function_count(t)};
    const Grid<T, kUniform> g = Grid<T, kUniform>::make(static_cast<const T*>(t.x), t.nx);
    // On a uniform partition the chord slope is the difference times (nx-1)/span.
    const T inverse_step = kUniform ? T(t.nx - 1) / (g.x[1] - g.x[0]) : T(0);
    for (int64_t j = 0; j < function_count(t); ++j) {
      T* c = coefficient_block<T>(t, j);
      for (int64_t i = 0; i + 1 < t.nx; ++i) {
        const T y0 = v.at(j, i), y1 = v.at(j, i + 1);
        c[2 * i] = y0;
        c[2 * i + 1] = kUniform ? (y1 - y0) * inverse_step : (y1 - y0) / g.step(i);
      }
    }
    return kOk;
  }
};

template <class T>
int32_t linear_spline(Task* t, int64_t method) {
  if (t == nullptr) return kNullTask;
  if (method != 0) return kBadMethod;
  if (t->nx < 2) return kBadNodeCount;
  if (!storage_accepted(t->value_storage)) return kBadValueStorage;
  if (int32_t st = check_tables(*t, 2 * (t->nx - 1)); st != kOk) return st;
  return run_worker<T, LinearWorker>(Job<T>{t, 0, nullptr, nullptr});
}

}  // namespace
}  // namespace zorn::df

using namespace zorn::df;

extern "C" {
int32_t zorn_df_kernel_dDFLinearSpline1D(ZornDfTask* task, int64_t, int64_t method, int64_t) {
  return linear_spline<double>(task, method);
}
int32_t zorn_df_kernel_sDFLinearSpline1D(ZornDfTask* task, int64_t, int64_t method, int64_t) {
  return linear_spline<float>(task, method);
}
}
