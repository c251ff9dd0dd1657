// The summary-statistics task record: the addresses of the caller's parameters and
// result arrays, plus the little state a task owns (release list, work buffer).
#pragma once

#include <cstddef>
#include <cstdint>

#include "zorn/ss.h"

// A function called with the task when it is deleted, in registration order.
using PavoSSReleaseFn = void (*)(PavoSSTask*);

struct PavoSSTask {
  int32_t integer_width;  // 0: integer parameters are 32-bit; otherwise 64-bit
  uint8_t task_kind;      // always kTaskKind
  int32_t precision;      // 1 double, 0 single
  const void* p;
  const void* n;
  const void* selection;
  const void* x;
  const void* weights;
  void* accumulated_weights;
  const void* storage;
  void* param_correlation;
  const void* param_correlation_storage;
  void* mean;
  void* raw_moment[3];      // orders 2, 3, 4
  void* central_moment[3];  // orders 2, 3, 4
  void* sum1;
  void* raw_sum[3];
  void* central_sum[3];
  void* kurtosis;
  void* skewness;
  void* variation;
  void* minimum;
  void* maximum;
  const void* covariance_storage;
  void* covariance;
  const void* correlation_storage;
  void* correlation;
  const void* cross_product_storage;
  void* cross_product;
  const void* group_indices;
  const void* group_flags;
  void* group_means;
  void* group_covariances;
  const void* group_covariance_storage;
  void* pooled_mean;
  void* pooled_covariance;
  const void* pooled_covariance_storage;
  const void* quantile_order_count;
  const void* quantile_orders;
  void* quantiles;
  void* order_statistics;
  const void* order_statistics_storage;
  const void* stream_order_count;
  const void* stream_orders;
  void* stream_quantiles;
  void* stream_state;
  const void* stream_param_count;
  const void* stream_params;
  void* mean_abs_deviation;
  void* median_abs_deviation;
  const void* robust_param_count;
  const void* robust_params;
  void* robust_mean;
  void* robust_covariance;
  const void* robust_covariance_storage;
  const void* outlier_param_count;
  const void* outlier_params;
  void* outlier_weights;
  const void* partial_indices;
  void* partial_covariance;
  const void* partial_covariance_storage;
  void* partial_correlation;
  const void* partial_correlation_storage;
  const void* missing_param_count;
  const void* missing_params;
  const void* initial_estimate_count;
  const void* initial_estimates;
  const void* prior_count;
  const void* prior;
  const void* simulation_count;
  void* simulations;
  const void* missing_estimate_count;
  void* missing_estimates;
  const void* mahalanobis_integers[2];
  void* mahalanobis_addresses[4];
  int32_t release_count;
  PavoSSReleaseFn release[8];
  void* sorted_observations;
  const void* sorted_observations_storage;
  void* work_buffer;  // owned by the task: kept by the basic computation between calls
};

namespace zorn::ss {

constexpr uint8_t kTaskKind = 2;
constexpr int32_t kMaxReleaseFunctions = 8;

static_assert(offsetof(PavoSSTask, integer_width) == 0);
static_assert(offsetof(PavoSSTask, task_kind) == 4);
static_assert(offsetof(PavoSSTask, precision) == 8);
static_assert(offsetof(PavoSSTask, p) == 16);
static_assert(offsetof(PavoSSTask, n) == 24);
static_assert(offsetof(PavoSSTask, x) == 40);
static_assert(offsetof(PavoSSTask, mean) == 88);
static_assert(offsetof(PavoSSTask, sum1) == 144);
static_assert(offsetof(PavoSSTask, kurtosis) == 200);
static_assert(offsetof(PavoSSTask, cross_product) == 280);
static_assert(offsetof(PavoSSTask, mahalanobis_integers) == 640);
static_assert(offsetof(PavoSSTask, release_count) == 688);
static_assert(offsetof(PavoSSTask, release) == 696);
static_assert(offsetof(PavoSSTask, work_buffer) == 776);
static_assert(sizeof(PavoSSTask) == 784);
static_assert(sizeof(PavoSSReleaseFn) == sizeof(void*));

// Reads entry `index` of an integer parameter at the task's integer width.
inline int64_t read_integer(const PavoSSTask& task, const void* address, int64_t index = 0) {
  if (task.integer_width == 0) return static_cast<const int32_t*>(address)[index];
  return static_cast<const int64_t*>(address)[index];
}

}  // namespace zorn::ss
