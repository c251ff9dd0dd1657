// The complex functions, c and z, ours next to their peers (complex_cases.h):
// glibc's scalar complex functions and the language's complex operators, each a
// loop of its own. Contiguous arrays of 16 and 1000 ordinary arguments (no
// special lanes, finite results); results go to a separate array (real results
// of Abs and Arg packed at its start).
#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "common/ratio_reporter.h"
#include "vector_math/complex_cases.h"
#include "zorn/tess.h"

namespace bench::complex_math {
namespace {

constexpr int64_t kSizes[] = {16, 1000};

template <class R>
using Cx = std::complex<R>;

template <class R, class Map>
void run(benchmark::State& state, const ComplexCase& c, int64_t n, Map map) {
  // The second argument of a one-argument function is drawn but unused.
  const std::vector<Cx<R>> a = draw_complex<R>(n, c.centre, c.half_width, 1);
  const std::vector<Cx<R>> b = draw_complex<R>(n, 0, c.second_half_width(), 2);
  std::vector<Cx<R>> r(n);
  for (auto _ : state) {
    map(a.data(), b.data(), r.data(), n);
    benchmark::DoNotOptimize(r.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * n);
}

template <class R>
void register_all(char t) {
  for (int k = 0; k < kComplexCaseCount; ++k) {
    const ComplexCase& c = kComplexCases[k];
    const std::string symbol = ours_symbol(t, c);
    void* fn = dlsym(RTLD_DEFAULT, symbol.c_str());
    if (fn == nullptr) std::fprintf(stderr, "%s: %s\n", symbol.c_str(), dlerror()), std::exit(1);
    const ComplexLoop<R> peer = c.peer<R>();
    for (const int64_t n : kSizes) {
      const std::string name = std::string(1, t) + c.name + " n=" + std::to_string(n);
      benchmark::RegisterBenchmark((name + " | zorn").c_str(), [&c, fn, n](benchmark::State& s) {
        run<R>(s, c, n, [call = ours_caller<R>(c), fn](const Cx<R>* a, const Cx<R>* b, Cx<R>* r,
                                                       int64_t m) {
          call(fn, static_cast<int32_t>(m), a, b, r);
        });
      });
      benchmark::RegisterBenchmark((name + " | " + c.peer_name).c_str(),
                                   [&c, peer, n](benchmark::State& s) { run<R>(s, c, n, peer); });
    }
  }
}

}  // namespace
}  // namespace bench::complex_math

int main(int argc, char** argv) {
  using namespace bench::complex_math;
  _tessSetMode(TESS_ERRMODE_IGNORE | TESS_MODE_HA);
  std::printf(
      "Complex functions: ours through the HA entry points, results "
      "into a separate\n"
      "array; arguments in a box about 0 (Pow: x about 2.5).\n");
  register_all<float>('c');
  register_all<double>('z');
  return bench::run_with_ratios(argc, argv, "0.1");
}
