// MT19937: the reference sequences and the polynomial jump for counts beyond discarding.
#include <gtest/gtest.h>

#include "generator_support.h"

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
