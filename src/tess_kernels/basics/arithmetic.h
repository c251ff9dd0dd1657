// Element-wise arithmetic for real and complex types: Add, Sub, Mul, Div, Sqr, Inv,
// LinearFrac. The real operations but LinearFrac are done in the element's own
// precision (they are exact roundings of one operation); complex products are carried
// without cancellation.
#pragma once

#include <bit>
#include <cmath>
#include <complex>
#include <cstdint>

#include "tess_kernels/basics/elementwise_loop.h"
#include "tess_kernels/basics/lanes.h"
#include "tess_kernels/complex/pair_arithmetic.h"
#include "tess_kernels/complex/pair_loop.h"
#include "tess_kernels/frame/double_double.h"
#include "tess_kernels/frame/op_adapters.h"

namespace zorn::tess::ops {

// a*b - c*d with one rounding of the exact products' difference.
inline double difference_of_products(double a, double b, double c, double d) {
  const DoubleDouble p = two_product(a, b), q = two_product(c, d);
  return (p.hi - q.hi) + (p.lo - q.lo);
}

inline std::complex<double> product(std::complex<double> x, std::complex<double> y) {
  const std::complex<double> r{difference_of_products(x.real(), y.real(), x.imag(), y.imag()),
                               difference_of_products(x.real(), y.imag(), -x.imag(), y.real())};
  if (std::isfinite(r.real()) && std::isfinite(r.imag())) return r;
  const bool finite = std::isfinite(x.real()) && std::isfinite(x.imag()) &&
                      std::isfinite(y.real()) && std::isfinite(y.imag());
  if (!finite) return x * y;  // infinities and NaNs: the C rules for complex products
  // An overflowing part: the extended range holds the products, so a part overflows
  // only when its exact value does.
  using W = long double;
  const W a = x.real(), b = x.imag(), c = y.real(), d = y.imag();
  return {static_cast<double>(a * c - b * d), static_cast<double>(a * d + b * c)};
}

// x / y for finite operands in extended precision, whose range holds every
// intermediate product, so that a quotient overflows only when its exact value does;
// infinities, NaNs and division by zero follow the C rules.
inline std::complex<double> quotient(std::complex<double> x, std::complex<double> y) {
  const bool finite = std::isfinite(x.real()) && std::isfinite(x.imag()) &&
                      std::isfinite(y.real()) && std::isfinite(y.imag());
  if (!finite || (y.real() == 0 && y.imag() == 0)) return x / y;
  using W = long double;
  const W a = x.real(), b = x.imag(), c = y.real(), d = y.imag();
  const W den = c * c + d * d;
  return {static_cast<double>((a * c + b * d) / den), static_cast<double>((b * c - a * d) / den)};
}

// Single precision parts: their products are exact in double and no sum or quotient of
// them overflows or underflows there, so each part is the exact value rounded to double
// and then to single. Infinities, NaNs and division by zero follow the C rules.
inline std::complex<double> product(std::complex<float> x, std::complex<float> y) {
  const double a = x.real(), b = x.imag(), c = y.real(), d = y.imag();
  const std::complex<double> r{a * c - b * d, a * d + b * c};
  if (std::isnan(r.real()) && std::isnan(r.imag())) {
    return std::complex<double>(x) * std::complex<double>(y);
  }
  return r;
}
inline std::complex<double> quotient(std::complex<float> x, std::complex<float> y) {
  const double a = x.real(), b = x.imag(), c = y.real(), d = y.imag();
  const bool finite = std::isfinite(a) && std::isfinite(b) && std::isfinite(c) && std::isfinite(d);
  if (!finite || (c == 0 && d == 0)) return std::complex<double>(x) / std::complex<double>(y);
  const double den = c * c + d * d;
  return {(a * c + b * d) / den, (b * c - a * d) / den};
}

// Stores the lanes' results in r; those that are infinite or NaN take the scalar form,
// which gives their status.
template <class V>
int finite_lanes(V& r, V value) {
  r = value;
  return lanes::lane_bits(lanes::not_finite(r));
}

template <class T>
int32_t complex_status(std::complex<T> r, std::complex<T> x, std::complex<T> y) {
  return complex_overflow(r, x, y);
}

// x + y and x - y: an overflow is their only status.
template <bool kSubtract>
struct AddOrSub : Elementwise<AddOrSub<kSubtract>, 2, 1> {
  template <class T>
  static int32_t eval(T x, T y, T& r) {
    r = kSubtract ? x - y : x + y;
    if constexpr (std::is_floating_point_v<T>) {
      return classify(kOverflow, r, false, x, y);
    } else {
      return complex_status(r, x, y);
    }
  }
  template <class V>
  static int lanes(V x, V y, V& r) {
    return finite_lanes(r, kSubtract ? lanes::sub(x, y) : lanes::add(x, y));
  }
};
using Add = AddOrSub<false>;
using Sub = AddOrSub<true>;

struct Mul : Elementwise<Mul, 2, 1>, cx::PairLoop<Mul> {
  using Elementwise<Mul, 2, 1>::vector_loop;
  using cx::PairLoop<Mul>::vector_loop;
  template <class R>
  static constexpr bool kPaired = true;
  template <class R>
  static int pairs(__m128d x0, __m128d x1, __m128d y0, __m128d y1, __m128d& r0, __m128d& r1) {
    return cx::product_pairs<R, false>(x0, x1, y0, y1, r0, r1);
  }
  template <class R>
  static int rare_pairs(__m128d x0, __m128d x1, __m128d y0, __m128d y1, int declined,
                        __m128d& r0, __m128d& r1) {
    if constexpr (std::is_same_v<R, float>) return declined;
    return cx::exact_products<false>(x0, x1, y0, y1, declined, r0, r1);
  }
  static bool quads(__m128 x01, __m128 x23, __m128 y01, __m128 y23, __m128& r01, __m128& r23) {
    return cx::product_quads<false>(x01, x23, y01, y23, r01, r23);
  }
  template <class T>
  static int32_t eval(T x, T y, T& r) {
    r = x * y;
    return classify(kOverflow, r, false, x, y);
  }
  template <class R>
  static int32_t eval(std::complex<R> x, std::complex<R> y, std::complex<R>& r) {
    r = std::complex<R>(product(x, y));
    return complex_status(r, x, y);
  }
  template <class V>
  static int lanes(V x, V y, V& r) {
    return finite_lanes(r, lanes::mul(x, y));
  }
};

struct MulByConj : cx::PairLoop<MulByConj> {
  template <class R>
  static constexpr bool kPaired = true;
  template <class R>
  static int pairs(__m128d x0, __m128d x1, __m128d y0, __m128d y1, __m128d& r0, __m128d& r1) {
    return cx::product_pairs<R, true>(x0, x1, y0, y1, r0, r1);
  }
  template <class R>
  static int rare_pairs(__m128d x0, __m128d x1, __m128d y0, __m128d y1, int declined,
                        __m128d& r0, __m128d& r1) {
    if constexpr (std::is_same_v<R, float>) return declined;
    return cx::exact_products<true>(x0, x1, y0, y1, declined, r0, r1);
  }
  static bool quads(__m128 x01, __m128 x23, __m128 y01, __m128 y23, __m128& r01, __m128& r23) {
    return cx::product_quads<true>(x01, x23, y01, y23, r01, r23);
  }
  template <class R>
  static int32_t eval(std::complex<R> x, std::complex<R> y, std::complex<R>& r) {
    r = std::complex<R>(product(x, std::conj(y)));
    return complex_status(r, x, y);
  }
};

struct Div : Elementwise<Div, 2, 1>, cx::PairLoop<Div> {
  using Elementwise<Div, 2, 1>::vector_loop;
  using cx::PairLoop<Div>::vector_loop;
  template <class R>
  static constexpr bool kPaired = true;
  template <class R>
  static int pairs(__m128d x0, __m128d x1, __m128d y0, __m128d y1, __m128d& r0, __m128d& r1) {
    if constexpr (std::is_same_v<R, float>) return cx::quotient_pairs(x0, x1, y0, y1, r0, r1);
    return cx::quotient_pairs_double(x0, x1, y0, y1, r0, r1);
  }
  template <class R>
  static int rare_pairs(__m128d x0, __m128d x1, __m128d y0, __m128d y1, int declined,
                        __m128d& r0, __m128d& r1) {
    if constexpr (std::is_same_v<R, float>) return declined;
    return cx::dekker_quotient_pairs(x0, x1, y0, y1, r0, r1);
  }
  static constexpr int kBlockPairs = cx::kQuotientBlockPairs;
  static bool block(const std::complex<double>* x, const std::complex<double>* y,
                    std::complex<double>* out) {
    return cx::quotient_block_double(x, y, out);
  }
  template <class T>
  static int32_t eval(T x, T y, T& r) {
    r = x / y;
    return classify(kDomain | kPole | kOverflow, r, y == 0, x, y);
  }
  template <class R>
  static int32_t eval(std::complex<R> x, std::complex<R> y, std::complex<R>& r) {
    r = std::complex<R>(quotient(x, y));
    return complex_status(r, x, y);
  }
  template <class V>
  static int lanes(V x, V y, V& r) {
    return finite_lanes(r, lanes::div(x, y));
  }
};

struct Sqr : Elementwise<Sqr, 1, 1> {
  template <class T>
  static int32_t eval(T x, T& r) {
    r = x * x;
    return classify(kOverflow, r, false, x);
  }
  template <class V>
  static int lanes(V x, V& r) {
    return finite_lanes(r, lanes::mul(x, x));
  }
};

struct Inv : Elementwise<Inv, 1, 1> {
  template <class T>
  static int32_t eval(T x, T& r) {
    r = T(1) / x;
    return classify(kPole, r, true, x);
  }
  template <class V>
  static int lanes(V x, V& r) {
    return finite_lanes(r, lanes::div(lanes::splat<V>(1), x));
  }
};

// (scalea a + shifta) / (scaleb b + shiftb) rounded once from a double-double quotient
// of double-double terms: within 0.5 ulp plus about 2^-45 ulp (the terms' exact
// products and sums; only a numerator or denominator that cancels to far below its
// products loses more). Single precision rounds the double-double quotient to odd
// double first, so that its rounding to single is the only one. Operands beyond
// 2^+-450 (where products could leave the range or the splits overflow) and zero
// denominators take extended precision, rounded twice.
struct LinearFrac {
  static constexpr double kSafeMagnitude = 0x1p450;

