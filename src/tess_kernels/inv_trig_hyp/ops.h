// Inverse trigonometric functions (also scaled by 1/pi), the hyperbolic functions and
// their inverses. Each real operation joins its single and double precision vector
// kernels (inverse_trig_single.h, inverse_trig_double.h, hyperbolic_single.h,
// hyperbolic_double.h); the complex forms run on lanes (Sinh, Cosh and Tanh on those of
// complex/exp_hyperbolic_lanes.h, the inverse functions on complex/inverse_lanes.h),
// with the scalar routines of complex/ for the elements the lanes leave.
#pragma once

#include <complex>

#include "tess_kernels/complex/elementary.h"
#include "tess_kernels/complex/exp_hyperbolic_lanes.h"
#include "tess_kernels/complex/group_lanes.h"
#include "tess_kernels/complex/inverse.h"
#include "tess_kernels/complex/inverse_lanes.h"
#include "tess_kernels/frame/op_adapters.h"
#include "tess_kernels/inv_trig_hyp/hyperbolic_double.h"
#include "tess_kernels/inv_trig_hyp/hyperbolic_single.h"
#include "tess_kernels/inv_trig_hyp/inverse_trig_double.h"
#include "tess_kernels/inv_trig_hyp/inverse_trig_single.h"

namespace zorn::tess::ops {

// The inverse functions that never overflow, on lanes with their scalar form beside.
#define ZORN_TESS_INVERSE_ON_LANES(Name, complex_expr)                                    \
  struct Name : cx::RealAndComplexLanes<Name, Name##Single, Name##Double, cx::Name##Lanes> { \
    static constexpr bool kReportsOverflow = false;                                      \
    static std::complex<double> value(std::complex<double> z) { return complex_expr; }   \
  };
ZORN_TESS_INVERSE_ON_LANES(Acos, cx::acos(z))
ZORN_TESS_INVERSE_ON_LANES(Atan, cx::atan(z))
ZORN_TESS_INVERSE_ON_LANES(Atanh, cx::atanh(z))
ZORN_TESS_INVERSE_ON_LANES(Asin, cx::asin(z))
ZORN_TESS_INVERSE_ON_LANES(Acosh, cx::acosh(z))
ZORN_TESS_INVERSE_ON_LANES(Asinh, cx::asinh(z))
#undef ZORN_TESS_INVERSE_ON_LANES

struct Cosh : cx::RealAndComplexLanes<Cosh, CoshSingle, CoshDouble, cx::CoshLanes> {
  static constexpr bool kReportsOverflow = true;
  static std::complex<double> value(std::complex<double> z) { return cx::cosh(z); }
};
struct Tanh : cx::RealAndComplexLanes<Tanh, TanhSingle, TanhDouble, cx::TanhLanes> {
  static constexpr bool kReportsOverflow = false;
  static std::complex<double> value(std::complex<double> z) { return cx::tanh(z); }
};
struct Sinh : cx::RealAndComplexLanes<Sinh, SinhSingle, SinhDouble, cx::SinhLanes> {
  static constexpr bool kReportsOverflow = true;
  static std::complex<double> value(std::complex<double> z) { return cx::sinh(z); }
};

struct Acospi : ByPrecision<AcospiSingle, AcospiDouble> {};
struct Asinpi : ByPrecision<AsinpiSingle, AsinpiDouble> {};
struct Atanpi : ByPrecision<AtanpiSingle, AtanpiDouble> {};
// atan2(a, b): the angle of the point (b, a).
struct Atan2 : ByPrecision<Atan2Single, Atan2Double> {};
struct Atan2pi : ByPrecision<Atan2piSingle, Atan2piDouble> {};

}  // namespace zorn::tess::ops
