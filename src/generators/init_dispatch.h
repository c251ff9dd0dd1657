// The four init_stream methods of a generator, dispatched once for every generator:
// a generator names the methods it supports and this supplies the refusal statuses and
// the check that the parameters are there. Each method returns its status.
#pragma once

#include <cstdint>

#include "streams/status.h"
#include "streams/stream_object.h"

namespace zorn::generators {

template <typename State>
struct InitMethods {
  // method 0: n seed words at seeds
  int32_t (*seed)(State& state, const void* stream, int32_t n, const uint32_t* seeds);
  // method 1: member k of n_streams leapfrog streams; null when unsupported
  int32_t (*leapfrog)(State& state, const void* stream, uint32_t k, int32_t n_streams);
  // method 2: skip by one 64-bit count; null when unsupported
  int32_t (*skip_ahead)(State& state, const void* stream, uint64_t count);
  // method 3: skip by n 64-bit words, least significant first; null when unsupported
  int32_t (*skip_ahead_multi)(State& state, const void* stream, int32_t n, const uint64_t* count);
};

template <typename State>
int32_t dispatch_init(const InitMethods<State>& m, uint32_t method, void* stream, int32_t n,
                      const void* params) {
  State& state = streams::state_of<State>(stream);
  // Seeding with no words and a multi-word skip by no words read nothing; every other
  // request reads its parameters, which must then be there.
  const bool reads_params = method == PAVO_INIT_LEAPFROG || method == PAVO_INIT_SKIP_AHEAD || n > 0;
  if (method <= PAVO_INIT_SKIP_AHEAD_MULTI && reads_params && params == nullptr) return streams::kStatusBadArgument;
  switch (method) {
    case PAVO_INIT_SEED:
      return m.seed(state, stream, n, static_cast<const uint32_t*>(params));
    case PAVO_INIT_LEAPFROG:
      if (m.leapfrog == nullptr) return streams::kStatusLeapfrogUnsupported;
      return m.leapfrog(state, stream, *static_cast<const uint32_t*>(params), n);
    case PAVO_INIT_SKIP_AHEAD:
      if (m.skip_ahead == nullptr) return streams::kStatusSkipAheadUnsupported;
      return m.skip_ahead(state, stream, *static_cast<const uint64_t*>(params));
    case PAVO_INIT_SKIP_AHEAD_MULTI:
      if (m.skip_ahead_multi == nullptr) return streams::kStatusSkipAheadExUnsupported;
      return m.skip_ahead_multi(state, stream, n, static_cast<const uint64_t*>(params));
    default:
      return streams::kStatusBadMethod;
  }
}

// The seed word k when n words were given, else `fallback`.
inline uint32_t seed_word(int32_t n, const uint32_t* seeds, int32_t k, uint32_t fallback) {
  return k < n ? seeds[k] : fallback;
}

}  // namespace zorn::generators
