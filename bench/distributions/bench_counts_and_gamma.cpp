// The gamma family and the integer-valued generators, 10^4 variates per call (in
// cache): ours from an MT19937 stream ("zorn" is Poisson's exact method 0), GSL's gsl_ran_* from its MT19937, and the
// standard library's distributions over std::mt19937 where it has them.
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

template <class R>
using Ours = std::function<int32_t(void*, int32_t, R*)>;

template <class R>
void zorn(benchmark::State& state, Ours<R> generate) {
  const uint32_t seed = 5489;
  void* stream = nullptr;
  __pavoNewStreamEx(&stream, PAVO_BRNG_MT19937, 1, &seed);
  std::vector<R> r(kCount);
  for (auto _ : state) {
    if (generate(stream, kCount, r.data()) < 0) state.SkipWithError("status");
    benchmark::DoNotOptimize(r.data());
  }
  state.SetItemsProcessed(state.iterations() * kCount);
  __pavoDeleteStream(&stream);
}

template <class R>
void gsl(benchmark::State& state, std::function<R(gsl_rng*)> variate) {
  gsl_rng* g = gsl_rng_alloc(gsl_rng_mt19937);
  std::vector<R> r(kCount);
  for (auto _ : state) {
    for (R& x : r) x = variate(g);
    benchmark::DoNotOptimize(r.data());
  }
  state.SetItemsProcessed(state.iterations() * kCount);
  gsl_rng_free(g);
}

template <class R, class Distribution>
void standard(benchmark::State& state, Distribution d) {
  std::mt19937 g(5489u);
  std::vector<R> r(kCount);
  for (auto _ : state) {
    for (R& x : r) x = static_cast<R>(d(g));
    benchmark::DoNotOptimize(r.data());
  }
  state.SetItemsProcessed(state.iterations() * kCount);
}

void add(const std::string& name, const std::string& impl, auto fn, auto... args) {
  benchmark::RegisterBenchmark((name + " | " + impl).c_str(), fn, args...);
}
template <class R>
void add_ours(const std::string& name, Ours<R> generate) {
  add(name, "zorn", zorn<R>, generate);
}
template <class R>
void add_gsl(const std::string& name, std::function<R(gsl_rng*)> variate) {
  add(name, "gsl", gsl<R>, variate);
}

void register_all() {
  for (const double alpha : {0.5, 2.5}) {
    const std::string name = "Gamma shape " + std::to_string(alpha).substr(0, 3);
    add_ours<double>(name, [alpha](void* s, int32_t n, double* r) { return _pavodRngGamma(0, s, n, r, alpha, 0, 1); });
    add_gsl<double>(name, [alpha](gsl_rng* g) { return gsl_ran_gamma(g, alpha, 1); });
    add(name, "std", standard<double, std::gamma_distribution<double>>, std::gamma_distribution<double>(alpha));
  }
  const double shapes[][2] = {{0.5, 0.5}, {2, 3}};
  for (const auto& pq : shapes) {
    const double p = pq[0], q = pq[1];
    const std::string name = "Beta " + std::to_string(p).substr(0, 3) + "," + std::to_string(q).substr(0, 3);
    add_ours<double>(name, [p, q](void* s, int32_t n, double* r) { return _pavodRngBeta(0, s, n, r, p, q, 0, 1); });
    add_gsl<double>(name, [p, q](gsl_rng* g) { return gsl_ran_beta(g, p, q); });
  }
  for (const int32_t v : {4, 5}) {
    const std::string name = "ChiSquare v=" + std::to_string(v);
    add_ours<double>(name, [v](void* s, int32_t n, double* r) { return _pavodRngChiSquare(0, s, n, r, v); });
    add_gsl<double>(name, [v](gsl_rng* g) { return gsl_ran_chisq(g, v); });
    add(name, "std", standard<double, std::chi_squared_distribution<double>>, std::chi_squared_distribution<double>(v));
  }
  add_ours<int32_t>("Uniform integers [-3,3)", [](void* s, int32_t n, int32_t* r) { return _pavoiRngUniform(0, s, n, r, -3, 3); });
  add_gsl<int32_t>("Uniform integers [-3,3)", [](gsl_rng* g) { return static_cast<int32_t>(gsl_rng_uniform_int(g, 6)) - 3; });
  add("Uniform integers [-3,3)", "std", standard<int32_t, std::uniform_int_distribution<int32_t>>, std::uniform_int_distribution<int32_t>(-3, 2));

  add_ours<uint32_t>("Bits32", [](void* s, int32_t n, uint32_t* r) { return _pavoiRngUniformBits32(0, s, n, r); });
  add_gsl<uint32_t>("Bits32", [](gsl_rng* g) { return static_cast<uint32_t>(gsl_rng_get(g)); });

  add_ours<int32_t>("Bernoulli p=0.3", [](void* s, int32_t n, int32_t* r) { return _pavoiRngBernoulli(0, s, n, r, 0.3); });
  add_gsl<int32_t>("Bernoulli p=0.3", [](gsl_rng* g) { return static_cast<int32_t>(gsl_ran_bernoulli(g, 0.3)); });
  add("Bernoulli p=0.3", "std", standard<int32_t, std::bernoulli_distribution>, std::bernoulli_distribution(0.3));

  add_ours<int32_t>("Geometric p=0.1", [](void* s, int32_t n, int32_t* r) { return _pavoiRngGeometric(0, s, n, r, 0.1); });
  add_gsl<int32_t>("Geometric p=0.1", [](gsl_rng* g) { return static_cast<int32_t>(gsl_ran_geometric(g, 0.1)) - 1; });
  add("Geometric p=0.1", "std", standard<int32_t, std::geometric_distribution<int32_t>>, std::geometric_distribution<int32_t>(0.1));

  for (const double lambda : {5.0, 500.0}) {
    const std::string name = "Poisson " + std::to_string(static_cast<int>(lambda));
    add_ours<int32_t>(name, [lambda](void* s, int32_t n, int32_t* r) { return _pavoiRngPoisson(0, s, n, r, lambda); });
    add(name, "zorn method 1", zorn<int32_t>,
        Ours<int32_t>([lambda](void* s, int32_t n, int32_t* r) { return _pavoiRngPoisson(1, s, n, r, lambda); }));
    add_gsl<int32_t>(name, [lambda](gsl_rng* g) { return static_cast<int32_t>(gsl_ran_poisson(g, lambda)); });
    add(name, "std", standard<int32_t, std::poisson_distribution<int32_t>>, std::poisson_distribution<int32_t>(lambda));
  }
}

}  // namespace

int main(int argc, char** argv) {
  register_all();
  return bench::run_with_ratios(argc, argv, "0.2");
}
