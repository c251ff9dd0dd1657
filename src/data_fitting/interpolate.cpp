// Interpolation: the cells of the sites, then each piece's value and derivatives.
#include <algorithm>
#include <atomic>
#include <cmath>
#include <utility>

#include "data_fitting/construct_common.h"
#include "data_fitting/search_plan.h"

namespace zorn::df {
namespace {

enum EvaluationKind : int {
  kEvalLinear = 0,
  kEvalQuadratic = 1,
  kEvalCubic = 2,
  kEvalKnotQuadratic = 3,
  kEvalCallerFunctions = 4,
  kEvalStepNext = 5,
  kEvalStepPrevious = 6,
  kEvalLookup = 7,
};

int evaluation_kind(int64_t order, int64_t kind) {
  switch (order) {
    case ZORN_DF_ORDER_TABLE:
      return kind == ZORN_DF_KIND_LOOKUP       ? kEvalLookup
             : kind == ZORN_DF_KIND_STEP_LEFT  ? kEvalStepPrevious
             : kind == ZORN_DF_KIND_STEP_RIGHT ? kEvalStepNext
                                               : kEvalCallerFunctions;
    case 1: return -1;
    case ZORN_DF_ORDER_LINEAR: return kEvalLinear;
    case ZORN_DF_ORDER_QUADRATIC:
      return kind == ZORN_DF_KIND_KNOT_QUADRATIC ? kEvalKnotQuadratic : kind == ZORN_DF_KIND_DEFAULT ? kEvalQuadratic : -1;
    case ZORN_DF_ORDER_CUBIC: return (kind == 0 || (kind >= 2 && kind <= 5) || kind == 9) ? kEvalCubic : -1;
    default: return order < 0 ? -1 : kEvalCallerFunctions;
  }
}

// A look-up site on a uniform partition may miss its node by this much (2^-40).
constexpr double kLookupTolerance = 9.094947017729282e-13;

// Where result (function j, site i, q-th requested order) goes.
struct Layout {
  int64_t function, site, order;
  static bool make(int64_t hint, int64_t nf, int64_t nsite, int64_t nd, Layout& l) {
    switch (hint) {
      case 0: case ZORN_DF_RESULT_FUNCTION_SITE_ORDER: case 128: l = {nsite * nd, nd, 1}; return true;
      case ZORN_DF_RESULT_SITE_FUNCTION_ORDER: l = {nd, nf * nd, 1}; return true;
      case ZORN_DF_RESULT_FUNCTION_ORDER_SITE: l = {nd * nsite, 1, nsite}; return true;
      case ZORN_DF_RESULT_ORDER_FUNCTION_SITE: l = {nsite, 1, nf * nsite}; return true;
      default: return false;
    }
  }
};

// The requested derivative orders below four (no piece has more coefficients), with
// their position among all requested orders; nd counts every requested order.
struct Orders {
  int64_t nd = 0;
  int count = 0;
  int order[4];
  int64_t slot[4];
  static Orders make(int64_t nflags, const int32_t* flags) {
    Orders o;
    if (flags == nullptr) return o;
    for (int64_t k = 0; k < nflags; ++k) {
      if (flags[k] == 0) continue;
      if (k < 4) {
        o.order[o.count] = int(k);
        o.slot[o.count++] = o.nd;
      }
      ++o.nd;
    }
    return o;
  }
};

template <class T>
struct Evaluation {
  const Task* task;
  int kind;
  SearchPlan<T> plan;
  SiteSource<T> sites;
  bool caller_cells;
  void* cells;  // the caller's, 32- or 64-bit, or null
  T* result;
  Layout layout;
  Orders orders;
  std::atomic<int32_t> status{kOk};
};

// j!/(j-k)!, the factor of c_j in the k-th derivative of c_j d^j.
constexpr int kFalling[4][4] = {{1, 0, 0, 0}, {1, 1, 0, 0}, {1, 2, 2, 0}, {1, 3, 6, 6}};

// d^k/dt^k of sum c_j d^j, j < K, by Horner.
template <class T, int K>
inline T derivative(const T* c, T d, int k) {
  if (k >= K) return T(0);
  T acc = T(kFalling[K - 1][k]) * c[K - 1];
  for (int j = K - 2; j >= k; --j) acc = acc * d + T(kFalling[j][k]) * c[j];
  return acc;
}

template <class T, bool kUniform>
struct Pieces {
  const Task& t;
  Grid<T, kUniform> g;
  // The piece of cell c: sites left of the partition use the first, sites at or beyond
  // its right end the last.
  int64_t piece(int64_t c) const {
    int64_t i = (c < 1 ? 1 : c) - 1;
    if (c >= t.nx) i = t.nx - 2;
    return i;
  }
  // Knot k of the quadratic with knots between the nodes.
  T knot(int64_t k, const T* inner) const {
    if (k == 0) return g.node(0);
    if (k == t.nx) return g.node(t.nx - 1);
    return inner != nullptr ? inner[k] : (g.node(k - 1) + g.node(k)) / T(2);
  }
};

// One derivative order k of piecewise polynomials of K coefficients per cell: the loop
// of the most frequent call, with the order's factors known to the compiler (the same
// operations as the general loop below).
template <int K, int k, class T, bool kUniform>
void single_order_block(const T* coef, const Pieces<T, kUniform>& p, int64_t n, const T* sites,
                        const int64_t* cells, T* r, int64_t stride) {
  for (int64_t s = 0; s < n; ++s) {
    const int64_t i = p.piece(cells[s]);
    r[s * stride] = derivative<T, K>(coef + K * i, sites[s] - p.g.node(i), k);
  }
}

template <int K, class T, bool kUniform, int... k>
bool single_order(const T* coef, const Pieces<T, kUniform>& p, int order, int64_t n,
                  const T* sites, const int64_t* cells, T* r, int64_t stride,
                  std::integer_sequence<int, k...>) {
  return ((order == k && (single_order_block<K, k>(coef, p, n, sites, cells, r, stride), true)) || ...);
}

// Piecewise polynomials of K coefficients per cell: the whole block, kind fixed.
template <int K, class T, bool kUniform>
void polynomial_block(const Evaluation<T>& e, const Pieces<T, kUniform>& p, int64_t j,
                      int64_t first, int64_t n, const T* sites, const int64_t* cells) {
  const T* coef = coefficient_block<T>(*e.task, j);
  const Orders& o = e.orders;
  const int64_t order_stride = e.layout.order;
  T* r = e.result + j * e.layout.function + first * e.layout.site;
  if (o.count == 1 && single_order<K>(coef, p, o.order[0], n, sites, cells, r + o.slot[0] * order_stride,
                                      e.layout.site, std::make_integer_sequence<int, K>()))
    return;
  for (int64_t s = 0; s < n; ++s, r += e.layout.site) {
    const int64_t i = p.piece(cells[s]);
    const T d = sites[s] - p.g.node(i);
    const T* ci = coef + K * i;
    for (int q = 0; q < o.count; ++q) r[o.slot[q] * order_stride] = derivative<T, K>(ci, d, o.order[q]);
  }
}

template <class T, bool kColumns, bool kUniform>
void evaluate_block(Evaluation<T>& e, int64_t first, int64_t n, const T* sites,
                    const int64_t* cells) {
  const Task& t = *e.task;
  const Pieces<T, kUniform> p{t, Grid<T, kUniform>::make(static_cast<const T*>(t.x), t.nx)};
  const Values<T, kColumns> v{t.values, function_count(t)};
  const T* inner = (t.inner_kind & ZORN_DF_INNER_KNOTS) != 0 ? static_cast<const T*>(t.inner) : nullptr;
  const int64_t nf = function_count(t);
  const bool zero_fill = e.orders.nd > e.orders.count;
  if (zero_fill) {
    for (int64_t j = 0; j < nf; ++j)
      for (int64_t s = 0; s < n; ++s) {
        T* r = e.result + j * e.layout.function + (first + s) * e.layout.site;
        for (int64_t q = 0; q < e.orders.nd; ++q) r[q * e.layout.order] = T(0);
      }
  }
  if (e.kind <= kEvalCubic) {
    for (int64_t j = 0; j < nf; ++j) {
      if (e.kind == kEvalLinear) polynomial_block<2>(e, p, j, first, n, sites, cells);
      else if (e.kind == kEvalQuadratic) polynomial_block<3>(e, p, j, first, n, sites, cells);
      else polynomial_block<4>(e, p, j, first, n, sites, cells);
    }
    return;
  }
  for (int64_t j = 0; j < nf; ++j) {
    const T* coef = e.kind <= kEvalKnotQuadratic ? coefficient_block<T>(t, j) : nullptr;
    for (int64_t s = 0; s < n; ++s) {
      T* r = e.result + j * e.layout.function + (first + s) * e.layout.site;
      const T site = sites[s];
      const int64_t c = cells[s];
      auto put = [&](auto&& value_of_order) {
        for (int q = 0; q < e.orders.count; ++q)
          r[e.orders.slot[q] * e.layout.order] = value_of_order(e.orders.order[q]);
      };
      auto constant = [&](T y) { put([&](int k) { return k == 0 ? y : T(0); }); };
      switch (e.kind) {
        case kEvalKnotQuadratic: {
          // Node cell c holds knot c; the site lies in the knot cell on its side.
          const int64_t cc = c < 0 ? 0 : (c > t.nx ? t.nx : c);
          int64_t i = cc == 0 ? 0 : (cc >= t.nx ? t.nx - 1 : (site < p.knot(cc, inner) ? cc - 1 : cc));
          const T d = site - p.knot(i, inner);
          put([&](int k) { return derivative<T, 3>(coef + 3 * i, d, k); });
          break;
        }
        case kEvalStepPrevious: {
          // [x[i], x[i+1]) takes y[i]; the right end itself takes y[nx-1].
          const int64_t cc = c < 1 ? 1 : (c > t.nx ? t.nx : c);
          const int64_t node = cc - 1 + (site == p.g.node(t.nx - 1) ? 1 : 0);
          constant(v.at(j, node < t.nx ? node : t.nx - 1));
          break;
        }
        case kEvalStepNext: {
          // (x[i], x[i+1]] takes y[i+1]; x[0] and the sites left of it take y[0].
          const int64_t cc = c < 0 ? 0 : (c > t.nx ? t.nx : c);
          int64_t node = cc >= t.nx ? t.nx - 1 : cc;
          if (cc >= 1 && cc < t.nx && site == p.g.node(cc - 1)) node = cc - 1;
          constant(v.at(j, node));
          break;
        }
        case kEvalLookup: {
          int64_t node = -1;
          for (int64_t k = c - 1; k <= c && c >= 1; ++k) {
            if (k > t.nx - 1) break;
            const T xk = p.g.node(k);
            const bool hit = kUniform ? std::fabs(double(site) - double(xk)) <= kLookupTolerance
                                      : site == xk;
            if (hit) { node = k; break; }
          }
          if (node < 0) {
            e.status.store(kSiteNotANode, std::memory_order_relaxed);
            return;
          }
          constant(v.at(j, node));
          break;
        }
        default: break;
      }
    }
  }
}

template <class T>
void run_block(Evaluation<T>& e, int64_t first, int64_t n, int64_t& state) {
  if (e.status.load(std::memory_order_relaxed) < 0) return;
  T buffer[kSiteBlock];
  int64_t found[kSiteBlock];
  const T* sites = e.sites.block(first, n, buffer);
  const bool wide = e.task->integer_width != 0;
  if (e.caller_cells) {
    for (int64_t i = 0; i < n; ++i)
      found[i] = wide ? static_cast<const int64_t*>(e.cells)[first + i]
                      : static_cast<const int32_t*>(e.cells)[first + i];
  } else {
    const int32_t st = search_block(e.plan, n, sites, found, state);
    if (st < 0) {
      e.status.store(st, std::memory_order_relaxed);
      return;
    }
    if (e.cells != nullptr) store_cells(e.cells, wide, first, n, found);
  }
  if (e.orders.nd == 0) return;  // only the cells were asked for
  using Fn = void (*)(Evaluation<T>&, int64_t, int64_t, const T*, const int64_t*);
  static constexpr Fn kWorkers[2][2] = {
      {&evaluate_block<T, false, false>, &evaluate_block<T, false, true>},
      {&evaluate_block<T, true, false>, &evaluate_block<T, true, true>}};
  kWorkers[is_column_storage(*e.task)][is_uniform(*e.task)](e, first, n, sites, found);
}

template <class T>
int32_t interpolate(Task* t, int64_t type, int64_t nsite, const T* sites, int64_t site_hint,
                    int64_t nflags, const int32_t* flags, const T* data_hint, T* result,
                    int64_t result_hint, void* cells, UserSearchFn<T> search, void* search_param,
                    void* const* threading) {
  if (t == nullptr) return kNullTask;
  const int kind = evaluation_kind(t->spline_order, t->spline_kind);
  // Evaluation by the caller's own functions is not offered.
  if (kind < 0 || kind == kEvalCallerFunctions) return kBadSplineKind;
  const bool caller_cells = type == ZORN_DF_TYPE_CALLER_CELLS;
  Evaluation<T> e;
  if (!caller_cells) {
    if (int32_t st = choose_search(*t, site_hint, data_hint, search, search_param, e.plan); st != kOk)
      return st;
  }
  const Orders orders = Orders::make(nflags, flags);
  Layout layout;
  // No site needs no layout: a count at or below zero never enters its products.
  if (!Layout::make(result_hint, function_count(*t), std::max<int64_t>(nsite, 0), orders.nd, layout))
    return kBadResultHint;
  if (nsite <= 0) return kOk;
  if (sites == nullptr || (orders.nd > 0 && result == nullptr) || (caller_cells && cells == nullptr))
    return kNullResult;
  if (kind <= kEvalKnotQuadratic) {
    const int64_t block = coefficient_block_length(t->spline_order, kind == kEvalKnotQuadratic ? 1 : 0, t->nx);
    if (int32_t st = check_tables(*t, block); st != kOk) return st;
  } else if (int32_t st = check_tables(*t, 0); st == kNullValues) {
    return st;
  }
  e.task = t;
  e.kind = kind;
  e.sites = SiteSource<T>::make(sites, nsite, site_hint);
  e.caller_cells = caller_cells;
  e.cells = cells;
  e.result = result;
  e.layout = layout;
  e.orders = orders;
  int64_t state = 0;
  const bool may_split = caller_cells ? t->nx > kHybridWindow : e.plan.may_split();
  // Only the sorted search reads the state, and it never runs split.
  for_site_blocks(nsite, kSiteBlock, may_split, threading, [&](int64_t first, int64_t n) {
    int64_t block_state = 0;
    run_block(e, first, n, may_split ? block_state : state);
  });
  return e.status.load();
}

}  // namespace
}  // namespace zorn::df

