// The MT2203 family: 6024 twisters of 69 words (period 2^2203 - 1), one per
// sub-generator, meant as independent streams for parallel workers. Each takes its
// matrix word and tempering masks from the parameter table.
#include <cstring>

#include "generators/brng_exports.h"
#include "generators/builtin_rows.h"
#include "generators/data/mt2203_parameters.h"
#include "generators/init_dispatch.h"
#include "generators/mt19937_style_twister.h"
#include "generators/mt19937_tempering.h"
#include "generators/real_output.h"
#include "streams/status.h"
#include "streams/stream_object.h"

namespace zorn::generators {
namespace {

namespace st = zorn::streams;

using Shape = TwisterShape<69, 34, 0xFFFFFFE0u>;

struct State {
  uint32_t mt[Shape::kWords];
  uint32_t index;  // next word of mt to temper; kWords: the block is used up
  uint32_t a;      // matrix word
  uint32_t b;      // tempering masks
  uint32_t c;
  uint32_t matrix() const { return a; }
};
constexpr int32_t kStateSize = 312;
constexpr int32_t kStateWords = Shape::kWords + 1;
static_assert(sizeof(State) + st::kStreamHeaderBytes <= kStateSize);
static_assert(offsetof(State, index) == kStateWords * 4 - 4);
static_assert(offsetof(State, a) == kStateWords * 4);

void raw(State& s, int32_t n, uint32_t* out) {
  const Tempering<12> tempering{s.b, s.c};
  Shape::generate(s, n, out, [&tempering](const uint32_t* in, uint32_t* o, int32_t k) { tempering(in, o, k); });
}

int32_t seed(State& s, const void* stream, int32_t n, const uint32_t* seeds) {
  const uint32_t sub = st::header_of(stream)->brng_id & 0xFFFFFu;
  if (sub >= static_cast<uint32_t>(kMt2203SubGenerators)) return st::kStatusInvalidBrng;
  const Mt2203Parameters& row = kMt2203Parameters[sub];
  Shape::seed_by_array(s.mt, n, seeds);
  s.index = Shape::kWords;
  s.a = row.a;
  s.b = row.b;
  s.c = row.c;
  return st::kStatusOk;
}

// Only the low 32 bits of the count are used, read as signed: counts of 0 and below
// (2^31 and up in the low word) do nothing.
int32_t skip_ahead(State& s, const void*, uint64_t count) {
  const auto steps = static_cast<int32_t>(static_cast<uint32_t>(count));
  if (steps > 0) Shape::step(s, static_cast<uint64_t>(steps));
  return st::kStatusOk;
}

constexpr InitMethods<State> kMethods{seed, nullptr, skip_ahead, nullptr};

}  // namespace

extern const BuiltinRow kRowMT2203 = {
    .properties = {.state_size = kStateSize, .state_words = kStateWords, .may_yield_zero = 1, .word_size = 4, .bits = 32,
                   ZORN_BRNG_OPERATIONS(MT2203)},
    .sub_generators = kMt2203SubGenerators};

}  // namespace zorn::generators

using namespace zorn::generators;

ZORN_DEFINE_MAPPED_BRNG_EXPORTS(MT2203, dispatch_init(kMethods, method, stream, n, params), 0x1p-32)
