// Prints the tables of the single precision logarithms, each entry computed with MPFR
// and rounded once. For j = 0..64, c is the point near 1 + j/64 whose reciprocal is
// cinv = round(1024 / (1 + j/64)) / 1024 (exact in a double).
//   callout:    {cinv, ln_c_hi = RN(-ln cinv), ln_c_lo = RN(-ln cinv - ln_c_hi)}
//   fast paths: {cinv, RN(ln c), RN(log2 c), RN(log10 c)}
// and, for the table-free single precision log2 and log10 away from 1, the float constants
// of log_b(2^e (1 + r)) = e log_b 2 + r head + (r rest + r^2 Q_b(r)), r in
// [sqrt(2)/2 - 1, sqrt(2) - 1]: log_b 2 as a 16-bit head (e times it is exact) and a
// rounded rest, 1/ln b as a head of two bits (r times it is exact for every such float r)
// and a rounded rest, and Q_b interpolated at the Chebyshev nodes of the interval
// (mp_fit), rounded to float; and, for the single precision evaluation of ln(1 + x), rows
// at the points c = 1 + j/64 themselves (argument log1p, see print_log1p_rows).
#include <mpfr.h>

#include <cmath>
#include <cstdio>
#include <string_view>
#include <vector>

#include "../mp_fit/chebyshev_fit.h"

using mp_fit::Real;
using LogFn = int (*)(mpfr_ptr, mpfr_srcptr, mpfr_rnd_t);

double reciprocal_point(int j) {
  // 1024 / (1 + j/64) = 65536 / (64 + j); never halfway between two integers.
  const long quotient = 65536 / (64 + j);
  const long remainder = 65536 % (64 + j);
  const long rounded = quotient + (2 * remainder > 64 + j ? 1 : 0);
  return std::ldexp(static_cast<double>(rounded), -10);
}

double log_of_point(mpfr_t work, double cinv, int (*log_fn)(mpfr_ptr, mpfr_srcptr, mpfr_rnd_t)) {
  mpfr_set_d(work, cinv, MPFR_RNDN);
  log_fn(work, work, MPFR_RNDN);
  mpfr_neg(work, work, MPFR_RNDN);
  return mpfr_get_d(work, MPFR_RNDN) + 0.0;
}

// v rounded to `bits` significant bits, as a float.
float head_of(const Real& v, int bits) {
  int exponent;
  std::frexp(v.get(), &exponent);
  return static_cast<float>(
      std::ldexp(std::nearbyint(std::ldexp(v.get(), bits - exponent)), exponent - bits));
}

float rest_of(const Real& v, float head) {
  Real rest;
  mpfr_sub_d(rest.v, v.v, head, MPFR_RNDN);
  return mpfr_get_flt(rest.v, MPFR_RNDN);
}

constexpr double kReducedLow = -0x1.2bec33p-2;  // sqrt(2)/2 - 1 rounded down
constexpr double kReducedWidth = 0x1.6a09e7p-1;  // up to sqrt(2) - 1 and beyond
constexpr int kSeriesDegree = 8;

// <name>[13][4]: rows of four equal lanes, Q_b's coefficients from degree 0, 1/ln b's
// rest and head, log_b 2's rest and head.
void print_float_log(const char* name, LogFn log_fn) {
  Real inverse_ln, two;
  mpfr_const_log2(inverse_ln.v, MPFR_RNDN);
  mpfr_set_ui(two.v, 2, MPFR_RNDN);
  log_fn(two.v, two.v, MPFR_RNDN);
  mpfr_div(inverse_ln.v, two.v, inverse_ln.v, MPFR_RNDN);  // log_b 2 / ln 2 = 1 / ln b
  const auto q = [&](Real& out, const Real& r) {
    Real one_plus, linear, square;
    mpfr_add_ui(one_plus.v, r.v, 1, MPFR_RNDN);
    log_fn(out.v, one_plus.v, MPFR_RNDN);
    mpfr_mul(linear.v, r.v, inverse_ln.v, MPFR_RNDN);
    mpfr_sub(out.v, out.v, linear.v, MPFR_RNDN);
    mpfr_sqr(square.v, r.v, MPFR_RNDN);
    mpfr_div(out.v, out.v, square.v, MPFR_RNDN);
  };
  const int n = kSeriesDegree;
  const std::vector<Real> in_d = mp_fit::fit(q, kReducedLow, kReducedWidth, n);
  const std::vector<Real> in_r = mp_fit::to_powers_of_x(in_d, kReducedLow);
  std::vector<float> series;
  for (const Real& v : in_r) series.push_back(mpfr_get_flt(v.v, MPFR_RNDN));
  const float two_head = head_of(two, 16), linear_head = head_of(inverse_ln, 2);
  const float linear_rest = rest_of(inverse_ln, linear_head);
  std::vector<float> rows = series;
  rows.insert(rows.end(), {linear_rest, linear_head, rest_of(two, two_head), two_head});
  std::printf("alignas(16) const float %s[%zu][4] = {\n", name, rows.size());
  for (const float v : rows) std::printf("    {%af, %af, %af, %af},\n", v, v, v, v);
  // Absolute error of r head + r rest + r^2 Q_b(r) with the rounded constants.
  double worst = 0;
  for (int i = 0; i <= 8192; ++i) {
    Real r, exact, p;
    mpfr_set_d(r.v, kReducedLow + kReducedWidth * i / 8192, MPFR_RNDN);
    mpfr_add_ui(exact.v, r.v, 1, MPFR_RNDN);
    log_fn(exact.v, exact.v, MPFR_RNDN);
    mp_fit::evaluate(p, series, r);
    mpfr_mul(p.v, p.v, r.v, MPFR_RNDN);
    mpfr_add_d(p.v, p.v, linear_rest, MPFR_RNDN);
    mpfr_add_d(p.v, p.v, linear_head, MPFR_RNDN);
    mpfr_mul(p.v, p.v, r.v, MPFR_RNDN);
    mpfr_sub(p.v, p.v, exact.v, MPFR_RNDN);
    worst = std::fmax(worst, std::fabs(p.get()));
  }
  std::printf("};\n// largest absolute error of the polynomial: 2^%.1f\n", std::log2(worst));
}

