// Exponential variates a - beta * ln(u). Gumbel builds on the same steps.
#pragma once

#include <cstdint>

#include "distributions/kernels.h"

namespace zorn::distributions {

// The draw and transform inside an environment the caller holds (with the callback
// that replaces ln 0); the status of the uniform draw.
template <class T>
int32_t exponential_in(KernelEnvironment<T>& env, void* stream, int32_t n, T* r, T a, T beta);

}  // namespace zorn::distributions
