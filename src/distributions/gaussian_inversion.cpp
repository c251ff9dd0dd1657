// Method 2: a + sigma sqrt(2) erfinv(v), v uniform on [-1, 1). The callback turns
// erfinv(-1) into the finite bound.
#include "distributions/frame.h"
#include "distributions/gaussian.h"

namespace zorn::distributions {

template <class T>
int32_t gaussian_inversion(KernelEnvironment<T>& env, void* stream, int32_t n, T* r, T a,
                           T sigma) {
  const int32_t status = draw_uniform(stream, n, r, T(-1), T(1));
  if (is_failure(status)) return status;
  env.erfinv(n, r);
  scale_and_shift(n, r, a, sigma * T(1.4142135623730951));
  return status;
}

template int32_t gaussian_inversion(KernelEnvironment<double>&, void*, int32_t, double*, double,
                                    double);
template int32_t gaussian_inversion(KernelEnvironment<float>&, void*, int32_t, float*, float,
                                    float);

}  // namespace zorn::distributions
