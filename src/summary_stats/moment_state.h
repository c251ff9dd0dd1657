// Running moment state of a set of observations, kept in double precision: total
// weight W, total squared weight V and, per variable i, the mean, the raw moments of
// orders 2 to 4 (weighted averages of x^k), the central sums M_k = sum w (x - mean)^k
// and the cross-product matrix C = sum w (x - mean)(x - mean)^T.
//
// C holds its upper triangle column by column (element (i, l), i <= l, at l*p + i), the
// layout a column-major BLAS routine writes for triangle "u".
#pragma once

#include <cstdint>

#include "zorn/ss_merge.h"

namespace zorn::ss {

struct MomentState {
  double W = 0;
  double V = 0;
  double* mean = nullptr;
  double* raw[3] = {};      // orders 2, 3, 4
  double* central[3] = {};  // M2, M3, M4
  double* C = nullptr;      // p*p, or null when no matrix is needed
};

inline int64_t cross_index(int64_t p, int64_t i, int64_t l) { return l * p + i; }

// The variables a computation works on, ascending.
struct VariableList {
  const int64_t* index;
  int64_t count;
};

// Merges the statistics of a second set of observations, `b`, into `a` with the
// pairwise rules of the public merge helper (zorn/ss_merge.h); `delta` is scratch of
// p entries. With kCentral false only the
// means, raw moments and C are merged (the fast method derives central sums at the end).
// `b` has positive weight.
template <int K, bool kCentral, bool kMatrix>
void merge_moments(MomentState& a, const MomentState& b, int64_t p, VariableList vars,
                   double* delta) {
  const ZornSSMergeFactors f = zorn_ss_merge_factors(a.W, b.W);
  for (int64_t v = 0; v < vars.count; ++v) {
    const int64_t i = vars.index[v];
    const double d = b.mean[i] - a.mean[i];
    delta[i] = d;
    a.mean[i] += d * f.share;
    for (int k = 0; k + 2 <= K; ++k) a.raw[k][i] += (b.raw[k][i] - a.raw[k][i]) * f.share;
    if constexpr (kCentral && K >= 2) {
      double m[3] = {}, mb[3] = {};
      for (int k = 0; k + 2 <= K; ++k) {
        m[k] = a.central[k][i];
        mb[k] = b.central[k][i];
      }
      zorn_ss_merge_central_sums(&f, K, d, m, mb);
      for (int k = 0; k + 2 <= K; ++k) a.central[k][i] = m[k];
    }
  }
  if constexpr (kMatrix) {
    for (int64_t u = 0; u < vars.count; ++u)
      for (int64_t v = 0; v <= u; ++v) {
        const int64_t l = vars.index[u], i = vars.index[v];
        const int64_t at = cross_index(p, i, l);
        a.C[at] = zorn_ss_merge_cross(&f, delta[i], delta[l], a.C[at], b.C[at]);
      }
  }
  a.W += b.W;
  a.V += b.V;
}

}  // namespace zorn::ss
