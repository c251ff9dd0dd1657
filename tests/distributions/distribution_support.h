// Helpers of the distribution tests: a registered generator that hands out scripted
// uniforms (and can fail on request), and the vector-math kernels at the slot each
// precision's generators use, called straight through the exported tables.
#pragma once

#include <gtest/gtest.h>
#include <immintrin.h>

#include <cstdint>
#include <cstring>
#include <deque>
#include <type_traits>
#include <vector>

#include "common/stream_handle.h"
#include "zorn/pavo.h"
#include "zorn/tess_functions.h"

// ---- scripted uniforms ----
// Every stream of the scripted generator hands out the values of one queue, each in
// [0, 1) mapped to a + (b - a) v. An empty queue makes the draw fail with kScriptEmpty.
constexpr int32_t kScriptEmpty = -77;
inline std::deque<double>& script() {
  static std::deque<double> values;
  return values;
}
// The thread's tess mode, x87 control word and MXCSR at the latest scripted draw.
struct DrawEnvironment {
  uint32_t mode;
  uint16_t x87;
  uint32_t mxcsr;
};
inline DrawEnvironment& seen_at_draw() {
  static DrawEnvironment seen;
  return seen;
}
template <class T>
int32_t scripted_draw(void*, int32_t n, T* r, T a, T b) {
  seen_at_draw().mode = _tessGetMode();
  asm volatile("fnstcw %0" : "=m"(seen_at_draw().x87));
  seen_at_draw().mxcsr = _mm_getcsr();
  for (int32_t i = 0; i < n; ++i) {
    if (script().empty()) return kScriptEmpty;
    r[i] = static_cast<T>(a + (b - a) * static_cast<T>(script().front()));
    script().pop_front();
  }
  return 0;
}
inline int32_t scripted_init(uint32_t, void*, int32_t, const void*) { return 0; }
inline int32_t scripted_int(void*, int32_t, uint32_t*) { return kScriptEmpty; }
inline uint32_t scripted_brng() {
  static const uint32_t id = [] {
    const PavoBrngProperties row{32, 1, 1, 4, 32, scripted_init, scripted_draw<float>,
                                 scripted_draw<double>, scripted_int};
    return static_cast<uint32_t>(__pavoRegisterBrng(&row));
  }();
  return id;
}
// A stream of the scripted generator that will hand out exactly `values`.
inline void* scripted_stream(Stream& s, std::vector<double> values) {
  script().assign(values.begin(), values.end());
  EXPECT_EQ(__pavoNewStreamEx(&s.p, scripted_brng(), 0, nullptr), 0);
  return s.p;
}

// ---- the kernels at the generators' slot (EP for double, LA for single) ----
// Func(v, scalars...) runs the kernel in place over v; SinCos(a, sine, cosine).
#define ZORN_TEST_SLOT(Func)                                                                \
  inline TessKernel slot_##Func(double) { return zorn_tess_kernel_d##Func##_ttab.slot[2]; } \
  inline TessKernel slot_##Func(float) { return zorn_tess_kernel_s##Func##_ttab.slot[0]; }
#define ZORN_TEST_KERNEL(Func)                                                 \
  ZORN_TEST_SLOT(Func)                                                         \
  template <class T, class... B>                                               \
  void Func(std::vector<T>& v, B... b) {                                       \
    reinterpret_cast<void (*)(int32_t, const T*, B..., T*)>(slot_##Func(T()))( \
        static_cast<int32_t>(v.size()), v.data(), b..., v.data());            \
  }
ZORN_TEST_KERNEL(Ln)
ZORN_TEST_KERNEL(Exp)
ZORN_TEST_KERNEL(Sqrt)
ZORN_TEST_KERNEL(Tan)
ZORN_TEST_KERNEL(Sin)
ZORN_TEST_KERNEL(Cos)
ZORN_TEST_KERNEL(ErfInv)
ZORN_TEST_KERNEL(Powx)
ZORN_TEST_SLOT(SinCos)
#undef ZORN_TEST_KERNEL
#undef ZORN_TEST_SLOT
template <class T>
void SinCos(const std::vector<T>& a, std::vector<T>& s, std::vector<T>& c) {
  s.resize(a.size());
  c.resize(a.size());
  reinterpret_cast<void (*)(int32_t, const T*, T*, T*)>(slot_SinCos(T()))(
      static_cast<int32_t>(a.size()), a.data(), s.data(), c.data());
}
// v with f applied to each element.
template <class T, class F>
std::vector<T> map(std::vector<T> v, F f) {
  for (T& x : v) x = f(x);
  return v;
}

// ---- uniforms and bit comparison ----
template <class T>
std::vector<T> uniforms(void* stream, int32_t n, T a = 0, T b = 1) {
  std::vector<T> u(n);
  int32_t status;
  if constexpr (std::is_same_v<T, double>) {
    status = _pavodRngUniform(0, stream, n, u.data(), a, b);
  } else {
    status = _pavosRngUniform(0, stream, n, u.data(), a, b);
  }
  EXPECT_EQ(status, 0);
  return u;
}
template <class T>
bool same_bits(const std::vector<T>& x, const std::vector<T>& y) {
  return x.size() == y.size() && std::memcmp(x.data(), y.data(), x.size() * sizeof(T)) == 0;
}

// Name(method, stream, n, r, parameters...) for both precisions: the s or d generator
// by the type of r, the parameters converted to that type.
#define ZORN_BOTH_PRECISIONS(Name)                                                          \
  template <class... P>                                                                     \
  int32_t Name(int32_t method, void* s, int32_t n, double* r, P... p) {                      \
    return _pavodRng##Name(method, s, n, r, static_cast<double>(p)...);                     \
  }                                                                                         \
  template <class... P>                                                                     \
  int32_t Name(int32_t method, void* s, int32_t n, float* r, P... p) {                       \
    return _pavosRng##Name(method, s, n, r, static_cast<float>(p)...);                      \
  }
ZORN_BOTH_PRECISIONS(Uniform)
ZORN_BOTH_PRECISIONS(Exponential)
ZORN_BOTH_PRECISIONS(Laplace)
ZORN_BOTH_PRECISIONS(Weibull)
ZORN_BOTH_PRECISIONS(Cauchy)
ZORN_BOTH_PRECISIONS(Rayleigh)
ZORN_BOTH_PRECISIONS(Gumbel)
ZORN_BOTH_PRECISIONS(Gaussian)
ZORN_BOTH_PRECISIONS(Lognormal)
inline int32_t GaussianMV(int32_t method, void* s, int32_t n, double* r, int32_t d,
                          int32_t storage, const double* a, const double* t) {
  return _pavodRngGaussianMV(method, s, n, r, d, storage, a, t);
}
inline int32_t GaussianMV(int32_t method, void* s, int32_t n, float* r, int32_t d,
                          int32_t storage, const float* a, const float* t) {
  return _pavosRngGaussianMV(method, s, n, r, d, storage, a, t);
}
ZORN_BOTH_PRECISIONS(Gamma)
ZORN_BOTH_PRECISIONS(Beta)
ZORN_BOTH_PRECISIONS(ChiSquare)
