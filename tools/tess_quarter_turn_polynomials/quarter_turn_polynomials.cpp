// Prints the polynomials of the double precision kernels that reduce by quarter turns
// (Cos, SinCos, Tan), fitted with MPFR on |r| <= pi/4 plus a margin:
//   sin r = r + r^3 S(r^2),   cos r = 1 - r^2/2 + r^4 C(r^2),
// S of degree 6 and C of degree 5 in z = r^2 (mp_fit's Chebyshev interpolants), and the
// tangent as one rational function
//   tan r = r (1 + z A(z)) / (1 - z/2 + z B(z)),
// A of degree 2 and B of degree 3, which interpolates tan r / r at 7 Chebyshev nodes in z
// (N(z) - (tan r / r) D(z) = 0 there, a linear system for the 7 coefficients). Each line is
// followed by the largest error with the rounded coefficients relative to the function,
// over 4096 points. With the argument `single`, it prints instead the shorter S and C of
// the single precision CIS lanes (src/tess_kernels/complex/data/); with `pi_over_128`, the
// short tangent series of the d Tan kernel's remainder on its table of pi/128 steps,
//   tan s = s + s^3 T(s^2), |s| <= pi/256 plus a margin, T of degree 2.
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include "../mp_fit/chebyshev_fit.h"

