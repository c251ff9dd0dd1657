// Fmod and Remainder, exact for every pair: x - q y with q = trunc(x/y) (Fmod) or the
// integer nearest x/y, ties to even (Remainder), the quotient taken exactly.
//
// The vector path takes |x| and |y| inside [2^(emin + 2p), 2^(emax - p)] with a computed
// quotient below 2^(p-1) (p the precision). There q = trunc(fl(|x|/|y|)) is floor(|x|/|y|)
// or one more; q|y| = h + e exactly by Dekker's product (no fused multiply-add on the
// baseline), |x| - h is exact by Sterbenz's lemma (h lies within a factor 2 of |x|), and
// (|x| - h) - e is exact because the true value, a multiple of the smaller ulp below |y|
// in magnitude, is representable. A negative difference takes |y| back. The range keeps
// every partial product of Dekker's product normal, also with flush-to-zero. Other lanes
// (zeros, subnormals, huge quotients, infinities, NaNs) take the C library's exact long
// division, which also gives the domain statuses.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

#include "tess_kernels/basics/elementwise_loop.h"
#include "tess_kernels/basics/lanes.h"
#include "tess_kernels/basics/rounding.h"
#include "tess_kernels/frame/status_rules.h"

namespace zorn::tess::ops {

namespace remainders {
using namespace lanes;

template <class T>
constexpr T power_of_two(int e) {
  T r = 1;
  for (; e > 0; --e) r *= 2;
  for (; e < 0; ++e) r /= 2;
  return r;
}

// a b - h exactly, for h = fl(a b), by Veltkamp's splitting into halves of p/2 bits.
template <class V>
V product_error(V a, V b, V h) {
  using T = Element<V>;
  constexpr int kHalf = (std::numeric_limits<T>::digits + 1) / 2;
  const V split = splat<V>(power_of_two<T>(kHalf) + 1);
  const auto halves = [&](V v, V& hi, V& lo) {
    const V c = mul(v, split);
    hi = sub(c, sub(c, v));
    lo = sub(v, hi);
  };
  V ah, al, bh, bl;
  halves(a, ah, al);
  halves(b, bh, bl);
  return add(add(add(sub(mul(ah, bh), h), mul(ah, bl)), mul(al, bh)), mul(al, bl));
}

// |x| - q |y| in [0, |y|) and the quotient q = floor(|x|/|y|), for the lanes set in `fast`.
template <class V>
struct Division {
  V r, q, fast;
};
template <class V>
Division<V> divide_magnitudes(V x, V y) {
  using T = Element<V>;
  using L = std::numeric_limits<T>;
  const V low = splat<V>(power_of_two<T>(L::min_exponent + 2 * L::digits));
  const V high = splat<V>(power_of_two<T>(L::max_exponent - L::digits));
  const V quotient_limit = rounding::integral_threshold<V>();
  const V ax = magnitude(x), ay = magnitude(y);
  const V qd = div(ax, ay);
  const V fast = bit_and(bit_and(bit_and(not_less(ax, low), less(ax, high)),
                                 bit_and(not_less(ay, low), less(ay, high))),
                         less(qd, quotient_limit));
  const V q = rounding::truncated_magnitude(qd);
  const V h = mul(q, ay);
  const V r = sub(sub(ax, h), product_error(q, ay, h));
  const V over = less(r, splat<V>(0));
  return {add(r, bit_and(over, ay)), sub(q, bit_and(over, splat<V>(1))), fast};
}

template <class V>
int slow_lanes(V fast) {
  return lane_bits(fast) ^ ((1 << kLanes<Element<V>>) - 1);
}

}  // namespace remainders

// The sign of x on |x| mod |y|. A NaN from non-NaN arguments (y = 0, x infinite) is a
// domain error, as in Remainder.
struct Fmod : ScalarRule<Fmod, kDomain> {
  template <class T>
  static T scalar(T x, T y) { return std::fmod(x, y); }
  template <class V>
  static int lanes(V x, V y, V& r) {
    using namespace remainders;
    const Division<V> d = divide_magnitudes(x, y);
    r = bit_or(magnitude(d.r), sign_bits(x));
    return slow_lanes(d.fast);
  }
};

// |x| mod |y| less |y| where that is nearer zero (on a tie, where q is odd), with the
// sign of x applied to the difference.
struct Remainder : ScalarRule<Remainder, kDomain> {
  template <class T>
  static T scalar(T x, T y) { return std::remainder(x, y); }
  template <class V>
  static int lanes(V x, V y, V& r) {
    using namespace remainders;
    const Division<V> d = divide_magnitudes(x, y);
    const V ay = magnitude(y), twice = add(d.r, d.r);
    const V half_q = mul(d.q, splat<V>(0.5));
    const V odd = bit_xor(equal(half_q, rounding::truncated_magnitude(half_q)), equal(ay, ay));
    const V back = bit_or(less(ay, twice), bit_and(equal(twice, ay), odd));
    r = bit_xor(sub(d.r, bit_and(back, ay)), sign_bits(x));
    return slow_lanes(d.fast);
  }
};

}  // namespace zorn::tess::ops
