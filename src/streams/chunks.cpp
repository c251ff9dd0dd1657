// Chunks: data blocks hanging off a stream's header in a singly linked list, private
// (owned by the stream) or shared through the read-only data table.
#include <algorithm>
#include <cstring>
#include <tuple>

#include "streams/chunks.h"

#include "core_interface/sibling.h"
#include "streams/ro_data_table.h"
#include "streams/status.h"
#include "streams/stream_object.h"

namespace zorn::streams {
namespace {

// Frees one chunk record and drops its hold on its data.
void free_chunk(PavoChunk* c) {
  if (!release_shared(c->chunk_key)) sibling::deallocate(c->chunk_data);
  sibling::deallocate(c);
}

// A private copy of a chunk's data; null data (or no bytes) copies to null.
bool copy_private_data(const PavoChunk& c, void** copy) {
  *copy = nullptr;
  if (c.chunk_data == nullptr || c.chunk_size <= 0) return true;
  *copy = sibling::allocate(static_cast<uint64_t>(c.chunk_size));
  if (*copy == nullptr) return false;
  std::memcpy(*copy, c.chunk_data, static_cast<size_t>(c.chunk_size));
  return true;
}

// Inserts a chunk at the head of the list. A chunk states the bytes of its block, so a
// negative size, or bytes without a block, is refused; shared data is joined only when
// its block holds the chunk's size. A refusal changes nothing.
int32_t add_chunk(void* stream, uint32_t chunk_id, const uint64_t* key, void* data, int32_t size,
                  UnknownSize unknown) {
  if (size < 0 || (data == nullptr && size > 0)) return kStatusBadArgument;
  auto* c = static_cast<PavoChunk*>(sibling::allocate(sizeof(PavoChunk)));
  if (c == nullptr) return kStatusNoMemory;
  c->chunk_id = chunk_id;
  c->chunk_size = size;
  c->chunk_data = data;
  c->chunk_key[0] = key ? key[0] : 0;
  c->chunk_key[1] = key ? key[1] : 0;
  if (!key_is_zero(c->chunk_key)) {
    switch (share_chunk_data(c->chunk_key, &c->chunk_data, size, unknown)) {
      case ShareOutcome::kSizeConflict:
        sibling::deallocate(c);
        return kStatusChunkSizeConflict;
      case ShareOutcome::kMadePrivate:
        c->chunk_key[0] = c->chunk_key[1] = 0;
        break;
      case ShareOutcome::kJoined:
      case ShareOutcome::kAppended:
        break;
    }
  }
  PavoStreamHeader* h = header_of(stream);
  c->chunk_next = h->chunks;
  h->chunks = c;
  return kStatusOk;
}

}  // namespace

int32_t attach_fresh_chunk(void* stream, uint32_t chunk_id, const uint64_t* key, void* data,
                           int32_t size, UnknownSize unknown) {
  const int32_t status = add_chunk(stream, chunk_id, key, data, size, unknown);
  if (status != kStatusOk || header_of(stream)->chunks->chunk_data != data) sibling::deallocate(data);
  return status;
}

bool keyed_sizes_agree(KeyedSize* records, uint32_t count) {
  const auto order = [](const KeyedSize& r) { return std::tie(r.key[0], r.key[1], r.size); };
  std::sort(records, records + count,
            [&order](const KeyedSize& a, const KeyedSize& b) { return order(a) < order(b); });
  for (uint32_t i = 1; i < count; ++i) {
    const KeyedSize& a = records[i - 1];
    const KeyedSize& b = records[i];
    if (a.key[0] == b.key[0] && a.key[1] == b.key[1] && a.size != b.size) return false;
  }
  return true;
}

}  // namespace zorn::streams

using namespace zorn::streams;
namespace sibling = zorn::sibling;

extern "C" {

int32_t __pavoAddChunk(void* stream, uint32_t chunk_id, const uint64_t* key, void* data, int32_t size) {
  return add_chunk(stream, chunk_id, key, data, size, UnknownSize::kTrust);
}

void* __pavoSearchChunk(const void* stream, uint32_t chunk_id) {
  for (const PavoChunk* c = header_of(stream)->chunks; c != nullptr; c = c->chunk_next)
    if (c->chunk_id == chunk_id) return c->chunk_data;
  return nullptr;
}

int32_t __pavoGetNumChunks(const void* stream) {
  int32_t n = 0;
  for (const PavoChunk* c = header_of(stream)->chunks; c != nullptr; c = c->chunk_next) ++n;
  return n;
}

void __pavoDeleteChunks(void* stream) {
  PavoStreamHeader* h = header_of(stream);
  PavoChunk* c = h->chunks;
  while (c != nullptr) {
    PavoChunk* next = c->chunk_next;
    free_chunk(c);
    c = next;
  }
  h->chunks = nullptr;
}

void __pavoDeleteChunksById(void* stream, uint32_t chunk_id) {
  PavoChunk** link = &header_of(stream)->chunks;
  while (*link != nullptr) {
    PavoChunk* c = *link;
    if (c->chunk_id != chunk_id) {
      link = &c->chunk_next;
      continue;
    }
    *link = c->chunk_next;
    free_chunk(c);
  }
}

int32_t __pavoCopyChunks(void* destination, const void* source) {
  for (const PavoChunk* c = header_of(source)->chunks; c != nullptr; c = c->chunk_next) {
    const bool shared = is_shared(c->chunk_key);
    void* data = c->chunk_data;
    if (!shared && !copy_private_data(*c, &data)) {
      __pavoDeleteChunks(destination);
      return kStatusNoMemory;
    }
    const int32_t status =
        shared ? __pavoAddChunk(destination, c->chunk_id, c->chunk_key, data, c->chunk_size)
               : attach_fresh_chunk(destination, c->chunk_id, c->chunk_key, data, c->chunk_size,
                                    UnknownSize::kTrust);
    if (status != kStatusOk) {
      __pavoDeleteChunks(destination);
      return status;
    }
  }
  return kStatusOk;
}

}  // extern "C"
