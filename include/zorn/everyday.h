/* Everyday one-call helpers over the task interfaces: moments of a data matrix, and a
 * cubic spline built and evaluated in one call. Header-only: they add no exported
 * symbol and call only the public functions of ss.h and df.h, on the calling thread
 * (no threading service is passed).
 *
 * Every helper returns 0 or the negative status of the first call that failed (its
 * name and meaning: zorn_status_name / zorn_status_text of zorn/status.h, subsystem
 * ZORN_SUBSYSTEM_SS or ZORN_SUBSYSTEM_DF). Draws from a stream need no helper: the
 * distribution calls of pavo.h (_pavodRngUniform, _pavoiRngUniform, ...) take any
 * stream. */
#ifndef ZORN_EVERYDAY_H
#define ZORN_EVERYDAY_H

#include <stdint.h>
#include <stdlib.h>

#include "zorn/df.h"
#include "zorn/ss.h"
#include "zorn/status.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Mean, variance and covariance of p variables observed n times; variable i of
 * observation j is x[j*p + i] (one observation after another, as a C matrix of n rows
 * and p columns). Variances and covariances divide by n - 1. Any of mean, variance
 * (p values each) and covariance (p*p, row-major) may be null; n >= 2. */
static inline int32_t zorn_moments(int64_t p, int64_t n, const double* x, double* mean,
                                   double* variance, double* covariance) {
  const int64_t storage = PAVO_SS_STORAGE_COLUMNS, matrix = PAVO_SS_MATRIX_FULL;
  /* The task keeps the raw second moment beside the variance, and needs a mean. The
   * result arrays carry a running state from call to call, so they start at zero. */
  const size_t m = (size_t)(p > 0 ? p : 1);
  double* scratch = (double*)calloc(2 * m, sizeof(double));
  double* own_mean = mean != NULL ? mean : scratch + m;
  PAVO_SS_TASK task = NULL;
  uint64_t estimates = PAVO_SS_MEAN;
  int32_t status;
  size_t i;
  if (scratch == NULL) return PAVO_SS_STATUS_NO_MEMORY;
  for (i = 0; p > 0 && i < (size_t)p; ++i) {
    own_mean[i] = 0.0;
    if (variance != NULL) variance[i] = 0.0;
  }
  for (i = 0; covariance != NULL && p > 0 && i < (size_t)p * (size_t)p; ++i) covariance[i] = 0.0;
  status = __pavodSSNewTask(&task, &p, &n, &storage, x, NULL, NULL, 1);
  if (status == 0)
    status = __pavodSSEditMoments(task, own_mean, scratch, NULL, NULL, variance, NULL, NULL);
  if (status == 0 && covariance != NULL)
    status = __pavodSSEditCovCor(task, own_mean, covariance, &matrix, NULL, NULL);
  if (variance != NULL) estimates |= PAVO_SS_CENTRAL_MOMENT_2;
  if (covariance != NULL) estimates |= PAVO_SS_COVARIANCE;
  if (status == 0) status = _pavodSSBasic(task, estimates, PAVO_SS_METHOD_ONE_PASS, NULL);
  __pavoSSDeleteTask(&task);
  free(scratch);
  return status;
}

/* The cubic spline through (x[i], y[i]), i = 0 ... nx-1 (x ascending, nx >= 4), with
 * not-a-knot ends, evaluated at nsite sites in any order: result[k*nsite + i] is its
 * derivative of order k (0 ... nderiv, nderiv <= 3) at sites[i]. Sites outside
 * [x[0], x[nx-1]] take the end cells' polynomials. */
static inline int32_t zorn_cubic_spline(int64_t nx, const double* x, const double* y,
                                        int64_t nsite, const double* sites, int32_t nderiv,
                                        double* result) {
  const int32_t flags[4] = {1, 1, 1, 1};
  ZornDfTask* task = NULL;
  double* coefficients;
  int32_t status;
  if (nderiv < 0 || nderiv > 3) return ZORN_DF_STATUS_BAD_METHOD;
  if (nx < 2) return ZORN_DF_STATUS_BAD_NODE_COUNT;
  coefficients = (double*)malloc(sizeof(double) * 4 * (size_t)(nx - 1));
  if (coefficients == NULL) return ZORN_DF_STATUS_NO_MEMORY;
  status = zorn_df_kernel_dNewTask1D(&task, nx, x, ZORN_DF_PARTITION_NON_UNIFORM, 1, y,
                                     ZORN_DF_STORAGE_ROWS, 1);
  if (status == 0)
    status = zorn_df_kernel_dEditPPSpline1D(task, ZORN_DF_ORDER_CUBIC, ZORN_DF_KIND_DEFAULT,
                                            ZORN_DF_END_NOT_A_KNOT, NULL, ZORN_DF_INNER_NONE,
                                            NULL, coefficients, ZORN_DF_STORAGE_ROWS);
  if (status == 0) status = zorn_df_kernel_dDFNaturalCubicSpline1D(task, 0, 0, 0);
  if (status == 0)
    status = zorn_df_kernel_dDFInterpolate1D(
        task, ZORN_DF_TYPE_SEARCH, 0, nsite, sites, 0, nderiv + 1, flags, NULL, result,
        ZORN_DF_RESULT_FUNCTION_ORDER_SITE, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL,
        NULL, NULL);
  zorn_df_kernel_DeleteTask(&task);
  free(coefficients);
  return status;
}

#ifdef __cplusplus
}
#endif
#endif
