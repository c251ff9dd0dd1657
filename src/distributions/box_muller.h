// The Box-Muller transform's two halves for one block of uniform pairs.
#pragma once

#include <cstdint>

#include "distributions/kernels.h"

namespace zorn::distributions {

// 2 pi, by which the second uniform of a pair becomes an angle.
template <class T>
constexpr T kTwoPi = T(6.283185307179586);

// radius[k] <- sqrt(-2 ln radius[k]) for the first uniforms of m pairs.
template <class T>
void box_muller_radius(KernelEnvironment<T>& env, int32_t m, T* radius) {
  env.ln(m, radius);
  for (int32_t k = 0; k < m; ++k) radius[k] = T(-2) * radius[k];
  env.sqrt(m, radius);
}

}  // namespace zorn::distributions
