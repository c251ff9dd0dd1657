// x^s mod p(x) over GF(2) for a sparse p, by left-to-right square-and-multiply.
//
// Squaring spreads the bits apart (bit i to bit 2i, no cross terms over GF(2)); the
// square is then reduced from the top with p's sparse form: x^deg = sum of the lower
// terms. The top bits are folded in chunks no wider than the gap between the degree
// and the next exponent, so that a chunk never lands on itself.
#include <algorithm>
#include <cstring>

#include "core_interface/sibling.h"
#include "generators/gf2_jump.h"
#include "generators/gf2_jump_carryless.h"
#include "streams/status.h"

namespace zorn::generators {
namespace {

constexpr int kWordBits = 64;

struct Spread {
  uint16_t of[256];
  constexpr Spread() : of() {
    for (int b = 0; b < 256; ++b) {
      uint16_t v = 0;
      for (int i = 0; i < 8; ++i) v |= static_cast<uint16_t>(((b >> i) & 1) << (2 * i));
      of[b] = v;
    }
  }
};
constexpr Spread kSpread;

uint64_t spread_32(uint32_t w) {
  return uint64_t{kSpread.of[w & 0xFF]} | uint64_t{kSpread.of[(w >> 8) & 0xFF]} << 16 |
         uint64_t{kSpread.of[(w >> 16) & 0xFF]} << 32 | uint64_t{kSpread.of[w >> 24]} << 48;
}

// bits[at .. at + len) of src, moved down to bit 0 of out (len <= 64 * out words).
void extract_bits(const uint64_t* src, int64_t at, int64_t len, uint64_t* out) {
  const int64_t words = (len + kWordBits - 1) / kWordBits;
  const int64_t first = at / kWordBits;
  const int shift = static_cast<int>(at % kWordBits);
  const int64_t last_src = (at + len - 1) / kWordBits;
  for (int64_t i = 0; i < words; ++i) {
    uint64_t v = src[first + i] >> shift;
    if (shift != 0 && first + i + 1 <= last_src) v |= src[first + i + 1] << (kWordBits - shift);
    out[i] = v;
  }
  if (len % kWordBits != 0) out[words - 1] &= (uint64_t{1} << (len % kWordBits)) - 1;
}

void clear_bits(uint64_t* v, int64_t at, int64_t len) {
  for (int64_t b = at; b < at + len;) {
    const int64_t w = b / kWordBits;
    const int offset = static_cast<int>(b % kWordBits);
    const int64_t count = std::min<int64_t>(kWordBits - offset, at + len - b);
    const uint64_t mask = count == kWordBits ? ~uint64_t{0} : ((uint64_t{1} << count) - 1) << offset;
    v[w] &= ~mask;
    b += count;
  }
}

// shifted = chunk * x^shift (shift < 64) as words + 1 words.
void shift_chunk(const uint64_t* chunk, int64_t words, int shift, uint64_t* shifted) {
  if (shift == 0) {
    for (int64_t i = 0; i < words; ++i) shifted[i] = chunk[i];
    shifted[words] = 0;
    return;
  }
  uint64_t carry = 0;
  for (int64_t i = 0; i < words; ++i) {
    shifted[i] = (chunk[i] << shift) | carry;
    carry = chunk[i] >> (kWordBits - shift);
  }
  shifted[words] = carry;
}

struct SparseModulus {
  int32_t degree;
  int32_t terms;
  const int32_t* exponents;
  int64_t chunk_bits;  // widest fold that cannot land on its own bits
};

// Reduces v (bits up to `top`) below the degree. Each chunk is added once per lower
// term of p; the copies of the chunk shifted by each bit offset (at most 64 distinct)
// are made once per chunk, so that every addition is a plain word-aligned XOR.
// `chunk` has room for 65 shifted copies of the widest chunk.
void reduce(uint64_t* v, int64_t top, const SparseModulus& p, uint64_t* chunk) {
  const int64_t stride = p.chunk_bits / kWordBits + 2;
  uint64_t* shifted = chunk + stride;
  for (int64_t hi = top; hi >= p.degree;) {
    const int64_t lo = std::max<int64_t>(p.degree, hi - p.chunk_bits + 1);
    const int64_t len = hi - lo + 1;
    const int64_t words = (len + kWordBits - 1) / kWordBits;
    extract_bits(v, lo, len, chunk);
    clear_bits(v, lo, len);
    uint64_t made = 0;  // bit k: the copy shifted by k is ready
    for (int32_t t = 0; t + 1 < p.terms; ++t) {
      const int64_t at = lo - p.degree + p.exponents[t];
      const int shift = static_cast<int>(at % kWordBits);
      uint64_t* copy = shifted + stride * shift;
      if (((made >> shift) & 1u) == 0) {
        shift_chunk(chunk, words, shift, copy);
        made |= uint64_t{1} << shift;
      }
      uint64_t* d = v + at / kWordBits;
      for (int64_t i = 0; i <= words; ++i) d[i] ^= copy[i];
    }
    hi = lo - 1;
  }
}

bool well_formed(int32_t degree, int32_t terms, const int32_t* exponents) {
  if (degree < 1 || terms < 2 || exponents == nullptr) return false;
  if (exponents[0] != 0 || exponents[terms - 1] != degree) return false;
  for (int32_t t = 1; t < terms; ++t)
    if (exponents[t] <= exponents[t - 1]) return false;
  return true;
}

}  // namespace
}  // namespace zorn::generators

