// Saving and loading streams: round trips through memory and files, chunks, both header
// layouts, and every refusal of a damaged image.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "core_interface/sibling.h"
#include "common/stream_handle.h"
#include "streams/ro_data_table.h"

namespace {

std::string temp_path(const char* name) { return ::testing::TempDir() + name; }

void write_file(const std::string& path, const std::vector<char>& bytes) {
  std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void* private_block(size_t bytes, uint8_t fill) {
  void* p = zorn::sibling::allocate(bytes);
  std::memset(p, fill, bytes);
  return p;
}

TEST(Persistence, ImageSizeIsStatePlusHeaderPlusChunks) {
  Stream s(PAVO_BRNG_MCG31M1, {5});
  EXPECT_EQ(__pavoGetStreamSize(s.p), 32);
  ASSERT_EQ(__pavoAddChunk(s.p, 3, nullptr, private_block(100, 1), 100), 0);
  EXPECT_EQ(__pavoGetStreamSize(s.p), 32 + 124);
}

TEST(Persistence, ChunksTravelPrivateAndShared) {
  const uint64_t key[2] = {0x1234, 0x5678};
  Stream s(PAVO_BRNG_MRG32K3A, {1});
  ASSERT_EQ(__pavoAddChunk(s.p, 10, nullptr, private_block(100, 0xAB), 100), 0);
  ASSERT_EQ(__pavoAddChunk(s.p, 20, key, private_block(40, 0xCD), 40), 0);
  const auto image = saved_image(s.p);
  ASSERT_EQ(image.size(), 40u + 8 + 124 + 64);
  {
    Stream loaded;
    ASSERT_EQ(__pavoLoadStreamM(&loaded.p, image.data()), 0);
    EXPECT_EQ(__pavoGetNumChunks(loaded.p), 2);
    const auto* mine = static_cast<const unsigned char*>(__pavoSearchChunk(loaded.p, 10));
    ASSERT_NE(mine, nullptr);
    EXPECT_EQ(mine[99], 0xAB);
    EXPECT_NE(static_cast<const void*>(mine), __pavoSearchChunk(s.p, 10));
    // The shared key is still registered: the loaded chunk joins the entry.
    EXPECT_EQ(__pavoSearchChunk(loaded.p, 20), __pavoSearchChunk(s.p, 20));
    PavoRODataEntry* e = nullptr;
    ASSERT_EQ(__pavoFindGlobRODataTableEntry(&e, key), 0);
    EXPECT_EQ(e->reference_count, 2u);
    // Loading inserts at the head, so the order is reversed.
    EXPECT_EQ(static_cast<const PavoStreamHeader*>(loaded.p)->chunks->chunk_id, 10u);
  }
  const std::string path = temp_path("chunks.rng");
  ASSERT_EQ(__pavoSaveStreamF(s.p, path.c_str(), -1), 0);
  Stream from_file;
  ASSERT_EQ(__pavoLoadStreamF(&from_file.p, path.c_str(), -1), 0);
  EXPECT_EQ(static_cast<const unsigned char*>(__pavoSearchChunk(from_file.p, 10))[0], 0xAB);
  EXPECT_EQ(__pavoSearchChunk(from_file.p, 20), __pavoSearchChunk(s.p, 20));
  EXPECT_EQ(from_file.ints(20), s.ints(20));
}

TEST(Persistence, MemoryFormLeavesReservedHeaderBytes) {
  Stream s(PAVO_BRNG_MCG31M1, {5});
  std::vector<char> image(32, static_cast<char>(0xEE));
  ASSERT_EQ(__pavoSaveStreamM(s.p, image.data()), 0);
  for (size_t reserved : {1, 2, 3, 10, 11, 18, 19}) EXPECT_EQ(image[reserved], static_cast<char>(0xEE)) << reserved;
  EXPECT_EQ(image[0], 2);
  EXPECT_EQ(std::memcmp(image.data() + 4, "RNG", 4), 0);
  EXPECT_EQ(image[8], 24);
  EXPECT_EQ(image[12], 8);
}

TEST(Persistence, PathLengthSelectsTheBytesOfThePath) {
  Stream s(PAVO_BRNG_MCG59, {77});
  const std::string path = temp_path("exact_length.rng");
  const std::string padded = path + "IGNORED";
  ASSERT_EQ(__pavoSaveStreamF(s.p, padded.c_str(), static_cast<int64_t>(path.size())), 0);
  Stream loaded;
  ASSERT_EQ(__pavoLoadStreamF(&loaded.p, padded.c_str(), static_cast<int64_t>(path.size())), 0);
  EXPECT_EQ(loaded.ints(10), s.ints(10));
  void* none = nullptr;
  EXPECT_EQ(__pavoLoadStreamF(&none, temp_path("no_such_file.rng").c_str(), -1), -1101);
  EXPECT_EQ(__pavoSaveStreamF(s.p, "/no/such/dir/x.rng", -1), -1101);
}

TEST(Persistence, OlderHeaderLayoutLoads) {
  Stream s(PAVO_BRNG_WH + 3, {9, 9, 9, 9});
  s.ints(10);
  const auto current = saved_image(s.p);
  std::vector<char> older(20, 0);
  older[0] = 'R', older[1] = 'N', older[2] = 'G';
  older[4] = 1;                                      // that layout's version
  older[10] = 32;                                    // state length
  const uint32_t legacy_id = 4 + 3;                  // legacy WH sub-generator 3
  std::memcpy(older.data() + 16, &legacy_id, 4);
  older.insert(older.end(), current.begin() + 24, current.end());
  Stream loaded;
  ASSERT_EQ(__pavoLoadStreamM(&loaded.p, older.data()), 0);
  EXPECT_EQ(__pavoGetStreamStateBrng(loaded.p), legacy_id);
  EXPECT_EQ(loaded.ints(100), s.ints(100));
}

// Each damaged image, through memory and through a file.
TEST(Persistence, DamagedHeadersAreRefusedWithTheirStatus) {
  Stream s(PAVO_BRNG_MCG31M1, {5});
  const auto good = saved_image(s.p);
  const struct {
    const char* what;
    size_t offset;
    uint8_t value;
    int32_t file_status, memory_status;
  } cases[] = {{"version 3", 0, 3, -1111, -1200},     {"magic", 5, 'X', -1110, -1200},
               {"state length", 12, 9, -1110, -1200}, {"header length", 8, 20, -1110, -1200},
               {"identifier", 22, 0x77, -1110, -1200}};
  const std::string path = temp_path("damaged.rng");
  for (const auto& c : cases) {
    auto bad = good;
    bad[c.offset] = static_cast<char>(c.value);
    void* loaded = reinterpret_cast<void*>(1);
    EXPECT_EQ(__pavoLoadStreamM(&loaded, bad.data()), c.memory_status) << c.what;
    EXPECT_EQ(loaded, nullptr);
    write_file(path, bad);
    EXPECT_EQ(__pavoLoadStreamF(&loaded, path.c_str(), -1), c.file_status) << c.what;
    EXPECT_EQ(loaded, nullptr);
  }
}

TEST(Persistence, TruncatedFilesAreShortReadsAtEveryLength) {
  Stream s(PAVO_BRNG_MRG32K3A, {5});
  ASSERT_EQ(__pavoAddChunk(s.p, 1, nullptr, private_block(50, 3), 50), 0);
  const auto good = saved_image(s.p);
  const std::string path = temp_path("truncated.rng");
  for (size_t length = 0; length < good.size(); ++length) {
    write_file(path, std::vector<char>(good.begin(), good.begin() + static_cast<long>(length)));
    void* loaded = nullptr;
    ASSERT_EQ(__pavoLoadStreamF(&loaded, path.c_str(), -1), -1103) << length;
    ASSERT_EQ(loaded, nullptr);
  }
}

// A chunk size that is negative, or larger than what is left of the file, is a short
// read: it never sizes an allocation.
TEST(Persistence, ChunkSizeFieldsThatCannotBeTrueAreShortReads) {
  Stream s(PAVO_BRNG_MCG31M1, {5});
  ASSERT_EQ(__pavoAddChunk(s.p, 1, nullptr, private_block(8, 3), 8), 0);
  const auto good = saved_image(s.p);
  const size_t size_field = 32 + 20;
  const std::string path = temp_path("chunk_size.rng");
  for (int32_t size : {-1, INT32_MIN, 9, 1 << 30, INT32_MAX}) {
    auto bad = good;
    std::memcpy(bad.data() + size_field, &size, 4);
    write_file(path, bad);
    void* loaded = nullptr;
    EXPECT_EQ(__pavoLoadStreamF(&loaded, path.c_str(), -1), -1103) << size;
    EXPECT_EQ(loaded, nullptr);
  }
  auto negative = good;
  const int32_t minus_one = -1;
  std::memcpy(negative.data() + size_field, &minus_one, 4);
  void* loaded = nullptr;
  EXPECT_EQ(__pavoLoadStreamM(&loaded, negative.data()), -1103);
  EXPECT_EQ(loaded, nullptr);
}

TEST(Persistence, ChunksAfterAnUnknownLayoutByteAreShortReads) {
  // An older-layout image whose first byte is not 0, 1 or 2 cannot carry chunks.
  Stream s(PAVO_BRNG_MCG31M1, {5});
  std::vector<char> older(20, 0);
  older[0] = 'R', older[1] = 'N', older[2] = 'G', older[4] = 2, older[10] = 8, older[12] = 1;
  const uint32_t id = 0;
  std::memcpy(older.data() + 16, &id, 4);
  older.resize(20 + 8 + 24 + 4, 0);
  void* loaded = nullptr;
  EXPECT_EQ(__pavoLoadStreamM(&loaded, older.data()), -1103);
  EXPECT_EQ(loaded, nullptr);
  older[12] = 0;  // without chunks it loads
  ASSERT_EQ(__pavoLoadStreamM(&loaded, older.data()), 0);
  EXPECT_EQ(__pavoDeleteStream(&loaded), 0);
}

TEST(Persistence, LoadedR250WithIndicesOutOfRangeStaysInsideItsState) {
  Stream s(PAVO_BRNG_R250, {5});
  auto image = saved_image(s.p);
  const uint32_t wild[2] = {0xFFFFFFF0u, 0x7FFFFFFFu};
  std::memcpy(image.data() + 24 + 1000, wild, sizeof wild);
  Stream loaded;
  ASSERT_EQ(__pavoLoadStreamM(&loaded.p, image.data()), 0);
  EXPECT_EQ(loaded.ints(600).size(), 600u);  // the sanitizer build checks the bounds
}

}  // namespace
