// Element-wise basics that pick, compare or move bits rather than round: Abs, CopySign,
// Fmax, Fmin, MaxMag, MinMag, Fdim, NextAfter.
//
// Fmax and Fmin are IEEE 754's maximumNumber and minimumNumber: a NaN in one argument
// counts as missing data, and -0 orders below +0. MaxMag and MinMag compare magnitudes
// and break ties with Fmax and Fmin.
#pragma once

#include <bit>
#include <cmath>
#include <cstdint>
#include <complex>
#include <cstring>

#include "tess_kernels/basics/elementwise_loop.h"
#include "tess_kernels/basics/lanes.h"
#include "tess_kernels/complex/modulus_double.h"
#include "tess_kernels/complex/real_side_lanes.h"
#include "tess_kernels/frame/op_adapters.h"
#include "tess_kernels/pow_root/double_ops.h"

namespace zorn::tess::ops {

// The modulus of four elements. Single precision parts widened: their squares and sum
// are exact or rounded once in double, so that the root rounds to within a hair of half
// an ulp of a float (non-finite parts go to the scalar form); double parts by the
// corrected root of complex/modulus_double.h.
struct ModulusLanes {
  template <class R>
  using Part = R;
  static int group(const float x[4], const float y[4], float r[4]) {
    const __m128 xs = _mm_load_ps(x), ys = _mm_load_ps(y);
    const __m128 finite = _mm_cmplt_ps(_mm_max_ps(_mm_andnot_ps(_mm_set1_ps(-0.0f), xs),
                                                  _mm_andnot_ps(_mm_set1_ps(-0.0f), ys)),
                                       _mm_set1_ps(INFINITY));
    __m128d half[2];
    for (int h = 0; h < 2; ++h) {
      const __m128d a = _mm_cvtps_pd(h == 0 ? xs : _mm_movehl_ps(xs, xs));
      const __m128d b = _mm_cvtps_pd(h == 0 ? ys : _mm_movehl_ps(ys, ys));
      half[h] = _mm_sqrt_pd(_mm_add_pd(_mm_mul_pd(a, a), _mm_mul_pd(b, b)));
    }
    _mm_store_ps(r, _mm_movelh_ps(_mm_cvtpd_ps(half[0]), _mm_cvtpd_ps(half[1])));
    return _mm_movemask_ps(finite) ^ 0xF;
  }
  static int group(const double x[4], const double y[4], double r[4]) {
    return cx::modulus_group(x, y, r);
  }
  static int64_t block(int64_t n, const std::complex<double>* z, double* r) {
    return cx::modulus_block(n, z, r);
  }
};

// The sign bit cleared, so that NaN payloads survive; complex: the modulus, on lanes of
// four elements.
struct Abs : Elementwise<Abs, 1, 1>, cx::ComplexToRealLanes<Abs, ModulusLanes> {
  using Elementwise<Abs, 1, 1>::vector_loop;
  using cx::ComplexToRealLanes<Abs, ModulusLanes>::vector_loop;
  template <class T>
  static int32_t eval(T x, T& r) {
    r = std::copysign(x, T(1));
    return TESS_STATUS_OK;
  }
  // Single parts: their squares and the sum are exact or rounded once in double, so
  // the root rounds to within a hair of half an ulp; double parts: the hypot kernel's
  // callout, which scales where the squares would overflow or underflow.
  static int32_t eval(std::complex<float> x, float& r) {
    const double re = x.real(), im = x.imag();
    r = std::isinf(re) || std::isinf(im) ? INFINITY
                                         : static_cast<float>(std::sqrt(re * re + im * im));
    return TESS_STATUS_OK;
  }
  static int32_t eval(std::complex<double> x, double& r) {
    tess_callout_dHypot(x.real(), x.imag(), &r);
    return TESS_STATUS_OK;
  }
  template <class V>
  static int lanes(V x, V& r) {
    r = lanes::magnitude(x);
    return 0;
  }
};

// The magnitude of x with the sign of y.
struct SignCopy {
  template <class T>
  static T scalar(T x, T y) {
    return std::copysign(x, y);
  }
  template <class V>
  static V vector(V x, V y) {
    return lanes::bit_or(lanes::magnitude(x), lanes::sign_bits(y));
  }
};

// Equal arguments (+0 and -0 among them) combine their bits: AND gives the larger, OR the
// smaller. A NaN takes the scalar form.
template <bool kMax>
struct Extremum {
  template <class T>
  static T scalar(T x, T y) {
    if (std::isnan(x) || std::isnan(y)) {
      if (!std::isnan(x)) return x;
      return std::isnan(y) ? x + y : y;
    }
    if (x == y) {
      return kMax ? std::bit_cast<T>(bits(x) & bits(y)) : std::bit_cast<T>(bits(x) | bits(y));
    }
    return (x > y) == kMax ? x : y;
  }
  template <class V>
  static V vector(V x, V y) {
    using namespace lanes;
    const V ties = kMax ? bit_and(x, y) : bit_or(x, y);
    return select(equal(x, y), ties, kMax ? max(x, y) : min(x, y));
  }

