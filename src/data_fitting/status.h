// Status codes of the data-fitting operations, named after their meaning.
#pragma once

#include <cstdint>

#include "zorn/status.h"

namespace zorn::df {

constexpr int32_t kOk = ZORN_DF_STATUS_OK;
constexpr int32_t kNullTask = ZORN_DF_STATUS_NULL_TASK;
constexpr int32_t kNoMemory = ZORN_DF_STATUS_NO_MEMORY;
constexpr int32_t kBadMethod = ZORN_DF_STATUS_BAD_METHOD;
constexpr int32_t kBadNodeCount = ZORN_DF_STATUS_BAD_NODE_COUNT;
constexpr int32_t kNullNodes = ZORN_DF_STATUS_NULL_NODES;
constexpr int32_t kBadPartitionHint = ZORN_DF_STATUS_BAD_PARTITION_HINT;
constexpr int32_t kBadFunctionCount = ZORN_DF_STATUS_BAD_FUNCTION_COUNT;
constexpr int32_t kNullValues = ZORN_DF_STATUS_NULL_VALUES;
constexpr int32_t kBadValueStorage = ZORN_DF_STATUS_BAD_VALUE_STORAGE;
constexpr int32_t kBadSplineOrder = ZORN_DF_STATUS_BAD_SPLINE_ORDER;
constexpr int32_t kBadSplineKind = ZORN_DF_STATUS_BAD_SPLINE_KIND;
constexpr int32_t kBadInnerConditionKind = ZORN_DF_STATUS_BAD_INNER_CONDITION_KIND;
constexpr int32_t kBadInnerConditions = ZORN_DF_STATUS_BAD_INNER_CONDITIONS;
constexpr int32_t kBadEndConditionKind = ZORN_DF_STATUS_BAD_END_CONDITION_KIND;
constexpr int32_t kNullEndConditions = ZORN_DF_STATUS_NULL_END_CONDITIONS;
constexpr int32_t kNullCoefficients = ZORN_DF_STATUS_NULL_COEFFICIENTS;
constexpr int32_t kBadCoefficientStorage = ZORN_DF_STATUS_BAD_COEFFICIENT_STORAGE;
constexpr int32_t kNotPeriodic = ZORN_DF_STATUS_NOT_PERIODIC;
constexpr int32_t kUnknownIdentifier = ZORN_DF_STATUS_UNKNOWN_IDENTIFIER;
constexpr int32_t kBadFunctionIndex = ZORN_DF_STATUS_BAD_FUNCTION_INDEX;
constexpr int32_t kSiteNotANode = ZORN_DF_STATUS_SITE_NOT_A_NODE;
constexpr int32_t kBadDataHint = ZORN_DF_STATUS_BAD_DATA_HINT;
constexpr int32_t kBadResultHint = ZORN_DF_STATUS_BAD_RESULT_HINT;
constexpr int32_t kBadAuxiliaryFlag = ZORN_DF_STATUS_BAD_AUXILIARY_FLAG;
constexpr int32_t kNullResult = ZORN_DF_STATUS_NULL_RESULT;
constexpr int32_t kSolverFailed = ZORN_DF_STATUS_SOLVER_FAILED;

// The caller's search function reports that every cell of its block is final.
constexpr int32_t kUserCellsFinal = ZORN_DF_USER_CELLS_FINAL;

}  // namespace zorn::df
