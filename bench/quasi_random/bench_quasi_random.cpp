// Sobol and Niederreiter points in double precision, ns per coordinate: ours (blocks of
// 1000 points through gen_double) against GSL's gsl_qrng_get (one point per call), in
// the dimensions both offer. Streams restart before 2^28 points, far inside the range of
// either implementation.
#include <gsl/gsl_qrng.h>

#include <string>
#include <vector>

#include "common/ratio_reporter.h"
#include "zorn/pavo.h"

namespace {

constexpr int kPoints = 1000;
constexpr uint64_t kRestartPoints = uint64_t{1} << 28;

void zorn_points(benchmark::State& state, uint32_t id, uint32_t d) {
  void* stream = nullptr;
  PavoBrngProperties row{};
  __pavoGetBrngProperties(id, &row);
  __pavoNewStreamEx(&stream, id, 1, &d);
  std::vector<double> out(static_cast<size_t>(kPoints) * d);
  uint64_t points = 0;
  for (auto _ : state) {
    if ((points += kPoints) > kRestartPoints) {
      row.init_stream(PAVO_INIT_SEED, stream, 1, &d);
      points = kPoints;
    }
    if (row.gen_double(stream, static_cast<int32_t>(out.size()), out.data(), 0.0, 1.0) != 0)
      state.SkipWithError("gen_double failed");
    benchmark::DoNotOptimize(out.data());
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(out.size()));
  __pavoDeleteStream(&stream);
}

void gsl_points(benchmark::State& state, const gsl_qrng_type* type, uint32_t d) {
  gsl_qrng* q = gsl_qrng_alloc(type, d);
  std::vector<double> out(static_cast<size_t>(kPoints) * d);
  uint64_t points = 0;
  for (auto _ : state) {
    if ((points += kPoints) > kRestartPoints) {
      gsl_qrng_init(q);
      points = kPoints;
    }
    for (int i = 0; i < kPoints; ++i) gsl_qrng_get(q, &out[static_cast<size_t>(i) * d]);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(out.size()));
  gsl_qrng_free(q);
}

void register_case(const char* name, uint32_t id, const gsl_qrng_type* peer, uint32_t d) {
  const std::string c = std::string(name) + " d=" + std::to_string(d) + " double";
  benchmark::RegisterBenchmark((c + " | zorn").c_str(), zorn_points, id, d);
  benchmark::RegisterBenchmark((c + " | gsl_qrng_get").c_str(), gsl_points, peer, d);
}

}  // namespace

int main(int argc, char** argv) {
  for (uint32_t d : {1u, 2u, 10u, 40u}) register_case("sobol", PAVO_BRNG_SOBOL, gsl_qrng_sobol, d);
  for (uint32_t d : {2u, 12u}) register_case("niederreiter", PAVO_BRNG_NIEDERR, gsl_qrng_niederreiter_2, d);
  return bench::run_with_ratios(argc, argv, "0.2");
}
