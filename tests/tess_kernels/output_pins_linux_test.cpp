// Output pins of the exponential and logarithm kernels: a hash of the result bits and
// of the reported (index, status) pairs over a fixed set of arguments, per kernel. The
// accuracy harness measures these kernels against MPFR; the pins catch any change of a
// result bit or status, which the published fast paths and callouts fix exactly (the
// exponential keeps its line-by-line transcription in exp_single_test.cpp, which says
// where a failure comes from). Run with ZORN_PRINT_PINS=1 to print the table after an
// intended change. Linux only: the single precision Expm1 and Log1p callouts round a
// result of the C library's double function.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <vector>

#include "fp_environment.h"
#include "zorn/tess_functions.h"

namespace zorn_test {
namespace {

struct Fnv {
  uint64_t h = 0xCBF29CE484222325ull;
  void add(const void* p, size_t n) {
    for (size_t i = 0; i < n; ++i) h = (h ^ static_cast<const unsigned char*>(p)[i]) * 0x100000001B3ull;
  }
};

thread_local Fnv* g_hash = nullptr;
int32_t hash_report(TessErrorContext* c) {
  g_hash->add(&c->index, sizeof c->index);
  g_hash->add(&c->status, sizeof c->status);
  return 1;
}

// Arguments: uniform over [lo, hi] (half), and random bit patterns of any sign,
// exponent and payload (half), so that every special lane and the callouts take part.
template <class T>
std::vector<T> arguments(double lo, double hi, uint64_t seed) {
  std::mt19937_64 g(seed);
  std::vector<T> x(1 << 16);
  for (size_t i = 0; i < x.size(); ++i) {
    const uint64_t u = g();
    if (i % 2 == 0) {
      x[i] = static_cast<T>(lo + (hi - lo) * static_cast<double>(u >> 11) * 0x1p-53);
    } else if constexpr (sizeof(T) == 4) {
      const uint32_t b = static_cast<uint32_t>(u);
      std::memcpy(&x[i], &b, 4);
    } else {
      std::memcpy(&x[i], &u, 8);
    }
  }
  return x;
}

template <class T>
uint64_t pin(void (*kernel)(int32_t, const T*, T*), double lo, double hi) {
  const std::vector<T> x = arguments<T>(lo, hi, sizeof(T) * 1000 + static_cast<uint64_t>(hi));
  std::vector<T> r(x.size());
  Fnv hash;
  g_hash = &hash;
  kernel(static_cast<int32_t>(x.size()), x.data(), r.data());
  g_hash = nullptr;
  hash.add(r.data(), r.size() * sizeof(T));
  return hash.h;
}

struct Pin {
  const char* name;
  void (*single)(int32_t, const float*, float*);
  void (*double_)(int32_t, const double*, double*);
  double lo, hi;  // the interval of the uniform half of the arguments
  uint64_t single_pin, double_pin;
};

const Pin kPins[] = {
    {"Exp", _tesssExp, _tessdExp, -104, 89, 0x2f89f46bb0bf00a4, 0x04cabd6a08569eef},
    {"Exp2", _tesssExp2, _tessdExp2, -150, 128, 0x51b252b116356b5c, 0x0c72cc4da7d70e85},
    {"Exp10", _tesssExp10, _tessdExp10, -45.2, 38.6, 0x66aaef0efeb696b8, 0x9f2569aed06fbf1b},
    {"Expm1", _tesssExpm1, _tessdExpm1, -20, 89, 0xee0358b47aa14cfe, 0xa29ff2c2915aa480},
    {"Ln", _tesssLn, _tessdLn, 0, 4, 0x4578667d34e4649e, 0x8d5fa1c98c6b098c},
    {"Log2", _tesssLog2, _tessdLog2, 0, 4, 0x920e5c4109092a40, 0xc02fab522588b683},
    {"Log10", _tesssLog10, _tessdLog10, 0, 4, 0x9de7078da4965e2e, 0x386a2a669e5fcce5},
    {"Log1p", _tesssLog1p, _tessdLog1p, -1, 3, 0x50a9a23c4d0f8901, 0xd630a6eb61a53afa},
    {"Logb", _tesssLogb, _tessdLogb, -1e6, 1e6, 0x8e9e1bc1d4f68120, 0x955084a97b06da11},
};

TEST(OutputPins, ExponentialAndLogarithmKernelsKeepTheirResultsAndStatuses) {
  TessStateGuard guard;
  _tessSetErrorCallBack(hash_report);
  _tessSetMode(TESS_ERRMODE_CALLBACK | TESS_MODE_HA);
  const bool print = std::getenv("ZORN_PRINT_PINS") != nullptr;
  for (const Pin& p : kPins) {
    const uint64_t s = pin(p.single, p.lo, p.hi), d = pin(p.double_, p.lo, p.hi);
    if (print) {
      std::printf("    {\"%s\", _tesss%s, _tessd%s, %g, %g, 0x%016llx, 0x%016llx},\n", p.name,
                  p.name, p.name, p.lo, p.hi, static_cast<unsigned long long>(s),
                  static_cast<unsigned long long>(d));
    }
    EXPECT_EQ(s, p.single_pin) << "s" << p.name;
    EXPECT_EQ(d, p.double_pin) << "d" << p.name;
  }
}

}  // namespace
}  // namespace zorn_test
