// Values a generator keeps on a stream between calls, in chunks of the stream; the
// identifiers (and what a loader accepts in them) are listed in streams/cache_chunks.h.
#pragma once

#include <cstdint>

#include "streams/cache_chunks.h"

namespace zorn::distributions {

using streams::kChunkGammaPairDouble;
using streams::kChunkGammaPairSingle;
using streams::kChunkGaussianPairDouble;
using streams::kChunkGaussianPairSingle;

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
