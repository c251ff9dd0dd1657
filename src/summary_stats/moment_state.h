// Running moment state of a set of observations, kept in double precision: total
// weight W, total squared weight V and, per variable i, the mean, the raw moments of
// orders 2 to 4 (weighted averages of x^k), the central sums M_k = sum w (x - mean)^k
// and the cross-product matrix C = sum w (x - mean)(x - mean)^T.
//
// C holds its upper triangle column by column (element (i, l), i <= l, at l*p + i), the
// layout a column-major BLAS routine writes for triangle "u".
#pragma once

#include <cstdint>

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
// pairwise rules of Chan, Golub and LeVeque (1979) for M2 and Pebay (2008) for M3, M4
// and the cross-products; `delta` is scratch of p entries. With kCentral false only the
// means, raw moments and C are merged (the fast method derives central sums at the end).
// `b` has positive weight.
template <int K, bool kCentral, bool kMatrix>
void merge_moments(MomentState& a, const MomentState& b, int64_t p, VariableList vars,
                   double* delta) {
  const double wa = a.W, wb = b.W, w = wa + wb;
  const double share = wb / w;                 // weight of b in the merged mean
  const double c2 = wa * wb / w;               // delta^2 factor of M2 and C
  const double c3 = c2 * (wa - wb) / w;        // delta^3 factor of M3
  const double c4 = c2 * (wa * wa - wa * wb + wb * wb) / (w * w);
  const double fa = wa / w, fb = wb / w;
  for (int64_t v = 0; v < vars.count; ++v) {
    const int64_t i = vars.index[v];
    const double d = b.mean[i] - a.mean[i];
    delta[i] = d;
    a.mean[i] += d * share;
    for (int k = 0; k + 2 <= K; ++k) a.raw[k][i] += (b.raw[k][i] - a.raw[k][i]) * share;
    if constexpr (kCentral && K >= 2) {
      const double m2a = a.central[0][i], m2b = b.central[0][i];
      if constexpr (K >= 3) {
        const double m3a = a.central[1][i], m3b = b.central[1][i];
        if constexpr (K >= 4) {
          a.central[2][i] += b.central[2][i] + d * d * d * d * c4 +
                             6 * d * d * (fa * fa * m2b + fb * fb * m2a) +
                             4 * d * (fa * m3b - fb * m3a);
        }
        a.central[1][i] = m3a + m3b + d * d * d * c3 + 3 * d * (fa * m2b - fb * m2a);
      }
      a.central[0][i] = m2a + m2b + d * d * c2;
    }
  }
  if constexpr (kMatrix) {
    for (int64_t u = 0; u < vars.count; ++u)
      for (int64_t v = 0; v <= u; ++v) {
        const int64_t l = vars.index[u], i = vars.index[v];
        const int64_t at = cross_index(p, i, l);
        a.C[at] += b.C[at] + delta[i] * delta[l] * c2;
      }
  }
  a.W = w;
  a.V += b.V;
}

}  // namespace zorn::ss
