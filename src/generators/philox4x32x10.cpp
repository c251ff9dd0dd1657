// Philox4x32-10 (Salmon, Moraes, Dror and Shaw, 2011): ten rounds of a multiply-xor
// bijection on a 128-bit counter under a 64-bit key; each block gives four words.
//
// The block function runs on SSE2 with two blocks per vector: word w of two blocks
// sits in the low halves of the two 64-bit lanes of one vector, so that one
// _mm_mul_epu32 gives both full 64-bit products (low word in the low half, high word in
// the high half) and no shuffle is needed between rounds. The high halves of the lanes
// carry garbage that never reaches a low half: products read low halves only, and a
// shift by 32 brings down a product's high word, never an input's.
#include <emmintrin.h>

#include "generators/brng_exports.h"
#include "generators/builtin_rows.h"
#include "generators/counter_stream.h"
#include "generators/init_dispatch.h"
#include "generators/real_output.h"

namespace zorn::generators {
namespace {

namespace st = zorn::streams;

constexpr uint32_t kMultiplier0 = 0xD2511F53u;
constexpr uint32_t kMultiplier1 = 0xCD9E8D57u;
constexpr uint32_t kWeyl0 = 0x9E3779B9u;  // golden ratio
constexpr uint32_t kWeyl1 = 0xBB67AE85u;  // sqrt(3) - 1
constexpr int kRounds = 10;

using State = CounterState<2>;
constexpr int32_t kStateSize = 64;
constexpr int32_t kStateWords = 11;
static_assert(sizeof(State) == kStateWords * sizeof(uint32_t));
static_assert(sizeof(State) + st::kStreamHeaderBytes <= kStateSize);

// Word w of two blocks, one block per 64-bit lane (low half).
struct BlockPair {
  __m128i x[4];
};

struct RoundKeys {
  __m128i k0[kRounds], k1[kRounds];
  explicit RoundKeys(const uint32_t key[2]) {
    uint32_t a = key[0], b = key[1];
    for (int r = 0; r < kRounds; ++r, a += kWeyl0, b += kWeyl1) {
      k0[r] = _mm_set1_epi32(static_cast<int>(a));
      k1[r] = _mm_set1_epi32(static_cast<int>(b));
    }
  }
};

// Pairs encrypted together: enough independent multiply chains to hide their latency.
constexpr int kPairs = 2;
constexpr int kBatchBlocks = 2 * kPairs;

inline void encrypt_pairs(const RoundKeys& keys, BlockPair (&v)[kPairs], uint32_t* out) {
  const __m128i m0 = _mm_set1_epi32(static_cast<int>(kMultiplier0));
  const __m128i m1 = _mm_set1_epi32(static_cast<int>(kMultiplier1));
  for (int r = 0; r < kRounds; ++r) {
    for (BlockPair& p : v) {
      const __m128i p0 = _mm_mul_epu32(p.x[0], m0);
      const __m128i p1 = _mm_mul_epu32(p.x[2], m1);
      p.x[0] = _mm_xor_si128(_mm_xor_si128(_mm_srli_epi64(p1, 32), p.x[1]), keys.k0[r]);
      p.x[2] = _mm_xor_si128(_mm_xor_si128(_mm_srli_epi64(p0, 32), p.x[3]), keys.k1[r]);
      p.x[1] = p1;
      p.x[3] = p0;
    }
  }
  for (const BlockPair& p : v) {
    const __m128i w01 = _mm_unpacklo_epi32(p.x[0], p.x[1]);  // a0 a1 . .
    const __m128i w23 = _mm_unpacklo_epi32(p.x[2], p.x[3]);  // a2 a3 . .
    const __m128i v01 = _mm_unpackhi_epi32(p.x[0], p.x[1]);  // b0 b1 . .
    const __m128i v23 = _mm_unpackhi_epi32(p.x[2], p.x[3]);  // b2 b3 . .
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_unpacklo_epi64(w01, w23));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 4), _mm_unpacklo_epi64(v01, v23));
    out += 8;
  }
}

