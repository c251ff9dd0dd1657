// The word recurrence shared by MT19937 and the MT2203 family (Matsumoto and
// Nishimura, 1998): N words, middle distance M, r lower bits, matrix word A:
//   y = (mt[i] AND upper) OR (mt[i+1] AND lower)
//   mt[i] = mt[i+M] XOR (y >> 1) XOR (A when y is odd)
// with the block renewed four lanes at a time, the reference seeding by array, and the
// state operations of the polynomial jump.
#pragma once

#include <emmintrin.h>

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace zorn::generators {

template <int N, int M, uint32_t kUpperMask>
struct TwisterShape {
  static constexpr int kWords = N;
  static constexpr int kMiddle = M;
  static constexpr uint32_t kUpper = kUpperMask;
  static constexpr uint32_t kLower = ~kUpperMask;
  static_assert(N - M >= 4 && M >= 4, "the four-lane block update reads words at least four apart");

  static uint32_t twist_one(uint32_t cur, uint32_t next, uint32_t mid, uint32_t matrix) {
    const uint32_t y = (cur & kUpper) | (next & kLower);
    return mid ^ (y >> 1) ^ ((0u - (y & 1u)) & matrix);
  }

  static __m128i twist_four(__m128i cur, __m128i next, __m128i mid, __m128i matrix) {
    const __m128i y = _mm_or_si128(_mm_and_si128(cur, _mm_set1_epi32(static_cast<int>(kUpper))),
                                   _mm_and_si128(next, _mm_set1_epi32(static_cast<int>(kLower))));
    const __m128i odd = _mm_sub_epi32(_mm_setzero_si128(), _mm_and_si128(y, _mm_set1_epi32(1)));
    return _mm_xor_si128(_mm_xor_si128(mid, _mm_srli_epi32(y, 1)), _mm_and_si128(odd, matrix));
  }

  // Renews all N words in place, in the reference order: words 0..N-M-1 read the old
  // words M ahead, the rest read the words renewed N-M earlier, and the last reads the
  // renewed mt[0]. Four lanes never read a word renewed in the same step.
  static void twist_block(uint32_t* mt, uint32_t matrix) {
    const __m128i a = _mm_set1_epi32(static_cast<int>(matrix));
    auto load = [mt](int i) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(mt + i)); };
    int i = 0;
    for (; i + 4 <= N - M; i += 4)
      _mm_storeu_si128(reinterpret_cast<__m128i*>(mt + i), twist_four(load(i), load(i + 1), load(i + M), a));
    for (; i < N - M; ++i) mt[i] = twist_one(mt[i], mt[i + 1], mt[i + M], matrix);
    for (; i + 4 <= N - 1; i += 4)
      _mm_storeu_si128(reinterpret_cast<__m128i*>(mt + i),
                       twist_four(load(i), load(i + 1), load(i + M - N), a));
    for (; i < N - 1; ++i) mt[i] = twist_one(mt[i], mt[i + 1], mt[i + M - N], matrix);
    mt[N - 1] = twist_one(mt[N - 1], mt[0], mt[M - 1], matrix);
  }

  // The reference initialisation by array (init_genrand then init_by_array), for N words.
  // n < 1 seeds with the single word 1.
  static void seed_by_array(uint32_t* mt, int32_t n, const uint32_t* key) {
    static constexpr uint32_t kOne[1] = {1};
    if (n < 1 || key == nullptr) {
      n = 1;
      key = kOne;
    }
    mt[0] = 19650218u;
    for (int i = 1; i < N; ++i) mt[i] = 1812433253u * (mt[i - 1] ^ (mt[i - 1] >> 30)) + static_cast<uint32_t>(i);
    int i = 1;
    int32_t j = 0;
    for (int64_t k = std::max<int64_t>(N, n); k > 0; --k) {
      mt[i] = (mt[i] ^ ((mt[i - 1] ^ (mt[i - 1] >> 30)) * 1664525u)) + key[j] + static_cast<uint32_t>(j);
      ++i;
      ++j;
      if (i >= N) {
        mt[0] = mt[N - 1];
        i = 1;
      }
      if (j >= n) j = 0;
    }
    for (int k = N - 1; k > 0; --k) {
      mt[i] = (mt[i] ^ ((mt[i - 1] ^ (mt[i - 1] >> 30)) * 1566083941u)) - static_cast<uint32_t>(i);
      ++i;
      if (i >= N) {
        mt[0] = mt[N - 1];
        i = 1;
      }
    }
    mt[0] = 0x80000000u;
  }

  // Jump states: the N words as a circular window whose oldest word is mt[pos]. A
  // stream state whose block is used up (index N) is the window with pos 0.
  template <typename State>
  struct JumpWindow {
    static int pos(const State& s) { return static_cast<int>(s.index % N); }

    static void clear(void* p) { std::memset(p, 0, sizeof(State)); }
    static void copy(void* to, const void* from) { std::memcpy(to, from, sizeof(State)); }
    static void add(void* into_p, const void* from_p) {
      State& into = *static_cast<State*>(into_p);
      const State& from = *static_cast<const State*>(from_p);
      int a = pos(into), b = pos(from);
      for (int left = N; left > 0;) {
        const int run = std::min({left, N - a, N - b});
        for (int k = 0; k < run; ++k) into.mt[a + k] ^= from.mt[b + k];
        a = (a + run) % N;
        b = (b + run) % N;
        left -= run;
      }
    }
    static void advance(void* p) {
      State& s = *static_cast<State*>(p);
      const int i = pos(s);
      s.mt[i] = twist_one(s.mt[i], s.mt[(i + 1) % N], s.mt[(i + M) % N], s.matrix());
      s.index = static_cast<uint32_t>((i + 1) % N);
    }
    static void store(void* stream_p, const void* result_p) {
      State& stream = *static_cast<State*>(stream_p);
      const State& result = *static_cast<const State*>(result_p);
      const int p = pos(result);
      std::memcpy(stream.mt, result.mt + p, sizeof(uint32_t) * static_cast<size_t>(N - p));
      std::memcpy(stream.mt + (N - p), result.mt, sizeof(uint32_t) * static_cast<size_t>(p));
      stream.index = N;
    }
    // Outputs left in the block are skipped by moving the index; the rest are steps.
    static uint64_t consume(void* p, uint64_t count) {
      State& s = *static_cast<State*>(p);
      const uint32_t index = std::min<uint32_t>(s.index, N);
      const uint64_t left = N - index;
      if (count <= left) {
        s.index = index + static_cast<uint32_t>(count);
        return 0;
      }
      s.index = N;
      return count - left;
    }
  };

  // Steps the state `count` outputs forward block by block, without tempering.
  template <typename State>
  static void step(State& s, uint64_t count) {
    while (count > 0) {
      if (s.index >= static_cast<uint32_t>(N)) {
        twist_block(s.mt, s.matrix());
        s.index = 0;
      }
      const uint64_t take = std::min<uint64_t>(count, N - s.index);
      s.index += static_cast<uint32_t>(take);
      count -= take;
    }
  }

  // Untempered words into out, renewing the block whenever it is used up; `temper`
  // runs over each run of words copied out.
  template <typename State, typename Temper>
  static void generate(State& s, int32_t n, uint32_t* out, Temper&& temper) {
    while (n > 0) {
      if (s.index >= static_cast<uint32_t>(N)) {
        twist_block(s.mt, s.matrix());
        s.index = 0;
      }
      const int32_t take = std::min<int32_t>(n, N - static_cast<int32_t>(s.index));
      temper(s.mt + s.index, out, take);
      s.index += static_cast<uint32_t>(take);
      out += take;
      n -= take;
    }
  }
};

}  // namespace zorn::generators
