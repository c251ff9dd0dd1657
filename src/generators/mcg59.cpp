// MCG59: x(t+1) = 13^13 x(t) mod 2^59, 64-bit output words. The current x is the next
// output.
#include <cstring>

#include "generators/builtin_rows.h"
#include "generators/init_dispatch.h"
#include "generators/lane_power.h"
#include "generators/real_output.h"
#include "streams/modular_arithmetic.h"

namespace zorn::generators {
namespace {

using streams::kMask59;
using streams::mul_mod_2p59;

constexpr uint64_t kMultiplier = 302875106592253ull;  // 13^13
constexpr double kReciprocal = 0x1p-59;

struct State {
  uint64_t x;  // below 2^59, never 0
  uint64_t a;  // current multiplier
};
constexpr int32_t kStateSize = 32;
static_assert(sizeof(State) + streams::kStreamHeaderBytes <= kStateSize);

int32_t seed(State& s, const void*, int32_t n, const uint32_t* seeds) {
  const uint64_t low = seed_word(n, seeds, 0, 1);
  const uint64_t high = seed_word(n, seeds, 1, 0);
  s.x = (low | high << 32) & kMask59;
  if (s.x == 0) s.x = 1;
  s.a = kMultiplier;
  return streams::kStatusOk;
}

using Jumps = MultiplicativeJumps<State, mul_mod_2p59, __pavoiPowMod2P59>;
constexpr InitMethods<State> kMethods{seed, Jumps::leapfrog, Jumps::skip_ahead, nullptr};

void raw(State& s, int32_t n, uint64_t* out) { s.x = lane_block(s.x, s.a, n, out, mul_mod_2p59); }

}  // namespace

extern const BuiltinRow kRowMCG59 = {
    .properties = {.state_size = kStateSize, .state_words = 1, .may_yield_zero = 0, .word_size = 8, .bits = 59,
                   ZORN_BRNG_OPERATIONS(MCG59)}};

}  // namespace zorn::generators

using namespace zorn::generators;
using zorn::streams::state_of;

extern "C" {

int32_t __pavoBRngMCG59InitStream(uint32_t method, void* stream, int32_t n, const void* params) {
  return dispatch_init(kMethods, method, stream, n, params);
}

int32_t __pavodBRngMCG59(void* stream, int32_t n, double* r, double a, double b) {
  State& s = state_of<State>(stream);
  const LinearMap map(a, b, kReciprocal);
  generate_reals<uint64_t>(n, r, [&s](int32_t count, uint64_t* w) { raw(s, count, w); },
                           [&map](uint64_t w) { return map(static_cast<double>(w)); });
  return zorn::streams::kStatusOk;
}

// Single precision works in float: s x' + a with x' = float(x) and the scale
// s = (b - a) 2^-59 rounded to float once.
int32_t __pavosBRngMCG59(void* stream, int32_t n, float* r, float a, float b) {
  State& s = state_of<State>(stream);
  const float scale = static_cast<float>((double{b} - double{a}) * kReciprocal);
  generate_reals<uint64_t>(n, r, [&s](int32_t count, uint64_t* w) { raw(s, count, w); },
                           [scale, a](uint64_t w) { return scale * static_cast<float>(w) + a; });
  return zorn::streams::kStatusOk;
}

// Each output is one 64-bit word: two 32-bit words of the buffer, low word first.
int32_t __pavoiBRngMCG59(void* stream, int32_t n, uint32_t* r) {
  State& s = state_of<State>(stream);
  uint64_t words[kRealChunk];
  while (n > 0) {
    const int32_t count = std::min(n, kRealChunk);
    raw(s, count, words);
    std::memcpy(r, words, sizeof(uint64_t) * static_cast<size_t>(count));
    r += 2 * count;
    n -= count;
  }
  return zorn::streams::kStatusOk;
}

}  // extern "C"
