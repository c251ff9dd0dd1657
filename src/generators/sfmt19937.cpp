// SFMT19937, the SIMD-oriented fast Mersenne twister (Saito and Matsumoto, 2008): 156
// words of 128 bits renewed by one 128-bit recursion, returned untempered as 32-bit
// words. A skip-ahead by a count that is not a multiple of four ends inside a 128-bit
// word; the rest of that word waits in the carry and is returned first.
#include <emmintrin.h>

#include <algorithm>
#include <cstring>

#include "generators/brng_exports.h"
#include "generators/builtin_rows.h"
#include "generators/data/mt_twister_tables.h"
#include "generators/gf2_jump.h"
#include "generators/init_dispatch.h"
#include "generators/real_output.h"
#include "streams/status.h"
#include "streams/stream_object.h"

namespace zorn::generators {
namespace {

namespace st = zorn::streams;

constexpr int kWords128 = 156;
constexpr int kWords32 = 4 * kWords128;
constexpr int kPos1 = 122;
constexpr int kCarryRoom = 3;
// Up to this many outputs the Horner form is cheaper than the sliding window.
constexpr uint64_t kLongestHorner = 19967;

struct State {
  uint32_t w[kWords32];       // 128-bit word k is w[4k .. 4k+3], least significant first
  uint32_t index;             // next 32-bit word of w to return; kWords32: block used up
  uint32_t carry[kCarryRoom];  // the rest of a 128-bit word cut by a skip-ahead
  uint32_t carry_position;    // next carry word to return
  uint32_t carry_count;       // carry words held
};
constexpr int32_t kStateSize = 2536;
constexpr int32_t kStateWords = kWords32 + 1;
static_assert(sizeof(State) + st::kStreamHeaderBytes == kStateSize);
static_assert(offsetof(State, index) == kWords32 * 4);
static_assert(offsetof(State, carry) == kWords32 * 4 + 4);
static_assert(offsetof(State, carry_position) == kWords32 * 4 + 16);
static_assert(offsetof(State, carry_count) == kWords32 * 4 + 20);

__m128i load(const uint32_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
void store(uint32_t* p, __m128i v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v); }

// a XOR (a << 8 as 128 bits) XOR ((b >> 11 per lane) AND mask) XOR (c >> 8 as 128 bits)
// XOR (d << 18 per lane). The terms of a and b are independent of the two previous
// results c and d and are summed first, so that each step waits only for a shift and
// an XOR behind its predecessor.
__m128i recursion(__m128i a, __m128i b, __m128i c, __m128i d) {
  const __m128i mask = _mm_set_epi32(static_cast<int>(0xBFFFFFF6u), static_cast<int>(0xBFFAFFFFu),
                                     static_cast<int>(0xDDFECB7Fu), static_cast<int>(0xDFFFFFEFu));
  __m128i ab = _mm_xor_si128(_mm_xor_si128(a, _mm_slli_si128(a, 1)), _mm_and_si128(_mm_srli_epi32(b, 11), mask));
  __asm__("" : "+x"(ab));  // keeps the compiler from re-associating the chain through d
  return _mm_xor_si128(_mm_xor_si128(ab, _mm_srli_si128(c, 1)), _mm_slli_epi32(d, 18));
}

// Renews the block in order, each word from the two renewed just before it: the first
// 34 words read old words 122 ahead, the rest read words renewed 34 steps before.
void generate_block(uint32_t* w) {
  __m128i r1 = load(w + 4 * (kWords128 - 2));
  __m128i r2 = load(w + 4 * (kWords128 - 1));
  auto run = [&](int from, int to, int offset) {
#pragma GCC unroll 4
    for (int i = from; i < to; ++i) {
      const __m128i v = recursion(load(w + 4 * i), load(w + 4 * (i + offset)), r1, r2);
      store(w + 4 * i, v);
      r1 = r2;
      r2 = v;
    }
  };
  run(0, kWords128 - kPos1, kPos1);
  run(kWords128 - kPos1, kWords128, kPos1 - kWords128);
}

uint32_t mix1(uint32_t x) { return (x ^ (x >> 27)) * 1664525u; }
uint32_t mix2(uint32_t x) { return (x ^ (x >> 27)) * 1566083941u; }

// The published SFMT initialisation by array, then the period certification.
int32_t seed(State& s, const void*, int32_t n, const uint32_t* key) {
  static constexpr uint32_t kOne[1] = {1};
  if (n < 1 || key == nullptr) {
    n = 1;
    key = kOne;
  }
  constexpr int kLag = 11, kMid = (kWords32 - kLag) / 2;
  uint32_t* w = s.w;
  std::memset(w, 0x8B, sizeof(s.w));
  auto at = [w](int64_t i) -> uint32_t& { return w[i % kWords32]; };
  const int64_t count = std::max<int64_t>(int64_t{n} + 1, kWords32);
  uint32_t r = mix1(w[0] ^ w[kMid] ^ w[kWords32 - 1]);
  w[kMid] += r;
  r += static_cast<uint32_t>(n);
  w[kMid + kLag] += r;
  w[0] = r;
  int64_t i = 1;
  for (int64_t j = 1; j < count; ++j) {
    r = mix1(at(i) ^ at(i + kMid) ^ at(i + kWords32 - 1));
    at(i + kMid) += r;
    r += (j - 1 < n ? key[j - 1] : 0u) + static_cast<uint32_t>(i);
    at(i + kMid + kLag) += r;
    at(i) = r;
    i = (i + 1) % kWords32;
  }
  for (int64_t j = 0; j < kWords32; ++j) {
    r = mix2(at(i) + at(i + kMid) + at(i + kWords32 - 1));
    at(i + kMid) ^= r;
    r -= static_cast<uint32_t>(i);
    at(i + kMid + kLag) ^= r;
    at(i) = r;
    i = (i + 1) % kWords32;
  }
  s.index = kWords32;
  s.carry_position = s.carry_count = 0;
  // Period certification: the inner product of the first 128 bits with the parity
  // vector must be 1; when it is 0, bit 0 of word 0 (the lowest parity bit) is flipped.
  static constexpr uint32_t kParity[4] = {0x00000001u, 0, 0, 0x13C9E684u};
  uint32_t inner = 0;
  for (int k = 0; k < 4; ++k) inner ^= w[k] & kParity[k];
  if (__builtin_parity(inner) == 0) w[0] ^= 1u;
  return st::kStatusOk;
}

uint32_t carry_left(const State& s) {
  return s.carry_count <= kCarryRoom && s.carry_position < s.carry_count ? s.carry_count - s.carry_position : 0;
}

void raw(State& s, int32_t n, uint32_t* out) {
  for (uint32_t left = carry_left(s); left > 0 && n > 0; --left, --n) *out++ = s.carry[s.carry_position++];
  while (n > 0) {
    if (s.index >= static_cast<uint32_t>(kWords32)) {
      generate_block(s.w);
      s.index = 0;
    }
    const int32_t take = std::min<int32_t>(n, kWords32 - static_cast<int32_t>(s.index));
    std::memcpy(out, s.w + s.index, sizeof(uint32_t) * static_cast<size_t>(take));
    s.index += static_cast<uint32_t>(take);
    out += take;
    n -= take;
  }
}

// Jump states: the 156 words as a circular window whose oldest word is number pos =
// index / 4; a stream whose block is used up is the window with pos 0.
namespace window {

int pos(const State& s) { return static_cast<int>((s.index / 4) % kWords128); }

void clear(void* p) { std::memset(p, 0, sizeof(State)); }
void copy(void* to, const void* from) { std::memcpy(to, from, sizeof(State)); }
void add(void* into_p, const void* from_p) {
  State& into = *static_cast<State*>(into_p);
  const State& from = *static_cast<const State*>(from_p);
  int a = pos(into), b = pos(from);
  for (int left = kWords128; left > 0;) {
    const int run = std::min({left, kWords128 - a, kWords128 - b});
    for (int k = 0; k < run; ++k)
      store(into.w + 4 * (a + k), _mm_xor_si128(load(into.w + 4 * (a + k)), load(from.w + 4 * (b + k))));
    a = (a + run) % kWords128;
    b = (b + run) % kWords128;
    left -= run;
  }
}
void advance(void* p) {
  State& s = *static_cast<State*>(p);
  const int i = pos(s);
  auto word = [&s](int k) { return load(s.w + 4 * (k % kWords128)); };
  store(s.w + 4 * i, recursion(word(i), word(i + kPos1), word(i + kWords128 - 2), word(i + kWords128 - 1)));
  s.index = static_cast<uint32_t>(4 * ((i + 1) % kWords128));
}
// The carry fields of the stream hold the cut left by consume: position = outputs of
// the last 128-bit word still to skip, count 0.
void store_result(void* stream_p, const void* result_p) {
  State& s = *static_cast<State*>(stream_p);
  const State& r = *static_cast<const State*>(result_p);
  const int p = pos(r);
  std::memcpy(s.w, r.w + 4 * p, sizeof(uint32_t) * 4 * static_cast<size_t>(kWords128 - p));
  std::memcpy(s.w + 4 * (kWords128 - p), r.w, sizeof(uint32_t) * 4 * static_cast<size_t>(p));
  s.index = kWords32;
  const uint32_t cut = s.carry_position;
  if (cut > 0 && cut < 4 && s.carry_count == 0) {
    for (uint32_t k = cut; k < 4; ++k) s.carry[k - cut] = s.w[kWords32 - 4 + k];
    s.carry_count = 4 - cut;
  }
  s.carry_position = 0;
}
uint64_t consume(void* p, uint64_t count) {
  State& s = *static_cast<State*>(p);
  const uint32_t held = carry_left(s);
  if (count <= held) {
    s.carry_position += static_cast<uint32_t>(count);
    return 0;
  }
  count -= held;
  s.carry_position = s.carry_count = 0;
  const uint32_t index = std::min<uint32_t>(s.index, kWords32);
  if (count <= kWords32 - index) {
    s.index = index + static_cast<uint32_t>(count);
    return 0;
  }
  count -= kWords32 - index;
  s.index = kWords32;
  // Whole 128-bit steps, plus the step that holds the cut when count is not a multiple of 4.
  s.carry_position = static_cast<uint32_t>(count % 4);
  return count / 4 + (count % 4 != 0 ? 1 : 0);
}

}  // namespace window

int32_t skip_ahead(State& s, const void*, uint64_t count) {
  auto* jump = count <= kLongestHorner ? __pavo_SkipAheadHorner : __pavo_SkipAheadSWin;
  const int32_t status = jump(&s, window::clear, window::add, window::copy, window::advance, window::store_result,
                              window::consume, count, kWords32, kSfmt19937Degree, sizeof(State),
                              kSfmt19937PolynomialTerms, kSfmt19937PolynomialExponents);
  // A refused jump leaves the position at the end of the block, with no cut pending.
  if (s.carry_count == 0) s.carry_position = 0;
  return status;
}

constexpr InitMethods<State> kMethods{seed, nullptr, skip_ahead, nullptr};

// The word read as signed, scaled by (b - a) 2^-32 about the midpoint: 0x80000000 maps
// to a, 0x7FFFFFFF to just below b.
template <typename Real>
int32_t generate(void* stream, int32_t n, Real* r, Real a, Real b) {
  State& s = st::state_of<State>(stream);
  const double lo = a, hi = b;
  const double scale = (hi - lo) * 0x1p-32;
  const double middle = (lo + hi) * 0.5;
  generate_reals<uint32_t>(n, r, [&s](int32_t count, uint32_t* w) { raw(s, count, w); },
                           [scale, middle](uint32_t w) { return static_cast<int32_t>(w) * scale + middle; });
  return st::kStatusOk;
}

}  // namespace

extern const BuiltinRow kRowSFMT19937 = {
    .properties = {.state_size = kStateSize, .state_words = kStateWords, .may_yield_zero = 1, .word_size = 4, .bits = 32,
                   ZORN_BRNG_OPERATIONS(SFMT19937)},
    // The carry belongs to the position in the sequence, so copy-state takes it along.
    .evolving_bytes = static_cast<int32_t>(sizeof(State))};

}  // namespace zorn::generators

using namespace zorn::generators;

ZORN_DEFINE_BRNG_EXPORTS(SFMT19937, dispatch_init(kMethods, method, stream, n, params))
