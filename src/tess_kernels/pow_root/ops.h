// Powers and roots: Sqrt, InvSqrt, Cbrt, InvCbrt, Pow2o3, Pow3o2, Pow, Powr, Powx, Hypot.
// Each real operation joins its single and double precision loops (single_ops.h,
// double_ops.h); the complex Sqrt and Pow run on lanes (complex/log_sqrt_lanes.h,
// complex/power_lanes.h).
#pragma once

#include <complex>

#include "tess_kernels/complex/elementary.h"
#include "tess_kernels/complex/log_sqrt_lanes.h"
#include "tess_kernels/complex/power_lanes.h"
#include "tess_kernels/complex/group_lanes.h"
#include "tess_kernels/frame/op_adapters.h"
#include "tess_kernels/pow_root/double_ops.h"
#include "tess_kernels/pow_root/single_ops.h"

namespace zorn::tess::ops {

struct Sqrt : cx::RealAndComplexLanes<Sqrt, SqrtSingle, SqrtDouble, cx::SqrtLanes> {
  static constexpr bool kReportsOverflow = false;
  static std::complex<double> value(std::complex<double> z) { return cx::sqrt(z); }
};

struct InvSqrt : ByPrecision<InvSqrtSingle, InvSqrtDouble> {};
struct Cbrt : ByPrecision<CbrtSingle, CbrtDouble> {};
struct InvCbrt : ByPrecision<InvCbrtSingle, InvCbrtDouble> {};
struct Pow2o3 : ByPrecision<Pow2o3Single, Pow2o3Double> {};
struct Pow3o2 : ByPrecision<Pow3o2Single, Pow3o2Double> {};
struct Hypot : ByPrecision<HypotSingle, HypotDouble> {};
struct Powr : ByPrecision<PowrSingle, PowrDouble> {};

struct Pow : ByPrecision<PowSingle, PowDouble>,
             ComplexBinary<Pow>,
             cx::ComplexBinaryLanes<Pow, cx::PowLanes> {
  using ByPrecision<PowSingle, PowDouble>::vector_loop;
  using cx::ComplexBinaryLanes<Pow, cx::PowLanes>::vector_loop;
  using ComplexBinary<Pow>::eval;
  static constexpr bool kReportsOverflow = true;
  static std::complex<double> value(std::complex<double> x, std::complex<double> y) {
    return cx::pow(x, y);
  }
};

// The general path of Powx: x^b with the rules of Pow.
struct Powx : Pow {};

}  // namespace zorn::tess::ops
