// Natural cubic splines: the first derivatives m_i at the nodes solve one tridiagonal
// system (continuity of the second derivative at the interior nodes plus two end
// rows), factored once and solved for all functions together.
#include "data_fitting/construct_common.h"
#include "data_fitting/tridiagonal.h"

namespace zorn::df {
namespace {

template <class T, bool kColumns, bool kUniform>
struct NaturalCubicWorker {
  using V = Values<T, kColumns>;
  using G = Grid<T, kUniform>;

  static T slope(const V& v, const G& g, int64_t j, int64_t i) {
    return (v.at(j, i + 1) - v.at(j, i)) / g.step(i);
  }

  // Writes every cell from the slopes in column j of `m` (m[nx-1] = m[0] when periodic).
  static void write_cells(const Task& t, const V& v, const G& g, int64_t j, const T* m,
                          bool periodic) {
    T* c = coefficient_block<T>(t, j);
    const int64_t last = t.nx - 2;  // the last cell, which ends on m[0] when periodic
    hermite_cells(c, v, j, g, m, periodic ? last : last + 1);
    if (periodic) hermite_cell(c + 4 * last, v.at(j, last), v.at(j, last + 1), m[last], m[0], g.step(last));
  }

  static int32_t run(const Job<T>& job) {
    const Task& t = *job.task;
    const V v{t.values, function_count(t)};
    const G g = G::make(static_cast<const T*>(t.x), t.nx);
    const int64_t nx = t.nx, nf = function_count(t);
    if (job.end == kEndNotAKnot && nx == 3) return parabola(t, v, g);
    const bool periodic = job.end == kEndPeriodic;
    const int64_t n = periodic ? nx - 1 : nx;
    TridiagonalSystem<T> s;
    if (int32_t st = s.allocate(n, nf, periodic); st != kOk) return st;
    if (periodic) {
      // Row i is the interior row of node i, its neighbours taken around the seam.
      for (int64_t i = 0; i < n; ++i) {
        const int64_t before = i == 0 ? nx - 2 : i - 1;
        const T hl = g.step(before), hr = g.step(i);
        s.d[i] = T(2) * (hl + hr);
        if (i + 1 < n) s.du[i] = hl;
        if (i > 0) s.dl[i - 1] = hr;
        for (int64_t j = 0; j < nf; ++j)
          s.b[j * n + i] = T(3) * (hr * slope(v, g, j, before) + hl * slope(v, g, j, i));
      }
      s.alpha = g.step(0);       // row 0 on m_{n-1}
      s.beta = nx >= 3 ? g.step(nx - 3) : T(0);  // row n-1 on m_n = m_0
    } else {
      interior_rows(v, g, s);
      end_rows(job, v, g, s);
    }
    if (int32_t st = s.solve(); st != kOk) return st;
    for (int64_t j = 0; j < nf; ++j) write_cells(t, v, g, j, s.b + j * n, periodic);
    return kOk;
  }

  // The interior rows 1 .. n-2 of the non-periodic system in one pass over the nodes
  // (the matrix and the first function's right-hand side together; any further function
  // in a pass of its own). Each row recomputes both of its slopes rather than carrying
  // one from the row before, so that the rows are independent and the loops vectorise.
  static void interior_rows(const V& v, const G& g, TridiagonalSystem<T>& s) {
    const int64_t n = g.nx;
    interior_matrix_rows(g, v.function(0), v.stride(), s.dl, s.d, s.du, s.b);
    for (int64_t j = 1; j < v.ny; ++j) {
      T* __restrict b = s.b + j * n;
      const T* __restrict y = v.function(j);
      const int64_t stride = v.stride();
      for (int64_t i = 1; i + 1 < n; ++i)
        b[i] = right_side(y[(i - 1) * stride], y[i * stride], y[(i + 1) * stride], g.step(i - 1),
                          g.step(i));
    }
  }
  static void interior_matrix_rows(const G& g, const T* __restrict y, int64_t stride,
                                   T* __restrict dl, T* __restrict d, T* __restrict du,
                                   T* __restrict b) {
    for (int64_t i = 1; i + 1 < g.nx; ++i) {
      const T hl = g.step(i - 1), hr = g.step(i);
      dl[i - 1] = hr;
      d[i] = T(2) * (hl + hr);
      du[i] = hl;
      b[i] = right_side(y[(i - 1) * stride], y[i * stride], y[(i + 1) * stride], hl, hr);
    }
  }

