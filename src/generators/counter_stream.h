// The stream shape shared by the counter-based generators (Salmon et al. 2011,
// "Parallel random numbers: as easy as 1, 2, 3"): a key, a 128-bit block counter
// (least significant 32-bit word first) and the four words of the last encrypted block.
//
// Invariant: the counter names the next block to encrypt, and the words of the buffer
// not yet returned are its last `remaining` ones, so the next output is
// buffer[4 - remaining]. A stream therefore continues at word 4 x counter - remaining
// of the sequence, which makes skip-ahead an addition.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "generators/init_dispatch.h"
#include "streams/status.h"

namespace zorn::generators {

constexpr int32_t kBlockWords = 4;

template <int KeyWords>
struct CounterState {
  uint32_t key[KeyWords];
  uint32_t counter[4];
  uint32_t remaining;  // 0 .. 4
  uint32_t buffer[kBlockWords];
};

// The counter as two 64-bit halves and back.
inline uint64_t counter_half(const uint32_t counter[4], int half) {
  return counter[2 * half] | uint64_t{counter[2 * half + 1]} << 32;
}
inline void set_counter(uint32_t counter[4], uint64_t low, uint64_t high) {
  counter[0] = static_cast<uint32_t>(low);
  counter[1] = static_cast<uint32_t>(low >> 32);
  counter[2] = static_cast<uint32_t>(high);
  counter[3] = static_cast<uint32_t>(high >> 32);
}

// counter += (high:low), wrapping at 2^128.
inline void add_to_counter(uint32_t counter[4], uint64_t low, uint64_t high) {
  const uint64_t old_low = counter_half(counter, 0);
  const uint64_t new_low = old_low + low;
  set_counter(counter, new_low, counter_half(counter, 1) + high + (new_low < old_low ? 1 : 0));
}

inline void increment_counter(uint32_t counter[4]) {
  for (int w = 0; w < 4 && ++counter[w] == 0; ++w) {
  }
}

// Seeding: the key from the first seed words, the counter from the four after them,
// each word not given 0; no word of the buffer is pending.
template <typename State>
int32_t seed_counter_state(State& s, const void*, int32_t n, const uint32_t* seeds) {
  constexpr int32_t kKeyWords = sizeof s.key / sizeof s.key[0];
  for (int32_t w = 0; w < kKeyWords; ++w) s.key[w] = seed_word(n, seeds, w, 0);
  for (int32_t w = 0; w < 4; ++w) s.counter[w] = seed_word(n, seeds, kKeyWords + w, 0);
  s.remaining = 0;
  std::fill_n(s.buffer, kBlockWords, 0u);
  return streams::kStatusOk;
}

// Integer output. encrypt(state, counter, blocks, out) writes `blocks` blocks of four
// words, from the block the counter names on, and advances the counter past them.
template <typename State, typename Encrypt>
void counter_raw(State& s, int32_t n, uint32_t* out, Encrypt&& encrypt) {
  // A state that did not come from this code must not index outside the buffer.
  if (s.remaining > kBlockWords) s.remaining = 0;
  const int32_t buffered = std::min(static_cast<int32_t>(s.remaining), n);
  std::memcpy(out, s.buffer + kBlockWords - s.remaining, sizeof(uint32_t) * buffered);
  s.remaining -= buffered;
  out += buffered;
  n -= buffered;
  const int32_t whole = n / kBlockWords;
  if (whole > 0) encrypt(s, s.counter, whole, out);
  out += whole * kBlockWords;
  n -= whole * kBlockWords;
  if (n > 0) {
    encrypt(s, s.counter, 1, s.buffer);
    std::memcpy(out, s.buffer, sizeof(uint32_t) * n);
    s.remaining = kBlockWords - n;
  }
}

// Skip-ahead by the count of 32-bit words given as `words` 64-bit words, low first.
// Only the first three words can matter: the count is taken in blocks of four words
// modulo 2^128 blocks, that is modulo 2^130 words.
template <typename State, typename Encrypt>
int32_t counter_skip(State& s, int32_t words, const uint64_t* count, Encrypt&& encrypt) {
  if (s.remaining > kBlockWords) s.remaining = 0;
  uint64_t c[3] = {};
  std::copy_n(count, std::clamp(words, 0, 3), c);
  if (c[1] == 0 && c[2] == 0 && c[0] <= s.remaining) {
    s.remaining -= static_cast<uint32_t>(c[0]);
    return streams::kStatusOk;
  }
  // r = count - remaining > 0, then r / 4 whole blocks and r mod 4 words into the next.
  const uint64_t borrow0 = c[0] < s.remaining ? 1 : 0;
  c[0] -= s.remaining;
  const uint64_t borrow1 = c[1] < borrow0 ? 1 : 0;
  c[1] -= borrow0;
  c[2] -= borrow1;
  add_to_counter(s.counter, c[0] >> 2 | c[1] << 62, c[1] >> 2 | c[2] << 62);
  const uint32_t into_block = static_cast<uint32_t>(c[0] & 3);
  s.remaining = 0;
  if (into_block != 0) {
    encrypt(s, s.counter, 1, s.buffer);
    s.remaining = kBlockWords - into_block;
  }
  return streams::kStatusOk;
}

}  // namespace zorn::generators
