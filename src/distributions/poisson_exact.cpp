#include "distributions/poisson_exact.h"

#include <cmath>

namespace zorn::distributions {
namespace {

constexpr double kHalfLogTwoPi = 0.91893853320467274178;

// stirlerr(k) = ln k! - ((k + 1/2) ln k - k + ln(2 pi) / 2): exact sums of logarithms for
// small k, the Stirling series (error below 1e-17 from k = 16 on) above.
double stirling_error(double k) {
  if (k < 16) {
    if (k == 0) return 0;  // ln 0! with the k -> 0 limit of the bracket taken as 0
    double log_factorial = 0;
    for (int i = 2; i <= k; ++i) log_factorial += std::log(static_cast<double>(i));
    return log_factorial - ((k + 0.5) * std::log(k) - k + kHalfLogTwoPi);
  }
  const double k2 = 1 / (k * k);
  return (1.0 / 12 - k2 * (1.0 / 360 - k2 * (1.0 / 1260 - k2 / 1680))) / k;
}

// bd0(k, m) = k ln(k / m) + m - k, by its series when k is close to m.
double deviance_term(double k, double m) {
  if (std::fabs(k - m) < 0.1 * (k + m)) {
    const double v = (k - m) / (k + m);
    double sum = (k - m) * v, term = 2 * k * v;
    const double v2 = v * v;
    for (int j = 1; j < 1000; ++j) {
      term *= v2;
      const double next = sum + term / (2 * j + 1);
      if (next == sum) return sum;
      sum = next;
    }
    return sum;
  }
  return k * std::log(k / m) + m - k;
}

}  // namespace

double poisson_log_probability(double k, double lambda) {
  if (k == 0) return -lambda;
  return -stirling_error(k) - deviance_term(k, lambda) - kHalfLogTwoPi - 0.5 * std::log(k);
}

Ptrs::Ptrs(double mean) : lambda(mean) {
  const double s = std::sqrt(mean);
  b = 0.931 + 2.53 * s;
  a = -0.059 + 0.02483 * b;
  inv_alpha = 1.1239 + 1.1328 / (b - 3.4);
  v_r = 0.9277 - 3.6224 / (b - 2);
  log_alpha_term = std::log(inv_alpha);
}

double Ptrs::trial(double u, double v) const {
  const double us0 = u - 0.5;
  const double us = 0.5 - std::fabs(us0);
  const double k = std::floor((2 * a / us + b) * us0 + lambda + 0.43);
  if (us >= 0.07 && v <= v_r) return k;
  if (!(k >= 0) || (us < 0.013 && v > us)) return -1;
  // ln(v inv_alpha / (a / us^2 + b)) <= ln p(k)
  const double lhs = std::log(v) + log_alpha_term - std::log(a / (us * us) + b);
  return lhs <= poisson_log_probability(k, lambda) ? k : -1;
}

}  // namespace zorn::distributions
