// The MT2203 family: the parameter table, the recurrence and tempering of each
// sub-generator, full period, and the 32-bit skip-ahead.
#include <gtest/gtest.h>

#include <set>

#include "generators/data/mt2203_parameters.h"
#include "generator_support.h"

namespace {

using zorn::generators::kMt2203Parameters;
using zorn::generators::kMt2203SubGenerators;

const std::vector<uint32_t> kKey = {0x123, 0x234, 0x345, 0x456};

TEST(Mt2203, TableHoldsTheDefiningRows) {
  struct Expected { int row; uint32_t a, b, c; };
  for (const Expected& e : {Expected{0, 0xAF81055F, 0xDD7EEF80, 0xEFD78000}, Expected{1, 0x832604E1, 0x66AD7F80, 0xEBD58000},
                            Expected{2, 0x92F70739, 0x656D7780, 0xEFC50000},
                            Expected{6023, 0xE8761D4B, 0x72967680, 0xEFEB0000}}) {
    EXPECT_EQ(kMt2203Parameters[e.row].a, e.a) << e.row;
    EXPECT_EQ(kMt2203Parameters[e.row].b, e.b) << e.row;
    EXPECT_EQ(kMt2203Parameters[e.row].c, e.c) << e.row;
  }
}

// Rows are distinct, and shaped like the defining rows: top bit of A set, the bits of B
// and C that tempering shifts out left clear.
TEST(Mt2203, TableRowsAreDistinctAndWellShaped) {
  std::set<uint32_t> matrices;
  for (int j = 0; j < kMt2203SubGenerators; ++j) {
    const auto& r = kMt2203Parameters[j];
    EXPECT_TRUE(matrices.insert(r.a).second) << "row " << j << " repeats a matrix word";
    EXPECT_NE(r.a & 0x80000000u, 0u) << j;
    EXPECT_EQ(r.b & 0x7Fu, 0u) << j;
    EXPECT_EQ(r.c & 0x7FFFu, 0u) << j;
  }
}

// The minimal polynomial of an output bit of the stream has degree 2203 and is
// irreducible, hence primitive (2^2203 - 1 is prime): the period is 2^2203 - 1.
TEST(Mt2203, SampledSubGeneratorsHaveFullPeriod) {
  // The defining rows, rows searched again after a repeated matrix word, and a spread.
  std::vector<int> sample = {0, 1, 2, 6023, 2090, 5939};
  for (int j = 3; j < kMt2203SubGenerators; j += 500) sample.push_back(j);
  for (int j : sample) {
    Stream s(PAVO_BRNG_MT2203 + static_cast<uint32_t>(j), kKey);
    const gf2::Poly p = stream_bit_polynomial(s, 2203, 31, 1);
    ASSERT_EQ(gf2::degree(p), 2203) << j;
    EXPECT_TRUE(gf2::is_irreducible_prime_degree(p)) << j;
  }
}

TEST(Mt2203, FollowsThePlainRecurrenceAcrossBlocks) {
  for (int j : {0, 1, 6023}) {
    const auto& r = kMt2203Parameters[j];
    for (const auto& key : {kKey, std::vector<uint32_t>(100, 0xABCDEFu)}) {
      PlainMt2203 ref(r.a, r.b, r.c, key);
      Stream s(PAVO_BRNG_MT2203 + static_cast<uint32_t>(j), key);
      for (int32_t n : {1, 68, 2, 69, 70, 500})
        for (uint32_t w : s.ints(n)) ASSERT_EQ(w, ref.next()) << "sub-generator " << j;
    }
  }
}

TEST(Mt2203, SkipAheadUsesTheLow32BitsAsSigned) {
  struct Case { uint64_t count; uint64_t steps; };
  for (const Case& c : {Case{5, 5}, Case{(1ull << 32) + 5, 5}, Case{1ull << 31, 0}, Case{0xFFFFFFFFull, 0},
                        Case{0, 0}, Case{69, 69}, Case{100000, 100000}, Case{0x7FFFFFFFull << 32 | 70, 70}}) {
    for (uint64_t drawn : {0u, 1u, 69u}) {
      Stream jumped(PAVO_BRNG_MT2203 + 2, kKey), stepped(PAVO_BRNG_MT2203 + 2, kKey);
      discard(jumped, drawn);
      discard(stepped, drawn);
      ASSERT_EQ(skip(jumped, c.count), 0);
      discard(stepped, c.steps);
      ASSERT_EQ(jumped.ints(150), stepped.ints(150)) << "count " << c.count << " drawn " << drawn;
    }
  }
}

}  // namespace
