// Trigonometric family: Sin, Cos, Tan, SinCos; the pi-scaled Sinpi, Cospi, Tanpi,
// SinCospi; the degree functions Sind, Cosd, Tand.
#pragma once

#include <cmath>
#include <complex>

#include "tess_kernels/frame/op_adapters.h"
#include "tess_kernels/trig/double_ops.h"
#include "tess_kernels/trig/scaled_trig.h"
#include "tess_kernels/trig/single_ops.h"

namespace zorn::tess::ops {

// Real parts beyond the double fast path: the library's complex sine and cosine reduce
// them with too few digits of pi, so they are built from the exactly reduced real sine
// and cosine.
inline bool beyond_extended_reduction(std::complex<double> z) {
  return std::fabs(z.real()) > 65536.0 && std::isfinite(z.real()) && std::isfinite(z.imag());
}
// sin z (quarter_turns 0) or cos z = sin(z + pi/2) (quarter_turns 1) as
// sin x cosh y + i cos x sinh y, the real functions from the kernels' own routines.
inline std::complex<double> sin_cos_product(std::complex<double> z, int quarter_turns) {
  double s, c;
  sin_cos_double(z.real(), s, c);
  if (quarter_turns == 1) {
    const double t = s;
    s = c;
    c = -t;
  }
  const long double y = z.imag();
  return {static_cast<double>(s * std::cosh(y)), static_cast<double>(c * std::sinh(y))};
}

struct Sin : ByPrecision<SinSingle, SinDouble>, ComplexUnary<Sin> {
  using ComplexUnary<Sin>::eval;
  static constexpr bool kReportsOverflow = true;
  static std::complex<double> value(std::complex<double> z) {
    if (beyond_extended_reduction(z)) return sin_cos_product(z, 0);
    return extended_complex([](auto w) { return std::sin(w); }, z);
  }
};

struct Cos : ByPrecision<CosSingle, CosDouble>, ComplexUnary<Cos> {
  using ComplexUnary<Cos>::eval;
  static constexpr bool kReportsOverflow = true;
  static std::complex<double> value(std::complex<double> z) {
    if (beyond_extended_reduction(z)) return sin_cos_product(z, 1);
    return std::cos(z);
  }
};

struct Tan : ByPrecision<TanSingle, TanDouble>, ComplexUnary<Tan> {
  using ComplexUnary<Tan>::eval;
  static constexpr bool kReportsOverflow = false;
  static std::complex<double> value(std::complex<double> z) {
    return extended_complex([](auto w) { return std::tan(w); }, z);
  }
};

// Two results from one argument: r1 = f1(x), r2 = f2(x). The status is the first
// non-zero one of the two results.
template <class F1, class F2>
struct PairOf {
  template <class T>
  static int32_t eval(T x, T& r1, T& r2) {
    const int32_t s1 = F1::eval(x, r1);
    const int32_t s2 = F2::eval(x, r2);
    return s1 != TESS_STATUS_OK ? s1 : s2;
  }
};

// sin x and cos x, each as its own kernel gives it.
struct SinCos {
  static int32_t eval(float x, float& s, float& c) {
    CosSingle::one(x, c);
    return SinSingle::one(x, s);
  }
  static int32_t eval(double x, double& s, double& c) { return sin_cos_double(x, s, c); }
};

// Slot 1 is the high accuracy variant; the low accuracy and enhanced performance slots
// share the plain-product method. In single precision both methods round to the same
// results; the s Sinpi and s Cospi tables therefore put one kernel in slots 0 and 2.
template <int Slot>
struct Sinpi : RealUnary<Sinpi<Slot>> {
  static constexpr uint32_t kRule = kDomain;
  static constexpr bool kSingleLaIsEp = true;
  static double value(double x) { return scaled_sin(x, AngleUnit::kHalfTurns, Slot == 1); }
};
template <int Slot>
struct Cospi : RealUnary<Cospi<Slot>> {
  static constexpr uint32_t kRule = kDomain;
  static constexpr bool kSingleLaIsEp = true;
  static double value(double x) { return scaled_cos(x, AngleUnit::kHalfTurns, Slot == 1); }
};
template <int Slot>
struct Tanpi : RealUnary<Tanpi<Slot>> {
  static constexpr uint32_t kRule = kDomain | kPole;
  static constexpr bool kSingleLaIsEp = false;
  static double value(double x) { return scaled_tan(x, AngleUnit::kHalfTurns, Slot == 1); }
};
template <int Slot>
struct Sind : RealUnary<Sind<Slot>> {
  static constexpr uint32_t kRule = kDomain;
  static constexpr bool kSingleLaIsEp = false;
  static double value(double x) { return scaled_sin(x, AngleUnit::kDegrees, Slot == 1); }
};
template <int Slot>
struct Cosd : RealUnary<Cosd<Slot>> {
  static constexpr uint32_t kRule = kDomain;
  static constexpr bool kSingleLaIsEp = false;
  static double value(double x) { return scaled_cos(x, AngleUnit::kDegrees, Slot == 1); }
};
template <int Slot>
struct Tand : RealUnary<Tand<Slot>> {
  static constexpr uint32_t kRule = kDomain | kPole;
  static constexpr bool kSingleLaIsEp = false;
  static double value(double x) { return scaled_tan(x, AngleUnit::kDegrees, Slot == 1); }
};

struct SinCospi : PairOf<Sinpi<1>, Cospi<1>> {};

}  // namespace zorn::tess::ops
