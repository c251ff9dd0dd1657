// Block generation of the congruential and lagged generators next to the closest peers:
// std::minstd_rand (a Lehmer generator modulo 2^31 - 1), std::mt19937, and GSL's r250
// and mrg (L'Ecuyer's fifth-order multiple recursive generator).
#include <gsl/gsl_rng.h>

#include <random>
#include <string>
#include <vector>

#include "common/ratio_reporter.h"
#include "zorn/pavo.h"

namespace {

const struct {
  const char* name;
  uint32_t id;
} kGenerators[] = {{"MCG31M1", PAVO_BRNG_MCG31M1}, {"R250", PAVO_BRNG_R250}, {"MRG32K3A", PAVO_BRNG_MRG32K3A},
                   {"MCG59", PAVO_BRNG_MCG59},     {"WH", PAVO_BRNG_WH}};

const PavoBrngProperties& row_of(uint32_t id) {
  int32_t row = 0, sub = 0;
  return __pavoGetBrngBaseOffset(id, &row, &sub)[row];
}

void zorn_ints(benchmark::State& state, uint32_t id) {
  const int32_t n = static_cast<int32_t>(state.range(0));
  void* stream = nullptr;
  const uint32_t seed = 1;
  __pavoNewStreamEx(&stream, id, 1, &seed);
  const PavoBrngProperties& row = row_of(id);
  std::vector<uint32_t> out(static_cast<size_t>(n) * row.word_size / 4);
  for (auto _ : state) {
    row.gen_int(stream, n, out.data());
    benchmark::DoNotOptimize(out.data());
  }
  state.SetItemsProcessed(state.iterations() * n);
  __pavoDeleteStream(&stream);
}

void zorn_doubles(benchmark::State& state, uint32_t id) {
  const int32_t n = static_cast<int32_t>(state.range(0));
  void* stream = nullptr;
  const uint32_t seed = 1;
  __pavoNewStreamEx(&stream, id, 1, &seed);
  std::vector<double> out(n);
  for (auto _ : state) {
    row_of(id).gen_double(stream, n, out.data(), 0.0, 1.0);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetItemsProcessed(state.iterations() * n);
  __pavoDeleteStream(&stream);
}

template <typename Engine>
void std_ints(benchmark::State& state) {
  const size_t n = static_cast<size_t>(state.range(0));
  Engine engine(1);
  std::vector<uint32_t> out(n);
  for (auto _ : state) {
    for (auto& v : out) v = static_cast<uint32_t>(engine());
    benchmark::DoNotOptimize(out.data());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

template <typename Engine>
void std_doubles(benchmark::State& state) {
  const size_t n = static_cast<size_t>(state.range(0));
  Engine engine(1);
  std::uniform_real_distribution<double> uniform(0.0, 1.0);
  std::vector<double> out(n);
  for (auto _ : state) {
    for (auto& v : out) v = uniform(engine);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

void gsl_ints(benchmark::State& state, const gsl_rng_type* type) {
  const size_t n = static_cast<size_t>(state.range(0));
  gsl_rng* rng = gsl_rng_alloc(type);
  std::vector<uint32_t> out(n);
  for (auto _ : state) {
    for (auto& v : out) v = static_cast<uint32_t>(gsl_rng_get(rng));
    benchmark::DoNotOptimize(out.data());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
  gsl_rng_free(rng);
}

void gsl_doubles(benchmark::State& state, const gsl_rng_type* type) {
  const size_t n = static_cast<size_t>(state.range(0));
  gsl_rng* rng = gsl_rng_alloc(type);
  std::vector<double> out(n);
  for (auto _ : state) {
    for (auto& v : out) v = gsl_rng_uniform(rng);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
  gsl_rng_free(rng);
}

void register_all() {
  for (int64_t n : {int64_t{1000}, int64_t{1000000}}) {
    const std::string size = n == 1000 ? "x1000" : "x1e6";
    for (const auto& g : kGenerators) {
      const std::string ints = std::string(g.name) + " int " + size + " | ";
      const std::string reals = std::string(g.name) + " double " + size + " | ";
      benchmark::RegisterBenchmark((ints + "zorn").c_str(), zorn_ints, g.id)->Arg(n);
      benchmark::RegisterBenchmark((reals + "zorn").c_str(), zorn_doubles, g.id)->Arg(n);
      const std::string name = g.name;
      if (name == "MCG31M1" || name == "MCG59" || name == "WH") {
        benchmark::RegisterBenchmark((ints + "std::minstd_rand").c_str(), std_ints<std::minstd_rand>)->Arg(n);
        benchmark::RegisterBenchmark((reals + "std::minstd_rand").c_str(), std_doubles<std::minstd_rand>)->Arg(n);
      }
      if (name == "R250") {
        benchmark::RegisterBenchmark((ints + "gsl_rng_r250").c_str(), gsl_ints, gsl_rng_r250)->Arg(n);
        benchmark::RegisterBenchmark((reals + "gsl_rng_r250").c_str(), gsl_doubles, gsl_rng_r250)->Arg(n);
      }
      if (name == "MRG32K3A") {
        benchmark::RegisterBenchmark((ints + "gsl_rng_mrg").c_str(), gsl_ints, gsl_rng_mrg)->Arg(n);
        benchmark::RegisterBenchmark((reals + "gsl_rng_mrg").c_str(), gsl_doubles, gsl_rng_mrg)->Arg(n);
      }
      benchmark::RegisterBenchmark((ints + "std::mt19937").c_str(), std_ints<std::mt19937>)->Arg(n);
      benchmark::RegisterBenchmark((reals + "std::mt19937").c_str(), std_doubles<std::mt19937>)->Arg(n);
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  register_all();
  return bench::run_with_ratios(argc, argv);
}
