// The Mersenne twisters against std::mt19937, GSL's MT19937 and the authors' reference
// code compiled here (one word per call, the twist loop with its mag01 table): 32-bit
// integers and doubles in blocks of 1000 and 10^6, and the long skip-ahead.
#include <gsl/gsl_rng.h>

#include <random>
#include <vector>

#include "common/ratio_reporter.h"
#include "twister_gf2/plain_twisters.h"
#include "zorn/pavo.h"

namespace {

const uint32_t kSeed[4] = {0x123, 0x234, 0x345, 0x456};

struct ZornStream {
  void* p = nullptr;
  PavoBrngProperties row{};
  explicit ZornStream(uint32_t id) {
    __pavoNewStreamEx(&p, id, 4, kSeed);
    __pavoGetBrngProperties(id, &row);
  }
  ~ZornStream() { __pavoDeleteStream(&p); }
};

void zorn_ints(benchmark::State& state, uint32_t id) {
  ZornStream s(id);
  std::vector<uint32_t> out(static_cast<size_t>(state.range(0)));
  for (auto _ : state) {
    s.row.gen_int(s.p, static_cast<int32_t>(out.size()), out.data());
    benchmark::DoNotOptimize(out.data());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

void zorn_doubles(benchmark::State& state, uint32_t id) {
  ZornStream s(id);
  std::vector<double> out(static_cast<size_t>(state.range(0)));
  for (auto _ : state) {
    s.row.gen_double(s.p, static_cast<int32_t>(out.size()), out.data(), 0.0, 1.0);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

template <typename Next>
void loop_ints(benchmark::State& state, Next&& next) {
  std::vector<uint32_t> out(static_cast<size_t>(state.range(0)));
  for (auto _ : state) {
    for (auto& w : out) w = next();
    benchmark::DoNotOptimize(out.data());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

template <typename Next>
void loop_doubles(benchmark::State& state, Next&& next) {
  std::vector<double> out(static_cast<size_t>(state.range(0)));
  for (auto _ : state) {
    for (auto& d : out) d = next();
    benchmark::DoNotOptimize(out.data());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

void std_ints(benchmark::State& state) {
  std::mt19937 g(5489u);
  loop_ints(state, [&g] { return static_cast<uint32_t>(g()); });
}
void std_doubles(benchmark::State& state) {
  std::mt19937 g(5489u);
  loop_doubles(state, [&g] { return static_cast<uint32_t>(g()) * 0x1p-32; });
}
void gsl_ints(benchmark::State& state) {
  gsl_rng* g = gsl_rng_alloc(gsl_rng_mt19937);
  loop_ints(state, [g] { return static_cast<uint32_t>(gsl_rng_get(g)); });
  gsl_rng_free(g);
}
void gsl_doubles(benchmark::State& state) {
  gsl_rng* g = gsl_rng_alloc(gsl_rng_mt19937);
  loop_doubles(state, [g] { return gsl_rng_uniform(g); });
  gsl_rng_free(g);
}
void reference_ints(benchmark::State& state) {
  plain::Mt19937 g({0x123, 0x234, 0x345, 0x456});
  loop_ints(state, [&g] { return g.next(); });
}
void reference_doubles(benchmark::State& state) {
  plain::Mt19937 g({0x123, 0x234, 0x345, 0x456});
  loop_doubles(state, [&g] { return g.next() * 0x1p-32; });
}

void zorn_skip(benchmark::State& state, uint32_t id) {
  ZornStream s(id);
  for (auto _ : state) __pavoSkipAheadStream(s.p, 0xFFFFFFFFFFFFFFFFull);
  state.SetItemsProcessed(state.iterations());
}

void register_all() {
  for (int64_t n : {1000, 1000000}) {
    const std::string size = n == 1000 ? " 1000" : " 10^6";
    benchmark::RegisterBenchmark(("MT19937 ints" + size + " | zorn").c_str(), zorn_ints, PAVO_BRNG_MT19937)->Arg(n);
    benchmark::RegisterBenchmark(("MT19937 ints" + size + " | reference C").c_str(), reference_ints)->Arg(n);
    benchmark::RegisterBenchmark(("MT19937 ints" + size + " | std::mt19937").c_str(), std_ints)->Arg(n);
    benchmark::RegisterBenchmark(("MT19937 ints" + size + " | gsl").c_str(), gsl_ints)->Arg(n);
    benchmark::RegisterBenchmark(("MT19937 doubles" + size + " | zorn").c_str(), zorn_doubles, PAVO_BRNG_MT19937)->Arg(n);
    benchmark::RegisterBenchmark(("MT19937 doubles" + size + " | reference C").c_str(), reference_doubles)->Arg(n);
    benchmark::RegisterBenchmark(("MT19937 doubles" + size + " | std::mt19937").c_str(), std_doubles)->Arg(n);
    benchmark::RegisterBenchmark(("MT19937 doubles" + size + " | gsl").c_str(), gsl_doubles)->Arg(n);
    // SFMT19937 is "zorn" here, so the ratio is that of our MT19937 to it.
    benchmark::RegisterBenchmark(("SFMT19937 ints" + size + " | zorn").c_str(), zorn_ints, PAVO_BRNG_SFMT19937)->Arg(n);
    benchmark::RegisterBenchmark(("SFMT19937 ints" + size + " | zorn MT19937").c_str(), zorn_ints, PAVO_BRNG_MT19937)->Arg(n);
    benchmark::RegisterBenchmark(("SFMT19937 doubles" + size + " | zorn").c_str(), zorn_doubles, PAVO_BRNG_SFMT19937)->Arg(n);
    benchmark::RegisterBenchmark(("SFMT19937 doubles" + size + " | zorn MT19937").c_str(), zorn_doubles, PAVO_BRNG_MT19937)->Arg(n);
    benchmark::RegisterBenchmark(("MT2203 ints" + size + " | zorn").c_str(), zorn_ints, PAVO_BRNG_MT2203)->Arg(n);
  }
  benchmark::RegisterBenchmark("skip-ahead 2^64-1 | zorn", zorn_skip, PAVO_BRNG_MT19937)->Unit(benchmark::kMicrosecond);
  benchmark::RegisterBenchmark("skip-ahead 2^64-1 SFMT19937 | zorn", zorn_skip, PAVO_BRNG_SFMT19937)
      ->Unit(benchmark::kMicrosecond);
}

}  // namespace

int main(int argc, char** argv) {
  register_all();
  return bench::run_with_ratios(argc, argv);
}
