// Random123 (Salmon et al. 2011; Debian librandom123-dev) as the oracle for the
// counter-based generators: the word sequence of a counter stream starting at a
// 128-bit counter, the counter advancing by one (wrapping at 2^128) per block of four.
#pragma once

#include <cstdint>
#include <vector>

// The ARS functions use AES instructions; compiled for them here, run only after the
// processor has been asked.
#define R123_USE_AES_NI 1
#pragma GCC push_options
#pragma GCC target("aes,sse2")
#include <Random123/ars.h>
#pragma GCC pop_options
#include <Random123/philox.h>

namespace oracle {

template <typename Ctr, typename Block>
std::vector<uint32_t> counter_words(Ctr ctr, int n_blocks, Block&& block) {
  std::vector<uint32_t> out;
  for (int i = 0; i < n_blocks; ++i) {
    const Ctr x = block(ctr);
    out.insert(out.end(), x.v, x.v + 4);
    for (int w = 0; w < 4 && ++ctr.v[w] == 0; ++w) {
    }
  }
  return out;
}

inline std::vector<uint32_t> philox(std::vector<uint32_t> key, std::vector<uint32_t> ctr, int n_blocks) {
  const philox4x32_key_t k = {{key[0], key[1]}};
  return counter_words(philox4x32_ctr_t{{ctr[0], ctr[1], ctr[2], ctr[3]}}, n_blocks,
                       [&k](philox4x32_ctr_t c) { return philox4x32_R(10, c, k); });
}

#pragma GCC push_options
#pragma GCC target("aes,sse2")
inline std::vector<uint32_t> ars5(std::vector<uint32_t> key, std::vector<uint32_t> ctr, int n_blocks) {
  const ars4x32_key_t k = {{key[0], key[1], key[2], key[3]}};
  return counter_words(ars4x32_ctr_t{{ctr[0], ctr[1], ctr[2], ctr[3]}}, n_blocks,
                       [&k](ars4x32_ctr_t c) { return ars4x32_R(5, c, k); });
}
#pragma GCC pop_options

}  // namespace oracle
