// One call of any entry point, whatever its shape: the operands by role, and the cast
// of the type-erased entry to the signature of its shape.
#pragma once

#include <complex>
#include <cstdint>
#include <type_traits>

#include "table_catalogue.h"

namespace zorn_test {

// Fixed scalars of the calls: the Powx exponent, the Bessel order and the LinearFrac
// coefficients, (2a - 1) / (b/2 + 3).
constexpr double kPowxExponent = 2.5;
constexpr std::complex<double> kPowxComplexExponent{2.5, 0.5};
constexpr double kBesselOrder = 3.0;
constexpr double kLinearFracParams[4] = {2.0, -1.0, 0.5, 3.0};

template <class E>
using RealPart = std::conditional_t<std::is_same_v<E, TessComplex8>, float,
                                    std::conditional_t<std::is_same_v<E, TessComplex16>, double, E>>;
template <class E>
constexpr bool kIsComplex = !std::is_same_v<E, RealPart<E>>;

// A shape reads the operands it names; increments are read by strided entries only.
template <class E>
struct EntryOperands {
  using R = RealPart<E>;
  const E* a = nullptr;
  int32_t inca = 1;
  const E* b = nullptr;
  int32_t incb = 1;
  E* r1 = nullptr;
  int32_t incr1 = 1;
  E* r2 = nullptr;
  int32_t incr2 = 1;
  const R* real_a = nullptr;       // the argument of CIS
  R* real_r = nullptr;             // the result of TO_REAL
  const int32_t* select = nullptr; // the mask or index vector of pack and unpack
  E scalar{};                      // the Powx exponent or the Bessel order
  E linear_frac[4] = {};           // scalea, shifta, scaleb, shiftb
};

template <class E>
void call_entry(Shape shape, bool strided, TessKernel fn, int32_t n, const EntryOperands<E>& o) {
  using R = RealPart<E>;
  const bool s = strided;
  switch (shape) {
    case Shape::ONE:
      if (s) reinterpret_cast<void (*)(int32_t, const E*, int32_t, E*, int32_t)>(fn)(n, o.a, o.inca, o.r1, o.incr1);
      else reinterpret_cast<void (*)(int32_t, const E*, E*)>(fn)(n, o.a, o.r1);
      break;
    case Shape::TO_REAL:
      if (s) reinterpret_cast<void (*)(int32_t, const E*, int32_t, R*, int32_t)>(fn)(n, o.a, o.inca, o.real_r, o.incr1);
      else reinterpret_cast<void (*)(int32_t, const E*, R*)>(fn)(n, o.a, o.real_r);
      break;
    case Shape::CIS:
      if (s) reinterpret_cast<void (*)(int32_t, const R*, int32_t, E*, int32_t)>(fn)(n, o.real_a, o.inca, o.r1, o.incr1);
      else reinterpret_cast<void (*)(int32_t, const R*, E*)>(fn)(n, o.real_a, o.r1);
      break;
    case Shape::TWO:
      if (s) reinterpret_cast<void (*)(int32_t, const E*, int32_t, const E*, int32_t, E*, int32_t)>(fn)(n, o.a, o.inca, o.b, o.incb, o.r1, o.incr1);
      else reinterpret_cast<void (*)(int32_t, const E*, const E*, E*)>(fn)(n, o.a, o.b, o.r1);
      break;
    case Shape::POWX:
    case Shape::ORDER:
      if (s) reinterpret_cast<void (*)(int32_t, const E*, int32_t, E, E*, int32_t)>(fn)(n, o.a, o.inca, o.scalar, o.r1, o.incr1);
      else reinterpret_cast<void (*)(int32_t, const E*, E, E*)>(fn)(n, o.a, o.scalar, o.r1);
      break;
    case Shape::ONE_TWO:
      if (s) reinterpret_cast<void (*)(int32_t, const E*, int32_t, E*, int32_t, E*, int32_t)>(fn)(n, o.a, o.inca, o.r1, o.incr1, o.r2, o.incr2);
      else reinterpret_cast<void (*)(int32_t, const E*, E*, E*)>(fn)(n, o.a, o.r1, o.r2);
      break;
    case Shape::LINEAR_FRAC: {
      const E* p = o.linear_frac;
      if (s) reinterpret_cast<void (*)(int32_t, const E*, int32_t, const E*, int32_t, E, E, E, E, E*, int32_t)>(fn)(n, o.a, o.inca, o.b, o.incb, p[0], p[1], p[2], p[3], o.r1, o.incr1);
      else reinterpret_cast<void (*)(int32_t, const E*, const E*, E, E, E, E, E*)>(fn)(n, o.a, o.b, p[0], p[1], p[2], p[3], o.r1);
      break;
    }
    case Shape::PACK_I:
      reinterpret_cast<void (*)(int32_t, const E*, int32_t, E*)>(fn)(n, o.a, o.inca, o.r1);
      break;
    case Shape::PACK_M:
    case Shape::PACK_V:
      reinterpret_cast<void (*)(int32_t, const E*, const int32_t*, E*)>(fn)(n, o.a, o.select, o.r1);
      break;
    case Shape::UNPACK_I:
      reinterpret_cast<void (*)(int32_t, const E*, E*, int32_t)>(fn)(n, o.a, o.r1, o.incr1);
      break;
    case Shape::UNPACK_M:
    case Shape::UNPACK_V:
      reinterpret_cast<void (*)(int32_t, const E*, E*, const int32_t*)>(fn)(n, o.a, o.r1, o.select);
      break;
  }
}

}  // namespace zorn_test
