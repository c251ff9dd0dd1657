// Powers and roots: Sqrt, InvSqrt, Cbrt, InvCbrt, Pow2o3, Pow3o2, Pow, Powr, Powx, Hypot.
// Double precision roots are evaluated in extended precision and rounded once.
#pragma once

#include <cmath>
#include <complex>

#include "tess_kernels/frame/op_adapters.h"

namespace zorn::tess::ops {

struct Sqrt : RealUnary<Sqrt>, ComplexUnary<Sqrt> {
  using RealUnary<Sqrt>::eval;
  using ComplexUnary<Sqrt>::eval;
  static constexpr uint32_t kRule = kDomain;
  static constexpr bool kReportsOverflow = false;
  static double value(double x) { return std::sqrt(x); }
  static std::complex<double> value(std::complex<double> z) { return std::sqrt(z); }
};

struct InvSqrt : RealUnary<InvSqrt> {
  static constexpr uint32_t kRule = kDomain | kPole;
  static double value(double x) {
    return static_cast<double>(1.0L / std::sqrt(static_cast<long double>(x)));
  }
};

struct Cbrt : RealUnary<Cbrt> {
  static constexpr uint32_t kRule = kSilent;
  static double value(double x) { return std::cbrt(x); }
};

struct InvCbrt : RealUnary<InvCbrt> {
  static constexpr uint32_t kRule = kPole;
  static double value(double x) {
    return static_cast<double>(1.0L / std::cbrt(static_cast<long double>(x)));
  }
};

struct Pow2o3 : RealUnary<Pow2o3> {
  static constexpr uint32_t kRule = kSilent;
  static double value(double x) {
    const long double e = x;
    return static_cast<double>(std::cbrt(e * e));
  }
};

struct Pow3o2 : RealUnary<Pow3o2> {
  static constexpr uint32_t kRule = kDomain | kOverflow;
  static double value(double x) {
    const long double e = x;
    return static_cast<double>(e * std::sqrt(e));
  }
};

struct Hypot : RealBinary<Hypot> {
  static constexpr uint32_t kRule = kOverflow;
  static double value(double x, double y) { return std::hypot(x, y); }
};

// x^y with the C rules for special values. A zero base with a negative exponent is
// reported as a domain error; an overflowing finite power as an overflow.
struct Pow : ComplexBinary<Pow> {
  using ComplexBinary<Pow>::eval;
  static constexpr bool kReportsOverflow = true;
  template <class T>
  static int32_t eval(T x, T y, T& r) {
    r = static_cast<T>(std::pow(static_cast<double>(x), static_cast<double>(y)));
    if (x == 0 && y < 0) return TESS_STATUS_DOMAIN;
    return classify(kDomain | kOverflow, r, false, x, y);
  }
  static std::complex<double> value(std::complex<double> x, std::complex<double> y) {
    if (y == std::complex<double>(0.0)) return 1.0;
    if (x == std::complex<double>(0.0)) return 0.0;
    // exp(y log x) in extended precision: the error of the product y log x is
    // magnified by |y log x| in the result.
    const std::complex<long double> w = std::complex<long double>(y) * std::log(std::complex<long double>(x));
    return std::complex<double>(std::exp(w));
  }
};

// The general path of Powx: x^b with the rules of Pow.
struct Powx : Pow {};

// x^y defined as exp(y log x): negative bases, 0^0, inf^0 and 1^inf have no value.
struct Powr : RealBinary<Powr> {
  static constexpr uint32_t kRule = kDomain | kPole;
  static bool is_pole(double x, double y) { return x == 0 && y < 0; }
  static double value(double x, double y) {
    if (std::isnan(x) || std::isnan(y)) return x + y;
    if (x < 0) return NAN;
    if (y == 0 && (x == 0 || std::isinf(x))) return NAN;
    if (x == 1 && std::isinf(y)) return NAN;
    return std::pow(x, y);
  }
};

}  // namespace zorn::tess::ops
