// Layout of a stream object and typed access to the generator state behind its header.
#pragma once

#include <cstddef>
#include <cstdint>

#include "zorn/pavo.h"

namespace zorn::streams {

constexpr int32_t kStreamHeaderBytes = 16;
static_assert(sizeof(PavoStreamHeader) == kStreamHeaderBytes);
static_assert(offsetof(PavoStreamHeader, brng_id) == 0);
static_assert(offsetof(PavoStreamHeader, stream_mark) == 4);
static_assert(offsetof(PavoStreamHeader, chunks) == 8);

static_assert(sizeof(PavoChunk) == 40);
static_assert(offsetof(PavoChunk, chunk_size) == 4);
static_assert(offsetof(PavoChunk, chunk_data) == 8);
static_assert(offsetof(PavoChunk, chunk_next) == 16);
static_assert(offsetof(PavoChunk, chunk_key) == 24);

inline PavoStreamHeader* header_of(void* stream) { return static_cast<PavoStreamHeader*>(stream); }
inline const PavoStreamHeader* header_of(const void* stream) {
  return static_cast<const PavoStreamHeader*>(stream);
}

// The generator state lies directly behind the header; a generator reads it as its
// own State struct (each generator checks sizeof(State) + 16 <= state_size).
template <typename State>
State& state_of(void* stream) {
  return *reinterpret_cast<State*>(static_cast<unsigned char*>(stream) + kStreamHeaderBytes);
}
inline unsigned char* state_bytes(void* stream) {
  return static_cast<unsigned char*>(stream) + kStreamHeaderBytes;
}
inline const unsigned char* state_bytes(const void* stream) {
  return static_cast<const unsigned char*>(stream) + kStreamHeaderBytes;
}

}  // namespace zorn::streams
