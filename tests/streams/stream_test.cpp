// Stream objects: creation, copy, copy-state, delete.
#include <gtest/gtest.h>

#include "common/stream_handle.h"

namespace {

TEST(NewStream, FillsTheHeader) {
  Stream s(PAVO_BRNG_WH + 17, {1});
  const auto* h = static_cast<const PavoStreamHeader*>(s.p);
  EXPECT_EQ(h->brng_id, PAVO_BRNG_WH + 17);
  EXPECT_EQ(h->stream_mark, 1u);
  EXPECT_EQ(h->chunks, nullptr);
  EXPECT_EQ(reinterpret_cast<uintptr_t>(s.p) % 128, 0u);
}

TEST(NewStream, LegacyIdentifierNamesTheSameSubGenerator) {
  Stream legacy(4 + 9, {5, 6, 7, 8}), current(PAVO_BRNG_WH + 9, {5, 6, 7, 8});
  EXPECT_EQ(legacy.ints(50), current.ints(50));
}

// Every built-in row makes a stream: its generator seeds it, or a row whose generator is
// not in this build refuses with -1001 (or the processor lacks an instruction it needs);
// either way the object is there for the caller to delete.
TEST(NewStream, EveryBuiltInRowSeedsOrRefusesCleanly) {
  for (uint32_t row = 0; row < PAVO_BUILTIN_ROWS; ++row) {
    const uint32_t id = (row + 1) << 20;
    if (id == PAVO_BRNG_IABSTRACT || id == PAVO_BRNG_DABSTRACT || id == PAVO_BRNG_SABSTRACT) continue;
    void* s = nullptr;
    const int32_t status = __pavoNewStreamEx(&s, id, 0, nullptr);
    EXPECT_TRUE(status >= 0 || status == -1001 || status == -1130 || status == -1140) << row << ": " << status;
    ASSERT_NE(s, nullptr) << row;
    EXPECT_EQ(__pavoGetStreamStateBrng(s), id);
    EXPECT_EQ(__pavoDeleteStream(&s), 0);
    EXPECT_EQ(s, nullptr);
  }
}

TEST(CopyStreamState, WhCopiesOnlyTheFourCurrentValues) {
  Stream source(PAVO_BRNG_WH, {7, 7, 7, 7}), dest(PAVO_BRNG_WH, {1, 1, 1, 1});
  ASSERT_EQ(__pavoLeapfrogStream(source.p, 1, 2), 0);  // source multipliers change
  const auto* before = static_cast<const uint32_t*>(dest.p) + 4;
  uint32_t dest_multipliers[4];
  std::memcpy(dest_multipliers, before + 4, sizeof dest_multipliers);
  ASSERT_EQ(__pavoCopyStreamState(dest.p, source.p), 0);
  const auto* after = static_cast<const uint32_t*>(dest.p) + 4;
  const auto* src = static_cast<const uint32_t*>(source.p) + 4;
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(after[i], src[i]);
    EXPECT_EQ(after[4 + i], dest_multipliers[i]);
  }
}

TEST(CopyStreamState, MismatchedGeneratorsNeverWritePastTheDestination) {
  Stream big(PAVO_BRNG_R250, {5}), small(PAVO_BRNG_MCG31M1, {6});
  ASSERT_EQ(__pavoCopyStreamState(small.p, big.p), 0);  // the sanitizer build checks bounds
  EXPECT_EQ(static_cast<PavoStreamHeader*>(small.p)->brng_id, PAVO_BRNG_MCG31M1);
}

TEST(DeleteStream, NullsTheHandleAndAcceptsNull) {
  void* s = nullptr;
  ASSERT_EQ(__pavoNewStreamEx(&s, PAVO_BRNG_MCG59, 0, nullptr), 0);
  EXPECT_EQ(__pavoDeleteStream(&s), 0);
  EXPECT_EQ(s, nullptr);
  EXPECT_EQ(__pavoDeleteStream(&s), 0);
}

TEST(SkipAheadStream, InvalidIdentifierInTheHeaderIsRefused) {
  Stream s(PAVO_BRNG_MCG31M1, {1});
  auto* h = static_cast<PavoStreamHeader*>(s.p);
  h->brng_id = 279;  // a legacy row without a generator
  EXPECT_EQ(__pavoSkipAheadStream(s.p, 1), -1000);
  EXPECT_EQ(__pavoLeapfrogStream(s.p, 0, 2), -1000);
  void* copy = nullptr;
  EXPECT_EQ(__pavoCopyStream(&copy, s.p), -1000);
  EXPECT_EQ(copy, nullptr);
  h->brng_id = PAVO_BRNG_MCG31M1;
}

}  // namespace
