// Prints the tables of the double precision Bessel functions J0, J1, Y0 and Y1, fitted
// with MPFR (mp_fit's Chebyshev interpolants), the coefficients rounded to double.
//
// - Rows for 0 <= x < 64, a quarter wide each (row i covers [i/4, (i+1)/4)): a row
//   within an eighth of a zero z of its function is expanded in h = x - t about t, the
//   zero held as a double-double t_hi + t_lo, f(t + h) = c0 + h q(h) with c0 = f(t)
//   (about 2^-106 of the slope); any other row about its centre. Each row is
//   {t_hi, t_lo, c0 hi, c0 lo, c1 hi, c1 lo, c2, ..., cN}, so that the relative error
//   stays small where the function passes through zero. Y0 and Y1 have rows from 1/2
//   on (the logarithm makes them hard to fit nearer 0).
// - For x < 1/2, Y0 = (2/pi) ln(x) J0 + R0(x^2) and Y1 = (2/pi) (ln(x) J1 - 1/x) + x R1(x^2),
//   R0 and R1 entire: {r0 hi, r0 lo, r1, ...} in powers of s = x^2.
// - For x >= 64 the amplitude and phase of f_nu = M cos(theta), Y_nu = M sin(theta):
//   M = sqrt(2 / (pi x)) (1 + v A(v)) and theta = x - (2 nu + 1) pi/4 + (g0 + v G(v)) / x
//   with v = 1/x^2, g0 = -1/8 or 3/8: the coefficients of A as doubles, those of G as
//   double-doubles (the phase near a large zero needs them to about 2^-110).
// The largest error of each table, with its coefficients as printed, is printed and checked.
#include <cmath>
#include <cstdio>
#include <vector>

#include "../mp_fit/chebyshev_fit.h"

