// Editing a task: by parameter identifier (real and integer editors) and by group. One
// body serves the single- and double-precision name of each editor.
#include "summary_stats/task_fields.h"

using zorn::ss::kTaskRules;
using zorn::task_model::edit_group;

extern "C" {

int32_t __pavodSSEditTask(PAVO_SS_TASK task, int32_t id, double* address) {
  return zorn::ss::edit_field(task, id, address, zorn::ss::kRealEditor);
}
int32_t __pavosSSEditTask(PAVO_SS_TASK task, int32_t id, float* address) {
  return zorn::ss::edit_field(task, id, address, zorn::ss::kRealEditor);
}
int32_t __pavoiSSEditTask(PAVO_SS_TASK task, int32_t id, const void* address) {
  return zorn::ss::edit_field(task, id, address, zorn::ss::kIntegerEditor);
}

#define F(member) offsetof(PavoSSTask, member)
// Both precisions of each group editor: its arguments, in order, and the field each goes to.
#define ZORN_SS_GROUP_EXPORTS(L, R)                                                                          \
  int32_t __pavo##L##SSEditMoments(PAVO_SS_TASK task, R* mean, R* raw2, R* raw3, R* raw4, R* central2,      \
                                   R* central3, R* central4) {                                              \
    return edit_group(kTaskRules, task,                                                                     \
                      {{F(mean), mean}, {F(raw_moment[0]), raw2}, {F(raw_moment[1]), raw3},                 \
                       {F(raw_moment[2]), raw4}, {F(central_moment[0]), central2},                          \
                       {F(central_moment[1]), central3}, {F(central_moment[2]), central4}});                \
  }                                                                                                         \
  int32_t __pavo##L##SSEditSums(PAVO_SS_TASK task, R* sum, R* raw2, R* raw3, R* raw4, R* central2,          \
                                R* central3, R* central4) {                                                 \
    return edit_group(kTaskRules, task,                                                                     \
                      {{F(sum1), sum}, {F(raw_sum[0]), raw2}, {F(raw_sum[1]), raw3}, {F(raw_sum[2]), raw4}, \
                       {F(central_sum[0]), central2}, {F(central_sum[1]), central3},                        \
                       {F(central_sum[2]), central4}});                                                     \
  }                                                                                                         \
  int32_t __pavo##L##SSEditCovCor(PAVO_SS_TASK task, R* mean, R* cov, const void* cov_storage, R* cor,      \
                                  const void* cor_storage) {                                                \
    return edit_group(kTaskRules, task,                                                                     \
                      {{F(mean), mean}, {F(covariance), cov}, {F(covariance_storage), cov_storage},         \
                       {F(correlation), cor}, {F(correlation_storage), cor_storage}});                      \
  }                                                                                                         \
  int32_t __pavo##L##SSEditCP(PAVO_SS_TASK task, R* mean, R* sum, R* cross_product,                         \
                              const void* cp_storage) {                                                     \
    return edit_group(kTaskRules, task,                                                                     \
                      {{F(mean), mean}, {F(sum1), sum}, {F(cross_product), cross_product},                  \
                       {F(cross_product_storage), cp_storage}});                                            \
  }                                                                                                         \
  int32_t __pavo##L##SSEditQuantiles(PAVO_SS_TASK task, const void* order_count, R* orders, R* quantiles,   \
                                     R* order_stats, const void* order_stats_storage) {                     \
    return edit_group(kTaskRules, task,                                                                     \
                      {{F(quantile_order_count), order_count}, {F(quantile_orders), orders},                \
                       {F(quantiles), quantiles}, {F(order_statistics), order_stats},                       \
                       {F(order_statistics_storage), order_stats_storage}});                                \
  }                                                                                                         \
  int32_t __pavo##L##SSEditStreamQuantiles(PAVO_SS_TASK task, const void* order_count, R* orders,           \
                                           R* quantiles, const void* param_count, R* params) {              \
    return edit_group(kTaskRules, task,                                                                     \
                      {{F(stream_order_count), order_count}, {F(stream_orders), orders},                    \
                       {F(stream_quantiles), quantiles}, {F(stream_param_count), param_count},              \
                       {F(stream_params), params}});                                                        \
  }                                                                                                         \
  int32_t __pavo##L##SSEditPooledCovariance(PAVO_SS_TASK task, const void* group_indices, R* pooled_mean,   \
                                            R* pooled_cov, const void* group_flags, R* group_means,         \
                                            R* group_covs) {                                                \
    return edit_group(kTaskRules, task,                                                                     \
                      {{F(group_indices), group_indices}, {F(pooled_mean), pooled_mean},                    \
                       {F(pooled_covariance), pooled_cov}, {F(group_flags), group_flags},                   \
                       {F(group_means), group_means}, {F(group_covariances), group_covs}});                 \
  }                                                                                                         \
  int32_t __pavo##L##SSEditMissingVals(PAVO_SS_TASK task, const void* param_count, R* params,               \
                                       const void* init_estimate_count, R* init_estimates,                  \
                                       const void* prior_count, R* prior, const void* simulation_count,     \
                                       R* simulations, const void* estimate_count, R* estimates) {          \
    return edit_group(kTaskRules, task,                                                                     \
                      {{F(missing_param_count), param_count}, {F(missing_params), params},                  \
                       {F(initial_estimate_count), init_estimate_count},                                    \
                       {F(initial_estimates), init_estimates}, {F(prior_count), prior_count},               \
                       {F(prior), prior}, {F(simulation_count), simulation_count},                          \
                       {F(simulations), simulations}, {F(missing_estimate_count), estimate_count},          \
                       {F(missing_estimates), estimates}});                                                 \
  }                                                                                                         \
  int32_t __pavo##L##SSEditOutDetect(PAVO_SS_TASK task, const void* param_count, R* params,                 \
                                     R* outlier_weights) {                                                  \
    return edit_group(kTaskRules, task,                                                                     \
                      {{F(outlier_param_count), param_count}, {F(outlier_params), params},                  \
                       {F(outlier_weights), outlier_weights}});                                             \
  }                                                                                                         \
  int32_t __pavo##L##SSEditRCov(PAVO_SS_TASK task, const void* rcov_storage, const void* param_count,       \
                                R* params, R* robust_mean, R* robust_cov) {                                 \
    return edit_group(kTaskRules, task,                                                                     \
                      {{F(robust_covariance_storage), rcov_storage}, {F(robust_param_count), param_count},  \
                       {F(robust_params), params}, {F(robust_mean), robust_mean},                           \
                       {F(robust_covariance), robust_cov}});                                                \
  }                                                                                                         \
  int32_t __pavo##L##SSEditPartialCovCor(PAVO_SS_TASK task, const void* indices, R* cov,                    \
                                         const void* cov_storage, R* cor, const void* cor_storage,          \
                                         R* partial_cov, const void* partial_cov_storage, R* partial_cor,   \
                                         const void* partial_cor_storage) {                                 \
    return edit_group(kTaskRules, task,                                                                     \
                      {{F(partial_indices), indices}, {F(covariance), cov},                                 \
                       {F(covariance_storage), cov_storage}, {F(correlation), cor},                         \
                       {F(correlation_storage), cor_storage}, {F(partial_covariance), partial_cov},         \
                       {F(partial_covariance_storage), partial_cov_storage},                                \
                       {F(partial_correlation), partial_cor},                                               \
                       {F(partial_correlation_storage), partial_cor_storage}});                             \
  }                                                                                                         \
  int32_t __pavo##L##SSEditMtxParametrz(PAVO_SS_TASK task, R* cor, const void* cor_storage, R* param_cor,   \
                                        const void* param_cor_storage) {                                    \
    return edit_group(kTaskRules, task,                                                                     \
                      {{F(correlation), cor}, {F(correlation_storage), cor_storage},                        \
                       {F(param_correlation), param_cor}, {F(param_correlation_storage), param_cor_storage}}); \
  }
ZORN_SS_GROUP_EXPORTS(d, double)
ZORN_SS_GROUP_EXPORTS(s, float)
#undef ZORN_SS_GROUP_EXPORTS
#undef F

}  // extern "C"