  template <class T>
  static int32_t eval(T a, T b, T scalea, T shifta, T scaleb, T shiftb, T& r) {
    const auto fused = [](double scale, double v, double shift) {
      const DoubleDouble p = two_product(scale, v), s = two_sum(p.hi, shift);
      return two_sum(s.hi, s.lo + p.lo);
    };
    const T operands[] = {a, b, scalea, shifta, scaleb, shiftb};
    bool safe = true;
    for (T v : operands) {
      const double m = std::fabs(static_cast<double>(v));
      safe = safe && (m == 0 || (m < kSafeMagnitude && m > 1 / kSafeMagnitude));
    }
    if (safe) {
      const DoubleDouble num = fused(scalea, a, shifta), den = fused(scaleb, b, shiftb);
      if (den.hi != 0) {
        r = round_once<T>(dd_divide(num, den));
        return classify(kDomain | kPole | kOverflow, r, false, a, b, scalea, shifta, scaleb,
                        shiftb);
      }
    }
    using W = long double;
    const W den = W(scaleb) * W(b) + W(shiftb);
    r = static_cast<T>((W(scalea) * W(a) + W(shifta)) / den);
    return classify(kDomain | kPole | kOverflow, r, den == 0, a, b, scalea, shifta, scaleb,
                    shiftb);
  }

 private:
  template <class T>
  static T round_once(DoubleDouble q) {
    if constexpr (std::is_same_v<T, double>) {
      return q.hi;
    } else {
      // Round to odd: a tail moves an even last bit one step toward it (a sticky bit).
      uint64_t bits = std::bit_cast<uint64_t>(q.hi);
      if (q.lo != 0 && (bits & 1) == 0 && std::isfinite(q.hi)) {
        bits += std::signbit(q.lo) == std::signbit(q.hi) ? 1 : -1;
      }
      return static_cast<float>(std::bit_cast<double>(bits));
    }
  }
};

}  // namespace zorn::tess::ops
