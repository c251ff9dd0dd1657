// Minimum-of-calls timing of one vector function in several builds of the library and
// in libmvec's 128-bit variant, for deltas on a loaded machine: the minimum of many short
// calls is the call that no neighbour interrupted, so it moves by about 1% where the
// medians of the benchmark program move by 25%. Each library path is loaded into its own
// namespace (dlmopen), so that two builds with the same soname run side by side, and the
// libraries take turns in every round.
//
//   min_of_calls dCos build_old/bin/libzorn_generic.so build/bin/libzorn_generic.so
//     [--n 1000] [--calls 2000] [--rounds 3] [--range 10000] [--powers LO HI] [--shift S]
//     [--batch B]
//
// --batch times B calls back to back per clock reading (the time printed is per call):
// for small n, where one reading of the clock costs as much as the call.
//
// Arguments are the benchmark's draw for the function (bench_vector_math's, by name), or
// under --range uniform on [-range, range], or under --powers 2^u with u uniform on
// [LO, HI]; --shift adds S to the explicit draws. A function of two arguments (Atan2,
// Pow, Hypot, ...) takes its second ones from the benchmark's second draw in every case.
//
// The function is s or d followed by a name whose lower case is libmvec's (dSin, sCos,
// dTan, ...; Ln is libmvec's log, and functions libmvec lacks run without its line); the
// HA entry point of each library is timed. The gamma functions (LGamma, TGamma, and
// LGammaNeg, TGammaNeg on the benchmark's negative draws) run against glibc's scalar
// lgamma, tgamma (lgammaf, tgammaf) in a loop; the inverses of erf against GSL's quantile.
// SinCos writes its cosines to a second array (libmvec's through vectors of the lanes'
// result addresses). A complex function, c or z
// followed by its name (zExp, cDiv, ...), runs on bench_vector_math_complex's arguments
// against its peer loop there (glibc's scalar function or the language's operator) in
// place of libmvec; --range, --powers and --shift do not apply to it.
#include <dlfcn.h>
#include <emmintrin.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "vector_math/complex_cases.h"
#include "vector_math/functions.h"

