// The rows of the sixteen built-in generators. Each generator's file defines its row
// next to its state and operations. The registry assembles them in this order.
#pragma once

#include <cstdint>

#include "zorn/pavo.h"

namespace zorn::generators {

// A row is written with designated initialisers; the two counts default to one
// sub-generator and the state_words x word_size evolving bytes of most generators.
struct BuiltinRow {
  PavoBrngProperties properties;
  int32_t sub_generators = 1;  // sub-generator indices the row accepts
  // Bytes behind the header that copy-state transfers. A generator whose 16-byte output
  // word is four 32-bit values (WH) evolves only state_words 32-bit values, and its
  // multipliers must stay the destination's.
  int32_t evolving_bytes = properties.state_words * properties.word_size;
  // Whether a stream's state and chunks are ones the generator can run from (0) or not;
  // a loader refuses an image that fails it. Null: every state of the row's size is.
  int32_t (*check_state)(const void* stream) = nullptr;
};

// The four operations of generator `name` as designated initialisers of its properties.
#define ZORN_BRNG_OPERATIONS(name)                                                   \
  .init_stream = __pavoBRng##name##InitStream, .gen_single = __pavosBRng##name,     \
  .gen_double = __pavodBRng##name, .gen_int = __pavoiBRng##name

extern const BuiltinRow kRowMCG31M1;        // row 0
extern const BuiltinRow kRowR250;           // row 1
extern const BuiltinRow kRowMRG32K3A;       // row 2
extern const BuiltinRow kRowMCG59;          // row 3
extern const BuiltinRow kRowWH;             // row 4
extern const BuiltinRow kRowSobol;          // row 5
extern const BuiltinRow kRowNiederr;        // row 6
extern const BuiltinRow kRowMT19937;        // row 7
extern const BuiltinRow kRowMT2203;         // row 8
extern const BuiltinRow kRowIAbstract;      // row 9
extern const BuiltinRow kRowDAbstract;      // row 10
extern const BuiltinRow kRowSAbstract;      // row 11
extern const BuiltinRow kRowSFMT19937;      // row 12
extern const BuiltinRow kRowNondeterm;      // row 13
extern const BuiltinRow kRowARS5;           // row 14
extern const BuiltinRow kRowPhilox4x32x10;  // row 15

}  // namespace zorn::generators
