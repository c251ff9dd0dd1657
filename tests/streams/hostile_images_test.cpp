// Hostile chunk sequences and stream images: chunks that would share a block of
// another size, images that state such chunks or carry abstract streams, and the
// regression inputs found by fuzzing. Every stream that survives must save exactly
// the bytes it holds and load back to the same image.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>

#include "common/stream_handle.h"
#include "core_interface/sibling.h"
#include "generators/data/mrg32k3a_skip_tables.h"
#include "streams/cache_chunks.h"
#include "streams/image_io.h"
#include "streams/ro_data_table.h"
#include "streams/status.h"

namespace {

using namespace zorn::streams;

constexpr uint64_t kKey[2] = {0x5eed, 0xc0ffee};
constexpr uint32_t kCallerChunk = 21;  // an identifier no generator or distribution uses

uint32_t references(const uint64_t* key) {
  PavoRODataEntry* e = nullptr;
  return __pavoFindGlobRODataTableEntry(&e, key) == 0 ? e->reference_count : 0;
}

int32_t load_bounded(const std::vector<char>& image, void** stream) {
  MemoryReader in(image.data(), image.size());
  return load_image(in, {kStatusMemoryBadImage, kStatusMemoryBadImage}, stream);
}

int32_t load_file(const std::vector<char>& image, void** stream) {
  // One file per test: ctest runs the tests of this file in parallel processes.
  const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
  const std::string path = ::testing::TempDir() + "hostile_" + test->name() + ".rng";
  std::ofstream(path, std::ios::binary).write(image.data(), static_cast<std::streamsize>(image.size()));
  return __pavoLoadStreamF(stream, path.c_str(), -1);
}

// A saved stream loads back, from memory and from a file, to the very same image once
// loaded twice (each load reverses the chunk list).
void expect_round_trip(const void* stream, const std::string& what) {
  const auto image = saved_image(stream);
  Stream from_memory, from_file, again_memory, again_file;
  ASSERT_EQ(load_bounded(image, &from_memory.p), 0) << what;
  ASSERT_EQ(load_file(image, &from_file.p), 0) << what;
  ASSERT_EQ(load_bounded(saved_image(from_memory.p), &again_memory.p), 0) << what;
  ASSERT_EQ(load_file(saved_image(from_file.p), &again_file.p), 0) << what;
  EXPECT_EQ(saved_image(again_memory.p), image) << what;
  EXPECT_EQ(saved_image(again_file.p), image) << what;
}

// An image of a stream of generator `brng` (zero state of that row's length) followed
// by chunk records {kCallerChunk, key, size, bytes}.
struct Record {
  const uint64_t* key;
  int32_t size;
};
std::vector<char> image_with(std::initializer_list<Record> records, uint32_t brng = PAVO_BRNG_MCG31M1) {
  Stream s(PAVO_BRNG_MCG31M1, {3});
  auto image = saved_image(s.p);
  int32_t row = 0, sub = 0;
  const PavoBrngProperties* table = __pavoGetBrngBaseOffset(brng, &row, &sub);
  const uint32_t state_length = static_cast<uint32_t>(std::max(table[row].state_size - 16, 0));
  image.resize(24 + state_length, 0);
  std::memcpy(image.data() + 12, &state_length, 4);
  image[16] = static_cast<char>(records.size());
  std::memcpy(image.data() + 20, &brng, 4);
  for (const Record& r : records) {
    const uint32_t id = kCallerChunk;
    const uint64_t none[2] = {0, 0};
    std::vector<char> record(24 + static_cast<size_t>(r.size), 'x');
    std::memcpy(record.data(), &id, 4);
    std::memcpy(record.data() + 4, r.key ? r.key : none, 16);
    std::memcpy(record.data() + 20, &r.size, 4);
    image.insert(image.end(), record.begin(), record.end());
  }
  return image;
}

void* block(size_t bytes) {
  void* p = zorn::sibling::allocate(bytes);
  std::memset(p, 'b', bytes);
  return p;
}

// Chunks under one key join only a block of their own size; a refused chunk changes
// nothing, and every stream still saves what it holds.
TEST(HostileChunks, OnlyEqualSizesShareABlock) {
  const struct {
    const char* what;
    int32_t first_size;
    bool first_null;
    int32_t second_size;
    bool second_null;
    bool same_stream;
    int32_t second_status;
  } cases[] = {
      {"null block then 4096 bytes", 0, true, 4096, false, true, kStatusChunkSizeConflict},
      {"16 then 100000 bytes", 16, false, 100000, false, false, kStatusChunkSizeConflict},
      {"100000 then 16 bytes", 100000, false, 16, false, true, kStatusChunkSizeConflict},
      {"bytes without a block", 16, false, 16, true, false, kStatusBadArgument},
      {"a negative size", 16, false, -16, false, true, kStatusBadArgument},
      {"equal sizes", 64, false, 64, false, false, kStatusOk},
      {"equal, null block", 0, true, 0, true, true, kStatusOk},
  };
  for (const auto& c : cases) {
    {
      Stream a(PAVO_BRNG_MCG31M1, {1}), b(PAVO_BRNG_MRG32K3A, {2});
      void* first = c.first_null ? nullptr : block(static_cast<size_t>(c.first_size));
      ASSERT_EQ(__pavoAddChunk(a.p, kCallerChunk, kKey, first, c.first_size), 0) << c.what;
      void* second = c.second_null ? nullptr : block(static_cast<size_t>(std::max(c.second_size, 0)));
      void* target = c.same_stream ? a.p : b.p;
      const int32_t chunks_before = __pavoGetNumChunks(target);
      EXPECT_EQ(__pavoAddChunk(target, kCallerChunk + 1, kKey, second, c.second_size), c.second_status) << c.what;
      const bool joined = c.second_status == kStatusOk;
      EXPECT_EQ(__pavoGetNumChunks(target), chunks_before + (joined ? 1 : 0)) << c.what;
      EXPECT_EQ(references(kKey), joined ? 2u : 1u) << c.what;
      if (joined) {
        EXPECT_EQ(__pavoSearchChunk(target, kCallerChunk + 1), first) << c.what;
      }
      zorn::sibling::deallocate(second);  // joined or refused, it is still the caller's
      expect_round_trip(a.p, c.what);
      expect_round_trip(b.p, c.what);
    }
    EXPECT_EQ(references(kKey), 0u) << c.what;
  }
}

// Images whose keyed records disagree with each other or with the table are refused
// by both loaders with the table as it was; agreeing ones share one block.
TEST(HostileImages, ConflictingChunkRecordsAreRefused) {
  const uint64_t other[2] = {7, 7};
  const struct {
    const char* what;
    std::vector<char> image;
    int32_t table_block;  // a block already under kKey, of this size (0: none)
    bool table_full;      // every new key stays private
    int32_t status;
  } cases[] = {
      {"two records, 16 and 100000", image_with({{kKey, 16}, {kKey, 100000}}), 0, false, kStatusChunkSizeConflict},
      {"the same, table full", image_with({{kKey, 16}, {kKey, 100000}}), 0, true, kStatusChunkSizeConflict},
      {"a record against the table", image_with({{other, 8}, {kKey, 100}}), 16, false, kStatusChunkSizeConflict},
      {"a block of unknown size", image_with({{kKey, 16}}), -1, false, kStatusChunkSizeConflict},
      {"equal sizes", image_with({{kKey, 16}, {kKey, 16}, {nullptr, 5}}), 16, false, kStatusOk},
      {"equal sizes, table full", image_with({{kKey, 16}, {kKey, 16}}), 0, true, kStatusOk},
  };
  for (const auto& c : cases) {
    std::vector<std::array<uint64_t, 2>> fillers;
    PavoRODataEntry* e = nullptr;
    for (uint64_t k = 1; c.table_full && k <= kChunkShareLimit; ++k) {
      fillers.push_back({k, 0xF111});
      ASSERT_EQ(__pavoCreateGlobRODataTableEntry(&e, fillers.back().data(), nullptr), 0);
    }
    Stream holder(PAVO_BRNG_MCG31M1, {1});
    if (c.table_block > 0) {
      ASSERT_EQ(__pavoAddChunk(holder.p, kCallerChunk, kKey, block(16), c.table_block), 0);
    } else if (c.table_block < 0) {
      ASSERT_EQ(__pavoCreateGlobRODataTableEntry(&e, kKey, block(8)), 0);
    }
    const uint32_t entries = ro_data_table_count();
    const uint32_t held = references(kKey);
    Stream from_memory, from_file;
    EXPECT_EQ(load_bounded(c.image, &from_memory.p), c.status) << c.what;
    EXPECT_EQ(load_file(c.image, &from_file.p), c.status) << c.what;
    if (c.status == kStatusOk) {
      expect_round_trip(from_memory.p, c.what);
      __pavoDeleteStream(&from_memory.p);
      __pavoDeleteStream(&from_file.p);
    }
    EXPECT_EQ(from_memory.p, nullptr) << c.what;
    EXPECT_EQ(ro_data_table_count(), entries) << c.what;
    EXPECT_EQ(references(kKey), held) << c.what;
    if (c.table_block < 0) __pavoUnregisterGlobRODataReference(kKey);
    for (const auto& k : fillers) __pavoUnregisterGlobRODataReference(k.data());
  }
}

// An abstract stream's image would carry a buffer and a callback address: never loaded.
TEST(HostileImages, AbstractStreamImagesAreBadHeaders) {
  for (uint32_t id : {PAVO_BRNG_IABSTRACT, PAVO_BRNG_DABSTRACT, PAVO_BRNG_SABSTRACT}) {
    const auto image = image_with({}, id);
    void* loaded = reinterpret_cast<void*>(1);
    EXPECT_EQ(__pavoLoadStreamM(&loaded, image.data()), kStatusMemoryBadImage) << id;
    EXPECT_EQ(loaded, nullptr);
    EXPECT_EQ(load_file(image, &loaded), kStatusFileBadHeader) << id;
    EXPECT_EQ(loaded, nullptr);
  }
}

// Inputs that once crashed a loader or a save: each is refused, or round-trips.
TEST(HostileImages, RegressionInputsAreRefusedOrRoundTrip) {
  const std::filesystem::path folder = std::filesystem::path(ZORN_SOURCE_DIR) / "tests/streams/hostile_images";
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    std::ifstream in(entry.path(), std::ios::binary);
    const std::vector<char> image(std::istreambuf_iterator<char>(in), {});
    const std::string what = entry.path().filename().string();
    ++files;
    Stream from_memory, from_file;
    const int32_t memory_status = load_bounded(image, &from_memory.p);
    const int32_t file_status = load_file(image, &from_file.p);
    EXPECT_EQ(memory_status < 0, file_status < 0) << what;
    if (memory_status >= 0) expect_round_trip(from_memory.p, what);
    if (file_status >= 0) expect_round_trip(from_file.p, what);
  }
  EXPECT_GE(files, 2);
}

