// Powx on its fixed exponents and the general path, and Powr, s and d, ours next to the
// line a caller would write instead: the plain -O2 loop of x*x for b = 2 (plain_loops.cpp),
// our own Sqrt for b = 0.5, and libmvec's 128-bit pow with b in every lane for b = 3, the
// general exponent b = 1.37 and Powr. Contiguous arrays of 1000 (in cache) and 10^7 (out
// of cache: 40 and 80 MB) arguments, results into a separate array. Arguments 2^u, u
// uniform on [-3.3, 3.3]; Powr's second arguments uniform on [-30, 30].
#include <emmintrin.h>

#include <cmath>
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

extern "C" {
__m128 _ZGVbN4vv_powf(__m128, __m128);
__m128d _ZGVbN2vv_pow(__m128d, __m128d);
}

namespace bench::vector_math {
namespace {

template <class T>
using Loop = void (*)(const T* a, const T* b, T* r, int64_t n, T exponent);

template <class T>
void ours_powx(const T* a, const T*, T* r, int64_t n, T b) {
  if constexpr (sizeof(T) == 4) {
    _tesssPowx(static_cast<int32_t>(n), a, b, r);
  } else {
    _tessdPowx(static_cast<int32_t>(n), a, b, r);
  }
}
template <class T>
void ours_powr(const T* a, const T* b, T* r, int64_t n, T) {
  if constexpr (sizeof(T) == 4) {
    _tesssPowr(static_cast<int32_t>(n), a, b, r);
  } else {
    _tessdPowr(static_cast<int32_t>(n), a, b, r);
  }
}
template <class T>
void ours_sqrt(const T* a, const T*, T* r, int64_t n, T) {
  if constexpr (sizeof(T) == 4) {
    _tesssSqrt(static_cast<int32_t>(n), a, r);
  } else {
    _tessdSqrt(static_cast<int32_t>(n), a, r);
  }
}
template <class T>
void plain_square(const T* a, const T* b, T* r, int64_t n, T) {
  const PlainLoop& sqr = kPlainLoops[1];
  if constexpr (sizeof(T) == 4) {
    sqr.s(a, b, r, n);
  } else {
    sqr.d(a, b, r, n);
  }
}
// libmvec's pow on whole vectors (unaligned loads and stores, like a caller's arrays); the
// second argument the array b, or `exponent` in every lane when b is null. The tail is
// padded with ordinary values and only stored in part.
template <class T>
void libmvec_pow(const T* a, const T* b, T* r, int64_t n, T exponent) {
  constexpr int64_t w = 16 / sizeof(T);
  const auto apply = [&](const T* x, const T* y, T* out) {
    if constexpr (sizeof(T) == 4) {
      const __m128 yv = y == nullptr ? _mm_set1_ps(exponent) : _mm_loadu_ps(y);
      _mm_storeu_ps(out, _ZGVbN4vv_powf(_mm_loadu_ps(x), yv));
    } else {
      const __m128d yv = y == nullptr ? _mm_set1_pd(exponent) : _mm_loadu_pd(y);
      _mm_storeu_pd(out, _ZGVbN2vv_pow(_mm_loadu_pd(x), yv));
    }
  };
  int64_t i = 0;
  for (; i + w <= n; i += w) apply(a + i, b == nullptr ? nullptr : b + i, r + i);
  if (i == n) return;
  T x[w], y[w], out[w];
  for (int64_t l = 0; l < w; ++l) {
    x[l] = i + l < n ? a[i + l] : T(1);
    y[l] = b != nullptr && i + l < n ? b[i + l] : exponent;
  }
  apply(x, y, out);
  for (int64_t l = 0; i + l < n; ++l) r[i + l] = out[l];
}
template <class T>
void libmvec_powx(const T* a, const T*, T* r, int64_t n, T b) {
  libmvec_pow<T>(a, nullptr, r, n, b);
}

template <class T>
struct Case {
  const char* name;
  double exponent;  // Powx's b; unused by Powr
  Loop<T> ours, peer;
  const char* peer_name;
};
template <class T>
std::vector<Case<T>> cases() {
  return {{"Powx b=2", 2, ours_powx<T>, plain_square<T>, "plain_loop_O2"},
          {"Powx b=0.5", 0.5, ours_powx<T>, ours_sqrt<T>, "zorn_Sqrt"},
          {"Powx b=3", 3, ours_powx<T>, libmvec_powx<T>, "libmvec_128"},
          {"Powx b=1.37", 1.37, ours_powx<T>, libmvec_powx<T>, "libmvec_128"},
          {"Powr", 0, ours_powr<T>, libmvec_pow<T>, "libmvec_128"}};
}

constexpr int64_t kSizes[] = {1000, 10000000};

template <class T>
struct Arrays {
  std::vector<T> a, b, r;
};
template <class T>
Arrays<T>& arrays_for(int64_t n) {
  static Arrays<T> cache[2];
  Arrays<T>& arrays = cache[n == 1000 ? 0 : 1];
  if (arrays.a.empty()) {
    std::mt19937_64 engine(20261208);
    std::uniform_real_distribution<double> u(-3.3, 3.3), y(-30, 30);
    arrays.a.resize(n);
    arrays.b.resize(n);
    arrays.r.assign(n, T(0));  // touched now, so no page faults in the timed loop
    for (int64_t i = 0; i < n; ++i) {
      arrays.a[i] = static_cast<T>(std::exp2(u(engine)));
      arrays.b[i] = static_cast<T>(y(engine));
    }
  }
  return arrays;
}

template <class T>
void register_cases() {
  for (const Case<T>& c : cases<T>()) {
    for (const int64_t n : kSizes) {
      const std::string name =
          std::string(sizeof(T) == 4 ? "s" : "d") + c.name + " n=" + std::to_string(n);
      for (const auto& [impl, loop] : {std::pair{"zorn", c.ours}, std::pair{c.peer_name, c.peer}}) {
        const T exponent = static_cast<T>(c.exponent);
        register_array_benchmark(
            name + " | " + impl, n, [=]() -> Arrays<T>& { return arrays_for<T>(n); },
            [=](const T* a, const T* b, T* r) { loop(a, b, r, n, exponent); });
      }
    }
  }
}

}  // namespace
}  // namespace bench::vector_math

int main(int argc, char** argv) {
  using namespace bench::vector_math;
  if (std::strcmp(kPlainLoops[1].name, "Sqr") != 0) {
    std::fprintf(stderr, "bench_powx: plain loop Sqr out of place\n");
    return 1;
  }
  std::printf("Powx and Powr: ours through the public entry points (mode 0x%X) against the\n"
              "loop a caller would write instead.\n",
              _tessGetMode());
  register_cases<float>();
  register_cases<double>();
  const int result = bench::run_with_ratios(argc, argv, "0.05");
  if (_tessGetErrStatus() != 0)
    std::printf("warning: ours reported status %d: some arguments took special lanes\n",
                _tessGetErrStatus());
  return result;
}
