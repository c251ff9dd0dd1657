// Statuses of the distribution generators. Besides these, a generator passes on the
// status of its last uniform draw: 0 or a positive warning of the basic generator, or
// a negative failure that ends the call at once.
#pragma once

#include <cstdint>

#include "zorn/status.h"

#include "streams/status.h"

namespace zorn::distributions {

constexpr int32_t kStatusOk = streams::kStatusOk;
constexpr int32_t kStatusNoMemory = streams::kStatusNoMemory;   // a cache could not be made
constexpr int32_t kStatusInvalidBrng = streams::kStatusInvalidBrng;  // stream names no row
// A method number the generator does not have. The core library checks the method
// before it calls; this keeps a bad one from indexing past a table of workers.
constexpr int32_t kStatusBadMethod = streams::kStatusBadMethod;
// A stream whose cached data is not what the generator left there (a damaged image).
constexpr int32_t kStatusBadArgument = streams::kStatusBadArgument;
// The generator's output cannot be cut into fixed 32- or 64-bit words.
constexpr int32_t kStatusNoFixedWords = PAVO_STATUS_NO_FIXED_WORDS;

inline bool is_failure(int32_t status) { return status < 0; }

}  // namespace zorn::distributions
