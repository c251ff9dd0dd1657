// Exponential and logarithm family: Exp, Exp2, Exp10, Expm1, Ln, Log2, Log10, Log1p,
// Logb (real) and Exp, Ln, Log10 (complex). Each real operation joins its single and
// double precision loops, which differ in method.
#pragma once

#include <complex>

#include "tess_kernels/complex/elementary.h"
#include "tess_kernels/complex/exp_hyperbolic_lanes.h"
#include "tess_kernels/complex/log_sqrt_lanes.h"
#include "tess_kernels/complex/group_lanes.h"
#include "tess_kernels/exp_log/double_ops.h"
#include "tess_kernels/exp_log/single_ops.h"
#include "tess_kernels/frame/op_adapters.h"

namespace zorn::tess::ops {

struct Exp : cx::RealAndComplexLanes<Exp, ExpSingle, ExpDouble, cx::ExpLanes> {
  static constexpr bool kReportsOverflow = true;
  static std::complex<double> value(std::complex<double> z) { return cx::exp(z); }
};

struct Exp2 : ByPrecision<Exp2Single, Exp2Double> {};
struct Exp10 : ByPrecision<Exp10Single, Exp10Double> {};
struct Expm1 : ByPrecision<Expm1Single, Expm1Double> {};
struct Log2 : ByPrecision<Log2Single, Log2Double> {};
struct Log1p : ByPrecision<Log1pSingle, Log1pDouble> {};
struct Logb : ByPrecision<LogbSingle, LogbDouble> {};

struct Ln : cx::RealAndComplexLanes<Ln, LnSingle, LnDouble, cx::LnLanes> {
  static constexpr bool kReportsOverflow = false;
  static std::complex<double> value(std::complex<double> z) { return cx::log(z); }
};

struct Log10 : cx::RealAndComplexLanes<Log10, Log10Single, Log10Double, cx::Log10Lanes> {
  static constexpr bool kReportsOverflow = false;
  static std::complex<double> value(std::complex<double> z) { return cx::log10(z); }
};

}  // namespace zorn::tess::ops
