// The nondeterministic generator: values of the processor's RDRAND instruction, with a
// limited number of attempts per value. It has no sequence to split or repeat.
#include <immintrin.h>

#include "generators/brng_exports.h"
#include "generators/builtin_rows.h"
#include "generators/init_dispatch.h"
#include "generators/nondeterministic_output.h"
#include "streams/processor_features.h"

namespace zorn::generators {
namespace {

namespace st = zorn::streams;

constexpr uint32_t kDefaultRetryLimit = 10;

struct State {
  uint32_t zero;
  uint32_t retry_limit;  // attempts per value
};
constexpr int32_t kStateSize = 24;
static_assert(sizeof(State) + st::kStreamHeaderBytes <= kStateSize);

#define ZORN_RDRAND_TARGET __attribute__((target("rdrnd")))

// RDRAND sets the carry flag when it delivered a value.
ZORN_RDRAND_TARGET bool rdrand64(uint64_t* v) {
  unsigned long long x = 0;
  const bool ok = _rdrand64_step(&x) != 0;
  *v = x;
  return ok;
}
ZORN_RDRAND_TARGET bool rdrand32(uint32_t* v) {
  unsigned x = 0;
  const bool ok = _rdrand32_step(&x) != 0;
  *v = x;
  return ok;
}

using HardwareSource = RetryingSource<bool (*)(uint64_t*), bool (*)(uint32_t*)>;

HardwareSource source_of(const State& s) { return {s.retry_limit, rdrand64, rdrand32}; }

int32_t seed(State& s, const void*, int32_t n, const uint32_t* seeds) {
  s.zero = 0;
  s.retry_limit = seed_word(n, seeds, 1, 0);
  if (s.retry_limit == 0) s.retry_limit = kDefaultRetryLimit;
  return st::kStatusOk;
}

constexpr InitMethods<State> kMethods{seed, nullptr, nullptr, nullptr};

int32_t raw(State& s, int32_t n, uint32_t* r) {
  if (!st::has_rdrand()) return st::kStatusNoRdrand;
  return nondeterministic_ints(source_of(s), n, r);
}

int32_t generate(void* stream, int32_t n, double* r, double a, double b) {
  if (!st::has_rdrand()) return st::kStatusNoRdrand;
  return nondeterministic_doubles(source_of(st::state_of<State>(stream)), n, r, a, b);
}
int32_t generate(void* stream, int32_t n, float* r, float a, float b) {
  if (!st::has_rdrand()) return st::kStatusNoRdrand;
  return nondeterministic_singles(source_of(st::state_of<State>(stream)), n, r, a, b);
}

}  // namespace

extern const BuiltinRow kRowNondeterm = {
    .properties = {.state_size = kStateSize, .state_words = 1, .may_yield_zero = 1, .word_size = 4, .bits = 32,
                   ZORN_BRNG_OPERATIONS(TRNG)}};

}  // namespace zorn::generators

using namespace zorn::generators;

ZORN_DEFINE_BRNG_EXPORTS(TRNG, dispatch_init(kMethods, method, stream, n, params))
