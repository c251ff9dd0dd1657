/* Summary statistics: tasks that describe a data set by the addresses of the caller's
 * variables and arrays, and the computations of moments, covariance, correlation,
 * minimum, maximum, quantiles and order statistics over it.
 *
 * A task stores addresses, never values: each computation reads the current values.
 * Integer parameters are 32-bit or 64-bit signed, as chosen at task creation; they are
 * passed as untyped addresses. Every function returns 0 or a negative status. */
#ifndef ZORN_SS_H
#define ZORN_SS_H

#include <stdint.h>

#include "zorn/export.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef struct PavoSSTask* PAVO_SS_TASK;

/* ---- observation and matrix storage codes ---- */
#define PAVO_SS_STORAGE_ROWS 0x10000    /* variable i, observation j at x[i*n + j] */
#define PAVO_SS_STORAGE_COLUMNS 0x20000 /* at x[j*p + i] */
#define PAVO_SS_MATRIX_FULL 0x0         /* p*p, row-major, both triangles written */
#define PAVO_SS_MATRIX_PACKED 0x2       /* upper triangle, row by row: (0,0..p-1), (1,1..p-1), ... */

/* ---- estimate mask bits ---- */
#define PAVO_SS_MEAN 0x1ULL
#define PAVO_SS_RAW_MOMENT_2 0x2ULL
#define PAVO_SS_RAW_MOMENT_3 0x4ULL
#define PAVO_SS_RAW_MOMENT_4 0x8ULL
#define PAVO_SS_CENTRAL_MOMENT_2 0x10ULL
#define PAVO_SS_CENTRAL_MOMENT_3 0x20ULL
#define PAVO_SS_CENTRAL_MOMENT_4 0x40ULL
#define PAVO_SS_KURTOSIS 0x80ULL
#define PAVO_SS_SKEWNESS 0x100ULL
#define PAVO_SS_VARIATION 0x200ULL
#define PAVO_SS_MINIMUM 0x400ULL
#define PAVO_SS_MAXIMUM 0x800ULL
#define PAVO_SS_COVARIANCE 0x1000ULL
#define PAVO_SS_CORRELATION 0x2000ULL
#define PAVO_SS_QUANTILES 0x10000ULL
#define PAVO_SS_ORDER_STATISTICS 0x20000ULL
#define PAVO_SS_SUM_1 0x2000000ULL
#define PAVO_SS_RAW_SUM_2 0x4000000ULL
#define PAVO_SS_RAW_SUM_3 0x8000000ULL
#define PAVO_SS_RAW_SUM_4 0x10000000ULL
#define PAVO_SS_CENTRAL_SUM_2 0x20000000ULL
#define PAVO_SS_CENTRAL_SUM_3 0x40000000ULL
#define PAVO_SS_CENTRAL_SUM_4 0x80000000ULL
#define PAVO_SS_CROSS_PRODUCT 0x100000000ULL

/* ---- method word ---- */
#define PAVO_SS_METHOD_FAST 0x1         /* central statistics from raw moments */
#define PAVO_SS_METHOD_ONE_PASS 0x2     /* blocked one-pass update of central sums */
#define PAVO_SS_METHOD_ONE_PASS_OBS 0x100 /* one-pass update, observation by observation */
#define PAVO_SS_METHOD_FROM_SUMS 0x200  /* moments from the stored sums, no data read */
#define PAVO_SS_METHOD_FROM_SUMS_ALT 0x400 /* the same as 0x200 */

