// Leapfrog and skip-ahead against drawing and discarding, and block generation that
// never depends on how a request is split.
#include <gtest/gtest.h>

#include <random>

#include "generators/data/mrg32k3a_skip_tables.h"
#include "common/stream_handle.h"

namespace {

const uint32_t kSplittable[] = {PAVO_BRNG_MCG31M1, PAVO_BRNG_MCG59, PAVO_BRNG_WH, PAVO_BRNG_WH + 200};
const uint32_t kAllOurs[] = {PAVO_BRNG_MCG31M1, PAVO_BRNG_MCG59, PAVO_BRNG_MRG32K3A, PAVO_BRNG_R250,
                             PAVO_BRNG_WH, PAVO_BRNG_WH + 150};

// WH advances before it outputs, so after x <- x a^k its first output is a^(k+N) x:
// member k of N yields outputs k + N - 1, k + 2N - 1, ... (the members still partition
// the sequence). The others output first and yield k, k + N, ...
int leapfrog_offset(uint32_t id, int n_streams) { return id >= PAVO_BRNG_WH && id < PAVO_BRNG_WH + 273 ? n_streams - 1 : 0; }

// The words of output t of a sequence of n outputs (word_size / 4 words each).
std::vector<uint32_t> output(const std::vector<uint32_t>& all, int words_per_output, int t) {
  return std::vector<uint32_t>(all.begin() + t * words_per_output, all.begin() + (t + 1) * words_per_output);
}

TEST(Leapfrog, MemberKOfNYieldsEveryNthOutputFromK) {
  for (uint32_t id : kSplittable) {
    Stream base(id, {2024, 7, 8, 9});
    const int words = base.row().word_size / 4;
    const auto all = base.ints(3 * 40 + 5);
    for (uint32_t k = 0; k < 3; ++k) {
      Stream member(id, {2024, 7, 8, 9});
      ASSERT_EQ(__pavoLeapfrogStream(member.p, k, 3), 0);
      const auto got = member.ints(40);
      for (int t = 0; t < 40; ++t)
        ASSERT_EQ(output(got, words, t), output(all, words, leapfrog_offset(id, 3) + static_cast<int>(k) + 3 * t))
            << id << " k=" << k;
    }
  }
}

TEST(Leapfrog, ThenSkipAheadMovesInLeapfrogSteps) {
  // Member 1 of 2 skipped by 3 yields outputs 7, 9, 11, ... of the whole sequence
  // (8, 10, 12, ... for WH).
  for (uint32_t id : kSplittable) {
    Stream base(id, {5, 6, 7, 8}), member(id, {5, 6, 7, 8});
    const int words = base.row().word_size / 4;
    const auto all = base.ints(8 + 2 * 30);
    ASSERT_EQ(__pavoLeapfrogStream(member.p, 1, 2), 0);
    ASSERT_EQ(__pavoSkipAheadStream(member.p, 3), 0);
    const auto got = member.ints(30);
    for (int t = 0; t < 30; ++t)
      ASSERT_EQ(output(got, words, t), output(all, words, leapfrog_offset(id, 2) + 7 + 2 * t)) << id;
  }
}

TEST(Leapfrog, NegativeCountIsRefusedBeforeTheGenerator) {
  Stream s(PAVO_BRNG_MCG31M1, {1});
  EXPECT_EQ(__pavoLeapfrogStream(s.p, 0, -1), -1013);
  EXPECT_EQ(__pavoLeapfrogStream(s.p, 0, 0), 0);  // passed on: a^0 = 1 repeats x
  const auto got = s.ints(3);
  EXPECT_EQ(got, (std::vector<uint32_t>{1, 1, 1}));
}

TEST(SkipAhead, EqualsDrawingAndDiscardingFromAnyPosition) {
  for (uint32_t id : {PAVO_BRNG_MCG31M1, PAVO_BRNG_MCG59, PAVO_BRNG_MRG32K3A, PAVO_BRNG_WH + 3}) {
    for (uint64_t skip : {uint64_t{0}, uint64_t{1}, uint64_t{17}, uint64_t{1000}, uint64_t{123457}}) {
      Stream drawn(id, {42, 43, 44, 45, 46, 47}), skipped(id, {42, 43, 44, 45, 46, 47});
      drawn.ints(5), skipped.ints(5);  // start from inside the sequence
      drawn.ints(static_cast<int32_t>(skip));
      ASSERT_EQ(__pavoSkipAheadStream(skipped.p, skip), 0);
      ASSERT_EQ(skipped.ints(64), drawn.ints(64)) << id << " skip " << skip;
    }
  }
}

TEST(SkipAhead, MultiWordCountEqualsSingleWordCount) {
  for (uint64_t s : {uint64_t{0}, uint64_t{999}, uint64_t{1} << 40, ~uint64_t{0}}) {
    Stream single(PAVO_BRNG_MRG32K3A, {1, 2, 3, 4, 5, 6}), multi(PAVO_BRNG_MRG32K3A, {1, 2, 3, 4, 5, 6});
    const uint64_t words[5] = {s, 0, 0, 0, 0};
    ASSERT_EQ(__pavoSkipAheadStream(single.p, s), 0);
    ASSERT_EQ(__pavoSkipAheadStreamEx(multi.p, 5, words), 0);
    EXPECT_EQ(single.ints(10), multi.ints(10)) << s;
  }
}

// Counts of one to three words (10^12 among them), through the tables of A^(2^i) and
// through the general square-and-multiply.
TEST(SkipAhead, TablesAgreeWithSquareAndMultiply) {
  std::mt19937_64 pick(7);
  for (int trial = 0; trial < 20; ++trial) {
    uint64_t e[3] = {pick(), trial > 5 ? pick() : 0, trial > 10 ? pick() : 0};
    if (trial == 0) e[0] = 1000000000000ull;
    for (int comp = 0; comp < 2; ++comp) {
      uint32_t by_table[3] = {11, 22, 33}, by_power[3] = {11, 22, 33};
      const uint32_t* row = comp ? zorn::generators::kMrg32k3aRow2 : zorn::generators::kMrg32k3aRow1;
      const uint32_t m = comp ? zorn::generators::kMrg32k3aM2 : zorn::generators::kMrg32k3aM1;
      if (comp)
        __pavoiVect3PowArrayMod_M2(by_table, 3, e, zorn::generators::kMrg32k3aSkipTable2);
      else
        __pavoiVect3PowArrayMod_M1(by_table, 3, e, zorn::generators::kMrg32k3aSkipTable1);
      __pavoiVect3PowArrayMod(by_power, row, m, 3, e);
      for (int i = 0; i < 3; ++i) ASSERT_EQ(by_table[i], by_power[i]) << trial << " " << comp;
    }
  }
}

TEST(SkipAhead, MultiWordCountBeyondTheTablesMatchesTwoSkips) {
  // 2^192 = (2^64)^3: skipping by the five-word count (0, 0, 0, 1, 0) goes through the
  // general method; it must equal A^(2^192) from the tables' last entry.
  Stream general(PAVO_BRNG_MRG32K3A, {9, 8, 7, 6, 5, 4}), table(PAVO_BRNG_MRG32K3A, {9, 8, 7, 6, 5, 4});
  const uint64_t beyond[5] = {0, 0, 0, 1, 0};
  ASSERT_EQ(__pavoSkipAheadStreamEx(general.p, 5, beyond), 0);
  auto* x = reinterpret_cast<uint32_t*>(static_cast<char*>(table.p) + 16);
  const uint64_t top[4] = {0, 0, 0, 1};  // table path of the exported helper continues past its end
  __pavoiVect3PowArrayMod_M1(x, 4, top, zorn::generators::kMrg32k3aSkipTable1);
  __pavoiVect3PowArrayMod_M2(x + 3, 4, top, zorn::generators::kMrg32k3aSkipTable2);
  EXPECT_EQ(general.ints(10), table.ints(10));
}

TEST(SkipTables, EntriesAreSuccessiveSquaresAndMatchPublishedValues) {
  // A1^(2^127) and A2^(2^127) as published with L'Ecuyer et al. (2002), "An object-oriented
  // random-number package with many long streams and substreams".
  const uint32_t a1p127[9] = {2427906178u, 3580155704u, 949770784u, 226153695u, 1230515664u,
                              3580155704u, 1988835001u, 986791581u, 1230515664u};
  const uint32_t a2p127[9] = {1464411153u, 277697599u, 1610723613u, 32183930u, 1464411153u,
                              1022607788u, 2824425944u, 32183930u,  2093834863u};
  for (int k = 0; k < 9; ++k) {
    EXPECT_EQ(zorn::generators::kMrg32k3aSkipTable1[9 * 127 + k], a1p127[k]);
    EXPECT_EQ(zorn::generators::kMrg32k3aSkipTable2[9 * 127 + k], a2p127[k]);
  }
  // Every entry applied to a vector equals the previous entry applied twice.
  for (int i = 1; i < zorn::generators::kMrg32k3aSkipTableSize; ++i) {
    uint32_t once[3] = {1, 2, 3}, twice[3] = {1, 2, 3};
    uint64_t e_once[4] = {}, e_prev[4] = {};
    e_once[i / 64] = uint64_t{1} << (i % 64);
    e_prev[(i - 1) / 64] = uint64_t{1} << ((i - 1) % 64);
    __pavoiVect3PowArrayMod_M1(once, 4, e_once, zorn::generators::kMrg32k3aSkipTable1);
    __pavoiVect3PowArrayMod_M1(twice, 4, e_prev, zorn::generators::kMrg32k3aSkipTable1);
    __pavoiVect3PowArrayMod_M1(twice, 4, e_prev, zorn::generators::kMrg32k3aSkipTable1);
    for (int k = 0; k < 3; ++k) ASSERT_EQ(once[k], twice[k]) << i;
  }
}

TEST(BlockGeneration, SplittingARequestNeverChangesTheSequence) {
  std::mt19937 pick(3);
  for (uint32_t id : kAllOurs) {
    Stream whole(id, {31, 41, 59, 26}), pieces(id, {31, 41, 59, 26});
    const int32_t total = 5000;
    const auto want = whole.ints(total);
    std::vector<uint32_t> got;
    for (int32_t done = 0; done < total;) {
      const int32_t n = std::min<int32_t>(total - done, static_cast<int32_t>(pick() % 700));
      const auto part = pieces.ints(n);
      got.insert(got.end(), part.begin(), part.end());
      done += n;
    }
    ASSERT_EQ(got, want) << id;
    // Real outputs follow the same words whatever the split.
    const auto d_whole = whole.doubles(1500);
    auto d_parts = pieces.doubles(3);
    const auto rest = pieces.doubles(1497);
    d_parts.insert(d_parts.end(), rest.begin(), rest.end());
    ASSERT_EQ(d_parts, d_whole) << id;
  }
}

TEST(PowMod, MatchesIndependentExponentiation) {
  std::mt19937_64 pick(11);
  for (int i = 0; i < 200; ++i) {
    const uint32_t a = static_cast<uint32_t>(pick()), m = static_cast<uint32_t>(pick()) | 1;
    const uint64_t e = pick() >> (i % 64);
    unsigned __int128 r = 1 % m, b = a % m;
    for (uint64_t k = e; k; k >>= 1, b = b * b % m)
      if (k & 1) r = r * b % m;
    ASSERT_EQ(__pavoiPowMod(a, e, m), static_cast<uint32_t>(r));
    unsigned __int128 r31 = 1, b31 = a % 2147483647u;
    for (uint64_t k = e; k; k >>= 1, b31 = b31 * b31 % 2147483647u)
      if (k & 1) r31 = r31 * b31 % 2147483647u;
    ASSERT_EQ(__pavoiPowMod2P31M1(a, e), static_cast<uint32_t>(r31));
  }
  EXPECT_EQ(__pavoiPowMod(5, 0, 7), 1u);
  EXPECT_EQ(__pavoiPowMod2P59(13, 13), 302875106592253ull);
  EXPECT_EQ(__pavoiPowMod2P59(3, 0), 1u);
  // 3 has order 2^57 modulo 2^59 (odd numbers form Z/2 x Z/2^57).
  EXPECT_EQ(__pavoiPowMod2P59(3, uint64_t{1} << 57), 1u);
  EXPECT_NE(__pavoiPowMod2P59(3, uint64_t{1} << 56), 1u);
}

}  // namespace
