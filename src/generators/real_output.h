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

namespace zorn::generators {

struct LinearMap {
  double scale;
  double offset;
  LinearMap(double a, double b, double reciprocal_range) : scale((b - a) * reciprocal_range), offset(a) {}
  double operator()(double w) const { return w * scale + offset; }
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

}  // namespace zorn::generators
