// Internal helper for the operations that make a fresh block for a chunk (copy, load).
#pragma once

#include <cstdint>

namespace zorn::streams {

// Attaches `data`, a block the caller just allocated, as a chunk of the stream. The
// block is released when the chunk took the shared data of an existing entry instead,
// or when attaching failed; after the call the caller owns nothing.
int32_t attach_fresh_chunk(void* stream, uint32_t chunk_id, const uint64_t* key, void* data,
                           int32_t size);

}  // namespace zorn::streams
