// The per-thread accumulation routines of the basic statistics. One instance per
// method, moment order K (1 to 4), weights, cross-product matrix and observation
// layout is chosen before the threads start, so no inner loop tests what was asked for.
//
// Every routine leaves its thread's MomentState in the same form (means, raw moments,
// central sums, cross-products over the thread's observations), ready for the merge.
#pragma once

#include <emmintrin.h>

#include <algorithm>
#include <cstdint>

#include "summary_stats/moment_state.h"

namespace zorn::ss {

// Observations per block of the blocked method: small enough to stay in L1 between the
// two passes over a block.
constexpr int64_t kBlockLength = 256;

// The one-pass methods work on x - shift[i] for the mean and the central sums: with a
// shift close to the data (the running mean, or a first observation) the means stay
// small and their rounding no longer limits the central sums of data with a large
// mean. Raw moments use x itself; the fast method uses a zero shift.
template <class T>
struct DataView {
  const T* x;
  const T* weights;  // null: unit weights
  int64_t p;
  int64_t n;
  VariableList selected;
  VariableList all;
  const double* shift;  // p entries
};

// Scratch of one thread: a block's statistics, the deviation sums, merge deltas and,
// for the matrix in the row layout, the block's deviations of every selected variable.
struct ThreadScratch {
  MomentState block;
  double* first = nullptr;   // sum of w*d over a block, then its mean correction
  double* delta = nullptr;   // merge deltas; the current deviations in the column layout
  double* deviations = nullptr;  // p*kBlockLength (row layout) or p (column layout)
};

struct ThreadWork {
  MomentState state;
  ThreadScratch scratch;
  int64_t begin = 0;
  int64_t end = 0;
};

template <class T, bool kWeighted>
inline double weight_of(const DataView<T>& data, int64_t j) {
  if constexpr (kWeighted) return static_cast<double>(data.weights[j]);
  return 1.0;
}

// Total weight and total squared weight of observations [begin, end).
template <class T, bool kWeighted>
inline void weight_totals(const DataView<T>& data, int64_t begin, int64_t end, double* W,
                          double* V) {
  if constexpr (!kWeighted) {
    *W = *V = static_cast<double>(end - begin);
  } else {
    double w1 = 0, w2 = 0;
    for (int64_t j = begin; j < end; ++j) {
      const double w = static_cast<double>(data.weights[j]);
      w1 += w;
      w2 += w * w;
    }
    *W = w1;
    *V = w2;
  }
}

// Central sums of a block from sums about a provisional mean m: with e the mean
// correction (sum w d / W), the sums about m + e follow from the binomial shift.
template <int K>
inline void shift_block_sums(MomentState& b, double* first, int64_t i, double wsum) {
  const double e = first[i] / wsum;
  first[i] = e;
  if constexpr (K >= 2) {
    const double s2 = b.central[0][i];
    if constexpr (K >= 3) {
      const double s3 = b.central[1][i];
      if constexpr (K >= 4)
        b.central[2][i] += e * (-4 * s3 + e * (6 * s2 - 3 * wsum * e * e));
      b.central[1][i] = s3 + e * (-3 * s2 + 2 * wsum * e * e);
    }
    b.central[0][i] = s2 - wsum * e * e;
  }
  b.mean[i] += e;
  for (int k = 0; k + 2 <= K; ++k) b.raw[k][i] /= wsum;
}

inline void clear_block(MomentState& b, double* first, int64_t p, int K) {
  std::fill(first, first + p, 0.0);
  std::fill(b.mean, b.mean + p, 0.0);
  for (int k = 0; k + 2 <= K; ++k) {
    std::fill(b.raw[k], b.raw[k] + p, 0.0);
    std::fill(b.central[k], b.central[k] + p, 0.0);
  }
}

// Blocked method, observations in columns: each block is read twice from cache (its
// mean, then the sums about it) and merged into the thread's state.
template <class T, int K, bool kWeighted, bool kMatrix>
void accumulate_blocked_columns(const DataView<T>& data, ThreadWork& work) {
  const int64_t p = data.p;
  MomentState& b = work.scratch.block;
  double* first = work.scratch.first;
  double* dev = work.scratch.delta;
  for (int64_t jb = work.begin; jb < work.end; jb += kBlockLength) {
    const int64_t je = std::min(jb + kBlockLength, work.end);
    clear_block(b, first, p, K);
    double wsum = 0, w2sum = 0;
    for (int64_t j = jb; j < je; ++j) {
      const double w = weight_of<T, kWeighted>(data, j);
      wsum += w;
      w2sum += w * w;
      const T* row = data.x + j * p;
      for (int64_t i = 0; i < p; ++i) b.mean[i] += w * (static_cast<double>(row[i]) - data.shift[i]);
    }
    if (!(wsum > 0)) continue;
    for (int64_t i = 0; i < p; ++i) b.mean[i] /= wsum;
    if constexpr (kMatrix)
      for (int64_t l = 0; l < p; ++l) std::fill(b.C + l * p, b.C + l * p + l + 1, 0.0);
    // Adds observation j to the block's sums and leaves its deviations in `d_out`;
    // returns its weight.
    auto observe = [&](int64_t j, double* d_out) {
      const double w = weight_of<T, kWeighted>(data, j);
      const T* row = data.x + j * p;
      for (int64_t i = 0; i < p; ++i) {
        const double x = static_cast<double>(row[i]);
        const double d = (x - data.shift[i]) - b.mean[i];
        const double wd = w * d;
        first[i] += wd;
        if constexpr (K >= 2) b.central[0][i] += wd * d;
        if constexpr (K >= 3) b.central[1][i] += wd * d * d;
        if constexpr (K >= 4) b.central[2][i] += wd * d * d * d;
        const double wx2 = w * x * x;
        if constexpr (K >= 2) b.raw[0][i] += wx2;
        if constexpr (K >= 3) b.raw[1][i] += wx2 * x;
        if constexpr (K >= 4) b.raw[2][i] += wx2 * x * x;
        if constexpr (kMatrix) d_out[i] = d;
      }
      return w;
    };
    int64_t j = jb;
    if constexpr (kMatrix) {
      // Two observations per pass over the triangle halve its loads and stores.
      double* dev2 = work.scratch.deviations;
      for (; j + 1 < je; j += 2) {
        const double w0 = observe(j, dev), w1 = observe(j + 1, dev2);
        for (int64_t l = 0; l < p; ++l) {
          const double a0 = w0 * dev[l], a1 = w1 * dev2[l];
          double* column = b.C + l * p;
          for (int64_t i = 0; i <= l; ++i) column[i] += dev[i] * a0 + dev2[i] * a1;
        }
      }
    }
    for (; j < je; ++j) {
      const double w = observe(j, dev);
      if constexpr (kMatrix)
        for (int64_t l = 0; l < p; ++l) {
          const double wdl = w * dev[l];
          double* column = b.C + l * p;
          for (int64_t i = 0; i <= l; ++i) column[i] += dev[i] * wdl;
        }
    }
    for (int64_t i = 0; i < p; ++i) shift_block_sums<K>(b, first, i, wsum);
    if constexpr (kMatrix)
      for (int64_t l = 0; l < p; ++l)
        for (int64_t i = 0; i <= l; ++i) b.C[l * p + i] -= wsum * first[i] * first[l];
    b.W = wsum;
    b.V = w2sum;
    merge_moments<K, true, kMatrix>(work.state, b, p, data.all, work.scratch.delta);
  }
}

// Two values of a row as a pair of doubles.
inline __m128d load_pair(const double* at) { return _mm_loadu_pd(at); }
inline __m128d load_pair(const float* at) {
  return _mm_cvtps_pd(_mm_castpd_ps(_mm_load_sd(reinterpret_cast<const double*>(at))));
}

// Over row[begin, end), with d = x - center: dev[k-1] = sum w d^k for k = 1 to K and,
// with kRaw, raw[k-2] = sum w x^k for k = 2 to K. SSE2 pairs in two independent sets of
// accumulators, so that additions do not wait on each other.
template <class T, int K, bool kWeighted, bool kRaw>
void centred_sums(const T* row, const T* weights, int64_t begin, int64_t end, double center,
                  double* dev, double* raw) {
  __m128d acc_dev[2][4], acc_raw[2][3];
  for (int h = 0; h < 2; ++h) {
    for (__m128d& a : acc_dev[h]) a = _mm_setzero_pd();
    for (__m128d& a : acc_raw[h]) a = _mm_setzero_pd();
  }
  const __m128d c = _mm_set1_pd(center);
  int64_t j = begin;
  for (; j + 4 <= end; j += 4)
    for (int h = 0; h < 2; ++h) {
      const __m128d x = load_pair(row + j + 2 * h);
      const __m128d d = _mm_sub_pd(x, c);
      __m128d w = _mm_set1_pd(1.0);
      if constexpr (kWeighted) w = load_pair(weights + j + 2 * h);
      __m128d power = kWeighted ? _mm_mul_pd(w, d) : d;
      acc_dev[h][0] = _mm_add_pd(acc_dev[h][0], power);
      for (int k = 1; k < K; ++k) {
        power = _mm_mul_pd(power, d);
        acc_dev[h][k] = _mm_add_pd(acc_dev[h][k], power);
      }
      if constexpr (kRaw && K >= 2) {
        __m128d raw_power = _mm_mul_pd(kWeighted ? _mm_mul_pd(w, x) : x, x);
        acc_raw[h][0] = _mm_add_pd(acc_raw[h][0], raw_power);
        for (int k = 1; k + 1 < K; ++k) {
          raw_power = _mm_mul_pd(raw_power, x);
          acc_raw[h][k] = _mm_add_pd(acc_raw[h][k], raw_power);
        }
      }
    }
  auto total = [](__m128d a, __m128d b) {
    double lanes[2];
    _mm_storeu_pd(lanes, _mm_add_pd(a, b));
    return lanes[0] + lanes[1];
  };
  for (int k = 0; k < K; ++k) dev[k] = total(acc_dev[0][k], acc_dev[1][k]);
  if constexpr (kRaw)
    for (int k = 0; k + 1 < K; ++k) raw[k] = total(acc_raw[0][k], acc_raw[1][k]);
  for (; j < end; ++j) {
    const double x = static_cast<double>(row[j]), d = x - center;
    const double w = kWeighted ? static_cast<double>(weights[j]) : 1.0;
    double power = w * d;
    for (int k = 0; k < K; ++k, power *= d) dev[k] += power;
    if constexpr (kRaw) {
      double raw_power = w * x * x;
      for (int k = 0; k + 1 < K; ++k, raw_power *= x) raw[k] += raw_power;
    }
  }
}

// Blocked method, observations in rows: each selected variable's block is contiguous.
template <class T, int K, bool kWeighted, bool kMatrix>
void accumulate_blocked_rows(const DataView<T>& data, ThreadWork& work) {
  const int64_t p = data.p, n = data.n;
  const VariableList vars = data.selected;
  MomentState& b = work.scratch.block;
  double* first = work.scratch.first;
  for (int64_t jb = work.begin; jb < work.end; jb += kBlockLength) {
    const int64_t je = std::min(jb + kBlockLength, work.end);
    double wsum, w2sum;
    weight_totals<T, kWeighted>(data, jb, je, &wsum, &w2sum);
    if (!(wsum > 0)) continue;
    for (int64_t v = 0; v < vars.count; ++v) {
      const int64_t i = vars.index[v];
      const T* row = data.x + i * n;
      const double shift = data.shift[i];
      if constexpr (!kMatrix) {
        // About the block's provisional centre; its offset from the shift is exact, and
        // the mean correction of shift_block_sums absorbs the centre's rounding.
        double s1, devs[4], raws[3];
        centred_sums<T, 1, kWeighted, false>(row, data.weights, jb, je, shift, &s1, nullptr);
        const double center = shift + s1 / wsum;
        centred_sums<T, K, kWeighted, true>(row, data.weights, jb, je, center, devs, raws);
        b.mean[i] = center - shift;
        first[i] = devs[0];
        for (int k = 0; k + 2 <= K; ++k) {
          b.central[k][i] = devs[k + 1];
          b.raw[k][i] = raws[k];
        }
      } else {
        double s1 = 0;
        for (int64_t j = jb; j < je; ++j)
          s1 += weight_of<T, kWeighted>(data, j) * (static_cast<double>(row[j]) - shift);
        const double m = s1 / wsum;
        double f1 = 0, s2 = 0, s3 = 0, s4 = 0, r2 = 0, r3 = 0, r4 = 0;
        double* dev = work.scratch.deviations + v * kBlockLength - jb;
        for (int64_t j = jb; j < je; ++j) {
          const double w = weight_of<T, kWeighted>(data, j);
          const double x = static_cast<double>(row[j]);
          const double d = (x - shift) - m;
          const double wd = w * d;
          f1 += wd;
          if constexpr (K >= 2) s2 += wd * d;
          if constexpr (K >= 3) s3 += wd * d * d;
          if constexpr (K >= 4) s4 += wd * d * d * d;
          const double wx2 = w * x * x;
          if constexpr (K >= 2) r2 += wx2;
          if constexpr (K >= 3) r3 += wx2 * x;
          if constexpr (K >= 4) r4 += wx2 * x * x;
          dev[j] = d;
        }
        b.mean[i] = m;
        first[i] = f1;
        const double sums[3] = {s2, s3, s4}, raws[3] = {r2, r3, r4};
        for (int k = 0; k + 2 <= K; ++k) {
          b.central[k][i] = sums[k];
          b.raw[k][i] = raws[k];
        }
      }
      shift_block_sums<K>(b, first, i, wsum);
    }
    if constexpr (kMatrix) {
      const int64_t len = je - jb;
      for (int64_t u = 0; u < vars.count; ++u)
        for (int64_t v = 0; v <= u; ++v) {
          const double* du = work.scratch.deviations + u * kBlockLength;
          const double* dv = work.scratch.deviations + v * kBlockLength;
          double c = 0;
          for (int64_t j = 0; j < len; ++j) c += weight_of<T, kWeighted>(data, jb + j) * du[j] * dv[j];
          const int64_t l = vars.index[u], i = vars.index[v];
          b.C[cross_index(p, i, l)] = c - wsum * first[i] * first[l];
        }
    }
    b.W = wsum;
    b.V = w2sum;
    merge_moments<K, true, kMatrix>(work.state, b, p, vars, work.scratch.delta);
  }
}

// Observation-by-observation method: the one-pass update of the running mean, raw
// moments and central sums by each observation (the pairwise rule with a single point).
// Observation j of variable i is at x[i*stride_var + j*stride_obs].
template <class T, int K, bool kWeighted, bool kMatrix>
void accumulate_per_observation(const DataView<T>& data, ThreadWork& work, VariableList vars,
                                int64_t stride_var, int64_t stride_obs) {
  const int64_t p = data.p;
  MomentState& s = work.state;
  double* dev = work.scratch.delta;
  for (int64_t j = work.begin; j < work.end; ++j) {
    const double w = weight_of<T, kWeighted>(data, j);
    const double wn = s.W + w;
    if (kWeighted && (w == 0 || wn == 0)) continue;
    const double a = w / wn;
    const double c2 = s.W * w / wn;
    const double c3 = c2 * (s.W - w) / wn;
    const double c4 = c2 * (s.W * s.W - s.W * w + w * w) / (wn * wn);
    const T* column = data.x + j * stride_obs;
    for (int64_t v = 0; v < vars.count; ++v) {
      const int64_t i = vars.index[v];
      const double x = static_cast<double>(column[i * stride_var]);
      const double d = (x - data.shift[i]) - s.mean[i];
      const double t = d * a;
      if constexpr (K >= 2) {
        const double m2 = s.central[0][i];
        if constexpr (K >= 3) {
          const double m3 = s.central[1][i];
          if constexpr (K >= 4)
            s.central[2][i] += d * d * d * d * c4 + 6 * t * t * m2 - 4 * t * m3;
          s.central[1][i] = m3 + d * d * d * c3 - 3 * t * m2;
        }
        s.central[0][i] = m2 + d * d * c2;
      }
      s.mean[i] += t;
      double xk = x;
      for (int k = 0; k + 2 <= K; ++k) {
        xk *= x;
        s.raw[k][i] += (xk - s.raw[k][i]) * a;
      }
      if constexpr (kMatrix) dev[i] = d;
    }
    if constexpr (kMatrix)
      for (int64_t u = 0; u < vars.count; ++u) {
        const int64_t l = vars.index[u];
        const double dl = dev[l] * c2;
        for (int64_t v = 0; v <= u; ++v) s.C[cross_index(p, vars.index[v], l)] += dev[vars.index[v]] * dl;
      }
    s.W = wn;
    s.V += w * w;
  }
}

template <class T, int K, bool kWeighted, bool kMatrix>
void accumulate_per_observation_columns(const DataView<T>& data, ThreadWork& work) {
  accumulate_per_observation<T, K, kWeighted, kMatrix>(data, work, data.all, 1, data.p);
}

template <class T, int K, bool kWeighted, bool kMatrix>
void accumulate_per_observation_rows(const DataView<T>& data, ThreadWork& work) {
  accumulate_per_observation<T, K, kWeighted, kMatrix>(data, work, data.selected, data.n, 1);
}

// Fast method: plain power sums sum w x^k (and sum w x x^T), turned into means, raw
// moments and cross-products about the mean at the end. Cheap, but the central
// statistics derived from them lose digits when the mean is large against the spread.
template <int K, bool kMatrix>
void finish_power_sums(MomentState& s, int64_t p, VariableList vars) {
  if (!(s.W != 0)) return;
  for (int64_t v = 0; v < vars.count; ++v) {
    const int64_t i = vars.index[v];
    s.mean[i] /= s.W;
    for (int k = 0; k + 2 <= K; ++k) s.raw[k][i] /= s.W;
  }
  if constexpr (kMatrix)
    for (int64_t u = 0; u < vars.count; ++u)
      for (int64_t v = 0; v <= u; ++v) {
        const int64_t l = vars.index[u], i = vars.index[v];
        s.C[cross_index(p, i, l)] -= s.W * s.mean[i] * s.mean[l];
      }
}

template <class T, int K, bool kWeighted, bool kMatrix>
void accumulate_fast_columns(const DataView<T>& data, ThreadWork& work) {
  const int64_t p = data.p;
  MomentState& s = work.state;
  double wsum = 0, w2sum = 0;
  for (int64_t j = work.begin; j < work.end; ++j) {
    const double w = weight_of<T, kWeighted>(data, j);
    wsum += w;
    w2sum += w * w;
    const T* row = data.x + j * p;
    for (int64_t i = 0; i < p; ++i) {
      const double x = static_cast<double>(row[i]);
      const double wx = w * x;
      s.mean[i] += wx;
      if constexpr (K >= 2) s.raw[0][i] += wx * x;
      if constexpr (K >= 3) s.raw[1][i] += wx * x * x;
      if constexpr (K >= 4) s.raw[2][i] += wx * x * x * x;
    }
    if constexpr (kMatrix)
      for (int64_t l = 0; l < p; ++l) {
        const double wxl = w * static_cast<double>(row[l]);
        double* column = s.C + l * p;
        for (int64_t i = 0; i <= l; ++i) column[i] += static_cast<double>(row[i]) * wxl;
      }
  }
  s.W = wsum;
  s.V = w2sum;
  finish_power_sums<K, kMatrix>(s, p, data.all);
}

template <class T, int K, bool kWeighted, bool kMatrix>
void accumulate_fast_rows(const DataView<T>& data, ThreadWork& work) {
  const int64_t p = data.p, n = data.n;
  MomentState& s = work.state;
  double wsum, w2sum;
  weight_totals<T, kWeighted>(data, work.begin, work.end, &wsum, &w2sum);
  for (int64_t v = 0; v < data.selected.count; ++v) {
    const int64_t i = data.selected.index[v];
    const T* row = data.x + i * n;
    double sums[4];
    centred_sums<T, K, kWeighted, false>(row, data.weights, work.begin, work.end, 0.0, sums,
                                         nullptr);
    s.mean[i] = sums[0];
    for (int k = 0; k + 2 <= K; ++k) s.raw[k][i] = sums[k + 1];
  }
  if constexpr (kMatrix)
    for (int64_t j = work.begin; j < work.end; ++j) {
      const double w = weight_of<T, kWeighted>(data, j);
      for (int64_t u = 0; u < data.selected.count; ++u) {
        const int64_t l = data.selected.index[u];
        const double wxl = w * static_cast<double>(data.x[l * n + j]);
        for (int64_t v = 0; v <= u; ++v) {
          const int64_t i = data.selected.index[v];
          s.C[cross_index(p, i, l)] += static_cast<double>(data.x[i * n + j]) * wxl;
        }
      }
    }
  s.W = wsum;
  s.V = w2sum;
  finish_power_sums<K, kMatrix>(s, p, data.selected);
}

}  // namespace zorn::ss
