// Prints the polynomial tables of the error function kernels, each fitted with MPFR
// (mp_fit's Chebyshev interpolants), the coefficients rounded to double.
//
// - erfcx(a) = e^(a^2) erfc(a) on 80 rows covering 0 <= a < 31: row i holds the a whose
//   a + 1 lies in [2^e (1 + j/16), 2^e (1 + (j+1)/16)), i = 16 e + j, so that the kernels
//   find the row from the top bits of a + 1. Row layout: {left end, c0 hi, c0 lo, c1 ...}.
// - erf(a) / a - 1 as a polynomial in s = a^2 on [0, 1/256].
// - a erfcx(a) as a polynomial in w = 1/a^2 on (0, 1/930.25] (a >= 30.5).
// - erf(a) on 385 rows about r = k/64 (0 <= r <= 6), erfc(a) on 289 about r = k/32
//   (0 <= r <= 9), in powers of a - r (erf's slope less 1, whose product with a - r the
//   kernel adds exactly).
// - For the float kernels, erfc on the grid r = k/128, 0 <= r <= 9: {erfc(r) as float head
//   and remainder, the Taylor coefficients of ln erfc about r}, and erf on the grid
//   r = k/256 up to 4 {head, remainder, derivative, 0} (--float).
// The double kernels take the high degrees, with the constant term as head and remainder
// ({c0 hi, c0 lo, c1, ...}); the single ones (which compute in double and round once)
// the low degrees, plain.
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include "../mp_fit/chebyshev_fit.h"

