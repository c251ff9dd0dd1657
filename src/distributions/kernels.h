// The vector-math kernels the distributions call, reached through the exported
// function tables: double precision generators take the enhanced performance slot,
// single precision ones the low accuracy slot.
//
// Kernels<T> calls a kernel as it is, in the caller's environment (Cauchy's Tan);
// KernelEnvironment<T> is the environment guard with the same calls, each made under
// the kernel mode word. Every call works in place except SinCos.
#pragma once

#include <cstdint>

#include "distributions/environment_guard.h"
#include "zorn/tess_functions.h"

namespace zorn::distributions {

template <class T>
struct KernelTables;

#define ZORN_DISTRIBUTION_KERNEL_TABLES(T, t, slot_index)                                \
  template <>                                                                           \
  struct KernelTables<T> {                                                              \
    static constexpr int kSlot = slot_index;                                            \
    static const TessFunctionTable& ln() { return zorn_tess_kernel_##t##Ln_ttab; }      \
    static const TessFunctionTable& exp() { return zorn_tess_kernel_##t##Exp_ttab; }    \
    static const TessFunctionTable& sqrt() { return zorn_tess_kernel_##t##Sqrt_ttab; }  \
    static const TessFunctionTable& tan() { return zorn_tess_kernel_##t##Tan_ttab; }    \
    static const TessFunctionTable& sin() { return zorn_tess_kernel_##t##Sin_ttab; }    \
    static const TessFunctionTable& cos() { return zorn_tess_kernel_##t##Cos_ttab; }    \
    static const TessFunctionTable& erfinv() { return zorn_tess_kernel_##t##ErfInv_ttab; } \
    static const TessFunctionTable& sincos() { return zorn_tess_kernel_##t##SinCos_ttab; } \
    static const TessFunctionTable& powx() { return zorn_tess_kernel_##t##Powx_ttab; }  \
  };
ZORN_DISTRIBUTION_KERNEL_TABLES(double, d, 2)  // EP
ZORN_DISTRIBUTION_KERNEL_TABLES(float, s, 0)   // LA
#undef ZORN_DISTRIBUTION_KERNEL_TABLES

template <class T>
struct Kernels {
  using Tables = KernelTables<T>;
  using Unary = void (*)(int32_t, const T*, T*);
  using TwoResults = void (*)(int32_t, const T*, T*, T*);
  using Power = void (*)(int32_t, const T*, T, T*);

  template <class F>
  static F at_slot(const TessFunctionTable& table) {
    return reinterpret_cast<F>(table.slot[Tables::kSlot]);
  }
  static void ln(int32_t n, T* r) { at_slot<Unary>(Tables::ln())(n, r, r); }
  static void exp(int32_t n, T* r) { at_slot<Unary>(Tables::exp())(n, r, r); }
  static void sqrt(int32_t n, T* r) { at_slot<Unary>(Tables::sqrt())(n, r, r); }
  static void tan(int32_t n, T* r) { at_slot<Unary>(Tables::tan())(n, r, r); }
  static void sin(int32_t n, T* r) { at_slot<Unary>(Tables::sin())(n, r, r); }
  static void cos(int32_t n, T* r) { at_slot<Unary>(Tables::cos())(n, r, r); }
  static void erfinv(int32_t n, T* r) { at_slot<Unary>(Tables::erfinv())(n, r, r); }
  static void sincos(int32_t n, const T* angle, T* sine, T* cosine) {
    at_slot<TwoResults>(Tables::sincos())(n, angle, sine, cosine);
  }
  static void powx(int32_t n, T* r, T exponent) {
    at_slot<Power>(Tables::powx())(n, r, exponent, r);
  }
};

template <class T>
class KernelEnvironment : public EnvironmentGuard {
 public:
  using EnvironmentGuard::EnvironmentGuard;
  using K = Kernels<T>;

  void ln(int32_t n, T* r) { around_kernel([&] { K::ln(n, r); }); }
  void exp(int32_t n, T* r) { around_kernel([&] { K::exp(n, r); }); }
  void sqrt(int32_t n, T* r) { around_kernel([&] { K::sqrt(n, r); }); }
  void sin(int32_t n, T* r) { around_kernel([&] { K::sin(n, r); }); }
  void cos(int32_t n, T* r) { around_kernel([&] { K::cos(n, r); }); }
  void erfinv(int32_t n, T* r) { around_kernel([&] { K::erfinv(n, r); }); }
  void sincos(int32_t n, const T* angle, T* sine, T* cosine) {
    around_kernel([&] { K::sincos(n, angle, sine, cosine); });
  }
  void powx(int32_t n, T* r, T exponent) { around_kernel([&] { K::powx(n, r, exponent); }); }
};

}  // namespace zorn::distributions
