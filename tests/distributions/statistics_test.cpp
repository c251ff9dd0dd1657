// Every distribution against its exact distribution function: chi-square over
// equiprobable bins (the bin of x is floor(K F(x))), a bin beyond 5 sigma or a
// chi-square beyond 5 sigma of its own law doubling the sample (the stream continues)
// before a failure is declared, and the mean where it exists. Fixed seeds: a run never
// flakes. ZORN_DISTRIBUTION_SAMPLES sets the sample (default 2^18); the long run
// (scripts/run-distribution-checks.sh) uses 10^7 and prints one line per case.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <limits>
#include <string>

#include "distributions/distribution_support.h"

namespace {

constexpr int32_t kBins = 100;
constexpr int32_t kDoublings = 2;
constexpr double kNoMean = std::numeric_limits<double>::quiet_NaN();

int64_t samples() {
  const char* text = std::getenv("ZORN_DISTRIBUTION_SAMPLES");
  return text != nullptr ? std::atoll(text) : int64_t{1} << 18;
}

double normal_cdf(double z) { return 0.5 * std::erfc(-z / std::sqrt(2.0)); }
std::string text(double v) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%g", v);
  return buffer;
}

struct Case {
  std::string name;
  // Draws n values of the chosen precision from the stream, widened to double.
  std::function<int32_t(void*, int32_t, double*)> draw_d, draw_s;
  std::function<double(double)> cdf;
  double mean = kNoMean, sd = kNoMean;
};

// One case in one precision; true when it passes within kDoublings doublings.
bool passes(const Case& c, bool single) {
  // A seed of the case's own, so that cases built on the same transform of the uniforms
  // do not repeat each other's statistics.
  Stream s(PAVO_BRNG_MT19937, {static_cast<uint32_t>(std::hash<std::string>()(c.name))});
  std::vector<int64_t> counts(kBins, 0);
  std::vector<double> buffer(1 << 16);
  int64_t n = 0, target = samples();
  long double sum = 0;
  for (int round = 0; round <= kDoublings; ++round, target *= 2) {
    while (n < target) {
      const int32_t m = static_cast<int32_t>(std::min<int64_t>(buffer.size(), target - n));
      if ((single ? c.draw_s : c.draw_d)(s.p, m, buffer.data()) < 0) return false;
      for (int32_t i = 0; i < m; ++i) {
        const double f = c.cdf(buffer[i]);
        if (!(f >= 0 && f <= 1)) return false;  // outside the support, or NaN
        ++counts[std::min<int64_t>(kBins - 1, static_cast<int64_t>(f * kBins))];
        sum += buffer[i];
      }
      n += m;
    }
    const double expected = static_cast<double>(n) / kBins;
    double chi2 = 0, worst = 0;
    for (const int64_t k : counts) {
      const double z = (k - expected) / std::sqrt(expected * (1 - 1.0 / kBins));
      chi2 += (k - expected) * (k - expected) / expected;
      worst = std::max(worst, std::abs(z));
    }
    const double mean_z = std::isnan(c.mean) ? 0
                          : static_cast<double>(sum / n - c.mean) / (c.sd / std::sqrt(double(n)));
    const bool ok = worst < 5 && chi2 < (kBins - 1) + 5 * std::sqrt(2.0 * (kBins - 1)) &&
                    std::abs(mean_z) < 5;
    std::printf("chi2 %-34s %s n=%lld chi2=%.1f (df %d) max|z|=%.2f mean z=%.2f %s\n",
                c.name.c_str(), single ? "s" : "d", static_cast<long long>(n), chi2, kBins - 1,
                worst, mean_z, ok ? "pass" : "doubling");
    if (ok) return true;
  }
  return false;
}

// A case whose generator takes (method, stream, n, r, parameters...) in both precisions.
template <class G>
Case make(std::string name, G generate, std::function<double(double)> cdf,
          double mean = kNoMean, double sd = kNoMean) {
  auto widened = [generate](auto tag) {
    return [generate](void* s, int32_t n, double* out) {
      using T = decltype(tag);
      std::vector<T> r(n);
      const int32_t status = generate(s, n, r.data());
      for (int32_t i = 0; i < n; ++i) out[i] = r[i];
      return status;
    };
  };
  return {std::move(name), widened(double()), widened(float()), std::move(cdf), mean, sd};
}

