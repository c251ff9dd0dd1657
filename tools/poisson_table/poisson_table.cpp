// Prints the coefficient table of the corrected normal transform that Poisson method 1
// uses for 1 <= lambda < 100.
//
// Row e covers lambda = 2^e (1 + f), 0 <= f < 1. A count is floor(y) with
//   y = K + E (D z + C z^2 + B z^3 + A z^4),  z standard normal,
// so floor(y) is exactly Poisson when y maps the normal quantile q_k = Phi^-1(F(k)) of
// every cumulative probability F(k) onto k + 1. The fit:
//  1. E(f) is the cubic least-squares fit of the deviation sqrt(variance(lambda)) of the
//     large-mean transform, over Chebyshev nodes in f, so the scale is continuous with
//     the regime above 100.
//  2. K (quadratic in f) and D, C, B, A (cubic in f) come from one weighted linear
//     least-squares problem over all nodes f and all counts k: the residual
//     y(q_k) - (k + 1) is weighted by phi(q_k) / E, the first-order change of the
//     cumulative probability it causes, so the fit minimises the squared error of the
//     distribution function summed over the counts and nodes.
// A row holds K - 1 (3 values), E, D, C, B, A (4 each) and a zero.
//
// The first four values of rows 0 and 1 of the reference table are printed here as a
// check: the program fails when its fit strays from them by more than kTolerance.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <mpfr.h>

#include "distributions/poisson_large_mean.h"

namespace {

using Real = long double;
constexpr int kRows = 7;
constexpr int kNodes = 64;
constexpr int kUnknowns = 3 + 4 * 4;
constexpr Real kTail = 1e-16L;  // counts whose lower or upper tail is below this are left out

// The C library's extended precision functions evaluate with the x87 unit's
// transcendental instructions, whose last bits differ between processor makers. The table
// must print the same bytes on every machine, so every function here is correctly rounded
// (MPFR at the 64 bits of long double); the x87 arithmetic and square root are exact IEEE
// operations and need no help.
using MpfrFunction = int (*)(mpfr_ptr, mpfr_srcptr, mpfr_rnd_t);
template <MpfrFunction F>
Real rounded(Real x) {
  mpfr_t v;
  mpfr_init2(v, 64);
  mpfr_set_ld(v, x, MPFR_RNDN);
  F(v, v, MPFR_RNDN);
  const Real result = mpfr_get_ld(v, MPFR_RNDN);
  mpfr_clear(v);
  return result;
}
Real integer_power(Real x, int n) {
  Real result = 1;
  while (n-- > 0) result *= x;
  return result;
}

Real normal_cdf(Real x) { return 0.5L * rounded<mpfr_erfc>(-x / std::sqrt(2.0L)); }
Real normal_density(Real x) {
  return rounded<mpfr_exp>(-0.5L * x * x) / std::sqrt(2.0L * M_PIl);
}

// Phi^-1(p) for p <= 1/2 by bisection (the tool is not time critical).
Real lower_quantile(Real p) {
  Real lo = -40, hi = 0;
  for (int i = 0; i < 120; ++i) {
    const Real mid = 0.5L * (lo + hi);
    (normal_cdf(mid) < p ? lo : hi) = mid;
  }
  return 0.5L * (lo + hi);
}

// Normal quantiles of the Poisson distribution function, each tail summed from its own
// end so that probabilities near 1 keep their precision.
struct Quantile {
  int k;
  Real q;
};
std::vector<Quantile> poisson_quantiles(Real lambda) {
  const int top = static_cast<int>(lambda + 40 * std::sqrt(lambda) + 60);
  std::vector<Real> pmf(top + 1);
  const Real log_lambda = rounded<mpfr_log>(lambda);
  for (int k = 0; k <= top; ++k)
    pmf[k] = rounded<mpfr_exp>(k * log_lambda - lambda - rounded<mpfr_lngamma>(k + 1.0L));
  std::vector<Real> lower(top + 1), upper(top + 1);  // P(X <= k), P(X > k)
  Real sum = 0;
  for (int k = 0; k <= top; ++k) lower[k] = sum += pmf[k];
  sum = 0;
  for (int k = top; k >= 0; --k) {
    upper[k] = sum;
    sum += pmf[k];
  }
  std::vector<Quantile> out;
  for (int k = 0; k <= top; ++k) {
    if (lower[k] < kTail || upper[k] < kTail) continue;
    out.push_back({k, lower[k] <= 0.5L ? lower_quantile(lower[k]) : -lower_quantile(upper[k])});
  }
  return out;
}

// Least squares by Householder reflections; rows of `a` are the equations.
std::vector<Real> least_squares(std::vector<std::vector<Real>> a, std::vector<Real> b) {
  const size_t m = a.size(), n = a[0].size();
  for (size_t j = 0; j < n; ++j) {
    Real norm = 0;
    for (size_t i = j; i < m; ++i) norm += a[i][j] * a[i][j];
    norm = std::sqrt(norm);
    const Real alpha = a[j][j] > 0 ? -norm : norm;
    std::vector<Real> v(m, 0);
    for (size_t i = j; i < m; ++i) v[i] = a[i][j];
    v[j] -= alpha;
    Real vv = 0;
    for (size_t i = j; i < m; ++i) vv += v[i] * v[i];
    if (vv == 0) continue;
    for (size_t c = j; c < n; ++c) {
      Real dot = 0;
      for (size_t i = j; i < m; ++i) dot += v[i] * a[i][c];
      for (size_t i = j; i < m; ++i) a[i][c] -= 2 * dot / vv * v[i];
    }
    Real dot = 0;
    for (size_t i = j; i < m; ++i) dot += v[i] * b[i];
    for (size_t i = j; i < m; ++i) b[i] -= 2 * dot / vv * v[i];
  }
  std::vector<Real> x(n);
  for (size_t j = n; j-- > 0;) {
    Real s = b[j];
    for (size_t c = j + 1; c < n; ++c) s -= a[j][c] * x[c];
    x[j] = s / a[j][j];
  }
  return x;
}

Real chebyshev_node(int i) { return 0.5L * (1 - rounded<mpfr_cos>(M_PIl * (i + 0.5L) / kNodes)); }

Real deviation(Real lambda) {
  return std::sqrt(zorn::distributions::poisson_large_mean::variance(
      static_cast<double>(lambda), static_cast<double>(1 / lambda)));
}

Real cubic(const Real* c, Real f) { return c[0] + f * (c[1] + f * (c[2] + f * c[3])); }

std::vector<Real> fit_row(int e) {
  const Real scale = std::ldexp(1.0L, e);
  std::vector<std::vector<Real>> a;
  std::vector<Real> b;
  for (int i = 0; i < kNodes; ++i) {
    const Real f = chebyshev_node(i);
    a.push_back({1, f, f * f, f * f * f});
    b.push_back(deviation(scale * (1 + f)));
  }
  const std::vector<Real> e_poly = least_squares(a, b);

  a.clear();
  b.clear();
  for (int i = 0; i < kNodes; ++i) {
    const Real f = chebyshev_node(i), lambda = scale * (1 + f), e_value = cubic(e_poly.data(), f);
    for (const Quantile& point : poisson_quantiles(lambda)) {
      const Real w = normal_density(point.q) / e_value;
      std::vector<Real> row;
      for (int p = 0; p < 3; ++p) row.push_back(w * integer_power(f, p));
      for (int power = 1; power <= 4; ++power)  // D, C, B, A multiply z, z^2, z^3, z^4
        for (int p = 0; p < 4; ++p)
          row.push_back(w * e_value * integer_power(point.q, power) * integer_power(f, p));
      a.push_back(row);
      b.push_back(w * (point.k + 1 - 1));  // the row stores K - 1
    }
  }
  const std::vector<Real> rest = least_squares(a, b);
  std::vector<Real> out(rest.begin(), rest.begin() + 3);
  out.insert(out.end(), e_poly.begin(), e_poly.end());
  out.insert(out.end(), rest.begin() + 3, rest.end());
  out.push_back(0);
  return out;
}

// The first four values of rows 0 and 1 of the reference table.
constexpr double kReference[2][4] = {
    {0.3143729428652824, 1.015123349264915, -0.006246652997537985, 0.9711065623988068},
    {1.3235626213110492, 2.0081616643486204, -0.003484106530887999, 1.3940546315829796}};
constexpr double kTolerance = 1.5e-3;

}  // namespace

