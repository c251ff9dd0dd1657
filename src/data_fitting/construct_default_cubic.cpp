// Default cubic splines: the second derivatives at the interior nodes are given (the
// inner conditions), so every cell follows directly; no system is solved.
#include "data_fitting/construct_common.h"

namespace zorn::df {
namespace {

template <class T, bool kColumns, bool kUniform>
struct DefaultCubicWorker {
  static int32_t run(const Job<T>& job) {
    const Task& t = *job.task;
    const Values<T, kColumns> v{t.values, function_count(t)};
    const Grid<T, kUniform> g = Grid<T, kUniform>::make(static_cast<const T*>(t.x), t.nx);
    const int64_t last = t.nx - 2;  // the last cell
    // Second derivatives at the ends: zero for free ends, given where the end carries a
    // second derivative; an end with a given slope uses its own end-cell formula.
    const bool slope_left = left_is_slope(job.end), slope_right = right_is_slope(job.end);
    const T m_left = job.ends != nullptr ? job.ends[0] : T(0);
    const T m_right = job.ends != nullptr ? job.ends[1] : T(0);
    auto curvature = [&](int64_t i) -> T {
      if (i == 0) return job.end == kEndFree || slope_left ? T(0) : m_left;
      if (i == t.nx - 1) return job.end == kEndFree || slope_right ? T(0) : m_right;
      return job.inner[i - 1];
    };
    for (int64_t j = 0; j < function_count(t); ++j) {
      T* c = coefficient_block<T>(t, j);
      for (int64_t i = 0; i <= last; ++i) {
        T* ci = c + 4 * i;
        const T h = g.step(i), y0 = v.at(j, i), delta = (v.at(j, i + 1) - y0) / h;
        const T M0 = curvature(i), M1 = curvature(i + 1);
        ci[0] = y0;
        if (i == 0 && slope_left) {
          ci[1] = m_left;
          ci[3] = ((m_left - delta) / (T(2) * h) + M1 / T(4)) / h;
          ci[2] = M1 / T(2) - T(3) * h * ci[3];
        } else if (i == last && slope_right) {
          ci[2] = M0 / T(2);
          ci[3] = ((m_right - delta) / h - ci[2]) / (T(2) * h);
          ci[1] = delta - h * (ci[2] + ci[3] * h);
        } else {
          ci[2] = M0 / T(2);
          ci[3] = (M1 - M0) / (T(6) * h);
          ci[1] = delta - h * (M0 / T(3) + M1 / T(6));
        }
      }
    }
    return kOk;
  }
};

template <class T>
int32_t default_cubic(Task* t) {
  if (t == nullptr) return kNullTask;
  if (t->nx < 3) return kBadNodeCount;
  if (!storage_accepted(t->value_storage)) return kBadValueStorage;
  int end = 0;
  if (int32_t st = check_end_conditions(*t, false, end); st != kOk) return st;
  // The given second derivatives fix the spline up to its two end cells; not-a-knot
  // and periodic ends would make it a system again.
  if (end == kEndNotAKnot || end == kEndPeriodic) return kBadEndConditionKind;
  if (t->inner == nullptr) return kBadInnerConditions;
  if (int32_t st = check_tables(*t, 4 * (t->nx - 1)); st != kOk) return st;
  return run_worker<T, DefaultCubicWorker>(
      Job<T>{t, end, static_cast<const T*>(t->end), static_cast<const T*>(t->inner)});
}

}  // namespace
}  // namespace zorn::df

using namespace zorn::df;

extern "C" {
int32_t zorn_df_kernel_dDFDefaultCubicSpline1D(ZornDfTask* task, int64_t, int64_t, int64_t) {
  return default_cubic<double>(task);
}
int32_t zorn_df_kernel_sDFDefaultCubicSpline1D(ZornDfTask* task, int64_t, int64_t, int64_t) {
  return default_cubic<float>(task);
}
}
