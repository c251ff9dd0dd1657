#include "order_statistics.h"

#include "stats/stats_task.h"

namespace zorn_python::stats {

void order_statistics(const double* x, int64_t p, int64_t n, bool variables_in_rows,
                      const double* orders, int64_t m, double* quantiles, double* sorted) {
  int64_t pp = p, count = n, order_count = m;
  int64_t storage = variables_in_rows ? PAVO_SS_STORAGE_ROWS : PAVO_SS_STORAGE_COLUMNS;
  Task task(&pp, &count, &storage, x, nullptr);
  check_status(__pavodSSEditQuantiles(task.get(), &order_count, const_cast<double*>(orders),
                                      quantiles, sorted, &storage));
  const uint64_t estimates = (quantiles != nullptr ? PAVO_SS_QUANTILES : 0) |
                             (sorted != nullptr ? PAVO_SS_ORDER_STATISTICS : 0);
  check_status(_pavodSSQuantiles(task.get(), estimates, PAVO_SS_METHOD_FAST, nullptr));
}

}  // namespace zorn_python::stats
