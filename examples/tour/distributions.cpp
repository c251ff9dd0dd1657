// Section: variates of each distribution from one MT19937 stream, as a small text
// histogram beside the probabilities of the exact law.
#include <cmath>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "tour.h"
#include "zorn/pavo.h"

namespace {

struct Shown {
  const char* name;
  std::function<int32_t(void*, int32_t, double*)> draw;
  std::function<double(double)> cdf;
  double lo, hi;  // the histogram's range, in 8 bins
};

void histogram(void* stream, const Shown& d) {
  constexpr int kBins = 8;
  constexpr int32_t kCount = 100000;
  std::vector<double> r(kCount);
  const int32_t status = d.draw(stream, kCount, r.data());
  if (status < 0) {
    std::printf("  %s: status %d\n", d.name, status);
    return;
  }
  std::vector<int> counts(kBins, 0);
  const double width = (d.hi - d.lo) / kBins;
  for (const double x : r) {
    const int bin = static_cast<int>(std::floor((x - d.lo) / width));
    if (bin >= 0 && bin < kBins) ++counts[bin];
  }
  std::printf("  %s\n", d.name);
  for (int b = 0; b < kBins; ++b) {
    const double left = d.lo + b * width, right = left + width;
    const double observed = 100.0 * counts[b] / kCount;
    const double exact = 100.0 * (d.cdf(right) - d.cdf(left));
    std::printf("    [%6.2f, %6.2f) %-30s %5.2f%%  exact %5.2f%%\n", left, right,
                std::string(static_cast<size_t>(observed * 30 / 40 + 0.5), '#').c_str(), observed,
                exact);
  }
}

double normal_cdf(double z) { return 0.5 * std::erfc(-z / std::sqrt(2.0)); }

}  // namespace

TOUR_SECTION(38, "Distributions: 10^5 variates each, histogram against the exact law") {
  const uint32_t seed = 2026;
  void* s = nullptr;
  if (__pavoNewStreamEx(&s, PAVO_BRNG_MT19937, 1, &seed) != 0) return;
  const double pi = std::acos(-1.0);
  const std::vector<Shown> shown = {
      {"Gaussian N(0, 1), method 1 (Box-Muller pairs)",
       [](void* st, int32_t n, double* r) { return _pavodRngGaussian(PAVO_GAUSSIAN_BOX_MULLER2, st, n, r, 0, 1); },
       normal_cdf, -3, 3},
      {"Exponential, scale 1", [](void* st, int32_t n, double* r) { return _pavodRngExponential(0, st, n, r, 0, 1); },
       [](double x) { return x < 0 ? 0 : -std::expm1(-x); }, 0, 4},
      {"Laplace, mean 0, scale 1", [](void* st, int32_t n, double* r) { return _pavodRngLaplace(0, st, n, r, 0, 1); },
       [](double x) { return x < 0 ? 0.5 * std::exp(x) : 1 - 0.5 * std::exp(-x); }, -4, 4},
      {"Weibull, shape 2", [](void* st, int32_t n, double* r) { return _pavodRngWeibull(0, st, n, r, 2, 0, 1); },
       [](double x) { return x < 0 ? 0 : -std::expm1(-x * x); }, 0, 2.4},
      {"Cauchy, scale 1", [](void* st, int32_t n, double* r) { return _pavodRngCauchy(0, st, n, r, 0, 1); },
       [pi](double x) { return 0.5 + std::atan(x) / pi; }, -4, 4},
      {"Rayleigh, scale 1", [](void* st, int32_t n, double* r) { return _pavodRngRayleigh(0, st, n, r, 0, 1); },
       [](double x) { return x < 0 ? 0 : -std::expm1(-x * x); }, 0, 2.4},
      {"Gumbel, scale 1", [](void* st, int32_t n, double* r) { return _pavodRngGumbel(0, st, n, r, 0, 1); },
       [](double x) { return -std::expm1(-std::exp(x)); }, -5, 2},
      {"Lognormal, underlying N(0, 0.5)",
       [](void* st, int32_t n, double* r) { return _pavodRngLognormal(0, st, n, r, 0, 0.5, 0, 1); },
       [](double x) { return x <= 0 ? 0 : normal_cdf(std::log(x) / 0.5); }, 0, 4},
  };
  for (const Shown& d : shown) histogram(s, d);

  // Three correlated coordinates: mean a, factor L (lower triangle, row order).
  const double a[3] = {1, -2, 4}, l[9] = {2, 0, 0, -1, 0.5, 0, 3, 1, 0.25};
  std::vector<double> v(3 * 100000);
  _pavodRngGaussianMV(PAVO_GAUSSIAN_BOX_MULLER2, s, 100000, v.data(), 3, PAVO_MATRIX_FULL, a, l);
  double mean[3] = {0, 0, 0}, cross = 0;
  for (size_t j = 0; j < v.size(); j += 3) {
    for (int i = 0; i < 3; ++i) mean[i] += v[j + i] / 100000;
  }
  for (size_t j = 0; j < v.size(); j += 3) cross += (v[j] - mean[0]) * (v[j + 2] - mean[2]) / 100000;
  std::printf("  GaussianMV, 3-d: mean (%.3f, %.3f, %.3f), cov(x0, x2) %.3f (exact 6)\n", mean[0],
              mean[1], mean[2], cross);
  __pavoDeleteStream(&s);
}
