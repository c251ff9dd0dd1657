#include "summary_stats/result_fields.h"

#include <cmath>

#include "summary_stats/inv_sqrt.h"
#include "summary_stats/storage_codes.h"

namespace zorn::ss {
namespace {

// 1/(W - V/W), the unbiased factor of variance and covariance; 1 when no weight has
// been accumulated, so that an empty data set does not divide by zero.
double variance_factor(double W, double V) { return W > 0 ? 1.0 / (W - V / W) : 1.0; }
double mean_factor(double W) { return W > 0 ? 1.0 / W : 1.0; }

template <class T>
T* needed(const PavoSSTask& task, const BasicPlan& plan, Field f) {
  return (plan.fields & bit(f)) ? static_cast<T*>(field_address(task, f)) : nullptr;
}

template <class T>
double read_matrix(const T* a, bool packed, int64_t p, int64_t i, int64_t l) {
  return static_cast<double>(a[matrix_index(packed, p, i, l)]);
}

template <class T>
void write_matrix(T* a, bool packed, int64_t p, int64_t i, int64_t l, double value) {
  a[matrix_index(packed, p, i, l)] = static_cast<T>(value);
  if (!packed) a[l * p + i] = static_cast<T>(value);
}

bool is_packed(const PavoSSTask& task, const void* code) {
  return code != nullptr && (read_integer(task, code) & kMatrixPacked) != 0;
}

// One per-variable quantity: from the moment field scaled by `moment_scale`, or the
// sum field scaled by `sum_scale`, or the buffered copy, or zero.
template <class T>
void load_vector(double* dst, const T* moment, double moment_scale, const T* sum,
                 double sum_scale, const double* buffered, bool prefer_sums, VariableList vars) {
  for (int64_t v = 0; v < vars.count; ++v) {
    const int64_t i = vars.index[v];
    if (moment != nullptr && !(prefer_sums && sum != nullptr))
      dst[i] = static_cast<double>(moment[i]) * moment_scale;
    else if (sum != nullptr)
      dst[i] = static_cast<double>(sum[i]) * sum_scale;
    else
      dst[i] = buffered != nullptr ? buffered[i] : 0.0;
  }
}

}  // namespace

MatrixCodes read_matrix_codes(const PavoSSTask& task) {
  return {is_packed(task, task.covariance_storage), is_packed(task, task.correlation_storage),
          is_packed(task, task.cross_product_storage)};
}

template <class T>
void load_state(const PavoSSTask& task, const BasicPlan& plan, const MatrixCodes& codes,
                LoadSource source, MomentState& s, int64_t p, VariableList vars) {
  const double W = s.W, V = s.V;
  const double* buf = source.buffered;
  const bool prefer = source.prefer_sums;
  load_vector(s.mean, needed<T>(task, plan, kFieldMean), 1.0, needed<T>(task, plan, kFieldSum1),
              mean_factor(W), buf, prefer, vars);
  for (int k = 0; k < 3; ++k) {
    load_vector(s.raw[k], needed<T>(task, plan, Field(kFieldRaw2 + k)), 1.0,
                needed<T>(task, plan, Field(kFieldRawSum2 + k)), mean_factor(W),
                buf ? buf + (1 + k) * p : nullptr, prefer, vars);
    const double scale = k == 0 ? 1.0 / variance_factor(W, V) : 1.0 / mean_factor(W);
    load_vector(s.central[k], needed<T>(task, plan, Field(kFieldCentral2 + k)), scale,
                needed<T>(task, plan, Field(kFieldCentralSum2 + k)), 1.0,
                buf ? buf + (4 + k) * p : nullptr, prefer, vars);
  }
  if (!plan.matrix) return;
  const T* cp = needed<T>(task, plan, kFieldCrossProduct);
  const T* cov = needed<T>(task, plan, kFieldCovariance);
  const T* cor = needed<T>(task, plan, kFieldCorrelation);
  // A correlation alone does not carry the scale of the variables: their sums of
  // squared deviations come from the buffered copy, else from the central sums.
  const double* diagonal = buf != nullptr ? buf + 7 * p : s.central[0];
  for (int64_t u = 0; u < vars.count; ++u)
    for (int64_t v = 0; v <= u; ++v) {
      const int64_t l = vars.index[u], i = vars.index[v];
      double c = 0;
      if (cp != nullptr)
        c = read_matrix(cp, codes.cross_product_packed, p, i, l);
      else if (cov != nullptr)
        c = read_matrix(cov, codes.covariance_packed, p, i, l) / variance_factor(W, V);
      else if (cor != nullptr)
        c = read_matrix(cor, codes.correlation_packed, p, i, l) *
            std::sqrt(diagonal[i] * diagonal[l]);
      s.C[cross_index(p, i, l)] = c;
    }
}

void central_from_raw(MomentState& s, int order, VariableList vars) {
  for (int64_t v = 0; v < vars.count; ++v) {
    const int64_t i = vars.index[v];
    const double m = s.mean[i], m2 = m * m;
    const double r2 = order >= 2 ? s.raw[0][i] : 0, r3 = order >= 3 ? s.raw[1][i] : 0;
    if (order >= 2) s.central[0][i] = (r2 - m2) * s.W;
    if (order >= 3) s.central[1][i] = (r3 - 3 * m * r2 + 2 * m2 * m) * s.W;
    if (order >= 4) s.central[2][i] = (s.raw[2][i] - 4 * m * r3 + 6 * m2 * r2 - 3 * m2 * m2) * s.W;
  }
}

template <class T>
void write_results(const PavoSSTask& task, const BasicPlan& plan, const MatrixCodes& codes,
                   bool write_sums, const MomentState& s, int64_t p, VariableList vars,
                   double* scratch) {
  const double W = s.W;
  const double f2 = variance_factor(W, s.V), f1 = mean_factor(W);
  const uint32_t sums = bit(kFieldSum1) | bit(kFieldRawSum2) | bit(kFieldRawSum3) |
                        bit(kFieldRawSum4) | bit(kFieldCentralSum2) | bit(kFieldCentralSum3) |
                        bit(kFieldCentralSum4) | bit(kFieldCrossProduct);
  BasicPlan out = plan;
  if (!write_sums) out.fields &= ~sums;
  T* mean = needed<T>(task, out, kFieldMean);
  T* sum1 = needed<T>(task, out, kFieldSum1);
  T* kurtosis = needed<T>(task, out, kFieldKurtosis);
  T* skewness = needed<T>(task, out, kFieldSkewness);
  T* variation = needed<T>(task, out, kFieldVariation);
  T *raw[3], *raw_sum[3], *central[3], *central_sum[3];
  for (int k = 0; k < 3; ++k) {
    raw[k] = needed<T>(task, out, Field(kFieldRaw2 + k));
    raw_sum[k] = needed<T>(task, out, Field(kFieldRawSum2 + k));
    central[k] = needed<T>(task, out, Field(kFieldCentral2 + k));
    central_sum[k] = needed<T>(task, out, Field(kFieldCentralSum2 + k));
  }
  for (int64_t v = 0; v < vars.count; ++v) {
    const int64_t i = vars.index[v];
    const double m = s.mean[i];
    const double c2 = s.central[0][i] * f2;
    const double c[3] = {c2, s.central[1][i] * f1, s.central[2][i] * f1};
    if (mean) mean[i] = static_cast<T>(m);
    if (sum1) sum1[i] = static_cast<T>(m * W);
    for (int k = 0; k < 3; ++k) {
      if (raw[k]) raw[k][i] = static_cast<T>(s.raw[k][i]);
      if (raw_sum[k]) raw_sum[k][i] = static_cast<T>(s.raw[k][i] * W);
      if (central[k]) central[k][i] = static_cast<T>(c[k]);
      if (central_sum[k]) central_sum[k][i] = static_cast<T>(s.central[k][i]);
    }
    if (kurtosis) kurtosis[i] = static_cast<T>(c[2] / (c2 * c2) - 3.0);
    if (skewness) skewness[i] = static_cast<T>(c[1] / std::sqrt(c2 * c2 * c2));
    if (variation) variation[i] = static_cast<T>(std::sqrt(c2) / m);
  }
  if (!plan.matrix) return;
  T* cov = needed<T>(task, out, kFieldCovariance);
  T* cor = needed<T>(task, out, kFieldCorrelation);
  T* cp = needed<T>(task, out, kFieldCrossProduct);
  for (int64_t v = 0; v < vars.count; ++v) {
    const int64_t i = vars.index[v];
    scratch[i] = inv_sqrt(s.C[cross_index(p, i, i)]);
  }
  for (int64_t u = 0; u < vars.count; ++u)
    for (int64_t v = 0; v <= u; ++v) {
      const int64_t l = vars.index[u], i = vars.index[v];
      const double c = s.C[cross_index(p, i, l)];
      if (cov) write_matrix(cov, codes.covariance_packed, p, i, l, c * f2);
      if (cor) write_matrix(cor, codes.correlation_packed, p, i, l, c * scratch[i] * scratch[l]);
      if (cp) write_matrix(cp, codes.cross_product_packed, p, i, l, c);
    }
}

template void load_state<double>(const PavoSSTask&, const BasicPlan&, const MatrixCodes&,
                                 LoadSource, MomentState&, int64_t, VariableList);
template void load_state<float>(const PavoSSTask&, const BasicPlan&, const MatrixCodes&,
                                LoadSource, MomentState&, int64_t, VariableList);
template void write_results<double>(const PavoSSTask&, const BasicPlan&, const MatrixCodes&,
                                    bool, const MomentState&, int64_t, VariableList, double*);
template void write_results<float>(const PavoSSTask&, const BasicPlan&, const MatrixCodes&,
                                   bool, const MomentState&, int64_t, VariableList, double*);

}  // namespace zorn::ss
