// WH: 273 sub-generators, each the combination of four multiplicative congruential
// generators x_i = a_i x_i mod m_i (m_i prime near 2^24), after Wichmann and Hill:
//   u = frac(x1/m1 + x2/m2 + x3/m3 + x4/m4)
// Each output first advances all four components.
#include <algorithm>

#include "generators/builtin_rows.h"
#include "generators/data/wh_parameters.h"
#include "generators/init_dispatch.h"
#include "generators/real_output.h"
#include "streams/modular_arithmetic.h"

namespace zorn::generators {
namespace {

struct State {
  uint32_t x[4];  // current values, 1 .. m_i - 1
  uint32_t a[4];  // current multipliers (powers of the row's after leapfrog)
};
constexpr int32_t kStateSize = 48;
static_assert(sizeof(State) + streams::kStreamHeaderBytes <= kStateSize);

struct Output {
  uint32_t x[4];
};

// The row of the stream's sub-generator (identifier 0x500000 + j or legacy 4 + j).
const WhParameters& parameters_of(const void* stream) {
  int32_t row = 0, sub = 0;
  __pavoGetBrngBaseOffset(streams::header_of(stream)->brng_id, &row, &sub);
  return kWhParameters[std::clamp(sub, 0, kWhSubGenerators - 1)];
}

void seed(State& s, const void* stream, int32_t n, const uint32_t* seeds) {
  const WhParameters& p = parameters_of(stream);
  for (int i = 0; i < 4; ++i) {
    s.x[i] = seed_word(n, seeds, i, 1) % p.m[i];
    if (s.x[i] == 0) s.x[i] = 1;
    s.a[i] = p.a[i];
  }
}

void leapfrog(State& s, const void* stream, uint32_t k, int32_t n_streams) {
  const WhParameters& p = parameters_of(stream);
  for (int i = 0; i < 4; ++i) {
    s.x[i] = streams::mul_mod(s.x[i], __pavoiPowMod(s.a[i], k, p.m[i]), p.m[i]);
    s.a[i] = __pavoiPowMod(s.a[i], static_cast<uint64_t>(n_streams), p.m[i]);
  }
}

void skip_ahead(State& s, const void* stream, uint64_t count) {
  const WhParameters& p = parameters_of(stream);
  for (int i = 0; i < 4; ++i) s.x[i] = streams::mul_mod(s.x[i], __pavoiPowMod(s.a[i], count, p.m[i]), p.m[i]);
}

constexpr InitMethods<State> kMethods{seed, leapfrog, skip_ahead, nullptr};

// Exact a x mod m for a x < 2^53: the quotient estimate from the reciprocal is off by
// at most one either way and is corrected. Unsigned throughout, so that a state loaded
// from a damaged image gives wrong numbers, never undefined behaviour.
inline uint32_t mul_mod_reciprocal(uint32_t a, uint32_t x, uint32_t m, double r) {
  const uint64_t p = uint64_t{a} * x;
  const uint64_t q = static_cast<uint64_t>(static_cast<double>(p) * r);
  uint64_t rem = p - q * m;
  if (static_cast<int64_t>(rem) < 0)
    rem += m;
  else if (rem >= m)
    rem -= m;
  return static_cast<uint32_t>(rem);
}

// Outputs computed side by side: lane l of component i holds x_i after l + 1 advances
// and every lane steps by a_i^kWhLanes mod m_i, so the chains of products are
// independent. Counts that do not fill a block finish one output at a time.
constexpr int32_t kWhLanes = 8;

// Advances the state by n outputs, handing each new (x1, x2, x3, x4) to emit(t, x).
template <typename Emit>
void advance(State& s, const WhParameters& p, int32_t n, Emit&& emit) {
  uint32_t x[4] = {s.x[0], s.x[1], s.x[2], s.x[3]};
  int32_t t = 0;
  if (n >= 2 * kWhLanes) {
    uint32_t lane[4][kWhLanes], step[4];
    for (int i = 0; i < 4; ++i) {
      uint32_t v = x[i], a_power = 1;
      for (int l = 0; l < kWhLanes; ++l) {
        lane[i][l] = v = mul_mod_reciprocal(s.a[i], v, p.m[i], p.r[i]);
        a_power = mul_mod_reciprocal(s.a[i], a_power, p.m[i], p.r[i]);
      }
      step[i] = a_power;
    }
    for (; t + kWhLanes <= n; t += kWhLanes) {
      for (int l = 0; l < kWhLanes; ++l) {
        const uint32_t out[4] = {lane[0][l], lane[1][l], lane[2][l], lane[3][l]};
        emit(t + l, out);
      }
      for (int i = 0; i < 4; ++i) {
        x[i] = lane[i][kWhLanes - 1];
        for (int l = 0; l < kWhLanes; ++l) lane[i][l] = mul_mod_reciprocal(step[i], lane[i][l], p.m[i], p.r[i]);
      }
    }
  }
  for (; t < n; ++t) {
    for (int i = 0; i < 4; ++i) x[i] = mul_mod_reciprocal(s.a[i], x[i], p.m[i], p.r[i]);
    emit(t, x);
  }
  for (int i = 0; i < 4; ++i) s.x[i] = x[i];
}

// u = ((x1 r1 + x2 r2) + x3 r3) + x4 r4 less its integer part, in [0, 1).
inline double combine(const uint32_t* x, const WhParameters& p) {
  const double u = ((x[0] * p.r[0] + x[1] * p.r[1]) + x[2] * p.r[2]) + x[3] * p.r[3];
  return u - static_cast<double>(static_cast<int64_t>(u));
}

template <typename Real>
int32_t generate(void* stream, int32_t n, Real* r, Real a, Real b) {
  State& s = streams::state_of<State>(stream);
  const WhParameters& p = parameters_of(stream);
  const double low = a, width = double{b} - double{a};
  if (n > 0)
    advance(s, p, n, [&](int32_t t, const uint32_t* x) { r[t] = static_cast<Real>(combine(x, p) * width + low); });
  return streams::kStatusOk;
}

}  // namespace

// The evolving part is the four current values (16 bytes): copy-state keeps the
// destination's multipliers, as for the other congruential generators.
extern const BuiltinRow kRowWH = {
    {kStateSize, 4, 1, 16, 24, __pavoBRngWHInitStream, __pavosBRngWH, __pavodBRngWH, __pavoiBRngWH},
    kWhSubGenerators,
    4 * 4};

}  // namespace zorn::generators

using namespace zorn::generators;

extern "C" {

int32_t __pavoBRngWHInitStream(uint32_t method, void* stream, int32_t n, const void* params) {
  return dispatch_init(kMethods, method, stream, n, params);
}
int32_t __pavosBRngWH(void* stream, int32_t n, float* r, float a, float b) { return generate(stream, n, r, a, b); }
int32_t __pavodBRngWH(void* stream, int32_t n, double* r, double a, double b) { return generate(stream, n, r, a, b); }

// Four 32-bit words per output: x1, x2, x3, x4 after the advance.
int32_t __pavoiBRngWH(void* stream, int32_t n, uint32_t* r) {
  if (n > 0)
    advance(zorn::streams::state_of<State>(stream), parameters_of(stream), n,
            [r](int32_t t, const uint32_t* x) { std::copy(x, x + 4, r + 4 * t); });
  return zorn::streams::kStatusOk;
}

}  // extern "C"
