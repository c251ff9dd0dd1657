// Special functions: the error function family, the normal distribution, the gamma
// functions, the exponential integral E1 and the Bessel functions.
#pragma once

#include <climits>
#include <cmath>

#include "tess_kernels/frame/op_adapters.h"
#include "tess_kernels/special/bessel_double.h"
#include "tess_kernels/special/bessel_i_double.h"
#include "tess_kernels/special/bessel_i_single.h"
#include "tess_kernels/special/erf_double.h"
#include "tess_kernels/special/erf_single.h"
#include "tess_kernels/special/erfinv_double.h"
#include "tess_kernels/special/erfinv_single.h"
#include "tess_kernels/special/gamma_ops.h"
#include "tess_kernels/special/special_functions.h"

namespace zorn::tess::ops {

struct Erf : ByPrecision<ErfSingle, ErfDouble> {};
struct Erfc : ByPrecision<ErfcSingle, ErfcDouble> {};
struct ErfInv : ByPrecision<ErfInvSingle, ErfInvDouble> {};
struct Erfcx : ByPrecision<ErfcxSingle, ErfcxDouble> {};
struct CdfNorm : ByPrecision<CdfNormSingle, CdfNormDouble> {};

struct ErfcInv : ByPrecision<ErfcInvSingle, ErfcInvDouble> {};
struct CdfNormInv : ByPrecision<CdfNormInvSingle, CdfNormInvDouble> {};

struct TGamma : ByPrecision<TGammaSingle, TGammaDouble> {};
struct LGamma : ByPrecision<LGammaSingle, LGammaDouble> {};

struct ExpInt1 : RealUnary<ExpInt1> {
  static constexpr uint32_t kRule = kDomain | kPole;
  static double value(double x) { return expint1(x); }
};

struct I0 : ByPrecision<I0Single, I0Double> {};
struct I1 : ByPrecision<I1Single, I1Double> {};
struct J0 : RealUnary<J0> {
  static constexpr uint32_t kRule = kSilent;
  static double value(double x) { return bessel_j0(x); }
};
struct J1 : RealUnary<J1> {
  static constexpr uint32_t kRule = kSilent;
  static double value(double x) { return bessel_j1(x); }
};
// Y has a pole at 0 (-inf), is undefined below, and overflows for large orders near 0.
struct Y0 : RealUnary<Y0> {
  static constexpr uint32_t kRule = kDomain | kPole | kOverflow;
  static bool is_pole(double x) { return x == 0; }
  static double value(double x) { return bessel_y0(x); }
};
struct Y1 : RealUnary<Y1> {
  static constexpr uint32_t kRule = kDomain | kPole | kOverflow;
  static bool is_pole(double x) { return x == 0; }
  static double value(double x) { return bessel_y1(x); }
};

// The double Bessel functions of the first and second kind are evaluated in extended
// precision: the recurrences of the higher orders magnify the error of the first two.

// Bessel functions of integer order; an order that is not an integer (or does not fit
// in an int) has no value.
template <long double (*F)(int, long double), uint32_t Rule>
struct IntegerOrder {
  template <class T>
  static int32_t eval(T x, T order, T& r) {
    const double o = order;
    if (!(o == std::floor(o) && std::fabs(o) <= INT_MAX)) {
      r = static_cast<T>(NAN);
      return std::isnan(x) ? TESS_STATUS_OK : TESS_STATUS_DOMAIN;
    }
    r = static_cast<T>(static_cast<double>(F(static_cast<int>(o), static_cast<long double>(x))));
    return classify(Rule, r, x == 0, x);
  }
};
struct Jn : IntegerOrder<::jnl, kSilent> {};
struct Yn : IntegerOrder<::ynl, kDomain | kPole | kOverflow> {};

}  // namespace zorn::tess::ops
