// Weibull variates a + beta (-ln u)^(1/alpha); shape 1 needs no power.
#include "distributions/frame.h"
#include "zorn/pavo.h"

namespace zorn::distributions {
namespace {

template <class T>
int32_t weibull(int32_t method, void* stream, int32_t n, T* r, T alpha, T a, T beta) {
  KernelEnvironment<T> env(replace_singular_by_ln_subnormal<T>);
  const int32_t status = draw_minus_log_uniforms(env, stream, n, r);
  if (is_failure(status)) return status;
  if (alpha != T(1)) env.powx(n, r, T(1) / alpha);
  shift_scale_and_clamp(method, n, r, a, beta);
  return status;
}

}  // namespace
}  // namespace zorn::distributions

extern "C" {
int32_t _pavodRngWeibull(int32_t method, void* stream, int32_t n, double* r, double alpha,
                         double a, double beta) {
  return zorn::distributions::weibull(method, stream, n, r, alpha, a, beta);
}
int32_t _pavosRngWeibull(int32_t method, void* stream, int32_t n, float* r, float alpha, float a,
                         float beta) {
  return zorn::distributions::weibull(method, stream, n, r, alpha, a, beta);
}
}
