// Method 0: Box-Muller with one variate, rho sin(theta), per pair of uniforms. Blocks of
// up to 1024 results draw twice as many uniforms into a local buffer.
#include <algorithm>

#include "distributions/box_muller.h"
#include "distributions/frame.h"
#include "distributions/gaussian.h"

namespace zorn::distributions {

template <class T>
int32_t gaussian_box_muller(KernelEnvironment<T>& env, void* stream, int32_t n, T* r, T a,
                            T sigma) {
  T pairs[2 * kBlock];  // the uniforms; then the angles, packed to the front
  int32_t status;
  int32_t done = 0;
  do {
    const int32_t m = std::min(n - done, kBlock);
    T* radius = r + done;
    status = draw_uniform(stream, 2 * m, pairs, T(0), T(1));
    if (is_failure(status)) return status;
    for (int32_t k = 0; k < m; ++k) {
      radius[k] = pairs[2 * k];
      pairs[k] = pairs[2 * k + 1] * kTwoPi<T>;
    }
    env.sin(m, pairs);
    box_muller_radius(env, m, radius);
    for (int32_t k = 0; k < m; ++k) radius[k] = radius[k] * sigma * pairs[k] + a;
    done += m;
  } while (done < n);
  return status;
}

template int32_t gaussian_box_muller(KernelEnvironment<double>&, void*, int32_t, double*, double,
                                     double);
template int32_t gaussian_box_muller(KernelEnvironment<float>&, void*, int32_t, float*, float,
                                     float);

}  // namespace zorn::distributions
