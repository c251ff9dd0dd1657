// Editing a task: by parameter identifier (real and integer editors) and by group.
// One body serves the single- and double-precision name of each editor.
#include <initializer_list>

#include "summary_stats/status.h"
#include "summary_stats/task.h"
#include "summary_stats/task_fields.h"

namespace zorn::ss {
namespace {

int32_t edit_by_id(PavoSSTask* task, int32_t id, const void* address, ParameterKind kind) {
  if (task == nullptr) return kNullTask;
  const FieldEntry* entry = find_field(id, kind);
  if (entry == nullptr) return kBadParameterId;
  if (address == nullptr) return entry->null_status;
  store_field(task, entry->offset, address);
  return kOk;
}

// A field of a group editor and the address given for it.
struct GroupArgument {
  size_t offset;
  const void* address;
};

int32_t edit_group(PavoSSTask* task, std::initializer_list<GroupArgument> arguments) {
  if (task == nullptr) return kNullTask;
  for (const GroupArgument& argument : arguments)
    if (argument.address != nullptr) store_field(task, argument.offset, argument.address);
  return kOk;
}

#define F(member) offsetof(PavoSSTask, member)

int32_t edit_moments(PavoSSTask* t, const void* mean, const void* r2, const void* r3,
                     const void* r4, const void* c2, const void* c3, const void* c4) {
  return edit_group(t, {{F(mean), mean},
                        {F(raw_moment[0]), r2},
                        {F(raw_moment[1]), r3},
                        {F(raw_moment[2]), r4},
                        {F(central_moment[0]), c2},
                        {F(central_moment[1]), c3},
                        {F(central_moment[2]), c4}});
}

int32_t edit_sums(PavoSSTask* t, const void* s1, const void* r2, const void* r3, const void* r4,
                  const void* c2, const void* c3, const void* c4) {
  return edit_group(t, {{F(sum1), s1},
                        {F(raw_sum[0]), r2},
                        {F(raw_sum[1]), r3},
                        {F(raw_sum[2]), r4},
                        {F(central_sum[0]), c2},
                        {F(central_sum[1]), c3},
                        {F(central_sum[2]), c4}});
}

int32_t edit_cov_cor(PavoSSTask* t, const void* mean, const void* cov, const void* cov_storage,
                     const void* cor, const void* cor_storage) {
  return edit_group(t, {{F(mean), mean},
                        {F(covariance), cov},
                        {F(covariance_storage), cov_storage},
                        {F(correlation), cor},
                        {F(correlation_storage), cor_storage}});
}

int32_t edit_cp(PavoSSTask* t, const void* mean, const void* sum, const void* cp,
                const void* cp_storage) {
  return edit_group(t, {{F(mean), mean},
                        {F(sum1), sum},
                        {F(cross_product), cp},
                        {F(cross_product_storage), cp_storage}});
}

int32_t edit_quantiles(PavoSSTask* t, const void* count, const void* orders,
                       const void* quantiles, const void* order_stats,
                       const void* order_stats_storage) {
  return edit_group(t, {{F(quantile_order_count), count},
                        {F(quantile_orders), orders},
                        {F(quantiles), quantiles},
                        {F(order_statistics), order_stats},
                        {F(order_statistics_storage), order_stats_storage}});
}

int32_t edit_stream_quantiles(PavoSSTask* t, const void* count, const void* orders,
                              const void* quantiles, const void* param_count,
                              const void* params) {
  return edit_group(t, {{F(stream_order_count), count},
                        {F(stream_orders), orders},
                        {F(stream_quantiles), quantiles},
                        {F(stream_param_count), param_count},
                        {F(stream_params), params}});
}

int32_t edit_pooled(PavoSSTask* t, const void* indices, const void* pooled_mean,
                    const void* pooled_cov, const void* flags, const void* group_means,
                    const void* group_covs) {
  return edit_group(t, {{F(group_indices), indices},
                        {F(pooled_mean), pooled_mean},
                        {F(pooled_covariance), pooled_cov},
                        {F(group_flags), flags},
                        {F(group_means), group_means},
                        {F(group_covariances), group_covs}});
}

int32_t edit_missing(PavoSSTask* t, const void* param_count, const void* params,
                     const void* init_count, const void* init, const void* prior_count,
                     const void* prior, const void* sim_count, const void* sims,
                     const void* est_count, const void* ests) {
  return edit_group(t, {{F(missing_param_count), param_count},
                        {F(missing_params), params},
                        {F(initial_estimate_count), init_count},
                        {F(initial_estimates), init},
                        {F(prior_count), prior_count},
                        {F(prior), prior},
                        {F(simulation_count), sim_count},
                        {F(simulations), sims},
                        {F(missing_estimate_count), est_count},
                        {F(missing_estimates), ests}});
}

int32_t edit_out_detect(PavoSSTask* t, const void* count, const void* params,
                        const void* weights) {
  return edit_group(t, {{F(outlier_param_count), count},
                        {F(outlier_params), params},
                        {F(outlier_weights), weights}});
}

int32_t edit_rcov(PavoSSTask* t, const void* storage, const void* count, const void* params,
                  const void* mean, const void* cov) {
  return edit_group(t, {{F(robust_covariance_storage), storage},
                        {F(robust_param_count), count},
                        {F(robust_params), params},
                        {F(robust_mean), mean},
                        {F(robust_covariance), cov}});
}

int32_t edit_partial(PavoSSTask* t, const void* indices, const void* cov,
                     const void* cov_storage, const void* cor, const void* cor_storage,
                     const void* pcov, const void* pcov_storage, const void* pcor,
                     const void* pcor_storage) {
  return edit_group(t, {{F(partial_indices), indices},
                        {F(covariance), cov},
                        {F(covariance_storage), cov_storage},
                        {F(correlation), cor},
                        {F(correlation_storage), cor_storage},
                        {F(partial_covariance), pcov},
                        {F(partial_covariance_storage), pcov_storage},
                        {F(partial_correlation), pcor},
                        {F(partial_correlation_storage), pcor_storage}});
}

int32_t edit_parametrization(PavoSSTask* t, const void* cor, const void* cor_storage,
                             const void* param_cor, const void* param_cor_storage) {
  return edit_group(t, {{F(correlation), cor},
                        {F(correlation_storage), cor_storage},
                        {F(param_correlation), param_cor},
                        {F(param_correlation_storage), param_cor_storage}});
}

#undef F

}  // namespace
}  // namespace zorn::ss

