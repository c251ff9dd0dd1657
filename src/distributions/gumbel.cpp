// Gumbel variates a + beta ln(-ln u): a standard exponential draw, then its logarithm.
#include "distributions/exponential.h"
#include "distributions/frame.h"
#include "zorn/pavo.h"

namespace zorn::distributions {
namespace {

template <class T>
int32_t gumbel(int32_t, void* stream, int32_t n, T* r, T a, T beta) {
  KernelEnvironment<T> env(replace_by_ln_subnormal<T>);
  const int32_t status = exponential_in(env, stream, n, r, T(0), T(1));
  if (is_failure(status)) return status;
  env.ln(n, r);
  scale_and_shift(n, r, a, beta);
  return status;
}

}  // namespace
}  // namespace zorn::distributions

extern "C" {
int32_t _pavodRngGumbel(int32_t method, void* stream, int32_t n, double* r, double a, double beta) {
  return zorn::distributions::gumbel(method, stream, n, r, a, beta);
}
int32_t _pavosRngGumbel(int32_t method, void* stream, int32_t n, float* r, float a, float beta) {
  return zorn::distributions::gumbel(method, stream, n, r, a, beta);
}
}
