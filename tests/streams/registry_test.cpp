// The registry: identifier mapping, validity, properties, registration and its limits,
// and the rows of generators this build does not hold.
#include <gtest/gtest.h>

#include "common/stream_handle.h"

namespace {

int32_t noop_init(uint32_t, void*, int32_t, const void*) { return 0; }
int32_t noop_single(void*, int32_t, float*, float, float) { return 0; }
int32_t noop_double(void*, int32_t, double*, double, double) { return 0; }
int32_t noop_int(void*, int32_t, uint32_t*) { return 0; }

PavoBrngProperties user_row() {
  return {24, 1, 1, 4, 32, noop_init, noop_single, noop_double, noop_int};
}

TEST(Registry, MapsCurrentAndLegacyIdentifiers) {
  const struct {
    uint32_t id;
    const PavoBrngProperties* table;
    int32_t row, sub;
  } cases[] = {{0x100000, __RegBrngsNew, 0, 0},      {0x500000 + 272, __RegBrngsNew, 4, 272},
               {0x900000 + 6023, __RegBrngsNew, 8, 6023}, {0x1000000, __RegBrngsNew, 15, 0},
               {0, __RegBrngs, 0, 0},                 {3, __RegBrngs, 3, 0},
               {4, __RegBrngs, 4, 0},                 {5, __RegBrngs, 4, 1},
               {276, __RegBrngs, 4, 272},             {277, __RegBrngs, 277, 0}};
  for (const auto& c : cases) {
    int32_t row = -1, sub = -1;
    EXPECT_EQ(__pavoGetBrngBaseOffset(c.id, &row, &sub), c.table) << c.id;
    EXPECT_EQ(row, c.row) << c.id;
    EXPECT_EQ(sub, c.sub) << c.id;
  }
}

TEST(Registry, ValidityFollowsSubGeneratorCounts) {
  PavoBrngProperties p;
  const struct {
    uint32_t id;
    int32_t status;
  } cases[] = {{0x500000 + 272, 0},    {0x500000 + 273, -1000}, {0x900000 + 6023, 0},
               {0x900000 + 6024, -1000}, {0x100001, -1000},    {280, 0},
               {281, -1000},           {0x80000000u, -1000},   {0xFFFFFFFFu, -1000}};
  for (const auto& c : cases) EXPECT_EQ(__pavoGetBrngProperties(c.id, &p), c.status) << std::hex << c.id;
  EXPECT_EQ(__pavoIsBrngValid(__RegBrngs, 280, 12345), 0);
  EXPECT_EQ(__pavoIsBrngValid(__RegBrngs, 281, 0), -1000);
  EXPECT_EQ(__pavoIsBrngValid(__RegBrngsNew, 4, 273), -1000);
}

TEST(Registry, LegacyRowsCarryTheSameGeneratorsAsCurrentRows) {
  PavoBrngProperties legacy, current;
  ASSERT_EQ(__pavoGetBrngProperties(5, &legacy), 0);
  ASSERT_EQ(__pavoGetBrngProperties(PAVO_BRNG_WH + 1, &current), 0);
  EXPECT_EQ(std::memcmp(&legacy, &current, sizeof legacy), 0);
  EXPECT_EQ(legacy.state_size, 48);
  EXPECT_EQ(legacy.word_size, 16);
  EXPECT_EQ(legacy.gen_int, &__pavoiBRngWH);
  for (uint32_t k = 0; k < 4; ++k) {
    ASSERT_EQ(__pavoGetBrngProperties(k, &legacy), 0);
    ASSERT_EQ(__pavoGetBrngProperties((k + 1) << 20, &current), 0);
    EXPECT_EQ(std::memcmp(&legacy, &current, sizeof legacy), 0) << k;
  }
  EXPECT_EQ(__RegBrngs[277].state_size, 11712);
  EXPECT_EQ(__RegBrngs[278].state_size, 84288);
  EXPECT_EQ(__RegBrngs[279].init_stream, nullptr);
}

// A legacy row without a generator and the abstract identifiers make no stream.
TEST(Registry, EmptyAndAbstractRowsMakeNoStreamThroughNew) {
  for (uint32_t id : {279u, 280u, PAVO_BRNG_IABSTRACT, PAVO_BRNG_DABSTRACT, PAVO_BRNG_SABSTRACT}) {
    void* s = nullptr;
    EXPECT_EQ(__pavoNewStreamEx(&s, id, 0, nullptr), -1000) << id;
    EXPECT_EQ(s, nullptr);
  }
}

TEST(Registry, EveryBuiltInRowHasItsPropertiesAndNoNullOperation) {
  const int32_t sizes[16] = {24, 1024, 40, 32, 48, 11712, 84288, 2520, 312, 48, 64, 56, 2536, 24, 72, 64};
  const int32_t words[16] = {1, 252, 6, 1, 4, 2900, 21056, 625, 70, 0, 0, 0, 625, 1, 13, 11};
  for (int row = 0; row < 16; ++row) {
    const PavoBrngProperties& p = __RegBrngsNew[row];
    EXPECT_EQ(p.state_size, sizes[row]) << row;
    EXPECT_EQ(p.state_words, words[row]) << row;
    EXPECT_TRUE(p.init_stream && p.gen_single && p.gen_double && p.gen_int) << row;
  }
}

TEST(Registry, AbstractRowsAnswerOtherTypesWithTheWrongTypeStatus) {
  float f;
  double d;
  uint32_t u;
  EXPECT_EQ(__RegBrngsNew[9].gen_single(nullptr, 1, &f, 0, 1), -1122);
  EXPECT_EQ(__RegBrngsNew[9].gen_double(nullptr, 1, &d, 0, 1), -1122);
  EXPECT_EQ(__RegBrngsNew[10].gen_single(nullptr, 1, &f, 0, 1), -1122);
  EXPECT_EQ(__RegBrngsNew[10].gen_int(nullptr, 1, &u), -1122);
  EXPECT_EQ(__RegBrngsNew[11].gen_double(nullptr, 1, &d, 0, 1), -1122);
  EXPECT_EQ(__RegBrngsNew[11].gen_int(nullptr, 1, &u), -1122);
}

TEST(AbstractCreation, RefusesEmptyBuffersNullAddressesAndEmptyIntervals) {
  void* s = nullptr;
  uint32_t ibuf[4];
  double dbuf[4];
  float fbuf[4];
  auto icb = [](void*, int32_t*, uint32_t*, int32_t*, int32_t*, int32_t*) { return 0; };
  auto dcb = [](void*, int32_t*, double*, int32_t*, int32_t*, int32_t*) { return 0; };
  auto scb = [](void*, int32_t*, float*, int32_t*, int32_t*, int32_t*) { return 0; };
  EXPECT_EQ(__pavoiNewAbstractStream(&s, 0, ibuf, icb), -3);
  EXPECT_EQ(__pavoiNewAbstractStream(&s, 4, nullptr, icb), -3);
  EXPECT_EQ(__pavoiNewAbstractStream(&s, 4, ibuf, nullptr), -3);
  EXPECT_EQ(__pavodNewAbstractStream(&s, 4, dbuf, 1.0, 1.0, dcb), -3);
  EXPECT_EQ(__pavodNewAbstractStream(&s, 4, dbuf, 2.0, 1.0, dcb), -3);
  EXPECT_EQ(__pavodNewAbstractStream(&s, 0, dbuf, 0.0, 1.0, dcb), -3);
  EXPECT_EQ(__pavosNewAbstractStream(&s, 4, fbuf, 0.5f, 0.5f, scb), -3);
  EXPECT_EQ(__pavosNewAbstractStream(&s, 4, fbuf, 0.0f, 1.0f, nullptr), -3);
  EXPECT_EQ(s, nullptr);
}

// Registration changes the process for good, so its whole story is one test: the
// fresh count, the order of the checks, the identifiers handed out, a registered row
// behaving like a built-in one, and refusal once the table is full.
TEST(Registration, ChecksInOrderAppendsRowsAndRefusesWhenFull) {
  EXPECT_EQ(__pavoGetNumRegBrngs(), 16);
  PavoBrngProperties p;
  EXPECT_EQ(__pavoGetBrngProperties(0x1100000, &p), -1000);

  PavoBrngProperties bad = user_row();
  bad.word_size = 12;
  EXPECT_EQ(__pavoRegisterBrng(&bad), -1009);
  bad.state_size = -1;
  EXPECT_EQ(__pavoRegisterBrng(&bad), -1008);
  bad = user_row();
  bad.state_words = 0;
  EXPECT_EQ(__pavoRegisterBrng(&bad), -1010);
  bad = user_row();
  bad.bits = 0;
  EXPECT_EQ(__pavoRegisterBrng(&bad), -1011);
  for (int op = 0; op < 4; ++op) {
    bad = user_row();
    if (op == 0) bad.init_stream = nullptr;
    if (op == 1) bad.gen_single = nullptr;
    if (op == 2) bad.gen_double = nullptr;
    if (op == 3) bad.gen_int = nullptr;
    EXPECT_EQ(__pavoRegisterBrng(&bad), -5) << op;
  }
  EXPECT_EQ(__pavoGetNumRegBrngs(), 16);

  const PavoBrngProperties mine = user_row();
  EXPECT_EQ(__pavoRegisterBrng(&mine), 0x1100000);
  EXPECT_EQ(__pavoRegisterBrng(&mine), 0x1200000);
  EXPECT_EQ(__pavoGetNumRegBrngs(), 18);
  ASSERT_EQ(__pavoGetBrngProperties(0x1100000, &p), 0);
  EXPECT_EQ(std::memcmp(&p, &mine, sizeof p), 0);
  EXPECT_EQ(__pavoGetBrngProperties(0x1100001, &p), -1000);  // one sub-generator only
  {
    Stream s(0x1200000, {});
    EXPECT_EQ(__pavoGetStreamStateBrng(s.p), 0x1200000u);
  }

  // A row claiming less than the header still gets an object that holds the header.
  PavoBrngProperties tiny = user_row();
  tiny.state_size = 0;
  const int32_t tiny_id = __pavoRegisterBrng(&tiny);
  ASSERT_GT(tiny_id, 0);
  {
    Stream s(static_cast<uint32_t>(tiny_id), {});
    void* copy = nullptr;
    EXPECT_EQ(__pavoCopyStream(&copy, s.p), 0);
    EXPECT_EQ(__pavoCopyStreamState(copy, s.p), 0);
    __pavoDeleteStream(&copy);
  }

  while (__pavoGetNumRegBrngs() < PAVO_REGISTRY_ROWS) ASSERT_GT(__pavoRegisterBrng(&mine), 0);
  const PavoBrngProperties before = __RegBrngsNew[PAVO_REGISTRY_ROWS - 1];
  EXPECT_EQ(__pavoRegisterBrng(&tiny), -1015);
  EXPECT_EQ(__pavoGetNumRegBrngs(), PAVO_REGISTRY_ROWS);
  EXPECT_EQ(std::memcmp(&before, &__RegBrngsNew[PAVO_REGISTRY_ROWS - 1], sizeof before), 0);
  EXPECT_EQ(__pavoGetBrngProperties(static_cast<uint32_t>(PAVO_REGISTRY_ROWS) << 20, &p), 0);
  EXPECT_EQ(__pavoGetBrngProperties(static_cast<uint32_t>(PAVO_REGISTRY_ROWS + 1) << 20, &p), -1000);
}

}  // namespace
