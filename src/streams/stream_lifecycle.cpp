// Creating, copying, re-seeding from another stream, and deleting stream objects.
#include <algorithm>
#include <cstring>

#include "core_interface/sibling.h"
#include "streams/abstract_ids.h"
#include "streams/registry.h"
#include "streams/status.h"
#include "streams/stream_object.h"

namespace zorn::streams {
namespace {

// A row registered at run time may claim fewer bytes than the header itself; the
// object is never smaller than the header.
size_t object_bytes(const PavoBrngProperties& row) {
  return static_cast<size_t>(std::max(row.state_size, kStreamHeaderBytes));
}

// Allocates an object for the row and fills a fresh header; null when refused.
void* new_object(const PavoBrngProperties& row, uint32_t brng_id) {
  void* stream = sibling::allocate(object_bytes(row));
  if (stream != nullptr) *header_of(stream) = PavoStreamHeader{brng_id, 1, nullptr};
  return stream;
}

}  // namespace
}  // namespace zorn::streams

using namespace zorn::streams;
namespace sibling = zorn::sibling;

extern "C" {

int32_t __pavoAllocateStream(void** stream, const PavoBrngProperties* table, uint32_t brng_id,
                             int32_t row, int32_t sub) {
  const int32_t valid = __pavoIsBrngValid(table, row, sub);
  if (valid != kStatusOk) return valid;
  *stream = new_object(table[row], brng_id);
  return *stream != nullptr ? kStatusOk : kStatusNoMemory;
}

int32_t __pavoNewStreamEx(void** stream, uint32_t brng_id, int32_t n, const uint32_t* seeds) {
  if (is_abstract_id(brng_id)) return kStatusInvalidBrng;
  const BrngLookup found = lookup_brng(brng_id);
  if (found.row == nullptr) return kStatusInvalidBrng;
  *stream = new_object(*found.row, brng_id);
  if (*stream == nullptr) return kStatusNoMemory;
  // A failed seeding leaves the object allocated and stored: the caller deletes it.
  return found.row->init_stream(PAVO_INIT_SEED, *stream, n, seeds);
}

int32_t __pavoCopyStream(void** copy, const void* source) {
  const BrngLookup found = lookup_brng(header_of(source)->brng_id);
  if (found.row == nullptr) return kStatusInvalidBrng;
  *copy = new_object(*found.row, header_of(source)->brng_id);
  if (*copy == nullptr) return kStatusNoMemory;
  std::memcpy(*copy, source, object_bytes(*found.row));
  header_of(*copy)->chunks = nullptr;
  return __pavoCopyChunks(*copy, source);
}

int32_t __pavoCopyStreamState(void* destination, const void* source) {
  if (destination == source) return kStatusOk;
  const BrngLookup from = lookup_brng(header_of(source)->brng_id);
  const BrngLookup to = lookup_brng(header_of(destination)->brng_id);
  if (from.row == nullptr || to.row == nullptr) return kStatusInvalidBrng;
  // Only the evolving words: a leapfrog multiplier of the destination stays its own.
  // Streams of two generators are the caller's error; even then nothing is written
  // past the destination's state.
  const int32_t bytes = std::min(from.evolving_bytes, to.evolving_bytes);
  std::memcpy(state_bytes(destination), state_bytes(source), static_cast<size_t>(bytes));
  __pavoDeleteChunks(destination);
  return __pavoCopyChunks(destination, source);
}

int32_t __pavoDeleteStream(void** stream) {
  if (stream == nullptr || *stream == nullptr) return kStatusOk;
  __pavoDeleteChunks(*stream);
  sibling::deallocate(*stream);
  *stream = nullptr;
  return kStatusOk;
}

uint32_t __pavoGetStreamStateBrng(const void* stream) { return header_of(stream)->brng_id; }

}  // extern "C"
