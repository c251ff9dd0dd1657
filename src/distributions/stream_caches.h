// Values a generator keeps on a stream between calls, in chunks of the stream (so they
// are copied, saved, loaded and freed with it). Chunk identifiers in use:
//   1  Gaussian method 1, single precision: pending uniform pair (u1, u2)
//   2  Gaussian method 1, double precision: pending uniform pair (u1, u2)
//   3  Gamma (shape > 1), single precision: pending Box-Muller pair (u1, u2)
//   4  Gamma (shape > 1), double precision: pending Box-Muller pair (u1, u2)
//   9, 13  Sobol: caller-supplied direction numbers and current values
//   10     Niederreiter: caller-supplied direction data
// A pending pair holds -1 in u1 when nothing is pending.
#pragma once

#include <cstdint>

namespace zorn::distributions {

constexpr uint32_t kGaussianPairChunkSingle = 1;
constexpr uint32_t kGaussianPairChunkDouble = 2;
constexpr uint32_t kGammaPairChunkSingle = 3;
constexpr uint32_t kGammaPairChunkDouble = 4;

template <class T>
struct PendingPair {
  T u1, u2;
  bool pending() const { return u1 != T(-1); }
  void clear() { u1 = u2 = T(-1); }
};

// The pair cache of chunk `id` on the stream, made (empty) on first use. Null with
// *status set when it cannot be made (kStatusNoMemory, or the status of attaching it)
// or when the chunk found is too small to hold a pair (kStatusBadArgument).
template <class T>
PendingPair<T>* pending_pair_cache(void* stream, uint32_t id, int32_t* status);

}  // namespace zorn::distributions
