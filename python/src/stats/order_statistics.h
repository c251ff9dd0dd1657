// Order-based estimates over one data set (they do not continue across portions).
#pragma once

#include <cstdint>

namespace zorn_python::stats {

// Quantiles of `m` orders (written (p, m), variable after variable) and/or the sorted
// observations (same layout as x) of n observations of p variables; null outputs are
// not computed.
template <class T>
void order_statistics(const T* x, int64_t p, int64_t n, bool variables_in_rows, const T* orders,
                      int64_t m, T* quantiles, T* sorted);

}  // namespace zorn_python::stats
