// MT19937, the 624-word Mersenne twister (Matsumoto and Nishimura, 1998), seeded by
// the reference init_by_array.
#include <cstring>

#include "generators/brng_exports.h"
#include "generators/builtin_rows.h"
#include "generators/data/mt_twister_tables.h"
#include "generators/gf2_jump.h"
#include "generators/init_dispatch.h"
#include "generators/mt19937_style_twister.h"
#include "generators/mt19937_tempering.h"
#include "generators/real_output.h"
#include "streams/status.h"
#include "streams/stream_object.h"

namespace zorn::generators {
namespace {

namespace st = zorn::streams;

using Shape = TwisterShape<624, 397, 0x80000000u>;
constexpr uint32_t kMatrix = 0x9908B0DFu;
constexpr Tempering<11> kTempering{0x9D2C5680u, 0xEFC60000u};
// Up to this many outputs, stepping the blocks is cheaper than the polynomial jump.
constexpr uint64_t kLongestStepping = 0xFFFFF;

struct State {
  uint32_t mt[Shape::kWords];
  uint32_t index;  // next word of mt to temper; kWords: the block is used up
  static uint32_t matrix() { return kMatrix; }
};
constexpr int32_t kStateSize = 2520;
constexpr int32_t kStateWords = Shape::kWords + 1;
static_assert(sizeof(State) + st::kStreamHeaderBytes <= kStateSize);
static_assert(sizeof(State) == kStateWords * sizeof(uint32_t));

using Window = Shape::JumpWindow<State>;

void raw(State& s, int32_t n, uint32_t* out) {
  Shape::generate(s, n, out, [](const uint32_t* in, uint32_t* o, int32_t k) { kTempering(in, o, k); });
}

int32_t skip_ahead(State& s, const void*, uint64_t count) {
  if (count <= kLongestStepping) {
    Shape::step(s, count);
    return st::kStatusOk;
  }
  return __pavo_SkipAheadSWin(&s, Window::clear, Window::add, Window::copy, Window::advance, Window::store,
                              Window::consume, count, Shape::kWords, kMt19937Degree, sizeof(State),
                              kMt19937PolynomialTerms, kMt19937PolynomialExponents);
}

int32_t seed(State& s, const void*, int32_t n, const uint32_t* seeds) {
  Shape::seed_by_array(s.mt, n, seeds);
  s.index = Shape::kWords;
  return st::kStatusOk;
}

constexpr InitMethods<State> kMethods{seed, nullptr, skip_ahead, nullptr};

}  // namespace

extern const BuiltinRow kRowMT19937 = {
    .properties = {.state_size = kStateSize, .state_words = kStateWords, .may_yield_zero = 1, .word_size = 4, .bits = 32,
                   ZORN_BRNG_OPERATIONS(MT19937)}};

}  // namespace zorn::generators

using namespace zorn::generators;

ZORN_DEFINE_MAPPED_BRNG_EXPORTS(MT19937, dispatch_init(kMethods, method, stream, n, params), 0x1p-32)
