// Statuses of the random stream core and the basic generators, named after their
// meaning. Success is 0 (or a non-negative value such as an identifier).
#pragma once

#include <cstdint>

namespace zorn::streams {

constexpr int32_t kStatusOk = 0;

// Generic argument and resource failures.
constexpr int32_t kStatusBadMethod = -2;        // init_stream method above 3
constexpr int32_t kStatusBadArgument = -3;      // null address, empty buffer, empty interval
constexpr int32_t kStatusNoMemory = -4;         // an allocation was refused
constexpr int32_t kStatusNullOperation = -5;    // registration record without an operation

// Registry.
constexpr int32_t kStatusInvalidBrng = -1000;           // identifier maps to no valid row
constexpr int32_t kStatusLeapfrogUnsupported = -1002;
constexpr int32_t kStatusSkipAheadUnsupported = -1003;
constexpr int32_t kStatusSkipAheadExUnsupported = -1004;
constexpr int32_t kStatusBadStateSize = -1008;
constexpr int32_t kStatusBadWordSize = -1009;
constexpr int32_t kStatusBadStateWords = -1010;
constexpr int32_t kStatusBadBits = -1011;
constexpr int32_t kStatusRegistryFull = -1015;          // no room left for another row
constexpr int32_t kStatusBadLeapfrogCount = -1013;      // leapfrog with N < 0
constexpr int32_t kStatusQuasiExhausted = -1012;        // a quasi-random request past the last point

// Persistence.
constexpr int32_t kStatusCloseFailed = -1100;
constexpr int32_t kStatusOpenFailed = -1101;
constexpr int32_t kStatusShortWrite = -1102;
constexpr int32_t kStatusShortRead = -1103;
constexpr int32_t kStatusFileBadHeader = -1110;
constexpr int32_t kStatusFileBadVersion = -1111;
constexpr int32_t kStatusMemoryBadImage = -1200;
constexpr int32_t kStatusNoRdrand = -1130;     // also every nondeterministic call without RDRAND
constexpr int32_t kStatusNoAes = -1140;        // also every ARS5 call without AES instructions

// Nondeterministic generator.
constexpr int32_t kStatusRdrandFailed = -1131;  // every attempt of one request failed

// Abstract generators.
constexpr int32_t kStatusAbstractNoBuffer = -5;          // the stream holds no buffer
constexpr int32_t kStatusAbstractBadRefill = -1120;      // callback count negative or above the maximum
constexpr int32_t kStatusAbstractEmptyRefill = -1121;    // callback delivered no value
constexpr int32_t kStatusAbstractWrongType = -1122;

// Shared read-only data table.
constexpr int32_t kStatusEntryNotFound = -3000;
constexpr int32_t kStatusTableFull = -3001;
// A chunk would share a block of another size than its own (the chunk, or the loaded
// image that holds it, is refused and nothing changes).
constexpr int32_t kStatusChunkSizeConflict = -3002;

}  // namespace zorn::streams
