#include "distributions/gamma.h"

#include <algorithm>
#include <limits>

#include "distributions/box_muller_normals.h"
#include "distributions/exponential.h"
#include "distributions/frame.h"
#include "distributions/gamma_rejection.h"
#include "distributions/rejection_blocks.h"
#include "zorn/pavo.h"

namespace zorn::distributions {
namespace {

template <class T>
constexpr uint32_t kGammaPairChunk = sizeof(T) == 8 ? kChunkGammaPairDouble : kChunkGammaPairSingle;

template <class T>
int32_t marsaglia_tsang(KernelEnvironment<T>& env, void* stream, int32_t n, T* r, T alpha) {
  int32_t status;
  PendingPair<T>* cache = pending_pair_cache<T>(stream, kGammaPairChunk<T>, &status);
  if (cache == nullptr) return status;
  const MarsagliaTsang<T> method(alpha);
  BoxMullerNormals<T> normals(env, stream, cache);
  T x[kRejectionBlock], u[kRejectionBlock];
  return fill_by_rejection(n, r, std::numeric_limits<T>::quiet_NaN(),
                           [&](int32_t want, T* out, int32_t* accepted) {
                             int32_t s = normals.draw(want, x);
                             if (is_failure(s)) return s;
                             s = draw_uniform(stream, want, u, T(0), T(1));
                             if (is_failure(s)) return s;
                             for (int32_t i = 0; i < want; ++i) {
                               const T g = method.trial(x[i], u[i]);
                               if (g != kRejected<T>) out[(*accepted)++] = g;
                             }
                             return s;
                           });
}

template <class T>
int32_t small_shape(void* stream, int32_t n, T* r, const SmallShapeGamma<T>& method) {
  T u[2 * kRejectionBlock];
  return fill_by_rejection(n, r, std::numeric_limits<T>::quiet_NaN(),
                           [&](int32_t want, T* out, int32_t* accepted) {
                             const int32_t s = draw_uniform(stream, 2 * want, u, T(0), T(1));
                             if (is_failure(s)) return s;
                             for (int32_t i = 0; i < want; ++i) {
                               const T g = method.trial(u[2 * i], u[2 * i + 1]);
                               if (g != kRejected<T>) out[(*accepted)++] = g;
                             }
                             return s;
                           });
}

}  // namespace

template <class T>
int32_t standard_gamma_in(KernelEnvironment<T>& env, void* stream, int32_t n, T* r, T alpha) {
  if (alpha == T(1)) return exponential_in(env, stream, n, r, T(0), T(1));
  if (alpha > T(1)) return marsaglia_tsang(env, stream, n, r, alpha);
  if (alpha >= T(0.6) && alpha < T(1)) return small_shape(stream, n, r, SmallShapeGamma<T>::best(alpha));
  if (alpha < T(0.6)) return small_shape(stream, n, r, SmallShapeGamma<T>::ahrens_dieter(alpha));
  std::fill(r, r + std::max(n, 0), alpha);  // NaN
  return kStatusOk;
}
template int32_t standard_gamma_in(KernelEnvironment<float>&, void*, int32_t, float*, float);
template int32_t standard_gamma_in(KernelEnvironment<double>&, void*, int32_t, double*, double);

namespace {

template <class T>
int32_t gamma(int32_t method, void* stream, int32_t n, T* r, T alpha, T a, T beta) {
  KernelEnvironment<T> env(replace_singular_by_ln_subnormal<T>);
  const int32_t status = standard_gamma_in(env, stream, n, r, alpha);
  if (!is_failure(status)) shift_scale_and_clamp(method, n, r, a, beta);
  return status;
}

}  // namespace
}  // namespace zorn::distributions

extern "C" {
int32_t _pavodRngGamma(int32_t method, void* stream, int32_t n, double* r, double alpha, double a,
                       double beta) {
  return zorn::distributions::gamma(method, stream, n, r, alpha, a, beta);
}
int32_t _pavosRngGamma(int32_t method, void* stream, int32_t n, float* r, float alpha, float a,
                       float beta) {
  return zorn::distributions::gamma(method, stream, n, r, alpha, a, beta);
}
}
