// Method 0: Box-Muller with one variate, rho sin(theta), per pair of uniforms. Blocks of
// up to 1024 results draw twice as many uniforms into a local buffer.
#include "distributions/box_muller.h"
#include "distributions/frame.h"
#include "distributions/gaussian.h"

namespace zorn::distributions {

template <class T>
int32_t gaussian_box_muller(KernelEnvironment<T>& env, void* stream, int32_t n, T* r, T a,
                            T sigma) {
  T pairs[2 * kBlock];  // the uniforms; then the angles, packed to the front
  return in_blocks_of_pairs(stream, n, pairs, [&](int32_t first, int32_t m) {
    T* radius = r + first;
    for (int32_t k = 0; k < m; ++k) {
      radius[k] = pairs[2 * k];
      pairs[k] = pairs[2 * k + 1] * kTwoPi<T>;
    }
    env.sin(m, pairs);
    box_muller_radius(env, m, radius);
    for (int32_t k = 0; k < m; ++k) radius[k] = radius[k] * sigma * pairs[k] + a;
  });
}

template int32_t gaussian_box_muller(KernelEnvironment<double>&, void*, int32_t, double*, double,
                                     double);
template int32_t gaussian_box_muller(KernelEnvironment<float>&, void*, int32_t, float*, float,
                                     float);

}  // namespace zorn::distributions
