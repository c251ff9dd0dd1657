#include "mpfr_reference.h"

#include <mpfr.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <functional>
#include <limits>
#include <map>
#include <string>

namespace zorn_accuracy {
namespace {

constexpr mpfr_rnd_t N = MPFR_RNDN;
thread_local mpfr_prec_t t_bits = 256;

class Mp {
 public:
  Mp() { mpfr_init2(v_, t_bits); }
  explicit Mp(double x) : Mp() { mpfr_set_d(v_, x, N); }
  Mp(const Mp& o) : Mp() { mpfr_set(v_, o.v_, N); }
  Mp& operator=(const Mp& o) {
    mpfr_set(v_, o.v_, N);
    return *this;
  }
  ~Mp() { mpfr_clear(v_); }
  mpfr_ptr get() { return v_; }
  mpfr_srcptr get() const { return v_; }
  long double ld() const { return mpfr_get_ld(v_, N); }

 private:
  mpfr_t v_;
};

using Un = int (*)(mpfr_ptr, mpfr_srcptr, mpfr_rnd_t);
using Bin = int (*)(mpfr_ptr, mpfr_srcptr, mpfr_srcptr, mpfr_rnd_t);

Mp apply(Un f, const Mp& x) {
  Mp r;
  f(r.get(), x.get(), N);
  return r;
}
Mp apply(Bin f, const Mp& x, const Mp& y) {
  Mp r;
  f(r.get(), x.get(), y.get(), N);
  return r;
}
Mp operator+(const Mp& x, const Mp& y) { return apply(mpfr_add, x, y); }
Mp operator-(const Mp& x, const Mp& y) { return apply(mpfr_sub, x, y); }
Mp operator*(const Mp& x, const Mp& y) { return apply(mpfr_mul, x, y); }
Mp operator/(const Mp& x, const Mp& y) { return apply(mpfr_div, x, y); }
Mp neg(const Mp& x) { return apply(mpfr_neg, x); }

// ---- complex arithmetic on pairs, enough for the elementary functions ----
struct Cx {
  Mp re, im;
};
Cx cx(std::complex<double> z) { return {Mp(z.real()), Mp(z.imag())}; }
Cx operator+(const Cx& x, const Cx& y) { return {x.re + y.re, x.im + y.im}; }
Cx operator-(const Cx& x, const Cx& y) { return {x.re - y.re, x.im - y.im}; }
Cx operator*(const Cx& x, const Cx& y) {
  return {x.re * y.re - x.im * y.im, x.re * y.im + x.im * y.re};
}
Cx operator/(const Cx& x, const Cx& y) {
  const Mp d = y.re * y.re + y.im * y.im;
  return {(x.re * y.re + x.im * y.im) / d, (x.im * y.re - x.re * y.im) / d};
}
Cx times_i(const Cx& x) { return {neg(x.im), x.re}; }
Cx times_minus_i(const Cx& x) { return {x.im, neg(x.re)}; }
Mp modulus(const Cx& z) { return apply(mpfr_hypot, z.re, z.im); }
Mp argument(const Cx& z) { return apply(mpfr_atan2, z.im, z.re); }
Cx cexp(const Cx& z) {
  const Mp e = apply(mpfr_exp, z.re);
  return {e * apply(mpfr_cos, z.im), e * apply(mpfr_sin, z.im)};
}
Cx clog(const Cx& z) { return {apply(mpfr_log, modulus(z)), argument(z)}; }
// Principal square root without cancellation: the part that adds |z| and |re| is
// computed directly, the other as im / (2 t).
Cx csqrt(const Cx& z) {
  const Mp m = modulus(z), two(2.0);
  if (!mpfr_signbit(z.re.get())) {
    const Mp t = apply(mpfr_sqrt, (m + z.re) / two);
    if (mpfr_zero_p(t.get())) return {t, z.im};
    return {t, z.im / (two * t)};
  }
  const Mp t = apply(mpfr_sqrt, (m - z.re) / two);
  return {apply(mpfr_abs, z.im) / (two * t), apply(mpfr_copysign, t, z.im)};
}
Mp copy_sign(const Mp& x, const Mp& sign) { return apply(mpfr_copysign, x, sign); }
Cx first_quadrant(const Cx& z) { return {apply(mpfr_abs, z.re), apply(mpfr_abs, z.im)}; }
// The principal branches with the signed-zero conventions of complex arithmetic on
// their cuts, by Kahan's formulas ("Branch cuts for complex elementary functions",
// 1987), which do not cancel near the branch points: asin, acos and acosh from square
// roots of 1 - z, 1 + z and z - 1 (keeping the sign of a zero imaginary part), atanh
// in the first quadrant with the argument's signs (it is odd and commutes with
// conjugation); asinh and atan follow by rotation.
Cx one_minus(const Cx& z) { return {Mp(1.0) - z.re, neg(z.im)}; }
Cx one_plus(const Cx& z) { return {Mp(1.0) + z.re, z.im}; }
Cx minus_one(const Cx& z) { return {z.re - Mp(1.0), z.im}; }
Mp re_of_product(const Cx& a, const Cx& b) { return a.re * b.re - a.im * b.im; }
Mp im_of_conj_product(const Cx& a, const Cx& b) { return a.re * b.im - a.im * b.re; }  // Im(conj(a) b)
Cx casin(const Cx& z) {
  const Cx s = csqrt(one_minus(z)), t = csqrt(one_plus(z));
  return {apply(mpfr_atan, z.re / re_of_product(s, t)), apply(mpfr_asinh, im_of_conj_product(s, t))};
}
Cx cacos(const Cx& z) {
  const Cx s = csqrt(one_minus(z)), t = csqrt(one_plus(z));
  return {Mp(2.0) * apply(mpfr_atan, s.re / t.re), apply(mpfr_asinh, im_of_conj_product(t, s))};
}
Cx cacosh(const Cx& z) {
  const Cx s = csqrt(minus_one(z)), t = csqrt(one_plus(z));
  return {apply(mpfr_asinh, re_of_product({s.re, neg(s.im)}, t)),
          Mp(2.0) * apply(mpfr_atan, s.im / t.re)};
}
Cx casinh(const Cx& z) { return times_minus_i(casin(times_i(z))); }
Cx catanh(const Cx& z) {
  const Cx q = first_quadrant(z);
  const Mp one_minus_re = Mp(1.0) - q.re, one_plus_re = Mp(1.0) + q.re;
  const Mp re = apply(mpfr_log1p, Mp(4.0) * q.re / (one_minus_re * one_minus_re + q.im * q.im));
  const Mp im = apply(mpfr_atan2, Mp(2.0) * q.im, one_minus_re * one_plus_re - q.im * q.im);
  return {copy_sign(re / Mp(4.0), z.re), copy_sign(im / Mp(2.0), z.im)};
}
Cx catan(const Cx& z) { return times_minus_i(catanh(times_i(z))); }
Cx csin(const Cx& z) {
  return {apply(mpfr_sin, z.re) * apply(mpfr_cosh, z.im),
          apply(mpfr_cos, z.re) * apply(mpfr_sinh, z.im)};
}
Cx ccos(const Cx& z) {
  return {apply(mpfr_cos, z.re) * apply(mpfr_cosh, z.im),
          neg(apply(mpfr_sin, z.re) * apply(mpfr_sinh, z.im))};
}
Cx csinh(const Cx& z) {
  return {apply(mpfr_sinh, z.re) * apply(mpfr_cos, z.im),
          apply(mpfr_cosh, z.re) * apply(mpfr_sin, z.im)};
}
Cx ccosh(const Cx& z) {
  return {apply(mpfr_cosh, z.re) * apply(mpfr_cos, z.im),
          apply(mpfr_sinh, z.re) * apply(mpfr_sin, z.im)};
}

LongComplex lc(const Cx& z) { return {z.re.ld(), z.im.ld()}; }
LongComplex lc(const Mp& x) { return {x.ld(), 0.0L}; }

// ---- real functions without an MPFR counterpart ----
Mp mp_pow(const Mp& x, const Mp& y) { return apply(mpfr_pow, x, y); }

// I_nu(x) by its power series, all terms positive.
Mp bessel_i(int nu, const Mp& x) {
  Mp half = x / Mp(2.0), q = half * half, term(1.0);
  for (int k = 1; k <= nu; ++k) term = term * half / Mp(static_cast<double>(k));
  Mp sum = term;
  for (int k = 1; k < 2000; ++k) {
    term = term * q / Mp(static_cast<double>(k) * (k + nu));
    sum = sum + term;
    // Zero, infinite or NaN terms (x zero or infinite) end the series; exponents are
    // compared only between regular numbers.
    if (!mpfr_regular_p(term.get()) || !mpfr_regular_p(sum.get()) ||
        mpfr_get_exp(term.get()) < mpfr_get_exp(sum.get()) - t_bits - 4) {
      break;
    }
  }
  return sum;  // for nu = 1 every term carries the sign of x
}

Mp cdfnorm(const Mp& x) {
  const Mp t = neg(x) / apply(mpfr_sqrt, Mp(2.0));
  return apply(mpfr_erfc, t) / Mp(2.0);
}

// The root of f(x) = target near `start` by Newton steps at the working precision; the
// start only selects the branch, the steps converge quadratically to the exact root.
// After a step of relative size s the error is about s^2 (times a modest factor), so
// the loop stops once s is below 2^-(precision/2 + 10): the reference is then good to
// well beyond an ulp of the target type. From a start within a few ulps (the computed
// result, as the harness passes it) that is one step.
template <class F, class Df>
Mp newton_root(double start, const Mp& target, int precision, F f, Df df) {
  Mp x(start);
  const long enough = precision / 2 + 10;
  for (int k = 0; k < 60; ++k) {
    const Mp step = (f(x) - target) / df(x);
    x = x - step;
    if (!mpfr_number_p(step.get()) || mpfr_zero_p(step.get()) ||
        (!mpfr_zero_p(x.get()) && mpfr_get_exp(step.get()) <= mpfr_get_exp(x.get()) - enough)) {
      break;
    }
  }
  return x;
}
Mp gauss_slope(const Mp& x, const Mp& factor) {  // factor * exp(-x^2)
  return factor * apply(mpfr_exp, neg(x * x));
}

std::optional<Reference> real_reference(std::string_view func, const Operands& o,
                                        int precision, double hint) {
  const Mp a(o.a.real()), b(o.b.real());
  const double ad = o.a.real();
  auto one_result = [](const Mp& r) { return Reference{lc(r), {}}; };
  static const std::map<std::string, Un, std::less<>> kUnary = {
      {"Acos", mpfr_acos},   {"Acosh", mpfr_acosh}, {"Acospi", mpfr_acospi},
      {"Asin", mpfr_asin},   {"Asinh", mpfr_asinh}, {"Asinpi", mpfr_asinpi},
      {"Atan", mpfr_atan},   {"Atanh", mpfr_atanh}, {"Atanpi", mpfr_atanpi},
      {"Cbrt", mpfr_cbrt},   {"Cos", mpfr_cos},     {"Cosh", mpfr_cosh},
      {"Cospi", mpfr_cospi}, {"Erf", mpfr_erf},     {"Erfc", mpfr_erfc},
      {"Exp", mpfr_exp},     {"Exp10", mpfr_exp10}, {"Exp2", mpfr_exp2},
      {"Expm1", mpfr_expm1}, {"Ln", mpfr_log},      {"Log10", mpfr_log10},
      {"Log1p", mpfr_log1p}, {"Log2", mpfr_log2},   {"Sin", mpfr_sin},
      {"Sinh", mpfr_sinh},   {"Sinpi", mpfr_sinpi}, {"Sqrt", mpfr_sqrt},
      {"Tan", mpfr_tan},     {"Tanh", mpfr_tanh},   {"Tanpi", mpfr_tanpi},
      {"TGamma", mpfr_gamma}, {"J0", mpfr_j0},      {"J1", mpfr_j1},
      {"Y0", mpfr_y0},       {"Y1", mpfr_y1},       {"InvSqrt", mpfr_rec_sqrt},
      {"Ceil", mpfr_rint_ceil}, {"Floor", mpfr_rint_floor}, {"Round", mpfr_rint_round},
      {"Trunc", mpfr_rint_trunc}, {"Rint", mpfr_rint}, {"NearbyInt", mpfr_rint},
      {"Frac", mpfr_frac},   {"Abs", mpfr_abs},     {"Sqr", mpfr_sqr},
  };
  static const std::map<std::string, Bin, std::less<>> kBinary = {
      {"Add", mpfr_add},     {"Sub", mpfr_sub},         {"Mul", mpfr_mul},
      {"Div", mpfr_div},     {"Atan2", mpfr_atan2},     {"Atan2pi", mpfr_atan2pi},
      {"Hypot", mpfr_hypot}, {"Fdim", mpfr_dim},        {"Fmax", mpfr_max},
      {"Fmin", mpfr_min},    {"Fmod", mpfr_fmod},       {"Remainder", mpfr_remainder},
      {"CopySign", mpfr_copysign},
  };
  if (auto it = kUnary.find(func); it != kUnary.end()) return one_result(apply(it->second, a));
  if (auto it = kBinary.find(func); it != kBinary.end()) {
    return one_result(apply(it->second, a, b));
  }
  if (func == "Inv") return one_result(Mp(1.0) / a);
  if (func == "InvCbrt") return one_result(Mp(1.0) / apply(mpfr_cbrt, a));
  if (func == "Pow2o3") return one_result(apply(mpfr_cbrt, a * a));
  if (func == "Pow3o2") return one_result(a * apply(mpfr_sqrt, a));
  if (func == "Pow" || func == "Powx") return one_result(mp_pow(a, b));
  if (func == "Powr") {
    // exp(b log a): no value for negative a, 0^0, inf^0 and 1^inf; a NaN operand
    // propagates (also with a zero exponent, unlike Pow).
    if (std::isnan(ad) || std::isnan(o.b.real()) || ad < 0 ||
        (o.b.real() == 0 && (ad == 0 || std::isinf(ad))) ||
        (ad == 1 && std::isinf(o.b.real()))) {
      return one_result(Mp(NAN));
    }
    return one_result(mp_pow(a, b));
  }
  if (func == "Erfcx") {
    if (ad == INFINITY) return one_result(Mp(0.0));
    if (ad >= 1e4) {
      // exp(x^2) erfc(x) = (1 - 1/(2x^2) + 3/(4x^4) - ...) / (x sqrt(pi)); exp(x^2)
      // leaves MPFR's default exponent range from about x = 3.3e4 on, and the next
      // term here is below 2^-100 relative.
      Mp pi;
      mpfr_const_pi(pi.get(), N);
      const Mp w = Mp(1.0) / (Mp(2.0) * a * a);
      const Mp sum = Mp(1.0) - w + Mp(3.0) * w * w - Mp(15.0) * w * w * w;
      return one_result(sum / (a * apply(mpfr_sqrt, pi)));
    }
    return one_result(apply(mpfr_exp, a * a) * apply(mpfr_erfc, a));
  }
  if (func == "CdfNorm") return one_result(cdfnorm(a));
  if (func == "ExpInt1") {
    if (ad < 0) return one_result(Mp(NAN));
    if (ad == 0) return one_result(Mp(INFINITY));
    return one_result(neg(apply(mpfr_eint, neg(a))));
  }
  if (func == "I0") return one_result(bessel_i(0, a));
  if (func == "I1") return one_result(bessel_i(1, a));
  if (func == "LGamma") {
    Mp r;
    int sign;
    mpfr_lgamma(r.get(), &sign, a.get(), N);
    return one_result(r);
  }
  if (func == "Logb") {
    if (ad == 0) return one_result(Mp(-INFINITY));
    if (!std::isfinite(ad)) return one_result(Mp(std::fabs(ad)));
    return one_result(Mp(static_cast<double>(mpfr_get_exp(a.get()) - 1)));
  }
  if (func == "Sind" || func == "Cosd" || func == "Tand") {
    Mp r;
    (func == "Sind" ? mpfr_sinu : func == "Cosd" ? mpfr_cosu : mpfr_tanu)(r.get(), a.get(), 360,
                                                                         N);
    return one_result(r);
  }
  if (func == "ErfInv" || func == "ErfcInv" || func == "CdfNormInv") {
    const bool erfc_form = func == "ErfcInv";
    const double lo = func == "ErfInv" ? -1 : 0, hi = func == "ErfInv" ? 1 : erfc_form ? 2 : 1;
    if (std::isnan(ad) || ad < lo || ad > hi) return one_result(Mp(NAN));
    if (ad == lo || ad == hi) {
      const bool upper = (ad == hi) != erfc_form;
      return one_result(Mp(upper ? INFINITY : -INFINITY));
    }
    Mp pi;
    mpfr_const_pi(pi.get(), N);
    const double start = std::isfinite(hint) ? hint : 0.0;
    if (func == "CdfNormInv") {
      const Mp factor = Mp(1.0) / apply(mpfr_sqrt, Mp(2.0) * pi);
      return one_result(newton_root(start, a, precision, cdfnorm, [&](const Mp& x) {
        return factor * apply(mpfr_exp, neg(x * x) / Mp(2.0));
      }));
    }
    const Mp factor = Mp(erfc_form ? -2.0 : 2.0) / apply(mpfr_sqrt, pi);
    return one_result(newton_root(
        start, a, precision, [&](const Mp& x) { return apply(erfc_form ? mpfr_erfc : mpfr_erf, x); },
        [&](const Mp& x) { return gauss_slope(x, factor); }));
  }
  if (func == "SinCos") return Reference{lc(apply(mpfr_sin, a)), lc(apply(mpfr_cos, a))};
  if (func == "SinCospi") return Reference{lc(apply(mpfr_sinpi, a)), lc(apply(mpfr_cospi, a))};
  if (func == "Modf") return Reference{lc(apply(mpfr_rint_trunc, a)), lc(apply(mpfr_frac, a))};
  if (func == "Jn" || func == "Yn") {
    Mp r;
    const long order = static_cast<long>(o.b.real());
    (func == "Jn" ? mpfr_jn : mpfr_yn)(r.get(), order, a.get(), N);
    return one_result(r);
  }
  if (func == "LinearFrac") {
    const Mp num = Mp(o.params[0]) * a + Mp(o.params[1]);
    const Mp den = Mp(o.params[2]) * b + Mp(o.params[3]);
    return one_result(num / den);
  }
  if (func == "MaxMag" || func == "MinMag") {
    const double x = ad, y = o.b.real();
    const bool max = func == "MaxMag";
    double r;
    if (std::isnan(x) || std::isnan(y)) {
      r = std::isnan(x) ? y : x;
    } else if (std::fabs(x) != std::fabs(y)) {
      r = (std::fabs(x) > std::fabs(y)) == max ? x : y;
    } else {
      r = max ? (x > y ? x : y) : (x < y ? x : y);
    }
    return one_result(Mp(r));
  }
  if (func == "NextAfter") {
    Mp x;
    mpfr_set_prec(x.get(), precision);
    mpfr_set_d(x.get(), ad, N);
    const double y = o.b.real();
    if (std::isnan(ad) || std::isnan(y)) return one_result(Mp(NAN));
    if (ad == y) return one_result(b);
    if (std::isinf(ad)) {  // toward any other value: the largest finite of its sign
      const double big = precision == 24 ? FLT_MAX : DBL_MAX;
      return one_result(Mp(ad > 0 ? big : -big));
    }
    // Below the normal range (and from its edge toward zero) the target's spacing is
    // the smallest subnormal, which a precision-p MPFR number does not know.
    const double tiny = precision == 24 ? 0x1p-149 : 0x1p-1074;
    const double normal = precision == 24 ? FLT_MIN : DBL_MIN;
    if (std::fabs(ad) < normal || (std::fabs(ad) == normal && (ad > 0) == (y < ad))) {
      return one_result(a + Mp(y > ad ? tiny : -tiny));
    }
    if (ad < y) {
      mpfr_nextabove(x.get());
    } else {
      mpfr_nextbelow(x.get());
    }
    return one_result(x);
  }
  return std::nullopt;
}

std::optional<Reference> complex_reference(std::string_view func, const Operands& o) {
  const Cx z = cx(o.a), w = cx(o.b);
  auto one_result = [](const Cx& r) { return Reference{lc(r), {}}; };
  if (func == "Abs") return Reference{lc(modulus(z)), {}};
  if (func == "Arg") return Reference{lc(argument(z)), {}};
  if (func == "CIS") {
    const Mp x(o.a.real());
    return one_result({apply(mpfr_cos, x), apply(mpfr_sin, x)});
  }
  if (func == "Conj") return one_result({z.re, neg(z.im)});
  if (func == "Add") return one_result(z + w);
  if (func == "Sub") return one_result(z - w);
  if (func == "Mul") return one_result(z * w);
  if (func == "MulByConj") return one_result(z * Cx{w.re, neg(w.im)});
  if (func == "Div") return one_result(z / w);
  if (func == "Exp") return one_result(cexp(z));
  if (func == "Ln") return one_result(clog(z));
  if (func == "Log10") {
    const Cx l = clog(z);
    const Mp ln10 = apply(mpfr_log, Mp(10.0));
    return one_result({l.re / ln10, l.im / ln10});
  }
  if (func == "Sqrt") return one_result(csqrt(z));
  if (func == "Pow" || func == "Powx") return one_result(cexp(w * clog(z)));
  if (func == "Sin") return one_result(csin(z));
  if (func == "Cos") return one_result(ccos(z));
  if (func == "Tan") return one_result(csin(z) / ccos(z));
  if (func == "Sinh") return one_result(csinh(z));
  if (func == "Cosh") return one_result(ccosh(z));
  if (func == "Tanh") return one_result(csinh(z) / ccosh(z));
  if (func == "Asinh") return one_result(casinh(z));
  if (func == "Acosh") return one_result(cacosh(z));
  if (func == "Atanh") return one_result(catanh(z));
  if (func == "Asin") return one_result(casin(z));
  if (func == "Atan") return one_result(catan(z));
  if (func == "Acos") return one_result(cacos(z));
  return std::nullopt;
}

}  // namespace

std::optional<Reference> mpfr_reference(std::string_view func, bool complex_type,
                                        const Operands& x, int precision, double hint) {
  return complex_type ? complex_reference(func, x)
                      : real_reference(func, x, precision, hint);
}

void set_reference_bits(int bits) { t_bits = bits; }

void release_reference_caches() { mpfr_free_cache(); }

double ulp_error(long double computed, long double reference, int precision) {
  if (std::isnan(reference) || std::isnan(computed)) {
    return std::isnan(reference) && std::isnan(computed) ? 0.0 : INFINITY;
  }
  const int min_exponent = precision == 24 ? -126 : -1022;
  const int max_exponent = precision == 24 ? 127 : 1023;
  // Round-to-nearest overflows from 2^(emax+1) - 2^(emax-p) on: half an ulp above the
  // largest finite value.
  const long double overflow =
      std::ldexp(1.0L, max_exponent + 1) - std::ldexp(1.0L, max_exponent - precision);
  if (std::isinf(computed) && std::fabs(reference) >= overflow) {
    return std::signbit(computed) == std::signbit(reference) ? 0.0 : INFINITY;
  }
  if (std::isinf(reference) || std::isinf(computed)) {
    return computed == reference ? 0.0 : INFINITY;
  }
  int e = reference == 0 ? min_exponent : std::ilogb(reference);
  e = std::clamp(e, min_exponent, max_exponent);
  const long double ulp = std::ldexp(1.0L, e - (precision - 1));
  return static_cast<double>(std::fabs(computed - reference) / ulp);
}

double ulp_error(LongComplex computed, LongComplex reference, int precision) {
  const long double scale = std::max(std::fabs(reference.real()), std::fabs(reference.imag()));
  const bool finite = std::isfinite(reference.real()) && std::isfinite(reference.imag()) &&
                      std::isfinite(computed.real()) && std::isfinite(computed.imag());
  // Non-finite values (and an overflowed part, which matches a reference part beyond
  // the range) are compared part by part.
  if (!finite || scale == 0) {
    return std::max(ulp_error(computed.real(), reference.real(), precision),
                    ulp_error(computed.imag(), reference.imag(), precision));
  }
  const double re = ulp_error(computed.real() - reference.real() + scale, scale, precision);
  const double im = ulp_error(computed.imag() - reference.imag() + scale, scale, precision);
  return std::max(re, im);
}

}  // namespace zorn_accuracy
