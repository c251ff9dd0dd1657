// The four exported operations of a built-in generator, written once. A generator file
// supplies, in scope where the macro is used: its State, raw(State&, n, uint32_t*) for
// its integer output, generate<Real>(stream, n, r, a, b) for reals, and the expression
// `init_call` that answers init_stream from (method, stream, n, params).
#pragma once

#include "streams/status.h"
#include "streams/stream_object.h"
#include "zorn/pavo.h"

#define ZORN_DEFINE_BRNG_EXPORTS(name, init_call)                                            \
  extern "C" {                                                                               \
  int32_t __pavoBRng##name##InitStream(uint32_t method, void* stream, int32_t n,              \
                                       const void* params) {                                 \
    return init_call;                                                                        \
  }                                                                                          \
  int32_t __pavosBRng##name(void* stream, int32_t n, float* r, float a, float b) {           \
    return generate(stream, n, r, a, b);                                                     \
  }                                                                                          \
  int32_t __pavodBRng##name(void* stream, int32_t n, double* r, double a, double b) {        \
    return generate(stream, n, r, a, b);                                                     \
  }                                                                                          \
  int32_t __pavoiBRng##name(void* stream, int32_t n, uint32_t* r) {                          \
    if (n > 0) raw(zorn::streams::state_of<State>(stream), n, r);                            \
    return zorn::streams::kStatusOk;                                                         \
  }                                                                                          \
  }