/* ---- parameter identifiers of the editors ---- */
enum {
  PAVO_SS_ID_DIMENSION = 1, PAVO_SS_ID_OBSERVATION_COUNT = 2, PAVO_SS_ID_OBSERVATIONS = 3,
  PAVO_SS_ID_OBSERVATION_STORAGE = 4, PAVO_SS_ID_SELECTION = 5, PAVO_SS_ID_WEIGHTS = 6,
  PAVO_SS_ID_MEAN = 7, PAVO_SS_ID_RAW_MOMENT_2 = 8, PAVO_SS_ID_RAW_MOMENT_3 = 9,
  PAVO_SS_ID_RAW_MOMENT_4 = 10, PAVO_SS_ID_CENTRAL_MOMENT_2 = 11,
  PAVO_SS_ID_CENTRAL_MOMENT_3 = 12, PAVO_SS_ID_CENTRAL_MOMENT_4 = 13, PAVO_SS_ID_KURTOSIS = 14,
  PAVO_SS_ID_SKEWNESS = 15, PAVO_SS_ID_MINIMUM = 16, PAVO_SS_ID_MAXIMUM = 17,
  PAVO_SS_ID_VARIATION = 18, PAVO_SS_ID_COVARIANCE = 19, PAVO_SS_ID_COVARIANCE_STORAGE = 20,
  PAVO_SS_ID_CORRELATION = 21, PAVO_SS_ID_CORRELATION_STORAGE = 22,
  PAVO_SS_ID_ACCUMULATED_WEIGHTS = 23, PAVO_SS_ID_QUANTILE_ORDER_COUNT = 24,
  PAVO_SS_ID_QUANTILE_ORDERS = 25, PAVO_SS_ID_QUANTILES = 26,
  PAVO_SS_ID_ORDER_STATISTICS = 27, PAVO_SS_ID_ORDER_STATISTICS_STORAGE = 44,
  PAVO_SS_ID_SUM_1 = 67, PAVO_SS_ID_RAW_SUM_2 = 68, PAVO_SS_ID_RAW_SUM_3 = 69,
  PAVO_SS_ID_RAW_SUM_4 = 70, PAVO_SS_ID_CENTRAL_SUM_2 = 71, PAVO_SS_ID_CENTRAL_SUM_3 = 72,
  PAVO_SS_ID_CENTRAL_SUM_4 = 73, PAVO_SS_ID_CROSS_PRODUCT = 74,
  PAVO_SS_ID_CROSS_PRODUCT_STORAGE = 75
};

/* ---- task creation, editing and deletion ---- */
ZORN_API int32_t __pavodSSNewTask(PAVO_SS_TASK* task, const void* p, const void* n,
                                  const void* storage, const double* x, const double* weights,
                                  const void* selection, int32_t integer_width);
ZORN_API int32_t __pavosSSNewTask(PAVO_SS_TASK* task, const void* p, const void* n,
                                  const void* storage, const float* x, const float* weights,
                                  const void* selection, int32_t integer_width);
ZORN_API int32_t __pavodSSEditTask(PAVO_SS_TASK task, int32_t id, double* address);
ZORN_API int32_t __pavosSSEditTask(PAVO_SS_TASK task, int32_t id, float* address);
ZORN_API int32_t __pavoiSSEditTask(PAVO_SS_TASK task, int32_t id, const void* address);
ZORN_API int32_t __pavoSSDeleteTask(PAVO_SS_TASK* task);

/* Group editors: every non-null address is stored, a null one leaves its field as it is.
 * The single-precision twins take float arrays. Integer parameters are untyped. */