std::vector<Case> cases() {
  std::vector<Case> all;
  const double kPi = 3.14159265358979323846;
  all.push_back(make("Uniform[-3,5) accurate",
                     [](void* s, int32_t n, auto* r) { return Uniform(PAVO_METHOD_ACCURATE, s, n, r, -3, 5); },
                     [](double x) { return (x + 3) / 8; }, 1, 8 / std::sqrt(12.0)));
  for (const double beta : {1.0, 1e-30, 1e30}) {
    all.push_back(make("Exponential beta=" + text(beta),
                       [beta](void* s, int32_t n, auto* r) { return Exponential(PAVO_METHOD_ACCURATE, s, n, r, 0, beta); },
                       [beta](double x) { return -std::expm1(-x / beta); }, beta, beta));
  }
  all.push_back(make("Laplace a=2 beta=3",
                     [](void* s, int32_t n, auto* r) { return Laplace(0, s, n, r, 2, 3); },
                     [](double x) {
                       return x < 2 ? 0.5 * std::exp((x - 2) / 3) : 1 - 0.5 * std::exp(-(x - 2) / 3);
                     },
                     2, 3 * std::sqrt(2.0)));
  // No displacement: beside shape 0.1's tiny values it would leave nothing of them.
  for (const double alpha : {0.1, 1.0, 2.5, 20.0}) {
    all.push_back(make("Weibull alpha=" + text(alpha),
                       [alpha](void* s, int32_t n, auto* r) { return Weibull(PAVO_METHOD_ACCURATE, s, n, r, alpha, 0, 2); },
                       [alpha](double x) { return -std::expm1(-std::pow(x / 2, alpha)); },
                       // shape 0.1's moments are too heavy-tailed for a normal mean test
                       alpha < 1 ? kNoMean : 2 * std::tgamma(1 + 1 / alpha),
                       2 * std::sqrt(std::tgamma(1 + 2 / alpha) - std::pow(std::tgamma(1 + 1 / alpha), 2))));
  }
  all.push_back(make("Cauchy a=-1 beta=0.5",
                     [](void* s, int32_t n, auto* r) { return Cauchy(0, s, n, r, -1, 0.5); },
                     [kPi](double x) { return 0.5 + std::atan((x + 1) / 0.5) / kPi; }));
  for (const double beta : {2.0, 1e-30, 1e30}) {
    all.push_back(make("Rayleigh beta=" + text(beta),
                       [beta](void* s, int32_t n, auto* r) { return Rayleigh(PAVO_METHOD_ACCURATE, s, n, r, 0, beta); },
                       [beta](double x) { return -std::expm1(-(x / beta) * (x / beta)); },
                       beta * std::sqrt(kPi) / 2, beta * std::sqrt(1 - kPi / 4)));
  }
  all.push_back(make("Gumbel a=1 beta=2",
                     [](void* s, int32_t n, auto* r) { return Gumbel(0, s, n, r, 1, 2); },
                     [](double x) { return -std::expm1(-std::exp((x - 1) / 2)); },
                     1 - 2 * 0.5772156649015329, 2 * kPi / std::sqrt(6.0)));
  for (const int32_t method : {0, 1, 2}) {
    for (const double sigma : {1.0, 1e-30, 1e30}) {
      all.push_back(make("Gaussian method " + std::to_string(method) + " sigma=" + text(sigma),
                         [method, sigma](void* s, int32_t n, auto* r) { return Gaussian(method, s, n, r, 0, sigma); },
                         [sigma](double x) { return normal_cdf(x / sigma); }, 0, sigma));
    }
  }
  for (const int32_t method : {0, PAVO_METHOD_ACCURATE}) {
    all.push_back(make(std::string(method == 0 ? "Lognormal method 0" : "Lognormal accurate"),
                       [method](void* s, int32_t n, auto* r) { return Lognormal(method, s, n, r, 0.5, 0.75, 1, 2); },
                       [](double x) { return x <= 1 ? 0.0 : normal_cdf((std::log((x - 1) / 2) - 0.5) / 0.75); },
                       1 + 2 * std::exp(0.5 + 0.75 * 0.75 / 2),
                       2 * std::sqrt(std::expm1(0.75 * 0.75) * std::exp(1 + 0.75 * 0.75))));
  }
  // Multivariate (the storages agree, gaussian_test.cpp): vectors whitened by the factor,
  // z = L^-1 (x - a), are independent standard normals.
  all.push_back(make("GaussianMV 3-d full",
                     [](void* s, int32_t n, auto* r) {
                       using T = std::remove_pointer_t<decltype(r)>;
                       const T l[9] = {2, 0, 0, -1, 0.5, 0, 3, 1, 0.25}, a[3] = {1, -2, 4};
                       const int32_t status = GaussianMV(1, s, n / 3, r, 3, PAVO_MATRIX_FULL, a, l);
                       for (int32_t j = 0; j < n / 3 * 3; j += 3) {
                         for (int32_t i = 0; i < 3; ++i) {
                           T x = r[j + i] - a[i];
                           for (int32_t k = 0; k < i; ++k) x -= l[3 * i + k] * r[j + k];
                           r[j + i] = x / l[3 * i + i];
                         }
                       }
                       for (int32_t i = n / 3 * 3; i < n; ++i) r[i] = 0;  // median of N(0, 1)
                       return status;
                     },
                     normal_cdf, 0, 1));
  return all;
}

TEST(Statistics, EveryDistributionMatchesItsDistributionFunction) {
  for (const Case& c : cases()) {
    EXPECT_TRUE(passes(c, false)) << c.name << " double";
    EXPECT_TRUE(passes(c, true)) << c.name << " single";
  }
}

}  // namespace
