// WH: 273 sub-generators, each the combination of four multiplicative congruential
// generators x_i = a_i x_i mod m_i (m_i prime near 2^24), after Wichmann and Hill:
//   u = frac(x1/m1 + x2/m2 + x3/m3 + x4/m4)
// Each output first advances all four components.
#include <emmintrin.h>

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

int32_t seed(State& s, const void* stream, int32_t n, const uint32_t* seeds) {
  const WhParameters& p = parameters_of(stream);
  for (int i = 0; i < 4; ++i) {
    s.x[i] = seed_word(n, seeds, i, 1) % p.m[i];
    if (s.x[i] == 0) s.x[i] = 1;
    s.a[i] = p.a[i];
  }
  return streams::kStatusOk;
}

int32_t leapfrog(State& s, const void* stream, uint32_t k, int32_t n_streams) {
  const WhParameters& p = parameters_of(stream);
  for (int i = 0; i < 4; ++i) {
    s.x[i] = streams::mul_mod(s.x[i], __pavoiPowMod(s.a[i], k, p.m[i]), p.m[i]);
    s.a[i] = __pavoiPowMod(s.a[i], static_cast<uint64_t>(n_streams), p.m[i]);
  }
  return streams::kStatusOk;
}

int32_t skip_ahead(State& s, const void* stream, uint64_t count) {
  const WhParameters& p = parameters_of(stream);
  for (int i = 0; i < 4; ++i) s.x[i] = streams::mul_mod(s.x[i], __pavoiPowMod(s.a[i], count, p.m[i]), p.m[i]);
  return streams::kStatusOk;
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

// Blocks of four outputs side by side in double lanes: lane l of component i holds x_i
// after l + 1 advances, and every lane steps by a_i^4 mod m_i, so the chains of
// products are independent. All values stay below 2^49 and every operation is exact:
// the product p = s x, the quotient estimate q = trunc(p / m) (off by at most one), and
// p - q m, brought into [0, m) by one conditional addition or subtraction of m.
constexpr int32_t kWhLanes = 4;
constexpr int32_t kWhPairs = kWhLanes / 2;

struct Lanes {
  __m128d x[4][kWhPairs];  // component, lanes (2k, 2k + 1)
};

inline __m128d step_lanes(__m128d x, __m128d step, __m128d m, __m128d r) {
  const __m128d p = _mm_mul_pd(x, step);
  const __m128d q = _mm_cvtepi32_pd(_mm_cvttpd_epi32(_mm_mul_pd(p, r)));
  __m128d v = _mm_sub_pd(p, _mm_mul_pd(q, m));
  v = _mm_add_pd(v, _mm_and_pd(_mm_cmplt_pd(v, _mm_setzero_pd()), m));
  return _mm_sub_pd(v, _mm_and_pd(_mm_cmpge_pd(v, m), m));
}

// Advances the state by n outputs. A sink receives each block of four outputs as lanes
// (block(t, lanes)) and each output of the tail as four values (one(t, x)).
template <typename Sink>
void advance(State& s, const WhParameters& p, int32_t n, Sink& sink) {
  uint32_t x[4] = {s.x[0], s.x[1], s.x[2], s.x[3]};
  int32_t t = 0;
  if (n >= 2 * kWhLanes) {
    Lanes lanes;
    __m128d step[4], m[4], r[4];
    for (int i = 0; i < 4; ++i) {
      uint32_t v[kWhLanes], a_power = 1;
      for (int l = 0; l < kWhLanes; ++l) {
        v[l] = x[i] = mul_mod_reciprocal(s.a[i], x[i], p.m[i], p.r[i]);
        a_power = mul_mod_reciprocal(s.a[i], a_power, p.m[i], p.r[i]);
      }
      for (int h = 0; h < kWhPairs; ++h) lanes.x[i][h] = _mm_set_pd(v[2 * h + 1], v[2 * h]);
      step[i] = _mm_set1_pd(a_power);
      m[i] = _mm_set1_pd(p.m[i]);
      r[i] = _mm_set1_pd(p.r[i]);
    }
    for (;;) {
      sink.block(t, lanes);
      t += kWhLanes;
      if (t + kWhLanes > n) break;
      for (int i = 0; i < 4; ++i)
        for (int h = 0; h < kWhPairs; ++h) lanes.x[i][h] = step_lanes(lanes.x[i][h], step[i], m[i], r[i]);
    }
    // The conversion instruction, unlike a cast, is defined for any value a damaged
    // state could have produced.
    for (int i = 0; i < 4; ++i)
      x[i] = static_cast<uint32_t>(_mm_cvttsd_si64(_mm_unpackhi_pd(lanes.x[i][kWhPairs - 1], lanes.x[i][kWhPairs - 1])));
  }
  for (; t < n; ++t) {
    for (int i = 0; i < 4; ++i) x[i] = mul_mod_reciprocal(s.a[i], x[i], p.m[i], p.r[i]);
    sink.one(t, x);
  }
  for (int i = 0; i < 4; ++i) s.x[i] = x[i];
}

// u = ((x1 r1 + x2 r2) + x3 r3) + x4 r4 less its integer part, in [0, 1).
inline double combine(const uint32_t* x, const WhParameters& p) {
  const double u = ((x[0] * p.r[0] + x[1] * p.r[1]) + x[2] * p.r[2]) + x[3] * p.r[3];
  return u - static_cast<double>(static_cast<int64_t>(u));
}

// The same, for two outputs at once.
inline __m128d combine(const __m128d* x, const WhParameters& p) {
  __m128d u = _mm_add_pd(_mm_mul_pd(x[0], _mm_set1_pd(p.r[0])), _mm_mul_pd(x[1], _mm_set1_pd(p.r[1])));
  u = _mm_add_pd(u, _mm_mul_pd(x[2], _mm_set1_pd(p.r[2])));
  u = _mm_add_pd(u, _mm_mul_pd(x[3], _mm_set1_pd(p.r[3])));
  return _mm_sub_pd(u, _mm_cvtepi32_pd(_mm_cvttpd_epi32(u)));
}

// Reals u (b - a) + a, computed in double.
template <typename Real>
struct RealSink {
  Real* r;
  const WhParameters& p;
  double low, width;
  void one(int32_t t, const uint32_t* x) { r[t] = static_cast<Real>(combine(x, p) * width + low); }
  void block(int32_t t, const Lanes& lanes) {
    for (int h = 0; h < kWhPairs; ++h) {
      const __m128d half[4] = {lanes.x[0][h], lanes.x[1][h], lanes.x[2][h], lanes.x[3][h]};
      const __m128d v = _mm_add_pd(_mm_mul_pd(combine(half, p), _mm_set1_pd(width)), _mm_set1_pd(low));
      if constexpr (sizeof(Real) == sizeof(double))
        _mm_storeu_pd(r + t + 2 * h, v);
      else
        _mm_storel_pi(reinterpret_cast<__m64*>(r + t + 2 * h), _mm_cvtpd_ps(v));
    }
  }
};

// Four 32-bit words per output: x1, x2, x3, x4 after the advance.
struct WordSink {
  uint32_t* r;
  void one(int32_t t, const uint32_t* x) { std::copy(x, x + 4, r + 4 * t); }
  void block(int32_t t, const Lanes& lanes) {
    for (int h = 0; h < kWhPairs; ++h) {
      const __m128i c01 = _mm_unpacklo_epi32(_mm_cvttpd_epi32(lanes.x[0][h]), _mm_cvttpd_epi32(lanes.x[1][h]));
      const __m128i c23 = _mm_unpacklo_epi32(_mm_cvttpd_epi32(lanes.x[2][h]), _mm_cvttpd_epi32(lanes.x[3][h]));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(r + 4 * (t + 2 * h)), _mm_unpacklo_epi64(c01, c23));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(r + 4 * (t + 2 * h + 1)), _mm_unpackhi_epi64(c01, c23));
    }
  }
};

