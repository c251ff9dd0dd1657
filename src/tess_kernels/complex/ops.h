// Complex-only functions: Arg, Conj, CIS. None of them reports. Arg and CIS run on
// lanes of four elements, their scalar forms taking the elements those leave: for c Arg
// the single Atan2 fast path on the parts, for z Arg lanes of its own on d Atan2's
// reduction (argument_lanes.cpp), and for CIS lanes of its own (cis_single_lanes.h) and
// the double SinCos fast path.
#pragma once

#include <cmath>
#include <complex>

#include "tess_kernels/complex/argument_lanes.h"
#include "tess_kernels/complex/cis_single_lanes.h"
#include "tess_kernels/complex/parts_block.h"
#include "tess_kernels/complex/real_parts.h"
#include "tess_kernels/complex/real_side_lanes.h"
#include "tess_kernels/inv_trig_hyp/inverse_trig_single.h"
#include "tess_kernels/trig/sin_cos.h"

namespace zorn::tess::ops {

struct ArgLanes {
  template <class R>
  using Part = R;
  static int group(const float x[4], const float y[4], float r[4]) {
    return Atan2Single::fast_group(y, x, r);
  }
  static int group(const double x[4], const double y[4], double r[4]) {
    return cx::argument_group(x, y, r);
  }
  static int64_t block(int64_t n, const std::complex<double>* z, double* r) {
    return cx::argument_block(n, z, r);
  }
};

struct Arg : cx::ComplexToRealLanes<Arg, ArgLanes> {
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

struct CisLanes {
  template <class R>
  using Part = R;
  static int group(const float t[4], float re[4], float im[4]) {
    return cx::CisSingleLanes::group(t, re, im);
  }
  // SinCos's fast path reduces by a rounding shifter, exact only rounding to nearest (cos
  // came out as 2^-57 for sin, 6e306 ulp, rounding upward): under a directed rounding
  // the scalar form's sine and cosine take every element.
  static int group(const double t[4], double re[4], double im[4]) {
    if (!cx::rounds_to_nearest()) [[unlikely]] return 0xF;
    return SinCosDouble::fast_group(t, im, re);
  }
  static int64_t block(int64_t n, const float* t, std::complex<float>* r) {
    return cx::CisSingleLanes::block(n, t, r);
  }
  static int64_t block(int64_t n, const double* t, std::complex<double>* r) {
    if (!cx::rounds_to_nearest()) [[unlikely]] return 0;
    return cx::merged_block(n, t, r, [](int64_t m, const double* u, double* re, double* im) {
      return SinCosDouble::fast_block(m, u, im, re);
    });
  }
};

// cos x + i sin x of a real x, from the exactly reduced double sine and cosine.
struct CIS : cx::RealToComplexLanes<CIS, CisLanes> {
  template <class R>
  static int32_t eval(R x, std::complex<R>& r) {
    const cx::SinCos t = cx::sin_cos(x);
    r = std::complex<R>(static_cast<R>(t.c), static_cast<R>(t.s));
    return 0;
  }
};

}  // namespace zorn::tess::ops
