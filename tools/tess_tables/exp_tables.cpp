// Prints the tables of 2^(j/N) used by the exponential kernels, each entry computed with
// MPFR and rounded once:
//   single fast path, N = 128: hi = RN_float(2^(j/128)), lo = RN_float(2^(j/128) - hi),
//     twice over (256 rows)
//   double fast path, N = 64:  hi = RN_double(2^(j/64)), lo = RN_double(2^(j/64) - hi)
//   callouts,         N = 64:  hi = RN_double(2^(j/64)), lo = RN_double((2^(j/64) - hi) / hi)
// and the polynomials P of double precision b^r - 1 = r P(r), b = 2 and 10, for |r| up
// to log_b(2) / 128 (the remainder of the 2^(j/64) reduction), fitted at Chebyshev nodes
// (mp_fit) and rounded to double; the largest error of r P(r) with the rounded
// coefficients, relative to b^r (what the result inherits), goes to stderr.
//
// With the argument `fine`, the double precision tables on steps of 1/256 instead:
//   N = 256: hi = RN_double(2^(j/256)), lo = RN_double((2^(j/256) - hi) / hi)
// P of 2^r - 1 = r P(r) for |r| <= 1/512, Q of e^r - 1 = r + r^2 Q(r) for |r| up to a
// whole step ln 2 / 256 (a shifter that rounds in the caller's direction leaves that
// much), and ln 2 / 256 split into a 34-bit head, whose products with any |k| < 2^18
// are exact, and the rounded rest.
#include <mpfr.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include "../mp_fit/chebyshev_fit.h"

