// Trigonometric family: Sin, Cos, Tan, SinCos; the pi-scaled Sinpi, Cospi, Tanpi,
// SinCospi; the degree functions Sind, Cosd, Tand.
#pragma once

#include <cmath>
#include <complex>

#include "tess_kernels/complex/elementary.h"
#include "tess_kernels/complex/exp_hyperbolic_lanes.h"
#include "tess_kernels/complex/group_lanes.h"
#include "tess_kernels/frame/op_adapters.h"
#include "tess_kernels/trig/double_ops.h"
#include "tess_kernels/trig/scaled_single.h"
#include "tess_kernels/trig/sin_cos.h"
#include "tess_kernels/trig/single_ops.h"

namespace zorn::tess::ops {

struct Sin : cx::RealAndComplexLanes<Sin, SinSingle, SinDouble, cx::SinLanes> {
  static constexpr bool kReportsOverflow = true;
  static std::complex<double> value(std::complex<double> z) {
    return cx::sin(z);
  }
};

struct Cos : cx::RealAndComplexLanes<Cos, CosSingle, CosDouble, cx::CosLanes> {
  static constexpr bool kReportsOverflow = true;
  static std::complex<double> value(std::complex<double> z) {
    return cx::cos(z);
  }
};

struct Tan : cx::RealAndComplexLanes<Tan, TanSingle, TanDouble, cx::TanLanes> {
  static constexpr bool kReportsOverflow = false;
  static std::complex<double> value(std::complex<double> z) {
    return cx::tan(z);
  }
};

// sin x and cos x, each as its own kernel gives it.
struct SinCos : ByPrecision<SinCosSingle, SinCosDouble> {};

// The pi-scaled and degree functions: one kernel per slot (0 LA, 1 HA, 2 EP) and type.
template <scaled::Unit U, sin_core::Fn F, int Slot>
struct Scaled : ByPrecision<scaled::ScaledSingle<U, F, static_cast<scaled::Accuracy>(Slot)>,
                            scaled::ScaledDouble<U, F, static_cast<scaled::Accuracy>(Slot)>> {};
template <int Slot>
struct Sinpi : Scaled<scaled::Unit::kHalfTurns, sin_core::Fn::kSin, Slot> {};
template <int Slot>
struct Cospi : Scaled<scaled::Unit::kHalfTurns, sin_core::Fn::kCos, Slot> {};
template <int Slot>
struct Tanpi : Scaled<scaled::Unit::kHalfTurns, sin_core::Fn::kTan, Slot> {};
template <int Slot>
struct Sind : Scaled<scaled::Unit::kDegrees, sin_core::Fn::kSin, Slot> {};
template <int Slot>
struct Cosd : Scaled<scaled::Unit::kDegrees, sin_core::Fn::kCos, Slot> {};
template <int Slot>
struct Tand : Scaled<scaled::Unit::kDegrees, sin_core::Fn::kTan, Slot> {};

// sin pi x and cos pi x as the HA kernels give them.
struct SinCospi : ByPrecision<SinCospiSingle, SinCospiDouble> {};

}  // namespace zorn::tess::ops
