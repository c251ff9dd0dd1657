// Quadratic splines. Kind 0: each cell's parabola through its two nodes and a midpoint
// value, the midpoint values chained by continuity of the first derivative from the
// given one of cell 0. Kind 1: breaks at knots between the nodes (see zorn/df.h for the
// slope system at the knots and its end rows).
#include "data_fitting/construct_common.h"
#include "data_fitting/tridiagonal.h"

namespace zorn::df {
namespace {

template <class T, bool kColumns, bool kUniform>
struct MidpointQuadraticWorker {
  static int32_t run(const Job<T>& job) {
    const Task& t = *job.task;
    const Values<T, kColumns> v{t.values, function_count(t)};
    const Grid<T, kUniform> g = Grid<T, kUniform>::make(static_cast<const T*>(t.x), t.nx);
    for (int64_t j = 0; j < function_count(t); ++j) {
      T* c = coefficient_block<T>(t, j);
      T mid = job.ends[0];  // v_i, the value at the middle of cell i
      for (int64_t i = 0; i + 1 < t.nx; ++i) {
        const T h = g.step(i), y0 = v.at(j, i), y1 = v.at(j, i + 1);
        T* ci = c + 3 * i;
        ci[0] = y0;
        ci[2] = T(2) * (y0 - T(2) * mid + y1) / (h * h);
        ci[1] = T(2) * (mid - (h / T(2)) * (h / T(2)) * ci[2] - y0) / h;
        if (i + 2 < t.nx) {
          const T hn = g.step(i + 1), y2 = v.at(j, i + 2);
          mid = (hn / T(4)) * ((T(3) * y1 + y0) / h + (T(3) * y1 + y2) / hn) - mid * hn / h;
        }
      }
    }
    return kOk;
  }
};

template <class T, bool kColumns, bool kUniform>
struct KnotQuadraticWorker {
  using G = Grid<T, kUniform>;

  static T knot(const G& g, const T* inner, int64_t k) {
    if (k == 0) return g.node(0);
    if (k == g.nx) return g.node(g.nx - 1);
    return inner != nullptr ? inner[k] : (g.node(k - 1) + g.node(k)) / T(2);
  }

  // Row k (0 ... nx-2) of the slope system: coefficients of p_k, p_{k+1}, p_{k+2}.
  static void row(const G& g, const T* inner, int64_t k, T& a_k, T& b_k, T& c_k) {
    const T t0 = knot(g, inner, k), t1 = knot(g, inner, k + 1), t2 = knot(g, inner, k + 2);
    const T H = t1 - t0, Hn = t2 - t1;
    const T a = t1 - g.node(k), b = g.node(k + 1) - t1;
    a_k = a * a / (T(2) * H);
    b_k = a * (T(2) * H - a) / (T(2) * H) + b * (T(2) * Hn - b) / (T(2) * Hn);
    c_k = b * b / (T(2) * Hn);
  }

  // The unknowns are p_0 ... p_nx, less p_nx for a periodic spline (p_nx = p_0) and less
  // p_0 and p_nx for not-a-knot ends, which express them through their neighbours:
  // p_0 = ((H0+H1) p_1 - H0 p_2)/H1 and p_nx = ((Hl+Hm) p_{nx-1} - Hl p_{nx-2})/Hm.
  // Eliminating them keeps every pivot positive where an end row with p_2 folded in
  // could cancel to zero.
  static int32_t run(const Job<T>& job) {
    const Task& t = *job.task;
    const Values<T, kColumns> v{t.values, function_count(t)};
    const G g = G::make(static_cast<const T*>(t.x), t.nx);
    const int64_t nx = t.nx, nf = function_count(t);
    const bool periodic = job.end == kEndPeriodic, not_a_knot = job.end == kEndNotAKnot;
    const int64_t first = not_a_knot ? 1 : 0;  // index of the first unknown
    const int64_t n = periodic ? nx : not_a_knot ? nx - 1 : nx + 1;
    const T* inner = job.inner;
    auto width = [&](int64_t k) { return knot(g, inner, k + 1) - knot(g, inner, k); };
    const T H0 = width(0), H1 = width(1), Hl = width(nx - 1), Hm = width(nx - 2);
    TridiagonalSystem<T> s;
    if (int32_t st = s.allocate(n, nf, periodic); st != kOk) return st;
    // Places coefficient `value` of unknown p_col in equation row r; p_nx of a periodic
    // spline is p_0, the corner of the last row.
    auto place = [&](int64_t r, int64_t col, T value) {
      if (periodic && col == nx) {
        s.beta = value;
        return;
      }
      const int64_t c = col - first;
      if (c == r) s.d[r] = value;
      else if (c == r + 1) s.du[r] = value;
      else s.dl[c] = value;
    };
    const int64_t row0 = not_a_knot ? 0 : 1;  // equation row of data row k = 0
    for (int64_t k = 0; k + 1 < nx; ++k) {
      T co[3];
      row(g, inner, k, co[0], co[1], co[2]);
      if (not_a_knot && k == 0) {
        co[1] += co[0] * (H0 + H1) / H1;
        co[2] -= co[0] * H0 / H1;
        co[0] = T(0);
      }
      if (not_a_knot && k == nx - 2) {
        co[0] -= co[2] * Hl / Hm;
        co[1] += co[2] * (Hl + Hm) / Hm;
        co[2] = T(0);
      }
      const int64_t r = k + row0;
      for (int64_t i = 0; i < 3; ++i)
        if (!(not_a_knot && (k + i == 0 || k + i == nx))) place(r, k + i, co[i]);
      for (int64_t j = 0; j < nf; ++j) s.b[j * n + r] = v.at(j, k + 1) - v.at(j, k);
    }
    if (periodic) {
      // Second derivative continuous across the seam: (p1-p0)/H0 = (p0-p_{nx-1})/Hl.
      s.d[0] = T(1) / H0 + T(1) / Hl;
      s.du[0] = T(-1) / H0;
      s.alpha = T(-1) / Hl;
      for (int64_t j = 0; j < nf; ++j) s.b[j * n] = T(0);
    } else if (!not_a_knot) {
      end_rows(job, s, H0, Hl);
    }
    if (int32_t st = s.solve(); st != kOk) return st;
    for (int64_t j = 0; j < nf; ++j) {
      const T* sol = s.b + j * n;
      auto p = [&](int64_t k) -> T {
        if (periodic && k == nx) return sol[0];
        if (not_a_knot && k == 0) return ((H0 + H1) * sol[0] - H0 * sol[1]) / H1;
        if (not_a_knot && k == nx) return ((Hl + Hm) * sol[nx - 2] - Hl * sol[nx - 3]) / Hm;
        return sol[k - first];
      };
      T* c = coefficient_block<T>(t, j);
      for (int64_t k = 0; k < nx; ++k) {
        const T tk = knot(g, inner, k);
        const T pk = p(k), pn = p(k + 1);
        const T u = g.node(k) - tk;
        c[3 * k + 2] = (pn - pk) / (T(2) * width(k));
        c[3 * k + 1] = pk;
        c[3 * k] = v.at(j, k) - (pk * u + c[3 * k + 2] * u * u);
      }
    }
    return kOk;
  }

