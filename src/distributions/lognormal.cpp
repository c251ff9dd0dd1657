// Lognormal variates b + beta exp(N(a, sigma)). The normal draw uses method 1 when the
// method word is exactly 0 and inversion otherwise (so the accurate flag selects
// inversion); it and the exponential share the Gaussian generator's environment.
#include "distributions/frame.h"
#include "distributions/gaussian.h"
#include "zorn/pavo.h"

namespace zorn::distributions {
namespace {

template <class T>
int32_t lognormal(int32_t method, void* stream, int32_t n, T* r, T a, T sigma, T b, T beta) {
  KernelEnvironment<T> env(replace_normal_special<T>);
  const int32_t normal_method = method == 0 ? kGaussianBoxMullerPairs : kGaussianInversion;
  const int32_t status = gaussian_in(env, normal_method, stream, n, r, a, sigma);
  if (is_failure(status)) return status;
  env.exp(n, r);
  shift_scale_and_clamp(method, n, r, b, beta);
  return status;
}

}  // namespace
}  // namespace zorn::distributions

extern "C" {
int32_t _pavodRngLognormal(int32_t method, void* stream, int32_t n, double* r, double a,
                           double sigma, double b, double beta) {
  return zorn::distributions::lognormal(method, stream, n, r, a, sigma, b, beta);
}
int32_t _pavosRngLognormal(int32_t method, void* stream, int32_t n, float* r, float a, float sigma,
                           float b, float beta) {
  return zorn::distributions::lognormal(method, stream, n, r, a, sigma, b, beta);
}
}