// One batch from counters built word by word: the carry-exact path, used where the
// low counter word wraps inside a batch and for the last partial batch. Writes
// kBatchBlocks blocks to out, advances the counter by `blocks` of them.
void encrypt_batch_exact(const RoundKeys& keys, uint32_t counter[4], int32_t blocks, uint32_t* out) {
  uint32_t c[kBatchBlocks][4];
  uint32_t next[4];
  std::memcpy(next, counter, sizeof next);
  for (auto& block : c) {
    std::memcpy(block, next, sizeof next);
    increment_counter(next);
  }
  add_to_counter(counter, static_cast<uint64_t>(blocks), 0);
  BlockPair v[kPairs];
  for (int p = 0; p < kPairs; ++p)
    for (int w = 0; w < 4; ++w)
      v[p].x[w] = _mm_set_epi32(0, static_cast<int>(c[2 * p + 1][w]), 0, static_cast<int>(c[2 * p][w]));
  encrypt_pairs(keys, v, out);
}

void encrypt(const State& s, uint32_t counter[4], int32_t blocks, uint32_t* out) {
  const RoundKeys keys(s.key);
  while (blocks >= kBatchBlocks) {
    // Batches before the low counter word wraps: within them only that word changes.
    const uint64_t clean = (uint64_t{0x100000000} - counter[0]) / kBatchBlocks;
    const int32_t batches = static_cast<int32_t>(std::min<uint64_t>(clean, blocks / kBatchBlocks));
    if (batches == 0) {
      encrypt_batch_exact(keys, counter, kBatchBlocks, out);
      out += kBatchBlocks * kBlockWords;
      blocks -= kBatchBlocks;
      continue;
    }
    BlockPair v[kPairs];
    __m128i low = _mm_add_epi32(_mm_set1_epi32(static_cast<int>(counter[0])), _mm_set_epi32(0, 1, 0, 0));
    const __m128i step = _mm_set1_epi32(2);
    for (int32_t b = 0; b < batches; ++b) {
      for (BlockPair& p : v) {
        p.x[0] = low;
        for (int w = 1; w < 4; ++w) p.x[w] = _mm_set1_epi32(static_cast<int>(counter[w]));
        low = _mm_add_epi32(low, step);
      }
      encrypt_pairs(keys, v, out);
      out += kBatchBlocks * kBlockWords;
    }
    add_to_counter(counter, uint64_t{static_cast<uint32_t>(batches)} * kBatchBlocks, 0);
    blocks -= batches * kBatchBlocks;
  }
  if (blocks > 0) {
    uint32_t last[kBatchBlocks * kBlockWords];
    encrypt_batch_exact(keys, counter, blocks, last);
    std::memcpy(out, last, sizeof(uint32_t) * kBlockWords * blocks);
  }
}

void raw(State& s, int32_t n, uint32_t* out) { counter_raw(s, n, out, encrypt); }

int32_t seed(State& s, const void*, int32_t n, const uint32_t* seeds) {
  for (int w = 0; w < 2; ++w) s.key[w] = seed_word(n, seeds, w, 0);
  for (int w = 0; w < 4; ++w) s.counter[w] = seed_word(n, seeds, 2 + w, 0);
  s.remaining = 0;
  std::fill_n(s.buffer, kBlockWords, 0u);
  return st::kStatusOk;
}

int32_t skip_ahead(State& s, const void*, uint64_t count) { return counter_skip(s, 1, &count, encrypt); }

int32_t skip_ahead_multi(State& s, const void*, int32_t n, const uint64_t* count) {
  return counter_skip(s, n, count, encrypt);
}

constexpr InitMethods<State> kMethods{seed, nullptr, skip_ahead, skip_ahead_multi};

template <typename Real>
int32_t generate(void* stream, int32_t n, Real* r, Real a, Real b) {
  return generate_signed_mapped<State>(stream, n, r, a, b, raw);
}

}  // namespace

extern const BuiltinRow kRowPhilox4x32x10 = {
    {kStateSize, kStateWords, 1, 4, 32, __pavoBRngPHILOX4X32X10InitStream, __pavosBRngPHILOX4X32X10,
     __pavodBRngPHILOX4X32X10, __pavoiBRngPHILOX4X32X10},
    1,
    kStateWords * 4};

}  // namespace zorn::generators

using namespace zorn::generators;

ZORN_DEFINE_BRNG_EXPORTS(PHILOX4X32X10, dispatch_init(kMethods, method, stream, n, params))
