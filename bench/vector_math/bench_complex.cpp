// The complex functions, c and z, ours next to glibc's scalar complex functions in a
// loop (the <complex> functions call them; Abs, Arg and CIS call hypot, atan2 and
// sincos) and, for Mul, MulByConj and Div, the language's complex operators compiled
// with -O2 (which fall back to the runtime's __muldc3 and __divdc3 only on NaN results
// and for division). Each peer is a loop of its own, its element operation inlined or
// called directly. Contiguous arrays of 16 and 1000 ordinary arguments (no special
// lanes, finite results); results go to a separate array (real results of Abs and Arg
// packed at its start).
#include <complex>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "common/ratio_reporter.h"
#include "zorn/tess.h"
#include "zorn/tess_functions.h"

namespace bench::complex_math {
namespace {

constexpr int64_t kSizes[] = {16, 1000};

template <class R>
using Cx = std::complex<R>;
template <class R>
using Entry = void (*)(int32_t, const Cx<R>*, const Cx<R>*, Cx<R>*);

// One function: its name, the argument box [-half_width, half_width]^2 shifted by
// `centre` for the first argument, our entry points and the peer's element function.
template <class R>
struct Case {
  const char* name;
  double centre, half_width;
  Entry<R> ours;
  void (*peer)(const Cx<R>* a, const Cx<R>* b, Cx<R>* r, int64_t n);
  const char* peer_name;
};

// Our one-argument entries under the two-argument signature of the table (b unused).
#define ZORN_ONE(t, R, Func)                                                          \
  [](int32_t n, const Cx<R>* a, const Cx<R>*, Cx<R>* r) {                            \
    _tess##t##Func(n, reinterpret_cast<const TessComplex##t##_type*>(a),             \
                   reinterpret_cast<TessComplex##t##_type*>(r));                     \
  }
#define ZORN_TWO(t, R, Func)                                                          \
  [](int32_t n, const Cx<R>* a, const Cx<R>* b, Cx<R>* r) {                          \
    _tess##t##Func(n, reinterpret_cast<const TessComplex##t##_type*>(a),             \
                   reinterpret_cast<const TessComplex##t##_type*>(b),                \
                   reinterpret_cast<TessComplex##t##_type*>(r));                     \
  }
#define ZORN_TO_REAL(t, R, Func)                                                      \
  [](int32_t n, const Cx<R>* a, const Cx<R>*, Cx<R>* r) {                            \
    _tess##t##Func(n, reinterpret_cast<const TessComplex##t##_type*>(a),             \
                   reinterpret_cast<R*>(r));                                         \
  }
#define ZORN_FROM_REAL(t, R, Func)                                                    \
  [](int32_t n, const Cx<R>* a, const Cx<R>*, Cx<R>* r) {                            \
    _tess##t##Func(n, reinterpret_cast<const R*>(a),                                 \
                   reinterpret_cast<TessComplex##t##_type*>(r));                     \
  }
// The peer's loop around `expr` in a, b (the elements i); `out` is where it goes.
#define ZORN_PEER(R, out, expr)                                                       \
  [](const Cx<R>* a_, const Cx<R>* b_, Cx<R>* r_, int64_t n) {                        \
    for (int64_t i = 0; i < n; ++i) {                                                 \
      [[maybe_unused]] const Cx<R> a = a_[i], b = b_[i];                              \
      out = expr;                                                                     \
    }                                                                                 \
  }
#define ZORN_PEER_CX(R, expr) ZORN_PEER(R, r_[i], expr)
#define ZORN_PEER_REAL(R, expr) ZORN_PEER(R, reinterpret_cast<R*>(r_)[i], expr)
using TessComplexc_type = TessComplex8;
using TessComplexz_type = TessComplex16;

#define ZORN_CASES(t, R)                                                                       \
  {"Exp", 0, 10, ZORN_ONE(t, R, Exp), ZORN_PEER_CX(R, std::exp(a)), "glibc_scalar"}, \
  {"Ln", 0, 10, ZORN_ONE(t, R, Ln), ZORN_PEER_CX(R, std::log(a)), "glibc_scalar"},   \
  {"Log10", 0, 10, ZORN_ONE(t, R, Log10), ZORN_PEER_CX(R, std::log10(a)), "glibc_scalar"}, \
  {"Sqrt", 0, 10, ZORN_ONE(t, R, Sqrt), ZORN_PEER_CX(R, std::sqrt(a)), "glibc_scalar"}, \
  {"Sin", 0, 10, ZORN_ONE(t, R, Sin), ZORN_PEER_CX(R, std::sin(a)), "glibc_scalar"},   \
  {"Cos", 0, 10, ZORN_ONE(t, R, Cos), ZORN_PEER_CX(R, std::cos(a)), "glibc_scalar"},   \
  {"Tan", 0, 10, ZORN_ONE(t, R, Tan), ZORN_PEER_CX(R, std::tan(a)), "glibc_scalar"},   \
  {"Sinh", 0, 10, ZORN_ONE(t, R, Sinh), ZORN_PEER_CX(R, std::sinh(a)), "glibc_scalar"}, \
  {"Cosh", 0, 10, ZORN_ONE(t, R, Cosh), ZORN_PEER_CX(R, std::cosh(a)), "glibc_scalar"}, \
  {"Tanh", 0, 10, ZORN_ONE(t, R, Tanh), ZORN_PEER_CX(R, std::tanh(a)), "glibc_scalar"}, \
  {"Asin", 0, 2, ZORN_ONE(t, R, Asin), ZORN_PEER_CX(R, std::asin(a)), "glibc_scalar"}, \
  {"Acos", 0, 2, ZORN_ONE(t, R, Acos), ZORN_PEER_CX(R, std::acos(a)), "glibc_scalar"}, \
  {"Atan", 0, 2, ZORN_ONE(t, R, Atan), ZORN_PEER_CX(R, std::atan(a)), "glibc_scalar"}, \
  {"Asinh", 0, 2, ZORN_ONE(t, R, Asinh), ZORN_PEER_CX(R, std::asinh(a)), "glibc_scalar"}, \
  {"Acosh", 0, 2, ZORN_ONE(t, R, Acosh), ZORN_PEER_CX(R, std::acosh(a)), "glibc_scalar"}, \
  {"Atanh", 0, 2, ZORN_ONE(t, R, Atanh), ZORN_PEER_CX(R, std::atanh(a)), "glibc_scalar"}, \
  {"Pow", 2.5, 2, ZORN_TWO(t, R, Pow), ZORN_PEER_CX(R, std::pow(a, b)), "glibc_scalar"}, \
  {"Abs", 0, 10, ZORN_TO_REAL(t, R, Abs), ZORN_PEER_REAL(R, std::abs(a)), "glibc_scalar"},       \
  {"Arg", 0, 10, ZORN_TO_REAL(t, R, Arg), ZORN_PEER_REAL(R, std::arg(a)), "glibc_scalar"},       \
  {"CIS", 0, 10, ZORN_FROM_REAL(t, R, CIS), ZORN_PEER_CX(R, std::polar(R(1), reinterpret_cast<const R*>(a_)[i])), "glibc_scalar"}, \
  {"Mul", 0, 1e3, ZORN_TWO(t, R, Mul), ZORN_PEER_CX(R, a * b), "c99_operator"},     \
  {"MulByConj", 0, 1e3, ZORN_TWO(t, R, MulByConj), ZORN_PEER_CX(R, a * std::conj(b)), "c99_operator"}, \
  {"Div", 0, 1e3, ZORN_TWO(t, R, Div), ZORN_PEER_CX(R, a / b), "c99_operator"}

template <class R>
const Case<R>* cases(size_t& count);
template <>
const Case<float>* cases<float>(size_t& count) {
  static const Case<float> kCases[] = {ZORN_CASES(c, float)};
  count = std::size(kCases);
  return kCases;
}
template <>
const Case<double>* cases<double>(size_t& count) {
  static const Case<double> kCases[] = {ZORN_CASES(z, double)};
  count = std::size(kCases);
  return kCases;
}

template <class R>
std::vector<Cx<R>> draw(size_t n, double centre, double half_width, uint32_t seed) {
  std::mt19937_64 gen(seed);
  std::uniform_real_distribution<double> u(-half_width, half_width);
  std::vector<Cx<R>> v(n);
  for (Cx<R>& z : v) z = {static_cast<R>(centre + u(gen)), static_cast<R>(u(gen))};
  return v;
}

template <class R, class Map>
void run(benchmark::State& state, const Case<R>& c, int64_t n, Map map) {
  // The second argument of a one-argument function is drawn but unused; Pow's exponents
  // lie around 0.
  const std::vector<Cx<R>> a = draw<R>(n, c.centre, c.half_width, 1);
  const std::vector<Cx<R>> b = draw<R>(n, 0, c.centre != 0 ? 2 : c.half_width, 2);
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
  size_t count = 0;
  const Case<R>* list = cases<R>(count);
  for (size_t k = 0; k < count; ++k) {
    const Case<R>& c = list[k];
    for (const int64_t n : kSizes) {
      const std::string name = std::string(1, t) + c.name + " n=" + std::to_string(n);
      benchmark::RegisterBenchmark((name + " | zorn").c_str(), [&c, n](benchmark::State& s) {
        run(s, c, n, [&c](const Cx<R>* a, const Cx<R>* b, Cx<R>* r, int64_t m) {
          c.ours(static_cast<int32_t>(m), a, b, r);
        });
      });
      benchmark::RegisterBenchmark(
          (name + " | " + c.peer_name).c_str(), [&c, n](benchmark::State& s) {
            run(s, c, n, [&c](const Cx<R>* a, const Cx<R>* b, Cx<R>* r, int64_t m) {
              c.peer(a, b, r, m);
            });
          });
    }
  }
}

}  // namespace
}  // namespace bench::complex_math

int main(int argc, char** argv) {
  using namespace bench::complex_math;
  _tessSetMode(TESS_ERRMODE_IGNORE | TESS_MODE_HA);
  std::printf("Complex functions: ours through the public entry points (mode 0x%X), results\n"
              "into a separate array; arguments in a box about 0 (Pow: x about 2.5).\n",
              _tessGetMode());
  register_all<float>('c');
  register_all<double>('z');
  return bench::run_with_ratios(argc, argv, "0.1");
}
