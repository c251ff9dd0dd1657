// Element errors of a vector call, reported the way numpy reports floating-point errors:
// a domain error is numpy's "invalid", a singularity "divide", then "over" and "under",
// each handled as numpy's error state (np.errstate) says, with the first element index.
#pragma once

#include <cstdint>

namespace zorn_python {

// Prepares the calling thread for a vector call: its error callback records the first
// index of each element status, and no status is pending.
void begin_element_errors();

// Shifts the indices recorded from now on by `offset` (the start of the chunk in flight).
void set_element_index_offset(int64_t offset);

// After the call: raises, warns or ignores each status that occurred, per numpy's error
// state, naming the Python function; a failure status raises VectorMathError.
void finish_element_errors(const char* function);

}  // namespace zorn_python
