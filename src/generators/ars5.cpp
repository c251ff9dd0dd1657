// ARS-5 (Salmon, Moraes, Dror and Shaw, 2011): five AES rounds on a 128-bit counter
// under a 128-bit key whose round keys follow a Weyl sequence, key + iW, each 64-bit
// half advancing on its own. Runs on the processor's AES instructions only: the block
// function is compiled for them and every call first asks the processor.
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

constexpr uint64_t kWeylLow = 0x9E3779B97F4A7C15ull;   // golden ratio
constexpr uint64_t kWeylHigh = 0xBB67AE8584CAA73Bull;  // sqrt(3) - 1
constexpr int kRounds = 5;

using State = CounterState<4>;
constexpr int32_t kStateSize = 72;
constexpr int32_t kStateWords = 13;
static_assert(sizeof(State) == kStateWords * sizeof(uint32_t));
static_assert(sizeof(State) + st::kStreamHeaderBytes <= kStateSize);

#define ZORN_AES_TARGET __attribute__((target("aes,sse2")))
#define ZORN_VAES_TARGET __attribute__((target("vaes,aes,avx2")))

// Lane operations, one 128-bit block per lane. from_block: a block in every lane;
// lane_offsets: lane j holds j in its low 64 bits.
struct AesLanes {
  using V = __m128i;
  static constexpr int kLanes = 1;
  ZORN_AES_TARGET static V from_block(__m128i b) { return b; }
  ZORN_AES_TARGET static V lane_offsets() { return _mm_setzero_si128(); }
  ZORN_AES_TARGET static V add64(V a, V b) { return _mm_add_epi64(a, b); }
  ZORN_AES_TARGET static V exclusive_or(V a, V b) { return _mm_xor_si128(a, b); }
  ZORN_AES_TARGET static V round(V x, V k) { return _mm_aesenc_si128(x, k); }
  ZORN_AES_TARGET static V last_round(V x, V k) { return _mm_aesenclast_si128(x, k); }
  ZORN_AES_TARGET static void store(uint32_t* out, V x) { _mm_storeu_si128(reinterpret_cast<V*>(out), x); }
};

// 256-bit values pass between these functions only inside ars5_blocks_vaes, where
// flatten inlines them all, so the ABI of passing them by value never applies.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wpsabi"

#if !defined(__clang__)
struct VaesLanes {
  using V = __m256i;
  static constexpr int kLanes = 2;
  ZORN_VAES_TARGET static V from_block(__m128i b) { return _mm256_broadcastsi128_si256(b); }
  ZORN_VAES_TARGET static V lane_offsets() { return _mm256_set_epi64x(0, 1, 0, 0); }
  ZORN_VAES_TARGET static V add64(V a, V b) { return _mm256_add_epi64(a, b); }
  ZORN_VAES_TARGET static V exclusive_or(V a, V b) { return _mm256_xor_si256(a, b); }
  ZORN_VAES_TARGET static V round(V x, V k) { return _mm256_aesenc_epi128(x, k); }
  ZORN_VAES_TARGET static V last_round(V x, V k) { return _mm256_aesenclast_epi128(x, k); }
  ZORN_VAES_TARGET static void store(uint32_t* out, V x) { _mm256_storeu_si256(reinterpret_cast<V*>(out), x); }
};
#endif

// Vectors encrypted side by side, enough to keep the AES units busy through their latency.
constexpr int kVectors = 8;

template <typename L>
struct Kernel {
  using V = typename L::V;
  static constexpr int kBatchBlocks = L::kLanes * kVectors;

