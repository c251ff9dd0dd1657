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