namespace {

template <class T>
using Kernel = void (*)(int32_t, const T*, T*);

struct Line {
  std::string name;
  // b: the second arguments of a function of two, unused by the others.
  using Run = void (*)(void* fn, int32_t n, const void* a, const void* b, void* r);
  Run run;
  void* fn;
};

template <class T>
void run_ours(void* fn, int32_t n, const void* a, const void*, void* r) {
  reinterpret_cast<Kernel<T>>(fn)(n, static_cast<const T*>(a), static_cast<T*>(r));
}

template <class T>
void run_ours_two(void* fn, int32_t n, const void* a, const void*, void* r) {
  reinterpret_cast<void (*)(int32_t, const T*, T*, T*)>(fn)(
      n, static_cast<const T*>(a), static_cast<T*>(r), static_cast<T*>(r) + n);
}

void run_ours_binary(void* fn, int32_t n, const void* a, const void* b, void* r) {
  reinterpret_cast<void (*)(int32_t, const void*, const void*, void*)>(fn)(n, a, b, r);
}

template <class R>
void run_complex_peer(void* fn, int32_t n, const void* a, const void* b, void* r) {
  using C = std::complex<R>;
  reinterpret_cast<bench::complex_math::ComplexLoop<R>>(fn)(
      static_cast<const C*>(a), static_cast<const C*>(b), static_cast<C*>(r), n);
}

// The first arguments of a complex function at a (n elements, seed 1) and the second at b
// (seed 2), as the complex benchmark draws them.
template <class R>
void draw_complex_arguments(const bench::complex_math::ComplexCase& c, int32_t n, R* a, R* b) {
  const auto first = bench::complex_math::draw_complex<R>(n, c.centre, c.half_width, 1);
  const auto second = bench::complex_math::draw_complex<R>(n, 0, c.second_half_width(), 2);
  std::memcpy(a, first.data(), first.size() * sizeof(first[0]));
  std::memcpy(b, second.data(), second.size() * sizeof(second[0]));
}

// libmvec's vector function ABI: one xmm register in, one out.
void run_mvec_d(void* fn, int32_t n, const void* a, const void*, void* r) {
  const auto f = reinterpret_cast<__m128d (*)(__m128d)>(fn);
  const auto* x = static_cast<const double*>(a);
  auto* y = static_cast<double*>(r);
  for (int32_t i = 0; i + 2 <= n; i += 2) _mm_storeu_pd(y + i, f(_mm_loadu_pd(x + i)));
}
void run_mvec_s(void* fn, int32_t n, const void* a, const void*, void* r) {
  const auto f = reinterpret_cast<__m128 (*)(__m128)>(fn);
  const auto* x = static_cast<const float*>(a);
  auto* y = static_cast<float*>(r);
  for (int32_t i = 0; i + 4 <= n; i += 4) _mm_storeu_ps(y + i, f(_mm_loadu_ps(x + i)));
}

// A function of two arguments (atan2, pow, hypot): two xmm registers in.
void run_mvec2_d(void* fn, int32_t n, const void* a, const void* b, void* r) {
  const auto f = reinterpret_cast<__m128d (*)(__m128d, __m128d)>(fn);
  const auto* x = static_cast<const double*>(a);
  const auto* w = static_cast<const double*>(b);
  auto* y = static_cast<double*>(r);
  for (int32_t i = 0; i + 2 <= n; i += 2) {
    _mm_storeu_pd(y + i, f(_mm_loadu_pd(x + i), _mm_loadu_pd(w + i)));
  }
}
void run_mvec2_s(void* fn, int32_t n, const void* a, const void* b, void* r) {
  const auto f = reinterpret_cast<__m128 (*)(__m128, __m128)>(fn);
  const auto* x = static_cast<const float*>(a);
  const auto* w = static_cast<const float*>(b);
  auto* y = static_cast<float*>(r);
  for (int32_t i = 0; i + 4 <= n; i += 4) {
    _mm_storeu_ps(y + i, f(_mm_loadu_ps(x + i), _mm_loadu_ps(w + i)));
  }
}

// sincos: the lanes' two result addresses as vectors of pointers.
template <class T>
__m128i addresses(T* p) {
  return _mm_set_epi64x(reinterpret_cast<int64_t>(p + 1), reinterpret_cast<int64_t>(p));
}
void run_mvec_sincos_d(void* fn, int32_t n, const void* a, const void*, void* r) {
  const auto f = reinterpret_cast<void (*)(__m128d, __m128i, __m128i)>(fn);
  const auto* x = static_cast<const double*>(a);
  auto* s = static_cast<double*>(r);
  for (int32_t i = 0; i + 2 <= n; i += 2) f(_mm_loadu_pd(x + i), addresses(s + i), addresses(s + n + i));
}
void run_mvec_sincos_s(void* fn, int32_t n, const void* a, const void*, void* r) {
  const auto f = reinterpret_cast<void (*)(__m128, __m128i, __m128i, __m128i, __m128i)>(fn);
  const auto* x = static_cast<const float*>(a);
  auto* s = static_cast<float*>(r);
  for (int32_t i = 0; i + 4 <= n; i += 4) {
    f(_mm_loadu_ps(x + i), addresses(s + i), addresses(s + i + 2), addresses(s + n + i),
      addresses(s + n + i + 2));
  }
}

// GSL's scalar normal quantile, loaded by symbol like the other peers, in the forms of
// the three inverses that bench_vector_math's peer loops use.
double (*gsl_quantile)(double) = nullptr;
double quantile_peer(double p) { return gsl_quantile(p); }
double erfinv_peer(double x) {
  return std::copysign(-gsl_quantile(0.5 * (1 - std::fabs(x))) * M_SQRT1_2, x);
}
double erfcinv_peer(double q) { return -gsl_quantile(0.5 * q) * M_SQRT1_2; }

template <class T, double (*F)(double)>
void run_scalar_peer(void*, int32_t n, const void* a, const void*, void* r) {
  const auto* x = static_cast<const T*>(a);
  auto* y = static_cast<T*>(r);
  for (int32_t i = 0; i < n; ++i) y[i] = static_cast<T>(F(x[i]));
}

// The GSL peer line of an inverse of erf (none for other functions).
template <class T>
Line::Run quantile_peer_run(const std::string& function) {
  if (function == "CdfNormInv") return run_scalar_peer<T, quantile_peer>;
  if (function == "ErfInv") return run_scalar_peer<T, erfinv_peer>;
  if (function == "ErfcInv") return run_scalar_peer<T, erfcinv_peer>;
  return nullptr;
}

// glibc's scalar function in a loop: the peer of the gamma functions, which libmvec lacks.
template <class T>
void run_libm_scalar(void* fn, int32_t n, const void* a, const void*, void* r) {
  const auto f = reinterpret_cast<T (*)(T)>(fn);
  const auto* x = static_cast<const T*>(a);
  auto* y = static_cast<T*>(r);
  for (int32_t i = 0; i < n; ++i) y[i] = f(x[i]);
}

// A benchmark function on the negative axis (LGammaNeg, TGammaNeg) times the entry point
// of the function without the suffix, on that function's draw.
std::string entry_name(const std::string& function) {
  const size_t size = function.size();
  const bool negative = size > 3 && function.compare(size - 3, 3, "Neg") == 0;
  return negative ? function.substr(0, size - 3) : function;
}

// The function `name` of the library at `path`; null (with a message) when either is
// missing, which ends the run for our builds and drops the peer's line for libmvec.
void* symbol(const char* path, const std::string& name) {
  void* lib = dlmopen(LM_ID_NEWLM, path, RTLD_NOW | RTLD_LOCAL);
  void* fn = lib ? dlsym(lib, name.c_str()) : nullptr;
  if (fn == nullptr) std::fprintf(stderr, "%s in %s: %s\n", name.c_str(), path, dlerror());
  return fn;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3 || std::strchr("sdcz", argv[1][0]) == nullptr) {
    std::fprintf(stderr, "usage: %s <s|d|c|z><Function> <libzorn_generic.so>... [--n N] "
                 "[--calls C] [--rounds R] [--range X] [--powers LO HI] [--shift S] [--batch B]\n", argv[0]);
    return 2;
  }
  const char type = argv[1][0];
  const bool is_double = type == 'd' || type == 'z';
  const std::string function = argv[1] + 1;
  int32_t n = 1000;
  int calls = 2000, rounds = 3, batch = 1;
  double range = 0;
  bool powers = false;
  double power_low = 0, power_high = 0, shift = 0;
  std::vector<const char*> paths;
  for (int i = 2; i < argc; ++i) {
    const auto option = [&](const char* flag) { return !std::strcmp(argv[i], flag) && i + 1 < argc; };
    if (option("--n")) n = std::atoi(argv[++i]);
    else if (option("--calls")) calls = std::atoi(argv[++i]);
    else if (option("--batch")) batch = std::max(1, std::atoi(argv[++i]));
    else if (option("--rounds")) rounds = std::atoi(argv[++i]);
    else if (option("--range")) range = std::atof(argv[++i]);
    else if (option("--shift")) shift = std::atof(argv[++i]);
    else if (!std::strcmp(argv[i], "--powers") && i + 2 < argc) {
      powers = true;
      power_low = std::atof(argv[++i]);
      power_high = std::atof(argv[++i]);
    }
    else paths.push_back(argv[i]);
  }