int main() {
  std::vector<std::vector<Real>> table;
  for (int e = 0; e < kRows; ++e) table.push_back(fit_row(e));

  std::printf("// Generated by tools/poisson_table; do not edit. The fit is described there.\n");
  std::printf("// Distance of the first four values of rows 0 and 1 from the reference table:\n");
  bool close = true;
  for (int e = 0; e < 2; ++e) {
    std::printf("//  row %d:", e);
    for (int j = 0; j < 4; ++j) {
      const double d = static_cast<double>(table[e][j]) - kReference[e][j];
      close = close && std::fabs(d) <= kTolerance;
      std::printf(" %+.1e", d);
    }
    std::printf("\n");
  }
  std::printf("#include \"distributions/data/poisson_normal_table.h\"\n\nnamespace zorn::distributions {\n\n");
  std::printf("const double kPoissonNormalTable[kPoissonNormalRows][kPoissonNormalRowLength] = {\n");
  for (int e = 0; e < kRows; ++e) {
    std::printf("    {");
    for (int j = 0; j < kUnknowns + 5; ++j)
      std::printf("%s%.17g", j ? ", " : "", static_cast<double>(table[e][j]));
    std::printf("},  // lambda in [%d, %d)\n", 1 << e, 2 << e);
  }
  std::printf("};\n\n}  // namespace zorn::distributions\n");
  if (!close) std::fprintf(stderr, "poisson_table: rows 0 and 1 stray from the reference\n");
  return close ? 0 : 1;
}
