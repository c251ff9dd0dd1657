#include "running_summary.h"

#include <cmath>
#include <limits>
#include <stdexcept>
#include <utility>

#include "stats/stats_task.h"
#include "zorn/ss_merge.h"

namespace zorn_python::stats {

template <class T>
RunningSummary<T>::RunningSummary(int64_t p, bool cross_products, Method method)
    : p_(p),
      cross_products_(cross_products),
      method_(method),
      partial_(static_cast<size_t>(zorn_ss_partial_size(p)), T(0)),
      raw_(static_cast<size_t>(3 * p), T(0)),
      minimum_(static_cast<size_t>(p), std::numeric_limits<T>::infinity()),
      maximum_(static_cast<size_t>(p), -std::numeric_limits<T>::infinity()),
      nan_seen_(static_cast<size_t>(p), 0) {}

template <class T>
void RunningSummary<T>::add(const T* x, int64_t n, bool variables_in_rows, const T* weights) {
  if (n == 0) return;
  if (weights != nullptr)
    for (int64_t j = 0; j < n; ++j)
      if (!(weights[j] >= 0)) throw std::domain_error("weights must be non-negative numbers");
  int64_t p = p_, count = n;
  int64_t storage = variables_in_rows ? PAVO_SS_STORAGE_ROWS : PAVO_SS_STORAGE_COLUMNS;
  int64_t cross_storage = PAVO_SS_MATRIX_FULL;
  Task<T> task(&p, &count, &storage, x, weights);
  T* s = partial_.data();
  T* raw = raw_.data();
  check_status(
      Calls<T>::edit_task(task.get(), PAVO_SS_ID_ACCUMULATED_WEIGHTS, s + ZORN_SS_PARTIAL_WEIGHTS));
  check_status(Calls<T>::edit_moments(task.get(), s + ZORN_SS_PARTIAL_MEAN, raw, raw + p_,
                                    raw + 2 * p_, nullptr, nullptr, nullptr));
  check_status(Calls<T>::edit_sums(
      task.get(), nullptr, nullptr, nullptr, nullptr, s + zorn_ss_partial_central_sum_at(p_, 2),
      s + zorn_ss_partial_central_sum_at(p_, 3), s + zorn_ss_partial_central_sum_at(p_, 4)));
  check_status(Calls<T>::edit_task(task.get(), PAVO_SS_ID_MINIMUM, minimum_.data()));
  check_status(Calls<T>::edit_task(task.get(), PAVO_SS_ID_MAXIMUM, maximum_.data()));
  uint64_t estimates =
      PAVO_SS_MEAN | PAVO_SS_CENTRAL_SUM_2 | PAVO_SS_CENTRAL_SUM_3 | PAVO_SS_CENTRAL_SUM_4;
  if (cross_products_) {
    check_status(Calls<T>::edit_cp(task.get(), nullptr, nullptr,
                                 s + zorn_ss_partial_cross_product_at(p_), &cross_storage));
    estimates |= PAVO_SS_CROSS_PRODUCT;
  }
  const auto method = static_cast<int32_t>(method_);
  check_status(Calls<T>::basic(task.get(), estimates, method, nullptr));
  check_status(
      Calls<T>::minmax(task.get(), PAVO_SS_MINIMUM | PAVO_SS_MAXIMUM, PAVO_SS_METHOD_ONE_PASS));
  count_ += n;
  note_nans(x, n, variables_in_rows);
}

// A NaN observation makes the running mean NaN for good, so only variables whose mean
// is NaN (NaN data, or +inf and -inf together) are searched, and each only until found.
template <class T>
void RunningSummary<T>::note_nans(const T* x, int64_t n, bool variables_in_rows) {
  const T* mean = partial_.data() + ZORN_SS_PARTIAL_MEAN;
  for (int64_t i = 0; i < p_; ++i) {
    if (nan_seen_[i] || !std::isnan(mean[i])) continue;
    const T* v = variables_in_rows ? x + i * n : x + i;
    const int64_t step = variables_in_rows ? 1 : p_;
    for (int64_t j = 0; j < n && !nan_seen_[i]; ++j) nan_seen_[i] = std::isnan(v[j * step]);
  }
}

template <class T>
void RunningSummary<T>::restore(int64_t count, std::vector<T> partial, std::vector<T> raw,
                                std::vector<T> minimum, std::vector<T> maximum,
                                std::vector<uint8_t> nan_seen) {
  if (count < 0 || partial.size() != partial_.size() || raw.size() != raw_.size() ||
      minimum.size() != minimum_.size() || maximum.size() != maximum_.size() ||
      nan_seen.size() != nan_seen_.size())
    throw std::invalid_argument("the saved summary does not fit its number of variables");
  count_ = count;
  partial_ = std::move(partial);
  raw_ = std::move(raw);
  minimum_ = std::move(minimum);
  maximum_ = std::move(maximum);
  nan_seen_ = std::move(nan_seen);
}

template <class T>
void RunningSummary<T>::merge(const RunningSummary& other) {
  if (other.p_ != p_ || other.cross_products_ != cross_products_ || other.method_ != method_)
    throw std::invalid_argument(
        "summaries merge only with the same number of variables, method and covariance choice");
  const double wa = partial_[0], wb = other.partial_[0];
  // The fast method continues from raw moments: they merge as weighted means.
  if (wa > 0 && wb > 0) {
    const ZornSSMergeFactors f = zorn_ss_merge_factors(wa, wb);
    for (size_t k = 0; k < raw_.size(); ++k)
      raw_[k] = static_cast<T>(f.fa * raw_[k] + f.fb * other.raw_[k]);
  } else if (wb > 0) {
    raw_ = other.raw_;
  }
  // The merge formulas are written in double: single precision sums merge through it.
  std::vector<double> a(partial_.begin(), partial_.end());
  const std::vector<double> b(other.partial_.begin(), other.partial_.end());
  zorn_ss_partial_merge(p_, a.data(), b.data());
  for (size_t k = 0; k < a.size(); ++k) partial_[k] = static_cast<T>(a[k]);
  for (int64_t i = 0; i < p_; ++i) {
    minimum_[i] = std::fmin(minimum_[i], other.minimum_[i]);
    maximum_[i] = std::fmax(maximum_[i], other.maximum_[i]);
    nan_seen_[i] |= other.nan_seen_[i];
  }
  count_ += other.count_;
}

template class RunningSummary<double>;
template class RunningSummary<float>;

}  // namespace zorn_python::stats
