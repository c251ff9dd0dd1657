// The element-wise basics, s and d, ours next to the plain -O2 loop over the C library's
// operation (plain_loops.cpp). Contiguous arrays of 16 (the fixed cost of a call), 1000
// (in cache) and 10^7 (out of cache) arguments, results into a separate array.
// Arguments: uniform on [-1000, 1000] with a fraction in both precisions; second
// arguments uniform on [-1000, 1000] away from zero, and for Fmod and Remainder
// uniform on [0.5, 100] (quotients below 2^12).
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "common/ratio_reporter.h"
#include "vector_math/array_benchmark.h"
#include "vector_math/plain_loops.h"
#include "zorn/tess.h"
#include "zorn/tess_functions.h"

namespace bench::vector_math {
namespace {

template <class T, void (*Kernel)(int32_t, const T*, T*)>
void ours1(const T* a, const T*, T* r, int64_t n) {
  Kernel(static_cast<int32_t>(n), a, r);
}
template <class T, void (*Kernel)(int32_t, const T*, const T*, T*)>
void ours2(const T* a, const T* b, T* r, int64_t n) {
  Kernel(static_cast<int32_t>(n), a, b, r);
}

struct Basic {
  const char* name;
  ElementLoop<float> s;
  ElementLoop<double> d;
  bool divisor;  // second arguments in [0.5, 100]
};
#define ONE(F) {#F, ours1<float, _tesss##F>, ours1<double, _tessd##F>, false}
#define TWO(F, divisor) {#F, ours2<float, _tesss##F>, ours2<double, _tessd##F>, divisor}
const Basic kBasics[] = {
    ONE(Abs),        ONE(Sqr),          ONE(Inv),        ONE(Floor),       ONE(Ceil),
    ONE(Trunc),      ONE(Round),        ONE(Rint),       ONE(NearbyInt),   ONE(Frac),
    TWO(Add, false), TWO(Sub, false),   TWO(Mul, false), TWO(Div, false),  TWO(Fmax, false),
    TWO(Fmin, false), TWO(MaxMag, false), TWO(CopySign, false), TWO(Fdim, false),
    TWO(NextAfter, false), TWO(Fmod, true), TWO(Remainder, true),
};
#undef ONE
#undef TWO

constexpr int64_t kSizes[] = {16, 1000, 10000000};

template <class T>
struct Arrays {
  std::vector<T> a, b, r;
};
template <class T>
Arrays<T>& arrays_for(int64_t n, bool divisor) {
  static Arrays<T> cache[2][3];
  Arrays<T>& arrays = cache[divisor][n == 16 ? 0 : n == 1000 ? 1 : 2];
  if (arrays.a.empty()) {
    std::mt19937_64 engine(20261207);
    std::uniform_real_distribution<double> wide(-1000, 1000), positive(0.5, 100);
    arrays.a.resize(n);
    arrays.b.resize(n);
    arrays.r.assign(n, T(0));  // touched now, so no page faults in the timed loop
    for (int64_t i = 0; i < n; ++i) {
      arrays.a[i] = static_cast<T>(wide(engine));
      const double w = wide(engine);
      arrays.b[i] = static_cast<T>(divisor ? positive(engine) : (w == 0 ? 1 : w));
    }
  }
  return arrays;
}

template <class T>
void register_cases(const Basic& basic, ElementLoop<T> plain) {
  ElementLoop<T> ours;
  if constexpr (sizeof(T) == 4) {
    ours = basic.s;
  } else {
    ours = basic.d;
  }
  for (const int64_t n : kSizes) {
    const std::string name =
        std::string(sizeof(T) == 4 ? "s" : "d") + basic.name + " n=" + std::to_string(n);
    for (const auto& [impl, map] : {std::pair{"zorn", ours}, std::pair{"plain_loop_O2", plain}}) {
      const bool divisor = basic.divisor;
      register_array_benchmark(
          name + " | " + impl, n, [=]() -> Arrays<T>& { return arrays_for<T>(n, divisor); },
          [=](const T* a, const T* b, T* r) { map(a, b, r, n); });
    }
  }
}

}  // namespace
}  // namespace bench::vector_math

int main(int argc, char** argv) {
  using namespace bench::vector_math;
  static_assert(sizeof kBasics / sizeof kBasics[0] == 22);
  if (kPlainLoopCount != 22) return 1;
  for (int i = 0; i < kPlainLoopCount; ++i) {
    if (std::strcmp(kBasics[i].name, kPlainLoops[i].name) != 0) {
      std::fprintf(stderr, "bench_basics: plain loop %s out of order\n", kPlainLoops[i].name);
      return 1;
    }
  }
  std::printf("Element-wise basics: ours through the public entry points (mode 0x%X) against\n"
              "the plain loop over the C library's operation compiled at -O2.\n",
              _tessGetMode());
  for (int i = 0; i < kPlainLoopCount; ++i) {
    register_cases<float>(kBasics[i], kPlainLoops[i].s);
    register_cases<double>(kBasics[i], kPlainLoops[i].d);
  }
  return bench::run_with_ratios(argc, argv, "0.05");
}
