// Exponential and logarithm family: Exp, Exp2, Exp10, Expm1, Ln, Log2, Log10, Log1p,
// Logb (real) and Exp, Ln, Log10 (complex).
#pragma once

#include <cmath>
#include <complex>

#include "tess_kernels/exp_log/exp_double.h"
#include "tess_kernels/exp_log/exp_single.h"
#include "tess_kernels/frame/op_adapters.h"

namespace zorn::tess::ops {

struct Exp : ExpSingle, ExpDouble, ComplexUnary<Exp> {
  using ComplexUnary<Exp>::eval;
  using ExpDouble::eval;
  static constexpr bool kReportsOverflow = true;
  static std::complex<double> value(std::complex<double> z) {
    return extended_complex([](auto w) { return std::exp(w); }, z);
  }
};

struct Exp2 : RealUnary<Exp2> {
  static constexpr uint32_t kRule = kOverflow | kUnderflow;
  static double value(double x) { return std::exp2(x); }
};

struct Exp10 : RealUnary<Exp10> {
  static constexpr uint32_t kRule = kOverflow | kUnderflow;
  // 10^x = 2^(x log2 10) with the product carried in extended precision.
  static double value(double x) {
    return static_cast<double>(std::exp2(static_cast<long double>(x) * 3.321928094887362347870319429489390175864831L));
  }
};

struct Expm1 : RealUnary<Expm1> {
  static constexpr uint32_t kRule = kOverflow;
  static double value(double x) { return std::expm1(x); }
};

struct Ln : RealUnary<Ln>, ComplexUnary<Ln> {
  using RealUnary<Ln>::eval;
  using ComplexUnary<Ln>::eval;
  static constexpr uint32_t kRule = kDomain | kPole;
  static constexpr bool kReportsOverflow = false;
  static double value(double x) { return std::log(x); }
  static std::complex<double> value(std::complex<double> z) { return std::log(z); }
};

struct Log2 : RealUnary<Log2> {
  static constexpr uint32_t kRule = kDomain | kPole;
  static double value(double x) { return std::log2(x); }
};

struct Log10 : RealUnary<Log10>, ComplexUnary<Log10> {
  using RealUnary<Log10>::eval;
  using ComplexUnary<Log10>::eval;
  static constexpr uint32_t kRule = kDomain | kPole;
  static constexpr bool kReportsOverflow = false;
  static double value(double x) { return std::log10(x); }
  static std::complex<double> value(std::complex<double> z) {
    // log10 z = log z / ln 10, with both parts divided by the extended constant.
    const std::complex<double> l = std::log(z);
    constexpr long double kLn10 = 2.302585092994045684017991454684364208L;
    return {static_cast<double>(l.real() / kLn10), static_cast<double>(l.imag() / kLn10)};
  }
};

// Single precision Log1p reports nothing; double reports its pole and its domain.
struct Log1p {
  static int32_t eval(float x, float& r) {
    r = static_cast<float>(std::log1p(static_cast<double>(x)));
    return TESS_STATUS_OK;
  }
  static int32_t eval(double x, double& r) {
    r = std::log1p(x);
    return classify(kDomain | kPole, r, false, x);
  }
};

// The unbiased exponent; zero has none and is reported as a domain error.
struct Logb {
  template <class T>
  static int32_t eval(T x, T& r) {
    r = std::logb(x);
    return x == 0 ? TESS_STATUS_DOMAIN : TESS_STATUS_OK;
  }
};

}  // namespace zorn::tess::ops
