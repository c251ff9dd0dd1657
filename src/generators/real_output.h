// Integer-to-interval conversions shared by the generators, and the loop that turns a
// generator's raw words into reals chunk by chunk.
//
// A generator's integer output w maps onto [a, b) as w x ((b - a) x c) + a, with c the
// reciprocal of its range; the scale is computed once per call and each value is one
// multiplication and one addition, never fused (the library is built with
// -ffp-contract=off). Single-precision results are computed in double and rounded.
#pragma once

#include <algorithm>
#include <cstdint>

#include "streams/status.h"
#include "streams/stream_object.h"

namespace zorn::generators {

struct LinearMap {
  double scale;
  double offset;
  LinearMap(double a, double b, double reciprocal_range) : scale((b - a) * reciprocal_range), offset(a) {}
  double operator()(double w) const { return w * scale + offset; }
};

// The counter-based generators read a 32-bit word w as signed and centre it on the
// interval: w' x ((b - a) x 2^-32) + (a + b) x 0.5, evaluated in the output's own
// precision (products rounded to Real before the addition), so that 0x80000000 gives a
// and 0x7FFFFFFF the largest value below b that the precision allows.
template <typename Real>
struct SignedWordMap {
  Real scale;
  Real offset;
  SignedWordMap(Real a, Real b) : scale((b - a) * Real(0x1p-32)), offset((a + b) * Real(0.5)) {}
  Real operator()(uint32_t w) const { return static_cast<Real>(static_cast<int32_t>(w)) * scale + offset; }
};

// Raw words are produced into a small buffer on the stack and converted from there, so
// that the raw generator runs in its block form whatever the output type.
constexpr int32_t kRealChunk = 512;

// raw(count, words) writes `count` raw words; convert(word) gives the real.
template <typename Word, typename Real, typename Raw, typename Convert>
void generate_reals(int32_t n, Real* r, Raw&& raw, Convert&& convert) {
  Word words[kRealChunk];
  while (n > 0) {
    const int32_t count = std::min(n, kRealChunk);
    raw(count, words);
    for (int32_t i = 0; i < count; ++i) r[i] = static_cast<Real>(convert(words[i]));
    r += count;
    n -= count;
  }
}

// Reals from a generator's 32-bit words raw(state, count, words), each mapped by `map`.
template <typename State, typename Real, typename RawFn, typename Map>
int32_t generate_words_mapped(void* stream, int32_t n, Real* r, RawFn& raw, const Map& map) {
  State& s = streams::state_of<State>(stream);
  generate_reals<uint32_t>(n, r, [&s, &raw](int32_t count, uint32_t* w) { raw(s, count, w); },
                           [&map](uint32_t w) { return map(w); });
  return streams::kStatusOk;
}

// Reals in [a, b) from a generator whose 32-bit words spread over [0, 1 / reciprocal_range).
template <typename State, typename Real, typename RawFn>
int32_t generate_mapped(void* stream, int32_t n, Real* r, Real a, Real b, double reciprocal_range,
                        RawFn raw) {
  return generate_words_mapped<State>(stream, n, r, raw, LinearMap(a, b, reciprocal_range));
}

// Reals in [a, b) from the signed words of a counter-based generator.
template <typename State, typename Real, typename RawFn>
int32_t generate_signed_mapped(void* stream, int32_t n, Real* r, Real a, Real b, RawFn raw) {
  return generate_words_mapped<State>(stream, n, r, raw, SignedWordMap<Real>(a, b));
}

}  // namespace zorn::generators