// kLog1pRowsSingle[70][4]: for j = 0..64 {1/c head, 1/c rest, ln c head, ln c rest} at
// c = 1 + j/64: the reciprocal's head has 8 significant bits (its product with m - c, a
// multiple of 2^-23 below 2^-7 in magnitude, is exact in a float), the logarithm's head
// is a multiple of 2^-16 (as is e times the head of ln 2, so that their sum is exact
// below 2^7), and each rest is rounded once. Then rows of four equal lanes: the series
// coefficients -1/2, 1/3, -1/4 and ln 2's head and rest (row 64's logarithm).
void print_log1p_rows() {
  std::printf("// Generated by tools/tess_tables/ln_tables.cpp (argument log1p); do not edit.\n");
  std::printf("alignas(16) const float kLog1pRowsSingle[70][4] = {\n");
  Real c, reciprocal, logarithm;
  float log_head = 0, log_rest = 0;  // after the loop, of c = 2: ln 2
  for (int j = 0; j <= 64; ++j) {
    mpfr_set_d(c.v, 1.0 + j / 64.0, MPFR_RNDN);
    mpfr_ui_div(reciprocal.v, 1, c.v, MPFR_RNDN);
    mpfr_log(logarithm.v, c.v, MPFR_RNDN);
    const float reciprocal_head = head_of(reciprocal, 8);
    log_head = static_cast<float>(std::ldexp(std::nearbyint(std::ldexp(logarithm.get(), 16)), -16));
    log_rest = rest_of(logarithm, log_head);
    std::printf("    {%af, %af, %af, %af},\n", reciprocal_head, rest_of(reciprocal, reciprocal_head),
                log_head, log_rest);
  }
  for (const float v : {-0.5f, 1.0f / 3, -0.25f, log_head, log_rest}) {
    std::printf("    {%af, %af, %af, %af},\n", v, v, v, v);
  }
  std::printf("};\n");
}

int main(int argc, char** argv) {
  if (argc > 1 && std::string_view(argv[1]) == "log1p") {
    print_log1p_rows();
    return 0;
  }
  if (argc > 1 && std::string_view(argv[1]) == "lanes") {
    std::printf("// Generated by tools/tess_tables/ln_tables.cpp (argument lanes); do not edit.\n");
    print_float_log("kLog2FloatLanes", mpfr_log2);
    print_float_log("kLog10FloatLanes", mpfr_log10);
    return 0;
  }
  mpfr_t exact, diff;
  mpfr_inits2(256, exact, diff, static_cast<mpfr_ptr>(nullptr));
  std::printf("// Generated by tools/tess_tables/ln_tables.cpp; do not edit.\n");
  std::printf("// {cinv, ln c hi, ln c lo}: cinv = round(1024 / (1 + j/64)) / 1024, ln c = -ln cinv.\n");
  std::printf("alignas(16) constexpr double kLnSingleCallout[65][3] = {\n");
  for (int j = 0; j <= 64; ++j) {
    const double cinv = reciprocal_point(j);
    mpfr_set_d(exact, cinv, MPFR_RNDN);
    mpfr_log(exact, exact, MPFR_RNDN);
    mpfr_neg(exact, exact, MPFR_RNDN);
    const double hi = mpfr_get_d(exact, MPFR_RNDN) + 0.0;  // +0 rather than -0 at j = 0
    mpfr_sub_d(diff, exact, hi, MPFR_RNDN);
    std::printf("    {%a, %a, %a},\n", cinv, hi, mpfr_get_d(diff, MPFR_RNDN) + 0.0);
  }
  std::printf("};\n\n");
  std::printf("// {cinv, ln c, log2 c, log10 c}: the same points, each logarithm rounded once.\n");
  std::printf("alignas(32) constexpr double kLogPointsSingle[65][4] = {\n");
  for (int j = 0; j <= 64; ++j) {
    const double cinv = reciprocal_point(j);
    std::printf("    {%a, %a, %a, %a},\n", cinv, log_of_point(exact, cinv, mpfr_log),
                log_of_point(exact, cinv, mpfr_log2), log_of_point(exact, cinv, mpfr_log10));
  }
  std::printf("};\n\n");
  mpfr_clears(exact, diff, static_cast<mpfr_ptr>(nullptr));
  return 0;
}
