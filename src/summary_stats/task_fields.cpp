#include "summary_stats/task_fields.h"

#include "summary_stats/status.h"

namespace zorn::ss {
namespace {

constexpr Editor R = kRealEditor;
constexpr Editor I = kIntegerEditor;

#define ZORN_SS_FIELD(id, editor, status, member) \
  task_model::AddressField<PavoSSTask> { id, editor, status, offsetof(PavoSSTask, member) }

constexpr task_model::AddressField<PavoSSTask> kFields[] = {
    ZORN_SS_FIELD(1, I, kBadDimension, p),
    ZORN_SS_FIELD(2, I, kBadObservationCount, n),
    ZORN_SS_FIELD(3, R, kNullObservations, x),
    ZORN_SS_FIELD(4, I, kNullStorage, storage),
    ZORN_SS_FIELD(5, I, kNullSelection, selection),
    ZORN_SS_FIELD(6, R, kNullWeights, weights),
    ZORN_SS_FIELD(7, R, kNullMean, mean),
    ZORN_SS_FIELD(8, R, kNullRawMoment2, raw_moment[0]),
    ZORN_SS_FIELD(9, R, kNullRawMoment3, raw_moment[1]),
    ZORN_SS_FIELD(10, R, kNullRawMoment4, raw_moment[2]),
    ZORN_SS_FIELD(11, R, kNullCentralMoment2, central_moment[0]),
    ZORN_SS_FIELD(12, R, kNullCentralMoment3, central_moment[1]),
    ZORN_SS_FIELD(13, R, kNullCentralMoment4, central_moment[2]),
    ZORN_SS_FIELD(14, R, kNullKurtosis, kurtosis),
    ZORN_SS_FIELD(15, R, kNullSkewness, skewness),
    ZORN_SS_FIELD(16, R, kNullMinimum, minimum),
    ZORN_SS_FIELD(17, R, kNullMaximum, maximum),
    ZORN_SS_FIELD(18, R, kNullVariation, variation),
    ZORN_SS_FIELD(19, R, kNullCovariance, covariance),
    ZORN_SS_FIELD(20, I, kNullStorage, covariance_storage),
    ZORN_SS_FIELD(21, R, kNullCorrelation, correlation),
    ZORN_SS_FIELD(22, I, kNullStorage, correlation_storage),
    ZORN_SS_FIELD(23, R, kNullAccumulatedWeights, accumulated_weights),
    ZORN_SS_FIELD(24, I, kBadQuantileOrders, quantile_order_count),
    ZORN_SS_FIELD(25, R, kNullQuantileOrders, quantile_orders),
    ZORN_SS_FIELD(26, R, kNullQuantiles, quantiles),
    ZORN_SS_FIELD(27, R, kNullOrderStatistics, order_statistics),
    ZORN_SS_FIELD(28, I, kNullGroupIndices, group_indices),
    ZORN_SS_FIELD(29, I, kNullStorage, pooled_covariance_storage),
    ZORN_SS_FIELD(30, R, kNullPooledMean, pooled_mean),
    ZORN_SS_FIELD(31, R, kNullPooledCovariance, pooled_covariance),
    ZORN_SS_FIELD(32, I, kNullGroupIndices, group_flags),
    ZORN_SS_FIELD(33, R, kNullGroupMeans, group_means),
    ZORN_SS_FIELD(34, I, kNullStorage, group_covariance_storage),
    ZORN_SS_FIELD(35, R, kNullGroupCovariances, group_covariances),
    ZORN_SS_FIELD(36, I, kNullStorage, robust_covariance_storage),
    ZORN_SS_FIELD(37, I, kNullRobustParameterCount, robust_param_count),
    ZORN_SS_FIELD(38, R, kNullRobustParameters, robust_params),
    ZORN_SS_FIELD(39, R, kNullRobustMean, robust_mean),
    ZORN_SS_FIELD(40, R, kNullRobustCovariance, robust_covariance),
    ZORN_SS_FIELD(41, I, kNullOutlierParameterCount, outlier_param_count),
    ZORN_SS_FIELD(42, R, kNullOutlierParameters, outlier_params),
    ZORN_SS_FIELD(43, R, kNullOutlierWeights, outlier_weights),
    ZORN_SS_FIELD(44, I, kNullStorage, order_statistics_storage),
    ZORN_SS_FIELD(45, I, kNullPartialIndices, partial_indices),
    ZORN_SS_FIELD(46, R, kNullPartialCovariance, partial_covariance),
    ZORN_SS_FIELD(47, I, kNullStorage, partial_covariance_storage),
    ZORN_SS_FIELD(48, R, kNullPartialCorrelation, partial_correlation),
    ZORN_SS_FIELD(49, I, kNullStorage, partial_correlation_storage),
    ZORN_SS_FIELD(50, I, kNullMissingValueParameterCount, missing_param_count),
    ZORN_SS_FIELD(51, R, kNullMissingValueParameters, missing_params),
    ZORN_SS_FIELD(52, I, kNullInitialEstimateCount, initial_estimate_count),
    ZORN_SS_FIELD(53, R, kNullInitialEstimates, initial_estimates),
    ZORN_SS_FIELD(54, I, kNullSimulationCount, simulation_count),
    ZORN_SS_FIELD(55, R, kNullSimulations, simulations),
    ZORN_SS_FIELD(56, I, kNullMissingEstimateCount, missing_estimate_count),
    ZORN_SS_FIELD(57, R, kNullMissingEstimates, missing_estimates),
    ZORN_SS_FIELD(58, I, kNullPriorCount, prior_count),
    ZORN_SS_FIELD(59, R, kNullPrior, prior),
    ZORN_SS_FIELD(60, R, kNullParametrizedCorrelation, param_correlation),
    ZORN_SS_FIELD(61, I, kNullStorage, param_correlation_storage),
    ZORN_SS_FIELD(62, I, kNullStreamQuantileParameterCount, stream_param_count),
    ZORN_SS_FIELD(63, R, kNullStreamQuantileParameters, stream_params),
    ZORN_SS_FIELD(64, I, kNullStreamQuantileOrderCount, stream_order_count),
    ZORN_SS_FIELD(65, R, kNullStreamQuantileOrders, stream_orders),
    ZORN_SS_FIELD(66, R, kNullStreamQuantiles, stream_quantiles),
    // A null sum of order 1 reports the mean's code: the two carry the same quantity.
    ZORN_SS_FIELD(67, R, kNullMean, sum1),
    ZORN_SS_FIELD(68, R, kNullRawSum2, raw_sum[0]),
    ZORN_SS_FIELD(69, R, kNullRawSum3, raw_sum[1]),
    ZORN_SS_FIELD(70, R, kNullRawSum4, raw_sum[2]),
    ZORN_SS_FIELD(71, R, kNullCentralSum2, central_sum[0]),
    ZORN_SS_FIELD(72, R, kNullCentralSum3, central_sum[1]),
    ZORN_SS_FIELD(73, R, kNullCentralSum4, central_sum[2]),
    ZORN_SS_FIELD(74, R, kNullCrossProduct, cross_product),
    ZORN_SS_FIELD(75, I, kNullStorage, cross_product_storage),
    ZORN_SS_FIELD(76, R, kNullMedianAbsDeviation, median_abs_deviation),
    ZORN_SS_FIELD(77, R, kNullMeanAbsDeviation, mean_abs_deviation),
    ZORN_SS_FIELD(78, R, kNullSortedObservations, sorted_observations),
    ZORN_SS_FIELD(79, I, kNullStorage, sorted_observations_storage),
};
#undef ZORN_SS_FIELD

}  // namespace

const task_model::Rules<PavoSSTask> kTaskRules{.null_task = kNullTask, .unknown_identifier = kBadParameterId};

int32_t edit_field(PavoSSTask* task, int32_t id, const void* address, Editor editor) {
  return task_model::edit_address(kTaskRules, kFields, task, id, editor, address, 0);
}

}  // namespace zorn::ss