  // First and last rows for given slopes or second derivatives (free ends: zero).
  static void end_rows(const Job<T>& job, TridiagonalSystem<T>& s, T H0, T Hl) {
    const Task& t = *job.task;
    const int64_t nx = t.nx, n = nx + 1, nf = function_count(t);
    const T left = job.ends != nullptr ? job.ends[0] : T(0);
    const T right = job.ends != nullptr ? job.ends[1] : T(0);
    const bool slope_left = left_is_slope(job.end), slope_right = right_is_slope(job.end);
    const T curv_left = job.end == kEndFree ? T(0) : left;
    const T curv_right = job.end == kEndFree ? T(0) : right;
    s.d[0] = slope_left ? T(1) : T(-1);
    s.du[0] = slope_left ? T(0) : T(1);
    s.dl[nx - 1] = slope_right ? T(0) : T(-1);
    s.d[nx] = T(1);
    for (int64_t j = 0; j < nf; ++j) {
      s.b[j * n] = slope_left ? left : H0 * curv_left;
      s.b[j * n + nx] = slope_right ? right : Hl * curv_right;
    }
  }
};

template <class T, bool kUniform>
int32_t check_knots(const Task& t, const T* inner) {
  if (inner == nullptr) return kOk;
  const Grid<T, kUniform> g = Grid<T, kUniform>::make(static_cast<const T*>(t.x), t.nx);
  if (!(inner[0] == g.node(0) && inner[t.nx] == g.node(t.nx - 1))) return kBadInnerConditions;
  for (int64_t k = 1; k < t.nx; ++k)
    if (!(g.node(k - 1) < inner[k] && inner[k] < g.node(k))) return kBadInnerConditions;
  return kOk;
}

template <class T>
int32_t quadratic(Task* t) {
  if (t == nullptr) return kNullTask;
  if (!storage_accepted(t->value_storage)) return kBadValueStorage;
  if (t->spline_kind != ZORN_DF_KIND_DEFAULT && t->spline_kind != ZORN_DF_KIND_KNOT_QUADRATIC) return kBadMethod;
  if (t->nx < 2) return kBadNodeCount;
  const T* ends = static_cast<const T*>(t->end);
  if (t->spline_kind == ZORN_DF_KIND_DEFAULT) {
    if (t->end_kind != ZORN_DF_END_MIDPOINT) return kBadEndConditionKind;
    if (ends == nullptr) return kNullEndConditions;
    if (int32_t st = check_tables(*t, 3 * (t->nx - 1)); st != kOk) return st;
    return run_worker<T, MidpointQuadraticWorker>(Job<T>{t, 0, ends, nullptr});
  }
  if ((t->inner_kind & ZORN_DF_INNER_KNOTS) == 0) return kBadInnerConditionKind;
  int end = 0;
  if (int32_t st = check_end_conditions(*t, false, end); st != kOk) return st;
  if (end == kEndNotAKnot && t->nx < 3) return kBadNodeCount;
  const T* inner = static_cast<const T*>(t->inner);
  const int32_t knots = is_uniform(*t) ? check_knots<T, true>(*t, inner) : check_knots<T, false>(*t, inner);
  if (knots != kOk) return knots;
  if (int32_t st = check_tables(*t, 3 * t->nx); st != kOk) return st;
  if (end == kEndPeriodic) {
    const bool ok = is_column_storage(*t)
                        ? all_periodic(*t, Values<T, true>{t->values, function_count(*t)})
                        : all_periodic(*t, Values<T, false>{t->values, function_count(*t)});
    if (!ok) return kNotPeriodic;
  }
  return run_worker<T, KnotQuadraticWorker>(Job<T>{t, end, ends, inner});
}

}  // namespace
}  // namespace zorn::df

using namespace zorn::df;

extern "C" {
int32_t zorn_df_kernel_dDFQuadraticSpline1D(ZornDfTask* task, int64_t, int64_t, int64_t) {
  return quadratic<double>(task);
}
int32_t zorn_df_kernel_sDFQuadraticSpline1D(ZornDfTask* task, int64_t, int64_t, int64_t) {
  return quadratic<float>(task);
}
}
