// The three twisters as registry rows: their properties, and streams that survive a
// save and load and continue their sequence.
#include <gtest/gtest.h>

#include "twister_support.h"

namespace {

struct RowCase {
  uint32_t id;
  int32_t state_size, state_words;
};
const RowCase kRows[] = {{PAVO_BRNG_MT19937, 2520, 625}, {PAVO_BRNG_MT2203 + 6023, 312, 70},
                         {PAVO_BRNG_SFMT19937, 2536, 625}};

TEST(TwisterRows, PropertiesAreThoseOfTheRegistry) {
  for (const RowCase& c : kRows) {
    PavoBrngProperties p{};
    ASSERT_EQ(__pavoGetBrngProperties(c.id, &p), 0);
    EXPECT_EQ(p.state_size, c.state_size);
    EXPECT_EQ(p.state_words, c.state_words);
    EXPECT_EQ(p.may_yield_zero, 1);
    EXPECT_EQ(p.word_size, 4);
    EXPECT_EQ(p.bits, 32);
    Stream s(c.id, {1, 2, 3});
    EXPECT_EQ(p.init_stream(PAVO_INIT_SEED, s.p, 0, nullptr), 0);
  }
  PavoBrngProperties p{};
  EXPECT_EQ(__pavoGetBrngProperties(PAVO_BRNG_MT2203 + 6024, &p), -1000);
}

// Seeding from words or skipping reads parameters; without them the stream is refused
// and left as it was.
TEST(TwisterRows, MissingParametersAreRefused) {
  for (const RowCase& c : kRows) {
    Stream s(c.id, {1, 2, 3}), same(c.id, {1, 2, 3});
    EXPECT_EQ(s.row().init_stream(PAVO_INIT_SEED, s.p, 3, nullptr), -3) << c.id;
    EXPECT_EQ(s.row().init_stream(PAVO_INIT_SKIP_AHEAD, s.p, 0, nullptr), -3) << c.id;
    EXPECT_EQ(s.ints(700), same.ints(700)) << c.id;
  }
}

// Saved in the middle of a block (and, for SFMT19937, with words in the carry), a
// loaded stream and its original give the same continuation.
TEST(TwisterRows, SaveAndLoadContinueTheSequence) {
  for (const RowCase& c : kRows) {
    Stream original(c.id, {5, 6, 7});
    original.ints(100);
    ASSERT_EQ(skip(original, 3000001), 0);
    std::vector<char> image(static_cast<size_t>(__pavoGetStreamSize(original.p)));
    ASSERT_EQ(__pavoSaveStreamM(original.p, image.data()), 0);
    Stream loaded;
    ASSERT_EQ(__pavoLoadStreamM(&loaded.p, image.data()), 0);
    EXPECT_EQ(loaded.ints(1500), original.ints(1500)) << std::hex << c.id;
    EXPECT_EQ(loaded.doubles(10, -1, 1), original.doubles(10, -1, 1));
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
