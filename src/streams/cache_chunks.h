// Chunks in which distributions keep values on a stream between calls, so that they
// are copied, saved, loaded and freed with it. Identifiers of every chunk the library
// itself attaches:
//   1, 2   Gaussian by paired Box-Muller (single, double): pending uniform pair (u1, u2)
//   3, 4   Gamma with shape above 1 (single, double): pending Box-Muller pair (u1, u2)
//   9, 13  Sobol: caller direction numbers and current values
//   10     Niederreiter: caller direction data
// A pending pair holds -1 in u1 when nothing is pending.
#pragma once

#include <cstdint>

namespace zorn::streams {

constexpr uint32_t kChunkGaussianPairSingle = 1;
constexpr uint32_t kChunkGaussianPairDouble = 2;
constexpr uint32_t kChunkGammaPairSingle = 3;
constexpr uint32_t kChunkGammaPairDouble = 4;

// Whether every pending-pair chunk of the stream is one its generator can resume from:
// exactly two values of its precision, u1 = -1 (none pending) or both in [0, 1].
bool cache_chunks_valid(const void* stream);

}  // namespace zorn::streams
