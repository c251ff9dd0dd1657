// Standard normal variates for the gamma generator, made by the Box-Muller transform:
// x = sqrt(-2 ln u1) sin(2 pi u2) and then sqrt(-2 ln u1) cos(2 pi u2), from kernels
// over whole blocks. When a call needs an odd count, the pair whose cosine half is
// still unused is kept in a stream chunk and that half is the first value of the next
// draw, so the stream's normals do not depend on how the calls were cut.
#pragma once

#include <cstdint>

#include "distributions/kernels.h"
#include "distributions/rejection_blocks.h"
#include "distributions/stream_caches.h"

namespace zorn::distributions {

template <class T>
class BoxMullerNormals {
 public:
  // `cache` is the stream's pending pair (see stream_caches.h).
  BoxMullerNormals(KernelEnvironment<T>& env, void* stream, PendingPair<T>* cache)
      : env_(env), stream_(stream), cache_(cache) {}

  // n <= kRejectionBlock normals into x; the status of the uniform draw. On a failing
  // draw nothing is written and the pending pair stays.
  int32_t draw(int32_t n, T* x);

 private:
  static constexpr int32_t kMaxPairs = kRejectionBlock / 2 + 1;
  KernelEnvironment<T>& env_;
  void* stream_;
  PendingPair<T>* cache_;
  T uniforms_[2 * kMaxPairs];
  T radius_[kMaxPairs], angle_[kMaxPairs], sine_[kMaxPairs], cosine_[kMaxPairs];
};

}  // namespace zorn::distributions
