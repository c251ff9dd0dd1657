// Laplace variates a ± beta ln(u1), the sign from a second uniform u2. Blocks of 1024
// results take 2048 uniforms each, as (u1, u2) pairs in stream order.
#include "distributions/frame.h"
#include "zorn/pavo.h"

namespace zorn::distributions {
namespace {

template <class T>
int32_t laplace(int32_t, void* stream, int32_t n, T* r, T a, T beta) {
  KernelEnvironment<T> env(replace_by_ln_subnormal<T>);
  T pairs[2 * kBlock];
  return in_blocks_of_pairs(stream, n, pairs, [&](int32_t first, int32_t m) {
    T* block = r + first;
    for (int32_t k = 0; k < m; ++k) {
      block[k] = pairs[2 * k];
      pairs[k] = pairs[2 * k + 1];  // u2 packed to the front; never overtakes a u1 read
    }
    env.ln(m, block);
    for (int32_t k = 0; k < m; ++k) block[k] = a + (pairs[k] > T(0.5) ? beta : -beta) * block[k];
  });
}

}  // namespace
}  // namespace zorn::distributions

extern "C" {
int32_t _pavodRngLaplace(int32_t method, void* stream, int32_t n, double* r, double a, double beta) {
  return zorn::distributions::laplace(method, stream, n, r, a, beta);
}
int32_t _pavosRngLaplace(int32_t method, void* stream, int32_t n, float* r, float a, float beta) {
  return zorn::distributions::laplace(method, stream, n, r, a, beta);
}
}
