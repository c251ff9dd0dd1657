// Adapters that turn a scalar formula into an operation the kernel frame can run. A
// real function supplies `double value(double)` (or two arguments) and its status rule;
// single precision evaluates it in double and rounds once. A complex function supplies
// `std::complex<double> value(std::complex<double>)` and whether it reports overflow.
#pragma once

#include <complex>
#include <cstdint>

#include "tess_kernels/frame/status_rules.h"

namespace zorn::tess {

// An operation whose single and double precision loops differ in method.
template <class Single, class Double>
struct ByPrecision : Single, Double {
  using Single::vector_loop;
  using Double::vector_loop;
};

template <class Derived>
struct RealUnary {
  static bool is_pole(double) { return false; }
  template <class T>
  static int32_t eval(T x, T& r) {
    r = static_cast<T>(Derived::value(static_cast<double>(x)));
    return classify(Derived::kRule, r, Derived::is_pole(static_cast<double>(x)), x);
  }
};

template <class Derived>
struct RealBinary {
  static bool is_pole(double, double) { return false; }
  template <class T>
  static int32_t eval(T x, T y, T& r) {
    const double dx = static_cast<double>(x), dy = static_cast<double>(y);
    r = static_cast<T>(Derived::value(dx, dy));
    return classify(Derived::kRule, r, Derived::is_pole(dx, dy), x, y);
  }
};

template <class Derived>
struct ComplexUnary {
  template <class R>
  static int32_t eval(std::complex<R> x, std::complex<R>& r) {
    r = std::complex<R>(Derived::value(std::complex<double>(x)));
    return Derived::kReportsOverflow ? complex_overflow(r, x) : TESS_STATUS_OK;
  }
};

template <class Derived>
struct ComplexBinary {
  template <class R>
  static int32_t eval(std::complex<R> x, std::complex<R> y, std::complex<R>& r) {
    r = std::complex<R>(Derived::value(std::complex<double>(x), std::complex<double>(y)));
    return Derived::kReportsOverflow ? complex_overflow(r, x, y) : TESS_STATUS_OK;
  }
};

}  // namespace zorn::tess
