// Prints the tables of the double precision LGamma and TGamma kernels, computed with MPFR.
//
// The positive arguments below 1024 are cut into rows of 16 per binade: row i of binade e
// covers [2^e (1 + i/16), 2^e (1 + (i + 1)/16)). Over a row, f = ln Gamma is expanded
// about an anchor a, the row's centre, or the zero 1 or 2 next to the row:
// f(a + t) = F + t g(t), with F = f(a) as a double-double and g a polynomial of degree
// kDegree interpolating (f(a + t) - F) / t at Chebyshev nodes of the row. The only
// singularity of f near a row is the logarithmic pole at 0, at least 32 half-widths away
// in every binade, so one degree serves all rows. Each row holds
//   {a, F_hi, F_lo, g0_head, g0_tail, g1, ..., g_kDegree}
// with g0 split into a short head and a rounded tail. Every argument of the row is a
// multiple of the ulp u of the row's start and so is the anchor, which lies within the
// row's binade or at its edge: t = x - a is exact and |t| / u needs k bits at most, so a
// head of 53 - k bits makes t g0_head exact without splitting t (rows starting at 0 keep
// no head). |F_hi| is at least |t g0_head| or F_hi is 0, so that Dekker's fast two-sum
// adds the two exactly; the tool checks both.
//
// The reflection of negative arguments reads s(r) = ln(sin(pi r) / (pi r)) for
// 0 <= r <= 1/2 from rows of the same form, row j covering [j/64, (j + 1)/64) about its
// centre (row 0 about 0, where s vanishes); the singularities of s at r = +-1 lie 32
// half-widths away or more. Row 32 holds r = 1/2 itself.
//
// Then the constants of the Stirling range: ln(2 pi) / 2 as a double-double and
// ln 2 / 64 with a head of 32 bits (its products with integers below 2^20 are exact).
#include <mpfr.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr mpfr_prec_t kPrecision = 256;
constexpr int kFirstBinade = -10;
constexpr int kBinades = 20;  // up to 1024
constexpr double kTGammaTableEnd = 16;  // Gamma = exp(ln Gamma) reads the rows below
constexpr int kRowsPerBinade = 16;
constexpr int kDegree = 11;
constexpr int kNodes = kDegree + 1;
constexpr int kChecksPerRow = 400;
constexpr int kSinpiRows = 33;  // rows of 1/64 on [0, 1/2], and 1/2 itself

struct Mp {
  mpfr_t v;
  Mp() { mpfr_init2(v, kPrecision); }
  ~Mp() { mpfr_clear(v); }
  Mp(const Mp&) = delete;
  Mp& operator=(const Mp&) = delete;
  operator mpfr_ptr() { return v; }
};

double round_to_bits(mpfr_srcptr x, mpfr_prec_t bits) {
  mpfr_t t;
  mpfr_init2(t, bits);
  mpfr_set(t, x, MPFR_RNDN);
  const double d = mpfr_get_d(t, MPFR_RNDN);
  mpfr_clear(t);
  return d;
}

using Function = void (*)(mpfr_ptr out, mpfr_srcptr x);

void ln_gamma(mpfr_ptr out, mpfr_srcptr x) { mpfr_lngamma(out, x, MPFR_RNDN); }

// ln(sin(pi r) / (pi r)), 0 at r = 0.
void ln_sinpi_ratio(mpfr_ptr out, mpfr_srcptr r) {
  if (mpfr_zero_p(r)) {
    mpfr_set_ui(out, 0, MPFR_RNDN);
    return;
  }
  Mp pi_r;
  mpfr_const_pi(pi_r, MPFR_RNDN);
  mpfr_mul(pi_r, pi_r, r, MPFR_RNDN);
  mpfr_sinpi(out, r, MPFR_RNDN);
  mpfr_div(out, out, pi_r, MPFR_RNDN);
  mpfr_log(out, out, MPFR_RNDN);
}

// (f(a + t) - fa) / t.
void slope(Function f, double a, mpfr_srcptr fa, mpfr_srcptr t, mpfr_ptr out) {
  Mp x;
  mpfr_add_d(x, t, a, MPFR_RNDN);
  f(out, x);
  mpfr_sub(out, out, fa, MPFR_RNDN);
  mpfr_div(out, out, t, MPFR_RNDN);
}