using namespace zorn::df;

extern "C" {

int32_t zorn_df_kernel_dDFInterpolate1D(ZornDfTask* task, int64_t type, int64_t, int64_t nsite,
                                        const double* sites, int64_t site_hint, int64_t nflags,
                                        const int32_t* flags, const double* data_hint,
                                        double* result, int64_t result_hint, void* cells,
                                        zorn_df_user_fn, void*, zorn_df_user_fn, void*,
                                        zorn_df_user_fn, void*, zorn_df_dsearch_fn search,
                                        void* search_param, void* const* threading) {
  return interpolate(task, type, nsite, sites, site_hint, nflags, flags, data_hint, result,
                     result_hint, cells, search, search_param, threading);
}

int32_t zorn_df_kernel_sDFInterpolate1D(ZornDfTask* task, int64_t type, int64_t, int64_t nsite,
                                        const float* sites, int64_t site_hint, int64_t nflags,
                                        const int32_t* flags, const float* data_hint,
                                        float* result, int64_t result_hint, void* cells,
                                        zorn_df_user_fn, void*, zorn_df_user_fn, void*,
                                        zorn_df_user_fn, void*, zorn_df_ssearch_fn search,
                                        void* search_param, void* const* threading) {
  return interpolate(task, type, nsite, sites, site_hint, nflags, flags, data_hint, result,
                     result_hint, cells, search, search_param, threading);
}

}  // extern "C"