namespace {

using mp_fit::fit;
using mp_fit::Function;
using mp_fit::print_split_row;
using mp_fit::Real;

void erfcx(Real& r, const Real& x) {
  Real e;
  mpfr_sqr(e.v, x.v, MPFR_RNDN);
  mpfr_exp(e.v, e.v, MPFR_RNDN);
  mpfr_erfc(r.v, x.v, MPFR_RNDN);
  mpfr_mul(r.v, r.v, e.v, MPFR_RNDN);
}

// erf(sqrt s) / sqrt s - 1
void erf_ratio(Real& r, const Real& s) {
  Real a;
  mpfr_sqrt(a.v, s.v, MPFR_RNDN);
  mpfr_erf(r.v, a.v, MPFR_RNDN);
  mpfr_div(r.v, r.v, a.v, MPFR_RNDN);
  mpfr_sub_ui(r.v, r.v, 1, MPFR_RNDN);
}

// a erfcx(a) at a = 1 / sqrt w
void scaled_tail(Real& r, const Real& w) {
  Real a;
  mpfr_rec_sqrt(a.v, w.v, MPFR_RNDN);
  erfcx(r, a);
  mpfr_mul(r.v, r.v, a.v, MPFR_RNDN);
}

// {erfc(r) head, remainder, -q', -c2} for r = k/128, k = 0 .. 1152, in float, where
// ln(erfc(r + d) / erfc(r)) = -q d - c2 d^2 - c3 d^3 - ...: q = (2/sqrt(pi)) / erfcx(r)
// (erfc's logarithmic slope), and with w = q - 2 r, c2 = q w / 2, c3 = q (w^2 + q w - 2) / 6
// (from q' = q (q - 2 a)). The cubic term is economised into the linear one over |d| <=
// h = 1/256 (d^3 ~ 3/4 h^2 d, Chebyshev), q' = q + 3/4 h^2 c3, leaving c3 h^3 / 4 < 2^-29.
void print_grid(const char* name) {
  constexpr int kRows = 1153;
  constexpr double kHalfStep = 1.0 / 256;
  std::printf("alignas(16) constexpr float %s[%d][4] = {\n", name, kRows);
  for (int k = 0; k < kRows; ++k) {
    Real r, v, rest, y, q, w, c2, c3, t;
    mpfr_set_d(r.v, k / 128.0, MPFR_RNDN);
    mpfr_erfc(v.v, r.v, MPFR_RNDN);
    const float head = mpfr_get_flt(v.v, MPFR_RNDN);
    mpfr_sub_d(rest.v, v.v, head, MPFR_RNDN);
    erfcx(y, r);
    mpfr_const_pi(q.v, MPFR_RNDN);
    mpfr_rec_sqrt(q.v, q.v, MPFR_RNDN);
    mpfr_mul_ui(q.v, q.v, 2, MPFR_RNDN);
    mpfr_div(q.v, q.v, y.v, MPFR_RNDN);
    mpfr_mul_ui(w.v, r.v, 2, MPFR_RNDN);
    mpfr_sub(w.v, q.v, w.v, MPFR_RNDN);
    mpfr_mul(t.v, q.v, w.v, MPFR_RNDN);  // q w
    mpfr_div_ui(c2.v, t.v, 2, MPFR_RNDN);
    mpfr_sqr(c3.v, w.v, MPFR_RNDN);
    mpfr_add(c3.v, c3.v, t.v, MPFR_RNDN);
    mpfr_sub_ui(c3.v, c3.v, 2, MPFR_RNDN);
    mpfr_mul(c3.v, c3.v, q.v, MPFR_RNDN);
    mpfr_div_ui(c3.v, c3.v, 6, MPFR_RNDN);
    mpfr_mul_d(c3.v, c3.v, 0.75 * kHalfStep * kHalfStep, MPFR_RNDN);
    mpfr_add(q.v, q.v, c3.v, MPFR_RNDN);
    std::printf("    {%af, %af, %af, %af},\n", head, mpfr_get_flt(rest.v, MPFR_RNDN),
                -mpfr_get_flt(q.v, MPFR_RNDN), -mpfr_get_flt(c2.v, MPFR_RNDN));
  }
  std::printf("};\n");
}

// (e^L - 1 - L) / L^2 on |L| <= 0.0712 (the float Erfc's exponent: |L| <= |q'|/256 +
// |c2|/256^2, about 18.1/256 at r = 9), a quadratic in powers of L, in float:
// e^L - 1 = L + L^2 g(L) to 2^-27.9 of e^L (checked at 2001 points with mpmath).
// By its series, sum of L^(n-2)/n! for n >= 2 (the subtraction would cancel at the node
// next to 0).
void expm1_ratio(Real& r, const Real& l) {
  Real term;
  mpfr_set_d(term.v, 0.5, MPFR_RNDN);
  mpfr_set(r.v, term.v, MPFR_RNDN);
  for (int n = 3; n < 80; ++n) {
    mpfr_mul(term.v, term.v, l.v, MPFR_RNDN);
    mpfr_div_ui(term.v, term.v, n, MPFR_RNDN);
    mpfr_add(r.v, r.v, term.v, MPFR_RNDN);
  }
}

void print_expm1_ratio(const char* name) {
  constexpr double kReach = 0.0712;
  const std::vector<Real> m = mp_fit::to_powers_of_x(fit(expm1_ratio, -kReach, 2 * kReach, 2), -kReach);
  std::printf("constexpr float %s[3] = {", name);
  for (size_t k = 0; k < m.size(); ++k) std::printf(k ? ", %af" : "%af", mpfr_get_flt(m[k].v, MPFR_RNDN));
  std::printf("};\n");
}

// {erf(r) head, remainder, s0 = (2/sqrt(pi)) e^(-r^2), 0} for r = k/256, k = 0 .. 1024, in
// float: the single precision Erf's rows, erf(r + d) = erf(r) + s0 d (1 - r d + q d^2 + ...)
// with q = (2 r^2 - 1)/3, which the kernel takes as -1/3 (|d| <= 1/512: the rest,
// s0 (2 r^2/3) d^3, stays below 2^-28.8 of erf). The fourth column pads the row to 16 bytes.
void print_erf_grid(const char* name) {
  constexpr int kRows = 1025;
  std::printf("alignas(16) constexpr float %s[%d][4] = {\n", name, kRows);
  for (int k = 0; k < kRows; ++k) {
    const double r = k / 256.0;
    Real x, v, rest, s0, c;
    mpfr_set_d(x.v, r, MPFR_RNDN);
    mpfr_erf(v.v, x.v, MPFR_RNDN);
    const float head = mpfr_get_flt(v.v, MPFR_RNDN);
    mpfr_sub_d(rest.v, v.v, head, MPFR_RNDN);
    mpfr_sqr(s0.v, x.v, MPFR_RNDN);
    mpfr_neg(s0.v, s0.v, MPFR_RNDN);
    mpfr_exp(s0.v, s0.v, MPFR_RNDN);
    mpfr_const_pi(c.v, MPFR_RNDN);
    mpfr_rec_sqrt(c.v, c.v, MPFR_RNDN);
    mpfr_mul_ui(c.v, c.v, 2, MPFR_RNDN);
    mpfr_mul(s0.v, s0.v, c.v, MPFR_RNDN);
    std::printf("    {%af, %af, %af, 0},\n", head, mpfr_get_flt(rest.v, MPFR_RNDN),
                mpfr_get_flt(s0.v, MPFR_RNDN));
  }
  std::printf("};\n");
}

void print_rows(const char* name, int degree) {
  constexpr int kRows = 80;
  std::printf("alignas(16) constexpr double %s[%d][%d] = {\n", name, kRows, degree + 3);
  for (int i = 0; i < kRows; ++i) {
    const int e = i / 16, j = i % 16;
    const double left = std::ldexp(1 + j / 16.0, e) - 1;
    const double right = std::ldexp(1 + (j + 1) / 16.0, e) - 1;
    char prefix[64];
    std::snprintf(prefix, sizeof prefix, "    {%a, ", left);
    print_split_row(fit(erfcx, left, right - left, degree), prefix);
    std::printf("},\n");
  }
  std::printf("};\n");
}

// f on the rows r = k h, h = 1/per_unit, k = 0 .. last, in powers of d = a - r (|d| <= h/2):
// the fit on [r - h/2, r + h/2] re-expanded about its centre (Taylor shift by Horner's steps). With
// split_slope, c1 too as head (6 bits, so that its product with a 47-bit d is exact)
// and remainder: {c0 hi, c0 lo, c1 hi, c1 lo, c2, ...}. Otherwise c1 less
// slope_head, which the kernel multiplies by d exactly (a power of two).
void print_centred_rows(const char* name, const Function& f, int per_unit, int last, int degree,
                        bool split_slope, double slope_head = 0) {
  std::printf("alignas(16) constexpr double %s[%d][%d] = {\n", name, last + 1,
              degree + 2 + (split_slope ? 1 : 0));
  for (int k = 0; k <= last; ++k) {
    const double h = 1.0 / per_unit, r = k * h;
    std::vector<Real> m = fit(f, r - h / 2, h, degree);
    for (int i = 0; i < degree; ++i) {
      for (int j = degree - 1; j >= i; --j) {
        Real t;
        mpfr_mul_d(t.v, m[j + 1].v, h / 2, MPFR_RNDN);
        mpfr_add(m[j].v, m[j].v, t.v, MPFR_RNDN);
      }
    }
    if (split_slope) {
      Real head = m[1];
      mpfr_prec_round(head.v, 6, MPFR_RNDN);
      mpfr_sub(m[1].v, m[1].v, head.v, MPFR_RNDN);
      m.insert(m.begin() + 1, head);  // printed after c0's head and remainder
    } else {
      mpfr_sub_d(m[1].v, m[1].v, slope_head, MPFR_RNDN);
    }
    print_split_row(m, "    {");
    std::printf("},\n");
  }
  std::printf("};\n");
}

void print_fit(const char* name, const Function& f, double left, double width, int degree,
                 bool split) {
  const std::vector<Real> m = fit(f, left, width, degree);
  std::printf("constexpr double %s[%d] = {", name, degree + 1 + (split ? 1 : 0));
  if (split) {
    print_split_row(m, "");
  } else {
    for (int k = 0; k <= degree; ++k) std::printf(k ? ", %a" : "%a", m[k].get());
  }
  std::printf("};\n");
}

}  // namespace

