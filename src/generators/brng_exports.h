// The four exported operations of a built-in generator, written once. A generator file
// supplies, in scope where the macro is used: its State, raw(State&, n, uint32_t*) for
// its integer output (returning nothing, or a status when it can fail), the expression
// `init_call` that answers init_stream from (method, stream, n, params), and for reals
// either generate<Real>(stream, n, r, a, b) or, with the mapped form, the reciprocal of
// its word range.
#pragma once

#include <type_traits>

#include "generators/real_output.h"
#include "streams/status.h"
#include "streams/stream_object.h"
#include "zorn/pavo.h"

namespace zorn::generators {

// The status of raw(state, n, r): its own when it returns one (such a raw also answers
// n <= 0 itself, since it may refuse every call), else success.
template <typename State, typename Raw>
int32_t raw_status(Raw&& raw, State& state, int32_t n, uint32_t* r) {
  if constexpr (std::is_void_v<decltype(raw(state, n, r))>) {
    if (n > 0) raw(state, n, r);
    return streams::kStatusOk;
  } else {
    return raw(state, n, r);
  }
}

}  // namespace zorn::generators

#define ZORN_BRNG_EXPORTS_WITH_REALS(name, init_call, reals_call)                             \
  extern "C" {                                                                               \
  int32_t __pavoBRng##name##InitStream(uint32_t method, void* stream, int32_t n,              \
                                       const void* params) {                                 \
    return init_call;                                                                        \
  }                                                                                          \
  int32_t __pavosBRng##name(void* stream, int32_t n, float* r, float a, float b) {           \
    return reals_call;                                                                       \
  }                                                                                          \
  int32_t __pavodBRng##name(void* stream, int32_t n, double* r, double a, double b) {        \
    return reals_call;                                                                       \
  }                                                                                          \
  int32_t __pavoiBRng##name(void* stream, int32_t n, uint32_t* r) {                          \
    return zorn::generators::raw_status(raw, zorn::streams::state_of<State>(stream), n, r);  \
  }                                                                                          \
  }

#define ZORN_DEFINE_BRNG_EXPORTS(name, init_call) \
  ZORN_BRNG_EXPORTS_WITH_REALS(name, init_call, generate(stream, n, r, a, b))

// The reals of a generator whose words spread over [0, 1 / reciprocal_range): each word
// scaled onto the interval (real_output.h); no generate() of its own is needed.
#define ZORN_DEFINE_MAPPED_BRNG_EXPORTS(name, init_call, reciprocal_range) \
  ZORN_BRNG_EXPORTS_WITH_REALS(                                              \
      name, init_call,                                                       \
      zorn::generators::generate_mapped<State>(stream, n, r, a, b, reciprocal_range, raw))
