// Chunks and the shared read-only data table: ownership, reference counts through
// copy and delete, search order, and the table's limits.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <vector>

#include "core_interface/sibling.h"
#include "common/stream_handle.h"
#include "streams/ro_data_table.h"

namespace {

using zorn::streams::ro_data_table_count;

void* block_with(uint8_t fill, size_t bytes) {
  void* p = zorn::sibling::allocate(bytes);
  std::memset(p, fill, bytes);
  return p;
}

uint32_t references(const uint64_t* key) {
  PavoRODataEntry* e = nullptr;
  return __pavoFindGlobRODataTableEntry(&e, key) == 0 ? e->reference_count : 0;
}

TEST(Chunks, PrivateChunkIsOwnedByTheStream) {
  Stream s(PAVO_BRNG_MCG31M1, {1});
  void* data = block_with(7, 100);
  ASSERT_EQ(__pavoAddChunk(s.p, 1, nullptr, data, 100), 0);
  EXPECT_EQ(__pavoSearchChunk(s.p, 1), data);
  EXPECT_EQ(__pavoGetNumChunks(s.p), 1);
  EXPECT_EQ(ro_data_table_count(), 0u);
  // Deleting the stream frees the data (the sanitizer build reports a leak otherwise).
}

TEST(Chunks, SearchFindsTheChunkAddedLast) {
  Stream s(PAVO_BRNG_MCG31M1, {1});
  void* first = block_with(1, 8);
  void* second = block_with(2, 8);
  ASSERT_EQ(__pavoAddChunk(s.p, 5, nullptr, first, 8), 0);
  ASSERT_EQ(__pavoAddChunk(s.p, 6, nullptr, block_with(3, 8), 8), 0);
  ASSERT_EQ(__pavoAddChunk(s.p, 5, nullptr, second, 8), 0);
  EXPECT_EQ(__pavoSearchChunk(s.p, 5), second);
  EXPECT_EQ(__pavoSearchChunk(s.p, 9), nullptr);
  __pavoDeleteChunksById(s.p, 5);
  EXPECT_EQ(__pavoGetNumChunks(s.p), 1);
  EXPECT_NE(__pavoSearchChunk(s.p, 6), nullptr);
  __pavoDeleteChunks(s.p);
  EXPECT_EQ(__pavoGetNumChunks(s.p), 0);
}

TEST(Chunks, SameKeySharesOneEntryUntilTheLastStreamGoes) {
  const uint64_t key[2] = {0xABCDEF, 42};
  void* first = block_with(1, 64);
  {
    Stream a(PAVO_BRNG_MCG31M1, {1});
    {
      Stream b(PAVO_BRNG_MCG59, {1});
      ASSERT_EQ(__pavoAddChunk(a.p, 1, key, first, 64), 0);
      // The second block is the caller's: the chunk takes the shared data instead.
      std::vector<char> unused(64, 2);
      ASSERT_EQ(__pavoAddChunk(b.p, 1, key, unused.data(), 64), 0);
      EXPECT_EQ(ro_data_table_count(), 1u);
      EXPECT_EQ(references(key), 2u);
      EXPECT_EQ(__pavoSearchChunk(b.p, 1), first);
    }
    EXPECT_EQ(references(key), 1u);
    EXPECT_EQ(static_cast<char*>(__pavoSearchChunk(a.p, 1))[63], 1);  // still readable
  }
  EXPECT_EQ(references(key), 0u);
  EXPECT_EQ(ro_data_table_count(), 0u);
}

TEST(Chunks, CopyDuplicatesPrivateDataAndCountsSharedData) {
  const uint64_t key[2] = {7, 7};
  Stream source(PAVO_BRNG_MRG32K3A, {1});
  void* shared = block_with(9, 32);
  void* mine = block_with(4, 16);
  ASSERT_EQ(__pavoAddChunk(source.p, 1, key, shared, 32), 0);
  ASSERT_EQ(__pavoAddChunk(source.p, 2, nullptr, mine, 16), 0);
  {
    Stream copy;
    ASSERT_EQ(__pavoCopyStream(&copy.p, source.p), 0);
    EXPECT_EQ(__pavoSearchChunk(copy.p, 1), shared);
    void* copied = __pavoSearchChunk(copy.p, 2);
    ASSERT_NE(copied, nullptr);
    EXPECT_NE(copied, mine);
    EXPECT_EQ(std::memcmp(copied, mine, 16), 0);
    EXPECT_EQ(references(key), 2u);
    // The copy's list is in reverse order of the source's.
    const auto* head = static_cast<const PavoStreamHeader*>(copy.p)->chunks;
    EXPECT_EQ(head->chunk_id, 1u);
  }
  EXPECT_EQ(references(key), 1u);
  // Copy-state replaces the destination's chunks with copies of the source's.
  Stream dest(PAVO_BRNG_MRG32K3A, {2});
  ASSERT_EQ(__pavoAddChunk(dest.p, 3, nullptr, block_with(1, 8), 8), 0);
  ASSERT_EQ(__pavoCopyStreamState(dest.p, source.p), 0);
  EXPECT_EQ(__pavoSearchChunk(dest.p, 3), nullptr);
  EXPECT_EQ(__pavoGetNumChunks(dest.p), 2);
  EXPECT_EQ(references(key), 2u);
}

TEST(Chunks, NewKeyBecomesPrivateOnceTheTableHoldsOneHundredTwentySeven) {
  std::vector<std::array<uint64_t, 2>> keys;
  for (uint64_t k = 1; k <= 127; ++k) {
    keys.push_back({k, 1000});
    PavoRODataEntry* e = nullptr;
    ASSERT_EQ(__pavoCreateGlobRODataTableEntry(&e, keys.back().data(), block_with(0, 4)), 0);
  }
  {
    Stream s(PAVO_BRNG_MCG31M1, {1});
    const uint64_t fresh[2] = {999, 999};
    void* data = block_with(5, 4);
    ASSERT_EQ(__pavoAddChunk(s.p, 1, fresh, data, 4), 0);
    const PavoChunk* c = static_cast<const PavoStreamHeader*>(s.p)->chunks;
    EXPECT_EQ(c->chunk_key[0], 0u);
    EXPECT_EQ(c->chunk_key[1], 0u);
    EXPECT_EQ(c->chunk_data, data);
    EXPECT_EQ(ro_data_table_count(), 127u);
  }
  const uint64_t last[2] = {128, 1000};
  PavoRODataEntry* e = nullptr;
  ASSERT_EQ(__pavoCreateGlobRODataTableEntry(&e, last, block_with(0, 4)), 0);
  const uint64_t extra[2] = {129, 1000};
  EXPECT_EQ(__pavoCreateGlobRODataTableEntry(&e, extra, nullptr), -3001);
  for (const auto& k : keys) __pavoUnregisterGlobRODataReference(k.data());
  __pavoUnregisterGlobRODataReference(last);
  EXPECT_EQ(ro_data_table_count(), 0u);
}

TEST(RODataTable, FindRegisterUnregisterAndFreshKeys) {
  const uint64_t zero[2] = {0, 0};
  PavoRODataEntry* e = nullptr;
  EXPECT_EQ(__pavoFindGlobRODataTableEntry(&e, zero), -3000);
  EXPECT_EQ(__pavoFindGlobRODataTableEntry(&e, nullptr), -3000);

  uint64_t key[2];
  ASSERT_EQ(__pavoGenerateNewGlobalRODataTableEntryId(key, 0x5151), 0);
  EXPECT_EQ(key[1], 0x5151u);
  EXPECT_EQ(__pavoFindGlobRODataTableEntry(&e, key), -3000);
  void* data = block_with(0, 8);
  ASSERT_EQ(__pavoCreateGlobRODataTableEntry(&e, key, data), 0);
  uint64_t other[2];
  ASSERT_EQ(__pavoGenerateNewGlobalRODataTableEntryId(other, 0x5151), 0);
  EXPECT_FALSE(other[0] == key[0] && other[1] == key[1]);

  void* holder[2] = {nullptr, nullptr};
  __pavoRegisterGlobRODataReference(holder, key);
  EXPECT_EQ(holder[1], data);
  EXPECT_EQ(references(key), 2u);
  __pavoRegisterGlobRODataReference(holder, other);  // unknown key: nothing changes
  EXPECT_EQ(holder[1], data);
  __pavoUnregisterGlobRODataReference(key);
  __pavoUnregisterGlobRODataReference(key);
  EXPECT_EQ(__pavoFindGlobRODataTableEntry(&e, key), -3000);
}

}  // namespace
