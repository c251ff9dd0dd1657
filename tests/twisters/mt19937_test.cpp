// MT19937: the reference sequences, the output forms, stepping and the polynomial jump.
#include <gtest/gtest.h>

#include "twister_support.h"

namespace {

const std::vector<uint32_t> kKey = {0x123, 0x234, 0x345, 0x456};

TEST(Mt19937, ReferenceInitByArrayFirstOutputs) {
  Stream s(PAVO_BRNG_MT19937, kKey);
  EXPECT_EQ(s.ints(5), (std::vector<uint32_t>{1067595299u, 955945823u, 477289528u, 4107218783u, 4228976476u}));
}

TEST(Mt19937, FollowsTheReferenceAcrossBlocksAndCallSplits) {
  for (const auto& key : {kKey, std::vector<uint32_t>{5489}, std::vector<uint32_t>(700, 0xDEADBEEF)}) {
    plain::Mt19937 ref(key);
    Stream s(PAVO_BRNG_MT19937, key);
    // Calls of uneven sizes, so that blocks are renewed in the middle of a call.
    for (int32_t n : {1, 3, 620, 1, 624, 625, 1000, 2500}) {
      for (uint32_t w : s.ints(n)) ASSERT_EQ(w, ref.next());
    }
  }
}

TEST(Mt19937, NoSeedWordsMeansTheSingleWordOne) {
  Stream empty(PAVO_BRNG_MT19937, {});
  Stream one(PAVO_BRNG_MT19937, {1});
  EXPECT_EQ(empty.ints(1300), one.ints(1300));
}

TEST(Mt19937, RealsAreTheWordScaledOntoTheInterval) {
  Stream words(PAVO_BRNG_MT19937, kKey), reals(PAVO_BRNG_MT19937, kKey), singles(PAVO_BRNG_MT19937, kKey);
  const double a = -3.5, b = 11.25;
  const std::vector<uint32_t> w = words.ints(1500);
  const std::vector<double> d = reals.doubles(1500, a, b);
  const std::vector<float> f = singles.floats(1500, static_cast<float>(a), static_cast<float>(b));
  const double scale = (b - a) * 0x1p-32;
  for (size_t i = 0; i < w.size(); ++i) {
    volatile double product = static_cast<double>(w[i]) * scale;  // kept unfused
    ASSERT_EQ(d[i], product + a);
    ASSERT_EQ(f[i], static_cast<float>(product + a));
    ASSERT_GE(d[i], a);
    ASSERT_LE(d[i], b);
  }
}

TEST(Mt19937, UnsupportedMethodsAreRefusedAndLeaveTheStream) {
  Stream s(PAVO_BRNG_MT19937, kKey), twin(PAVO_BRNG_MT19937, kKey);
  const uint64_t count[2] = {5, 0};
  EXPECT_EQ(__pavoLeapfrogStream(s.p, 1, 2), -1002);
  EXPECT_EQ(__pavoSkipAheadStreamEx(s.p, 2, count), -1004);
  EXPECT_EQ(s.row().init_stream(4, s.p, 0, nullptr), -2);
  EXPECT_EQ(s.ints(700), twin.ints(700));
}

// Skip-ahead must equal drawing and discarding, from every kind of position in the
// block, on both sides of the stepping threshold.
TEST(Mt19937, SkipAheadEqualsDiscarding) {
  for (uint64_t drawn : {0u, 1u, 623u, 624u, 1000u}) {
    for (uint64_t count : {0ull, 1ull, 623ull, 624ull, 1048575ull, 1048576ull, 1048577ull, 2000000ull}) {
      Stream jumped(PAVO_BRNG_MT19937, kKey), stepped(PAVO_BRNG_MT19937, kKey);
      discard(jumped, drawn);
      discard(stepped, drawn);
      ASSERT_EQ(skip(jumped, count), 0);
      discard(stepped, count);
      ASSERT_EQ(jumped.ints(1300), stepped.ints(1300)) << "drawn " << drawn << " count " << count;
    }
  }
}

// The jump is linear in the count: two jumps add up to one.
TEST(Mt19937, JumpsCompose) {
  Stream twice(PAVO_BRNG_MT19937, kKey), once(PAVO_BRNG_MT19937, kKey);
  const uint64_t big = 0xFFFFFFFFFFFFFFFFull / 3;
  ASSERT_EQ(skip(twice, big), 0);
  ASSERT_EQ(skip(twice, big + 1048576), 0);
  ASSERT_EQ(skip(once, 2 * big), 0);
  ASSERT_EQ(skip(once, 1048576), 0);
  EXPECT_EQ(twice.ints(1000), once.ints(1000));
}

}  // namespace
