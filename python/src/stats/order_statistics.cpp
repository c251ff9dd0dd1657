#include "order_statistics.h"

#include "stats/stats_task.h"

namespace zorn_python::stats {

template <class T>
void order_statistics(const T* x, int64_t p, int64_t n, bool variables_in_rows, const T* orders,
                      int64_t m, T* quantiles, T* sorted) {
  int64_t pp = p, count = n, order_count = m;
  int64_t storage = variables_in_rows ? PAVO_SS_STORAGE_ROWS : PAVO_SS_STORAGE_COLUMNS;
  Task<T> task(&pp, &count, &storage, x, nullptr);
  check_status(Calls<T>::edit_quantiles(task.get(), &order_count, const_cast<T*>(orders),
                                      quantiles, sorted, &storage));
  const uint64_t estimates = (quantiles != nullptr ? PAVO_SS_QUANTILES : 0) |
                             (sorted != nullptr ? PAVO_SS_ORDER_STATISTICS : 0);
  check_status(Calls<T>::quantiles(task.get(), estimates, PAVO_SS_METHOD_FAST, nullptr));
}

template void order_statistics(const double*, int64_t, int64_t, bool, const double*, int64_t,
                               double*, double*);
template void order_statistics(const float*, int64_t, int64_t, bool, const float*, int64_t,
                               float*, float*);

}  // namespace zorn_python::stats
