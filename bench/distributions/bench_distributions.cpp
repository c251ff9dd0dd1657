// Double precision variates per distribution, 10^4 per call (in cache): ours from an
// MT19937 stream, GSL's gsl_ran_* from its MT19937, and the standard library's
// distributions over std::mt19937 where it has them.
#include <gsl/gsl_randist.h>
#include <gsl/gsl_rng.h>

#include <functional>
#include <random>
#include <string>
#include <vector>

#include "common/ratio_reporter.h"
#include "zorn/pavo.h"

namespace {

constexpr int32_t kCount = 10000;
constexpr int32_t kDimension = 3;
const double kMean[kDimension] = {1, -2, 4};
const double kFactor[kDimension * kDimension] = {2, 0, 0, -1, 0.5, 0, 3, 1, 0.25};

using Ours = std::function<int32_t(void*, int32_t, double*)>;

void zorn(benchmark::State& state, Ours generate) {
  const uint32_t seed = 5489;
  void* stream = nullptr;
  __pavoNewStreamEx(&stream, PAVO_BRNG_MT19937, 1, &seed);
  std::vector<double> r(kCount);
  for (auto _ : state) {
    if (generate(stream, kCount, r.data()) < 0) state.SkipWithError("status");
    benchmark::DoNotOptimize(r.data());
  }
  state.SetItemsProcessed(state.iterations() * kCount);
  __pavoDeleteStream(&stream);
}

void gsl(benchmark::State& state, std::function<double(gsl_rng*)> variate) {
  gsl_rng* g = gsl_rng_alloc(gsl_rng_mt19937);
  std::vector<double> r(kCount);
  for (auto _ : state) {
    for (double& x : r) x = variate(g);
    benchmark::DoNotOptimize(r.data());
  }
  state.SetItemsProcessed(state.iterations() * kCount);
  gsl_rng_free(g);
}

void gsl_multivariate(benchmark::State& state) {
  gsl_rng* g = gsl_rng_alloc(gsl_rng_mt19937);
  gsl_vector_const_view mu = gsl_vector_const_view_array(kMean, kDimension);
  gsl_matrix_const_view l = gsl_matrix_const_view_array(kFactor, kDimension, kDimension);
  std::vector<double> r(kCount);
  for (auto _ : state) {
    for (int32_t j = 0; j + kDimension <= kCount; j += kDimension) {
      gsl_vector_view out = gsl_vector_view_array(&r[j], kDimension);
      gsl_ran_multivariate_gaussian(g, &mu.vector, &l.matrix, &out.vector);
    }
    benchmark::DoNotOptimize(r.data());
  }
  state.SetItemsProcessed(state.iterations() * (kCount / kDimension * kDimension));
  gsl_rng_free(g);
}

template <class Distribution>
void standard(benchmark::State& state, Distribution d) {
  std::mt19937 g(5489u);
  std::vector<double> r(kCount);
  for (auto _ : state) {
    for (double& x : r) x = d(g);
    benchmark::DoNotOptimize(r.data());
  }
  state.SetItemsProcessed(state.iterations() * kCount);
}

void add(const std::string& name, const std::string& impl, auto fn, auto... args) {
  benchmark::RegisterBenchmark((name + " | " + impl).c_str(), fn, args...);
}

void register_all() {
  add("Uniform [0,1)", "zorn", zorn, Ours([](void* s, int32_t n, double* r) { return _pavodRngUniform(0, s, n, r, 0, 1); }));
  add("Uniform [0,1)", "gsl", gsl, std::function<double(gsl_rng*)>(gsl_rng_uniform));
  add("Uniform [0,1)", "std", standard<std::uniform_real_distribution<double>>, std::uniform_real_distribution<double>());

  add("Exponential", "zorn", zorn, Ours([](void* s, int32_t n, double* r) { return _pavodRngExponential(0, s, n, r, 0, 1); }));
  add("Exponential", "gsl", gsl, std::function<double(gsl_rng*)>([](gsl_rng* g) { return gsl_ran_exponential(g, 1); }));
  add("Exponential", "std", standard<std::exponential_distribution<double>>, std::exponential_distribution<double>());

  add("Laplace", "zorn", zorn, Ours([](void* s, int32_t n, double* r) { return _pavodRngLaplace(0, s, n, r, 0, 1); }));
  add("Laplace", "gsl", gsl, std::function<double(gsl_rng*)>([](gsl_rng* g) { return gsl_ran_laplace(g, 1); }));

  add("Weibull shape 2.5", "zorn", zorn, Ours([](void* s, int32_t n, double* r) { return _pavodRngWeibull(0, s, n, r, 2.5, 0, 1); }));
  add("Weibull shape 2.5", "gsl", gsl, std::function<double(gsl_rng*)>([](gsl_rng* g) { return gsl_ran_weibull(g, 1, 2.5); }));
  add("Weibull shape 2.5", "std", standard<std::weibull_distribution<double>>, std::weibull_distribution<double>(2.5, 1));

  add("Cauchy", "zorn", zorn, Ours([](void* s, int32_t n, double* r) { return _pavodRngCauchy(0, s, n, r, 0, 1); }));
  add("Cauchy", "gsl", gsl, std::function<double(gsl_rng*)>([](gsl_rng* g) { return gsl_ran_cauchy(g, 1); }));
  add("Cauchy", "std", standard<std::cauchy_distribution<double>>, std::cauchy_distribution<double>());

  add("Rayleigh", "zorn", zorn, Ours([](void* s, int32_t n, double* r) { return _pavodRngRayleigh(0, s, n, r, 0, 1); }));
  add("Rayleigh", "gsl", gsl, std::function<double(gsl_rng*)>([](gsl_rng* g) { return gsl_ran_rayleigh(g, 1); }));

  add("Gumbel", "zorn", zorn, Ours([](void* s, int32_t n, double* r) { return _pavodRngGumbel(0, s, n, r, 0, 1); }));
  add("Gumbel", "gsl", gsl, std::function<double(gsl_rng*)>([](gsl_rng* g) { return gsl_ran_gumbel1(g, 1, 1); }));
  add("Gumbel", "std", standard<std::extreme_value_distribution<double>>, std::extreme_value_distribution<double>());

  for (const int32_t method : {0, 1, 2}) {
    add("Gaussian", "zorn method " + std::to_string(method), zorn,
        Ours([method](void* s, int32_t n, double* r) { return _pavodRngGaussian(method, s, n, r, 0, 1); }));
  }
  add("Gaussian", "zorn", zorn, Ours([](void* s, int32_t n, double* r) { return _pavodRngGaussian(1, s, n, r, 0, 1); }));
  add("Gaussian", "gsl polar", gsl, std::function<double(gsl_rng*)>([](gsl_rng* g) { return gsl_ran_gaussian(g, 1); }));
  add("Gaussian", "gsl ziggurat", gsl, std::function<double(gsl_rng*)>([](gsl_rng* g) { return gsl_ran_gaussian_ziggurat(g, 1); }));
  add("Gaussian", "gsl ratio", gsl, std::function<double(gsl_rng*)>([](gsl_rng* g) { return gsl_ran_gaussian_ratio_method(g, 1); }));
  add("Gaussian", "std", standard<std::normal_distribution<double>>, std::normal_distribution<double>());

  add("Lognormal", "zorn", zorn, Ours([](void* s, int32_t n, double* r) { return _pavodRngLognormal(0, s, n, r, 0, 1, 0, 1); }));
  add("Lognormal", "gsl", gsl, std::function<double(gsl_rng*)>([](gsl_rng* g) { return gsl_ran_lognormal(g, 0, 1); }));
  add("Lognormal", "std", standard<std::lognormal_distribution<double>>, std::lognormal_distribution<double>());

  add("GaussianMV 3-d full", "zorn", zorn, Ours([](void* s, int32_t n, double* r) {
        return _pavodRngGaussianMV(1, s, n / kDimension, r, kDimension, PAVO_MATRIX_FULL, kMean, kFactor);
      }));
  add("GaussianMV 3-d full", "gsl", gsl_multivariate);
}

}  // namespace

int main(int argc, char** argv) {
  register_all();
  return bench::run_with_ratios(argc, argv, "0.2");
}