namespace {

using mp_fit::Real;

constexpr double kZMax = 0.6185;  // (pi/4 + 2^-12)^2, rounded up
constexpr double kPiOver128ZMax = 0.0001567;  // (pi/256 + 2^-12)^2, rounded up

// (sin r - r) / r^3 and (cos r - 1 + r^2/2) / r^4 at r = sqrt z; their limits at z = 0.
void sin_tail_ratio(Real& out, const Real& z) {
  if (mpfr_zero_p(z.v)) {
    mpfr_set_si(out.v, -1, MPFR_RNDN);
    mpfr_div_ui(out.v, out.v, 6, MPFR_RNDN);
    return;
  }
  Real r;
  mpfr_sqrt(r.v, z.v, MPFR_RNDN);
  mpfr_sin(out.v, r.v, MPFR_RNDN);
  mpfr_sub(out.v, out.v, r.v, MPFR_RNDN);
  mpfr_div(out.v, out.v, r.v, MPFR_RNDN);
  mpfr_div(out.v, out.v, z.v, MPFR_RNDN);
}
void cos_tail_ratio(Real& out, const Real& z) {
  if (mpfr_zero_p(z.v)) {
    mpfr_set_ui(out.v, 1, MPFR_RNDN);
    mpfr_div_ui(out.v, out.v, 24, MPFR_RNDN);
    return;
  }
  Real r;
  mpfr_sqrt(r.v, z.v, MPFR_RNDN);
  mpfr_cos(out.v, r.v, MPFR_RNDN);
  mpfr_sub_ui(out.v, out.v, 1, MPFR_RNDN);
  Real half_z;
  mpfr_div_ui(half_z.v, z.v, 2, MPFR_RNDN);
  mpfr_add(out.v, out.v, half_z.v, MPFR_RNDN);
  mpfr_div(out.v, out.v, z.v, MPFR_RNDN);
  mpfr_div(out.v, out.v, z.v, MPFR_RNDN);
}

// (tan r - r) / r^3 at r = sqrt z, 1/3 at z = 0.
void tan_tail_ratio(Real& out, const Real& z) {
  if (mpfr_zero_p(z.v)) {
    mpfr_set_ui(out.v, 1, MPFR_RNDN);
    mpfr_div_ui(out.v, out.v, 3, MPFR_RNDN);
    return;
  }
  Real r;
  mpfr_sqrt(r.v, z.v, MPFR_RNDN);
  mpfr_tan(out.v, r.v, MPFR_RNDN);
  mpfr_sub(out.v, out.v, r.v, MPFR_RNDN);
  mpfr_div(out.v, out.v, r.v, MPFR_RNDN);
  mpfr_div(out.v, out.v, z.v, MPFR_RNDN);
}

enum class Tail { kSin, kCos, kTan };

// Largest |z^power (P(z) - ratio(z))| / |f(sqrt z)| over [0, z_max], where f is the sine
// or the tangent (power 3/2) or the cosine (power 2).
double largest_error(const std::vector<double>& c, const mp_fit::Function& ratio, Tail tail,
                     double z_max) {
  double worst = 0;
  for (int i = 1; i <= 4096; ++i) {
    Real z, p, exact, r, f;
    mpfr_set_d(z.v, z_max * i / 4096, MPFR_RNDN);
    mp_fit::evaluate(p, c, z);
    ratio(exact, z);
    mpfr_sub(p.v, p.v, exact.v, MPFR_RNDN);
    mpfr_sqrt(r.v, z.v, MPFR_RNDN);
    mpfr_mul(p.v, p.v, z.v, MPFR_RNDN);
    if (tail == Tail::kCos) {
      mpfr_mul(p.v, p.v, z.v, MPFR_RNDN);
      mpfr_cos(f.v, r.v, MPFR_RNDN);
    } else {
      mpfr_mul(p.v, p.v, r.v, MPFR_RNDN);
      if (tail == Tail::kSin) {
        mpfr_sin(f.v, r.v, MPFR_RNDN);
      } else {
        mpfr_tan(f.v, r.v, MPFR_RNDN);
      }
    }
    mpfr_div(p.v, p.v, f.v, MPFR_RNDN);
    worst = std::fmax(worst, std::fabs(p.get()));
  }
  return worst;
}

void print_polynomial(const char* name, int degree, const mp_fit::Function& ratio, Tail tail,
                      double z_max = kZMax) {
  std::vector<double> c;
  for (const Real& m : mp_fit::fit(ratio, 0, z_max, degree)) c.push_back(m.get());
  std::printf("constexpr double %s[%d] = {", name, degree + 1);
  for (int k = 0; k <= degree; ++k) std::printf(k ? ", %a" : "%a", c[k]);
  std::printf("};\n// largest error relative to the function on [0, %a]: 2^%.1f\n", z_max,
              std::log2(largest_error(c, ratio, tail, z_max)));
}

// tan r / r at r = sqrt z, 1 at z = 0.
void tan_ratio(Real& out, const Real& z) {
  if (mpfr_zero_p(z.v)) {
    mpfr_set_ui(out.v, 1, MPFR_RNDN);
    return;
  }
  Real r;
  mpfr_sqrt(r.v, z.v, MPFR_RNDN);
  mpfr_tan(out.v, r.v, MPFR_RNDN);
  mpfr_div(out.v, out.v, r.v, MPFR_RNDN);
}

constexpr int kNumeratorTerms = 3;    // A
constexpr int kDenominatorTerms = 4;  // B

// Solves m x = b in place by Gaussian elimination with partial pivoting.
std::vector<Real> solve(std::vector<std::vector<Real>> m, std::vector<Real> b) {
  const size_t n = b.size();
  for (size_t c = 0; c < n; ++c) {
    size_t pivot = c;
    for (size_t i = c + 1; i < n; ++i) {
      if (mpfr_cmpabs(m[i][c].v, m[pivot][c].v) > 0) pivot = i;
    }
    std::swap(m[c], m[pivot]);
    std::swap(b[c], b[pivot]);
    for (size_t i = c + 1; i < n; ++i) {
      Real f, t;
      mpfr_div(f.v, m[i][c].v, m[c][c].v, MPFR_RNDN);
      for (size_t j = c; j < n; ++j) {
        mpfr_mul(t.v, f.v, m[c][j].v, MPFR_RNDN);
        mpfr_sub(m[i][j].v, m[i][j].v, t.v, MPFR_RNDN);
      }
      mpfr_mul(t.v, f.v, b[c].v, MPFR_RNDN);
      mpfr_sub(b[i].v, b[i].v, t.v, MPFR_RNDN);
    }
  }
  std::vector<Real> x(n);
  for (size_t c = n; c-- > 0;) {
    Real t;
    mpfr_set(x[c].v, b[c].v, MPFR_RNDN);
    for (size_t j = c + 1; j < n; ++j) {
      mpfr_mul(t.v, m[c][j].v, x[j].v, MPFR_RNDN);
      mpfr_sub(x[c].v, x[c].v, t.v, MPFR_RNDN);
    }
    mpfr_div(x[c].v, x[c].v, m[c][c].v, MPFR_RNDN);
  }
  return x;
}

// Unknowns a_1..a_3, d_1..d_4 of N = 1 + a_1 z + ..., D = 1 + d_1 z + ...; at each node
// sum a_i z^i - t sum d_j z^j = t - 1 with t = tan r / r. Returns A's coefficients and
// B's (d_1 + 1/2, d_2, ...), rounded.
void fit_tangent(std::vector<double>& a, std::vector<double>& b) {
  constexpr int n = kNumeratorTerms + kDenominatorTerms;
  Real pi;
  mpfr_const_pi(pi.v, MPFR_RNDN);
  std::vector<std::vector<Real>> m(n, std::vector<Real>(n));
  std::vector<Real> rhs(n);
  for (int k = 0; k < n; ++k) {
    Real z, t, power;
    mpfr_mul_ui(z.v, pi.v, 2 * k + 1, MPFR_RNDN);
    mpfr_div_ui(z.v, z.v, 2 * n, MPFR_RNDN);
    mpfr_cos(z.v, z.v, MPFR_RNDN);
    mpfr_add_ui(z.v, z.v, 1, MPFR_RNDN);
    mpfr_mul_d(z.v, z.v, kZMax / 2, MPFR_RNDN);
    tan_ratio(t, z);
    mpfr_set_ui(power.v, 1, MPFR_RNDN);
    for (int i = 0; i < n - kNumeratorTerms; ++i) {
      mpfr_mul(power.v, power.v, z.v, MPFR_RNDN);
      if (i < kNumeratorTerms) mpfr_set(m[k][i].v, power.v, MPFR_RNDN);
      mpfr_mul(m[k][kNumeratorTerms + i].v, power.v, t.v, MPFR_RNDN);
      mpfr_neg(m[k][kNumeratorTerms + i].v, m[k][kNumeratorTerms + i].v, MPFR_RNDN);
    }
    mpfr_sub_ui(rhs[k].v, t.v, 1, MPFR_RNDN);
  }
  const std::vector<Real> x = solve(m, rhs);
  for (int i = 0; i < kNumeratorTerms; ++i) a.push_back(x[i].get());
  Real d1;
  mpfr_add_d(d1.v, x[kNumeratorTerms].v, 0.5, MPFR_RNDN);
  b.push_back(d1.get());
  for (int j = 1; j < kDenominatorTerms; ++j) b.push_back(x[kNumeratorTerms + j].get());
}

// Largest |N/D - t| / t over the interval with the rounded coefficients.
double largest_tangent_error(const std::vector<double>& a, const std::vector<double>& b) {
  double worst = 0;
  for (int i = 1; i <= 4096; ++i) {
    Real z, n, d, t;
    mpfr_set_d(z.v, kZMax * i / 4096, MPFR_RNDN);
    mp_fit::evaluate(n, a, z);
    mpfr_mul(n.v, n.v, z.v, MPFR_RNDN);
    mpfr_add_ui(n.v, n.v, 1, MPFR_RNDN);
    mp_fit::evaluate(d, b, z);
    mpfr_sub_d(d.v, d.v, 0.5, MPFR_RNDN);
    mpfr_mul(d.v, d.v, z.v, MPFR_RNDN);
    mpfr_add_ui(d.v, d.v, 1, MPFR_RNDN);
    mpfr_div(n.v, n.v, d.v, MPFR_RNDN);
    tan_ratio(t, z);
    mpfr_div(n.v, n.v, t.v, MPFR_RNDN);
    mpfr_sub_ui(n.v, n.v, 1, MPFR_RNDN);
    worst = std::fmax(worst, std::fabs(n.get()));
  }
  return worst;
}

void print_array(const char* name, const std::vector<double>& c) {
  std::printf("constexpr double %s[%zu] = {", name, c.size());
  for (size_t k = 0; k < c.size(); ++k) std::printf(k ? ", %a" : "%a", c[k]);
  std::printf("};\n");
}

}  // namespace

