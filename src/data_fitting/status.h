// Status codes of the data-fitting operations, named after their meaning.
#pragma once

#include <cstdint>

namespace zorn::df {

constexpr int32_t kOk = 0;
constexpr int32_t kNullTask = -1000;
constexpr int32_t kNoMemory = -1001;
constexpr int32_t kBadMethod = -1002;
constexpr int32_t kBadNodeCount = -1004;
constexpr int32_t kNullNodes = -1005;
constexpr int32_t kBadPartitionHint = -1006;
constexpr int32_t kBadFunctionCount = -1007;
constexpr int32_t kNullValues = -1008;
constexpr int32_t kBadValueStorage = -1009;
constexpr int32_t kBadSplineOrder = -1010;
constexpr int32_t kBadSplineKind = -1011;
constexpr int32_t kBadInnerConditionKind = -1012;
constexpr int32_t kBadInnerConditions = -1013;
constexpr int32_t kBadEndConditionKind = -1014;
constexpr int32_t kNullEndConditions = -1015;
constexpr int32_t kNullCoefficients = -1016;
constexpr int32_t kBadCoefficientStorage = -1017;
constexpr int32_t kNotPeriodic = -1018;
constexpr int32_t kUnknownIdentifier = -1019;
constexpr int32_t kBadFunctionIndex = -1020;
constexpr int32_t kSiteNotANode = -1022;
constexpr int32_t kBadDataHint = -1026;
constexpr int32_t kBadResultHint = -1028;
constexpr int32_t kBadAuxiliaryFlag = -1036;
constexpr int32_t kNullResult = -1037;
constexpr int32_t kSolverFailed = -1500;

// The caller's search function reports that every cell of its block is final.
constexpr int32_t kUserCellsFinal = 1000;

}  // namespace zorn::df