  // Room for n complex arguments and results, or for SinCos's two result arrays.
  std::vector<double> ad(2 * n), bd(2 * n), rd(2 * n);
  std::vector<float> as(2 * n), bs(2 * n), rs(2 * n);
  std::vector<Line> lines;
  std::string peer = "libmvec";
  if (type == 'c' || type == 'z') {
    namespace cm = bench::complex_math;
    const auto* end = cm::kComplexCases + cm::kComplexCaseCount;
    const auto* c = std::find_if(cm::kComplexCases, end,
                                 [&](const cm::ComplexCase& k) { return function == k.name; });
    if (c == end) {
      std::fprintf(stderr, "%s is not a complex benchmark function\n", function.c_str());
      return 2;
    }
    for (const char* path : paths) {
      void* fn = symbol(path, cm::ours_symbol(type, *c));
      if (fn == nullptr) return 1;
      lines.push_back(
          {path, is_double ? cm::ours_caller<double>(*c) : cm::ours_caller<float>(*c), fn});
    }
    peer = c->peer_name;
    lines.push_back({peer, is_double ? run_complex_peer<double> : run_complex_peer<float>,
                     is_double ? reinterpret_cast<void*>(c->z) : reinterpret_cast<void*>(c->c)});
    draw_complex_arguments(*c, n, ad.data(), bd.data());
    draw_complex_arguments(*c, n, as.data(), bs.data());
  } else {
    namespace vm = bench::vector_math;
    const auto* row = std::find_if(std::begin(vm::kFunctions), std::end(vm::kFunctions),
                                   [&](const vm::FunctionInfo& f) { return function == f.name; });
    const bool known = row != std::end(vm::kFunctions);
    // Two results (SinCos) or two arguments (the benchmark's second draw at b).
    const bool two = function == "SinCos";
    const bool binary = known && row->reference2 != nullptr;
    if (binary) {
      const double* second_d = vm::second_arguments<double>(row->id, n);
      const float* second_s = vm::second_arguments<float>(row->id, n);
      std::copy(second_d, second_d + n, bd.begin());
      std::copy(second_s, second_s + n, bs.begin());
    }
    const std::string entry = entry_name(function);
    const std::string ours = std::string("_tess") + type + entry + "_HA";
    for (const char* path : paths) {
      const auto run = two      ? (is_double ? run_ours_two<double> : run_ours_two<float>)
                       : binary ? run_ours_binary
                                : (is_double ? run_ours<double> : run_ours<float>);
      void* fn = symbol(path, ours);
      if (fn == nullptr) return 1;
      lines.push_back({path, run, fn});
    }
    std::string lower = entry;
    for (char& c : lower) c = static_cast<char>(std::tolower(c));
    if (lower == "ln") lower = "log";
    const std::string lanes = std::string(is_double ? "2" : "4") + (two      ? "vvv_"
                                                                   : binary ? "vv_"
                                                                            : "v_");
    const std::string mvec = "_ZGVbN" + lanes + lower + (is_double ? "" : "f");
    const auto mvec_run = two      ? (is_double ? run_mvec_sincos_d : run_mvec_sincos_s)
                          : binary ? (is_double ? run_mvec2_d : run_mvec2_s)
                                   : (is_double ? run_mvec_d : run_mvec_s);
    const Line::Run gsl_run = is_double ? quantile_peer_run<double>(function)
                                        : quantile_peer_run<float>(function);
    if (gsl_run != nullptr) {
      peer = "gsl";
      gsl_quantile = reinterpret_cast<double (*)(double)>(
          symbol("libgsl.so", "gsl_cdf_ugaussian_Pinv"));
      if (gsl_quantile != nullptr) lines.push_back({"gsl_scalar", gsl_run, nullptr});
    } else if (entry == "LGamma" || entry == "TGamma") {
      peer = "glibc";
      if (void* fn = symbol("libm.so.6", lower + (is_double ? "" : "f"))) {
        lines.push_back({"glibc_scalar", is_double ? run_libm_scalar<double>
                                                   : run_libm_scalar<float>, fn});
      }
    } else if (void* fn = symbol("libmvec.so.1", mvec)) {
      lines.push_back({"libmvec_128", mvec_run, fn});
    }

    if (powers || range > 0) {
      std::mt19937_64 engine(20261209);
      std::uniform_real_distribution<double> draw(powers ? power_low : -range,
                                                  powers ? power_high : range);
      for (int32_t i = 0; i < n; ++i) {
        const double u = draw(engine);
        as[i] = static_cast<float>(ad[i] = (powers ? std::exp2(u) : u) + shift);
      }
    } else {
      if (!known) {
        std::fprintf(stderr, "%s is not a benchmark function: give --range or --powers\n",
                     function.c_str());
        return 2;
      }
      vm::draw_arguments(row->id, ad.data(), n);
      vm::draw_arguments(row->id, as.data(), n);
    }
  }
  const size_t ours_count = paths.size();
  const void* a = is_double ? static_cast<const void*>(ad.data()) : as.data();
  const void* b = is_double ? static_cast<const void*>(bd.data()) : bs.data();
  void* r = is_double ? static_cast<void*>(rd.data()) : rs.data();

  std::vector<double> best(lines.size(), 1e300);
  for (int round = 0; round < rounds; ++round) {
    for (size_t l = 0; l < lines.size(); ++l) {
      for (int c = 0; c < calls; ++c) {
        const auto start = std::chrono::steady_clock::now();
        for (int k = 0; k < batch; ++k) lines[l].run(lines[l].fn, n, a, b, r);
        const auto stop = std::chrono::steady_clock::now();
        best[l] = std::min(best[l],
                           std::chrono::duration<double, std::nano>(stop - start).count() / batch);
      }
    }
  }
  for (size_t l = 0; l < lines.size(); ++l) {
    std::printf("%c%s n=%d %-40s %9.1f ns  / first %.3f", type, function.c_str(), n,
                lines[l].name.c_str(), best[l], best[l] / best[0]);
    if (lines.size() > ours_count) {
      std::printf("  / %s %.3f", peer.c_str(), best[l] / best.back());
    }
    std::printf("\n");
  }
  return 0;
}
