// The Gaussian generator: a table of the three method workers, indexed by the method
// number, run in the environment with the normal-variate callback.
#include "distributions/gaussian.h"

#include <iterator>

#include "distributions/frame.h"
#include "zorn/pavo.h"

namespace zorn::distributions {

template <class T>
int32_t gaussian_in(KernelEnvironment<T>& env, int32_t method, void* stream, int32_t n, T* r,
                    T a, T sigma) {
  using Worker = int32_t (*)(KernelEnvironment<T>&, void*, int32_t, T*, T, T);
  static constexpr Worker kMethods[] = {gaussian_box_muller<T>, gaussian_box_muller_pairs<T>,
                                        gaussian_inversion<T>};
  const int32_t number = method_number(method);
  if (number < 0 || number >= static_cast<int32_t>(std::size(kMethods))) return kStatusBadMethod;
  return kMethods[number](env, stream, n, r, a, sigma);
}

template <class T>
int32_t gaussian(int32_t method, void* stream, int32_t n, T* r, T a, T sigma) {
  KernelEnvironment<T> env(replace_normal_special<T>);
  return gaussian_in(env, method, stream, n, r, a, sigma);
}

template int32_t gaussian_in(KernelEnvironment<double>&, int32_t, void*, int32_t, double*, double,
                             double);
template int32_t gaussian_in(KernelEnvironment<float>&, int32_t, void*, int32_t, float*, float,
                             float);
template int32_t gaussian(int32_t, void*, int32_t, double*, double, double);
template int32_t gaussian(int32_t, void*, int32_t, float*, float, float);

}  // namespace zorn::distributions

extern "C" {
int32_t _pavodRngGaussian(int32_t method, void* stream, int32_t n, double* r, double a,
                          double sigma) {
  return zorn::distributions::gaussian(method, stream, n, r, a, sigma);
}
int32_t _pavosRngGaussian(int32_t method, void* stream, int32_t n, float* r, float a, float sigma) {
  return zorn::distributions::gaussian(method, stream, n, r, a, sigma);
}
}
