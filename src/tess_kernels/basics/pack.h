// Pack and unpack: move elements between strided, masked or indexed layouts and
// contiguous vectors, as raw bits of their width (NaN payloads, signed zeros and
// subnormals pass unchanged: elements travel through integer registers only). No
// floating-point state is touched.
//
// The selector, the fifth argument, gives the width of the count, the increment and the
// mask and index elements: 1 for 32-bit integers, anything else for 64-bit ones. It is
// read once per call; the loops are instantiated per width.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zorn::tess {

// An element of Size bytes as integer words.
template <size_t Size>
struct RawElement {
  uint64_t words[Size / 8];
};
template <>
struct RawElement<4> {
  uint32_t word;
};

// Kernels are instantiated per element size and owner: the mask kernels are shared by
// every type of one size (Owner = void), the others belong to one element type.
template <size_t Size, class Owner>
struct PackKernels {
  using E = RawElement<Size>;
  static_assert(sizeof(E) == Size);

  // Element moves per iteration of the unrolled loops; mask words tested per iteration.
  static constexpr int64_t kUnroll = 8;
  static constexpr int64_t kMaskWords = 4;

  // A count or increment under the selector: its low 32 bits, signed, or all 64.
  static int64_t at_width(int64_t value, int32_t selector) {
    return selector == 1 ? static_cast<int32_t>(value) : value;
  }

  // y[i] = a[from(i)] or y[to(i)] = a[i] for i in [0, n): eight moves per iteration,
  // then the rest one by one.
  template <class From, class To>
  static void copy(int64_t n, const E* a, E* y, From from, To to) {
    int64_t i = 0;
    for (; i + kUnroll <= n; i += kUnroll) {
#pragma GCC unroll 8
      for (int64_t u = 0; u < kUnroll; ++u) y[to(i + u)] = a[from(i + u)];
    }
    for (; i < n; ++i) y[to(i)] = a[from(i)];
  }
  static int64_t same(int64_t i) { return i; }

  // Walks the mask four words at a time, skipping groups of unselected elements, and
  // calls move(i, k) for the k-th selected element i.
  template <class Word, class Move>
  static void each_selected(int64_t n, const Word* mask, Move move) {
    int64_t i = 0, k = 0;
    for (; i + kMaskWords <= n; i += kMaskWords) {
      const Word m0 = mask[i], m1 = mask[i + 1], m2 = mask[i + 2], m3 = mask[i + 3];
      if ((m0 | m1 | m2 | m3) == 0) continue;
      if (m0 != 0) move(i, k++);
      if (m1 != 0) move(i + 1, k++);
      if (m2 != 0) move(i + 2, k++);
      if (m3 != 0) move(i + 3, k++);
    }
    for (; i < n; ++i)
      if (mask[i] != 0) move(i, k++);
  }

  // call(Int{}) with Int the integer type of the mask and index elements.
  template <class Call>
  static void by_width(int32_t selector, Call call) {
    if (selector == 1) {
      call(int32_t{});
    } else {
      call(int64_t{});
    }
  }

  static void pack_i(int64_t n, const void* a, int64_t inca, void* y, int32_t selector) {
    const int64_t inc = at_width(inca, selector);
    copy(at_width(n, selector), static_cast<const E*>(a), static_cast<E*>(y),
         [inc](int64_t i) { return i * inc; }, same);
  }
  static void unpack_i(int64_t n, const void* a, void* y, int64_t incy, int32_t selector) {
    const int64_t inc = at_width(incy, selector);
    copy(at_width(n, selector), static_cast<const E*>(a), static_cast<E*>(y), same,
         [inc](int64_t i) { return i * inc; });
  }
  static void pack_v(int64_t n, const void* a, const void* ix, void* y, int32_t selector) {
    by_width(selector, [&](auto width) {
      using Int = decltype(width);
      const Int* index = static_cast<const Int*>(ix);
      copy(at_width(n, selector), static_cast<const E*>(a), static_cast<E*>(y),
           [index](int64_t i) { return static_cast<int64_t>(index[i]); }, same);
    });
  }
  static void unpack_v(int64_t n, const void* a, void* y, const void* ix, int32_t selector) {
    by_width(selector, [&](auto width) {
      using Int = decltype(width);
      const Int* index = static_cast<const Int*>(ix);
      copy(at_width(n, selector), static_cast<const E*>(a), static_cast<E*>(y), same,
           [index](int64_t i) { return static_cast<int64_t>(index[i]); });
    });
  }
  static void pack_m(int64_t n, const void* a, const void* mask, void* y, int32_t selector) {
    const E* from = static_cast<const E*>(a);
    E* to = static_cast<E*>(y);
    by_width(selector, [&](auto width) {
      each_selected(at_width(n, selector), static_cast<const decltype(width)*>(mask),
                    [&](int64_t i, int64_t k) { to[k] = from[i]; });
    });
  }
  static void unpack_m(int64_t n, const void* a, void* y, const void* mask, int32_t selector) {
    const E* from = static_cast<const E*>(a);
    E* to = static_cast<E*>(y);
    by_width(selector, [&](auto width) {
      each_selected(at_width(n, selector), static_cast<const decltype(width)*>(mask),
                    [&](int64_t i, int64_t k) { to[i] = from[k]; });
    });
  }
};

}  // namespace zorn::tess
