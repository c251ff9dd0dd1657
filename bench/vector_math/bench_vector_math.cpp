// The exponential and logarithm family, s and d, ours next to glibc's scalar functions,
// libmvec's 128-bit variants, SLEEF's SSE2 variants (1.0 ulp: the reference; 3.5 ulp)
// and, as a ceiling line, the peers' AVX2 variants. Contiguous arrays of 16 (the fixed
// cost of a call), 19 (the same with a partial group of three), 1000 (in cache) and 10^7
// (out of cache) ordinary arguments; results go to a separate array.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "common/ratio_reporter.h"
#include "vector_math/agreement_check.h"
#include "vector_math/functions.h"
#include "vector_math/implementations.h"
#include "zorn/tess.h"

namespace bench::vector_math {
namespace {

constexpr int64_t kSizes[] = {16, 19, 1000, 10000000};

// The arguments and results of the case being measured: cases run in registration
// order, so each array pair is drawn once per case and shared by its implementations.
template <class T>
struct CaseArrays {
  Function f{};
  int64_t n = -1;
  std::vector<T> a, r;
};

template <class T>
CaseArrays<T>& arrays_for(Function f, int64_t n) {
  static CaseArrays<T> arrays;
  if (arrays.f != f || arrays.n != n) {
    arrays.a.assign(n, T(0));
    arrays.r.assign(n, T(0));  // touched now, so no page faults in the timed loop
    draw_arguments(f, arrays.a.data(), n);
    arrays.f = f;
    arrays.n = n;
  }
  return arrays;
}

template <class T>
void run_case(benchmark::State& state, Function f, int64_t n, ArrayMap<T> map) {
  CaseArrays<T>& arrays = arrays_for<T>(f, n);
  const T* a = arrays.a.data();
  T* r = arrays.r.data();
  map(a, r, n);
  for (auto _ : state) {
    map(a, r, n);
    benchmark::DoNotOptimize(r);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * n);
}

std::string display_name(const Implementation& impl) {
  std::string name = impl.name;
  if (impl.role == Role::kCeiling) name += kCeilingMark;
  if (impl.role == Role::kReference) name += kReferenceMark;
  if (impl.role == Role::kSlot) name += kSlotMark;
  return name;
}

template <class T>
void register_cases(const FunctionInfo& info, const std::vector<Implementation>& impls) {
  for (const int64_t n : kSizes) {
    const std::string case_name =
        std::string(sizeof(T) == 4 ? "s" : "d") + info.name + " n=" + std::to_string(n);
    for (const Implementation& impl : impls) {
      ArrayMap<T> map;
      if constexpr (sizeof(T) == 4)
        map = impl.s;
      else
        map = impl.d;
      if (map == nullptr) continue;
      const Function f = info.id;
      benchmark::RegisterBenchmark(
          (case_name + " | " + display_name(impl)).c_str(),
          [f, n, map](benchmark::State& state) { run_case(state, f, n, map); });
    }
  }
}

void print_setup() {
  std::printf("Vector math: ours through the public entry points (mode 0x%X), results into a\n"
              "separate array. Marks:%s an AVX2 line, not in the ratios;%s the 1-ulp reference.\n",
              _tessGetMode(), kCeilingMark, kReferenceMark);
  for (const FunctionInfo& info : kFunctions)
    std::printf("  %-6s arguments %s\n", info.name, info.range);
}

}  // namespace
}  // namespace bench::vector_math

int main(int argc, char** argv) {
  using namespace bench::vector_math;
  // --worst_errors=<count>: the accuracy of every implementation on the benchmark's
  // arguments instead of timings.
  constexpr char kWorstErrors[] = "--worst_errors=";
  for (int i = 1; i < argc; ++i) {
    if (std::strncmp(argv[i], kWorstErrors, sizeof kWorstErrors - 1) == 0) {
      print_worst_errors(std::atoll(argv[i] + sizeof kWorstErrors - 1));
      return 0;
    }
  }
  _tessClearErrStatus();
  if (!peers_agree()) {
    std::fprintf(stderr, "bench_vector_math: a peer disagrees with the reference; "
                         "check its declaration before reading any timing\n");
    return 1;
  }
  if (_tessGetErrStatus() != 0) {
    std::fprintf(stderr, "bench_vector_math: the arguments reached our special lanes (status %d)\n",
                 _tessGetErrStatus());
    return 1;
  }
  print_setup();
  for (const FunctionInfo& info : kFunctions) {
    const std::vector<Implementation> impls = implementations_of(info.id);
    register_cases<float>(info, impls);
    register_cases<double>(info, impls);
  }
  // About 380 runs: 0.1 s of CPU time each keeps the program near a minute and a half.
  const int result = bench::run_with_ratios(argc, argv, "0.1");
  if (_tessGetErrStatus() != 0)
    std::printf("warning: ours reported status %d: some arguments took special lanes\n",
                _tessGetErrStatus());
  return result;
}
