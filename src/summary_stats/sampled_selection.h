// Order statistics of one variable without copying it, for quantiles of long data: a
// sorted sample brackets every wanted rank, one pass over the data counts the values
// below each bracket and gathers the values inside it, and the ranks are selected within
// the brackets (the sampling idea of Floyd and Rivest, 1975). When a rank falls outside
// its bracket (possible for data whose order follows the sampling stride) the caller
// selects in a full copy instead.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

#include "summary_stats/sort_routines.h"

namespace zorn::ss {

// Values j = 0..n-1 of one variable: x[j * stride].
template <class T>
struct StridedValues {
  const T* x;
  int64_t stride;
  T operator[](int64_t j) const { return x[j * stride]; }
};

constexpr int64_t kSampleLength = int64_t{1} << 16;
constexpr int kMaxBrackets = 64;

// Places in out[r] the value of rank ranks[r] (ascending, distinct; NaN for a rank at or
// beyond the count of numbers) and returns true, or returns false when the sample
// misjudged a bracket. `scratch` holds n values; n >= 8 * kSampleLength.
template <class T>
bool select_by_sampling(StridedValues<T> values, int64_t n, const int64_t* ranks, int64_t count,
                        T* out, T* scratch) {
  if (count > kMaxBrackets) return false;
  // A sorted sample at evenly spaced positions, NaNs left out.
  T* sample = scratch;
  int64_t s = 0;
  for (int64_t i = 0; i < kSampleLength; ++i) {
    const T v = values[((2 * i + 1) * n) / (2 * kSampleLength)];
    if (v == v) sample[s++] = v;
  }
  if (s < kSampleLength / 2) return false;
  quick_sort(sample, s, 1);
  // Rank r of the numbers sits near sample position r * s / numbers; a margin of four
  // standard deviations of a sample rank (at most sqrt(s) / 2) on either side.
  const double numbers_estimate = static_cast<double>(n) * s / kSampleLength;
  const int64_t margin = static_cast<int64_t>(4 * std::sqrt(static_cast<double>(s))) + 4;
  constexpr T kInf = std::numeric_limits<T>::infinity();
  T lo[kMaxBrackets], hi[kMaxBrackets];
  int bracket_of[kMaxBrackets];
  int brackets = 0;
  for (int64_t r = 0; r < count; ++r) {
    const int64_t at =
        std::min<int64_t>(static_cast<int64_t>(ranks[r] * (s / numbers_estimate)), s - 1);
    const T low = at - margin < 0 ? -kInf : sample[at - margin];
    const T high = at + margin >= s ? kInf : sample[at + margin];
    if (brackets > 0 && low <= hi[brackets - 1]) {
      hi[brackets - 1] = std::max(hi[brackets - 1], high);
    } else {
      lo[brackets] = low;
      hi[brackets] = high;
      ++brackets;
    }
    bracket_of[r] = brackets - 1;
  }
  // One pass: cell 2b+1 holds the values inside bracket b, cell 2b those between bracket
  // b-1 and bracket b. Values inside a bracket go to its part of the scratch.
  const int64_t capacity = (n - kSampleLength) / brackets;
  T* part[2 * kMaxBrackets + 1];
  int64_t limit[2 * kMaxBrackets + 1], filled[2 * kMaxBrackets + 1] = {};
  T dummy[1];
  for (int c = 0; c <= 2 * brackets; ++c) {
    const bool inside = c % 2 == 1;
    part[c] = inside ? scratch + kSampleLength + (c / 2) * capacity : dummy;
    limit[c] = inside ? capacity : 1;
  }
  int64_t cell_count[2 * kMaxBrackets + 1] = {}, nans = 0;
  for (int64_t j = 0; j < n; ++j) {
    const T v = values[j];
    if (!(v == v)) {
      ++nans;
      continue;
    }
    int c = 0;
    for (int b = 0; b < brackets; ++b) c += (v >= lo[b]) + (v > hi[b]);
    ++cell_count[c];
    if (filled[c] >= limit[c]) return false;
    part[c][filled[c]] = v;
    filled[c] += c & 1;
  }
  const int64_t numbers = n - nans;
  int64_t below[kMaxBrackets];
  int64_t running = 0;
  for (int b = 0; b < brackets; ++b) {
    running += cell_count[2 * b];
    below[b] = running;
    running += cell_count[2 * b + 1];
  }
  // Every rank must land inside its bracket before anything is selected.
  for (int64_t r = 0; r < count; ++r) {
    if (ranks[r] >= numbers) continue;
    const int b = bracket_of[r];
    const int64_t local = ranks[r] - below[b];
    if (local < 0 || local >= filled[2 * b + 1]) return false;
  }
  for (int64_t r = 0; r < count; ++r) {
    if (ranks[r] >= numbers) {
      out[r] = std::numeric_limits<T>::quiet_NaN();
      continue;
    }
    const int b = bracket_of[r];
    T* bucket = part[2 * b + 1];
    // Ranks of a bracket come in ascending order: each selection leaves the bucket
    // partitioned, so the next one works on the part above the previous rank.
    const int64_t local = ranks[r] - below[b];
    int64_t from = 0;
    if (r > 0 && bracket_of[r - 1] == b) from = ranks[r - 1] - below[b] + 1;
    out[r] = quick_select(bucket + from, filled[2 * b + 1] - from, local - from,
                          [](T x, T y) { return x < y; });
  }
  return true;
}

}  // namespace zorn::ss
