// Inverse trigonometric functions (also scaled by 1/pi) and the hyperbolic functions
// and their inverses. The real hyperbolic functions and their inverses have vector
// kernels of their own (hyperbolic_single.h, hyperbolic_double.h), and so do the single
// precision inverse trigonometric functions but Atan2 and Atan2pi
// (inverse_trig_single.h); the rest are scalar formulas, the double pi-scaled forms
// divided in extended precision.
#pragma once

#include <cmath>
#include <complex>

#include "tess_kernels/frame/op_adapters.h"
#include "tess_kernels/inv_trig_hyp/hyperbolic_double.h"
#include "tess_kernels/inv_trig_hyp/hyperbolic_single.h"
#include "tess_kernels/inv_trig_hyp/inverse_trig_single.h"

namespace zorn::tess::ops {

constexpr long double kPiExtended = 3.141592653589793238462643383279502884L;

// The double precision kernel runs the scalar formula lane by lane; the single precision
// one has its vector kernel (inverse_trig_single.h).
#define ZORN_TESS_REAL_AND_COMPLEX(Name, rule, reports_overflow, real_expr, complex_expr) \
  struct Name : Name##Single, RealUnary<Name>, ComplexUnary<Name> {                       \
    using Name##Single::vector_loop;                                                      \
    using RealUnary<Name>::eval;                                                          \
    using ComplexUnary<Name>::eval;                                                       \
    static constexpr uint32_t kRule = rule;                                               \
    static constexpr bool kReportsOverflow = reports_overflow;                            \
    static double value(double x) { return real_expr; }                                   \
    static std::complex<double> value(std::complex<double> z) { return complex_expr; }    \
  };

ZORN_TESS_REAL_AND_COMPLEX(Acos, kDomain, false, std::acos(x), std::acos(z))
ZORN_TESS_REAL_AND_COMPLEX(Asin, kDomain, false, std::asin(x), std::asin(z))
ZORN_TESS_REAL_AND_COMPLEX(Atan, kSilent, false, std::atan(x), std::atan(z))
#undef ZORN_TESS_REAL_AND_COMPLEX

#define ZORN_TESS_HYPERBOLIC(Name, reports_overflow, complex_expr)                        \
  struct Name : ByPrecision<Name##Single, Name##Double>, ComplexUnary<Name> {             \
    using ComplexUnary<Name>::eval;                                                       \
    static constexpr bool kReportsOverflow = reports_overflow;                            \
    static std::complex<double> value(std::complex<double> z) { return complex_expr; }    \
  };

ZORN_TESS_HYPERBOLIC(Acosh, false, std::acosh(z))
ZORN_TESS_HYPERBOLIC(Asinh, false, std::asinh(z))
ZORN_TESS_HYPERBOLIC(Atanh, false, std::atanh(z))
ZORN_TESS_HYPERBOLIC(Cosh, true, std::cosh(z))
ZORN_TESS_HYPERBOLIC(Sinh, true, std::sinh(z))
ZORN_TESS_HYPERBOLIC(Tanh, false, std::tanh(z))
#undef ZORN_TESS_HYPERBOLIC

struct Acospi : AcospiSingle, RealUnary<Acospi> {
  using AcospiSingle::vector_loop;
  using RealUnary<Acospi>::eval;
  static constexpr uint32_t kRule = kDomain;
  static double value(double x) {
    return static_cast<double>(std::acos(static_cast<long double>(x)) / kPiExtended);
  }
};
struct Asinpi : AsinpiSingle, RealUnary<Asinpi> {
  using AsinpiSingle::vector_loop;
  using RealUnary<Asinpi>::eval;
  static constexpr uint32_t kRule = kDomain;
  static double value(double x) {
    return static_cast<double>(std::asin(static_cast<long double>(x)) / kPiExtended);
  }
};
struct Atanpi : AtanpiSingle, RealUnary<Atanpi> {
  using AtanpiSingle::vector_loop;
  using RealUnary<Atanpi>::eval;
  static constexpr uint32_t kRule = kSilent;
  static double value(double x) {
    return static_cast<double>(std::atan(static_cast<long double>(x)) / kPiExtended);
  }
};
// atan2(a, b): the angle of the point (b, a).
struct Atan2 : RealBinary<Atan2> {
  static constexpr uint32_t kRule = kSilent;
  static double value(double y, double x) { return std::atan2(y, x); }
};
struct Atan2pi : RealBinary<Atan2pi> {
  static constexpr uint32_t kRule = kSilent;
  static double value(double y, double x) {
    return static_cast<double>(
        std::atan2(static_cast<long double>(y), static_cast<long double>(x)) / kPiExtended);
  }
};

}  // namespace zorn::tess::ops
