// Philox4x32-10 and ARS-5 against Random123's own loops (Debian librandom123-dev),
// 32-bit words into an array: philox4x32 one block per call, the way its C interface is
// used, and ars4x32 (this program is compiled for AES-NI, as Random123 needs; its ARS
// cases run only where the processor has it). ns per 32-bit word. The nondeterministic
// generator is shown for orientation only (its speed is the processor's RDRAND).
#include <type_traits>
#include <vector>

#include <Random123/ars.h>
#include <Random123/philox.h>

#include "common/ratio_reporter.h"
#include "zorn/pavo.h"

namespace {

const uint32_t kSeeds[8] = {0x243f6a88, 0x85a308d3, 0x13198a2e, 0x03707344, 0xa4093822, 0x299f31d0, 0, 0};

// Our generator through its registry row: 32-bit words, or doubles in [0, 1).
template <typename Output>
void zorn(benchmark::State& state, uint32_t id) {
  void* s = nullptr;
  __pavoNewStreamEx(&s, id, 8, kSeeds);
  PavoBrngProperties row;
  __pavoGetBrngProperties(id, &row);
  std::vector<Output> out(static_cast<size_t>(state.range(0)));
  for (auto _ : state) {
    if constexpr (std::is_same_v<Output, double>)
      row.gen_double(s, static_cast<int32_t>(out.size()), out.data(), 0.0, 1.0);
    else
      row.gen_int(s, static_cast<int32_t>(out.size()), out.data());
    benchmark::DoNotOptimize(out.data());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
  __pavoDeleteStream(&s);
}

// The peers' counter loop: one block per call, the counter's low word incremented.
template <typename Ctr, typename Block>
void block_loop(benchmark::State& state, Ctr ctr, Block&& block) {
  std::vector<uint32_t> out(static_cast<size_t>(state.range(0)));
  for (auto _ : state) {
    for (size_t i = 0; i + 4 <= out.size(); i += 4, ++ctr.v[0]) {
      const Ctr x = block(ctr);
      for (int w = 0; w < 4; ++w) out[i + w] = x.v[w];
    }
    benchmark::DoNotOptimize(out.data());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

void random123_philox(benchmark::State& state) {
  const philox4x32_key_t k = {{kSeeds[0], kSeeds[1]}};
  block_loop(state, philox4x32_ctr_t{{kSeeds[2], kSeeds[3], kSeeds[4], kSeeds[5]}},
             [&k](philox4x32_ctr_t c) { return philox4x32_R(10, c, k); });
}

void random123_ars(benchmark::State& state) {
  const ars4x32_key_t k = {{kSeeds[0], kSeeds[1], kSeeds[2], kSeeds[3]}};
  block_loop(state, ars4x32_ctr_t{{kSeeds[4], kSeeds[5], 0, 0}},
             [&k](ars4x32_ctr_t c) { return ars4x32_R(5, c, k); });
}

void register_all() {
  for (int64_t n : {1000, 1000000}) {
    const std::string size = n == 1000 ? " 1000" : " 10^6";
    benchmark::RegisterBenchmark(("Philox4x32x10 ints" + size + " | zorn").c_str(), zorn<uint32_t>, PAVO_BRNG_PHILOX4X32X10)
        ->Arg(n);
    benchmark::RegisterBenchmark(("Philox4x32x10 ints" + size + " | Random123 philox4x32").c_str(), random123_philox)
        ->Arg(n);
    benchmark::RegisterBenchmark(("Philox4x32x10 doubles" + size + " | zorn").c_str(), zorn<double>,
                                 PAVO_BRNG_PHILOX4X32X10)
        ->Arg(n);
    if (__pavoCPUisAES() == 1) {
      benchmark::RegisterBenchmark(("ARS5 doubles" + size + " | zorn").c_str(), zorn<double>, PAVO_BRNG_ARS5)->Arg(n);
      benchmark::RegisterBenchmark(("ARS5 ints" + size + " | zorn").c_str(), zorn<uint32_t>, PAVO_BRNG_ARS5)->Arg(n);
      benchmark::RegisterBenchmark(("ARS5 ints" + size + " | Random123 ars4x32").c_str(), random123_ars)->Arg(n);
    }
    if (__pavoCPUisRDRAND() == 1 && n == 1000)
      benchmark::RegisterBenchmark(("RDRAND ints" + size + " | zorn").c_str(), zorn<uint32_t>, PAVO_BRNG_NONDETERM)->Arg(n);
  }
}

}  // namespace

int main(int argc, char** argv) {
  register_all();
  return bench::run_with_ratios(argc, argv);
}
