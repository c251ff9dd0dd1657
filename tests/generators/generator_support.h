// Helpers of the generator tests: skip-ahead through the stream API, drawing and
// discarding, the plain MT2203 model and the minimal polynomial of an output bit.
#pragma once

#include <cstdint>
#include <vector>

#include "common/stream_handle.h"
#include "twister_gf2/gf2_poly.h"
#include "twister_gf2/plain_twisters.h"

inline int32_t skip(Stream& s, uint64_t count) { return __pavoSkipAheadStream(s.p, count); }

// Draws and drops `count` outputs, in pieces.
inline void discard(Stream& s, uint64_t count) {
  constexpr int32_t kPiece = 1 << 16;
  std::vector<uint32_t> sink(static_cast<size_t>(kPiece) * static_cast<size_t>(s.row().word_size / 4));
  while (count > 0) {
    const auto n = static_cast<int32_t>(count < kPiece ? count : kPiece);
    ASSERT_EQ(s.row().gen_int(s.p, n, sink.data()), 0);
    count -= static_cast<uint64_t>(n);
  }
}

// The MT2203 recurrence and tempering written one word at a time from their definition,
// seeded by the reference init_by_array on 69 words.
class PlainMt2203 {
 public:
  static constexpr int N = 69, M = 34;
  PlainMt2203(uint32_t a, uint32_t b, uint32_t c, const std::vector<uint32_t>& key) : a_(a), b_(b), c_(c) {
    plain::init_by_array(mt_, N, key);
  }
  uint32_t next() {
    if (index_ == N) {
      for (int k = 0; k < N; ++k) {
        uint32_t y = (mt_[k] & 0xFFFFFFE0u) | (mt_[(k + 1) % N] & 0x1Fu);
        mt_[k] = mt_[(k + M) % N] ^ (y >> 1) ^ ((y & 1u) ? a_ : 0u);
      }
      index_ = 0;
    }
    uint32_t y = mt_[index_++];
    y ^= y >> 12;
    y ^= (y << 7) & b_;
    y ^= (y << 15) & c_;
    return y ^ (y >> 18);
  }

 private:
  uint32_t a_, b_, c_;
  uint32_t mt_[N];
  int index_ = N;
};

// Minimal polynomial of output bit `bit` of a stream, one sample per `stride` words.
inline gf2::Poly stream_bit_polynomial(Stream& s, int degree, int bit, int stride) {
  std::vector<uint8_t> bits(2 * static_cast<size_t>(degree) + 64);
  std::vector<uint32_t> words = s.ints(static_cast<int32_t>(bits.size()) * stride);
  for (size_t k = 0; k < bits.size(); ++k) bits[k] = (words[k * stride] >> bit) & 1u;
  return gf2::berlekamp_massey(bits);
}
