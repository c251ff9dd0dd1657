// Estimate mask bits and method word bits understood by the computations.
#pragma once

#include <cstdint>

#include "zorn/ss.h"

namespace zorn::ss {

constexpr uint64_t kEstimateMean = PAVO_SS_MEAN;
constexpr uint64_t kEstimateRaw2 = PAVO_SS_RAW_MOMENT_2;
constexpr uint64_t kEstimateRaw3 = PAVO_SS_RAW_MOMENT_3;
constexpr uint64_t kEstimateRaw4 = PAVO_SS_RAW_MOMENT_4;
constexpr uint64_t kEstimateCentral2 = PAVO_SS_CENTRAL_MOMENT_2;
constexpr uint64_t kEstimateCentral3 = PAVO_SS_CENTRAL_MOMENT_3;
constexpr uint64_t kEstimateCentral4 = PAVO_SS_CENTRAL_MOMENT_4;
constexpr uint64_t kEstimateKurtosis = PAVO_SS_KURTOSIS;
constexpr uint64_t kEstimateSkewness = PAVO_SS_SKEWNESS;
constexpr uint64_t kEstimateVariation = PAVO_SS_VARIATION;
constexpr uint64_t kEstimateMinimum = PAVO_SS_MINIMUM;
constexpr uint64_t kEstimateMaximum = PAVO_SS_MAXIMUM;
constexpr uint64_t kEstimateCovariance = PAVO_SS_COVARIANCE;
constexpr uint64_t kEstimateCorrelation = PAVO_SS_CORRELATION;
constexpr uint64_t kEstimateQuantiles = PAVO_SS_QUANTILES;
constexpr uint64_t kEstimateOrderStatistics = PAVO_SS_ORDER_STATISTICS;
constexpr uint64_t kEstimateSum1 = PAVO_SS_SUM_1;
constexpr uint64_t kEstimateRawSum2 = PAVO_SS_RAW_SUM_2;
constexpr uint64_t kEstimateRawSum3 = PAVO_SS_RAW_SUM_3;
constexpr uint64_t kEstimateRawSum4 = PAVO_SS_RAW_SUM_4;
constexpr uint64_t kEstimateCentralSum2 = PAVO_SS_CENTRAL_SUM_2;
constexpr uint64_t kEstimateCentralSum3 = PAVO_SS_CENTRAL_SUM_3;
constexpr uint64_t kEstimateCentralSum4 = PAVO_SS_CENTRAL_SUM_4;
constexpr uint64_t kEstimateCrossProduct = PAVO_SS_CROSS_PRODUCT;

constexpr uint32_t kMethodFast = PAVO_SS_METHOD_FAST;
constexpr uint32_t kMethodOnePass = PAVO_SS_METHOD_ONE_PASS;
constexpr uint32_t kMethodOnePassObservations = PAVO_SS_METHOD_ONE_PASS_OBS;
constexpr uint32_t kMethodFromSums = PAVO_SS_METHOD_FROM_SUMS;
constexpr uint32_t kMethodFromSumsAlt = PAVO_SS_METHOD_FROM_SUMS_ALT;
// Minimum and maximum accept either of the one-pass bits; quantiles need 0x1.
constexpr uint32_t kMethodMinmax = PAVO_SS_METHOD_FAST | PAVO_SS_METHOD_ONE_PASS;

}  // namespace zorn::ss
