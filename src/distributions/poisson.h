// Poisson variates: method 0 exact (inversion below a mean of 10, PTRS above), method 1
// the fast approximation on normal variates with a short inversion below a mean of 1.
#pragma once

#include <cstdint>

namespace zorn::distributions {

// Means from 0 up to this are sampled; above it (where P(X <= INT32_MAX) is below
// e^-(2^29)) every count is INT32_MAX, and a NaN mean gives 0, without a draw.
constexpr double kPoissonLargestMean = 4294967296.0;

int32_t poisson_exact(void* stream, int32_t n, int32_t* r, double lambda);
int32_t poisson_normal_approximation(void* stream, int32_t n, int32_t* r, double lambda);

}  // namespace zorn::distributions
