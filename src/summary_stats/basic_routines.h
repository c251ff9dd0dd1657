// Choosing the accumulation routine of a basic-statistics call, once per call.
#pragma once

#include "summary_stats/basic_plan.h"
#include "summary_stats/moment_accumulate.h"

namespace zorn::ss {

template <class T>
using AccumulateFn = void (*)(const DataView<T>&, ThreadWork&);

// The routine for the method, layout, weights, matrix and order (1 to 4). `blas` asks
// for the fast method's cross-products through one rank-k update per thread (double
// precision, unit weights, p > 1 only).
template <class T>
AccumulateFn<T> choose_accumulation(BasicMethod method, bool rows, bool weighted, bool matrix,
                                    int order, bool blas);

}  // namespace zorn::ss
