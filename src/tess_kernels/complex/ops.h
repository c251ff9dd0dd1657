// Complex-only functions: Arg, Conj, CIS. None of them reports.
#pragma once

#include <cmath>
#include <complex>

namespace zorn::tess::ops {

struct Arg {
  template <class R>
  static int32_t eval(std::complex<R> x, R& r) {
    r = static_cast<R>(std::atan2(static_cast<double>(x.imag()), static_cast<double>(x.real())));
    return 0;
  }
};

struct Conj {
  template <class R>
  static int32_t eval(std::complex<R> x, std::complex<R>& r) {
    r = std::conj(x);
    return 0;
  }
};

// cos x + i sin x of a real x.
struct CIS {
  template <class R>
  static int32_t eval(R x, std::complex<R>& r) {
    const double d = x;
    r = std::complex<R>(static_cast<R>(std::cos(d)), static_cast<R>(std::sin(d)));
    return 0;
  }
};

}  // namespace zorn::tess::ops