using namespace zorn::ss;

extern "C" {

int32_t __pavodSSEditTask(PAVO_SS_TASK task, int32_t id, double* address) {
  return edit_by_id(task, id, address, ParameterKind::kReal);
}
int32_t __pavosSSEditTask(PAVO_SS_TASK task, int32_t id, float* address) {
  return edit_by_id(task, id, address, ParameterKind::kReal);
}
int32_t __pavoiSSEditTask(PAVO_SS_TASK task, int32_t id, const void* address) {
  return edit_by_id(task, id, address, ParameterKind::kInteger);
}

// Both precisions of each group editor forward to its one body.
#define ZORN_SS_GROUP_EXPORTS(L, R)                                                         \
  int32_t __pavo##L##SSEditMoments(PAVO_SS_TASK t, R* a, R* b, R* c,       \
                                   R* d, R* e, R* f, R* g) {         \
    return edit_moments(t, a, b, c, d, e, f, g);                                             \
  }                                                                                          \
  int32_t __pavo##L##SSEditSums(PAVO_SS_TASK t, R* a, R* b, R* c,          \
                                R* d, R* e, R* f, R* g) {            \
    return edit_sums(t, a, b, c, d, e, f, g);                                                \
  }                                                                                          \
  int32_t __pavo##L##SSEditCovCor(PAVO_SS_TASK t, R* a, R* b, const void* c,     \
                                  R* d, const void* e) {                               \
    return edit_cov_cor(t, a, b, c, d, e);                                                   \
  }                                                                                          \
  int32_t __pavo##L##SSEditCP(PAVO_SS_TASK t, R* a, R* b, R* c,            \
                              const void* d) {                                               \
    return edit_cp(t, a, b, c, d);                                                           \
  }                                                                                          \
  int32_t __pavo##L##SSEditQuantiles(PAVO_SS_TASK t, const void* a, R* b, R* c,  \
                                     R* d, const void* e) {                            \
    return edit_quantiles(t, a, b, c, d, e);                                                 \
  }                                                                                          \
  int32_t __pavo##L##SSEditStreamQuantiles(PAVO_SS_TASK t, const void* a, R* b,        \
                                           R* c, const void* d, R* e) {          \
    return edit_stream_quantiles(t, a, b, c, d, e);                                          \
  }                                                                                          \
  int32_t __pavo##L##SSEditPooledCovariance(PAVO_SS_TASK t, const void* a, R* b,       \
                                            R* c, const void* d, R* e,           \
                                            R* f) {                                    \
    return edit_pooled(t, a, b, c, d, e, f);                                                 \
  }                                                                                          \
  int32_t __pavo##L##SSEditMissingVals(PAVO_SS_TASK t, const void* a, R* b,            \
                                       const void* c, R* d, const void* e, R* f, \
                                       const void* g, R* h, const void* i,             \
                                       R* j) {                                         \
    return edit_missing(t, a, b, c, d, e, f, g, h, i, j);                                    \
  }                                                                                          \
  int32_t __pavo##L##SSEditOutDetect(PAVO_SS_TASK t, const void* a, R* b,              \
                                     R* c) {                                           \
    return edit_out_detect(t, a, b, c);                                                      \
  }                                                                                          \
  int32_t __pavo##L##SSEditRCov(PAVO_SS_TASK t, const void* a, const void* b, R* c,    \
                                R* d, R* e) {                                    \
    return edit_rcov(t, a, b, c, d, e);                                                      \
  }                                                                                          \
  int32_t __pavo##L##SSEditPartialCovCor(PAVO_SS_TASK t, const void* a, R* b,          \
                                         const void* c, R* d, const void* e,           \
                                         R* f, const void* g, R* h,              \
                                         const void* i) {                                    \
    return edit_partial(t, a, b, c, d, e, f, g, h, i);                                       \
  }                                                                                          \
  int32_t __pavo##L##SSEditMtxParametrz(PAVO_SS_TASK t, R* a, const void* b,           \
                                        R* c, const void* d) {                         \
    return edit_parametrization(t, a, b, c, d);                                              \
  }
ZORN_SS_GROUP_EXPORTS(d, double)
ZORN_SS_GROUP_EXPORTS(s, float)
#undef ZORN_SS_GROUP_EXPORTS

}  // extern "C"