// The monomial coefficients (in t) of the polynomial through (t_j, y_j), by Newton's
// divided differences expanded from the innermost term.
void interpolate(Mp (&t)[kNodes], Mp (&y)[kNodes], Mp (&c)[kNodes]) {
  for (int k = 1; k < kNodes; ++k) {
    for (int j = kNodes - 1; j >= k; --j) {
      Mp d;
      mpfr_sub(y[j], y[j], y[j - 1], MPFR_RNDN);
      mpfr_sub(d, t[j], t[j - k], MPFR_RNDN);
      mpfr_div(y[j], y[j], d, MPFR_RNDN);
    }
  }
  for (Mp& ck : c) mpfr_set_ui(ck, 0, MPFR_RNDN);
  for (int j = kNodes - 1; j >= 0; --j) {
    // c(t) <- c(t) (t - t_j) + y_j
    for (int k = kNodes - 1; k >= 1; --k) {
      Mp p;
      mpfr_mul(p, c[k], t[j], MPFR_RNDN);
      mpfr_sub(c[k], c[k - 1], p, MPFR_RNDN);
    }
    mpfr_mul(c[0], c[0], t[j], MPFR_RNDN);
    mpfr_neg(c[0], c[0], MPFR_RNDN);
    mpfr_add(c[0], c[0], y[j], MPFR_RNDN);
  }
}

struct Errors {
  double relative = 0, absolute = 0;
  bool fast_sum_fails = false;  // |F_hi| below |t g0_head| for some t of a row, F_hi not 0
};

// The bits of g0's head: t g0_head is exact for every t = x - a of the row [lo, hi).
int head_bits(double lo, double hi, double a) {
  if (lo == 0) return 0;
  const double ulp = std::ldexp(1.0, std::ilogb(lo) - 52);
  const int t_bits = std::ilogb(std::fmax(a - lo, hi - a) / ulp) + 1;
  return 53 - t_bits;
}

// Prints the row of f over [lo, hi) about a; returns the largest errors of its expansion
// (with its coefficients as printed) on a grid of arguments of the row.
Errors print_row(Function f, double lo, double hi, double a) {
  Errors worst;
  Mp fa, ax, t[kNodes], y[kNodes], c[kNodes];
  mpfr_set_d(ax, a, MPFR_RNDN);
  f(fa, ax);
  for (int j = 0; j < kNodes; ++j) {
    const double mid = 0.5 * (lo + hi) - a, half = 0.5 * (hi - lo);
    mpfr_const_pi(t[j], MPFR_RNDN);
    mpfr_mul_d(t[j], t[j], (j + 0.5) / kNodes, MPFR_RNDN);
    mpfr_cos(t[j], t[j], MPFR_RNDN);
    mpfr_mul_d(t[j], t[j], half, MPFR_RNDN);
    mpfr_add_d(t[j], t[j], mid, MPFR_RNDN);
    slope(f, a, fa, t[j], y[j]);
  }
  interpolate(t, y, c);
  double row[kNodes + 4];
  row[0] = a;
  row[1] = mpfr_get_d(fa, MPFR_RNDN);
  Mp rest;
  mpfr_sub_d(rest, fa, row[1], MPFR_RNDN);
  row[2] = mpfr_get_d(rest, MPFR_RNDN);
  const int bits = head_bits(lo, hi, a);
  row[3] = bits > 0 ? round_to_bits(c[0], bits) : 0.0;
  worst.fast_sum_fails =
      row[1] != 0 && std::fabs(row[1]) < std::fmax(a - lo, hi - a) * std::fabs(row[3]);
  mpfr_sub_d(rest, c[0], row[3], MPFR_RNDN);
  row[4] = mpfr_get_d(rest, MPFR_RNDN);
  for (int k = 1; k < kNodes; ++k) row[k + 4] = mpfr_get_d(c[k], MPFR_RNDN);

  for (int m = 0; m <= kChecksPerRow; ++m) {
    const double x = lo + (hi - lo) * m / kChecksPerRow;
    if (x >= hi) continue;
    Mp tx, sum, exact;
    mpfr_set_d(tx, x - a, MPFR_RNDN);  // exact
    mpfr_set_d(sum, row[kNodes + 3], MPFR_RNDN);
    for (int k = kNodes + 2; k >= 5; --k) {
      mpfr_mul(sum, sum, tx, MPFR_RNDN);
      mpfr_add_d(sum, sum, row[k], MPFR_RNDN);
    }
    mpfr_mul(sum, sum, tx, MPFR_RNDN);
    mpfr_add_d(sum, sum, row[4], MPFR_RNDN);
    mpfr_add_d(sum, sum, row[3], MPFR_RNDN);
    mpfr_mul(sum, sum, tx, MPFR_RNDN);
    mpfr_add_d(sum, sum, row[2], MPFR_RNDN);
    mpfr_add_d(sum, sum, row[1], MPFR_RNDN);
    mpfr_set_d(tx, x, MPFR_RNDN);
    f(exact, tx);
    if (mpfr_zero_p(exact)) continue;
    mpfr_sub(sum, sum, exact, MPFR_RNDN);
    worst.absolute = std::fmax(worst.absolute, std::fabs(mpfr_get_d(sum, MPFR_RNDN)));
    mpfr_div(sum, sum, exact, MPFR_RNDN);
    worst.relative = std::fmax(worst.relative, std::fabs(mpfr_get_d(sum, MPFR_RNDN)));
  }
  std::printf("    {");
  for (int k = 0; k < kNodes + 4; ++k) std::printf("%a%s", row[k], k + 1 < kNodes + 4 ? ", " : "");
  std::printf("},\n");
  return worst;
}

