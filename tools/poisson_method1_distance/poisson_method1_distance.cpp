// Total variation distance sum_k |q(k) - p(k)| / 2 between the law q of Poisson method
// 1's counts and the Poisson law p, for the means on the command line (by default those
// of the documentation). q is computed from the method's own per-value steps:
//  - lambda < 1: u uniform on [0, top), so q(count <= k) = min(S_k, top) / top;
//  - otherwise: the count is a function of the normal value z, so q(k) is the normal
//    probability of the set of z that give k, found by splitting [-9, 9] until each
//    piece gives one count at both ends (pieces are far shorter than one count's width).
// The normal variate is modelled as exact; in the library it is ErfInv of a single
// uniform, which adds its own rounding of z (below 2^-24 relative).
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <vector>

#include "distributions/poisson_method1_steps.h"

namespace {

using namespace zorn::distributions;
using Real = long double;

Real poisson_pmf(Real k, Real lambda) {
  return std::exp(k * std::log(lambda) - lambda - std::lgamma(k + 1));
}
Real normal_cdf(Real z) { return 0.5L * std::erfc(-z / std::sqrt(2.0L)); }

Real distance(const std::map<long, Real>& q, Real lambda) {
  Real sum = 0, covered = 0;
  for (const auto& [k, mass] : q) {
    const Real p = poisson_pmf(k, lambda);
    sum += std::fabs(mass - p);
    covered += p;
  }
  return (sum + (1 - covered)) / 2;  // Poisson mass at counts method 1 never gives
}

Real small_mean_distance(double lambda) {
  const PoissonSmallMeanSums sums(lambda);
  std::map<long, Real> q;
  Real below = 0;
  for (int k = 0; k <= PoissonSmallMeanSums::kTerms; ++k) {
    const Real upto = k < PoissonSmallMeanSums::kTerms ? std::min<Real>(sums.sums[k], sums.top) : sums.top;
    q[k] = upto / sums.top - below;
    below = upto / sums.top;
  }
  return distance(q, lambda);
}

template <class Count>
void split(Real a, Real b, long ca, long cb, const Count& count, std::map<long, Real>& q) {
  if (ca == cb || b - a < 1e-15L) {
    q[ca] += normal_cdf(b) - normal_cdf(a);
    return;
  }
  const Real mid = (a + b) / 2;
  const long cm = count(mid);
  split(a, mid, ca, cm, count, q);
  split(mid, b, cm, cb, count, q);
}

template <class Count>
Real normal_distance(double lambda, const Count& count) {
  std::map<long, Real> q;
  const Real step = std::min(1e-3, 0.05 / std::sqrt(lambda));
  q[count(-9.0L)] += normal_cdf(-9.0L);
  for (Real z = -9; z < 9; z += step) split(z, z + step, count(z), count(z + step), count, q);
  q[count(9.0L)] += 1 - normal_cdf(9.0L);
  return distance(q, lambda);
}

Real method1_distance(double lambda) {
  if (lambda < 1) return small_mean_distance(lambda);
  if (lambda < 100) {
    const PoissonQuarticTransform t(lambda);
    return normal_distance(lambda, [&t](Real z) { return long{t.count(static_cast<float>(z))}; });
  }
  // The normal draw gives g = mean + (deviation sqrt 2) e with e = z / sqrt 2, in single.
  const PoissonShiftedTransform t(lambda);
  const float scale = t.deviation * 1.4142135f;
  return normal_distance(lambda, [&t, scale](Real z) {
    const float e = static_cast<float>(z / std::sqrt(2.0L));
    return long{t.count(t.mean + scale * e)};
  });
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<double> means = {0.5, 5, 30, 99, 100, 1e4, 1e6};
  if (argc > 1) {
    means.clear();
    for (int i = 1; i < argc; ++i) means.push_back(std::atof(argv[i]));
  }
  std::printf("| lambda | total variation distance |\n|---:|---:|\n");
  for (const double lambda : means)
    std::printf("| %g | %.2e |\n", lambda, static_cast<double>(method1_distance(lambda)));
  return 0;
}
