// Near-minimax rational approximation N(t) / D(t), D(0) = 1, of sampled values h_i with
// weights w_i (the error measured is w_i (N/D - h_i)): Loeb's linearisation (least
// squares of N - h D, divided by the previous D) under Lawson's reweighting, which moves
// the weight to where the error peaks until the error nearly equioscillates.
#pragma once

#include <cmath>
#include <utility>
#include <vector>

#include "mp_real.h"

namespace inverse_erf_tool {

struct Rational {
  std::vector<double> num, den;  // den[0] = 1
};

// Solves the dense system a x = b (a square) by Gaussian elimination with partial pivoting.
inline std::vector<Mp> solve(std::vector<std::vector<Mp>> a, std::vector<Mp> b) {
  const size_t n = b.size();
  for (size_t c = 0; c < n; ++c) {
    size_t pivot = c;
    for (size_t r = c + 1; r < n; ++r)
      if (mpfr_cmpabs(a[r][c].v, a[pivot][c].v) > 0) pivot = r;
    std::swap(a[c], a[pivot]);
    std::swap(b[c], b[pivot]);
    for (size_t r = c + 1; r < n; ++r) {
      const Mp f = a[r][c] / a[c][c];
      for (size_t k = c; k < n; ++k) a[r][k] = a[r][k] - f * a[c][k];
      b[r] = b[r] - f * b[c];
    }
  }
  std::vector<Mp> x(n);
  for (size_t c = n; c-- > 0;) {
    Mp s = b[c];
    for (size_t k = c + 1; k < n; ++k) s = s - a[c][k] * x[k];
    x[c] = s / a[c][c];
  }
  return x;
}

inline Mp horner(const std::vector<Mp>& c, const Mp& t) {
  Mp p = c.back();
  for (size_t i = c.size() - 1; i-- > 0;) p = c[i] + t * p;
  return p;
}

// Degrees n (numerator) and m (denominator) over the samples (t_i, h_i, w_i).
inline Rational fit_rational(const std::vector<Mp>& t, const std::vector<Mp>& h,
                             const std::vector<Mp>& w, int n, int m, int iterations = 60) {
  const size_t count = t.size(), unknowns = n + 1 + m;
  std::vector<Mp> lambda(count, Mp(1.0)), den_prev(count, Mp(1.0));
  std::vector<Mp> num(n + 1), den(m + 1), best_num, best_den;
  double best = INFINITY;
  for (int it = 0; it < iterations; ++it) {
    std::vector<std::vector<Mp>> normal(unknowns, std::vector<Mp>(unknowns));
    std::vector<Mp> rhs(unknowns);
    std::vector<Mp> row(unknowns);
    for (size_t i = 0; i < count; ++i) {
      const Mp s = w[i] * apply(mpfr_sqrt, lambda[i]) / den_prev[i];
      Mp power(1.0);
      for (int j = 0; j <= n; ++j, power = power * t[i]) row[j] = s * power;
      power = t[i];
      for (int j = 1; j <= m; ++j, power = power * t[i]) row[n + j] = Mp(0.0) - s * h[i] * power;
      const Mp target = s * h[i];
      for (size_t a = 0; a < unknowns; ++a) {
        rhs[a] = rhs[a] + row[a] * target;
        for (size_t b = a; b < unknowns; ++b) normal[a][b] = normal[a][b] + row[a] * row[b];
      }
    }
    for (size_t a = 0; a < unknowns; ++a)
      for (size_t b = 0; b < a; ++b) normal[a][b] = normal[b][a];
    const std::vector<Mp> x = solve(normal, rhs);
    for (int j = 0; j <= n; ++j) num[j] = x[j];
    den[0] = Mp(1.0);
    for (int j = 1; j <= m; ++j) den[j] = x[n + j];
    Mp total;
    double worst = 0;
    std::vector<Mp> err(count);
    for (size_t i = 0; i < count; ++i) {
      den_prev[i] = horner(den, t[i]);
      err[i] = abs(w[i] * (horner(num, t[i]) / den_prev[i] - h[i]));
      worst = std::fmax(worst, err[i].d());
      lambda[i] = lambda[i] * err[i];
      total = total + lambda[i];
    }
    for (size_t i = 0; i < count; ++i) lambda[i] = lambda[i] / total;
    if (worst < best) {
      best = worst;
      best_num = num;
      best_den = den;
    }
  }
  Rational r;
  for (const Mp& c : best_num) r.num.push_back(c.d());
  for (const Mp& c : best_den) r.den.push_back(c.d());
  return r;
}

}  // namespace inverse_erf_tool
