#include "summary_stats/basic_routines.h"

#include <type_traits>

#include "core_interface/sibling.h"

namespace zorn::ss {
namespace {

// Power sums as the fast method, with sum x x^T from the sibling's rank-k update on
// the thread's slice of observations: "t" for variables in rows (an n x p column-major
// matrix), "n" for variables in columns (p x n).
template <int K, bool kRows>
void accumulate_fast_blas(const DataView<double>& data, ThreadWork& work) {
  if constexpr (kRows)
    accumulate_fast_rows<double, K, false, false>(data, work);
  else
    accumulate_fast_columns<double, K, false, false>(data, work);
  MomentState& s = work.state;
  if (s.W == 0) return;
  const int64_t p = data.p;
  const zorn_blas_int order = static_cast<zorn_blas_int>(p);
  const zorn_blas_int k = static_cast<zorn_blas_int>(work.end - work.begin);
  const zorn_blas_int lda = static_cast<zorn_blas_int>(kRows ? data.n : p);
  const double* a = kRows ? data.x + work.begin : data.x + work.begin * p;
  const double one = 1.0;
  sibling::zorn_blas_dsyrk()("U", kRows ? "T" : "N", &order, &k, &one, a, &lda, &one, s.C,
                             &order);
  // C = sum x x^T - W mean mean^T, upper triangle.
  const double minus_w = -s.W;
  const zorn_blas_int inc = 1;
  sibling::zorn_blas_dsyr()("U", &order, &minus_w, s.mean, &inc, s.C, &order);
}

#define ZORN_SS_BY_ORDER(fn, T)                                                      \
  {fn<T, 1, false, false>, fn<T, 1, false, true>, fn<T, 1, true, false>,             \
   fn<T, 1, true, true>,   fn<T, 2, false, false>, fn<T, 2, false, true>,            \
   fn<T, 2, true, false>,  fn<T, 2, true, true>,   fn<T, 3, false, false>,           \
   fn<T, 3, false, true>,  fn<T, 3, true, false>,  fn<T, 3, true, true>,             \
   fn<T, 4, false, false>, fn<T, 4, false, true>,  fn<T, 4, true, false>,            \
   fn<T, 4, true, true>}

template <class T>
struct RoutineTable {
  static constexpr AccumulateFn<T> kBlockedColumns[16] =
      ZORN_SS_BY_ORDER(accumulate_blocked_columns, T);
  static constexpr AccumulateFn<T> kBlockedRows[16] = ZORN_SS_BY_ORDER(accumulate_blocked_rows, T);
  static constexpr AccumulateFn<T> kPointColumns[16] =
      ZORN_SS_BY_ORDER(accumulate_per_observation_columns, T);
  static constexpr AccumulateFn<T> kPointRows[16] =
      ZORN_SS_BY_ORDER(accumulate_per_observation_rows, T);
  static constexpr AccumulateFn<T> kFastColumns[16] = ZORN_SS_BY_ORDER(accumulate_fast_columns, T);
  static constexpr AccumulateFn<T> kFastRows[16] = ZORN_SS_BY_ORDER(accumulate_fast_rows, T);
};
#undef ZORN_SS_BY_ORDER

constexpr AccumulateFn<double> kBlasRoutines[2][4] = {
    {accumulate_fast_blas<1, false>, accumulate_fast_blas<2, false>,
     accumulate_fast_blas<3, false>, accumulate_fast_blas<4, false>},
    {accumulate_fast_blas<1, true>, accumulate_fast_blas<2, true>,
     accumulate_fast_blas<3, true>, accumulate_fast_blas<4, true>}};

}  // namespace

template <class T>
AccumulateFn<T> choose_accumulation(BasicMethod method, bool rows, bool weighted, bool matrix,
                                    int order, bool blas) {
  const int k = order < 1 ? 1 : order;
  if constexpr (std::is_same_v<T, double>)
    if (method == BasicMethod::kFast && blas) return kBlasRoutines[rows][k - 1];
  const int index = (k - 1) * 4 + (weighted ? 2 : 0) + (matrix ? 1 : 0);
  using Table = RoutineTable<T>;
  switch (method) {
    case BasicMethod::kBlocked:
      return rows ? Table::kBlockedRows[index] : Table::kBlockedColumns[index];
    case BasicMethod::kPerObservation:
      return rows ? Table::kPointRows[index] : Table::kPointColumns[index];
    case BasicMethod::kFast:
      return rows ? Table::kFastRows[index] : Table::kFastColumns[index];
    case BasicMethod::kFromSums:
      break;
  }
  return nullptr;
}

template AccumulateFn<double> choose_accumulation<double>(BasicMethod, bool, bool, bool, int,
                                                          bool);
template AccumulateFn<float> choose_accumulation<float>(BasicMethod, bool, bool, bool, int,
                                                        bool);

}  // namespace zorn::ss