 private:
  static uint32_t bits(float x) { return std::bit_cast<uint32_t>(x); }
  static uint64_t bits(double x) { return std::bit_cast<uint64_t>(x); }
};

// The argument of larger (kMax) or smaller magnitude; of equal magnitudes the larger or
// smaller value.
template <bool kMax>
struct MagnitudeExtremum {
  template <class T>
  static T scalar(T x, T y) {
    const T ax = std::fabs(x), ay = std::fabs(y);
    if (ax != ay && !std::isnan(ax) && !std::isnan(ay)) return (ax > ay) == kMax ? x : y;
    return Extremum<kMax>::scalar(x, y);
  }
  template <class V>
  static V vector(V x, V y) {
    using namespace lanes;
    const V ax = magnitude(x), ay = magnitude(y);
    const V y_wins = kMax ? less(ax, ay) : less(ay, ax);
    const V ties = kMax ? bit_and(x, y) : bit_or(x, y);
    return select(equal(ax, ay), ties, select(y_wins, y, x));
  }
};

// A silent function of two arguments; NaN lanes take the scalar form.
template <class Choice>
struct Chosen : Elementwise<Chosen<Choice>, 2, 1> {
  template <class T>
  static int32_t eval(T x, T y, T& r) {
    r = Choice::scalar(x, y);
    return TESS_STATUS_OK;
  }
  template <class V>
  static int lanes(V x, V y, V& r) {
    r = Choice::vector(x, y);
    return lanes::lane_bits(lanes::unordered(x, y));
  }
};
struct Fmax : Chosen<Extremum<true>> {};
struct Fmin : Chosen<Extremum<false>> {};
struct MaxMag : Chosen<MagnitudeExtremum<true>> {};
struct MinMag : Chosen<MagnitudeExtremum<false>> {};
struct CopySign : Chosen<SignCopy> {};

// x - y where x > y, else +0; a NaN argument gives NaN. Overflow reports.
struct Fdim : ScalarRule<Fdim, kOverflow> {
  template <class T>
  static T scalar(T x, T y) { return std::fdim(x, y); }
  template <class V>
  static int lanes(V x, V y, V& r) {
    using namespace lanes;
    const V d = sub(x, y);
    r = bit_and(d, less(y, x));
    return lane_bits(not_finite(d));
  }
};

// The neighbour of x toward y, one step of the bit pattern read as sign and magnitude:
// up when moving away from zero, down toward it. Zeros, equal arguments, NaNs and
// results beyond the finite range take the scalar form. Overflow reports.
struct NextAfter : ScalarRule<NextAfter, kOverflow> {
  template <class T>
  static T scalar(T x, T y) { return std::nextafter(x, y); }
  template <class V>
  static int lanes(V x, V y, V& r) {
    using namespace lanes;
    const V zero = splat<V>(0);
    const V away = bit_xor(less(x, y), less(x, zero));
    // +1 where away (all-ones lanes), -1 elsewhere, as integers.
    const V all_ones = equal(zero, zero);
    const V step = bit_or(and_not(all_ones, away), integer_one<V>());
    r = add_integers(x, step);
    const V rare = bit_or(bit_or(equal(x, zero), equal(x, y)), unordered(x, y));
    return lane_bits(bit_or(rare, not_finite(r)));
  }
};

}  // namespace zorn::tess::ops
