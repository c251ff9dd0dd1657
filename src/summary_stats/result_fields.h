// Moving the running state between a MomentState and the caller's result fields: read
// back at the start of a call (estimates turned back into sums), written at the end
// (sums finalised into estimates). Only the selected variables are touched.
#pragma once

#include <cstdint>

#include "summary_stats/basic_plan.h"
#include "summary_stats/moment_state.h"

namespace zorn::ss {

struct MatrixCodes {
  bool covariance_packed;
  bool correlation_packed;
  bool cross_product_packed;
};

MatrixCodes read_matrix_codes(const PavoSSTask& task);

// Where the running state comes from when the call continues earlier ones (W > 0):
// each quantity from its needed result field; with `prefer_sums` from the needed sum
// field first. A quantity without a field comes from `buffered` (the task's copy of the
// previous call's state) or starts at zero.
struct LoadSource {
  bool prefer_sums;
  const double* buffered;  // null when there is no valid copy
};

template <class T>
void load_state(const PavoSSTask& task, const BasicPlan& plan, const MatrixCodes& codes,
                LoadSource source, MomentState& s, int64_t p, VariableList vars);

// Central sums from the raw moments: the fast method's finalisation.
void central_from_raw(MomentState& s, int order, VariableList vars);

// Writes every needed field (sums only when `write_sums`); `scratch` holds p doubles.
template <class T>
void write_results(const PavoSSTask& task, const BasicPlan& plan, const MatrixCodes& codes,
                   bool write_sums, const MomentState& s, int64_t p, VariableList vars,
                   double* scratch);

}  // namespace zorn::ss
