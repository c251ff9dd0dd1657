// Normal variates N(a, sigma) by method 0 (Box-Muller, one variate per pair), 1
// (Box-Muller, both halves, the pending half kept on the stream) and 2 (inversion by
// ErfInv). Lognormal and the multivariate normal draw through here.
#pragma once

#include <cstdint>

#include "distributions/kernels.h"

namespace zorn::distributions {

constexpr int32_t kGaussianBoxMuller = 0;
constexpr int32_t kGaussianBoxMullerPairs = 1;
constexpr int32_t kGaussianInversion = 2;

// The method of `method` (the accurate flag has no meaning here and is dropped) inside
// an environment the caller holds with replace_normal_special<T>. A method number
// outside 0..2 gives kStatusBadMethod and draws nothing.
template <class T>
int32_t gaussian_in(KernelEnvironment<T>& env, int32_t method, void* stream, int32_t n, T* r,
                    T a, T sigma);

// The whole generator: its own environment around gaussian_in.
template <class T>
int32_t gaussian(int32_t method, void* stream, int32_t n, T* r, T a, T sigma);

// The three methods, one file each.
template <class T>
int32_t gaussian_box_muller(KernelEnvironment<T>& env, void* stream, int32_t n, T* r, T a, T sigma);
template <class T>
int32_t gaussian_box_muller_pairs(KernelEnvironment<T>& env, void* stream, int32_t n, T* r, T a,
                                  T sigma);
template <class T>
int32_t gaussian_inversion(KernelEnvironment<T>& env, void* stream, int32_t n, T* r, T a, T sigma);

}  // namespace zorn::distributions
