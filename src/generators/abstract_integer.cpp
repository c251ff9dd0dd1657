// The integer abstract generator: 32-bit words from the caller's buffer.
#include <cstddef>

#include "generators/abstract_stream.h"
#include "generators/builtin_rows.h"
#include "generators/init_dispatch.h"

namespace zorn::generators {
namespace {

namespace st = zorn::streams;

struct State {
  AbstractCursor cursor;
  uint32_t* buffer;
  PavoiAbstractCallback callback;
};
constexpr int32_t kStateSize = 48;
static_assert(sizeof(State) + st::kStreamHeaderBytes <= kStateSize);
static_assert(offsetof(State, buffer) == 16 && offsetof(State, callback) == 24);

int32_t seed(State& s, const void*, int32_t n, const uint32_t* params) {
  return seed_abstract(s, n, reinterpret_cast<const void* const*>(params), 3);
}

constexpr InitMethods<State> kMethods{seed, nullptr, nullptr, nullptr};

}  // namespace
}  // namespace zorn::generators

using namespace zorn::generators;

extern "C" {

int32_t __pavoBRngiAbstractInitStream(uint32_t method, void* stream, int32_t n, const void* params) {
  return dispatch_init(kMethods, method, stream, n, params);
}

int32_t __pavoiBRngiAbstract(void* stream, int32_t n, uint32_t* r) {
  return hand_out(stream, zorn::streams::state_of<State>(stream), n, [r](int32_t i, uint32_t v) { r[i] = v; });
}

}  // extern "C"

namespace zorn::generators {

// No evolving words: the values live in the caller's buffer.
extern const BuiltinRow kRowIAbstract = {
    .properties = {.state_size = kStateSize, .state_words = 0, .may_yield_zero = 1, .word_size = 4, .bits = 32,
                   .init_stream = __pavoBRngiAbstractInitStream, .gen_single = __pavosBRngiAbstract,
                   .gen_double = __pavodBRngiAbstract, .gen_int = __pavoiBRngiAbstract}};

}  // namespace zorn::generators
