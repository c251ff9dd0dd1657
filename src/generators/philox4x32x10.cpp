// Philox4x32-10 (Salmon, Moraes, Dror and Shaw, 2011): ten rounds of a multiply-xor
// bijection on a 128-bit counter under a 64-bit key; each block gives four words.
//
// The block function runs on vectors of 64-bit lanes, one block per lane: word w of
// the blocks sits in the low halves of the lanes of one vector, so that one
// _mm_mul_epu32 gives every lane's full 64-bit product (low word in the low half, high
// word in the high half) and no shuffle is needed between rounds. The high halves carry
// garbage that never reaches a low half: products read low halves only, and a shift by
// 32 brings down a product's high word, never an input's. The same kernel runs on SSE2
// (two blocks per vector) and, where the processor has it, on AVX2 (four).
#include <emmintrin.h>
#include <immintrin.h>

#include "generators/brng_exports.h"
#include "generators/builtin_rows.h"
#include "generators/counter_kernels.h"
#include "generators/counter_stream.h"
#include "generators/init_dispatch.h"
#include "generators/real_output.h"
#include "streams/processor_features.h"

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

// Lane operations. mul: the 64-bit products of the lanes' low words; high: each lane's
// high word brought to its low half; load: lanes from 64-bit values; put_blocks: the
// blocks of four word vectors stored in order, four words each.
struct Sse2Lanes {
  using V = __m128i;
  static constexpr int kLanes = 2;
  static V broadcast(uint32_t w) { return _mm_set1_epi32(static_cast<int>(w)); }
  static V load(const uint64_t* lanes) { return _mm_loadu_si128(reinterpret_cast<const V*>(lanes)); }
  static V add(V a, V b) { return _mm_add_epi32(a, b); }
  static V mul(V a, V b) { return _mm_mul_epu32(a, b); }
  static V high(V p) { return _mm_srli_epi64(p, 32); }
  static V exclusive_or(V a, V b) { return _mm_xor_si128(a, b); }
  static void put_blocks(const V (&x)[4], uint32_t* out) {
    const V w01 = _mm_unpacklo_epi32(x[0], x[1]);  // a0 a1 . .
    const V w23 = _mm_unpacklo_epi32(x[2], x[3]);  // a2 a3 . .
    const V v01 = _mm_unpackhi_epi32(x[0], x[1]);  // b0 b1 . .
    const V v23 = _mm_unpackhi_epi32(x[2], x[3]);  // b2 b3 . .
    _mm_storeu_si128(reinterpret_cast<V*>(out), _mm_unpacklo_epi64(w01, w23));
    _mm_storeu_si128(reinterpret_cast<V*>(out + 4), _mm_unpacklo_epi64(v01, v23));
  }
};

#define ZORN_AVX2_TARGET __attribute__((target("avx2")))

// 256-bit values pass between these functions only inside encrypt_avx2, where flatten
// inlines them all, so the ABI of passing them by value never applies.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wpsabi"

#if !defined(__clang__)
struct Avx2Lanes {
  using V = __m256i;
  static constexpr int kLanes = 4;
  ZORN_AVX2_TARGET static V broadcast(uint32_t w) { return _mm256_set1_epi32(static_cast<int>(w)); }
  ZORN_AVX2_TARGET static V load(const uint64_t* lanes) {
    return _mm256_loadu_si256(reinterpret_cast<const V*>(lanes));
  }
  ZORN_AVX2_TARGET static V add(V a, V b) { return _mm256_add_epi32(a, b); }
  ZORN_AVX2_TARGET static V mul(V a, V b) { return _mm256_mul_epu32(a, b); }
  ZORN_AVX2_TARGET static V high(V p) { return _mm256_srli_epi64(p, 32); }
  ZORN_AVX2_TARGET static V exclusive_or(V a, V b) { return _mm256_xor_si256(a, b); }
  // The unpacks work within each 128-bit half: blocks a, b below, c, d above.
  ZORN_AVX2_TARGET static void put_blocks(const V (&x)[4], uint32_t* out) {
    const V w01 = _mm256_unpacklo_epi32(x[0], x[1]);
    const V w23 = _mm256_unpacklo_epi32(x[2], x[3]);
    const V v01 = _mm256_unpackhi_epi32(x[0], x[1]);
    const V v23 = _mm256_unpackhi_epi32(x[2], x[3]);
    const V ac = _mm256_unpacklo_epi64(w01, w23), bd = _mm256_unpacklo_epi64(v01, v23);
    _mm256_storeu_si256(reinterpret_cast<V*>(out), _mm256_permute2x128_si256(ac, bd, 0x20));
    _mm256_storeu_si256(reinterpret_cast<V*>(out + 8), _mm256_permute2x128_si256(ac, bd, 0x31));
  }
};
#endif

// Vectors encrypted together: enough independent multiply chains to hide their latency.
constexpr int kVectors = 2;

template <typename L>
struct Kernel {
  using V = typename L::V;
  static constexpr int kBatchBlocks = L::kLanes * kVectors;

  struct RoundKeys {
    uint32_t k0[kRounds], k1[kRounds];
    explicit RoundKeys(const uint32_t key[2]) {
      for (int r = 0; r < kRounds; ++r) {
        k0[r] = key[0] + static_cast<uint32_t>(r) * kWeyl0;
        k1[r] = key[1] + static_cast<uint32_t>(r) * kWeyl1;
      }
    }
  };

