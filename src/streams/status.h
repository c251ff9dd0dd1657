// Statuses of the random stream core and the basic generators, named after their
// meaning. Success is 0 (or a non-negative value such as an identifier).
#pragma once

#include <cstdint>

#include "zorn/status.h"

namespace zorn::streams {

constexpr int32_t kStatusOk = PAVO_STATUS_OK;

// Generic argument and resource failures.
constexpr int32_t kStatusBadMethod = PAVO_STATUS_BAD_METHOD;        // init_stream method above 3
constexpr int32_t kStatusBadArgument = PAVO_STATUS_BAD_ARGUMENT;      // null address, empty buffer, empty interval
constexpr int32_t kStatusNoMemory = PAVO_STATUS_NO_MEMORY;         // an allocation was refused
constexpr int32_t kStatusNullOperation = PAVO_STATUS_NULL_OPERATION;    // registration record without an operation

// Registry.
constexpr int32_t kStatusInvalidBrng = PAVO_STATUS_INVALID_BRNG;           // identifier maps to no valid row
constexpr int32_t kStatusLeapfrogUnsupported = PAVO_STATUS_LEAPFROG_UNSUPPORTED;
constexpr int32_t kStatusSkipAheadUnsupported = PAVO_STATUS_SKIP_AHEAD_UNSUPPORTED;
constexpr int32_t kStatusSkipAheadExUnsupported = PAVO_STATUS_SKIP_AHEAD_EX_UNSUPPORTED;
constexpr int32_t kStatusBadStateSize = PAVO_STATUS_BAD_STATE_SIZE;
constexpr int32_t kStatusBadWordSize = PAVO_STATUS_BAD_WORD_SIZE;
constexpr int32_t kStatusBadStateWords = PAVO_STATUS_BAD_STATE_WORDS;
constexpr int32_t kStatusBadBits = PAVO_STATUS_BAD_BITS;
constexpr int32_t kStatusRegistryFull = PAVO_STATUS_REGISTRY_FULL;          // no room left for another row
constexpr int32_t kStatusBadLeapfrogCount = PAVO_STATUS_BAD_LEAPFROG_COUNT;      // leapfrog with N < 0
constexpr int32_t kStatusQuasiExhausted = PAVO_STATUS_QUASI_EXHAUSTED;        // a quasi-random request past the last point

// Persistence.
constexpr int32_t kStatusCloseFailed = PAVO_STATUS_CLOSE_FAILED;
constexpr int32_t kStatusOpenFailed = PAVO_STATUS_OPEN_FAILED;
constexpr int32_t kStatusShortWrite = PAVO_STATUS_SHORT_WRITE;
constexpr int32_t kStatusShortRead = PAVO_STATUS_SHORT_READ;
constexpr int32_t kStatusFileBadHeader = PAVO_STATUS_FILE_BAD_HEADER;
constexpr int32_t kStatusFileBadVersion = PAVO_STATUS_FILE_BAD_VERSION;
constexpr int32_t kStatusMemoryBadImage = PAVO_STATUS_MEMORY_BAD_IMAGE;
constexpr int32_t kStatusNoRdrand = PAVO_STATUS_NO_RDRAND;     // also every nondeterministic call without RDRAND
constexpr int32_t kStatusNoAes = PAVO_STATUS_NO_AES;        // also every ARS5 call without AES instructions

// Nondeterministic generator.
constexpr int32_t kStatusRdrandFailed = PAVO_STATUS_RDRAND_FAILED;  // every attempt of one request failed

// Abstract generators.
constexpr int32_t kStatusAbstractNoBuffer = PAVO_STATUS_ABSTRACT_NO_BUFFER;          // the stream holds no buffer
constexpr int32_t kStatusAbstractBadRefill = PAVO_STATUS_ABSTRACT_BAD_REFILL;      // callback count negative or above the maximum
constexpr int32_t kStatusAbstractEmptyRefill = PAVO_STATUS_ABSTRACT_EMPTY_REFILL;    // callback delivered no value
constexpr int32_t kStatusAbstractWrongType = PAVO_STATUS_ABSTRACT_WRONG_TYPE;

// Shared read-only data table.
constexpr int32_t kStatusEntryNotFound = PAVO_STATUS_ENTRY_NOT_FOUND;
constexpr int32_t kStatusTableFull = PAVO_STATUS_TABLE_FULL;
// A chunk would share a block of another size than its own (the chunk, or the loaded
// image that holds it, is refused and nothing changes).
constexpr int32_t kStatusChunkSizeConflict = PAVO_STATUS_CHUNK_SIZE_CONFLICT;

}  // namespace zorn::streams
