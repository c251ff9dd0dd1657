// Fuzzes stream loading with arbitrary images. The memory loader is driven through the
// internal reader bounded by the input's size (the exported form has no length), the
// file loader through a temporary file; both must agree. A stream that loads is drawn
// from, skipped, copied, saved and loaded again: the copy and the reloaded stream must
// continue exactly as the original, and two loads give back the saved image (each
// load reverses the chunk list).
//
// The mutator knows the chunk records: besides libFuzzer's byte mutations it moves
// keys between records, rewrites sizes with matching data, duplicates, drops and
// reorders records and sets the identifier of a known generator with its state length.
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <random>
#include <vector>

#include "streams/image_io.h"
#include "streams/registry.h"
#include "streams/status.h"
#include "zorn/pavo.h"

using namespace zorn::streams;

namespace {

constexpr ImageStatuses kMemoryStatuses{kStatusMemoryBadImage, kStatusMemoryBadImage};

std::vector<char> save(const void* stream) {
  std::vector<char> image(static_cast<size_t>(__pavoGetStreamSize(stream)));
  if (__pavoSaveStreamM(stream, image.data()) != 0) __builtin_trap();
  return image;
}

void* load(const std::vector<char>& image) {
  MemoryReader in(image.data(), image.size());
  void* stream = nullptr;
  if (load_image(in, kMemoryStatuses, &stream) < 0) __builtin_trap();  // what we saved loads
  return stream;
}

const PavoBrngProperties& row_of(const void* stream) {
  int32_t row = 0, sub = 0;
  return __pavoGetBrngBaseOffset(__pavoGetStreamStateBrng(stream), &row, &sub)[row];
}

std::vector<uint32_t> draw(void* stream, int32_t n) {
  std::vector<uint32_t> words(static_cast<size_t>(n) * 4);
  row_of(stream).gen_int(stream, n, words.data());
  return words;
}

void exercise(void* stream) {
  draw(stream, 37);
  std::vector<double> reals(29);
  row_of(stream).gen_double(stream, 29, reals.data(), -1.0, 1.0);
  __pavoSkipAheadStream(stream, 1000);
  const uint64_t words[2] = {12345, 1};
  __pavoSkipAheadStreamEx(stream, 2, words);

  const std::vector<char> image = save(stream);
  void* reloaded = load(image);
  void* twice = load(save(reloaded));
  if (save(twice) != image) __builtin_trap();
  void* copy = nullptr;
  if (__pavoCopyStream(&copy, stream) != 0) __builtin_trap();
  // A hardware generator's words never repeat; every other stream continues as its
  // reloads and its copy do.
  const bool deterministic = __pavoGetStreamStateBrng(stream) != PAVO_BRNG_NONDETERM;
  const std::vector<uint32_t> want = draw(stream, 64);
  if (deterministic && (draw(reloaded, 64) != want || draw(copy, 64) != want || draw(twice, 64) != want))
    __builtin_trap();
  __pavoDeleteStream(&copy);
  __pavoDeleteStream(&twice);
  __pavoDeleteStream(&reloaded);
}

int32_t load_through_file(const uint8_t* data, size_t size, void** stream) {
  static char path[64];
  if (path[0] == '\0') std::snprintf(path, sizeof path, "/tmp/fuzz_stream_images_%d.rng", static_cast<int>(getpid()));
  std::FILE* f = std::fopen(path, "wb");
  if (f == nullptr) __builtin_trap();
  std::fwrite(data, 1, size, f);
  std::fclose(f);
  return __pavoLoadStreamF(stream, path, -1);
}

// ---- the chunk-record-aware mutator ----

constexpr size_t kHeader = 24, kRecordHeader = 24;

struct Record {
  size_t offset;  // of the record in the image
  uint32_t size;
};

// The records of a current-layout image, as far as they are whole.
std::vector<Record> records_of(const uint8_t* data, size_t size) {
  std::vector<Record> records;
  if (size < kHeader || data[0] != 2) return records;
  uint32_t state = 0;
  std::memcpy(&state, data + 12, 4);
  size_t at = kHeader + state;
  while (at + kRecordHeader <= size) {
    int32_t bytes = 0;
    std::memcpy(&bytes, data + at + 20, 4);
    if (bytes < 0 || at + kRecordHeader + static_cast<uint32_t>(bytes) > size) break;
    records.push_back({at, static_cast<uint32_t>(bytes)});
    at += kRecordHeader + static_cast<uint32_t>(bytes);
  }
  return records;
}

size_t mutate_records(uint8_t* data, size_t size, size_t max_size, std::minstd_rand& rng) {
  std::vector<Record> records = records_of(data, size);
  if (records.empty()) return 0;
  std::vector<uint8_t> image(data, data + size);
  const Record& r = records[rng() % records.size()];
  const Record& other = records[rng() % records.size()];
  switch (rng() % 5) {
    case 0:  // the key of another record, so that records share
      std::memcpy(&image[r.offset + 4], &image[other.offset + 4], 16);
      break;
    case 1: {  // another size, with data to match
      static constexpr uint32_t kSizes[] = {0, 1, 4, 8, 16, 100, 1000};
      const uint32_t bytes = kSizes[rng() % 7];
      std::memcpy(&image[r.offset + 20], &bytes, 4);
      const auto data_at = image.begin() + static_cast<long>(r.offset + kRecordHeader);
      image.erase(data_at, data_at + r.size);
      image.insert(image.begin() + static_cast<long>(r.offset + kRecordHeader), bytes, 0x5A);
      break;
    }
    case 2: {  // a duplicate, counted
      const auto from = image.begin() + static_cast<long>(r.offset);
      const std::vector<uint8_t> copy(from, from + static_cast<long>(kRecordHeader + r.size));
      image.insert(image.begin() + static_cast<long>(other.offset), copy.begin(), copy.end());
      ++image[16];
      break;
    }
    case 3: {  // dropped, counted
      const auto from = image.begin() + static_cast<long>(r.offset);
      image.erase(from, from + static_cast<long>(kRecordHeader + r.size));
      --image[16];
      break;
    }
    default:  // a chunk count that disagrees with the records
      image[16] = static_cast<uint8_t>(rng());
      break;
  }
  if (image.size() > max_size) return 0;
  std::memcpy(data, image.data(), image.size());
  return image.size();
}

// A generator identifier (or an abstract one) with the state length of its row.
size_t set_generator(uint8_t* data, size_t size, std::minstd_rand& rng) {
  static constexpr uint32_t kIds[] = {PAVO_BRNG_MCG31M1, PAVO_BRNG_R250,      PAVO_BRNG_MRG32K3A,
                                      PAVO_BRNG_MCG59,   PAVO_BRNG_WH + 17,   PAVO_BRNG_IABSTRACT,
                                      PAVO_BRNG_DABSTRACT, PAVO_BRNG_SABSTRACT, 0x700000, 0xFFFFFFFF};
  if (size < kHeader) return 0;
  const uint32_t id = kIds[rng() % (sizeof kIds / sizeof kIds[0])];
  const PavoBrngProperties* row = lookup_brng(id).row;
  const uint32_t state = row == nullptr || row->state_size < 16 ? 0 : static_cast<uint32_t>(row->state_size - 16);
  std::memcpy(data + 20, &id, 4);
  std::memcpy(data + 12, &state, 4);
  return size;
}

}  // namespace

