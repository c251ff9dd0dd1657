// The WH parameter table: the published rows in place, and the properties that give
// every component its full period.
#include <gtest/gtest.h>

#include <set>

#include "generators/data/wh_parameters.h"

namespace {

using zorn::generators::kWhParameters;
using zorn::generators::kWhSubGenerators;

bool is_prime(uint32_t n) {
  for (uint32_t d = 2; d * d <= n; ++d)
    if (n % d == 0) return false;
  return n >= 2;
}

uint64_t pow_mod(uint64_t a, uint64_t e, uint64_t m) {
  uint64_t r = 1;
  for (a %= m; e; e >>= 1, a = a * a % m)
    if (e & 1) r = r * a % m;
  return r;
}

// The multiplicative order of a modulo the prime m is m - 1.
bool full_period(uint32_t a, uint32_t m) {
  uint32_t rest = m - 1;
  std::set<uint32_t> factors;
  for (uint32_t q = 2; q * q <= rest; ++q)
    while (rest % q == 0) factors.insert(q), rest /= q;
  if (rest > 1) factors.insert(rest);
  for (uint32_t q : factors)
    if (pow_mod(a, (m - 1) / q, m) == 1) return false;
  return true;
}

TEST(WhTable, PublishedRowsStandAtTheirPlaces) {
  const struct {
    int row;
    uint32_t m[4];
    uint8_t a[4];
  } published[] = {{0, {16770647, 16770643, 16770623, 16770617}, {125, 117, 127, 126}},
                   {1, {16770311, 16770283, 16770263, 16770209}, {127, 126, 125, 123}},
                   {272, {16766363, 16766359, 16766327, 16766231}, {126, 127, 125, 124}}};
  for (const auto& p : published)
    for (int i = 0; i < 4; ++i) {
      EXPECT_EQ(kWhParameters[p.row].m[i], p.m[i]) << p.row;
      EXPECT_EQ(kWhParameters[p.row].a[i], p.a[i]) << p.row;
    }
}

TEST(WhTable, EveryModulusIsADistinctPrimeInRangeWithAFullPeriodMultiplier) {
  std::set<uint32_t> seen;
  for (int j = 0; j < kWhSubGenerators; ++j)
    for (int i = 0; i < 4; ++i) {
      const uint32_t m = kWhParameters[j].m[i], a = kWhParameters[j].a[i];
      EXPECT_TRUE(seen.insert(m).second) << "row " << j << " repeats " << m;
      EXPECT_GE(m, 16718909u);
      EXPECT_LE(m, 16776971u);
      EXPECT_TRUE(is_prime(m)) << m;
      EXPECT_GE(a, 112);
      EXPECT_LE(a, 127);
      EXPECT_TRUE(full_period(a, m)) << j << ": " << unsigned{a} << " mod " << m;
      EXPECT_EQ(kWhParameters[j].r[i], 1.0 / m) << "reciprocal of " << m;
    }
  EXPECT_EQ(seen.size(), 1092u);
}

}  // namespace
