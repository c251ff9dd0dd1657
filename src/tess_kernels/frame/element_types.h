// Element types: the public C types of the interface and the types kernels compute with,
// and the reporter front end of each.
#pragma once

#include <algorithm>
#include <complex>
#include <cstddef>
#include <cstdint>

#include "tess_errors/reporters.h"
#include "zorn/tess_functions.h"

namespace zorn::tess {

template <class E> struct InternalOf { using type = E; };
template <> struct InternalOf<TessComplex8> { using type = std::complex<float>; };
template <> struct InternalOf<TessComplex16> { using type = std::complex<double>; };
template <class E> using Internal = typename InternalOf<E>::type;

static_assert(sizeof(TessComplex8) == sizeof(std::complex<float>));
static_assert(sizeof(TessComplex16) == sizeof(std::complex<double>));

template <class E>
Internal<E>* internal(E* p) {
  return reinterpret_cast<Internal<E>*>(p);
}
template <class E>
const Internal<E>* internal(const E* p) {
  return reinterpret_cast<const Internal<E>*>(p);
}

// A reported name fixed at compile time, so that a kernel carries its name as a
// template argument.
template <size_t N>
struct FixedName {
  char text[N];
  constexpr FixedName(const char (&s)[N]) { std::copy(s, s + N, text); }
};

// Reporter front ends by element type, contiguous and strided.
inline void report(int32_t st, int32_t i, const float* a, const float* b, float* r1, float* r2,
                   const char* name) {
  tess_report_s(st, i, a, b, r1, r2, name);
}
inline void report(int32_t st, int32_t i, const double* a, const double* b, double* r1,
                   double* r2, const char* name) {
  tess_report_d(st, i, a, b, r1, r2, name);
}
inline void report(int32_t st, int32_t i, const ComplexFloat* a, const ComplexFloat* b,
                   ComplexFloat* r1, ComplexFloat* r2, const char* name) {
  tess_report_c(st, i, a, b, r1, r2, name);
}
inline void report(int32_t st, int32_t i, const ComplexDouble* a, const ComplexDouble* b,
                   ComplexDouble* r1, ComplexDouble* r2, const char* name) {
  tess_report_z(st, i, a, b, r1, r2, name);
}
inline void report(int32_t st, int32_t i, const float* a, int32_t inca, const float* b,
                   int32_t incb, float* r1, int32_t incr1, float* r2, int32_t incr2,
                   const char* name) {
  tess_report_s_inc(st, i, a, inca, b, incb, r1, incr1, r2, incr2, name);
}
inline void report(int32_t st, int32_t i, const double* a, int32_t inca, const double* b,
                   int32_t incb, double* r1, int32_t incr1, double* r2, int32_t incr2,
                   const char* name) {
  tess_report_d_inc(st, i, a, inca, b, incb, r1, incr1, r2, incr2, name);
}
inline void report(int32_t st, int32_t i, const ComplexFloat* a, int32_t inca,
                   const ComplexFloat* b, int32_t incb, ComplexFloat* r1, int32_t incr1,
                   ComplexFloat* r2, int32_t incr2, const char* name) {
  tess_report_c_inc(st, i, a, inca, b, incb, r1, incr1, r2, incr2, name);
}
inline void report(int32_t st, int32_t i, const ComplexDouble* a, int32_t inca,
                   const ComplexDouble* b, int32_t incb, ComplexDouble* r1, int32_t incr1,
                   ComplexDouble* r2, int32_t incr2, const char* name) {
  tess_report_z_inc(st, i, a, inca, b, incb, r1, incr1, r2, incr2, name);
}

}  // namespace zorn::tess
