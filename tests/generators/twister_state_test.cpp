// Every twister row: seeding without words, and states damaged in memory or in a loaded
// image (generation stays inside them).
#include <gtest/gtest.h>

#include "generator_support.h"

namespace {

struct RowCase {
  uint32_t id;
  int32_t state_words;
};
const RowCase kRows[] = {{PAVO_BRNG_MT19937, 625}, {PAVO_BRNG_MT2203 + 6023, 70}, {PAVO_BRNG_SFMT19937, 625}};

TEST(TwisterRows, NoSeedWordsMeansTheSingleWordOne) {
  for (const RowCase& c : kRows) {
    Stream empty(c.id, {}), one(c.id, {1});
    EXPECT_EQ(empty.ints(1300), one.ints(1300)) << std::hex << c.id;
  }
}

// A damaged state (an index beyond the block, a carry beyond its room) must not make
// generation read outside the state; it restarts with a fresh block instead.
TEST(TwisterRows, OutOfRangeIndicesAreHandledSafely) {
  for (const RowCase& c : kRows) {
    Stream s(c.id, {9});
    auto* words = reinterpret_cast<uint32_t*>(static_cast<char*>(s.p) + 16);
    words[c.state_words - 1] = 0xFFFFFFF0u;  // the index
    if (c.id == PAVO_BRNG_SFMT19937) {
      words[625 + 3] = 0x7FFFFFFFu;  // carry position
      words[625 + 4] = 0x7FFFFFFFu;  // carry count
    }
    Stream fresh(c.id, {9});
    EXPECT_EQ(s.ints(2000), fresh.ints(2000)) << std::hex << c.id;
  }
}

}  // namespace