// The rows of ln Gamma; the absolute error is taken over the rows Gamma reads.
Errors print_gamma_table(const char* name) {
  std::printf("alignas(16) constexpr double %s[%d][%d] = {\n", name, kBinades * kRowsPerBinade,
              kNodes + 4);
  Errors worst;
  for (int e = kFirstBinade; e < kFirstBinade + kBinades; ++e) {
    for (int i = 0; i < kRowsPerBinade; ++i) {
      const double lo = std::ldexp(1.0 + i / 16.0, e), hi = std::ldexp(1.0 + (i + 1) / 16.0, e);
      double a = 0.5 * (lo + hi);
      if (lo == 1 || hi == 1) a = 1;
      if (lo == 2 || hi == 2) a = 2;
      const Errors row = print_row(ln_gamma, lo, hi, a);
      worst.relative = std::fmax(worst.relative, row.relative);
      worst.fast_sum_fails |= row.fast_sum_fails;
      if (hi <= kTGammaTableEnd) worst.absolute = std::fmax(worst.absolute, row.absolute);
    }
  }
  std::printf("};\n");
  return worst;
}

// The rows of ln(sin(pi r) / (pi r)); the largest absolute error.
Errors print_sinpi_table(const char* name) {
  std::printf("alignas(16) constexpr double %s[%d][%d] = {\n", name, kSinpiRows, kNodes + 4);
  Errors worst;
  for (int j = 0; j < kSinpiRows; ++j) {
    const double lo = j / 64.0, hi = (j + 1) / 64.0;
    const Errors row = print_row(ln_sinpi_ratio, lo, hi, j == 0 ? 0 : 0.5 * (lo + hi));
    worst.absolute = std::fmax(worst.absolute, row.absolute);
    worst.fast_sum_fails |= row.fast_sum_fails;
  }
  std::printf("};\n");
  return worst;
}

void print_split(const char* name, mpfr_srcptr v, mpfr_prec_t head_bits) {
  const double head = round_to_bits(v, head_bits);
  Mp rest;
  mpfr_sub_d(rest, v, head, MPFR_RNDN);
  std::printf("constexpr double %sHi = %a;\n", name, head);
  std::printf("constexpr double %sLo = %a;\n", name, mpfr_get_d(rest, MPFR_RNDN));
}

}  // namespace

int main() {
  std::printf("// Generated by tools/tess_gamma_tables/gamma_tables.cpp; do not edit.\n");
  std::printf("constexpr int kGammaFirstBinade = %d;\n", kFirstBinade);
  std::printf("constexpr int kGammaBinades = %d;\n", kBinades);
  std::printf("constexpr int kGammaDegree = %d;\n", kDegree);
  std::printf("constexpr double kTGammaTableEnd = %a;\n", kTGammaTableEnd);
  const Errors errors = print_gamma_table("kLGammaExpansions");
  std::printf("// Largest error of the expansions: relative %.3g, absolute %.3g.\n",
              errors.relative, errors.absolute);
  std::printf("constexpr int kSinpiRatioRows = %d;\n", kSinpiRows);
  const Errors sinpi = print_sinpi_table("kLnSinpiRatio");
  std::printf("// Largest error of the expansions: absolute %.3g.\n", sinpi.absolute);
  Mp v;
  mpfr_const_pi(v, MPFR_RNDN);
  mpfr_mul_2ui(v, v, 1, MPFR_RNDN);
  mpfr_log(v, v, MPFR_RNDN);
  mpfr_div_2ui(v, v, 1, MPFR_RNDN);
  print_split("kHalfLnTwoPi", v, 53);
  mpfr_const_log2(v, MPFR_RNDN);
  mpfr_div_2ui(v, v, 6, MPFR_RNDN);
  print_split("kLn2Over64", v, 32);
  mpfr_const_log2(v, MPFR_RNDN);
  mpfr_ui_div(v, 64, v, MPFR_RNDN);
  std::printf("constexpr double kSixtyFourOverLn2 = %a;\n", mpfr_get_d(v, MPFR_RNDN));
  // With their coefficients rounded to doubles the expansions must stay within 1/8 ulp
  // of ln Gamma, and within 2^-58 absolutely where Gamma = exp(ln Gamma) reads them, leaving the
  // kernels' own rounding as the dominant error.
  // The reflection's terms cancel near the zeros of ln|Gamma| on the negative axis: its
  // rows are held to 2^-62 absolutely.
  if (errors.relative > 0x1p-56 || errors.absolute > 0x1p-58 || sinpi.absolute > 0x1p-62) {
    std::fprintf(stderr, "expansion error too large: raise kDegree\n");
    return 1;
  }
  if (errors.fast_sum_fails || sinpi.fast_sum_fails) {
    std::fprintf(stderr, "a row's F_hi is smaller than t g0_head: the fast two-sum fails\n");
    return 1;
  }
  return 0;
}
