// Jump-ahead for F2-linear generators (Haramoto, Matsumoto, Nishimura, Panneton and
// L'Ecuyer, 2008). With T the one-step transition of the generator and p(x) its
// characteristic polynomial, T^s = g(T) for g(x) = x^s mod p(x), so s steps cost the
// evaluation of g at T on the state: deg p steps and about deg p / 2 state additions
// (Horner), or deg p steps and deg p / 7 additions with a window of 128 precomputed
// states (sliding window).
//
// The generator supplies its state operations; the state type is its own. Every
// temporary state is `state_size` bytes.
#pragma once

#include <cstdint>

#include "zorn/export.h"

extern "C" {

typedef void (*PavoJumpClear)(void* state);
typedef void (*PavoJumpAdd)(void* into, const void* from);  // into ^= from
typedef void (*PavoJumpCopy)(void* to, const void* from);
typedef void (*PavoJumpAdvance)(void* state);  // one step of T
// Writes the jumped temporary back into the stream's state.
typedef void (*PavoJumpStore)(void* stream_state, const void* result);
// Spends the part of `count` (in outputs) that stays within the current block and
// returns the number of steps of T left for the polynomial jump (0: nothing left).
typedef uint64_t (*PavoJumpConsume)(void* stream_state, uint64_t count);

// Bit vector of x^s mod p, p given by the increasing exponents of its `terms` non-zero
// terms (the first 0, the last the degree). `out` has `out_words` 64-bit words, at
// least degree / 64 + 1. Returns 0, -3 for a malformed polynomial or short output, or
// -4 when scratch memory is refused.
ZORN_API int32_t __pavoPolyRem(uint64_t s, int32_t degree, int32_t terms, const int32_t* exponents,
                               int32_t out_words, uint64_t* out);

ZORN_API int32_t __pavo_SkipAheadHorner(void* stream_state, PavoJumpClear clear, PavoJumpAdd add,
                                        PavoJumpCopy copy, PavoJumpAdvance advance, PavoJumpStore store,
                                        PavoJumpConsume consume, uint64_t s, int32_t state_words,
                                        int32_t degree, int32_t state_size, int32_t terms,
                                        const int32_t* exponents);

ZORN_API int32_t __pavo_SkipAheadSWin(void* stream_state, PavoJumpClear clear, PavoJumpAdd add,
                                      PavoJumpCopy copy, PavoJumpAdvance advance, PavoJumpStore store,
                                      PavoJumpConsume consume, uint64_t s, int32_t state_words,
                                      int32_t degree, int32_t state_size, int32_t terms,
                                      const int32_t* exponents);

}  // extern "C"