template <typename Real>
int32_t generate(void* stream, int32_t n, Real* r, Real a, Real b) {
  const WhParameters& p = parameters_of(stream);
  RealSink<Real> sink{r, p, a, double{b} - double{a}};
  if (n > 0) advance(streams::state_of<State>(stream), p, n, sink);
  return streams::kStatusOk;
}

}  // namespace

// The evolving part is the four current values (16 bytes): copy-state keeps the
// destination's multipliers, as for the other congruential generators.
extern const BuiltinRow kRowWH = {
    .properties = {.state_size = kStateSize, .state_words = 4, .may_yield_zero = 1, .word_size = 16, .bits = 24,
                   ZORN_BRNG_OPERATIONS(WH)},
    .sub_generators = kWhSubGenerators,
    .evolving_bytes = 4 * 4};  // the four current values; the multipliers stay

}  // namespace zorn::generators

using namespace zorn::generators;

extern "C" {

int32_t __pavoBRngWHInitStream(uint32_t method, void* stream, int32_t n, const void* params) {
  return dispatch_init(kMethods, method, stream, n, params);
}
int32_t __pavosBRngWH(void* stream, int32_t n, float* r, float a, float b) { return generate(stream, n, r, a, b); }
int32_t __pavodBRngWH(void* stream, int32_t n, double* r, double a, double b) { return generate(stream, n, r, a, b); }

int32_t __pavoiBRngWH(void* stream, int32_t n, uint32_t* r) {
  WordSink sink{r};
  if (n > 0) advance(zorn::streams::state_of<State>(stream), parameters_of(stream), n, sink);
  return zorn::streams::kStatusOk;
}

}  // extern "C"
