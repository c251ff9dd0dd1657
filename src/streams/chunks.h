// Internal helper for the operations that make a fresh block for a chunk (copy, load).
#pragma once

#include <cstdint>

#include "streams/ro_data_table.h"

namespace zorn::streams {

// Attaches `data`, a block the caller just allocated, as a chunk of the stream. The
// block is released when the chunk took the shared data of an existing entry instead,
// or when attaching failed; after the call the caller owns nothing. `unknown` says
// whether the chunk may join a shared block whose size the table does not know.
int32_t attach_fresh_chunk(void* stream, uint32_t chunk_id, const uint64_t* key, void* data,
                           int32_t size, UnknownSize unknown);

// The key and size a chunk record states, for checking a set of records before trust.
struct KeyedSize {
  uint64_t key[2];
  int32_t size;
};
// Whether records with the same key all state the same size (reorders the records).
bool keyed_sizes_agree(KeyedSize* records, uint32_t count);

}  // namespace zorn::streams