namespace {

constexpr mpfr_prec_t kWorkingPrecision = 256;

void power_of_two(mpfr_t out, int j, int n) {
  mpfr_set_si(out, j, MPFR_RNDN);
  mpfr_div_si(out, out, n, MPFR_RNDN);
  mpfr_exp2(out, out, MPFR_RNDN);
}

// (b^r - 1) / r, from expm1 so that it keeps its precision near r = 0.
void power_minus_one_over_r(mp_fit::Real& out, const mp_fit::Real& r, unsigned base) {
  mpfr_set_ui(out.v, base, MPFR_RNDN);
  mpfr_log(out.v, out.v, MPFR_RNDN);
  if (mpfr_zero_p(r.v)) return;
  mpfr_mul(out.v, out.v, r.v, MPFR_RNDN);
  mpfr_expm1(out.v, out.v, MPFR_RNDN);
  mpfr_div(out.v, out.v, r.v, MPFR_RNDN);
}

// The fit of f(r) of the given degree on |r| <= reach, printed as `name`; the error of
// the approximation r^m (its polynomial) of b^r - 1 - (r if m = 2), relative to b^r,
// goes to stderr (b = e for base 0).
void print_fit(const char* name, const mp_fit::Function& f, unsigned base, int m, int degree,
               double reach) {
  const std::vector<mp_fit::Real> in_r =
      mp_fit::to_powers_of_x(mp_fit::fit(f, -reach, 2 * reach, degree), -reach);
  std::vector<double> c;
  for (const mp_fit::Real& v : in_r) c.push_back(v.get());
  std::printf("constexpr double %s[%zu] = {", name, c.size());
  for (size_t k = 0; k < c.size(); ++k) std::printf("%s%a", k ? ", " : "", c[k]);
  std::printf("};\n");
  double worst = 0;
  for (int i = -4096; i <= 4096; ++i) {
    mp_fit::Real r, exact, p, power;
    mpfr_set_d(r.v, reach * i / 4096, MPFR_RNDN);
    f(exact, r);
    mp_fit::evaluate(p, c, r);
    mpfr_sub(p.v, p.v, exact.v, MPFR_RNDN);
    for (int e = 0; e < m; ++e) mpfr_mul(p.v, p.v, r.v, MPFR_RNDN);
    mpfr_set(power.v, r.v, MPFR_RNDN);
    if (base != 0) {
      mpfr_set_ui(power.v, base, MPFR_RNDN);
      mpfr_log(power.v, power.v, MPFR_RNDN);
      mpfr_mul(power.v, power.v, r.v, MPFR_RNDN);
    }
    mpfr_exp(power.v, power.v, MPFR_RNDN);
    mpfr_div(p.v, p.v, power.v, MPFR_RNDN);
    worst = std::fmax(worst, std::fabs(p.get()));
  }
  std::fprintf(stderr, "%s: error up to 2^%.1f of the power\n", name, std::log2(worst));
}

// P of b^r - 1 = r P(r) for |r| <= log_b(2) / (2 steps).
void print_power_polynomial(const char* name, unsigned base, int degree, int steps) {
  const double reach = std::log(2.0) / std::log(static_cast<double>(base)) / (2 * steps);
  std::printf("\n// P of %u^r - 1 = r P(r) for |r| <= log_%u(2) / %d, from degree 0.\n", base,
              base, 2 * steps);
  print_fit(
      name,
      [base](mp_fit::Real& out, const mp_fit::Real& r) { power_minus_one_over_r(out, r, base); },
      base, 1, degree, reach);
}

// (e^r - 1 - r) / r^2 = sum of r^n / (n + 2)! (no cancellation at the fit's middle node,
// which lies within rounding of 0); 48 terms reach far below the working precision for
// |r| < 2^-7.
void excess_over_square(mp_fit::Real& out, const mp_fit::Real& r) {
  mp_fit::Real term;
  mpfr_set_d(term.v, 0.5, MPFR_RNDN);
  mpfr_set(out.v, term.v, MPFR_RNDN);
  for (unsigned n = 1; n < 48; ++n) {
    mpfr_mul(term.v, term.v, r.v, MPFR_RNDN);
    mpfr_div_ui(term.v, term.v, n + 2, MPFR_RNDN);
    mpfr_add(out.v, out.v, term.v, MPFR_RNDN);
  }
}

void print_relative_table(const char* name, int n) {
  mpfr_t exact, diff;
  mpfr_inits2(kWorkingPrecision, exact, diff, static_cast<mpfr_ptr>(nullptr));
  std::printf("// {hi, lo}: hi = 2^(j/%d) rounded to double, lo = (2^(j/%d) - hi) / hi.\n", n, n);
  std::printf("alignas(16) constexpr double %s[%d][2] = {\n", name, n);
  for (int j = 0; j < n; ++j) {
    power_of_two(exact, j, n);
    const double hi = mpfr_get_d(exact, MPFR_RNDN);
    mpfr_sub_d(diff, exact, hi, MPFR_RNDN);
    mpfr_div_d(diff, diff, hi, MPFR_RNDN);
    std::printf("    {%a, %a},\n", hi, mpfr_get_d(diff, MPFR_RNDN));
  }
  std::printf("};\n");
  mpfr_clears(exact, diff, static_cast<mpfr_ptr>(nullptr));
}

void print_fine_tables() {
  std::printf("// Generated by tools/tess_tables/exp_tables.cpp (fine); do not edit.\n");
  print_relative_table("kExp2Over256Relative", 256);
  print_power_polynomial("kExp2Over256Polynomial", 2, 3, 256);
  // A whole step and a little: the shifter's sum may round either way.
  const double step = std::log(2.0) / 256 * (1 + 0x1p-10);
  std::printf("\n// Q of e^r - 1 = r + r^2 Q(r) for |r| <= ln(2) / 256, from degree 0.\n");
  print_fit("kExpm1Over256Polynomial", excess_over_square, 0, 2, 3, step);
  // One degree more for the form that stays accurate near 0 and near the table points,
  // where the leading sum is carried exactly and Q's error is no longer hidden below it.
  print_fit("kExpm1Over256AccuratePolynomial", excess_over_square, 0, 2, 4, step);
  mp_fit::Real ln2, rest;
  mpfr_const_log2(ln2.v, MPFR_RNDN);
  mpfr_div_ui(ln2.v, ln2.v, 256, MPFR_RNDN);
  mpfr_t head;
  mpfr_init2(head, 34);
  mpfr_set(head, ln2.v, MPFR_RNDN);
  mpfr_sub(rest.v, ln2.v, head, MPFR_RNDN);
  std::printf("\n// ln(2) / 256 as a 34-bit head and the rounded rest.\n");
  std::printf("constexpr double kLn2Over256[2] = {%a, %a};\n", mpfr_get_d(head, MPFR_RNDN),
              rest.get());
  mpfr_clear(head);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::strcmp(argv[1], "fine") == 0) {
    print_fine_tables();
    return 0;
  }
  mpfr_t exact, diff;
  mpfr_inits2(kWorkingPrecision, exact, diff, static_cast<mpfr_ptr>(nullptr));
  std::printf("// Generated by tools/tess_tables/exp_tables.cpp; do not edit.\n");
  std::printf("// {hi, lo}: hi = 2^(j/128) rounded to float, lo = the rounded remainder; rows\n"
              "// 128 to 255 repeat rows 0 to 127, so that the low byte of n indexes 2^((n mod 128)/128).\n");
  std::printf("alignas(16) constexpr float kExp2Over128Single[256][2] = {\n");
  for (int j = 0; j < 256; ++j) {
    power_of_two(exact, j % 128, 128);
    const float hi = mpfr_get_flt(exact, MPFR_RNDN);
    mpfr_sub_d(diff, exact, hi, MPFR_RNDN);
    const float lo = mpfr_get_flt(diff, MPFR_RNDN);
    std::printf("    {%af, %af},\n", hi, lo);
  }
  std::printf("};\n\n");
  std::printf("// {hi, lo}: hi = 2^(j/64) rounded to double, lo = the rounded remainder.\n");
  std::printf("alignas(16) constexpr double kExp2Over64Absolute[64][2] = {\n");
  for (int j = 0; j < 64; ++j) {
    power_of_two(exact, j, 64);
    const double hi = mpfr_get_d(exact, MPFR_RNDN);
    mpfr_sub_d(diff, exact, hi, MPFR_RNDN);
    std::printf("    {%a, %a},\n", hi, mpfr_get_d(diff, MPFR_RNDN));
  }
  std::printf("};\n\n");
  std::printf("// {hi, lo}: hi = 2^(j/64) rounded to double, lo = (2^(j/64) - hi) / hi.\n");
  std::printf("alignas(16) constexpr double kExp2Over64Relative[64][2] = {\n");
  for (int j = 0; j < 64; ++j) {
    power_of_two(exact, j, 64);
    const double hi = mpfr_get_d(exact, MPFR_RNDN);
    mpfr_sub_d(diff, exact, hi, MPFR_RNDN);
    mpfr_div_d(diff, diff, hi, MPFR_RNDN);
    std::printf("    {%a, %a},\n", hi, mpfr_get_d(diff, MPFR_RNDN));
  }
  std::printf("};\n");
  print_power_polynomial("kExp2Polynomial", 2, 4, 64);
  print_power_polynomial("kExp10Polynomial", 10, 4, 64);
  mpfr_clears(exact, diff, static_cast<mpfr_ptr>(nullptr));
  return 0;
}
