#include "vector_math/functions.h"

#include <cmath>
#include <iterator>
#include <random>
#include <vector>

namespace bench::vector_math {
namespace {

// The inverses in extended precision: bisection to a bracket of the root, then Newton
// steps, whose slope is the Gaussian of erf and erfc.
template <bool kComplement>
long double inverse(long double v) {
  long double lo = -7, hi = 110;
  for (int i = 0; i < 80; ++i) {
    const long double mid = 0.5L * (lo + hi);
    const long double f = kComplement ? erfcl(mid) : erfl(mid);
    if ((f > v) == kComplement) {
      lo = mid;
    } else {
      hi = mid;
    }
  }
  long double x = 0.5L * (lo + hi);
  constexpr long double kSlope = 1.128379167095512573896158903121545172L;  // 2/sqrt(pi)
  for (int i = 0; i < 3; ++i) {
    const long double f = (kComplement ? erfcl(x) : erfl(x)) - v;
    x -= f / ((kComplement ? -kSlope : kSlope) * expl(-x * x));
  }
  return x;
}
// Each residual is taken where it does not cancel: erf near 0, erfc near 0; 1 - |x|,
// 1 - q and 2 - q are exact.
long double erfinvl(long double x) {
  return fabsl(x) < 0.5L ? inverse<false>(x) : copysignl(inverse<true>(1 - fabsl(x)), x);
}
long double erfcinvl(long double q) {
  if (q > 0.5L && q < 1.5L) return inverse<false>(1 - q);
  return q <= 0.5L ? inverse<true>(q) : -inverse<true>(2 - q);
}
long double normal_quantilel(long double p) {
  return -1.414213562373095048801688724209698079L * erfcinvl(2 * p);
}

// The pi-scaled and degree functions from the exact remainder r = x - n h by the half turn
// h (1 or 180 units): sin is (-1)^n sin(r), cos is (-1)^n sin(h/2 - |r|), so that the
// zeros are exact zeros and not the rounding error of pi in long double.
template <int kHalfTurn, int kFunction>  // 0 sin, 1 cos, 2 tan
long double scaled_trig(long double x) {
  constexpr long double kRadians = 3.141592653589793238462643383279502884L / kHalfTurn;
  const long double n = nearbyintl(x / kHalfTurn);
  const long double r = x - n * kHalfTurn;
  const long double s = sinl(kRadians * r);
  const long double c = sinl(kRadians * (kHalfTurn / 2.0L - fabsl(r)));
  if (kFunction == 2) return s / c;
  const long double v = kFunction == 0 ? s : c;
  return fmodl(n, 2) != 0 ? -v : v;
}

// The inverse functions in half turns: the long double angle's error (2^-64) is far below
// an ulp of double.
constexpr long double kPi = 3.141592653589793238462643383279502884L;
template <long double (*F)(long double)>
long double over_pi(long double x) { return F(x) / kPi; }
long double atan2pi(long double a, long double b) { return atan2l(a, b) / kPi; }

long double inv_sqrt(long double x) { return 1 / sqrtl(x); }
long double inv_cbrt(long double x) { return 1 / cbrtl(x); }
long double pow2o3(long double x) { return cbrtl(x * x); }
long double pow3o2(long double x) { return x * sqrtl(x); }

// I_nu(x) = (x/2)^nu sum_k (x^2/4)^k / (k! (k + nu)!), positive terms (the range is |x| <= 30).
template <int kNu>
long double bessel_i_reference(long double x) {
  const long double q = 0.25L * x * x;
  long double term = kNu == 0 ? 1.0L : 0.5L * x, sum = term;
  for (int k = 1; k < 200; ++k) sum += term *= q / (static_cast<long double>(k) * (k + kNu));
  return sum;
}
long double bessel_i0_reference(long double x) { return bessel_i_reference<0>(x); }
long double bessel_i1_reference(long double x) { return bessel_i_reference<1>(x); }

// E1(x) = -gamma - ln x - sum_k (-x)^k / (k k!) below 2, beyond by the continued fraction
// e^-x / (x + 1 - 1/(x + 3 - 4/(x + 5 - ...))) from a fixed depth up (the range is
// 2^-6 <= x <= 64).
long double expint1_reference(long double x) {
  if (x < 2) {
    long double term = 1, sum = 0;
    for (int k = 1; k < 60; ++k) sum += (term *= -x / k) / k;
    return -0.5772156649015328606065120900824024310L - logl(x) - sum;
  }
  long double tail = 0;
  for (int k = 200; k >= 1; --k) tail = static_cast<long double>(k) * k / (x + 2 * k + 1 - tail);
  return expl(-x) / (x + 1 - tail);
}

constexpr FunctionInfo kRows[] = {
    {Function::kExp, "Exp", "uniform on [-80, 80]", expl},
    {Function::kExp2, "Exp2", "uniform on [-120, 120]", exp2l},
    {Function::kExp10, "Exp10", "uniform on [-35, 35]", exp10l},
    {Function::kExpm1, "Expm1", "uniform on [-10, 10]", expm1l},
    {Function::kLn, "Ln", "2^u, u uniform on [-100, 100]", logl},
    {Function::kLog2, "Log2", "2^u, u uniform on [-100, 100]", log2l},
    {Function::kLog10, "Log10", "2^u, u uniform on [-100, 100]", log10l},
    {Function::kLog1p, "Log1p", "2^u - 1, u uniform on [-2, 10]", log1pl},
    {Function::kLogb, "Logb", "+-2^u, u uniform on [-100, 100]", logbl},
    {Function::kSin, "Sin", "uniform on [-10000, 10000]", sinl},
    {Function::kCos, "Cos", "uniform on [-10000, 10000]", cosl},
    {Function::kTan, "Tan", "uniform on [-10000, 10000]", tanl},
    {Function::kSinCos, "SinCos", "uniform on [-10000, 10000] (checked by its sine)", sinl},
    {Function::kSinh, "Sinh", "uniform on [-20, 20]", sinhl},
    {Function::kCosh, "Cosh", "uniform on [-20, 20]", coshl},
    {Function::kTanh, "Tanh", "uniform on [-10, 10]", tanhl},
    {Function::kAsinh, "Asinh", "+-2^u, u uniform on [-20, 20]", asinhl},
    {Function::kAcosh, "Acosh", "1 + 2^u, u uniform on [-20, 20]", acoshl},
    {Function::kAtanh, "Atanh", "uniform on [-0.99, 0.99]", atanhl},
    {Function::kAsin, "Asin", "uniform on [-1, 1]", asinl},
    {Function::kAcos, "Acos", "uniform on [-1, 1]", acosl},
    {Function::kAtan, "Atan", "+-2^u, u uniform on [-20, 20]", atanl},
    {Function::kErfInv, "ErfInv", "uniform on (-1, 1)", erfinvl},
    {Function::kErfcInv, "ErfcInv", "uniform on (0, 2)", erfcinvl},
    {Function::kCdfNormInv, "CdfNormInv", "uniform on (0, 1)", normal_quantilel},
    {Function::kSqrt, "Sqrt", "2^u, u uniform on [-100, 100]", sqrtl},
    {Function::kInvSqrt, "InvSqrt", "2^u, u uniform on [-100, 100]", inv_sqrt},
    {Function::kCbrt, "Cbrt", "+-2^u, u uniform on [-100, 100]", cbrtl},
    {Function::kInvCbrt, "InvCbrt", "+-2^u, u uniform on [-100, 100]", inv_cbrt},
    {Function::kPow2o3, "Pow2o3", "+-2^u, u uniform on [-100, 100]", pow2o3},
    {Function::kPow3o2, "Pow3o2", "2^u, u uniform on [-80, 80]", pow3o2},
    {Function::kPow, "Pow", "2^u, u uniform on [-3.3, 3.3]; y uniform on [-30, 30]", nullptr,
     powl},
    {Function::kHypot, "Hypot", "+-2^u, u uniform on [-50, 50], both", nullptr, hypotl},
    {Function::kLGamma, "LGamma", "2^u, u uniform on [-4, 10]", lgammal},
    {Function::kTGamma, "TGamma", "uniform on [0.5, 35] (s), [0.5, 170] (d)", tgammal},
    {Function::kJ0, "J0", "uniform on [0, 100]", j0l},
    {Function::kJ1, "J1", "uniform on [0, 100]", j1l},
    {Function::kY0, "Y0", "uniform on [0.1, 100]", y0l},
    {Function::kErf, "Erf", "uniform on [-5, 5]", erfl},
    {Function::kErfc, "Erfc", "uniform on [-4, 9] (normal results in both precisions)", erfcl},
    {Function::kAtan2, "Atan2", "+-2^u, u uniform on [-50, 50], both", nullptr, atan2l},
    {Function::kI0, "I0", "uniform on [-30, 30]", bessel_i0_reference},
    {Function::kI1, "I1", "uniform on [-30, 30]", bessel_i1_reference},
    {Function::kExpInt1, "ExpInt1", "2^u, u uniform on [-6, 6]", expint1_reference},
    {Function::kSinpi, "Sinpi", "uniform on [-1000, 1000]", scaled_trig<1, 0>},
    {Function::kCospi, "Cospi", "uniform on [-1000, 1000]", scaled_trig<1, 1>},
    {Function::kTanpi, "Tanpi", "uniform on [-1000, 1000]", scaled_trig<1, 2>},
    {Function::kSind, "Sind", "uniform on [-90, 90]", scaled_trig<180, 0>},
    {Function::kCosd, "Cosd", "uniform on [-90, 90]", scaled_trig<180, 1>},
    {Function::kTand, "Tand", "uniform on [-90, 90]", scaled_trig<180, 2>},
    {Function::kAsinpi, "Asinpi", "uniform on [-1, 1]", over_pi<asinl>},
    {Function::kAcospi, "Acospi", "uniform on [-1, 1]", over_pi<acosl>},
    {Function::kAtanpi, "Atanpi", "+-2^u, u uniform on [-20, 20]", over_pi<atanl>},
    {Function::kAtan2pi, "Atan2pi", "+-2^u, u uniform on [-50, 50], both", nullptr,
     atan2pi},
    {Function::kLGammaNeg, "LGammaNeg", "-2^u, u uniform on [-4, 10], integers moved by 1/2",
     lgammal},
    {Function::kTGammaNeg, "TGammaNeg",
     "uniform on [-33, 0] (s), [-169, 0] (d), integers moved by 1/2", tgammal},
};

constexpr bool rows_in_function_order() {
  for (int i = 0; i < kFunctionCount; ++i) {
    if (kRows[i].id != static_cast<Function>(i)) return false;
  }
  return true;
}
static_assert(std::size(kRows) == kFunctionCount && rows_in_function_order(),
              "one row per function, in the order of Function");

}  // namespace

const FunctionInfo (&kFunctions)[kFunctionCount] = kRows;

template <class T>
void draw_arguments(Function f, T* out, int64_t n) {
  std::mt19937_64 engine(20261207);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  const auto uniform = [&](double lo, double hi) { return lo + (hi - lo) * unit(engine); };
  // Inside the open interval, also after rounding to T: the ends of the inverses'
  // domains are their poles.
  const double steps = sizeof(T) == 4 ? 0x1p23 : 0x1p52;
  const auto open_uniform = [&](double lo, double hi) {
    return lo + (hi - lo) * ((std::floor(unit(engine) * steps) + 0.5) / steps);
  };
  for (int64_t i = 0; i < n; ++i) {
    double x = 0;
    switch (f) {
      case Function::kExp: x = uniform(-80, 80); break;
      case Function::kExpm1: x = uniform(-10, 10); break;
      case Function::kExp2: x = uniform(-120, 120); break;
      case Function::kExp10: x = uniform(-35, 35); break;
      case Function::kLn:
      case Function::kLog2:
      case Function::kLog10: x = std::exp2(uniform(-100, 100)); break;
      case Function::kLog1p: x = std::exp2(uniform(-2, 10)) - 1; break;
      case Function::kLogb: x = std::copysign(std::exp2(uniform(-100, 100)), uniform(-1, 1)); break;
      case Function::kSin:
      case Function::kCos:
      case Function::kTan:
      case Function::kSinCos: x = uniform(-10000, 10000); break;
      case Function::kSinh: x = uniform(-20, 20); break;
      case Function::kCosh: x = uniform(-20, 20); break;
      case Function::kTanh: x = uniform(-10, 10); break;
      case Function::kAsinh: x = std::copysign(std::exp2(uniform(-20, 20)), uniform(-1, 1)); break;
      case Function::kAcosh: x = 1 + std::exp2(uniform(-20, 20)); break;
      case Function::kAtanh: x = uniform(-0.99, 0.99); break;
      case Function::kAsin:
      case Function::kAcos:
      case Function::kAsinpi:
      case Function::kAcospi: x = uniform(-1, 1); break;
      case Function::kAtan:
      case Function::kAtanpi:
        x = std::copysign(std::exp2(uniform(-20, 20)), uniform(-1, 1));
        break;
      case Function::kErfInv: x = open_uniform(-1, 1); break;
      case Function::kErfcInv: x = open_uniform(0, 2); break;
      case Function::kCdfNormInv: x = open_uniform(0, 1); break;
      case Function::kSqrt:
      case Function::kInvSqrt: x = std::exp2(uniform(-100, 100)); break;
      case Function::kCbrt:
      case Function::kInvCbrt:
      case Function::kPow2o3:
        x = std::copysign(std::exp2(uniform(-100, 100)), uniform(-1, 1));
        break;
      case Function::kPow3o2: x = std::exp2(uniform(-80, 80)); break;
      case Function::kPow: x = std::exp2(uniform(-3.3, 3.3)); break;
      case Function::kHypot:
      case Function::kAtan2:
      case Function::kAtan2pi: x = std::copysign(std::exp2(uniform(-50, 50)), uniform(-1, 1)); break;
      case Function::kLGamma: x = std::exp2(uniform(-4, 10)); break;
      case Function::kTGamma: x = uniform(0.5, sizeof(T) == 4 ? 35 : 170); break;
      case Function::kLGammaNeg: x = -std::exp2(uniform(-4, 10)); break;
      case Function::kTGammaNeg: x = uniform(sizeof(T) == 4 ? -33 : -169, 0); break;
      case Function::kJ0:
      case Function::kJ1: x = uniform(0, 100); break;
      case Function::kY0: x = uniform(0.1, 100); break;
      case Function::kErf: x = uniform(-5, 5); break;
      case Function::kErfc: x = uniform(-4, 9); break;
      case Function::kI0:
      case Function::kI1: x = uniform(-30, 30); break;
      case Function::kExpInt1: x = std::exp2(uniform(-6, 6)); break;
      case Function::kSinpi:
      case Function::kCospi:
      case Function::kTanpi: x = uniform(-1000, 1000); break;
      case Function::kSind:
      case Function::kCosd:
      case Function::kTand: x = uniform(-90, 90); break;
      case Function::kCount: break;  // not a function
    }
    out[i] = static_cast<T>(x);
    // The poles of the gamma functions (negative integers, frequent among floats) moved
    // to the halves between them.
    const bool negative_gamma = f == Function::kLGammaNeg || f == Function::kTGammaNeg;
    if (negative_gamma && out[i] == std::floor(out[i])) out[i] -= T(0.5);
  }
}

template <class T>
const T* second_arguments(Function f, int64_t n) {
  static Function drawn_for{};
  static std::vector<T> b;
  if (drawn_for != f || static_cast<int64_t>(b.size()) != n) {
    b.resize(static_cast<size_t>(n));
    std::mt19937_64 engine(20261208);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    for (T& v : b) {
      const double u = unit(engine), w = unit(engine);
      v = static_cast<T>(f == Function::kPow ? -30 + 60 * u
                                             : std::copysign(std::exp2(-50 + 100 * u), w - 0.5));
    }
    drawn_for = f;
  }
  return b.data();
}

template void draw_arguments<float>(Function, float*, int64_t);
template void draw_arguments<double>(Function, double*, int64_t);
template const float* second_arguments<float>(Function, int64_t);
template const double* second_arguments<double>(Function, int64_t);

}  // namespace bench::vector_math
