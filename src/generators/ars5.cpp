// ARS-5 (Salmon, Moraes, Dror and Shaw, 2011): five AES rounds on a 128-bit counter
// under a 128-bit key whose round keys follow a Weyl sequence, key + iW, each 64-bit
// half advancing on its own. Runs on the processor's AES instructions only: the block
// function is compiled for them and every call first asks the processor.
#include <immintrin.h>

#include "generators/brng_exports.h"
#include "generators/builtin_rows.h"
#include "generators/counter_stream.h"
#include "generators/init_dispatch.h"
#include "generators/real_output.h"
#include "streams/processor_features.h"

namespace zorn::generators {
namespace {

namespace st = zorn::streams;

constexpr uint64_t kWeylLow = 0x9E3779B97F4A7C15ull;   // golden ratio
constexpr uint64_t kWeylHigh = 0xBB67AE8584CAA73Bull;  // sqrt(3) - 1
constexpr int kRounds = 5;
// Blocks encrypted side by side, enough to keep the AES unit busy through its latency.
constexpr int kBatchBlocks = 8;

using State = CounterState<4>;
constexpr int32_t kStateSize = 72;
constexpr int32_t kStateWords = 13;
static_assert(sizeof(State) == kStateWords * sizeof(uint32_t));
static_assert(sizeof(State) + st::kStreamHeaderBytes <= kStateSize);

#define ZORN_AES_TARGET __attribute__((target("aes,sse2")))

struct RoundKeys {
  __m128i k[kRounds + 1];
};

ZORN_AES_TARGET inline RoundKeys round_keys(const uint32_t key[4]) {
  RoundKeys keys;
  const __m128i weyl = _mm_set_epi64x(static_cast<long long>(kWeylHigh), static_cast<long long>(kWeylLow));
  keys.k[0] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(key));
  for (int r = 1; r <= kRounds; ++r) keys.k[r] = _mm_add_epi64(keys.k[r - 1], weyl);
  return keys;
}

template <int Blocks>
ZORN_AES_TARGET inline void encrypt_blocks(const RoundKeys& keys, __m128i (&x)[Blocks], uint32_t* out) {
  for (__m128i& v : x) v = _mm_xor_si128(v, keys.k[0]);
  for (int r = 1; r < kRounds; ++r)
    for (__m128i& v : x) v = _mm_aesenc_si128(v, keys.k[r]);
  for (int j = 0; j < Blocks; ++j)
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + kBlockWords * j), _mm_aesenclast_si128(x[j], keys.k[kRounds]));
}

ZORN_AES_TARGET void encrypt(const State& s, uint32_t counter[4], int32_t blocks, uint32_t* out) {
  const RoundKeys keys = round_keys(s.key);
  while (blocks >= kBatchBlocks) {
    // Batches before the low counter half wraps: within them a 64-bit lane add is exact.
    const uint64_t low = counter_half(counter, 0);
    const uint64_t clean = (~low) / kBatchBlocks;  // low + 8 x clean stays below 2^64
    const int32_t batches = static_cast<int32_t>(std::min<uint64_t>(clean, blocks / kBatchBlocks));
    if (batches == 0) break;
    __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i*>(counter));
    const __m128i one = _mm_set_epi64x(0, 1);
    for (int32_t b = 0; b < batches; ++b) {
      __m128i x[kBatchBlocks];
      for (__m128i& v : x) {
        v = next;
        next = _mm_add_epi64(next, one);
      }
      encrypt_blocks(keys, x, out);
      out += kBatchBlocks * kBlockWords;
    }
    add_to_counter(counter, uint64_t{static_cast<uint32_t>(batches)} * kBatchBlocks, 0);
    blocks -= batches * kBatchBlocks;
  }
  // The last blocks, and the few around a wrap of the low half, one at a time.
  for (; blocks > 0; --blocks, out += kBlockWords) {
    __m128i x[1] = {_mm_loadu_si128(reinterpret_cast<const __m128i*>(counter))};
    encrypt_blocks(keys, x, out);
    increment_counter(counter);
  }
}

int32_t raw(State& s, int32_t n, uint32_t* out) {
  if (!st::has_aes()) return st::kStatusNoAes;
  if (n > 0) counter_raw(s, n, out, encrypt);
  return st::kStatusOk;
}

int32_t seed(State& s, const void*, int32_t n, const uint32_t* seeds) {
  for (int w = 0; w < 4; ++w) s.key[w] = seed_word(n, seeds, w, 0);
  for (int w = 0; w < 4; ++w) s.counter[w] = seed_word(n, seeds, 4 + w, 0);
  s.remaining = 0;
  std::fill_n(s.buffer, kBlockWords, 0u);
  return st::kStatusOk;
}

int32_t skip_ahead_multi(State& s, const void*, int32_t n, const uint64_t* count) {
  if (!st::has_aes()) return st::kStatusNoAes;
  return counter_skip(s, n, count, encrypt);
}

int32_t skip_ahead(State& s, const void* stream, uint64_t count) { return skip_ahead_multi(s, stream, 1, &count); }

constexpr InitMethods<State> kMethods{seed, nullptr, skip_ahead, skip_ahead_multi};

template <typename Real>
int32_t generate(void* stream, int32_t n, Real* r, Real a, Real b) {
  if (!st::has_aes()) return st::kStatusNoAes;
  return generate_signed_mapped<State>(stream, n, r, a, b,
                                       [](State& s, int32_t count, uint32_t* w) { counter_raw(s, count, w, encrypt); });
}

}  // namespace

extern const BuiltinRow kRowARS5 = {
    {kStateSize, kStateWords, 1, 4, 32, __pavoBRngARS5InitStream, __pavosBRngARS5, __pavodBRngARS5,
     __pavoiBRngARS5},
    1,
    kStateWords * 4};

}  // namespace zorn::generators

using namespace zorn::generators;

ZORN_DEFINE_BRNG_EXPORTS(ARS5, dispatch_init(kMethods, method, stream, n, params))
