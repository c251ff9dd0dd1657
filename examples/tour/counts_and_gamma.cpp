// Section: gamma variates and Poisson counts from one MT19937 stream, beside their exact
// moments and probabilities.
#include <cmath>
#include <cstdio>
#include <vector>

#include "tour.h"
#include "zorn/pavo.h"

TOUR_SECTION(39, "Gamma and Poisson: 10^5 draws each against the exact law") {
  const uint32_t seed = 2026;
  void* s = nullptr;
  if (__pavoNewStreamEx(&s, PAVO_BRNG_MT19937, 1, &seed) != 0) return;
  constexpr int32_t kCount = 100000;

  std::vector<double> g(kCount);
  const double shape = 2.5, scale = 2.0;
  if (_pavodRngGamma(0, s, kCount, g.data(), shape, 0, scale) >= 0) {
    double mean = 0, square = 0;
    for (const double x : g) mean += x / kCount;
    for (const double x : g) square += (x - mean) * (x - mean) / kCount;
    std::printf("  Gamma shape %.1f scale %.1f: mean %.3f (exact %.3f), variance %.3f (exact %.3f)\n",
                shape, scale, mean, shape * scale, square, shape * scale * scale);
  }

  const double lambda = 4.0;
  std::vector<int32_t> k(kCount);
  for (const int32_t method : {PAVO_POISSON_EXACT, PAVO_POISSON_NORMAL_APPROXIMATION}) {
    if (_pavoiRngPoisson(method, s, kCount, k.data(), lambda) < 0) continue;
    std::vector<int> counts(10, 0);
    for (const int32_t x : k)
      if (x < 10) ++counts[x];
    std::printf("  Poisson mean %.0f, method %d (%s):\n", lambda, method,
                method == PAVO_POISSON_EXACT ? "exact" : "normal approximation");
    for (int j = 0; j < 10; ++j) {
      const double exact = std::exp(j * std::log(lambda) - lambda - std::lgamma(j + 1.0));
      std::printf("    k=%d  %6.3f%%  exact %6.3f%%\n", j, 100.0 * counts[j] / kCount, 100 * exact);
    }
  }
  __pavoDeleteStream(&s);
}
