// The double and single abstract generators: reals from the caller's buffer, which
// lie in the stream's interval [a, b) and are mapped onto the one each request asks for.
#include <cstddef>

#include "generators/abstract_stream.h"
#include "generators/builtin_rows.h"
#include "generators/init_dispatch.h"

namespace zorn::generators {
namespace {

namespace st = zorn::streams;

template <typename Real, typename Callback>
struct RealState {
  AbstractCursor cursor;
  Real a, b;
  Real* buffer;
  Callback callback;
};
using DoubleState = RealState<double, PavodAbstractCallback>;
using SingleState = RealState<float, PavosAbstractCallback>;
constexpr int32_t kDoubleStateSize = 64;
constexpr int32_t kSingleStateSize = 56;
static_assert(sizeof(DoubleState) + st::kStreamHeaderBytes <= kDoubleStateSize);
static_assert(offsetof(DoubleState, a) == 16 && offsetof(DoubleState, buffer) == 32);
static_assert(sizeof(SingleState) + st::kStreamHeaderBytes <= kSingleStateSize);
static_assert(offsetof(SingleState, a) == 12 && offsetof(SingleState, buffer) == 24);

template <typename State>
int32_t seed(State& s, const void*, int32_t n, const uint32_t* words) {
  const auto* params = reinterpret_cast<const void* const*>(words);
  const int32_t status = seed_abstract(s, n, params, 5);
  if (status != st::kStatusOk) return status;
  using Real = decltype(s.a);
  s.a = *static_cast<const Real*>(params[2]);
  s.b = *static_cast<const Real*>(params[3]);
  return st::kStatusOk;
}

template <typename State>
constexpr InitMethods<State> kMethods{seed<State>, nullptr, nullptr, nullptr};

}  // namespace
}  // namespace zorn::generators

using namespace zorn::generators;

extern "C" {

int32_t __pavoBRngdAbstractInitStream(uint32_t method, void* stream, int32_t n, const void* params) {
  return dispatch_init(kMethods<DoubleState>, method, stream, n, params);
}
int32_t __pavoBRngsAbstractInitStream(uint32_t method, void* stream, int32_t n, const void* params) {
  return dispatch_init(kMethods<SingleState>, method, stream, n, params);
}

int32_t __pavodBRngdAbstract(void* stream, int32_t n, double* r, double a, double b) {
  return hand_out_mapped(stream, zorn::streams::state_of<DoubleState>(stream), n, r, a, b);
}
int32_t __pavosBRngsAbstract(void* stream, int32_t n, float* r, float a, float b) {
  return hand_out_mapped(stream, zorn::streams::state_of<SingleState>(stream), n, r, a, b);
}

}  // extern "C"

namespace zorn::generators {

// No evolving words: the values live in the caller's buffer.
extern const BuiltinRow kRowDAbstract = {
    .properties = {.state_size = kDoubleStateSize, .state_words = 0, .may_yield_zero = 1, .word_size = 4, .bits = 32,
                   .init_stream = __pavoBRngdAbstractInitStream, .gen_single = __pavosBRngdAbstract,
                   .gen_double = __pavodBRngdAbstract, .gen_int = __pavoiBRngdAbstract}};

extern const BuiltinRow kRowSAbstract = {
    .properties = {.state_size = kSingleStateSize, .state_words = 0, .may_yield_zero = 1, .word_size = 4, .bits = 32,
                   .init_stream = __pavoBRngsAbstractInitStream, .gen_single = __pavosBRngsAbstract,
                   .gen_double = __pavodBRngsAbstract, .gen_int = __pavoiBRngsAbstract}};

}  // namespace zorn::generators
