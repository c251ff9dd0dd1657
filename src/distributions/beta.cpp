// Beta variates a + beta X with X ~ Beta(p, q). Both shapes below 1: Johnk's method
// (M. D. Johnk, Metrika 8, 1964): x = u1^(1/p), y = u2^(1/q), accepted when x + y <= 1,
// X = x / (x + y), worked in logarithms so that x and y may both underflow (X is then
// 1 / (1 + e^(ln y - ln x))). Otherwise X = G_p / (G_p + G_q) from two gamma variates,
// of which at most one can be 0.
#include <algorithm>
#include <cmath>
#include <limits>

#include "distributions/frame.h"
#include "distributions/gamma.h"
#include "distributions/rejection_blocks.h"
#include "zorn/pavo.h"

namespace zorn::distributions {
namespace {

template <class T>
int32_t johnk(KernelEnvironment<T>& env, void* stream, int32_t n, T* r, T p, T q) {
  const T inv_p = T(1) / p, inv_q = T(1) / q;
  T logs[2 * kRejectionBlock];
  return fill_by_rejection(n, r, std::numeric_limits<T>::quiet_NaN(),
                           [&](int32_t want, T* out, int32_t* accepted) {
                             const int32_t s = draw_uniform(stream, 2 * want, logs, T(0), T(1));
                             if (is_failure(s)) return s;
                             env.ln(2 * want, logs);  // ln 0 is replaced by a finite value
                             for (int32_t i = 0; i < want; ++i) {
                               const T lx = logs[2 * i] * inv_p, ly = logs[2 * i + 1] * inv_q;
                               if (std::exp(lx) + std::exp(ly) <= T(1))
                                 out[(*accepted)++] = T(1) / (T(1) + std::exp(ly - lx));
                             }
                             return s;
                           });
}

template <class T>
int32_t gamma_ratio(KernelEnvironment<T>& env, void* stream, int32_t n, T* r, T p, T q) {
  T other[kRejectionBlock];
  int32_t status = kStatusOk;
  for (int32_t done = 0; done < n; done += kRejectionBlock) {
    const int32_t m = std::min(n - done, kRejectionBlock);
    status = standard_gamma_in(env, stream, m, r + done, p);
    if (is_failure(status)) return status;
    status = standard_gamma_in(env, stream, m, other, q);
    if (is_failure(status)) return status;
    for (int32_t i = 0; i < m; ++i) r[done + i] = r[done + i] / (r[done + i] + other[i]);
  }
  return status;
}

template <class T>
int32_t beta_variates(int32_t method, void* stream, int32_t n, T* r, T p, T q, T a, T beta) {
  KernelEnvironment<T> env(replace_singular_by_ln_subnormal<T>);
  const int32_t status = p < T(1) && q < T(1) ? johnk(env, stream, n, r, p, q)
                                              : gamma_ratio(env, stream, n, r, p, q);
  if (is_failure(status)) return status;
  scale_and_shift(n, r, a, beta);
  if (is_accurate(method)) {
    const T top = a + beta;
    for (int32_t i = 0; i < n; ++i) r[i] = r[i] < a ? a : r[i] > top ? top : r[i];
  }
  return status;
}

}  // namespace
}  // namespace zorn::distributions

extern "C" {
int32_t _pavodRngBeta(int32_t method, void* stream, int32_t n, double* r, double p, double q,
                      double a, double beta) {
  return zorn::distributions::beta_variates(method, stream, n, r, p, q, a, beta);
}
int32_t _pavosRngBeta(int32_t method, void* stream, int32_t n, float* r, float p, float q, float a,
                      float beta) {
  return zorn::distributions::beta_variates(method, stream, n, r, p, q, a, beta);
}
}
