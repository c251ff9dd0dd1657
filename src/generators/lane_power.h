// Multiplicative congruential generators, x <- a x mod m. Block generation: kLanes
// outputs per step, lane l holding x a^l, all lanes multiplied by a^kLanes at each
// step; counts that do not fill a block finish one at a time, so the sequence never
// depends on how a caller splits its requests. Jumps: the state's multiplier a steps
// the sequence, so skipping and leapfrogging are modular powers of it.
#pragma once

#include <cstdint>

#include "streams/status.h"

namespace zorn::generators {

constexpr int32_t kLanes = 8;

// Writes n outputs x, a x, a^2 x, ... into out and returns the next x.
// mul(p, q) is the generator's modular product.
template <typename Word, typename Out, typename MulMod>
Word lane_block(Word x, Word a, int32_t n, Out* out, MulMod mul) {
  int32_t i = 0;
  if (n >= 2 * kLanes) {
    Word lane[kLanes];
    lane[0] = x;
    for (int32_t l = 1; l < kLanes; ++l) lane[l] = mul(lane[l - 1], a);
    Word a_block = a;
    for (int32_t l = 1; l < kLanes; ++l) a_block = mul(a_block, a);
    for (; i + kLanes <= n; i += kLanes)
      for (int32_t l = 0; l < kLanes; ++l) {
        out[i + l] = static_cast<Out>(lane[l]);
        lane[l] = mul(lane[l], a_block);
      }
    x = lane[0];
  }
  for (; i < n; ++i) {
    out[i] = static_cast<Out>(x);
    x = mul(x, a);
  }
  return x;
}

// Skip-ahead and leapfrog of a state {x, a}: skipping count outputs multiplies x by
// a^count; leapfrog member k of n_streams starts at a^k x and steps by a^n_streams.
// Mul(p, q) and Pow(a, e) are the generator's modular product and power.
template <class State, auto Mul, auto Pow>
struct MultiplicativeJumps {
  static int32_t leapfrog(State& s, const void*, uint32_t k, int32_t n_streams) {
    s.x = Mul(s.x, Pow(s.a, k));
    s.a = Pow(s.a, static_cast<uint64_t>(n_streams));
    return streams::kStatusOk;
  }
  static int32_t skip_ahead(State& s, const void*, uint64_t count) {
    s.x = Mul(s.x, Pow(s.a, count));
    return streams::kStatusOk;
  }
};

}  // namespace zorn::generators
