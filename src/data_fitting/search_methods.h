// The cell of one site under each search method. Cells: 0 left of x[0], j for
// x[j-1] <= t < x[j], nx-1 for the right end itself, nx beyond it. A NaN site gets 0.
// Every index is computed in 64 bits and clamped, so that no node outside
// x[0] ... x[nx-1] is read whatever the site, the state or the caller's guess.
#pragma once

#include <cstdint>

#include <emmintrin.h>

namespace zorn::df {

enum class SearchMethod { kUniform, kQuasiUniform, kSorted, kPeak, kHybrid, kUser, kUniformUser };

// A pair of the task's bin table: the nodes x[low] <= t < x[high] around every site t
// that falls in the bin.
struct BinPair {
  int64_t low;
  int64_t high;
};

template <class T>
struct Partition {
  const T* x;
  int64_t nx;
  T left;   // x[0]
  T right;  // x[nx-1], or x[1] for a uniform partition
  T h;      // node step of the uniform and quasi-uniform methods
  T inverse_h;
  const BinPair* bins = nullptr;  // optional: narrows the hybrid method's first range
  int64_t bin_count = 0;
  T bin_scale = T(0);
};

template <class T>
Partition<T> make_partition(const T* x, int64_t nx, bool uniform, T h) {
  return {x, nx, x[0], uniform ? x[1] : x[nx - 1], h, T(1) / h};
}

// trunc(q) clamped to [0, limit]; NaN gives 0.
template <class T>
inline int64_t clamped_trunc(T q, int64_t limit) {
  if (!(q >= T(0))) return 0;
  if (q >= T(limit)) return limit;
  return int64_t(q);
}

// The cell of a site outside [x[0], right), or -1 for a site inside.
template <class T>
inline int64_t outer_cell(const Partition<T>& p, T t) {
  if (!(t >= p.left)) return 0;
  if (t < p.right) return -1;
  return t == p.right ? p.nx - 1 : p.nx;
}

// For x[k-1] <= t (k >= 1) and t < x[nx-1]: the first j >= k with t < x[j].
template <class T>
inline int64_t scan_up(const T* x, int64_t k, T t) {
  while (t >= x[k]) ++k;
  return k;
}

// Narrows [lo, hi] while wider than `window`, keeping x[lo] <= t < x[hi].
template <class T>
inline int64_t bisect_low(const T* x, int64_t lo, int64_t hi, int64_t window, T t) {
  while (hi - lo > window) {
    const int64_t mid = lo + (hi - lo) / 2;
    if (x[mid] > t) hi = mid; else lo = mid;
  }
  return lo;
}

// The methods for a site with x[0] <= t < right.
// Multiplying by 1/h (not dividing by h) may move a site within an ulp of a node to
// the neighbouring cell; every site is treated the same way wherever it lies.
template <class T>
inline int64_t uniform_cell(const Partition<T>& p, T t) {
  return clamped_trunc((t - p.left) * p.inverse_h, p.nx - 2) + 1;
}

template <class T>
inline int64_t quasi_uniform_cell(const Partition<T>& p, T t) {
  int64_t k = clamped_trunc((t - p.left) / p.h, p.nx - 1) + 1;
  if (k < p.nx && t >= p.x[k]) k = scan_up(p.x, k + 1, t);
  while (k > 1 && p.x[k - 1] > t) --k;
  return k;
}

// The number of x[k] <= t for k in [begin, end), two or four nodes per compare.
inline int64_t count_not_above(const double* x, int64_t begin, int64_t end, double t) {
  const __m128d tt = _mm_set1_pd(t);
  int64_t count = 0, k = begin;
  for (; k + 2 <= end; k += 2) {
    const int mask = _mm_movemask_pd(_mm_cmple_pd(_mm_loadu_pd(x + k), tt));
    count += (mask & 1) + (mask >> 1);
  }
  if (k < end && x[k] <= t) ++count;
  return count;
}
inline int64_t count_not_above(const float* x, int64_t begin, int64_t end, float t) {
  const __m128 tt = _mm_set1_ps(t);
  int64_t count = 0, k = begin;
  for (; k + 4 <= end; k += 4) {
    const int mask = _mm_movemask_ps(_mm_cmple_ps(_mm_loadu_ps(x + k), tt));
    count += (mask & 1) + ((mask >> 1) & 1) + ((mask >> 2) & 1) + (mask >> 3);
  }
  for (; k < end; ++k) count += x[k] <= t ? 1 : 0;
  return count;
}

// The number of x[0 .. 3] at or below t, from one four-bit mask.
constexpr int8_t kBitsSet[16] = {0, 1, 1, 2, 1, 2, 2, 3, 1, 2, 2, 3, 2, 3, 3, 4};
inline int64_t count_four_not_above(const double* x, double t) {
  const __m128d tt = _mm_set1_pd(t);
  const int low = _mm_movemask_pd(_mm_cmple_pd(_mm_loadu_pd(x), tt));
  const int high = _mm_movemask_pd(_mm_cmple_pd(_mm_loadu_pd(x + 2), tt));
  return kBitsSet[low | high << 2];
}
inline int64_t count_four_not_above(const float* x, float t) {
  return kBitsSet[_mm_movemask_ps(_mm_cmple_ps(_mm_loadu_ps(x), _mm_set1_ps(t)))];
}

constexpr int64_t kHybridWindow = 100;
constexpr int64_t kCountWindow = 32;
template <class T>
inline int64_t hybrid_cell(const Partition<T>& p, T t) {
  if (p.bins != nullptr) {
    // The bin of t brackets it, x[lo] <= t < x[hi]; the pair is clamped so that a stale
    // table costs the bracket, never a read outside the nodes.
    const BinPair& b = p.bins[clamped_trunc((t - p.left) * p.bin_scale, p.bin_count)];
    int64_t lo = b.low < 0 ? 0 : (b.low > p.nx - 2 ? p.nx - 2 : b.low);
    int64_t hi = b.high <= lo ? lo + 1 : (b.high > p.nx - 1 ? p.nx - 1 : b.high);
    if (!(p.x[lo] <= t)) lo = 0;
    if (!(t < p.x[hi])) hi = p.nx - 1;  // t < x[nx-1] holds for every site searched here
    while (hi - lo > kCountWindow) {
      const int64_t mid = lo + (hi - lo) / 2;
      if (p.x[mid] > t) hi = mid; else lo = mid;
    }
    // The cell is lo + 1 plus the nodes strictly inside the bracket that are <= t:
    // counted without a branch to mispredict.
    return lo + 1 + count_not_above(p.x, lo + 1, hi, t);
  }
  const int64_t lo = p.nx <= kHybridWindow ? 0 : bisect_low(p.x, 0, p.nx, kHybridWindow, t);
  return scan_up(p.x, lo < 1 ? 1 : lo, t);
}

constexpr int64_t kPeakWindow = 40;
template <class T>
inline int64_t peak_cell(const Partition<T>& p, T t) {
  const int64_t lo = p.nx < kPeakWindow + 2 ? 0 : bisect_low(p.x, 0, p.nx - 1, kPeakWindow, t);
  return scan_up(p.x, lo < 1 ? 1 : lo, t);
}

// Sorted sites: the state is the cell of the previous site, and a site mostly lies in
// it or a few cells on. The cell is the first j >= s with t < x[j]: within the next four
// nodes, s plus the count of those not above t (no branch on the data to mispredict);
// beyond them, steps doubling in length, then halved. s: a cell in [0, nx-1].
template <class T>
inline int64_t sorted_cell_from(const Partition<T>& p, T t, int64_t s) {
  int64_t lo = s, hi = p.nx - 1;
  if (s + 4 <= p.nx - 1) {
    const int64_t count = count_four_not_above(p.x + s, t);
    if (count < 4) return s + count;
    lo = s + 3;
  } else if (t < p.x[s]) {
    return s;
  }
  for (int64_t step = 1; lo + step < p.nx - 1; step *= 2) {
    if (p.x[lo + step] > t) {
      hi = lo + step;
      break;
    }
    lo += step;
  }
  while (lo < hi - 1) {
    const int64_t mid = lo + (hi - lo) / 2;
    if (p.x[mid] > t) hi = mid; else lo = mid;
  }
  return hi;
}

// The same from any state (the caller's, or 0 and nx after sites outside).
template <class T>
inline int64_t sorted_cell(const Partition<T>& p, T t, int64_t state) {
  return sorted_cell_from(p, t, state < 0 ? 0 : (state > p.nx - 1 ? p.nx - 1 : state));
}

// The caller's guess c corrected by scanning from it; the scans give a site equal to
// the right end nx-1, and a site equal to x[g] keeps the guess g.
template <class T>
inline int64_t corrected_guess(const Partition<T>& p, T t, int64_t c) {
  const T* x = p.x;
  const int64_t nx = p.nx;
  const int64_t g = c < 0 ? 0 : c;
  auto scan_down = [&](int64_t k) {
    while (k > 0 && x[k - 1] > t) --k;
    return k;
  };
  int64_t k;
  if (g >= nx) {
    k = scan_down(nx);
  } else if (t > x[g]) {
    k = g + 1;
    while (k < nx && t >= x[k]) ++k;
  } else if (c <= 0) {
    return 0;
  } else if (x[g - 1] > t) {
    k = scan_down(g);
  } else {
    return g;
  }
  return (k == nx && t == x[nx - 1]) ? nx - 1 : k;
}

}  // namespace zorn::df
