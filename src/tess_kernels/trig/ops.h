// Trigonometric family: Sin, Cos, Tan, SinCos; the pi-scaled Sinpi, Cospi, Tanpi,
// SinCospi; the degree functions Sind, Cosd, Tand.
#pragma once

#include <cmath>
#include <complex>

#include "tess_kernels/frame/op_adapters.h"
#include "tess_kernels/trig/scaled_trig.h"

namespace zorn::tess::ops {

struct Sin : RealUnary<Sin>, ComplexUnary<Sin> {
  using RealUnary<Sin>::eval;
  using ComplexUnary<Sin>::eval;
  static constexpr uint32_t kRule = kDomain;
  static constexpr bool kReportsOverflow = true;
  static double value(double x) { return std::sin(x); }
  static std::complex<double> value(std::complex<double> z) {
    return extended_complex([](auto w) { return std::sin(w); }, z);
  }
};

struct Cos : RealUnary<Cos>, ComplexUnary<Cos> {
  using RealUnary<Cos>::eval;
  using ComplexUnary<Cos>::eval;
  static constexpr uint32_t kRule = kDomain;
  static constexpr bool kReportsOverflow = true;
  static double value(double x) { return std::cos(x); }
  static std::complex<double> value(std::complex<double> z) { return std::cos(z); }
};

struct Tan : RealUnary<Tan>, ComplexUnary<Tan> {
  using RealUnary<Tan>::eval;
  using ComplexUnary<Tan>::eval;
  static constexpr uint32_t kRule = kDomain;
  static constexpr bool kReportsOverflow = false;
  static double value(double x) { return std::tan(x); }
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

struct SinCos : PairOf<Sin, Cos> {};

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
