// The arithmetic behind skip-ahead: modular powers and the MRG32K3A matrix tables
// against independent square-and-multiply and published values.
#include <gtest/gtest.h>

#include <random>

#include "generators/data/mrg32k3a_skip_tables.h"
#include "common/stream_handle.h"

namespace {

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