  // x[v][w]: word w of the blocks of vector v; kBatchBlocks blocks to out.
  static void encrypt_vectors(const RoundKeys& keys, V (&x)[kVectors][4], uint32_t* out) {
    const V m0 = L::broadcast(kMultiplier0), m1 = L::broadcast(kMultiplier1);
    for (int r = 0; r < kRounds; ++r) {
      const V k0 = L::broadcast(keys.k0[r]), k1 = L::broadcast(keys.k1[r]);
      for (auto& v : x) {
        // The key goes into the words that wait for no product, off the multiply chain.
        const V p0 = L::mul(v[0], m0);
        const V p1 = L::mul(v[2], m1);
        v[0] = L::exclusive_or(L::high(p1), L::exclusive_or(v[1], k0));
        v[2] = L::exclusive_or(L::high(p0), L::exclusive_or(v[3], k1));
        v[1] = p1;
        v[3] = p0;
      }
    }
    for (int v = 0; v < kVectors; ++v) L::put_blocks(x[v], out + v * L::kLanes * kBlockWords);
  }

  // One batch from counters built word by word: the carry-exact path, for batches in
  // which the low counter word wraps and for the last partial batch. Writes
  // kBatchBlocks blocks to out and advances the counter by `blocks` of them.
  static void encrypt_batch_exact(const RoundKeys& keys, uint32_t counter[4], int32_t blocks, uint32_t* out) {
    uint64_t lanes[4][kBatchBlocks];
    uint32_t next[4];
    std::memcpy(next, counter, sizeof next);
    for (int b = 0; b < kBatchBlocks; ++b, increment_counter(next))
      for (int w = 0; w < 4; ++w) lanes[w][b] = next[w];
    add_to_counter(counter, static_cast<uint64_t>(blocks), 0);
    V x[kVectors][4];
    for (int v = 0; v < kVectors; ++v)
      for (int w = 0; w < 4; ++w) x[v][w] = L::load(lanes[w] + v * L::kLanes);
    encrypt_vectors(keys, x, out);
  }

  static void encrypt(const uint32_t key[2], uint32_t counter[4], int32_t blocks, uint32_t* out) {
    const RoundKeys keys(key);
    static constexpr uint64_t kLaneOffsets[4] = {0, 1, 2, 3};
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
      V low = L::add(L::broadcast(counter[0]), L::load(kLaneOffsets));
      const V step = L::broadcast(L::kLanes);
      for (int32_t b = 0; b < batches; ++b) {
        V x[kVectors][4];
        for (auto& v : x) {
          v[0] = low;
          for (int w = 1; w < 4; ++w) v[w] = L::broadcast(counter[w]);
          low = L::add(low, step);
        }
        encrypt_vectors(keys, x, out);
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
};

}  // namespace

void philox4x32x10_blocks_sse2(const uint32_t key[2], uint32_t counter[4], int32_t blocks, uint32_t* out) {
  Kernel<Sse2Lanes>::encrypt(key, counter, blocks, out);
}

// clang checks the 256-bit argument ABI of each function before inlining, so the wide
// kernel, whose lane operations only flatten inlines, is compiled by GCC (the library's
// compiler); a clang build (the fuzz targets) runs the 128-bit kernel in its place.
#if defined(__clang__)
void philox4x32x10_blocks_avx2(const uint32_t key[2], uint32_t counter[4], int32_t blocks, uint32_t* out) {
  philox4x32x10_blocks_sse2(key, counter, blocks, out);
}
#else
// Flatten inlines the whole kernel here, where AVX2 is enabled.
ZORN_AVX2_TARGET __attribute__((flatten)) void philox4x32x10_blocks_avx2(const uint32_t key[2], uint32_t counter[4],
                                                                         int32_t blocks, uint32_t* out) {
  Kernel<Avx2Lanes>::encrypt(key, counter, blocks, out);
}
#endif
#pragma GCC diagnostic pop

namespace {

void encrypt(const State& s, uint32_t counter[4], int32_t blocks, uint32_t* out) {
  if (st::has_avx2())
    philox4x32x10_blocks_avx2(s.key, counter, blocks, out);
  else
    philox4x32x10_blocks_sse2(s.key, counter, blocks, out);
}

void raw(State& s, int32_t n, uint32_t* out) { counter_raw(s, n, out, encrypt); }


int32_t skip_ahead(State& s, const void*, uint64_t count) { return counter_skip(s, 1, &count, encrypt); }

int32_t skip_ahead_multi(State& s, const void*, int32_t n, const uint64_t* count) {
  return counter_skip(s, n, count, encrypt);
}

constexpr InitMethods<State> kMethods{seed_counter_state<State>, nullptr, skip_ahead, skip_ahead_multi};

template <typename Real>
int32_t generate(void* stream, int32_t n, Real* r, Real a, Real b) {
  return generate_signed_mapped<State>(stream, n, r, a, b, raw);
}

}  // namespace

extern const BuiltinRow kRowPhilox4x32x10 = {
    .properties = {.state_size = kStateSize, .state_words = kStateWords, .may_yield_zero = 1, .word_size = 4, .bits = 32,
                   ZORN_BRNG_OPERATIONS(PHILOX4X32X10)}};

}  // namespace zorn::generators

using namespace zorn::generators;

ZORN_DEFINE_BRNG_EXPORTS(PHILOX4X32X10, dispatch_init(kMethods, method, stream, n, params))
