// What a basic-statistics call has to do: the method, the result fields it needs (the
// dependency table), the highest moment order and whether the cross-product matrix is
// accumulated. Built and checked before anything is read or written.
#pragma once

#include <cstdint>

#include "summary_stats/task.h"

namespace zorn::ss {

// Result fields in the order in which a missing one decides the status.
enum Field : int {
  kFieldMean,
  kFieldRaw2,
  kFieldRaw3,
  kFieldRaw4,
  kFieldCentral2,
  kFieldCentral3,
  kFieldCentral4,
  kFieldCovariance,
  kFieldCorrelation,
  kFieldKurtosis,
  kFieldSkewness,
  kFieldVariation,
  kFieldSum1,
  kFieldRawSum2,
  kFieldRawSum3,
  kFieldRawSum4,
  kFieldCentralSum2,
  kFieldCentralSum3,
  kFieldCentralSum4,
  kFieldCrossProduct,
  kFieldCount
};

constexpr uint32_t bit(Field f) { return 1u << f; }

enum class BasicMethod : uint8_t {
  kFast,            // 0x1: raw power sums, central statistics derived at the end
  kBlocked,         // 0x2: central sums per block of observations, merged pairwise
  kPerObservation,  // 0x100: central sums updated observation by observation
  kFromSums,        // 0x200, 0x400: moments from the stored sums, no data read
};

struct BasicPlan {
  BasicMethod method;
  uint32_t fields;  // needed result fields (bits of Field)
  int order;        // highest moment order accumulated, 1 to 4 (0: none)
  bool matrix;      // covariance, correlation or cross-product needed
};

// The result address of a field in the task.
void* field_address(const PavoSSTask& task, Field field);

// Checks the method word and the dependency table for the requested estimates;
// returns 0 and fills `plan`, or the status of the first failed check.
int32_t make_basic_plan(const PavoSSTask& task, uint64_t estimates, int32_t method,
                        BasicPlan* plan);

}  // namespace zorn::ss
