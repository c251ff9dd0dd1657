// Section: summary statistics of a data set that arrives in three portions, equal to
// one call over all of it. The data come from a small local generator (MT19937-64 and
// the Box-Muller transform) so that the section depends on nothing but the task API.
#include <cmath>
#include <cstdio>
#include <random>
#include <vector>

#include "tour.h"
#include "zorn/core.h"
#include "zorn/ss.h"

namespace {

constexpr int32_t kVariables = 3;
constexpr int32_t kObservations = 30000;

// Observations in columns: observation j holds the three variables at x[3j..3j+2].
std::vector<double> generate(uint64_t seed) {
  std::mt19937_64 engine(seed);
  std::uniform_real_distribution<double> uniform(0.0, 1.0);
  std::vector<double> x(kVariables * kObservations);
  for (int32_t j = 0; j < kObservations; ++j) {
    const double u1 = 1.0 - uniform(engine), u2 = uniform(engine);
    const double radius = std::sqrt(-2.0 * std::log(u1));
    const double z1 = radius * std::cos(2 * M_PI * u2), z2 = radius * std::sin(2 * M_PI * u2);
    x[3 * j] = 10 + z1;                     // N(10, 1)
    x[3 * j + 1] = -5 + 2 * z2;             // N(-5, 4)
    x[3 * j + 2] = 1e6 + 0.5 * (z1 + z2);   // large mean, correlated with both
  }
  return x;
}

struct Estimates {
  double mean[kVariables] = {}, raw2[kVariables] = {}, variance[kVariables] = {};
  double covariance[kVariables * kVariables] = {}, weights[2] = {};
  int32_t cov_storage = PAVO_SS_MATRIX_FULL;
};

// One task; each portion only points it at new data (the task keeps addresses, so
// setting n is enough for the count) and continues the estimates of the last call.
void run(std::vector<double>& x, const int32_t* portions, int count, Estimates& e) {
  int32_t p = kVariables, n = portions[0], storage = PAVO_SS_STORAGE_COLUMNS;
  const uint64_t mask = PAVO_SS_MEAN | PAVO_SS_CENTRAL_MOMENT_2 | PAVO_SS_COVARIANCE;
  PAVO_SS_TASK task = nullptr;
  __pavodSSNewTask(&task, &p, &n, &storage, x.data(), nullptr, nullptr, 0);
  __pavodSSEditMoments(task, e.mean, e.raw2, nullptr, nullptr, e.variance, nullptr, nullptr);
  __pavodSSEditCovCor(task, nullptr, e.covariance, &e.cov_storage, nullptr, nullptr);
  __pavodSSEditTask(task, PAVO_SS_ID_ACCUMULATED_WEIGHTS, e.weights);
  int32_t start = 0;
  for (int k = 0; k < count; ++k) {
    n = portions[k];
    __pavodSSEditTask(task, PAVO_SS_ID_OBSERVATIONS, x.data() + kVariables * start);
    const int32_t status = _pavodSSBasic(task, mask, PAVO_SS_METHOD_ONE_PASS,
                                         zorn_core_threading_service());
    if (status != 0) std::printf("  _pavodSSBasic returned %d\n", status);
    start += n;
  }
  __pavoSSDeleteTask(&task);
}

}  // namespace

TOUR_SECTION(40, "Summary statistics: three portions give the same estimates as one call") {
  std::vector<double> x = generate(2026);
  const int32_t whole[] = {kObservations}, thirds[] = {7000, 12000, 11000};
  Estimates one, three;
  run(x, whole, 1, one);
  run(x, thirds, 3, three);
  std::printf("  %d observations of %d variables; portions of 7000, 12000 and 11000\n",
              kObservations, kVariables);
  std::printf("  %-10s %22s %22s %12s\n", "variable", "mean (one call)", "variance (one call)",
              "|diff| rel.");
  for (int i = 0; i < kVariables; ++i) {
    const double diff = std::fmax(std::fabs(three.mean[i] - one.mean[i]) / std::fabs(one.mean[i]),
                                  std::fabs(three.variance[i] - one.variance[i]) / one.variance[i]);
    std::printf("  %-10d %22.15g %22.15g %12.1e\n", i, one.mean[i], one.variance[i], diff);
  }
  std::printf("  correlated covariances: cov(0,2) = %.6f, cov(1,2) = %.6f (three portions: "
              "%.6f, %.6f)\n",
              one.covariance[2], one.covariance[5], three.covariance[2], three.covariance[5]);
  std::printf("  accumulated weight W = %.0f in both\n", three.weights[0]);
}
