// Rayleigh variates a + beta sqrt(-ln u).
#include "distributions/frame.h"
#include "zorn/pavo.h"

namespace zorn::distributions {
namespace {

template <class T>
int32_t rayleigh(int32_t method, void* stream, int32_t n, T* r, T a, T beta) {
  KernelEnvironment<T> env(replace_singular_by_ln_subnormal<T>);
  const int32_t status = draw_minus_log_uniforms(env, stream, n, r);
  if (is_failure(status)) return status;
  env.sqrt(n, r);
  shift_scale_and_clamp(method, n, r, a, beta);
  return status;
}

}  // namespace
}  // namespace zorn::distributions

extern "C" {
int32_t _pavodRngRayleigh(int32_t method, void* stream, int32_t n, double* r, double a,
                          double beta) {
  return zorn::distributions::rayleigh(method, stream, n, r, a, beta);
}
int32_t _pavosRngRayleigh(int32_t method, void* stream, int32_t n, float* r, float a, float beta) {
  return zorn::distributions::rayleigh(method, stream, n, r, a, beta);
}
}
