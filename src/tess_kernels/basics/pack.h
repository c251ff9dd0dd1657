// Pack and unpack: move elements between strided, masked or indexed layouts and
// contiguous vectors, as raw bits of their width (NaN payloads, signed zeros and
// subnormals pass unchanged). No floating-point state is touched.
//
// The selector, the fifth argument, gives the width of the count, the increment and the
// mask and index elements: 1 for 32-bit integers, anything else for 64-bit ones.
#pragma once

#include <cstdint>
#include <cstring>

namespace zorn::tess {

// Kernels are instantiated per element size and owner: the mask kernels are shared by
// every type of one size (Owner = void), the others belong to one element type.
template <size_t Size, class Owner>
struct PackKernels {
  static void move(void* dst, int64_t di, const void* src, int64_t si) {
    std::memcpy(static_cast<unsigned char*>(dst) + di * int64_t{Size},
                static_cast<const unsigned char*>(src) + si * int64_t{Size}, Size);
  }
  static int64_t integer(int64_t value, int32_t selector) {
    return selector == 1 ? static_cast<int32_t>(value) : value;
  }
  static int64_t element(const void* words, int64_t i, int32_t selector) {
    if (selector == 1) return static_cast<const int32_t*>(words)[i];
    return static_cast<const int64_t*>(words)[i];
  }

  static void pack_i(int64_t n, const void* a, int64_t inca, void* y, int32_t selector) {
    const int64_t count = integer(n, selector), inc = integer(inca, selector);
    for (int64_t i = 0; i < count; ++i) move(y, i, a, i * inc);
  }
  static void pack_m(int64_t n, const void* a, const void* mask, void* y, int32_t selector) {
    const int64_t count = integer(n, selector);
    for (int64_t i = 0, k = 0; i < count; ++i)
      if (element(mask, i, selector) != 0) move(y, k++, a, i);
  }
  static void pack_v(int64_t n, const void* a, const void* ix, void* y, int32_t selector) {
    const int64_t count = integer(n, selector);
    for (int64_t i = 0; i < count; ++i) move(y, i, a, element(ix, i, selector));
  }
  static void unpack_i(int64_t n, const void* a, void* y, int64_t incy, int32_t selector) {
    const int64_t count = integer(n, selector), inc = integer(incy, selector);
    for (int64_t i = 0; i < count; ++i) move(y, i * inc, a, i);
  }
  static void unpack_m(int64_t n, const void* a, void* y, const void* mask, int32_t selector) {
    const int64_t count = integer(n, selector);
    for (int64_t i = 0, k = 0; i < count; ++i)
      if (element(mask, i, selector) != 0) move(y, i, a, k++);
  }
  static void unpack_v(int64_t n, const void* a, void* y, const void* ix, int32_t selector) {
    const int64_t count = integer(n, selector);
    for (int64_t i = 0; i < count; ++i) move(y, element(ix, i, selector), a, i);
  }
};

}  // namespace zorn::tess
