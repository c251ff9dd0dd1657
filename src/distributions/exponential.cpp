#include "distributions/exponential.h"

#include "distributions/frame.h"
#include "zorn/pavo.h"

namespace zorn::distributions {

template <class T>
int32_t exponential_in(KernelEnvironment<T>& env, void* stream, int32_t n, T* r, T a, T beta) {
  const int32_t status = draw_uniform(stream, n, r, T(0), T(1));
  if (is_failure(status)) return status;
  env.ln(n, r);
  for (int32_t i = 0; i < n; ++i) r[i] = a - beta * r[i];
  return status;
}
template int32_t exponential_in(KernelEnvironment<double>&, void*, int32_t, double*, double, double);
template int32_t exponential_in(KernelEnvironment<float>&, void*, int32_t, float*, float, float);

namespace {

template <class T>
int32_t exponential(int32_t method, void* stream, int32_t n, T* r, T a, T beta) {
  KernelEnvironment<T> env(replace_by_ln_subnormal<T>);
  const int32_t status = exponential_in(env, stream, n, r, a, beta);
  if (!is_failure(status) && is_accurate(method)) raise_to_floor(n, r, a);
  return status;
}

}  // namespace
}  // namespace zorn::distributions

extern "C" {
int32_t _pavodRngExponential(int32_t method, void* stream, int32_t n, double* r, double a,
                             double beta) {
  return zorn::distributions::exponential(method, stream, n, r, a, beta);
}
int32_t _pavosRngExponential(int32_t method, void* stream, int32_t n, float* r, float a,
                             float beta) {
  return zorn::distributions::exponential(method, stream, n, r, a, beta);
}
}
