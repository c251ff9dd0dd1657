// Method 1: Box-Muller with both halves of each pair, rho sin(theta) then rho cos(theta).
// When a call ends in the middle of a pair, the pair's uniforms wait on the stream in a
// chunk and the next call begins with the cosine half, so successive calls deliver the
// sequence one long call would.
#include <algorithm>

#include "distributions/box_muller.h"
#include "distributions/frame.h"
#include "distributions/gaussian.h"
#include "distributions/stream_caches.h"
#include "zorn/pavo.h"

namespace zorn::distributions {
namespace {

template <class T>
constexpr uint32_t kPendingChunk = sizeof(T) == 8 ? kChunkGaussianPairDouble : kChunkGaussianPairSingle;

// r[2k] = rho_k sin(theta_k), r[2k+1] = rho_k cos(theta_k) for the `count` / 2 pairs of
// uniforms drawn into r itself.
template <class T>
int32_t pairs_into(KernelEnvironment<T>& env, void* stream, int32_t count, T* r) {
  constexpr int32_t kPairs = kBlock / 2;
  T radius[kPairs], angle[kPairs], sine[kPairs], cosine[kPairs];
  const int32_t status = draw_uniform(stream, count, r, T(0), T(1));
  if (is_failure(status)) return status;
  const int32_t m = count / 2;
  for (int32_t k = 0; k < m; ++k) {
    radius[k] = r[2 * k];
    angle[k] = r[2 * k + 1] * kTwoPi<T>;
  }
  env.sincos(m, angle, sine, cosine);
  box_muller_radius(env, m, radius);
  for (int32_t k = 0; k < m; ++k) {
    r[2 * k] = radius[k] * sine[k];
    r[2 * k + 1] = radius[k] * cosine[k];
  }
  return status;
}

}  // namespace

template <class T>
int32_t gaussian_box_muller_pairs(KernelEnvironment<T>& env, void* stream, int32_t n, T* r, T a,
                                  T sigma) {
  // With nothing to write, a pending pair stays pending (and no chunk is made).
  if (n == 0) return draw_uniform(stream, 0, r, T(0), T(1));
  int32_t status;
  PendingPair<T>* pending = pending_pair_cache<T>(stream, kPendingChunk<T>, &status);
  if (pending == nullptr) return status;

  int32_t done = 0;
  if (pending->pending()) {
    // The cosine half; the Cos kernel agrees bit for bit with SinCos's cosine.
    T radius = pending->u1, angle = pending->u2 * kTwoPi<T>;
    box_muller_radius(env, 1, &radius);
    env.cos(1, &angle);
    r[0] = radius * angle;
    done = 1;
  }
  while (n - done >= kBlock) {
    status = pairs_into(env, stream, kBlock, r + done);
    if (is_failure(status)) return status;
    done += kBlock;
  }
  status = pairs_into(env, stream, (n - done) & ~1, r + done);
  if (is_failure(status)) return status;
  done += (n - done) & ~1;

  if (done < n) {
    T pair[2], sine, cosine;
    status = draw_uniform(stream, 2, pair, T(0), T(1));
    if (is_failure(status)) return status;
    pending->u1 = pair[0];
    pending->u2 = pair[1];
    T angle = pair[1] * kTwoPi<T>;
    box_muller_radius(env, 1, &pair[0]);
    env.sincos(1, &angle, &sine, &cosine);
    r[done] = pair[0] * sine;
  } else {
    pending->clear();
  }
  for (int32_t i = 0; i < n; ++i) r[i] = r[i] * sigma + a;
  return status;
}

template int32_t gaussian_box_muller_pairs(KernelEnvironment<double>&, void*, int32_t, double*,
                                           double, double);
template int32_t gaussian_box_muller_pairs(KernelEnvironment<float>&, void*, int32_t, float*, float,
                                           float);

}  // namespace zorn::distributions
