#include "harness/kernel_runner.h"

#include <cstdint>
#include <type_traits>

namespace zorn_accuracy {
namespace {

template <class E> struct Element;
template <> struct Element<float> {
  using Real = float;
  static float make(std::complex<double> v) { return static_cast<float>(v.real()); }
  static LongComplex widen(float x) { return {x, 0.0L}; }
};
template <> struct Element<double> {
  using Real = double;
  static double make(std::complex<double> v) { return v.real(); }
  static LongComplex widen(double x) { return {x, 0.0L}; }
};
template <> struct Element<TessComplex8> {
  using Real = float;
  static TessComplex8 make(std::complex<double> v) {
    return {static_cast<float>(v.real()), static_cast<float>(v.imag())};
  }
  static LongComplex widen(TessComplex8 x) { return {x.re, x.im}; }
};
template <> struct Element<TessComplex16> {
  using Real = double;
  static TessComplex16 make(std::complex<double> v) { return {v.real(), v.imag()}; }
  static LongComplex widen(TessComplex16 x) { return {x.re, x.im}; }
};

template <class E>
void run_typed(Shape shape, TessKernel fn, const std::vector<Argument>& args, Results& out) {
  using R = typename Element<E>::Real;
  const int32_t n = static_cast<int32_t>(args.size());
  std::vector<E> a(n), b(n), r1(n), r2(n);
  std::vector<R> ar(n), rr(n);
  for (int32_t i = 0; i < n; ++i) {
    a[i] = Element<E>::make(args[i].a);
    b[i] = Element<E>::make(args[i].b);
    ar[i] = static_cast<R>(args[i].a.real());
  }
  const E scalar = n > 0 ? b[0] : E{};
  const double* p = kLinearFracParams;
  switch (shape) {
    case Shape::kOne:
      reinterpret_cast<void (*)(int32_t, const E*, E*)>(fn)(n, a.data(), r1.data());
      break;
    case Shape::kTwo:
      reinterpret_cast<void (*)(int32_t, const E*, const E*, E*)>(fn)(n, a.data(), b.data(),
                                                                      r1.data());
      break;
    case Shape::kPowx:
      // The double complex kernel takes its exponent by pointer (its entry point makes
      // the private copy); every other type by value.
      if constexpr (std::is_same_v<E, TessComplex16>) {
        reinterpret_cast<void (*)(int32_t, const E*, const E*, E*)>(fn)(n, a.data(), &scalar,
                                                                        r1.data());
      } else {
        reinterpret_cast<void (*)(int32_t, const E*, E, E*)>(fn)(n, a.data(), scalar, r1.data());
      }
      break;
    case Shape::kOrder:
      reinterpret_cast<void (*)(int32_t, const E*, E, E*)>(fn)(n, a.data(), scalar, r1.data());
      break;
    case Shape::kOneTwo:
      reinterpret_cast<void (*)(int32_t, const E*, E*, E*)>(fn)(n, a.data(), r1.data(),
                                                                r2.data());
      break;
    case Shape::kLinearFrac:
      if constexpr (std::is_floating_point_v<E>) {
        reinterpret_cast<void (*)(int32_t, const E*, const E*, E, E, E, E, E*)>(fn)(
            n, a.data(), b.data(), E(p[0]), E(p[1]), E(p[2]), E(p[3]), r1.data());
      }
      break;
    case Shape::kToReal:
      reinterpret_cast<void (*)(int32_t, const E*, R*)>(fn)(n, a.data(), rr.data());
      break;
    case Shape::kCis:
      reinterpret_cast<void (*)(int32_t, const R*, E*)>(fn)(n, ar.data(), r1.data());
      break;
  }
  out.r1.resize(n);
  out.r2.resize(shape == Shape::kOneTwo ? n : 0);
  for (int32_t i = 0; i < n; ++i) {
    out.r1[i] = shape == Shape::kToReal ? LongComplex(rr[i], 0) : Element<E>::widen(r1[i]);
    if (shape == Shape::kOneTwo) out.r2[i] = Element<E>::widen(r2[i]);
  }
}

}  // namespace

void run_kernel(const KernelTable& table, TessKernel kernel, const std::vector<Argument>& args,
                Results& out) {
  switch (table.type) {
    case 's': return run_typed<float>(table.shape, kernel, args, out);
    case 'd': return run_typed<double>(table.shape, kernel, args, out);
    case 'c': return run_typed<TessComplex8>(table.shape, kernel, args, out);
    default: return run_typed<TessComplex16>(table.shape, kernel, args, out);
  }
}

}  // namespace zorn_accuracy
