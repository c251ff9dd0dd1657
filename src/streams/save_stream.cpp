// Saving a stream image to memory or to a file.
#include <algorithm>

#include "streams/image_format.h"
#include "streams/image_io.h"
#include "streams/registry.h"
#include "streams/status.h"
#include "streams/stream_object.h"

namespace zorn::streams {
namespace {

uint32_t state_length(const PavoBrngProperties& row) {
  return static_cast<uint32_t>(std::max(row.state_size - kStreamHeaderBytes, 0));
}

// The bytes a chunk's record carries: none for a chunk without a block, so that the
// image never reads through a null block and its size fields stay self-consistent.
uint32_t chunk_bytes(const PavoChunk& c) {
  return c.chunk_data == nullptr ? 0 : static_cast<uint32_t>(std::max(c.chunk_size, 0));
}

// Writes the pieces of an image in order; a sink answers false when a write fails.
template <typename Sink>
bool write_body(const void* stream, uint32_t length, Sink&& write) {
  if (!write(state_bytes(stream), length)) return false;
  for (const PavoChunk* c = header_of(stream)->chunks; c != nullptr; c = c->chunk_next) {
    unsigned char record[kChunkRecordHeader];
    store_le<uint32_t>(record, c->chunk_id);
    store_le<uint64_t>(record + 4, c->chunk_key[0]);
    store_le<uint64_t>(record + 12, c->chunk_key[1]);
    store_le<uint32_t>(record + 20, chunk_bytes(*c));
    if (!write(record, kChunkRecordHeader) || !write(c->chunk_data, chunk_bytes(*c))) return false;
  }
  return true;
}

}  // namespace
}  // namespace zorn::streams

using namespace zorn::streams;

extern "C" {

int32_t __pavoGetStreamSize(const void* stream) {
  const PavoBrngProperties* row = row_of_stream(stream);
  if (row == nullptr) return kStatusInvalidBrng;
  int64_t size = kImageHeaderLength + int64_t{state_length(*row)};
  for (const PavoChunk* c = header_of(stream)->chunks; c != nullptr; c = c->chunk_next)
    size += kChunkRecordHeader + int64_t{chunk_bytes(*c)};
  return static_cast<int32_t>(std::min<int64_t>(size, INT32_MAX));
}

// Only the named header bytes are written; reserved bytes keep what the buffer held.
int32_t __pavoSaveStreamM(const void* stream, char* buffer) {
  const PavoBrngProperties* row = row_of_stream(stream);
  if (row == nullptr) return kStatusInvalidBrng;
  auto* out = reinterpret_cast<unsigned char*>(buffer);
  out[0] = kImageVersion;
  store_le<uint32_t>(out + kOffMagic, kImageMagic);
  store_le<uint16_t>(out + kOffHeaderLength, kImageHeaderLength);
  store_le<uint32_t>(out + kOffStateLength, state_length(*row));
  store_le<uint16_t>(out + kOffChunkCount, static_cast<uint16_t>(__pavoGetNumChunks(stream)));
  store_le<uint32_t>(out + kOffBrngId, header_of(stream)->brng_id);
  out += kImageHeaderLength;
  write_body(stream, state_length(*row), [&out](const void* data, uint32_t bytes) {
    if (bytes != 0) std::memcpy(out, data, bytes);
    out += bytes;
    return true;
  });
  return kStatusOk;
}

int32_t __pavoSaveStreamF(const void* stream, const char* path, int64_t path_length) {
  const PavoBrngProperties* row = row_of_stream(stream);
  if (row == nullptr) return kStatusInvalidBrng;
  PathArgument name(path, path_length);
  if (name.get() == nullptr) return kStatusNoMemory;
  std::FILE* file = std::fopen(name.get(), "wb");
  if (file == nullptr) return kStatusOpenFailed;
  const uint32_t header[6] = {kImageVersion, kImageMagic, kImageHeaderLength, state_length(*row),
                              static_cast<uint32_t>(__pavoGetNumChunks(stream)), header_of(stream)->brng_id};
  const bool written =
      std::fwrite(header, sizeof header, 1, file) == 1 &&
      write_body(stream, state_length(*row), [file](const void* data, uint32_t bytes) {
        return bytes == 0 || std::fwrite(data, 1, bytes, file) == bytes;
      });
  int32_t status = written ? kStatusOk : kStatusShortWrite;
  if (std::fclose(file) != 0) status = kStatusCloseFailed;
  return status;
}

}  // extern "C"
