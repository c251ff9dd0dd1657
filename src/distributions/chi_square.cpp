// Chi-square variates with v degrees of freedom, by v:
//  - 1 or 3: the sum of the squares of v standard normals (Gaussian method 2), drawn in
//    blocks of at most 1024 normals, consecutive groups of v per result;
//  - even up to 16: -2 ln of the product of v/2 uniforms, consecutive groups of v/2 per
//    result, in blocks of at most 1024 uniforms;
//  - otherwise: twice a standard gamma variate of shape v/2.
#include <algorithm>

#include "distributions/frame.h"
#include "distributions/gamma.h"
#include "distributions/gaussian.h"
#include "distributions/uniform_blocks.h"
#include "zorn/pavo.h"

namespace zorn::distributions {
namespace {

template <class T>
int32_t sum_of_squares(void* stream, int32_t n, T* r, int32_t v) {
  const int32_t per_block = kBlock / v;
  T z[kBlock];
  std::fill(r, r + n, T(0));
  int32_t status = kStatusOk;
  for (int32_t done = 0; done < n; done += per_block) {
    const int32_t m = std::min(n - done, per_block);
    status = gaussian<T>(kGaussianInversion, stream, m * v, z, T(0), T(1));
    if (is_failure(status)) return status;
    for (int32_t i = 0; i < m; ++i)
      for (int32_t j = 0; j < v; ++j) r[done + i] += z[i * v + j] * z[i * v + j];
  }
  return status;
}

template <class T>
int32_t log_of_products(KernelEnvironment<T>& env, void* stream, int32_t n, T* r, int32_t v) {
  const int32_t group = v / 2, per_block = kBlock / group;
  T u[kBlock];
  return in_uniform_blocks(stream, n, per_block, group, T(0), T(1), u, [&](int32_t done, int32_t m) {
    for (int32_t i = 0; i < m; ++i) {
      T product = u[i * group];
      for (int32_t j = 1; j < group; ++j) product *= u[i * group + j];
      r[done + i] = product;
    }
    env.ln(m, r + done);
    for (int32_t i = 0; i < m; ++i) r[done + i] *= T(-2);
  });
}

template <class T>
int32_t chi_square(void* stream, int32_t n, T* r, int32_t v) {
  KernelEnvironment<T> env(replace_singular_by_ln_subnormal<T>);
  if (v == 1 || v == 3) return sum_of_squares(stream, n, r, v);
  if (v % 2 == 0 && v > 0 && v <= 16) return log_of_products(env, stream, n, r, v);
  const int32_t status = standard_gamma_in(env, stream, n, r, T(v) * T(0.5));
  if (!is_failure(status)) scale_and_shift(n, r, T(0), T(2));
  return status;
}

}  // namespace
}  // namespace zorn::distributions

extern "C" {
int32_t _pavodRngChiSquare(int32_t, void* stream, int32_t n, double* r, int32_t v) {
  return zorn::distributions::chi_square(stream, n, r, v);
}
int32_t _pavosRngChiSquare(int32_t, void* stream, int32_t n, float* r, int32_t v) {
  return zorn::distributions::chi_square(stream, n, r, v);
}
}
