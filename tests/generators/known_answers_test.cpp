// Each generator against a plain transcription of its published recurrence, its
// seeding rules, and its output forms.
#include <gtest/gtest.h>

#include <cstring>

#include "generators/data/wh_parameters.h"
#include "reference_generators.h"
#include "common/stream_handle.h"

namespace {

constexpr uint64_t kM31 = 2147483647;
constexpr uint64_t kA31 = 1132489760;
constexpr uint64_t kA59 = 302875106592253ull;
constexpr unsigned __int128 k2p59 = static_cast<unsigned __int128>(1) << 59;

TEST(Mcg31m1, SeedingReducesModuloAndAvoidsZero) {
  const struct {
    uint32_t seed;
    uint32_t first;
  } cases[] = {{0, 1}, {2147483647u, 1}, {2147483648u, 1}, {12345, 12345}, {0xFFFFFFFFu, 0xFFFFFFFFu % kM31}};
  for (const auto& c : cases) {
    Stream s(PAVO_BRNG_MCG31M1, {c.seed});
    EXPECT_EQ(s.ints(1)[0], c.first) << c.seed;
  }
  Stream no_seed(PAVO_BRNG_MCG31M1, {});
  EXPECT_EQ(no_seed.ints(1)[0], 1u);
}

TEST(Mcg31m1, FollowsLehmerRecurrence) {
  Stream s(PAVO_BRNG_MCG31M1, {987654321, 5});  // a second word is ignored
  const auto want = reference::lehmer(987654321, kA31, kM31, 1000);
  const auto got = s.ints(1000);
  for (int i = 0; i < 1000; ++i) ASSERT_EQ(got[i], want[i]) << i;
}

TEST(Mcg59, SeedingTakesLow59BitsOfTwoWords) {
  Stream zero(PAVO_BRNG_MCG59, {0, 1u << 27});  // 2^59 = 0 mod 2^59
  EXPECT_EQ(zero.ints(1), (std::vector<uint32_t>{1, 0}));
  Stream two(PAVO_BRNG_MCG59, {0x89ABCDEFu, 0xFFFFFFFFu});
  EXPECT_EQ(two.ints(1), (std::vector<uint32_t>{0x89ABCDEFu, 0x07FFFFFFu}));
  Stream even(PAVO_BRNG_MCG59, {4});
  EXPECT_EQ(even.ints(1)[0], 4u);
}

TEST(Mcg59, FollowsLehmerRecurrence) {
  Stream s(PAVO_BRNG_MCG59, {0x12345679u, 0x0ABCDEFu});
  const uint64_t x0 = 0x12345679u | uint64_t{0x0ABCDEFu} << 32;
  const auto want = reference::lehmer(x0, kA59, k2p59, 777);
  const auto got = s.ints(777);
  for (int i = 0; i < 777; ++i) ASSERT_EQ(got[2 * i] | uint64_t{got[2 * i + 1]} << 32, want[i]) << i;
}

TEST(Mrg32k3a, FollowsPublishedRecurrence) {
  const std::vector<uint32_t> seeds = {12345, 12345, 12345, 12345, 12345, 12345};
  Stream s(PAVO_BRNG_MRG32K3A, seeds);
  double s1[3] = {12345, 12345, 12345}, s2[3] = {12345, 12345, 12345};
  EXPECT_EQ(s.ints(5000), reference::mrg32k3a(s1, s2, 5000));
}

TEST(Mrg32k3a, SeedingReducesAndRepairsZeroComponents) {
  // Six zeros become x1 = (1, 0, 0), x2 = (1, 0, 0); m1 reduces to 0 and is repaired
  // the same way; missing words are 1.
  const struct {
    std::vector<uint32_t> seeds;
    double s1[3], s2[3];
  } cases[] = {
      {{0, 0, 0, 0, 0, 0}, {1, 0, 0}, {1, 0, 0}},
      {{4294967087u, 0, 0, 7, 8, 9}, {1, 0, 0}, {7, 8, 9}},
      {{4294967088u, 2, 3, 4294944443u + 5, 0, 0}, {1, 2, 3}, {5, 0, 0}},
      {{10, 20}, {10, 20, 1}, {1, 1, 1}},
      {{}, {1, 1, 1}, {1, 1, 1}},
  };
  for (const auto& c : cases) {
    Stream s(PAVO_BRNG_MRG32K3A, c.seeds);
    double s1[3], s2[3];
    std::memcpy(s1, c.s1, sizeof s1);
    std::memcpy(s2, c.s2, sizeof s2);
    EXPECT_EQ(s.ints(50), reference::mrg32k3a(s1, s2, 50));
  }
}

TEST(R250, OneSeedWordFillsBufferByCongruenceAndBitRules) {
  for (uint32_t seed : {1u, 0u, 4242u}) {
    Stream s(PAVO_BRNG_R250, {seed});
    EXPECT_EQ(s.ints(1000), reference::r250(reference::r250_seed_words(seed ? seed : 1), 1000));
  }
  std::vector<uint32_t> many(249);
  for (uint32_t k = 0; k < 249; ++k) many[k] = 1000 + k;  // only the first word counts
  Stream s(PAVO_BRNG_R250, many);
  EXPECT_EQ(s.ints(600), reference::r250(reference::r250_seed_words(1000), 600));
}

TEST(R250, TwoHundredFiftySeedWordsAreTakenLiterally) {
  std::vector<uint32_t> words(250);
  for (uint32_t k = 0; k < 250; ++k) words[k] = k * 0x9E3779B9u;
  Stream s(PAVO_BRNG_R250, words);
  EXPECT_EQ(s.ints(700), reference::r250(words, 700));
}

TEST(Wh, FollowsCombinedRecurrenceForEverySubGeneratorTried) {
  for (uint32_t sub : {0u, 1u, 100u, 272u}) {
    const auto& p = zorn::generators::kWhParameters[sub];
    const uint32_t seeds[4] = {123456789u, 2u, 0u, 4000000000u};
    Stream s(PAVO_BRNG_WH + sub, {seeds[0], seeds[1], seeds[2], seeds[3]});
    uint64_t x[4];
    const uint32_t a[4] = {p.a[0], p.a[1], p.a[2], p.a[3]};
    for (int i = 0; i < 4; ++i) x[i] = seeds[i] % p.m[i] ? seeds[i] % p.m[i] : 1;
    const auto want = reference::wh(x, p.m, a, 300);
    const auto got_int = s.ints(150);
    for (int t = 0; t < 150; ++t)
      for (int i = 0; i < 4; ++i) ASSERT_EQ(got_int[4 * t + i], want[t].x[i]) << sub << " " << t;
    const auto got = s.doubles(150);
    for (int t = 0; t < 150; ++t) ASSERT_EQ(got[t], want[150 + t].u) << sub << " " << t;
  }
}

TEST(Wh, LastSubGeneratorUsesItsOwnModuli) {
  // x_i = a_i s_i mod m_i after one step, with row 272's published parameters.
  Stream s(PAVO_BRNG_WH + 272, {5, 6, 7, 8});
  const uint64_t m[4] = {16766363, 16766359, 16766327, 16766231}, a[4] = {126, 127, 125, 124};
  const auto got = s.ints(1);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(got[i], a[i] * (5 + i) % m[i]);
}

TEST(Wh, SeedingFillsMissingComponentsWithOne) {
  const auto& p = zorn::generators::kWhParameters[0];
  Stream s(PAVO_BRNG_WH, {p.m[0] + 3, p.m[1]});  // the second reduces to 0, becomes 1
  const auto got = s.ints(1);
  const uint64_t want[4] = {3u * p.a[0] % p.m[0], p.a[1], p.a[2], p.a[3]};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(got[i], want[i]) << i;
}

// The real outputs are w ((b - a) c) + a with the scale computed once, not fused.
TEST(OutputForms, RealsAreOneMultiplyAndOneAddOfTheIntegerWord) {
  const struct {
    uint32_t id;
    double c;
  } gens[] = {{PAVO_BRNG_MCG31M1, 1.0 / 2147483647.0}, {PAVO_BRNG_MRG32K3A, 1.0 / 4294967087.0},
              {PAVO_BRNG_R250, 0x1p-32}, {PAVO_BRNG_MT19937, 0x1p-32}, {PAVO_BRNG_MT2203 + 6023, 0x1p-32}};
  const double a = -3.25, b = 7.5;
  const float fa = -1.5f, fb = 2.0f;
  for (const auto& g : gens) {
    Stream ints(g.id, {777}), reals(g.id, {777}), singles(g.id, {777});
    const auto w = ints.ints(600);
    const auto d = reals.doubles(600, a, b);
    const auto f = singles.floats(600, fa, fb);
    const volatile double scale = (b - a) * g.c, fscale = (double{fb} - double{fa}) * g.c;
    for (int i = 0; i < 600; ++i) {
      const volatile double product = w[i] * scale, fproduct = w[i] * fscale;
      ASSERT_EQ(d[i], product + a) << g.id << " " << i;
      ASSERT_EQ(f[i], static_cast<float>(fproduct + fa)) << g.id << " " << i;
    }
  }
}

TEST(OutputForms, Mcg59SinglePrecisionWorksInFloat) {
  Stream ints(PAVO_BRNG_MCG59, {31337}), reals(PAVO_BRNG_MCG59, {31337}), singles(PAVO_BRNG_MCG59, {31337});
  const auto w = ints.ints(500);
  const auto d = reals.doubles(500, 2.0, 3.0);
  const auto f = singles.floats(500, -1.0f, 4.0f);
  const volatile float scale = static_cast<float>(5.0 * 0x1p-59);
  const volatile double dscale = 1.0 * 0x1p-59;
  for (int i = 0; i < 500; ++i) {
    const uint64_t x = w[2 * i] | uint64_t{w[2 * i + 1]} << 32;
    const volatile float fproduct = scale * static_cast<float>(x);
    const volatile double dproduct = static_cast<double>(x) * dscale;
    ASSERT_EQ(f[i], fproduct + -1.0f) << i;
    ASSERT_EQ(d[i], dproduct + 2.0) << i;
  }
}

TEST(OutputForms, WhRealsScaleTheCombinedFraction) {
  const auto& p = zorn::generators::kWhParameters[7];
  Stream s(PAVO_BRNG_WH + 7, {11, 22, 33, 44});
  uint64_t x[4] = {11, 22, 33, 44};
  const uint32_t a[4] = {p.a[0], p.a[1], p.a[2], p.a[3]};
  const auto want = reference::wh(x, p.m, a, 400);
  const auto d = s.doubles(200, 10.0, 12.0);
  const auto f = s.floats(200, 0.5f, 1.5f);
  for (int t = 0; t < 200; ++t) {
    const volatile double pd = want[t].u * 2.0, pf = want[200 + t].u * 1.0;
    ASSERT_EQ(d[t], pd + 10.0);
    ASSERT_EQ(f[t], static_cast<float>(pf + 0.5));
  }
}
}  // namespace
