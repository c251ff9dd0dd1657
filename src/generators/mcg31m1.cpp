// MCG31M1: x(t+1) = 1132489760 x(t) mod (2^31 - 1). The current x is the next output.
#include "generators/brng_exports.h"
#include "generators/builtin_rows.h"
#include "generators/init_dispatch.h"
#include "generators/lane_power.h"
#include "generators/real_output.h"
#include "streams/modular_arithmetic.h"

namespace zorn::generators {
namespace {

using streams::kMersenne31;
using streams::mul_mod_2p31m1;

constexpr uint32_t kMultiplier = 1132489760;
constexpr double kReciprocal = 1.0 / 2147483647.0;

struct State {
  uint32_t x;  // 1 .. 2^31 - 2
  uint32_t a;  // current multiplier (a power of kMultiplier after leapfrog)
};
constexpr int32_t kStateSize = 24;
static_assert(sizeof(State) + streams::kStreamHeaderBytes <= kStateSize);

int32_t seed(State& s, const void*, int32_t n, const uint32_t* seeds) {
  s.x = seed_word(n, seeds, 0, 1) % kMersenne31;
  if (s.x == 0) s.x = 1;
  s.a = kMultiplier;
  return streams::kStatusOk;
}

using Jumps = MultiplicativeJumps<State, mul_mod_2p31m1, __pavoiPowMod2P31M1>;
constexpr InitMethods<State> kMethods{seed, Jumps::leapfrog, Jumps::skip_ahead, nullptr};

void raw(State& s, int32_t n, uint32_t* out) { s.x = lane_block(s.x, s.a, n, out, mul_mod_2p31m1); }

}  // namespace

extern const BuiltinRow kRowMCG31M1 = {
    .properties = {.state_size = kStateSize, .state_words = 1, .may_yield_zero = 0, .word_size = 4, .bits = 31,
                   ZORN_BRNG_OPERATIONS(MCG31M1)}};

}  // namespace zorn::generators

using namespace zorn::generators;

ZORN_DEFINE_MAPPED_BRNG_EXPORTS(MCG31M1, dispatch_init(kMethods, method, stream, n, params), kReciprocal)