// A multi-word skip by a count of no words, however negative, changes nothing (the bit
// count of the words was once 64 * n in 32 bits).
TEST(HostileCounts, MultiWordSkipByNoWordsKeepsTheState) {
  const uint64_t words[1] = {12345};
  for (int32_t n : {0, -1, -(1 << 25) - 1, INT32_MIN + 1, INT32_MIN}) {
    Stream skipped(PAVO_BRNG_MRG32K3A, {9}), kept(PAVO_BRNG_MRG32K3A, {9});
    EXPECT_EQ(__pavoSkipAheadStreamEx(skipped.p, n, words), 0) << n;
    EXPECT_EQ(skipped.ints(8), kept.ints(8)) << n;
    uint32_t v[6] = {1, 2, 3, 4, 5, 6};
    __pavoiVect3PowArrayMod_M1(v, n, words, zorn::generators::kMrg32k3aSkipTable1);
    __pavoiVect3PowArrayMod_M2(v + 3, n, words, zorn::generators::kMrg32k3aSkipTable2);
    EXPECT_EQ(std::vector<uint32_t>(v, v + 6), (std::vector<uint32_t>{1, 2, 3, 4, 5, 6})) << n;
  }
}

}  // namespace

// A pending-pair chunk a distribution would resume from loads only as the distribution
// writes it: two values of its precision, u1 = -1 or both in [0, 1].
TEST(HostileImages, DamagedPendingPairsAreBadHeaders) {
  const struct {
    uint32_t id;
    std::vector<double> values;  // stored in the chunk's precision
    bool single;
    bool loads;
  } cases[] = {
      {kChunkGaussianPairDouble, {-1, 7}, false, true},  {kChunkGaussianPairDouble, {0.25, 1}, false, true},
      {kChunkGammaPairSingle, {0, 0.5}, true, true},     {kChunkGaussianPairDouble, {2, 0.5}, false, false},
      {kChunkGammaPairDouble, {0.5, -0.5}, false, false}, {kChunkGaussianPairSingle, {0.5, NAN}, true, false},
      {kChunkGaussianPairDouble, {0.5}, false, false},   {kChunkGammaPairSingle, {0.5, 0.5}, false, false},
  };
  for (const auto& c : cases) {
    Stream s(PAVO_BRNG_MCG31M1, {3});
    const size_t bytes = c.values.size() * (c.single ? sizeof(float) : sizeof(double));
    auto* data = static_cast<char*>(zorn::sibling::allocate(bytes));
    for (size_t i = 0; i < c.values.size(); ++i) {
      const float f = static_cast<float>(c.values[i]);
      c.single ? std::memcpy(data + 4 * i, &f, 4) : std::memcpy(data + 8 * i, &c.values[i], 8);
    }
    ASSERT_EQ(__pavoAddChunk(s.p, c.id, nullptr, data, static_cast<int32_t>(bytes)), 0);
    const auto image = saved_image(s.p);
    Stream from_memory, from_file;
    EXPECT_EQ(load_bounded(image, &from_memory.p), c.loads ? 0 : kStatusMemoryBadImage) << c.id;
    EXPECT_EQ(load_file(image, &from_file.p), c.loads ? 0 : kStatusFileBadHeader) << c.id;
  }
}