#define PAVO_SS_GROUP_EDITORS(L, R)                                                          \
  ZORN_API int32_t __pavo##L##SSEditMoments(PAVO_SS_TASK task, R* mean, R* raw2,  \
                                            R* raw3, R* raw4, R* central2,  \
                                            R* central3, R* central4);            \
  ZORN_API int32_t __pavo##L##SSEditSums(PAVO_SS_TASK task, R* sum, R* raw2,      \
                                         R* raw3, R* raw4, R* central2,     \
                                         R* central3, R* central4);               \
  ZORN_API int32_t __pavo##L##SSEditCovCor(PAVO_SS_TASK task, R* mean, R* cov,    \
                                           const void* cov_storage, R* cor,             \
                                           const void* cor_storage);                          \
  ZORN_API int32_t __pavo##L##SSEditCP(PAVO_SS_TASK task, R* mean, R* sum,        \
                                       R* cross_product, const void* cp_storage);       \
  ZORN_API int32_t __pavo##L##SSEditQuantiles(PAVO_SS_TASK task, const void* order_count,     \
                                              R* orders, R* quantiles,            \
                                              R* order_stats,                           \
                                              const void* order_stats_storage);               \
  ZORN_API int32_t __pavo##L##SSEditStreamQuantiles(PAVO_SS_TASK task,                        \
                                                    const void* order_count,                  \
                                                    R* orders, R* quantiles,      \
                                                    const void* param_count,                  \
                                                    R* params);                         \
  ZORN_API int32_t __pavo##L##SSEditPooledCovariance(                                         \
      PAVO_SS_TASK task, const void* group_indices, R* pooled_mean,                     \
      R* pooled_cov, const void* group_flags, R* group_means,                     \
      R* group_covs);                                                                   \
  ZORN_API int32_t __pavo##L##SSEditMissingVals(                                              \
      PAVO_SS_TASK task, const void* param_count, R* params,                            \
      const void* init_estimate_count, R* init_estimates, const void* prior_count,      \
      R* prior, const void* simulation_count, R* simulations,                     \
      const void* estimate_count, R* estimates);                                        \
  ZORN_API int32_t __pavo##L##SSEditOutDetect(PAVO_SS_TASK task, const void* param_count,     \
                                              R* params, R* outlier_weights);     \
  ZORN_API int32_t __pavo##L##SSEditRCov(PAVO_SS_TASK task, const void* rcov_storage,         \
                                         const void* param_count, R* params,            \
                                         R* robust_mean, R* robust_cov);          \
  ZORN_API int32_t __pavo##L##SSEditPartialCovCor(                                            \
      PAVO_SS_TASK task, const void* indices, R* cov, const void* cov_storage,          \
      R* cor, const void* cor_storage, R* partial_cov,                            \
      const void* partial_cov_storage, R* partial_cor,                                  \
      const void* partial_cor_storage);                                                       \
  ZORN_API int32_t __pavo##L##SSEditMtxParametrz(PAVO_SS_TASK task, R* cor,             \
                                                 const void* cor_storage,                     \
                                                 R* param_cor,                          \
                                                 const void* param_cor_storage);
PAVO_SS_GROUP_EDITORS(d, double)
PAVO_SS_GROUP_EDITORS(s, float)
#undef PAVO_SS_GROUP_EDITORS

/* ---- computations; `threading` is the caller's threading service table ---- */
ZORN_API int32_t _pavodSSBasic(PAVO_SS_TASK task, uint64_t estimates, int32_t method,
                               void* const* threading);
ZORN_API int32_t _pavosSSBasic(PAVO_SS_TASK task, uint64_t estimates, int32_t method,
                               void* const* threading);
ZORN_API int32_t _pavodSSMinmax(PAVO_SS_TASK task, uint64_t estimates, int32_t method);
ZORN_API int32_t _pavosSSMinmax(PAVO_SS_TASK task, uint64_t estimates, int32_t method);
ZORN_API int32_t _pavodSSQuantiles(PAVO_SS_TASK task, uint64_t estimates, int32_t method,
                                   void* const* threading);
ZORN_API int32_t _pavosSSQuantiles(PAVO_SS_TASK task, uint64_t estimates, int32_t method,
                                   void* const* threading);

/* ---- sorting ---- */
ZORN_API void __pavodQSort(int64_t count, double* array);
ZORN_API void __pavosQSort(int64_t count, float* array);
/* Sorts array[0], array[stride], ..., array[(count-1)*stride] in place. */
ZORN_API void __pavodQSortStep(int64_t count, double* array, int64_t stride);
ZORN_API void __pavosQSortStep(int64_t count, float* array, int64_t stride);
/* Rearranges the array and returns its k-th smallest element (k from 0). */
ZORN_API double __pavodQSortSelect(int64_t count, double* array, int64_t k);
ZORN_API float __pavosQSortSelect(int64_t count, float* array, int64_t k);

#ifdef __cplusplus
}
#endif
#endif
