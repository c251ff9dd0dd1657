// The running summary of p variables over data that arrives in portions: the state a
// statistics task continues from one call to the next, kept in the flat layout of
// zorn/ss_merge.h (weights, means, central sums, cross-products) so that two summaries
// computed apart merge exactly; in double or single precision (T), as the data.
#pragma once

#include <cstdint>
#include <vector>

#include "zorn/ss.h"

namespace zorn_python::stats {

// The task's one-pass methods, by the name Python passes.
enum class Method : int32_t {
  one_pass = PAVO_SS_METHOD_ONE_PASS,
  per_observation = PAVO_SS_METHOD_ONE_PASS_OBS,
  fast = PAVO_SS_METHOD_FAST,
};

template <class T>
class RunningSummary {
 public:
  RunningSummary(int64_t p, bool cross_products, Method method);

  // Adds n observations: x[i*n + j] (variable i, observation j) when variables_in_rows,
  // else x[j*p + i]. `weights` is null or holds n non-negative values.
  void add(const T* x, int64_t n, bool variables_in_rows, const T* weights);
  // Makes this the summary of both data sets (same p, method and cross-products).
  void merge(const RunningSummary& other);

  // Continues from a saved summary of this p and choice of cross-products: the values of
  // count(), partial(), raw_moments(), minimum(), maximum() and nan_seen().
  void restore(int64_t count, std::vector<T> partial, std::vector<T> raw, std::vector<T> minimum,
               std::vector<T> maximum, std::vector<uint8_t> nan_seen);

  int64_t p() const { return p_; }
  Method method() const { return method_; }
  bool cross_products() const { return cross_products_; }
  int64_t count() const { return count_; }
  // The flat partial result of zorn/ss_merge.h (size zorn_ss_partial_size(p)).
  const std::vector<T>& partial() const { return partial_; }
  const std::vector<T>& raw_moments() const { return raw_; }
  const std::vector<T>& minimum() const { return minimum_; }
  const std::vector<T>& maximum() const { return maximum_; }
  // Per variable: 1 once a NaN observation was seen (the task's minimum and maximum pass
  // over NaN; numpy's propagate them).
  const std::vector<uint8_t>& nan_seen() const { return nan_seen_; }

 private:
  void note_nans(const T* x, int64_t n, bool variables_in_rows);

  int64_t p_;
  bool cross_products_;
  Method method_;
  int64_t count_ = 0;
  std::vector<T> partial_;
  std::vector<T> raw_;  // raw moments 2, 3, 4 (p each): the fast method's state
  std::vector<T> minimum_, maximum_;
  std::vector<uint8_t> nan_seen_;
};

extern template class RunningSummary<double>;
extern template class RunningSummary<float>;

}  // namespace zorn_python::stats
