// Rounding to integers and fractional parts: Ceil, Floor, Round, Trunc, Rint, NearbyInt,
// Frac, Modf. Exact in every rounding mode without SSE4.1's round instructions: adding
// and subtracting 2^(p-1) (p the precision, 2^52 for doubles, 2^23 for floats) leaves an
// integer within 1 of an argument below 2^(p-1) in magnitude, rounded in the caller's
// mode; a compare then fixes the direction. Larger arguments, infinities and NaNs are
// integers already (NaNs come back quiet). Every result carries the sign of its
// argument, so -0 stays -0 and a directed mode's -0 from 2^(p-1) - 2^(p-1) is cleared.
// Only Rint raises the inexact flag, as IEEE 754's roundToIntegralExact does.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

#include "tess_kernels/basics/elementwise_loop.h"
#include "tess_kernels/basics/lanes.h"
#include "zorn/tess.h"

namespace zorn::tess::ops {

namespace rounding {
using namespace lanes;

// 2^(p-1): from it on every value is an integer.
template <class V>
V integral_threshold() {
  using T = Element<V>;
  return splat<V>(T(1) / std::numeric_limits<T>::epsilon());
}

// trunc(a) for a = |x| below the threshold.
template <class V>
V truncated_magnitude(V a) {
  const V shifter = integral_threshold<V>();
  const V near = sub(add(a, shifter), shifter);
  return sub(near, bit_and(less(a, near), splat<V>(1)));
}

// The rounded magnitude r with the sign of x where |x| is below the threshold; x itself
// (NaNs quieted) elsewhere.
template <class V>
V with_sign_of(V x, V r) {
  const V small = less(magnitude(x), integral_threshold<V>());
  return select(small, bit_or(magnitude(r), sign_bits(x)), add(x, splat<V>(0)));
}

// x rounded in the caller's mode: the shifter takes x's sign, so that a directed mode
// rounds x and not |x|.
template <class V>
V rounded_in_mode(V x) {
  const V shifter = bit_or(integral_threshold<V>(), sign_bits(x));
  return with_sign_of(x, sub(add(x, shifter), shifter));
}

// |x| - trunc(|x|) with the sign of x: 0 for large arguments and infinities, NaN for NaN.
template <class V>
V fraction(V x) {
  const V a = magnitude(x);
  const V small = less(a, integral_threshold<V>());
  const V nan = bit_and(unordered(x, x), add(x, x));
  const V f = select(small, sub(a, truncated_magnitude(a)), nan);
  return bit_or(magnitude(f), sign_bits(x));
}

}  // namespace rounding

// An exact rounding, Derived::vector(x) on a register; one element runs it in every
// lane (the compiler's inline roundings of the C functions are not exact in the directed
// modes), and no lane needs the scalar form.
template <class Derived, bool kRaisesInexact = false>
struct Rounding : Elementwise<Derived, 1, 1> {
  static constexpr bool kQuietInexact = !kRaisesInexact;
  template <class T>
  static int32_t eval(T x, T& r) {
    r = lanes::first_lane(Derived::vector(lanes::splat<lanes::Register<T>>(x)));
    return TESS_STATUS_OK;
  }
  template <class V>
  static int lanes(V x, V& r) {
    r = Derived::vector(x);
    return 0;
  }
};

struct Trunc : Rounding<Trunc> {
  template <class V> static V vector(V x) {
    return rounding::with_sign_of(x, rounding::truncated_magnitude(lanes::magnitude(x)));
  }
};

// Negative arguments with a fraction round away from zero, positive ones toward it.
struct Floor : Rounding<Floor> {
  template <class V> static V vector(V x) {
    using namespace rounding;
    const V a = magnitude(x), t = truncated_magnitude(a);
    const V up = bit_and(less(t, a), less(x, splat<V>(0)));
    return with_sign_of(x, add(t, bit_and(up, splat<V>(1))));
  }
};
struct Ceil : Rounding<Ceil> {
  template <class V> static V vector(V x) {
    using namespace rounding;
    const V a = magnitude(x), t = truncated_magnitude(a);
    const V up = bit_and(less(t, a), less(splat<V>(0), x));
    return with_sign_of(x, add(t, bit_and(up, splat<V>(1))));
  }
};

// Halfway cases away from zero; a - t is exact.
struct Round : Rounding<Round> {
  template <class V> static V vector(V x) {
    using namespace rounding;
    const V a = magnitude(x), t = truncated_magnitude(a);
    const V up = not_less(sub(a, t), splat<V>(0.5));
    return with_sign_of(x, add(t, bit_and(up, splat<V>(1))));
  }
};

// In the caller's rounding mode (the kernel's frame leaves it alone).
struct Rint : Rounding<Rint, true> {
  template <class V> static V vector(V x) { return rounding::rounded_in_mode(x); }
};
struct NearbyInt : Rounding<NearbyInt> {
  template <class V> static V vector(V x) { return rounding::rounded_in_mode(x); }
};

struct Frac : Rounding<Frac> {
  template <class V> static V vector(V x) { return rounding::fraction(x); }
};

// r1 the integral part, r2 the fractional part, both with the sign of x.
struct Modf : Elementwise<Modf, 1, 2> {
  static constexpr bool kQuietInexact = true;
  template <class T>
  static int32_t eval(T x, T& r1, T& r2) {
    Trunc::eval(x, r1);
    return Frac::eval(x, r2);
  }
  template <class V>
  static int lanes(V x, V& r1, V& r2) {
    r1 = Trunc::vector(x);
    r2 = rounding::fraction(x);
    return 0;
  }
};

}  // namespace zorn::tess::ops
