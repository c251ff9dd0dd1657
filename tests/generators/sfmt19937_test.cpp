// SFMT19937: the reference sequence, seeding and period certification, the output
// forms, and skip-ahead with the carry.
#include <gtest/gtest.h>

#include "generator_support.h"

namespace {

const std::vector<uint32_t> kKey = {0x1234, 0x5678, 0x9ABC, 0xDEF0};

TEST(Sfmt19937, FollowsTheReferenceForKeysOfEveryLength) {
  // 700 words: the first mixing loop then runs n + 1 times instead of 624.
  for (const auto& key : {kKey, std::vector<uint32_t>{7}, std::vector<uint32_t>(623, 3u),
                          std::vector<uint32_t>(700, 0x9E3779B9u)}) {
    plain::Sfmt19937 ref(key);
    Stream s(PAVO_BRNG_SFMT19937, key);
    for (int32_t n : {1, 3, 620, 5, 624, 1000, 2000})
      for (uint32_t w : s.ints(n)) ASSERT_EQ(w, ref.next()) << "key length " << key.size();
  }
}

// After seeding, the first 128 bits have odd inner product with the parity vector, the
// condition for the full period. About half of all seeds need the correction.
TEST(Sfmt19937, SeedingCertifiesThePeriod) {
  static const uint32_t parity[4] = {0x00000001u, 0, 0, 0x13C9E684u};
  for (uint32_t seed = 0; seed < 40; ++seed) {
    plain::Sfmt19937 ref({seed});
    Stream s(PAVO_BRNG_SFMT19937, {seed});
    const uint32_t* w = reinterpret_cast<const uint32_t*>(static_cast<const char*>(s.p) + 16);
    uint32_t inner = 0;
    for (int k = 0; k < 4; ++k) inner ^= w[k] & parity[k];
    ASSERT_EQ(__builtin_parity(inner), 1) << seed;
    ASSERT_EQ(s.ints(4), (std::vector<uint32_t>{ref.next(), ref.next(), ref.next(), ref.next()}));
  }
}

TEST(Sfmt19937, RealsAreTheSignedWordScaledAboutTheMidpoint) {
  Stream words(PAVO_BRNG_SFMT19937, kKey), reals(PAVO_BRNG_SFMT19937, kKey), singles(PAVO_BRNG_SFMT19937, kKey);
  const double a = 2.0, b = 7.5;
  const std::vector<uint32_t> w = words.ints(1500);
  const std::vector<double> d = reals.doubles(1500, a, b);
  const std::vector<float> f = singles.floats(1500, static_cast<float>(a), static_cast<float>(b));
  const double scale = (b - a) * 0x1p-32, middle = (a + b) * 0.5;
  for (size_t i = 0; i < w.size(); ++i) {
    volatile double product = static_cast<int32_t>(w[i]) * scale;  // kept unfused
    ASSERT_EQ(d[i], product + middle);
    ASSERT_EQ(f[i], static_cast<float>(product + middle));
  }
  // The extreme words land on the ends: 0x80000000 on a exactly.
  EXPECT_EQ(static_cast<int32_t>(0x80000000u) * scale + middle, a);
}

TEST(Sfmt19937, SkipsInsideTheCarryAndAcrossIt) {
  Stream jumped(PAVO_BRNG_SFMT19937, kKey), stepped(PAVO_BRNG_SFMT19937, kKey);
  discard(jumped, 624);
  discard(stepped, 624);
  uint64_t total = 0;
  for (uint64_t count : {1ull, 1ull, 1ull, 2ull, 30001ull, 0ull, 2ull, 5ull}) {
    ASSERT_EQ(skip(jumped, count), 0);
    total += count;
  }
  discard(stepped, total);
  EXPECT_EQ(jumped.ints(10), stepped.ints(10));
  EXPECT_EQ(jumped.ints(1), stepped.ints(1));
}
}  // namespace
