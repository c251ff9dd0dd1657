// Prints the tables of the hyperbolic kernels, computed with MPFR: row j = {hi, lo} of
// 2^(j/64) followed by {hi, lo} of 2^(-j/64), hi rounded to double and lo the rounded
// remainder, so that one row holds both exponentials of one reduction. Then the rows of
// single precision Sinh, Cosh and Tanh at the points c = k/8 (see print_addition_rows),
// and the polynomial of single precision Tanh near 0: tanh r - r = r^3 P(r^2) on
// |r| <= 1/16, P interpolating (tanh r - r)/r^3 at the Chebyshev nodes (mp_fit), followed
// by the largest relative error of r^3 P(r^2).
#include <mpfr.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstdio>
#include <initializer_list>
#include <vector>

#include "../mp_fit/chebyshev_fit.h"

// Rows j = 0 .. kRows - 1 of 2^(+-j/kRows) as {hi, lo} pairs of doubles.
template <int kRows>
void print_table(const char* name, mpfr_ptr exact, mpfr_ptr diff) {
  std::printf("alignas(32) constexpr double %s[%d][4] = {\n", name, kRows);
  for (int j = 0; j < kRows; ++j) {
    std::printf("    {");
    for (int sign : {1, -1}) {
      mpfr_set_si(exact, sign * j, MPFR_RNDN);
      mpfr_div_ui(exact, exact, kRows, MPFR_RNDN);
      mpfr_exp2(exact, exact, MPFR_RNDN);
      const double hi = mpfr_get_d(exact, MPFR_RNDN);
      mpfr_sub_d(diff, exact, hi, MPFR_RNDN);
      std::printf(sign > 0 ? "%a, %a, " : "%a, %a},\n", hi, mpfr_get_d(diff, MPFR_RNDN));
    }
  }
  std::printf("};\n");
}

// b = 5 + e bits (at least 1): the head of a row's slope, short enough that its product
// with r = a - c is exact for every a within 1/16 of c = k/8 (a rounds to k). r is a
// multiple of ulp(a) = 2^(e - 23) for 2^e <= a, below 2^(19 - e) of them (at most 19 - e
// bits; 1/16 itself is one), so that the product keeps within 24 bits, e taken at the
// row's least argument c - 1/16.
int head_bits(int k) {
  const int e = k == 0 ? 0 : static_cast<int>(std::floor(std::log2(k / 8.0 - 1.0 / 16)));
  return std::max(5 + e, 1);
}

// Prints {f hi, f lo, slope head / 8, slope rest / 8} for f(c) and the slope s(c) at c,
// f hi and the rest rounded to float, the head to head_bits(|k|) bits, f lo the rounded
// remainder of f (a zero f keeps its sign in both); the last two are divided by 8 (the
// kernels carry 8r).
void print_row(int k, mpfr_srcptr f, mpfr_srcptr slope) {
  mpfr_t head, rest;
  mpfr_init2(rest, 256);
  const float f_hi = mpfr_get_flt(f, MPFR_RNDN);
  mpfr_sub_d(rest, f, f_hi, MPFR_RNDN);
  const float f_lo = mpfr_zero_p(f) ? f_hi : mpfr_get_flt(rest, MPFR_RNDN);
  mpfr_init2(head, head_bits(std::abs(k)));
  mpfr_set(head, slope, MPFR_RNDN);
  mpfr_sub(rest, slope, head, MPFR_RNDN);
  std::printf("    {%af, %af, %af, %af},\n", static_cast<double>(f_hi),
              static_cast<double>(f_lo), mpfr_get_d(head, MPFR_RNDN) / 8,
              static_cast<double>(mpfr_get_flt(rest, MPFR_RNDN)) / 8);
  mpfr_clears(head, rest, static_cast<mpfr_ptr>(nullptr));
}

// Rows of one of single precision Sinh and Cosh, f, at c = k/8, with g the other function
// as the slope (f(c + r) = f(c) cosh r + g(c) sinh r): k = -kLastRow .. kLastRow for Sinh,
// whose kernel takes x with its sign (no absolute value taken, no sign put back), and k =
// 0 .. kLastRow for Cosh. Sinh's row 0 holds f as -0 (sinh +0 is then +0 + -0 terms, and
// sinh -0 all -0 terms: the sign of a zero carries through).
constexpr int kLastRow = 715;  // k = round(8 a) for |a| up to 89.416, the overflow bound
void print_addition_rows(const char* name, bool sinh_rows) {
  mpfr_t c, f, g;
  mpfr_inits2(256, c, f, g, static_cast<mpfr_ptr>(nullptr));
  const int first = sinh_rows ? -kLastRow : 0;
  std::printf("alignas(16) constexpr float %s[%d][4] = {\n", name, kLastRow + 1 - first);
  for (int k = first; k <= kLastRow; ++k) {
    mpfr_set_d(c, k / 8.0, MPFR_RNDN);
    mpfr_sinh_cosh(sinh_rows ? f : g, sinh_rows ? g : f, c, MPFR_RNDN);
    if (sinh_rows && k == 0) mpfr_neg(f, f, MPFR_RNDN);
    print_row(k, f, g);
  }
  std::printf("};\n");
  mpfr_clears(c, f, g, static_cast<mpfr_ptr>(nullptr));
}

