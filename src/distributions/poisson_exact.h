// Exact Poisson sampling steps (method 0): sequential inversion for small means and
// Hormann's PTRS for the rest, one trial at a time over uniforms the caller supplies.
#pragma once

#include <cmath>
#include <cstdint>

namespace zorn::distributions {

// Means below this are sampled by inversion, at and above it by PTRS (Hormann reports
// PTRS valid from 10 on).
constexpr double kPoissonInversionLimit = 10.0;

// ln of the Poisson probability of k at mean lambda, without the cancellation of
// k ln(lambda) - lambda - ln(k!) at large k: C. Loader, "Fast and accurate computation of
// binomial probabilities" (2000), ln p = -stirlerr(k) - bd0(k, lambda) - ln(2 pi k) / 2.
double poisson_log_probability(double k, double lambda);

// W. Hormann, "The transformed rejection method for generating Poisson random variables",
// Insurance: Mathematics and Economics 12 (1993): the PTRS algorithm for lambda >= 10.
struct Ptrs {
  double lambda, b, a, inv_alpha, v_r, log_alpha_term;
  explicit Ptrs(double mean);
  // One trial on uniforms u, v in [0, 1): the accepted count, or a negative value.
  double trial(double u, double v) const;
};

// Inversion for lambda < 10 over the distribution function tabulated once per call: the
// smallest k with u < P(X <= k). The table ends where the terms no longer change the sum
// (k < 64 for every mean below 10); a uniform at or above that last sum, which rounding
// leaves just under 1, gives the last k, an error below 2^-50 in probability.
class PoissonInversion {
 public:
  explicit PoissonInversion(double lambda) {
    double p = std::exp(-lambda), sum = p;
    cdf_[0] = sum;
    while (last_ + 1 < kMaxCount) {
      p *= lambda / (last_ + 1);
      const double next = sum + p;
      if (!(next > sum)) break;  // also ends a NaN or negative mean at once
      cdf_[++last_] = sum = next;
    }
  }
  int32_t sample(double u) const {
    int32_t k = 0;
    while (k < last_ && u >= cdf_[k]) ++k;
    return k;
  }

 private:
  static constexpr int32_t kMaxCount = 64;
  double cdf_[kMaxCount];
  int32_t last_ = 0;
};

}  // namespace zorn::distributions