extern "C" size_t LLVMFuzzerMutate(uint8_t* data, size_t size, size_t max_size);

extern "C" size_t LLVMFuzzerCustomMutator(uint8_t* data, size_t size, size_t max_size, unsigned int seed) {
  std::minstd_rand rng(seed);
  size_t mutated = 0;
  switch (rng() % 4) {
    case 0:
    case 1:
      mutated = mutate_records(data, size, max_size, rng);
      break;
    case 2:
      mutated = set_generator(data, size, rng);
      break;
    default:
      break;
  }
  return mutated != 0 ? mutated : LLVMFuzzerMutate(data, size, max_size);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  void* from_memory = nullptr;
  void* from_file = nullptr;
  MemoryReader in(reinterpret_cast<const char*>(data), size);
  const int32_t memory_status = load_image(in, kMemoryStatuses, &from_memory);
  const int32_t file_status = load_through_file(data, size, &from_file);
  // The two forms differ only in the bad-header statuses they name.
  const bool memory_bad_header = memory_status == kStatusMemoryBadImage;
  const bool file_bad_header = file_status == kStatusFileBadHeader || file_status == kStatusFileBadVersion;
  if (memory_bad_header != file_bad_header || (!memory_bad_header && memory_status != file_status))
    __builtin_trap();
  if (from_memory != nullptr) {
    if (save(from_memory) != save(from_file)) __builtin_trap();
    exercise(from_memory);
  }
  __pavoDeleteStream(&from_memory);
  __pavoDeleteStream(&from_file);
  return 0;
}