int main(int argc, char** argv) {
  std::printf("// Generated by tools/tess_quarter_turn_polynomials/quarter_turn_polynomials.cpp; "
              "do not edit.\n");
  if (argc > 1 && std::strcmp(argv[1], "single") == 0) {
    // Lanes whose results are rounded to single precision from double arithmetic need
    // only about 2^-30 relative: S of degree 3 (2^-35.6; degree 2 gives 2^-26.1) and C of
    // degree 2 (2^-29.8). The cores of the other complex functions, whose cosine is
    // multiplied by e^x, sinh or cosh or squared before that rounding, take C of degree 3
    // (2^-39.5).
    std::printf("// sin r = r (1 + z S(z)), cos r = 1 + z (-1/2 + z C(z)), z = r^2, "
                "|r| <= pi/4 + 2^-12.\n");
    print_polynomial("kSinTailSingle", 3, sin_tail_ratio, Tail::kSin);
    print_polynomial("kCosTailSingle", 2, cos_tail_ratio, Tail::kCos);
    print_polynomial("kCosTailSingleCores", 3, cos_tail_ratio, Tail::kCos);
    return 0;
  }
  if (argc > 1 && std::strcmp(argv[1], "pi_over_128") == 0) {
    std::printf("// tan s = s + s^3 T(s^2), |s| <= pi/256 + 2^-12.\n");
    print_polynomial("kTanTail", 2, tan_tail_ratio, Tail::kTan, kPiOver128ZMax);
    return 0;
  }
  std::printf("// sin r = r + r^3 S(r^2), cos r = 1 - r^2/2 + r^4 C(r^2), |r| <= pi/4 + 2^-12.\n");
  print_polynomial("kSinTail", 6, sin_tail_ratio, Tail::kSin);
  print_polynomial("kCosTail", 5, cos_tail_ratio, Tail::kCos);
  std::printf("// tan r = r (1 + z A(z)) / (1 - z/2 + z B(z)), z = r^2.\n");
  std::vector<double> a, b;
  fit_tangent(a, b);
  print_array("kTanNumerator", a);
  print_array("kTanDenominator", b);
  std::printf("// largest error relative to tan r on [0, %a]: 2^%.1f\n", kZMax,
              std::log2(largest_tangent_error(a, b)));
}