namespace {

using mp_fit::Real;

constexpr int kRowsPerUnit = 4;
constexpr int kRows = 256;  // 0 <= x < 64
constexpr double kAsymptoticFrom = 64;
constexpr int kYFirstRow = 2;  // x >= 1/2
constexpr int kChecks = 96;

// f_nu(x) of the first (second = false) or second kind.
void bessel(Real& r, const Real& x, bool second, int nu) {
  if (second) {
    mpfr_yn(r.v, nu, x.v, MPFR_RNDN);
  } else {
    mpfr_jn(r.v, nu, x.v, MPFR_RNDN);
  }
}

struct Family {
  const char* name;
  bool second;
  int nu;
  int degree;  // of the rows
};

// Zeros below the end of the rows (with an eighth to spare), by Newton's method from
// the sign changes on a grid of sixteenths; f' = f_{nu-1} - (nu/x) f_nu, f_{-1} = -f_1.
std::vector<Real> zeros_of(const Family& f) {
  std::vector<Real> zeros;
  if (!f.second && f.nu == 1) zeros.emplace_back();  // J1(0) = 0
  Real x, v, g, t;
  double previous = 0;
  for (double a = 1.0 / 16; a < kRows / kRowsPerUnit + 1; a += 1.0 / 16) {
    mpfr_set_d(x.v, a, MPFR_RNDN);
    bessel(v, x, f.second, f.nu);
    const double value = v.get();
    if (a > 1.0 / 16 && (value < 0) != (previous < 0)) {
      mpfr_set_d(x.v, a - 1.0 / 32, MPFR_RNDN);
      for (int k = 0; k < 14; ++k) {
        bessel(v, x, f.second, f.nu);
        bessel(g, x, f.second, f.nu == 0 ? 1 : 0);
        if (f.nu == 0) {
          mpfr_neg(g.v, g.v, MPFR_RNDN);
        } else {
          mpfr_div(t.v, v.v, x.v, MPFR_RNDN);
          mpfr_sub(g.v, g.v, t.v, MPFR_RNDN);
        }
        mpfr_div(v.v, v.v, g.v, MPFR_RNDN);
        mpfr_sub(x.v, x.v, v.v, MPFR_RNDN);
      }
      zeros.push_back(x);
    }
    previous = value;
  }
  return zeros;
}

// Coefficients of p(h + c) from those of p(h) (Horner's Taylor shift).
void shift(std::vector<Real>& m, const Real& c) {
  const int n = static_cast<int>(m.size()) - 1;
  for (int i = 0; i < n; ++i) {
    for (int j = n - 1; j >= i; --j) {
      Real t;
      mpfr_mul(t.v, m[j + 1].v, c.v, MPFR_RNDN);
      mpfr_add(m[j].v, m[j].v, t.v, MPFR_RNDN);
    }
  }
}

// v as head and rounded remainder.
void split(const Real& v, double& hi, double& lo) {
  Real rest;
  hi = v.get();
  mpfr_sub_d(rest.v, v.v, hi, MPFR_RNDN);
  lo = rest.get();
}

// sum c_k h^k of the printed (rounded) coefficients, exactly.
void evaluate(Real& r, const std::vector<double>& c, const Real& h) {
  mpfr_set_d(r.v, c.back(), MPFR_RNDN);
  for (size_t k = c.size() - 1; k-- > 0;) {
    mpfr_mul(r.v, r.v, h.v, MPFR_RNDN);
    mpfr_add_d(r.v, r.v, c[k], MPFR_RNDN);
  }
}

void print_values(const std::vector<double>& row) {
  for (size_t k = 0; k < row.size(); ++k) std::printf(k ? ", %a" : "%a", row[k]);
}
void print_row(const std::vector<double>& row) {
  std::printf("    {");
  print_values(row);
  std::printf("},\n");
}
// A one-dimensional table.
void print_array(const char* name, const std::vector<double>& row) {
  std::printf("alignas(16) constexpr double %s[%zu] = {\n    ", name, row.size());
  print_values(row);
  std::printf("};\n");
}

// The rows of one function; returns their largest relative error.
double print_rows(const Family& f) {
  const std::vector<Real> zeros = zeros_of(f);
  const int first = f.second ? kYFirstRow : 0;
  const double width = 1.0 / kRowsPerUnit;
  std::printf("alignas(16) constexpr double k%sRows[%d][%d] = {\n", f.name, kRows - first,
              f.degree + 5);
  double worst = 0;
  for (int i = first; i < kRows; ++i) {
    const double left = i * width;
    const Real* zero = nullptr;
    for (const Real& z : zeros) {
      const double zd = z.get();
      if (zd >= left - width / 2 && zd <= left + width * 1.5) zero = &z;
    }
    double t_hi, t_lo;
    if (zero != nullptr) {
      split(*zero, t_hi, t_lo);
    } else {
      t_hi = left + width / 2;
      t_lo = 0;
    }
    Real t, a, c0;
    mpfr_set_d(t.v, t_hi, MPFR_RNDN);
    mpfr_add_d(t.v, t.v, t_lo, MPFR_RNDN);  // exact at 320 bits
    mpfr_set_d(a.v, left, MPFR_RNDN);
    mpfr_sub(a.v, a.v, t.v, MPFR_RNDN);  // h = a + d, d in [0, width]
    bessel(c0, t, f.second, f.nu);
    // f(t + h) itself, or (f(t + h) - c0) / h about a zero.
    const auto g = [&](Real& r, const Real& d) {
      Real h, x;
      mpfr_add(h.v, a.v, d.v, MPFR_RNDN);
      mpfr_add(x.v, t.v, h.v, MPFR_RNDN);
      bessel(r, x, f.second, f.nu);
      if (zero != nullptr) {
        mpfr_sub(r.v, r.v, c0.v, MPFR_RNDN);
        mpfr_div(r.v, r.v, h.v, MPFR_RNDN);
      }
    };
    std::vector<Real> m = mp_fit::fit(g, 0.0, width, zero != nullptr ? f.degree - 1 : f.degree);
    Real minus_a;
    mpfr_neg(minus_a.v, a.v, MPFR_RNDN);
    shift(m, minus_a);
    if (zero != nullptr) m.insert(m.begin(), c0);
    std::vector<double> row = {t_hi, t_lo, 0, 0, 0, 0};
    split(m[0], row[2], row[3]);
    split(m[1], row[4], row[5]);
    for (int k = 2; k <= f.degree; ++k) row.push_back(m[k].get());
    const std::vector<double> c = {row[2], row[3], row[4], row[5]};
    for (int s = 0; s <= kChecks; ++s) {
      Real h, x, exact, value, p;
      mpfr_set_d(h.v, width * s / kChecks, MPFR_RNDN);
      mpfr_add(h.v, h.v, a.v, MPFR_RNDN);
      mpfr_add(x.v, t.v, h.v, MPFR_RNDN);
      bessel(exact, x, f.second, f.nu);
      // c0 hi + c0 lo + (c1 hi + c1 lo) h + h^2 (c2 + c3 h + ...)
      std::vector<double> tail(row.begin() + 6, row.end());
      evaluate(p, tail, h);
      mpfr_mul(p.v, p.v, h.v, MPFR_RNDN);
      mpfr_add_d(p.v, p.v, row[5], MPFR_RNDN);
      mpfr_add_d(p.v, p.v, row[4], MPFR_RNDN);
      mpfr_mul(p.v, p.v, h.v, MPFR_RNDN);
      mpfr_add_d(p.v, p.v, row[3], MPFR_RNDN);
      mpfr_add_d(value.v, p.v, row[2], MPFR_RNDN);
      if (mpfr_zero_p(exact.v)) continue;
      mpfr_sub(value.v, value.v, exact.v, MPFR_RNDN);
      mpfr_div(value.v, value.v, exact.v, MPFR_RNDN);
      worst = std::fmax(worst, std::fabs(value.get()));
    }
    print_row(row);
  }
  std::printf("};\n// Largest relative error of k%sRows: %.3g.\n", f.name, worst);
  return worst;
}

// Y0 - (2/pi) ln(x) J0 (nu = 0) or (Y1 - (2/pi) (ln(x) J1 - 1/x)) / x (nu = 1) at x = sqrt(s).
void log_remainder(Real& r, const Real& s, int nu) {
  Real x, y, j, l, k;
  mpfr_sqrt(x.v, s.v, MPFR_RNDN);
  bessel(y, x, true, nu);
  bessel(j, x, false, nu);
  mpfr_log(l.v, x.v, MPFR_RNDN);
  mpfr_mul(l.v, l.v, j.v, MPFR_RNDN);
  if (nu == 1) {
    mpfr_ui_div(k.v, 1, x.v, MPFR_RNDN);
    mpfr_sub(l.v, l.v, k.v, MPFR_RNDN);
  }
  mpfr_const_pi(k.v, MPFR_RNDN);
  mpfr_ui_div(k.v, 2, k.v, MPFR_RNDN);
  mpfr_mul(l.v, l.v, k.v, MPFR_RNDN);
  mpfr_sub(r.v, y.v, l.v, MPFR_RNDN);
  if (nu == 1) mpfr_div(r.v, r.v, x.v, MPFR_RNDN);
}

double print_log_remainder(const char* name, int nu, int degree) {
  constexpr double kEnd = 0.25;  // s = x^2 < 1/4
  const auto g = [nu](Real& r, const Real& s) { log_remainder(r, s, nu); };
  const std::vector<Real> m = mp_fit::fit(g, 0.0, kEnd, degree);
  std::vector<double> row(2);
  split(m[0], row[0], row[1]);
  for (int k = 1; k <= degree; ++k) row.push_back(m[k].get());
  double worst = 0;
  for (int i = 0; i <= kChecks; ++i) {
    Real s, exact, value;
    mpfr_set_d(s.v, kEnd * i / kChecks, MPFR_RNDN);
    log_remainder(exact, s, nu);
    const std::vector<double> powers(row.begin() + 2, row.end());
    evaluate(value, powers, s);
    mpfr_mul(value.v, value.v, s.v, MPFR_RNDN);
    mpfr_add_d(value.v, value.v, row[1], MPFR_RNDN);
    mpfr_add_d(value.v, value.v, row[0], MPFR_RNDN);
    mpfr_sub(value.v, value.v, exact.v, MPFR_RNDN);
    mpfr_div(value.v, value.v, exact.v, MPFR_RNDN);
    worst = std::fmax(worst, std::fabs(value.get()));
  }
  print_array(name, row);
  std::printf("// Largest relative error of %s: %.3g.\n", name, worst);
  return worst;
}

// Amplitude (1 + v A(v)) and phase x (phi) = g0 + v G(v) of order nu at v = 1/x^2.
void amplitude_phase(Real& amplitude, Real& phase, const Real& v, int nu) {
  Real x, j, y, t, pi;
  mpfr_rec_sqrt(x.v, v.v, MPFR_RNDN);
  bessel(j, x, false, nu);
  bessel(y, x, true, nu);
  mpfr_hypot(amplitude.v, j.v, y.v, MPFR_RNDN);
  mpfr_const_pi(pi.v, MPFR_RNDN);
  mpfr_mul(t.v, pi.v, x.v, MPFR_RNDN);
  mpfr_div_2ui(t.v, t.v, 1, MPFR_RNDN);
  mpfr_sqrt(t.v, t.v, MPFR_RNDN);
  mpfr_mul(amplitude.v, amplitude.v, t.v, MPFR_RNDN);
  // phi = atan2(Y, J) - x + (2 nu + 1) pi/4, brought to the nearest multiple of 2 pi
  mpfr_atan2(phase.v, y.v, j.v, MPFR_RNDN);
  mpfr_sub(phase.v, phase.v, x.v, MPFR_RNDN);
  mpfr_mul_ui(t.v, pi.v, 2 * nu + 1, MPFR_RNDN);
  mpfr_div_2ui(t.v, t.v, 2, MPFR_RNDN);
  mpfr_add(phase.v, phase.v, t.v, MPFR_RNDN);
  mpfr_mul_2ui(t.v, pi.v, 1, MPFR_RNDN);
  mpfr_div(t.v, phase.v, t.v, MPFR_RNDN);
  mpfr_round(t.v, t.v);
  mpfr_mul(t.v, t.v, pi.v, MPFR_RNDN);
  mpfr_mul_2ui(t.v, t.v, 1, MPFR_RNDN);
  mpfr_sub(phase.v, phase.v, t.v, MPFR_RNDN);
  mpfr_mul(phase.v, phase.v, x.v, MPFR_RNDN);
}

// Prints both tables of order nu; returns false if a fit misses its mark.
bool print_asymptotic(int nu, int amplitude_degree, int phase_degree) {
  const double g0 = nu == 0 ? -0.125 : 0.375;
  const double end = 1 / (kAsymptoticFrom * kAsymptoticFrom);
  const auto a_fit = [nu](Real& r, const Real& v) {
    Real phase;
    amplitude_phase(r, phase, v, nu);
    mpfr_sub_ui(r.v, r.v, 1, MPFR_RNDN);
    mpfr_div(r.v, r.v, v.v, MPFR_RNDN);
  };
  const auto g_fit = [nu, g0](Real& r, const Real& v) {
    Real amplitude;
    amplitude_phase(amplitude, r, v, nu);
    mpfr_sub_d(r.v, r.v, g0, MPFR_RNDN);
    mpfr_div(r.v, r.v, v.v, MPFR_RNDN);
  };
  const std::vector<Real> a = mp_fit::fit(a_fit, 0.0, end, amplitude_degree);
  const std::vector<Real> g = mp_fit::fit(g_fit, 0.0, end, phase_degree);
  std::vector<double> a_row, g_row, g_hi;
  for (const Real& c : a) a_row.push_back(c.get());
  for (const Real& c : g) {
    double hi, lo;
    split(c, hi, lo);
    g_row.push_back(hi);
    g_row.push_back(lo);
    g_hi.push_back(hi);
  }
  double amplitude_error = 0, phase_error = 0, fast_phase_error = 0;
  for (int i = 1; i <= kChecks; ++i) {
    Real v, amplitude, phase, p, x;
    mpfr_set_d(v.v, end * i / kChecks, MPFR_RNDN);
    amplitude_phase(amplitude, phase, v, nu);
    mpfr_rec_sqrt(x.v, v.v, MPFR_RNDN);
    evaluate(p, a_row, v);  // 1 + v A(v) against the amplitude
    mpfr_mul(p.v, p.v, v.v, MPFR_RNDN);
    mpfr_add_ui(p.v, p.v, 1, MPFR_RNDN);
    mpfr_sub(p.v, p.v, amplitude.v, MPFR_RNDN);
    amplitude_error = std::fmax(amplitude_error, std::fabs(p.get()));
    for (int fast = 0; fast < 2; ++fast) {  // the phase phi = (g0 + v G(v)) / x
      Real sum, term;
      mpfr_set_ui(sum.v, 0, MPFR_RNDN);
      for (size_t k = g.size(); k-- > 0;) {
        mpfr_mul(sum.v, sum.v, v.v, MPFR_RNDN);
        mpfr_add_d(sum.v, sum.v, g_row[2 * k], MPFR_RNDN);
        if (!fast) mpfr_add_d(sum.v, sum.v, g_row[2 * k + 1], MPFR_RNDN);
      }
      mpfr_mul(sum.v, sum.v, v.v, MPFR_RNDN);
      mpfr_add_d(sum.v, sum.v, g0, MPFR_RNDN);
      mpfr_sub(sum.v, sum.v, phase.v, MPFR_RNDN);
      mpfr_div(sum.v, sum.v, x.v, MPFR_RNDN);
      double& e = fast ? fast_phase_error : phase_error;
      e = std::fmax(e, std::fabs(sum.get()));
    }
  }
  const char* amplitude_name = nu == 0 ? "kAmplitude0" : "kAmplitude1";
  print_array(amplitude_name, a_row);
  std::printf("alignas(16) constexpr double kPhase%d[%zu][2] = {\n", nu, g.size());
  for (size_t k = 0; k < g.size(); ++k) print_row({g_row[2 * k], g_row[2 * k + 1]});
  std::printf("};\n// Largest error of the amplitude %d: %.3g; of the phase: %.3g (heads only %.3g).\n",
              nu, amplitude_error, phase_error, fast_phase_error);
  return amplitude_error < 0x1p-62 && phase_error < 0x1p-110;
}

}  // namespace

int main() {
  std::printf("// Generated by tools/tess_bessel_tables/bessel_tables.cpp; do not edit.\n");
  const Family families[] = {
      {"J0", false, 0, 11}, {"J1", false, 1, 11}, {"Y0", true, 0, 17}, {"Y1", true, 1, 17}};
  bool fine = true;
  // The rows' error is mostly the rounding of their coefficients (2^-53 of c2 h^2, at
  // most 2^-5 of the value, and Y's rows near the logarithm a little more); R0 and R1
  // stay below 1/10 of Y0 and Y1 for x < 1/2.
  for (const Family& f : families) fine = print_rows(f) < 0x1p-57 && fine;
  fine = print_log_remainder("kY0Log", 0, 9) < 0x1p-52 && fine;
  fine = print_log_remainder("kY1Log", 1, 9) < 0x1p-52 && fine;
  fine = print_asymptotic(0, 8, 14) && fine;
  fine = print_asymptotic(1, 8, 14) && fine;
  if (!fine) std::fprintf(stderr, "fit error too large: raise a degree\n");
  return fine ? 0 : 1;
}
