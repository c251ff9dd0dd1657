// The mode word: its initial value from the environment, lazy initialisation and the
// field-wise merge applied by SetMode.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "tess_frame/thread_state.h"

namespace zorn {

// The OR of the keyword values of a "TESS_<KEYWORD>[,TESS_<KEYWORD>...]" list, or no
// value when the list is malformed in any way. `text` is NUL-terminated.
std::optional<uint64_t> parse_mode_variable(const char* text);

// The mode a thread starts with: the environment variable ZORN_TESS_MODE, completed
// with high accuracy and the default error mode where those fields are empty.
uint32_t initial_mode();

// SetMode's rule: every non-zero field of `next` among accuracy, error mode, denormal
// handling, traps and the reserved field replaces the same field of `old`; all other
// bits stay as in `old`.
uint32_t merge_mode(uint32_t old, uint32_t next);

// Stores the initial mode in a block that has none yet and returns it.
uint32_t apply_initial_mode(TessThreadState* state);

// The thread's mode, applying the initial mode on first use.
inline uint32_t current_mode(TessThreadState* state) {
  return state->Mode != 0 ? state->Mode : apply_initial_mode(state);
}

inline bool mode_flushes_denormals(uint32_t mode) {
  return (mode & TESS_MODE_DENORMAL_MASK) == TESS_MODE_FLUSH_DENORMALS;
}

}  // namespace zorn
