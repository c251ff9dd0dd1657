// The generator registry: identifier mapping and row lookup shared by every stream
// operation.
#pragma once

#include <cstddef>
#include <cstdint>

#include "zorn/pavo.h"

namespace zorn::streams {

static_assert(sizeof(PavoBrngProperties) == 56);
static_assert(offsetof(PavoBrngProperties, bits) == 16);
static_assert(offsetof(PavoBrngProperties, init_stream) == 24);
static_assert(offsetof(PavoBrngProperties, gen_int) == 48);

// A row reached from an identifier. `row` is null when the identifier maps to no
// valid row, or to a legacy row that holds no generator.
struct BrngLookup {
  PavoBrngProperties* table;
  int32_t row_index;
  int32_t sub;
  const PavoBrngProperties* row;
  int32_t evolving_bytes;  // what copy-state transfers; never beyond the state
  int32_t (*check_state)(const void* stream);  // null: every state of the row's size runs
};
BrngLookup lookup_brng(uint32_t brng_id);

// The row of a stream's own identifier, or null (see lookup_brng).
const PavoBrngProperties* row_of_stream(const void* stream);

}  // namespace zorn::streams
