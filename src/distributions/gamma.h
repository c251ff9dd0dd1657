// Standard gamma variates, the core of Gamma, Beta and ChiSquare.
#pragma once

#include <cstdint>

#include "distributions/kernels.h"

namespace zorn::distributions {

// n standard gamma variates of shape alpha into r, inside an environment the caller
// holds (with the callback that replaces ln 0); the status of the last draw. Shape 1
// is the exponential draw, shape > 1 Marsaglia-Tsang, 0.6 <= shape < 1 Best's RGS,
// shape < 0.6 Ahrens-Dieter GS. A NaN shape gives NaN results without a draw.
template <class T>
int32_t standard_gamma_in(KernelEnvironment<T>& env, void* stream, int32_t n, T* r, T alpha);

}  // namespace zorn::distributions
