// Sorting and selection of real values. NaNs order after every number, so the order is
// a strict weak order on any input and the partitioning loops stay inside the array.
#pragma once

#include <cstdint>
#include <cstring>
#include <limits>
#include <type_traits>
#include <utility>

namespace zorn::ss {

template <class T>
inline bool sorts_before(T a, T b) {
  return a < b || (b != b && a == a);
}

// Iterative quicksort of a[0], a[s], ..., a[(n-1)*s] (Numerical Recipes' sort): the
// middle element is swapped next to the first, the first, that one and the last are put
// in order and the middle of the three is the pivot; pieces of at most kInsertionLength
// elements are finished by straight insertion. The larger piece is stacked, the smaller
// processed first, so the stack never holds more than log2(n) pieces.
template <class T>
void quick_sort(T* a, int64_t n, int64_t s) {
  constexpr int64_t kInsertionLength = 7;
  constexpr int kStackPieces = 64;
  int64_t stack[2 * kStackPieces];
  int top = 0;
  int64_t l = 0, r = n - 1;
  auto at = [a, s](int64_t i) -> T& { return a[i * s]; };
  for (;;) {
    if (r - l < kInsertionLength) {
      for (int64_t j = l + 1; j <= r; ++j) {
        const T v = at(j);
        int64_t i = j - 1;
        for (; i >= l && sorts_before(v, at(i)); --i) at(i + 1) = at(i);
        at(i + 1) = v;
      }
      if (top == 0) return;
      r = stack[--top];
      l = stack[--top];
      continue;
    }
    const int64_t mid = l + (r - l) / 2;
    std::swap(at(mid), at(l + 1));
    if (sorts_before(at(r), at(l))) std::swap(at(l), at(r));
    if (sorts_before(at(r), at(l + 1))) std::swap(at(l + 1), at(r));
    if (sorts_before(at(l + 1), at(l))) std::swap(at(l), at(l + 1));
    // Now a[l] <= a[l+1] <= a[r]: a[l] and a[r] stop the scans.
    int64_t i = l + 1, j = r;
    const T pivot = at(l + 1);
    for (;;) {
      do ++i; while (sorts_before(at(i), pivot));
      do --j; while (sorts_before(pivot, at(j)));
      if (j < i) break;
      std::swap(at(i), at(j));
    }
    at(l + 1) = at(j);
    at(j) = pivot;
    // Stack the larger piece, go on with the smaller.
    if (r - i + 1 >= j - l) {
      stack[top++] = i;
      stack[top++] = r;
      r = j - 1;
    } else {
      stack[top++] = l;
      stack[top++] = j - 1;
      l = i;
    }
  }
}

// Rearranges a[0..n) so that a[k] is the element a full sort would put there, every
// element before it sorts no later and every one after no earlier (Hoare's selection
// with the same median-of-three partition); returns a[k].
template <class T, class Less = bool (*)(T, T)>
T quick_select(T* a, int64_t n, int64_t k, Less sorts_before = zorn::ss::sorts_before<T>) {
  int64_t l = 0, r = n - 1;
  for (;;) {
    if (r <= l + 1) {
      if (r == l + 1 && sorts_before(a[r], a[l])) std::swap(a[l], a[r]);
      return a[k];
    }
    const int64_t mid = l + (r - l) / 2;
    std::swap(a[mid], a[l + 1]);
    if (sorts_before(a[r], a[l])) std::swap(a[l], a[r]);
    if (sorts_before(a[r], a[l + 1])) std::swap(a[l + 1], a[r]);
    if (sorts_before(a[l + 1], a[l])) std::swap(a[l], a[l + 1]);
    int64_t i = l + 1, j = r;
    const T pivot = a[l + 1];
    for (;;) {
      do ++i; while (sorts_before(a[i], pivot));
      do --j; while (sorts_before(pivot, a[j]));
      if (j < i) break;
      std::swap(a[i], a[j]);
    }
    a[l + 1] = a[j];
    a[j] = pivot;
    if (j >= k) r = j - 1;
    if (j <= k) l = i;
  }
}

template <class T>
using RadixKey = std::conditional_t<sizeof(T) == 8, uint64_t, uint32_t>;
constexpr int kRadixBits = 11;
template <class T>
constexpr int kRadixPasses = (8 * sizeof(T) + kRadixBits - 1) / kRadixBits;
// Counters the radix sort of T needs.
template <class T>
constexpr int64_t kRadixCounters = int64_t{kRadixPasses<T>} << kRadixBits;

// LSD radix sort of n contiguous values with a work buffer of n values and
// kRadixCounters<T> counters: the bits are
// mapped to unsigned keys whose integer order is the numeric order (negative values
// inverted, positive ones with the sign bit set, every NaN last), then sorted by 11-bit
// digits (six passes for double, three for float), skipping digits all keys share.
template <class T>
void radix_sort(T* a, int64_t n, T* work, int64_t* counters) {
  using Key = RadixKey<T>;
  constexpr int kBits = kRadixBits;
  constexpr int kPasses = kRadixPasses<T>;
  constexpr Key kSign = Key{1} << (8 * sizeof(Key) - 1);
  static_assert(sizeof(Key) == sizeof(T));
  Key* keys = reinterpret_cast<Key*>(a);
  Key* other = reinterpret_cast<Key*>(work);
  auto counts = reinterpret_cast<int64_t(*)[1 << kBits]>(counters);
  std::memset(counters, 0, sizeof(int64_t) * kRadixCounters<T>);
  for (int64_t j = 0; j < n; ++j) {
    Key k;
    std::memcpy(&k, &a[j], sizeof(Key));
    k = a[j] != a[j] ? ~Key{0} : (k & kSign) ? ~k : (k | kSign);
    keys[j] = k;
    for (int d = 0; d < kPasses; ++d) ++counts[d][(k >> (d * kBits)) & ((1 << kBits) - 1)];
  }
  for (int d = 0; d < kPasses; ++d) {
    int64_t* count = counts[d];
    bool single = false;
    for (int b = 0; b < (1 << kBits); ++b)
      if (count[b] != 0) {
        single = count[b] == n;
        break;
      }
    if (single) continue;
    int64_t offset = 0;
    for (int b = 0; b < (1 << kBits); ++b) {
      const int64_t c = count[b];
      count[b] = offset;
      offset += c;
    }
    for (int64_t j = 0; j < n; ++j) other[count[(keys[j] >> (d * kBits)) & ((1 << kBits) - 1)]++] = keys[j];
    std::swap(keys, other);
  }
  if (keys != reinterpret_cast<Key*>(a)) std::memcpy(a, keys, sizeof(Key) * n);
  for (int64_t j = 0; j < n; ++j) {
    Key k = reinterpret_cast<Key*>(a)[j];
    k = (k & kSign) ? (k & ~kSign) : ~k;
    std::memcpy(&a[j], &k, sizeof(Key));
  }
}

}  // namespace zorn::ss
