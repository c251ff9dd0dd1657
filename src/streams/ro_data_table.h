// The process-wide table of shared read-only data that chunks of several streams can
// point at, reference-counted under a 128-bit key. Internal interface for chunks.cpp.
#pragma once

#include <cstddef>
#include <cstdint>

#include "zorn/pavo.h"

namespace zorn::streams {

constexpr uint32_t kRODataTableCapacity = 128;
// Chunks stop sharing one entry short of the capacity, so that the last entry stays
// available to __pavoCreateGlobRODataTableEntry.
constexpr uint32_t kChunkShareLimit = 127;

static_assert(sizeof(PavoRODataEntry) == 32);
static_assert(offsetof(PavoRODataEntry, reference_count) == 16);
static_assert(offsetof(PavoRODataEntry, data) == 24);

inline bool key_is_zero(const uint64_t* key) { return key == nullptr || (key[0] == 0 && key[1] == 0); }

// Size of a block put in the table by __pavoCreateGlobRODataTableEntry, which is not told it.
constexpr int32_t kUnknownBlockSize = -1;

// Whether a chunk may join an entry whose block size the table does not know. A caller
// of the chunk interface vouches for its sizes as it does for the block it created; a
// loaded image is untrusted and may join only a block of the size it states.
enum class UnknownSize { kTrust, kRefuse };

// What attaching a chunk's data under its key did.
enum class ShareOutcome { kJoined, kAppended, kMadePrivate, kSizeConflict };
// Under the lock: joins the entry with `key` when its block holds `size` bytes (its data
// replaces *data, its count grows), or appends a new entry with *data and `size` when
// the table has room below kChunkShareLimit, or reports that the data stays private.
// An entry with another size is left as it was (kSizeConflict). The key must not be zero.
ShareOutcome share_chunk_data(const uint64_t* key, void** data, int32_t size, UnknownSize unknown);

// Under the lock: drops one reference from every entry with `key`, freeing the data
// of an entry that reaches zero. False when no entry holds the key.
bool release_shared(const uint64_t* key);

// Whether an entry holds `key` (under the lock).
bool is_shared(const uint64_t* key);

// Number of entries in use (for tests and diagnostics).
uint32_t ro_data_table_count();

}  // namespace zorn::streams
