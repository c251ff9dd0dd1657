// Every distribution against its exact law: chi-square over 100 equiprobable bins of the
// probability integral transform F(x) (for counts the randomised transform
// F(k - 1) + v p(k), v uniform, which is uniform exactly when the counts follow p), and
// the mean where it exists. A bin, the chi-square or the mean beyond 5 sigma of its law
// doubles the sample (the stream continues), twice at most, before a failure is
// declared. Fixed seeds: a run never flakes. ZORN_DISTRIBUTION_SAMPLES sets the sample
// (default 2^18); the long run (scripts/run-distribution-checks.sh) uses 10^7 and prints
// one line per case.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <limits>
#include <random>
#include <string>

#include "distributions/distribution_support.h"

namespace {

using Real = long double;
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

// Regularised lower incomplete gamma P(a, x): its series below a + 1, Lentz's continued
// fraction for the upper function above (Numerical Recipes, 6.2).
Real gamma_p(Real a, Real x) {
  if (x <= 0) return 0;
  const Real log_front = a * std::log(x) - x - std::lgamma(a);
  if (x < a + 1) {
    Real term = 1 / a, sum = term;
    for (int n = 1; n < 100000 && term > sum * 1e-19L; ++n) sum += term *= x / (a + n);
    return sum * std::exp(log_front);
  }
  Real b = x + 1 - a, c = 1 / 1e-4000L, d = 1 / b, h = d;
  for (int i = 1; i < 100000; ++i) {
    const Real an = -i * (i - a);
    b += 2;
    d = 1 / (an * d + b);
    c = b + an / c;
    h *= d * c;
    if (std::fabs(d * c - 1) < 1e-19L) break;
  }
  return 1 - std::exp(log_front) * h;
}

// Regularised incomplete beta I_x(p, q) by its continued fraction (Numerical Recipes,
// 6.4), taken on the side where it converges fast.
Real beta_i(Real p, Real q, Real x) {
  if (x <= 0) return 0;
  if (x >= 1) return 1;
  if (x > (p + 1) / (p + q + 2)) return 1 - beta_i(q, p, 1 - x);
  Real c = 1, d = 1 / (1 - (p + q) * x / (p + 1)), h = d;
  for (int m = 1; m < 100000; ++m) {
    for (const Real an : {m * (q - m) * x / ((p + 2 * m - 1) * (p + 2 * m)),
                          -(p + m) * (p + q + m) * x / ((p + 2 * m) * (p + 2 * m + 1))}) {
      d = 1 / (1 + an * d);
      c = 1 + an / c;
      h *= d * c;
    }
    if (std::fabs(d * c - 1) < 1e-19L) break;
  }
  return h * std::exp(p * std::log(x) + q * std::log1p(-x) + std::lgamma(p + q) - std::lgamma(p) -
                      std::lgamma(q)) / p;
}

struct Case {
  std::string name;
  // Draws n values from the stream, widened to double.
  std::function<int32_t(void*, int32_t, double*)> draw;
  std::function<double(double, double)> transform;  // (value, uniform v) -> in [0, 1]
  double mean = kNoMean, sd = kNoMean;
};

// True when the case passes within kDoublings doublings.
bool passes(const Case& c) {
  // A seed of the case's own, so that cases built on the same transform of the uniforms
  // do not repeat each other's statistics.
  Stream s(PAVO_BRNG_MT19937, {static_cast<uint32_t>(std::hash<std::string>()(c.name))});
  std::mt19937_64 randomiser(99);
  std::vector<int64_t> counts(kBins, 0);
  std::vector<double> buffer(1 << 16);
  int64_t n = 0, target = samples();
  long double sum = 0;
  for (int round = 0; round <= kDoublings; ++round, target *= 2) {
    while (n < target) {
      const int32_t m = static_cast<int32_t>(std::min<int64_t>(buffer.size(), target - n));
      if (c.draw(s.p, m, buffer.data()) < 0) return false;
      for (int32_t i = 0; i < m; ++i) {
        const double f = c.transform(buffer[i], std::generate_canonical<double, 53>(randomiser));
        if (!(f >= 0 && f <= 1)) return false;  // outside the support, or NaN
        ++counts[std::min<int64_t>(kBins - 1, static_cast<int64_t>(f * kBins))];
        sum += buffer[i];
      }
      n += m;
    }
    const double expected = static_cast<double>(n) / kBins;
    double chi2 = 0, worst = 0;
    for (const int64_t k : counts) {
      chi2 += (k - expected) * (k - expected) / expected;
      worst = std::max(worst, std::abs(k - expected) / std::sqrt(expected * (1 - 1.0 / kBins)));
    }
    const double mean_z = std::isnan(c.mean) ? 0
                          : static_cast<double>(sum / n - c.mean) / (c.sd / std::sqrt(double(n)));
    const bool ok = worst < 5 && chi2 < (kBins - 1) + 5 * std::sqrt(2.0 * (kBins - 1)) &&
                    std::abs(mean_z) < 5;
    std::printf("chi2 %-36s n=%lld chi2=%.1f (df %d) max|z|=%.2f mean z=%.2f %s\n", c.name.c_str(),
                static_cast<long long>(n), chi2, kBins - 1, worst, mean_z, ok ? "pass" : "doubling");
    if (ok) return true;
  }
  return false;
}

// Draws n values of type T through `generate`, widened to double.
template <class T, class G>
std::function<int32_t(void*, int32_t, double*)> widened(G generate) {
  return [generate](void* s, int32_t n, double* out) {
    std::vector<T> r(n);
    const int32_t status = generate(s, n, r.data());
    std::copy(r.begin(), r.end(), out);
    return status;
  };
}

// A continuous case in both precisions, its generator taking (stream, n, r). A subnormal
// result (0 included) stands for every value that rounds to it, an interval that carries
// visible probability at tiny shapes, so its transform is spread over F of that interval.
template <class G>
void add_continuous(std::vector<Case>& all, const std::string& name, G generate,
                    std::function<Real(Real)> cdf, double mean = kNoMean, double sd = kNoMean) {
  auto add = [&](auto tag, const char* letter) {
    using T = decltype(tag);
    all.push_back({name + " " + letter,
                   widened<T>(generate),
                   [cdf](double x, double v) {
                     if (!(std::fabs(x) < std::numeric_limits<T>::min())) return static_cast<double>(cdf(x));
                     const T t = static_cast<T>(x), inf = std::numeric_limits<T>::infinity();
                     const Real lo = cdf((Real(t) + std::nextafter(t, -inf)) / 2);
                     const Real hi = cdf((Real(t) + std::nextafter(t, inf)) / 2);
                     return static_cast<double>(lo + v * (hi - lo));
                   },
                   mean, sd});
  };
  add(double(), "d");
  add(float(), "s");
}

// A count case: `cdf(k)` is P(X <= k) over the integers.
void add_counts(std::vector<Case>& all, const std::string& name,
                std::function<int32_t(void*, int32_t, int32_t*)> generate,
                std::function<Real(double)> cdf) {
  all.push_back({name,
                 widened<int32_t>(generate),
                 [cdf](double k, double v) {
                   const Real below = cdf(k - 1);
                   return static_cast<double>(below + v * (cdf(k) - below));
                 }});
}

std::vector<Case> continuous_cases() {
  std::vector<Case> all;
  const double kPi = 3.14159265358979323846;
  add_continuous(all, "Uniform[-3,5) accurate",
                     [](void* s, int32_t n, auto* r) { return Uniform(PAVO_METHOD_ACCURATE, s, n, r, -3, 5); },
                     [](double x) { return (x + 3) / 8; }, 1, 8 / std::sqrt(12.0));
  for (const double beta : {1.0, 1e-30, 1e30}) {
    add_continuous(all, "Exponential beta=" + text(beta),
                       [beta](void* s, int32_t n, auto* r) { return Exponential(PAVO_METHOD_ACCURATE, s, n, r, 0, beta); },
                       [beta](double x) { return x <= 0 ? 0 : -std::expm1(-x / beta); }, beta, beta);
  }
  add_continuous(all, "Laplace a=2 beta=3",
                     [](void* s, int32_t n, auto* r) { return Laplace(0, s, n, r, 2, 3); },
                     [](double x) {
                       return x < 2 ? 0.5 * std::exp((x - 2) / 3) : 1 - 0.5 * std::exp(-(x - 2) / 3);
                     },
                     2, 3 * std::sqrt(2.0));
  // No displacement: beside shape 0.1's tiny values it would leave nothing of them.
  for (const double alpha : {0.1, 1.0, 2.5, 20.0}) {
    add_continuous(all, "Weibull alpha=" + text(alpha),
                       [alpha](void* s, int32_t n, auto* r) { return Weibull(PAVO_METHOD_ACCURATE, s, n, r, alpha, 0, 2); },
                       [alpha](double x) { return x <= 0 ? 0 : -std::expm1(-std::pow(x / 2, alpha)); },
                       // shape 0.1's moments are too heavy-tailed for a normal mean test
                       alpha < 1 ? kNoMean : 2 * std::tgamma(1 + 1 / alpha),
                       2 * std::sqrt(std::tgamma(1 + 2 / alpha) - std::pow(std::tgamma(1 + 1 / alpha), 2)));
  }
  add_continuous(all, "Cauchy a=-1 beta=0.5",
                     [](void* s, int32_t n, auto* r) { return Cauchy(0, s, n, r, -1, 0.5); },
                     [kPi](double x) { return 0.5 + std::atan((x + 1) / 0.5) / kPi; });
  for (const double beta : {2.0, 1e-30, 1e30}) {
    add_continuous(all, "Rayleigh beta=" + text(beta),
                       [beta](void* s, int32_t n, auto* r) { return Rayleigh(PAVO_METHOD_ACCURATE, s, n, r, 0, beta); },
                       [beta](double x) { return x <= 0 ? 0 : -std::expm1(-(x / beta) * (x / beta)); },
                       beta * std::sqrt(kPi) / 2, beta * std::sqrt(1 - kPi / 4));
  }
  add_continuous(all, "Gumbel a=1 beta=2",
                     [](void* s, int32_t n, auto* r) { return Gumbel(0, s, n, r, 1, 2); },
                     [](double x) { return -std::expm1(-std::exp((x - 1) / 2)); },
                     1 - 2 * 0.5772156649015329, 2 * kPi / std::sqrt(6.0));
  for (const int32_t method : {0, 1, 2}) {
    for (const double sigma : {1.0, 1e-30, 1e30}) {
      add_continuous(all, "Gaussian method " + std::to_string(method) + " sigma=" + text(sigma),
                         [method, sigma](void* s, int32_t n, auto* r) { return Gaussian(method, s, n, r, 0, sigma); },
                         [sigma](double x) { return normal_cdf(x / sigma); }, 0, sigma);
    }
  }
  for (const int32_t method : {0, PAVO_METHOD_ACCURATE}) {
    add_continuous(all, method == 0 ? "Lognormal method 0" : "Lognormal accurate",
                       [method](void* s, int32_t n, auto* r) { return Lognormal(method, s, n, r, 0.5, 0.75, 1, 2); },
                       [](double x) { return x <= 1 ? 0.0 : normal_cdf((std::log((x - 1) / 2) - 0.5) / 0.75); },
                       1 + 2 * std::exp(0.5 + 0.75 * 0.75 / 2),
                       2 * std::sqrt(std::expm1(0.75 * 0.75) * std::exp(1 + 0.75 * 0.75)));
  }
  // Multivariate (the storages agree, gaussian_test.cpp): vectors whitened by the factor,
  // z = L^-1 (x - a), are independent standard normals.
  add_continuous(all, "GaussianMV 3-d full",
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
                     normal_cdf, 0, 1);
  return all;
}

// P(X <= k) of Poisson(lambda), tabulated over mean +- 12 sd from terms by lgamma.
std::function<Real(double)> poisson_cdf(double lambda) {
  const double sd = std::sqrt(lambda);
  const int64_t lo = std::max<int64_t>(0, static_cast<int64_t>(lambda - 12 * sd - 30));
  const int64_t hi = static_cast<int64_t>(lambda + 12 * sd + 30);
  std::vector<Real> table(hi - lo + 1);
  Real sum = 0;
  for (int64_t k = lo; k <= hi; ++k)
    table[k - lo] = sum += std::exp(k * std::log(Real(lambda)) - lambda - std::lgamma(Real(k) + 1));
  return [table, lo, hi](double k) -> Real {
    return k < lo ? 0 : k > hi ? 1 : table[static_cast<int64_t>(k) - lo];
  };
}

std::vector<Case> gamma_family_and_count_cases() {
  std::vector<Case> all;
  for (const double alpha : {0.01, 0.5, 0.7, 1.0, 2.5, 100.0}) {
    add_continuous(all, "Gamma alpha=" + std::to_string(alpha),
                   [alpha](void* s, int32_t n, auto* r) { return Gamma(PAVO_METHOD_ACCURATE, s, n, r, alpha, 0, 1); },
                   [alpha](Real x) { return gamma_p(alpha, x); });
  }
  const double shapes[][2] = {{0.5, 0.5}, {0.2, 0.7}, {0.5, 5}, {2, 3}};
  for (const auto& pq : shapes) {
    const double p = pq[0], q = pq[1];
    add_continuous(all, "Beta p=" + std::to_string(p) + " q=" + std::to_string(q),
                   [p, q](void* s, int32_t n, auto* r) { return Beta(PAVO_METHOD_ACCURATE, s, n, r, p, q, 0, 1); },
                   [p, q](Real x) { return beta_i(p, q, x); });
  }
  for (const int32_t v : {1, 3, 4, 5, 16, 40}) {
    add_continuous(all, "ChiSquare v=" + std::to_string(v),
                   [v](void* s, int32_t n, auto* r) { return ChiSquare(0, s, n, r, v); },
                   [v](Real x) { return gamma_p(v / Real(2), x / 2); });
  }
  for (const double lambda : {0.5, 5.0, 9.99, 10.0, 30.0, 1e4, 1e9}) {
    add_counts(all, "Poisson method 0 lambda=" + std::to_string(lambda),
               [lambda](void* s, int32_t n, int32_t* r) { return _pavoiRngPoisson(0, s, n, r, lambda); },
               poisson_cdf(lambda));
  }
  for (const double p : {1e-6, 0.5, 0.9}) {
    add_counts(all, "Geometric p=" + std::to_string(p),
               [p](void* s, int32_t n, int32_t* r) { return _pavoiRngGeometric(0, s, n, r, p); },
               [p](double k) -> Real { return k < 0 ? 0 : -std::expm1((k + 1) * std::log1p(Real(-p))); });
  }
  const int32_t ranges[][2] = {{-3, 3}, {INT32_MIN, INT32_MAX}};
  for (const auto& ab : ranges) {
    const int32_t a = ab[0], b = ab[1];
    add_counts(all, "Uniform integers [" + std::to_string(a) + ", " + std::to_string(b) + ")",
               [a, b](void* s, int32_t n, int32_t* r) { return _pavoiRngUniform(0, s, n, r, a, b); },
               [a, b](double k) -> Real { return std::clamp((k + 1 - a) / (Real(b) - a), Real(0), Real(1)); });
  }
  add_counts(all, "Bernoulli p=0.3",
             [](void* s, int32_t n, int32_t* r) { return _pavoiRngBernoulli(0, s, n, r, 0.3); },
             [](double k) -> Real { return k < 0 ? 0 : k < 1 ? 1 - Real(0.3f) : 1; });
  return all;
}

TEST(Statistics, EveryDistributionMatchesItsDistributionFunction) {
  for (const Case& c : continuous_cases()) EXPECT_TRUE(passes(c)) << c.name;
}

TEST(Statistics, GammaFamilyAndCountsFollowTheirLaws) {
  for (const Case& c : gamma_family_and_count_cases()) EXPECT_TRUE(passes(c)) << c.name;
}

}  // namespace
