// The complex functions measured against their peers: glibc's scalar complex
// functions in a loop (the <complex> functions call them; Abs, Arg and CIS call
// hypot, atan2 and sincos) and, for Mul, MulByConj and Div, the language's
// complex operators. The loops are built in their own unit at -O2, as a
// caller's would be (the operators fall back to the runtime's __muldc3 only on
// NaN results; division calls __divdc3). Shared by the benchmark program and
// min_of_calls, so that both time the same peers on the same arguments.
#pragma once

#include <complex>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace bench::complex_math {

template <class R>
using ComplexLoop = void (*)(const std::complex<R>* a, const std::complex<R>* b, std::complex<R>* r,
                             int64_t n);

// The `arguments` of a function of an array and one element, passed by value: b[0]
// (Powx's one exponent).
constexpr int kArrayAndElement = 3;

// One function: its name in our entry points (_tess<c|z><name>_HA), the box
// [-half_width, half_width]^2 of its first argument, shifted by `centre` along
// the reals, its number of complex arguments, or kArrayAndElement (Abs and Arg
// return reals, packed at the start of r; CIS reads the first n reals of a) and
// the peer's loops.
struct ComplexCase {
  const char* name;
  double centre, half_width;
  int arguments;
  ComplexLoop<float> c;
  ComplexLoop<double> z;
  const char* peer_name;

  // The second argument's box: Pow's and Powx's exponents lie in [-2, 2]^2 about 0.
  double second_half_width() const { return centre != 0 ? 2 : half_width; }
  template <class R>
  ComplexLoop<R> peer() const {
    if constexpr (sizeof(R) == sizeof(float))
      return c;
    else
      return z;
  }
};

// Our HA entry point of c for type 'c' (float parts) or 'z' (double parts).
inline std::string ours_symbol(char type, const ComplexCase& c) {
  return std::string("_tess") + type + c.name + "_HA";
}

// Our entry point fn on n elements of parts R, by its C signature for `arguments` (as in
// ComplexCase: one or two pointers in, or a pointer and an element).
template <class R, int kArguments>
void call_ours_as(void* fn, int32_t n, const void* a, const void* b, void* r) {
  using C = std::complex<R>;
  if constexpr (kArguments == kArrayAndElement) {
    reinterpret_cast<void (*)(int32_t, const C*, C, C*)>(fn)(n, static_cast<const C*>(a),
                                                             *static_cast<const C*>(b),
                                                             static_cast<C*>(r));
  } else if constexpr (kArguments == 2) {
    reinterpret_cast<void (*)(int32_t, const void*, const void*, void*)>(fn)(n, a, b, r);
  } else {
    reinterpret_cast<void (*)(int32_t, const void*, void*)>(fn)(n, a, r);
  }
}
using OursCaller = void (*)(void* fn, int32_t n, const void* a, const void* b, void* r);
template <class R>
OursCaller ours_caller(const ComplexCase& c) {
  if (c.arguments == kArrayAndElement) return call_ours_as<R, kArrayAndElement>;
  return c.arguments == 2 ? call_ours_as<R, 2> : call_ours_as<R, 1>;
}

extern const ComplexCase kComplexCases[];
extern const int kComplexCaseCount;

// n arguments uniform on centre + [-half_width, half_width]^2, a fixed sequence
// per seed (the first arguments take seed 1, the second seed 2).
template <class R>
std::vector<std::complex<R>> draw_complex(size_t n, double centre, double half_width,
                                          uint32_t seed) {
  std::mt19937_64 gen(seed);
  std::uniform_real_distribution<double> u(-half_width, half_width);
  std::vector<std::complex<R>> v(n);
  for (std::complex<R>& z : v) z = {static_cast<R>(centre + u(gen)), static_cast<R>(u(gen))};
  return v;
}

}  // namespace bench::complex_math
