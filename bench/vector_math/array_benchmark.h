// One benchmark of an element-wise call over arrays: `arrays()` prepares the operand and
// result arrays on the benchmark's first run (sizes not selected allocate nothing), and
// each iteration runs `call(a, b, r)` over n elements.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

namespace bench::vector_math {

template <class PrepareArrays, class Call>
void register_array_benchmark(const std::string& label, int64_t n, PrepareArrays arrays,
                              Call call) {
  benchmark::RegisterBenchmark(label.c_str(), [=](benchmark::State& state) {
    auto& x = arrays();
    for (auto _ : state) {
      call(x.a.data(), x.b.data(), x.r.data());
      benchmark::DoNotOptimize(x.r.data());
      benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * n);
  });
}

}  // namespace bench::vector_math
