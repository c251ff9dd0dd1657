// Loading a saved stream image, from memory or from a file. The image is untrusted:
// every field is checked before it sizes a read or an allocation, and every failure
// frees what the load made.
#include <limits>

#include "core_interface/sibling.h"
#include "streams/abstract_ids.h"
#include "streams/cache_chunks.h"
#include "streams/chunks.h"
#include "streams/image_format.h"
#include "streams/image_io.h"
#include "streams/processor_features.h"
#include "streams/registry.h"
#include "streams/status.h"
#include "streams/stream_object.h"

namespace zorn::streams {
namespace {

// The header fields of either layout.
struct ImageHeader {
  uint8_t version_byte;  // byte 0: the format version, or the older layout's first letter
  uint32_t header_length;
  uint32_t state_length;
  uint32_t chunk_count;
  uint32_t brng_id;
};

bool magic_at(const unsigned char* h, int offset) {
  return h[offset] == 'R' && h[offset + 1] == 'N' && h[offset + 2] == 'G';
}

int32_t read_header(ImageReader& in, const ImageStatuses& statuses, ImageHeader* header) {
  unsigned char h[kImageHeaderLength];
  if (!in.read(h, kImagePrefix)) return kStatusShortRead;
  const bool current = h[0] == kImageVersion;
  const int32_t length = current ? kImageHeaderLength : kLegacyHeaderLength;
  if (!in.read(h + kImagePrefix, static_cast<uint64_t>(length - kImagePrefix))) return kStatusShortRead;
  header->version_byte = h[0];
  if (current) {
    header->header_length = load_le<uint16_t>(h + kOffHeaderLength);
    header->state_length = load_le<uint32_t>(h + kOffStateLength);
    header->chunk_count = load_le<uint16_t>(h + kOffChunkCount);
    header->brng_id = load_le<uint32_t>(h + kOffBrngId);
  } else {
    header->header_length = kImageHeaderLength;
    header->state_length = load_le<uint16_t>(h + kLegacyOffStateLength);
    header->chunk_count = load_le<uint16_t>(h + kLegacyOffChunkCount);
    header->brng_id = load_le<uint32_t>(h + kLegacyOffBrngId);
  }
  if (!magic_at(h, kOffMagic) && !magic_at(h, 0)) return statuses.bad_header;
  if (h[0] >= 3 && h[4] > 2) return statuses.bad_version;
  return kStatusOk;
}

int32_t check_generator(const ImageHeader& header, const ImageStatuses& statuses) {
  if (is_abstract_id(header.brng_id)) return statuses.bad_header;
  const BrngLookup found = lookup_brng(header.brng_id);
  if (found.row == nullptr) return statuses.bad_header;
  if (int64_t{header.state_length} != int64_t{found.row->state_size} - kStreamHeaderBytes)
    return statuses.bad_header;
  if (header.header_length < kImageHeaderLength) return statuses.bad_header;
  return kStatusOk;
}

int32_t processor_status(uint32_t brng_id) {
  if (brng_id == PAVO_BRNG_NONDETERM && !has_rdrand()) return kStatusNoRdrand;
  if (brng_id == PAVO_BRNG_ARS5 && !has_aes()) return kStatusNoAes;
  return kStatusOk;
}

// The keys and sizes of an image's keyed chunk records, so that records which would
// share one block with different sizes refuse the image even when the table is full
// and each of them stays private.
class KeyedRecords {
 public:
  explicit KeyedRecords(uint32_t capacity)
      : records_(capacity == 0 ? nullptr
                               : static_cast<KeyedSize*>(sibling::allocate(uint64_t{capacity} * sizeof(KeyedSize)))),
        capacity_(capacity) {}
  ~KeyedRecords() { sibling::deallocate(records_); }
  KeyedRecords(const KeyedRecords&) = delete;
  KeyedRecords& operator=(const KeyedRecords&) = delete;

  bool allocated() const { return capacity_ == 0 || records_ != nullptr; }
  void note(const uint64_t* key, int32_t size) {
    if (!key_is_zero(key) && count_ < capacity_) records_[count_++] = KeyedSize{{key[0], key[1]}, size};
  }
  bool agree() { return keyed_sizes_agree(records_, count_); }

