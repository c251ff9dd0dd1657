#include "mpfr_reference.h"

#include <mpfr.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <limits>
#include <string_view>

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

Reference one_result(const Mp& r) { return {lc(r), {}}; }

// ---- the references written out (NAMED in harness/functions.def) ----
Reference real_powr(const Mp& a, const Mp& b, const Operands& o, int, double) {
  // exp(b log a): no value for negative a, 0^0, inf^0 and 1^inf; a NaN operand
  // propagates (also with a zero exponent, unlike Pow).
  const double ad = o.a.real(), bd = o.b.real();
  if (std::isnan(ad) || std::isnan(bd) || ad < 0 || (bd == 0 && (ad == 0 || std::isinf(ad))) ||
      (ad == 1 && std::isinf(bd))) {
    return one_result(Mp(NAN));
  }
  return one_result(apply(mpfr_pow, a, b));
}
Reference real_erfcx(const Mp& a, const Mp&, const Operands& o, int, double) {
  const double ad = o.a.real();
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
Reference real_expint1(const Mp& a, const Mp&, const Operands& o, int, double) {
  if (o.a.real() < 0) return one_result(Mp(NAN));
  if (o.a.real() == 0) return one_result(Mp(INFINITY));
  return one_result(neg(apply(mpfr_eint, neg(a))));
}
Reference real_lgamma(const Mp& a, const Mp&, const Operands&, int, double) {
  Mp r;
  int sign;
  mpfr_lgamma(r.get(), &sign, a.get(), N);
  return one_result(r);
}
Reference real_logb(const Mp& a, const Mp&, const Operands& o, int, double) {
  const double ad = o.a.real();
  if (ad == 0) return one_result(Mp(-INFINITY));
  if (!std::isfinite(ad)) return one_result(Mp(std::fabs(ad)));
  return one_result(Mp(static_cast<double>(mpfr_get_exp(a.get()) - 1)));
}
template <int (*F)(mpfr_ptr, mpfr_srcptr, unsigned long, mpfr_rnd_t)>
Reference in_degrees(const Mp& a, const Mp&, const Operands&, int, double) {
  Mp r;
  F(r.get(), a.get(), 360, N);
  return one_result(r);
}
constexpr auto real_sind = in_degrees<mpfr_sinu>;
constexpr auto real_cosd = in_degrees<mpfr_cosu>;
constexpr auto real_tand = in_degrees<mpfr_tanu>;

// The inverses without an MPFR counterpart, by Newton steps from the hint: x with
// erf(x) = a on [-1, 1], erfc(x) = a on [0, 2], cdfnorm(x) = a on [0, 1].
enum class Inverse { kErf, kErfc, kCdfNorm };
template <Inverse K>
Reference inverse(const Mp& a, const Mp&, const Operands& o, int precision, double hint) {
  const double ad = o.a.real();
  const double lo = K == Inverse::kErf ? -1 : 0, hi = K == Inverse::kErfc ? 2 : 1;
  if (std::isnan(ad) || ad < lo || ad > hi) return one_result(Mp(NAN));
  if (ad == lo || ad == hi) {
    const bool upper = (ad == hi) != (K == Inverse::kErfc);
    return one_result(Mp(upper ? INFINITY : -INFINITY));
  }
  Mp pi;
  mpfr_const_pi(pi.get(), N);
  const double start = std::isfinite(hint) ? hint : 0.0;
  if constexpr (K == Inverse::kCdfNorm) {
    const Mp factor = Mp(1.0) / apply(mpfr_sqrt, Mp(2.0) * pi);
    return one_result(newton_root(start, a, precision, cdfnorm, [&](const Mp& x) {
      return factor * apply(mpfr_exp, neg(x * x) / Mp(2.0));
    }));
  } else {
    const bool erfc_form = K == Inverse::kErfc;
    const Mp factor = Mp(erfc_form ? -2.0 : 2.0) / apply(mpfr_sqrt, pi);
    return one_result(newton_root(
        start, a, precision, [&](const Mp& x) { return apply(erfc_form ? mpfr_erfc : mpfr_erf, x); },
        [&](const Mp& x) { return gauss_slope(x, factor); }));
  }
}
constexpr auto real_erfinv = inverse<Inverse::kErf>;
constexpr auto real_erfcinv = inverse<Inverse::kErfc>;
constexpr auto real_cdfnorminv = inverse<Inverse::kCdfNorm>;

Reference real_sincos(const Mp& a, const Mp&, const Operands&, int, double) {
  return {lc(apply(mpfr_sin, a)), lc(apply(mpfr_cos, a))};
}
Reference real_sincospi(const Mp& a, const Mp&, const Operands&, int, double) {
  return {lc(apply(mpfr_sinpi, a)), lc(apply(mpfr_cospi, a))};
}
Reference real_modf(const Mp& a, const Mp&, const Operands&, int, double) {
  return {lc(apply(mpfr_rint_trunc, a)), lc(apply(mpfr_frac, a))};
}
template <int (*F)(mpfr_ptr, long, mpfr_srcptr, mpfr_rnd_t)>
Reference of_order(const Mp& a, const Mp&, const Operands& o, int, double) {
  Mp r;
  F(r.get(), static_cast<long>(o.b.real()), a.get(), N);
  return one_result(r);
}
constexpr auto real_jn = of_order<mpfr_jn>;
constexpr auto real_yn = of_order<mpfr_yn>;
Reference real_linear_frac(const Mp& a, const Mp& b, const Operands& o, int, double) {
  const Mp num = Mp(o.params[0]) * a + Mp(o.params[1]);
  const Mp den = Mp(o.params[2]) * b + Mp(o.params[3]);
  return one_result(num / den);
}
// The argument of larger (smaller) magnitude; equal magnitudes as Fmax (Fmin), and a
// NaN gives way to a number.
template <bool Max>
Reference by_magnitude(const Mp&, const Mp&, const Operands& o, int, double) {
  const double x = o.a.real(), y = o.b.real();
  double r;
  if (std::isnan(x) || std::isnan(y)) {
    r = std::isnan(x) ? y : x;
  } else if (std::fabs(x) != std::fabs(y)) {
    r = (std::fabs(x) > std::fabs(y)) == Max ? x : y;
  } else {
    r = Max ? (x > y ? x : y) : (x < y ? x : y);
  }
  return one_result(Mp(r));
}
constexpr auto real_maxmag = by_magnitude<true>;
constexpr auto real_minmag = by_magnitude<false>;
Reference real_nextafter(const Mp& a, const Mp& b, const Operands& o, int precision, double) {
  const double ad = o.a.real(), y = o.b.real();
  Mp x;
  mpfr_set_prec(x.get(), precision);
  mpfr_set_d(x.get(), ad, N);
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

Cx clog10(const Cx& z) {
  const Cx l = clog(z);
  const Mp ln10 = apply(mpfr_log, Mp(10.0));
  return {l.re / ln10, l.im / ln10};
}

// ---- the reference column of the catalogue ----
using RealReference = Reference (*)(const Mp& a, const Mp& b, const Operands& o,
                                    int precision, double hint);
using ComplexReference = Reference (*)(const Operands& o);

#define REAL_UNARY(f) [](const Mp& a, const Mp&, const Operands&, int, double) { return one_result(apply(f, a)); }
#define REAL_BINARY(f) \
  [](const Mp& a, const Mp& b, const Operands&, int, double) { return one_result(apply(f, a, b)); }
#define REAL_EXPR(...) \
  [](const Mp& a, [[maybe_unused]] const Mp& b, const Operands&, int, double) { return one_result(__VA_ARGS__); }
#define REAL_NAMED(f) real_##f
#define REAL_NONE nullptr
#define COMPLEX_CX(...)                                       \
  [](const Operands& o) {                                     \
    [[maybe_unused]] const Cx z = cx(o.a), w = cx(o.b);       \
    return Reference{lc(__VA_ARGS__), {}};                    \
  }
#define COMPLEX_NONE nullptr

struct References {
  std::string_view func;
  RealReference real;
  ComplexReference complex;
};
const References kReferences[] = {
#define ACCURACY_FUNCTION(Func, real, complex, ...) {#Func, REAL_##real, COMPLEX_##complex},
#include "harness/functions.def"
#undef ACCURACY_FUNCTION
};

}  // namespace

std::optional<Reference> mpfr_reference(std::string_view func, bool complex_type,
                                        const Operands& x, int precision, double hint) {
  for (const References& r : kReferences) {
    if (r.func != func) continue;
    if (complex_type) return r.complex ? std::optional(r.complex(x)) : std::nullopt;
    if (!r.real) return std::nullopt;
    return r.real(Mp(x.a.real()), Mp(x.b.real()), x, precision, hint);
  }
  return std::nullopt;
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