  // A row's right-hand side from the values at its node and its neighbours and the
  // steps hl, hr on either side: 3 (h_i delta_{i-1} + h_{i-1} delta_i).
  static T right_side(T before, T at, T after, T hl, T hr) {
    return T(3) * (hr * ((at - before) / hl) + hl * ((after - at) / hr));
  }

  // The first and last rows of the non-periodic system.
  static void end_rows(const Job<T>& job, const V& v, const G& g, TridiagonalSystem<T>& s) {
    const Task& t = *job.task;
    const int64_t n = t.nx, nf = function_count(t);
    const T h0 = g.step(0), hn = g.step(n - 2);
    const T left = job.ends != nullptr ? job.ends[0] : T(0);
    const T right = job.ends != nullptr ? job.ends[1] : T(0);
    for (int64_t j = 0; j < nf; ++j) {
      T* b = s.b + j * n;
      const T d0 = slope(v, g, j, 0), dn = slope(v, g, j, n - 2);
      switch (job.end) {
        case kEndNotAKnot: {
          const T h1 = g.step(1), hm = g.step(n - 3);
          const T d1 = slope(v, g, j, 1), dm = slope(v, g, j, n - 3);
          b[0] = ((h0 + T(2) * (h0 + h1)) * h1 * d0 + h0 * h0 * d1) / (h0 + h1);
          b[n - 1] = (hn * hn * dm + (T(2) * (hm + hn) + hn) * hm * dn) / (hm + hn);
          break;
        }
        case kEndFree: b[0] = T(3) * d0; b[n - 1] = T(3) * dn; break;
        default:
          b[0] = left_is_slope(job.end) ? left : T(3) * d0 - h0 * left / T(2);
          b[n - 1] = right_is_slope(job.end) ? right : T(3) * dn + hn * right / T(2);
          break;
      }
    }
    if (job.end == kEndNotAKnot) {
      const T h1 = g.step(1), hm = g.step(n - 3);
      s.d[0] = h1;
      s.du[0] = h0 + h1;
      s.dl[n - 2] = hm + hn;
      s.d[n - 1] = hm;
      return;
    }
    const bool slope_left = left_is_slope(job.end), slope_right = right_is_slope(job.end);
    s.d[0] = slope_left ? T(1) : T(2);
    s.du[0] = slope_left ? T(0) : T(1);
    s.dl[n - 2] = slope_right ? T(0) : T(1);
    s.d[n - 1] = slope_right ? T(1) : T(2);
  }

  // Not-a-knot on three nodes: the single parabola through them.
  static int32_t parabola(const Task& t, const V& v, const G& g) {
    const T h0 = g.step(0), h1 = g.step(1);
    for (int64_t j = 0; j < function_count(t); ++j) {
      const T d0 = slope(v, g, j, 0), d1 = slope(v, g, j, 1);
      const T curvature = (d1 - d0) / (h0 + h1);
      const T m[3] = {d0 - curvature * h0, d0 + curvature * h0, d0 + curvature * (h0 + T(2) * h1)};
      write_cells(t, v, g, j, m, false);
    }
    return kOk;
  }
};

template <class T>
int32_t natural_cubic(Task* t, int64_t method) {
  if (t == nullptr) return kNullTask;
  if (method != 0) return kBadMethod;
  if (t->nx < 2) return kBadNodeCount;
  if (t->nx == 2 && t->end_kind == ZORN_DF_END_NOT_A_KNOT) return kBadNodeCount;
  if (!storage_accepted(t->value_storage)) return kBadValueStorage;
  int end = 0;
  if (int32_t st = check_end_conditions(*t, false, end); st != kOk) return st;
  if (int32_t st = check_tables(*t, 4 * (t->nx - 1)); st != kOk) return st;
  const Job<T> job{t, end, static_cast<const T*>(t->end), nullptr};
  if (end == kEndPeriodic) {
    const bool ok = is_column_storage(*t)
                        ? all_periodic(*t, Values<T, true>{t->values, function_count(*t)})
                        : all_periodic(*t, Values<T, false>{t->values, function_count(*t)});
    if (!ok) return kNotPeriodic;
  }
  return run_worker<T, NaturalCubicWorker>(job);
}

}  // namespace
}  // namespace zorn::df

using namespace zorn::df;

extern "C" {
int32_t zorn_df_kernel_dDFNaturalCubicSpline1D(ZornDfTask* task, int64_t, int64_t method,
                                               int64_t) {
  return natural_cubic<double>(task, method);
}
int32_t zorn_df_kernel_sDFNaturalCubicSpline1D(ZornDfTask* task, int64_t, int64_t method,
                                               int64_t) {
  return natural_cubic<float>(task, method);
}
}