using namespace zorn::generators;

extern "C" int32_t __pavoPolyRem(uint64_t s, int32_t degree, int32_t terms, const int32_t* exponents,
                                 int32_t out_words, uint64_t* out) {
  namespace st = zorn::streams;
  if (!well_formed(degree, terms, exponents) || out == nullptr || out_words < degree / kWordBits + 1)
    return st::kStatusBadArgument;
  std::memset(out, 0, sizeof(uint64_t) * static_cast<size_t>(out_words));
  if (s < static_cast<uint64_t>(degree)) {
    out[s / kWordBits] = uint64_t{1} << (s % kWordBits);
    return st::kStatusOk;
  }
  // Folding costs a pass over the polynomial per term; a dense p is cheaper by products.
  if (terms > degree / kWordBits + 1 && carryless_available())
    return power_of_x_carryless(s, degree, terms, exponents, out);
  const SparseModulus p{degree, terms, exponents, int64_t{degree} - exponents[terms - 2]};
  const int64_t words = degree / kWordBits + 1;       // a reduced polynomial
  const int64_t square_words = 2 * words + 2;         // a square, and one word to spare
  const int64_t chunk_words = (p.chunk_bits / kWordBits + 2) * (1 + kWordBits);
  auto* scratch = static_cast<uint64_t*>(
      zorn::sibling::allocate(sizeof(uint64_t) * static_cast<size_t>(square_words + chunk_words)));
  if (scratch == nullptr) return st::kStatusNoMemory;
  uint64_t* v = scratch;
  uint64_t* chunk = scratch + square_words;
  std::memset(v, 0, sizeof(uint64_t) * static_cast<size_t>(square_words));

  // Start from x^(the leading bits of s), the largest such power below the degree.
  int shift = 64 - __builtin_clzll(s);
  while (shift > 0 && (s >> (shift - 1)) < static_cast<uint64_t>(degree)) --shift;
  const uint64_t head = s >> shift;
  v[head / kWordBits] = uint64_t{1} << (head % kWordBits);
  for (int bit = shift - 1; bit >= 0; --bit) {
    for (int64_t i = words - 1; i >= 0; --i) {
      const uint64_t w = v[i];
      v[2 * i] = spread_32(static_cast<uint32_t>(w));
      v[2 * i + 1] = spread_32(static_cast<uint32_t>(w >> 32));
    }
    reduce(v, 2 * int64_t{degree} - 2, p, chunk);
    if ((s >> bit) & 1u) {
      uint64_t carry = 0;
      for (int64_t i = 0; i < words; ++i) {
        const uint64_t w = v[i];
        v[i] = (w << 1) | carry;
        carry = w >> 63;
      }
      reduce(v, degree, p, chunk);
    }
  }
  std::memcpy(out, v, sizeof(uint64_t) * static_cast<size_t>(words));
  zorn::sibling::deallocate(scratch);
  return st::kStatusOk;
}