  static void encrypt(const uint32_t key[4], uint32_t counter[4], int32_t blocks, uint32_t* out) {
    const __m128i weyl = _mm_set_epi64x(static_cast<long long>(kWeylHigh), static_cast<long long>(kWeylLow));
    __m128i k128[kRounds + 1];
    V k[kRounds + 1];
    k128[0] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(key));
    for (int r = 1; r <= kRounds; ++r) k128[r] = _mm_add_epi64(k128[r - 1], weyl);
    for (int r = 0; r <= kRounds; ++r) k[r] = L::from_block(k128[r]);
    while (blocks >= kBatchBlocks) {
      // Batches before the low counter half wraps: within them a 64-bit lane add is exact.
      const uint64_t clean = ~counter_half(counter, 0) / kBatchBlocks;  // low + blocks stays below 2^64
      const int32_t batches = static_cast<int32_t>(std::min<uint64_t>(clean, blocks / kBatchBlocks));
      if (batches == 0) break;
      V next = L::add64(L::from_block(_mm_loadu_si128(reinterpret_cast<const __m128i*>(counter))), L::lane_offsets());
      const V step = L::from_block(_mm_set_epi64x(0, L::kLanes));
      for (int32_t b = 0; b < batches; ++b) {
        V x[kVectors];
        for (V& v : x) {
          v = L::exclusive_or(next, k[0]);
          next = L::add64(next, step);
        }
        for (int r = 1; r < kRounds; ++r)
          for (V& v : x) v = L::round(v, k[r]);
        for (int v = 0; v < kVectors; ++v) L::store(out + v * L::kLanes * kBlockWords, L::last_round(x[v], k[kRounds]));
        out += kBatchBlocks * kBlockWords;
      }
      add_to_counter(counter, uint64_t{static_cast<uint32_t>(batches)} * kBatchBlocks, 0);
      blocks -= batches * kBatchBlocks;
    }
    // The last blocks, and the few around a wrap of the low half, one at a time. The
    // counter stays in registers: reloading it as a vector right after storing its
    // words would stall every block on the store.
    uint64_t low = counter_half(counter, 0), high = counter_half(counter, 1);
    for (; blocks > 0; --blocks, out += kBlockWords) {
      __m128i x = AesLanes::exclusive_or(_mm_set_epi64x(static_cast<long long>(high), static_cast<long long>(low)), k128[0]);
      for (int r = 1; r < kRounds; ++r) x = AesLanes::round(x, k128[r]);
      AesLanes::store(out, AesLanes::last_round(x, k128[kRounds]));
      if (++low == 0) ++high;
    }
    set_counter(counter, low, high);
  }
};

}  // namespace

ZORN_AES_TARGET __attribute__((flatten)) void ars5_blocks_aes(const uint32_t key[4], uint32_t counter[4],
                                                              int32_t blocks, uint32_t* out) {
  Kernel<AesLanes>::encrypt(key, counter, blocks, out);
}

// clang checks the 256-bit argument ABI of each function before inlining, so the wide
// kernel, whose lane operations only flatten inlines, is compiled by GCC (the library's
// compiler); a clang build (the fuzz targets) runs the 128-bit kernel in its place.
#if defined(__clang__)
void ars5_blocks_vaes(const uint32_t key[4], uint32_t counter[4], int32_t blocks, uint32_t* out) {
  ars5_blocks_aes(key, counter, blocks, out);
}
#else
ZORN_VAES_TARGET __attribute__((flatten)) void ars5_blocks_vaes(const uint32_t key[4], uint32_t counter[4],
                                                                int32_t blocks, uint32_t* out) {
  Kernel<VaesLanes>::encrypt(key, counter, blocks, out);
}
#endif
#pragma GCC diagnostic pop

namespace {

// Only called once the processor has the AES instructions.
void encrypt(const State& s, uint32_t counter[4], int32_t blocks, uint32_t* out) {
  if (st::has_vaes())
    ars5_blocks_vaes(s.key, counter, blocks, out);
  else
    ars5_blocks_aes(s.key, counter, blocks, out);
}

int32_t raw(State& s, int32_t n, uint32_t* out) {
  if (!st::has_aes()) return st::kStatusNoAes;
  if (n > 0) counter_raw(s, n, out, encrypt);
  return st::kStatusOk;
}


int32_t skip_ahead_multi(State& s, const void*, int32_t n, const uint64_t* count) {
  if (!st::has_aes()) return st::kStatusNoAes;
  return counter_skip(s, n, count, encrypt);
}

int32_t skip_ahead(State& s, const void* stream, uint64_t count) { return skip_ahead_multi(s, stream, 1, &count); }

constexpr InitMethods<State> kMethods{seed_counter_state<State>, nullptr, skip_ahead, skip_ahead_multi};

template <typename Real>
int32_t generate(void* stream, int32_t n, Real* r, Real a, Real b) {
  if (!st::has_aes()) return st::kStatusNoAes;
  return generate_signed_mapped<State>(stream, n, r, a, b,
                                       [](State& s, int32_t count, uint32_t* w) { counter_raw(s, count, w, encrypt); });
}

}  // namespace

extern const BuiltinRow kRowARS5 = {
    .properties = {.state_size = kStateSize, .state_words = kStateWords, .may_yield_zero = 1, .word_size = 4, .bits = 32,
                   ZORN_BRNG_OPERATIONS(ARS5)}};

}  // namespace zorn::generators

using namespace zorn::generators;

ZORN_DEFINE_BRNG_EXPORTS(ARS5, dispatch_init(kMethods, method, stream, n, params))