// With --float, the float kernels' tables (erf_grid_tables.inc) instead.
int main(int argc, char** argv) {
  if (argc > 1 && std::strcmp(argv[1], "--float") == 0) {
    std::printf("// Generated by tools/tess_erf_tables/erf_tables.cpp --float; do not edit.\n");
    std::printf("// erfc(r) {head, remainder} and ln erfc's Taylor coefficients -q', -c2 at r = k/128.\n");
    print_grid("kErfcGridFloat");
    std::printf("// (e^L - 1 - L) / L^2 in powers of L, |L| <= 0.0712.\n");
    print_expm1_ratio("kExpm1RatioFloat");
    std::printf("// erf(r) {head, remainder}, s0 = (2/sqrt(pi)) e^(-r^2) and (2 r^2 - 1)/3 at r = k/128.\n");
    print_erf_grid("kErfGridFloat");
    return 0;
  }
  std::printf("// Generated by tools/tess_erf_tables/erf_tables.cpp; do not edit.\n");
  std::printf("// erfcx on 80 rows of 0 <= a < 31: {left end, c0 hi, c0 lo, c1, ...} in a - left.\n");
  print_rows("kErfcxRowsDouble", 9);
  print_rows("kErfcxRowsSingle", 5);
  std::printf("// erf about r = k/64, 0 <= r <= 6: {c0 hi, c0 lo, c1 - 1, c2, ...} in a - r.\n");
  print_centred_rows("kErfRowsDouble", [](Real& y, const Real& x) { mpfr_erf(y.v, x.v, MPFR_RNDN); },
                     64, 384, 6, false, 1.0);
  std::printf("// erfc about r = k/32, 0 <= r <= 9: {c0 hi, c0 lo, c1, ...} in a - r.\n");
  print_centred_rows("kErfcRowsDouble", [](Real& y, const Real& x) { mpfr_erfc(y.v, x.v, MPFR_RNDN); },
                     32, 288, 11, true);
  std::printf("// erf(a) / a - 1 in powers of a^2, 0 <= a <= 1/16.\n");
  print_fit("kErfRatioDouble", erf_ratio, 0.0, 1.0 / 256, 5, true);
  std::printf("// a erfcx(a) in powers of 1/a^2, a >= 30.5.\n");
  print_fit("kErfcxTailDouble", scaled_tail, 0.0, 1.0 / 930.25, 6, true);
  print_fit("kErfcxTailSingle", scaled_tail, 0.0, 1.0 / 930.25, 3, false);
  return 0;
}