 private:
  KeyedSize* records_;
  uint32_t capacity_;
  uint32_t count_ = 0;
};

int32_t read_chunk(ImageReader& in, uint8_t version_byte, void* stream, KeyedRecords& keyed) {
  uint32_t id = 0;
  uint64_t key[2] = {0, 0};
  int32_t size = 0;
  if (!in.read(&id, sizeof id)) return kStatusShortRead;
  if (version_byte == 1 || version_byte == 2) {
    if (!in.read(key, sizeof key)) return kStatusShortRead;
  } else if (version_byte != 0) {
    return kStatusShortRead;
  }
  if (!in.read(&size, sizeof size)) return kStatusShortRead;
  // A size that is negative or larger than what is left cannot be read; it never
  // sizes an allocation.
  if (size < 0 || static_cast<uint64_t>(size) > in.remaining()) return kStatusShortRead;
  void* data = nullptr;
  if (size > 0) {
    data = sibling::allocate(static_cast<uint64_t>(size));
    if (data == nullptr) return kStatusNoMemory;
    if (!in.read(data, static_cast<uint64_t>(size))) {
      sibling::deallocate(data);
      return kStatusShortRead;
    }
  }
  keyed.note(key, size);
  return attach_fresh_chunk(stream, id, key, data, size, UnknownSize::kRefuse);
}

int32_t read_chunks(ImageReader& in, const ImageHeader& header, void* stream) {
  const uint32_t count = header.chunk_count & 0xFFFF;
  KeyedRecords keyed(count);
  if (!keyed.allocated()) return kStatusNoMemory;
  int32_t status = kStatusOk;
  for (uint32_t c = 0; status == kStatusOk && c < count; ++c)
    status = read_chunk(in, header.version_byte, stream, keyed);
  if (status == kStatusOk && !keyed.agree()) status = kStatusChunkSizeConflict;
  return status;
}

int32_t load_into(ImageReader& in, const ImageStatuses& statuses, void** stream) {
  ImageHeader header{};
  int32_t status = read_header(in, statuses, &header);
  if (status == kStatusOk) status = check_generator(header, statuses);
  if (status != kStatusOk) return status;
  int32_t row = 0, sub = 0;
  const PavoBrngProperties* table = __pavoGetBrngBaseOffset(header.brng_id, &row, &sub);
  status = __pavoAllocateStream(stream, table, header.brng_id, row, sub);
  if (status != kStatusOk) return status;
  if (!in.read(state_bytes(*stream), header.state_length)) return kStatusShortRead;
  status = processor_status(header.brng_id);
  if (status == kStatusOk) status = read_chunks(in, header, *stream);
  if (status != kStatusOk) return status;
  // State and chunks the generator or a distribution could not run from (a forged or
  // damaged image) are refused here rather than at first use.
  const BrngLookup lookup = lookup_brng(header.brng_id);
  const bool state_runs = lookup.check_state == nullptr || lookup.check_state(*stream) == kStatusOk;
  return state_runs && cache_chunks_valid(*stream) ? kStatusOk : statuses.bad_header;
}

}  // namespace

int32_t load_image(ImageReader& in, const ImageStatuses& statuses, void** stream) {
  *stream = nullptr;
  const int32_t status = load_into(in, statuses, stream);
  if (status < 0) __pavoDeleteStream(stream);
  return status;
}

}  // namespace zorn::streams

using namespace zorn::streams;

extern "C" {

// The memory form has no length: the caller vouches that the buffer holds the image.
int32_t __pavoLoadStreamM(void** stream, const char* buffer) {
  MemoryReader in(buffer, std::numeric_limits<uint64_t>::max());
  return load_image(in, {kStatusMemoryBadImage, kStatusMemoryBadImage}, stream);
}

int32_t __pavoLoadStreamF(void** stream, const char* path, int64_t path_length) {
  *stream = nullptr;
  PathArgument name(path, path_length);
  if (name.get() == nullptr) return kStatusNoMemory;
  std::FILE* file = std::fopen(name.get(), "rb");
  if (file == nullptr) return kStatusOpenFailed;
  FileReader in(file);
  int32_t status = load_image(in, {kStatusFileBadHeader, kStatusFileBadVersion}, stream);
  if (std::fclose(file) != 0 && status >= 0) {
    status = kStatusCloseFailed;
    __pavoDeleteStream(stream);
  }
  return status;
}

}  // extern "C"
