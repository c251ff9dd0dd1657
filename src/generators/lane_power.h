// Block generation for multiplicative congruential generators: kLanes outputs per
// step, lane l holding x a^l, all lanes multiplied by a^kLanes at each step. Counts
// that do not fill a block finish one at a time, so the sequence never depends on how
// a caller splits its requests.
#pragma once

#include <cstdint>

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

}  // namespace zorn::generators
