// Special functions: the error function family, the normal distribution, the gamma
// functions, the exponential integral E1 and the Bessel functions.
#pragma once

#include <climits>
#include <cmath>
#include <type_traits>

#include "tess_kernels/frame/op_adapters.h"
#include "tess_kernels/special/bessel_double.h"
#include "tess_kernels/special/bessel_i_double.h"
#include "tess_kernels/special/bessel_i_single.h"
#include "tess_kernels/special/bessel_integer_order.h"
#include "tess_kernels/special/bessel_single.h"
#include "tess_kernels/special/erf_double.h"
#include "tess_kernels/special/erf_single.h"
#include "tess_kernels/special/erfinv_double.h"
#include "tess_kernels/special/erfinv_single.h"
#include "tess_kernels/special/expint_double.h"
#include "tess_kernels/special/expint_single.h"
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

struct ExpInt1 : ByPrecision<ExpInt1Single, ExpInt1Double> {};

struct I0 : ByPrecision<I0Single, I0Double> {};
struct I1 : ByPrecision<I1Single, I1Double> {};
struct J0 : ByPrecision<J0Single, J0Double> {};
struct J1 : ByPrecision<J1Single, J1Double> {};
struct Y0 : ByPrecision<Y0Single, Y0Double> {};
struct Y1 : ByPrecision<Y1Single, Y1Double> {};

// Bessel functions of integer order; an order that is not an integer (or does not fit
// in an int) has no value.
template <double (*F)(int, double, bool), uint32_t Rule>
struct IntegerOrder {
  template <class T>
  static int32_t eval(T x, T order, T& r) {
    const double o = order;
    if (!(o == std::floor(o) && std::fabs(o) <= INT_MAX)) {
      r = static_cast<T>(NAN);
      return std::isnan(x) ? TESS_STATUS_OK : TESS_STATUS_DOMAIN;
    }
    r = static_cast<T>(F(static_cast<int>(o), static_cast<double>(x), std::is_same_v<T, double>));
    return classify(Rule, r, x == 0, x);
  }
};
struct Jn : IntegerOrder<bessel_jn, kSilent> {};
struct Yn : IntegerOrder<bessel_yn, kDomain | kPole | kOverflow> {};

}  // namespace zorn::tess::ops
