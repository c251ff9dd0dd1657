// Complex-only functions: Arg, Conj, CIS. None of them reports.
#pragma once

#include <cmath>
#include <complex>

#include "tess_kernels/trig/double_ops.h"

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

// cos x + i sin x of a real x, from the exactly reduced double sine and cosine.
struct CIS {
  template <class R>
  static int32_t eval(R x, std::complex<R>& r) {
    double s, c;
    sin_cos_double(x, s, c);
    r = std::complex<R>(static_cast<R>(c), static_cast<R>(s));
    return 0;
  }
};

}  // namespace zorn::tess::ops