// Rows k = 0 .. kTanhRows - 1 of single precision Tanh at c = k/8 with the slope
// 1 - tanh^2 c (tanh(c + r) = T + (1 - T^2) tanh r / (1 + T tanh r), T = tanh c).
constexpr int kTanhRows = 74;  // k = round(8 a) for a up to 9.125, past 9.011 (rounds to 1)
void print_tanh_rows() {
  mpfr_t c, t, slope;
  mpfr_inits2(256, c, t, slope, static_cast<mpfr_ptr>(nullptr));
  std::printf("alignas(16) constexpr float kTanhRowsSingle[%d][4] = {\n", kTanhRows);
  for (int k = 0; k < kTanhRows; ++k) {
    mpfr_set_d(c, k / 8.0, MPFR_RNDN);
    mpfr_tanh(t, c, MPFR_RNDN);
    mpfr_sqr(slope, t, MPFR_RNDN);
    mpfr_ui_sub(slope, 1, slope, MPFR_RNDN);
    print_row(k, t, slope);
  }
  std::printf("};\n");
  mpfr_clears(c, t, slope, static_cast<mpfr_ptr>(nullptr));
}

// (tanh r - r)/r^3 at w = r^2, and its limit -1/3 at w = 0.
void tanh_cubic_term(mp_fit::Real& out, const mp_fit::Real& w) {
  if (mpfr_zero_p(w.v)) {
    mpfr_set_si(out.v, -1, MPFR_RNDN);
    mpfr_div_ui(out.v, out.v, 3, MPFR_RNDN);
    return;
  }
  mp_fit::Real r, cube;
  mpfr_sqrt(r.v, w.v, MPFR_RNDN);
  mpfr_tanh(out.v, r.v, MPFR_RNDN);
  mpfr_sub(out.v, out.v, r.v, MPFR_RNDN);
  mpfr_mul(cube.v, r.v, w.v, MPFR_RNDN);
  mpfr_div(out.v, out.v, cube.v, MPFR_RNDN);
}

// P with tanh r - r = r^3 P(r^2) on |r| <= 1/16, printed for the kernel's u = 8r as
// 8 (tanh r - r) = u^3 Q(u^2), Q(z) = P(z/64)/64: the coefficients of Q as floats.
void print_tanh_polynomial(int degree) {
  const std::vector<mp_fit::Real> p = mp_fit::fit(tanh_cubic_term, 0, 1.0 / 256, degree);
  std::vector<float> q;
  for (int k = 0; k <= degree; ++k) {
    mp_fit::Real scaled;
    mpfr_div_2si(scaled.v, p[k].v, 6 * (k + 1), MPFR_RNDN);
    q.push_back(mpfr_get_flt(scaled.v, MPFR_RNDN));
  }
  std::printf("// 8 (tanh r - r) = u^3 (q[0] + q[1] u^2 + ...), u = 8r, |u| <= 1/2.\n");
  std::printf("constexpr float kTanhCubicPolynomial[%d] = {", degree + 1);
  for (int k = 0; k <= degree; ++k) std::printf(k ? ", %af" : "%af", static_cast<double>(q[k]));
  double worst = 0;
  for (int i = 1; i <= 2048; ++i) {
    mp_fit::Real z, value, exact;
    mpfr_set_d(z.v, i / 8192.0, MPFR_RNDN);  // z = u^2 on (0, 1/4]
    mp_fit::evaluate(value, q, z);
    mpfr_div_2ui(z.v, z.v, 6, MPFR_RNDN);
    tanh_cubic_term(exact, z);
    mpfr_div_2ui(exact.v, exact.v, 6, MPFR_RNDN);
    mpfr_div(value.v, value.v, exact.v, MPFR_RNDN);
    mpfr_sub_ui(value.v, value.v, 1, MPFR_RNDN);
    worst = std::fmax(worst, std::fabs(value.get()));
  }
  std::printf("};\n// largest relative error of u^3 Q(u^2) on 0 < |u| <= 1/2: 2^%.1f\n",
              std::log2(worst));
}

int main() {
  mpfr_t exact, diff;
  mpfr_inits2(256, exact, diff, static_cast<mpfr_ptr>(nullptr));
  std::printf("// Generated by tools/tess_inverse_trig_tables/hyperbolic_tables.cpp; do not edit.\n");
  std::printf("// {hi, lo} of 2^(j/64), then {hi, lo} of 2^(-j/64).\n");
  print_table<64>("kExp2PlusMinusOver64Double", exact, diff);
  std::printf("// Single precision Sinh at k/8, k from -%d: {sinh hi, sinh lo, cosh head/8, "
              "cosh rest/8}.\n", kLastRow);
  print_addition_rows("kSinhRowsSingle", true);
  std::printf("// Single precision Cosh at k/8: {cosh hi, cosh lo, sinh head/8, sinh rest/8}.\n");
  print_addition_rows("kCoshRowsSingle", false);
  std::printf(
      "// Single precision Tanh at k/8: {tanh hi, tanh lo, sech^2 head/8, sech^2 rest/8}.\n");
  print_tanh_rows();
  print_tanh_polynomial(1);
  mpfr_clears(exact, diff, static_cast<mpfr_ptr>(nullptr));
  return 0;
}
