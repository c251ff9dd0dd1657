// The block functions of the counter-based generators, one per instruction set: each
// writes `blocks` blocks of four words, from the block the counter names on, and
// advances the counter past them (wrapping at 2^128). A generator picks the widest its
// processor runs (streams/processor_features.h); the others stay callable for tests.
#pragma once

#include <cstdint>

namespace zorn::generators {

// Philox4x32-10 under the key (k0, k1).
void philox4x32x10_blocks_sse2(const uint32_t key[2], uint32_t counter[4], int32_t blocks, uint32_t* out);
void philox4x32x10_blocks_avx2(const uint32_t key[2], uint32_t counter[4], int32_t blocks, uint32_t* out);

// ARS-5 under the 128-bit key: AES-NI on 128-bit vectors, and VAES on 256-bit ones.
void ars5_blocks_aes(const uint32_t key[4], uint32_t counter[4], int32_t blocks, uint32_t* out);
void ars5_blocks_vaes(const uint32_t key[4], uint32_t counter[4], int32_t blocks, uint32_t* out);

}  // namespace zorn::generators
