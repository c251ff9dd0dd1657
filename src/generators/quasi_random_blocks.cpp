// The block kernel of quasi_random_blocks.h. Coordinates are handled as 64-bit patterns
// 0x43300000'00000000 | x, the double 2^52 + x: XOR-ing a direction number into the
// low word of the pattern XORs it into x, and subtracting 2^52 gives x exactly, so a
// coordinate costs one XOR, one subtraction, then the product and the sum of the
// output map. The kernel is written once over four-lane vectors and compiled twice:
// for the x86-64 baseline (two SSE2 halves) and, taken when the processor has it, AVX2.
#include "generators/quasi_random_blocks.h"

#include <algorithm>
#include <bit>
#include <type_traits>

#include "streams/processor_features.h"

namespace zorn::generators {
namespace {

constexpr int kLanes = 4;
constexpr uint64_t kTwoTo52Bits = 0x4330000000000000u;
constexpr double kTwoTo52 = 0x1p52;
// Table entries per call: 16 KiB of stack, blocks of up to 32 points, 4 at least.
constexpr uint32_t kTableEntries = 2048;
constexpr uint32_t kLongestBlock = 32;
constexpr uint32_t kShortestBlock = kLanes;

using U64x4 = uint64_t __attribute__((vector_size(32)));
using F64x4 = double __attribute__((vector_size(32)));
using F32x4 = float __attribute__((vector_size(16)));
// The same, at any address of their element type.
using U64x4At = uint64_t __attribute__((vector_size(32), aligned(8), may_alias));
using F64x4At = double __attribute__((vector_size(32), aligned(8), may_alias));
using F32x4At = float __attribute__((vector_size(16), aligned(4), may_alias));

inline uint32_t flip_index(uint32_t c) { return static_cast<uint32_t>(std::countr_one(c)); }

// What the blocks of one call share. gray[i * d + j] holds G[i] of dimension j; base
// holds the patterns of the current block's first point, d entries followed by their
// first kLanes - 1 again, so that four consecutive coordinates of the flattened block
// (i * d + j, wrapping from dimension d - 1 to 0) are one load at offset j.
struct Blocks {
  uint32_t d, length;
  const uint64_t* gray;
  uint64_t* base;
};

// Coordinates k_begin .. k_end - 1 of the flattened block (k_begin a multiple of d)
// into r[0 ..].
template <typename Real>
[[gnu::always_inline]] inline void write_range(const Blocks& b, uint32_t k_begin, uint32_t k_end, Real* r,
                                               Real scale, Real a) {
  // In locals: the stores below may alias anything in memory.
  const uint32_t d = b.d, step = kLanes % d;
  const uint64_t *base = b.base, *gray = b.gray;
  uint32_t k = k_begin, j = 0;
  for (; k + kLanes <= k_end; k += kLanes, r += kLanes) {
    const U64x4 bits = *reinterpret_cast<const U64x4At*>(base + j) ^ *reinterpret_cast<const U64x4At*>(gray + k);
    const F64x4 x = __builtin_bit_cast(F64x4, bits) - kTwoTo52;
    if constexpr (std::is_same_v<Real, double>)
      *reinterpret_cast<F64x4At*>(r) = x * scale + a;
    else
      *reinterpret_cast<F32x4At*>(r) = __builtin_convertvector(x, F32x4) * scale + a;
    j += step;
    if (j >= d) j -= d;
  }
  for (; k < k_end; ++k, ++r) {
    const double x = std::bit_cast<double>(base[j] ^ gray[k]) - kTwoTo52;
    *r = static_cast<Real>(x) * scale + a;
    if (++j == d) j = 0;
  }
}

// Points from block point `first` of the block that starts at point c, `points` of them;
// returns the block point that follows them, base holding the first point of its block.
template <typename Real>
[[gnu::always_inline]] inline uint32_t run_blocks(const QuasiTables& t, const Blocks& b, uint32_t c, uint32_t first,
                                                  uint32_t points, Real* r, Real scale, Real a) {
  const uint64_t* last = b.gray + (b.length - 1) * b.d;
  for (;;) {
    const uint32_t end = std::min(b.length, first + points);
    write_range(b, first * b.d, end * b.d, r, scale, a);
    r += (end - first) * b.d;
    points -= end - first;
    if (end < b.length) return end;
    const uint32_t* row = t.directions + flip_index(c + b.length - 1) * t.stride;
    for (uint32_t j = 0; j < b.d; ++j) b.base[j] ^= last[j] ^ row[j];
    for (uint32_t j = 0; j + 1 < kLanes; ++j) b.base[b.d + j] = b.base[j % b.d];
    if (points == 0) return 0;
    c += b.length;
    first = 0;
  }
}

template <typename Real>
uint32_t run_blocks_baseline(const QuasiTables& t, const Blocks& b, uint32_t c, uint32_t first, uint32_t points,
                             Real* r, Real scale, Real a) {
  return run_blocks(t, b, c, first, points, r, scale, a);
}

template <typename Real>
[[gnu::target("avx2")]] uint32_t run_blocks_avx2(const QuasiTables& t, const Blocks& b, uint32_t c, uint32_t first,
                                                 uint32_t points, Real* r, Real scale, Real a) {
  return run_blocks(t, b, c, first, points, r, scale, a);
}

template <typename Real>
void draw_blocks(const QuasiTables& t, uint32_t d, uint32_t counter, uint32_t points, Real* r, Real scale, Real a) {
  uint64_t gray[kTableEntries], base[kTableEntries / kShortestBlock + kLanes];
  const Blocks b{d, point_block_length(d), gray, base};
  std::fill(gray, gray + d, 0);
  for (uint32_t i = 1; i < b.length; ++i) {
    const uint32_t* row = t.directions + flip_index(i - 1) * t.stride;
    for (uint32_t j = 0; j < d; ++j) gray[i * d + j] = gray[(i - 1) * d + j] ^ row[j];
  }
  // The block of the current point starts at point counter - first.
  const uint32_t first = counter % b.length;
  for (uint32_t j = 0; j < d + kLanes - 1; ++j) base[j] = kTwoTo52Bits | (t.values[j % d] ^ gray[first * d + j % d]);
  const uint32_t end = streams::has_avx2() ? run_blocks_avx2(t, b, counter - first, first, points, r, scale, a)
                                  : run_blocks_baseline(t, b, counter - first, first, points, r, scale, a);
  for (uint32_t j = 0; j < d; ++j) t.values[j] = static_cast<uint32_t>(base[j] ^ gray[end * d + j]);
}

}  // namespace

uint32_t point_block_length(uint32_t d) {
  if (d == 0 || d > kTableEntries / kShortestBlock) return 0;
  return std::min(kLongestBlock, std::bit_floor(kTableEntries / d));
}

void draw_point_blocks(const QuasiTables& t, uint32_t d, uint32_t counter, uint32_t points, double* r,
                       double scale, double a) {
  draw_blocks(t, d, counter, points, r, scale, a);
}
void draw_point_blocks(const QuasiTables& t, uint32_t d, uint32_t counter, uint32_t points, float* r, float scale,
                       float a) {
  draw_blocks(t, d, counter, points, r, scale, a);
}

}  // namespace zorn::generators
