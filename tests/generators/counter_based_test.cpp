// Philox4x32-10 and ARS-5 against Random123, their buffer and skip-ahead rules, and the
// signed-word mapping onto an interval.
#include <gtest/gtest.h>

#include <algorithm>

#include "common/stream_handle.h"
#include "generators/counter_kernels.h"
#include "generators/real_output.h"
#include "streams/processor_features.h"
// Random123 (Debian librandom123-dev) is the oracle. Its ARS functions use AES
// instructions: compiled for them here, run only after the processor has been asked.
#define R123_USE_AES_NI 1
#pragma GCC push_options
#pragma GCC target("aes,sse2")
#include <Random123/ars.h>
#pragma GCC pop_options
#include <Random123/philox.h>

namespace {

using Words = std::vector<uint32_t>;

// The words of n_blocks blocks from the counter on, the counter wrapping at 2^128.
template <typename Ctr, typename Block>
Words counter_words(Ctr ctr, int n_blocks, Block&& block) {
  Words out;
  for (int i = 0; i < n_blocks; ++i, std::find_if(ctr.v, ctr.v + 4, [](uint32_t& w) { return ++w != 0; })) {
    const Ctr x = block(ctr);
    out.insert(out.end(), x.v, x.v + 4);
  }
  return out;
}
Words philox(Words key, Words ctr, int n_blocks) {
  const philox4x32_key_t k = {{key[0], key[1]}};
  return counter_words(philox4x32_ctr_t{{ctr[0], ctr[1], ctr[2], ctr[3]}}, n_blocks,
                       [&k](philox4x32_ctr_t c) { return philox4x32_R(10, c, k); });
}
#pragma GCC push_options
#pragma GCC target("aes,sse2")
Words ars5(Words key, Words ctr, int n_blocks) {
  const ars4x32_key_t k = {{key[0], key[1], key[2], key[3]}};
  return counter_words(ars4x32_ctr_t{{ctr[0], ctr[1], ctr[2], ctr[3]}}, n_blocks,
                       [&k](ars4x32_ctr_t c) { return ars4x32_R(5, c, k); });
}
#pragma GCC pop_options

struct Generator {
  const char* name;
  uint32_t id;
  size_t key_words;
  Words (*oracle)(Words key, Words ctr, int n_blocks);
};
const Generator kGenerators[] = {{"Philox4x32x10", PAVO_BRNG_PHILOX4X32X10, 2, philox},
                                 {"ARS5", PAVO_BRNG_ARS5, 4, ars5}};

bool runs_here(const Generator& g) { return g.id != PAVO_BRNG_ARS5 || __pavoCPUisAES() == 1; }

const Words kPiKey = {0xa4093822, 0x299f31d0, 0x082efa98, 0xec4e6c89};
const Words kPiCtr = {0x243f6a88, 0x85a308d3, 0x13198a2e, 0x03707344};

Words seeds_of(const Generator& g, const Words& ctr) {
  Words s(kPiKey.begin(), kPiKey.begin() + g.key_words);
  s.insert(s.end(), ctr.begin(), ctr.end());
  return s;
}

// Random123's own known answers, tests/kat_vectors of Random123 1.14 (Debian
// librandom123-doc): philox4x32 10 rounds, counter then key, four result words.
TEST(Philox4x32x10, GivesRandom123KnownAnswers) {
  const struct {
    Words seeds, expected;
  } kat[] = {
      {{0, 0, 0, 0, 0, 0}, {0x6627e8d5, 0xe169c58d, 0xbc57ac4c, 0x9b00dbd8}},
      {{~0u, ~0u, ~0u, ~0u, ~0u, ~0u}, {0x408f276d, 0x41c83b0e, 0xa20bc7c6, 0x6d5451fd}},
      {{0xa4093822, 0x299f31d0, 0x243f6a88, 0x85a308d3, 0x13198a2e, 0x03707344},
       {0xd16cfe09, 0x94fdcceb, 0x5001e420, 0x24126ea1}},
  };
  for (const auto& k : kat) EXPECT_EQ(Stream(PAVO_BRNG_PHILOX4X32X10, k.seeds).ints(4), k.expected);
}

// Seeds of every length, each missing word 0 (nothing past the given words is read,
// which the sanitizer build checks); runs that end inside a block.
TEST(CounterBased, EqualsRandom123ForSeedsOfEveryLength) {
  for (const Generator& g : kGenerators) {
    if (!runs_here(g)) continue;
    const Words full = seeds_of(g, kPiCtr);
    for (size_t n = 0; n <= full.size(); ++n) {
      Words given(full.begin(), full.begin() + n), padded = given;
      padded.resize(full.size());
      Words want = g.oracle(Words(padded.begin(), padded.begin() + g.key_words),
                            Words(padded.begin() + g.key_words, padded.end()), 10);
      want.resize(4 * 9 + 3);
      EXPECT_EQ(Stream(g.id, given).ints(4 * 9 + 3), want) << g.name << " " << n << " seed words";
    }
  }
}

// Every block function this processor runs, whatever the stream picks: batches, tails
// and counters whose low word, low half or whole 128 bits wrap inside one call.
TEST(CounterKernels, EqualRandom123AndAdvanceTheCounter) {
  namespace zg = zorn::generators;
  namespace zs = zorn::streams;
  const struct {
    const char* name;
    bool runs;
    void (*blocks)(const uint32_t*, uint32_t*, int32_t, uint32_t*);
    const Generator& generator;
  } kernels[] = {{"philox sse2", true, zg::philox4x32x10_blocks_sse2, kGenerators[0]},
                 {"philox avx2", zs::has_avx2(), zg::philox4x32x10_blocks_avx2, kGenerators[0]},
                 {"ars5 aes", zs::has_aes(), zg::ars5_blocks_aes, kGenerators[1]},
                 {"ars5 vaes", zs::has_vaes(), zg::ars5_blocks_vaes, kGenerators[1]}};
  const Words counters[] = {kPiCtr, {0xFFFFFFF9u, 0, 0, 0}, {0xFFFFFFF9u, ~0u, 0, 0}, {0xFFFFFFFDu, ~0u, ~0u, ~0u}};
  for (const auto& k : kernels) {
    if (!k.runs) continue;
    for (const Words& ctr : counters) {
      for (int32_t n : {1, 3, 8, 9, 17, 67}) {
        const Words want = k.generator.oracle(kPiKey, ctr, n + 1);
        Words counter = ctr, out(4 * n);
        k.blocks(kPiKey.data(), counter.data(), n, out.data());
        EXPECT_EQ(out, Words(want.begin(), want.end() - 4)) << k.name << " " << n;
        Words after(4);
        k.blocks(kPiKey.data(), counter.data(), 1, after.data());
        EXPECT_EQ(after, Words(want.end() - 4, want.end())) << k.name << " counter after " << n;
      }
    }
  }
}

// After `drawn` words and a skip by `count` (64-bit words, low first; single-word
// counts also through the one-word operation), the stream gives the words that follow
// position drawn + count, taken modulo 2^130 words (2^128 blocks).
TEST(CounterBased, SkipAheadLandsOnTheWordAfterTheOnesJumped) {
  using u128 = unsigned __int128;
  const struct {
    int32_t drawn;
    std::vector<uint64_t> count;
  } cases[] = {
      {0, {5}}, {0, {0}}, {1, {3}}, {2, {1}}, {3, {4}}, {6, {1001}}, {4, {0, 0, 0}},
      {0, {6, 1}},           // 2^64 + 6 words
      {3, {1, 0, 2}},        // 2^129 + 4: the third word reaches the counter's top bits
      {2, {8, 0, 0, 7}},     // a fourth word is a multiple of 2^130 words
      {1, {~0ull, ~0ull}},   // carries out of the low 128 bits
  };
  for (const Generator& g : kGenerators) {
    if (!runs_here(g)) continue;
    for (const auto& c : cases) {
      for (bool multi : {true, false}) {
        if (!multi && c.count.size() > 1) continue;
        Stream s(g.id, seeds_of(g, kPiCtr));
        s.ints(c.drawn);
        ASSERT_EQ(multi ? __pavoSkipAheadStreamEx(s.p, static_cast<int32_t>(c.count.size()), c.count.data())
                        : __pavoSkipAheadStream(s.p, c.count[0]),
                  0);
        const u128 low = (u128{c.count.size() > 1 ? c.count[1] : 0} << 64 | c.count[0]) + u128(c.drawn);
        const u128 carry = low < u128(c.drawn) ? 1 : 0;
        const u128 blocks = (low >> 2) + ((u128{c.count.size() > 2 ? c.count[2] : 0} + carry) << 126) +
                            (u128{kPiCtr[3]} << 96 | u128{kPiCtr[2]} << 64 | u128{kPiCtr[1]} << 32 | kPiCtr[0]);
        const Words ctr = {uint32_t(blocks), uint32_t(blocks >> 32), uint32_t(blocks >> 64), uint32_t(blocks >> 96)};
        Words want = g.oracle(kPiKey, ctr, 3);
        want.erase(want.begin(), want.begin() + static_cast<int>(low & 3));
        want.resize(7);
        EXPECT_EQ(s.ints(7), want) << g.name << " drawn " << c.drawn << " count " << c.count[0];
      }
    }
  }
}

// The signed reading of a word centres it on the interval: 0x80000000 is a, 0 the
// midpoint, 0x7FFFFFFF one 2^-32 of the width below b.
TEST(SignedWordMap, SendsExtremeWordsToTheBounds) {
  const struct {
    double a, b;
  } intervals[] = {{0, 1}, {-3, 5}, {2, 4}, {-1e10, 1e10}};
  for (const auto& i : intervals) {
    const zorn::generators::SignedWordMap<double> d(i.a, i.b);
    EXPECT_EQ(d(0x80000000u), i.a);
    EXPECT_EQ(d(0), (i.a + i.b) / 2);
    EXPECT_EQ(d(0x7FFFFFFFu), i.b - (i.b - i.a) * 0x1p-32);
    const zorn::generators::SignedWordMap<float> f(static_cast<float>(i.a), static_cast<float>(i.b));
    EXPECT_EQ(f(0x80000000u), static_cast<float>(i.a));
    EXPECT_EQ(f(0), static_cast<float>((i.a + i.b) / 2));
  }
  for (const Generator& g : kGenerators) {
    if (!runs_here(g)) continue;
    Stream words(g.id, {9, 8, 7}), reals(g.id, {9, 8, 7});
    const zorn::generators::SignedWordMap<double> map(-2, 6);
    const Words w = words.ints(1030);
    const std::vector<double> r = reals.doubles(1030, -2, 6);
    for (size_t k = 0; k < w.size(); ++k) ASSERT_EQ(r[k], map(w[k])) << g.name << " " << k;
  }
}

}  // namespace
