// Array loops around a peer's per-vector or per-element function, with the signature
// every implementation in this benchmark shares: (argument array, result array, count).
//
// Everything here has internal linkage on purpose: the AVX2 unit compiles its own copy
// with VEX encoding, and the linker must never pick that copy for the baseline unit.
#pragma once

#include <cstdint>
#include <cstring>

#include "vector_math/functions.h"

namespace bench::vector_math {
namespace {

// Applies F to whole vectors of V (loads and stores unaligned, like a caller's arrays);
// the tail is padded with the first argument, an ordinary value, and only the real
// lanes are stored.
template <class V, class T, auto F>
void map_vectors(const T* a, T* r, int64_t n) {
  constexpr int64_t kLanes = sizeof(V) / sizeof(T);
  int64_t i = 0;
  for (; i + kLanes <= n; i += kLanes) {
    V v;
    std::memcpy(&v, a + i, sizeof v);
    v = F(v);
    std::memcpy(r + i, &v, sizeof v);
  }
  if (i == n) return;
  T lanes[kLanes];
  for (int64_t k = 0; k < kLanes; ++k) lanes[k] = i + k < n ? a[i + k] : a[0];
  V v;
  std::memcpy(&v, lanes, sizeof v);
  v = F(v);
  std::memcpy(lanes, &v, sizeof v);
  for (int64_t k = 0; i + k < n; ++k) r[i + k] = lanes[k];
}

// The plain loop a caller would write around a scalar function.
template <class T, auto F>
void map_elements(const T* a, T* r, int64_t n) {
  for (int64_t i = 0; i < n; ++i) r[i] = F(a[i]);
}

// The two-argument forms, the second arguments those of function F.
template <class V, class T, auto F, Function Of>
void map_vectors2(const T* a, T* r, int64_t n) {
  constexpr int64_t kLanes = sizeof(V) / sizeof(T);
  const T* b = second_arguments<T>(Of, n);
  int64_t i = 0;
  for (; i + kLanes <= n; i += kLanes) {
    V v, w;
    std::memcpy(&v, a + i, sizeof v);
    std::memcpy(&w, b + i, sizeof w);
    v = F(v, w);
    std::memcpy(r + i, &v, sizeof v);
  }
  if (i == n) return;
  T lanes[kLanes], second[kLanes];
  for (int64_t k = 0; k < kLanes; ++k) {
    lanes[k] = i + k < n ? a[i + k] : a[0];
    second[k] = i + k < n ? b[i + k] : b[0];
  }
  V v, w;
  std::memcpy(&v, lanes, sizeof v);
  std::memcpy(&w, second, sizeof w);
  v = F(v, w);
  std::memcpy(lanes, &v, sizeof v);
  for (int64_t k = 0; i + k < n; ++k) r[i + k] = lanes[k];
}

template <class T, auto F, Function Of>
void map_elements2(const T* a, T* r, int64_t n) {
  const T* b = second_arguments<T>(Of, n);
  for (int64_t i = 0; i < n; ++i) r[i] = F(a[i], b[i]);
}

}  // namespace
}  // namespace bench::vector_math
