/* Combining summary statistics computed over separate parts of a data set.
 *
 * A statistics task over one part (one thread, one process, one file) leaves its
 * running state in the caller's arrays: the accumulated weights W (sum of weights)
 * and V (sum of squared weights), the means, the central sums M_k = sum w (x - mean)^k
 * for k = 2, 3, 4, and the cross-product matrix C = sum w (x - mean)(x - mean)^T.
 * Two such states combine exactly into the state of the union with the pairwise
 * rules of Chan, Golub and LeVeque (1979) for M2 and C and of Pebay (2008) for M3
 * and M4, which hold for arbitrary positive weights (Pebay, Terriberry, Kolla and
 * Bennett, 2016). The library merges its threads' results with the same rules.
 *
 * A partial result is one flat array of doubles, so that it can be sent as it is
 * (an MPI message, a file, a map-reduce value):
 *
 *   [0] W, [1] V, then per variable i = 0..p-1:
 *   mean[i], M2[i], M3[i], M4[i], each a block of p values, then C as a full p x p
 *   row-major matrix (both triangles).
 *
 * The blocks sit where a task writes them: give the task the accumulated weights at
 * offset ZORN_SS_PARTIAL_WEIGHTS, the means at ZORN_SS_PARTIAL_MEAN, the central sums
 * at zorn_ss_partial_central_sum_at() and the cross-product at
 * zorn_ss_partial_cross_product_at() with full storage (PAVO_SS_MATRIX_FULL), then request PAVO_SS_MEAN, PAVO_SS_CENTRAL_SUM_2..4
 * and PAVO_SS_CROSS_PRODUCT. Start from an array of zeros.
 *
 * Header only, C and C++; it adds no exported symbol. */
#ifndef ZORN_SS_MERGE_H
#define ZORN_SS_MERGE_H

#include <math.h>
#include <stdint.h>
#include <string.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Factors of one merge of a part of weight wb into a part of weight wa (wa + wb > 0). */
typedef struct ZornSSMergeFactors {
  double share; /* wb / w: weight of the second part in the merged mean */
  double c2;    /* wa wb / w: factor of delta^2 in M2 and C */
  double c3;    /* c2 (wa - wb) / w: factor of delta^3 in M3 */
  double c4;    /* c2 (wa^2 - wa wb + wb^2) / w^2: factor of delta^4 in M4 */
  double fa;    /* wa / w */
  double fb;    /* wb / w */
} ZornSSMergeFactors;

static inline ZornSSMergeFactors zorn_ss_merge_factors(double wa, double wb) {
  const double w = wa + wb;
  ZornSSMergeFactors f;
  f.share = wb / w;
  f.c2 = wa * wb / w;
  f.c3 = f.c2 * (wa - wb) / w;
  f.c4 = f.c2 * (wa * wa - wa * wb + wb * wb) / (w * w);
  f.fa = wa / w;
  f.fb = wb / w;
  return f;
}

/* Central sums of orders 2 to `order` (at most 4) of one variable: m[0..2] hold
 * M2, M3, M4 of the first part and receive those of the union; `d` is the second
 * part's mean minus the first's. The old M2 and M3 of both parts enter M3 and M4. */
static inline void zorn_ss_merge_central_sums(const ZornSSMergeFactors* f, int order, double d,
                                              double* m, const double* mb) {
  if (order < 2) return;
  const double m2a = m[0], m2b = mb[0];
  if (order >= 3) {
    const double m3a = m[1], m3b = mb[1];
    if (order >= 4) {
      m[2] += mb[2] + d * d * d * d * f->c4 + 6 * d * d * (f->fa * f->fa * m2b + f->fb * f->fb * m2a) +
              4 * d * (f->fa * m3b - f->fb * m3a);
    }
    m[1] = m3a + m3b + d * d * d * f->c3 + 3 * d * (f->fa * m2b - f->fb * m2a);
  }
  m[0] = m2a + m2b + d * d * f->c2;
}

/* One cross-product entry of the union: the parts' entries and the deviations of
 * the two variables' means (second part minus first). */
static inline double zorn_ss_merge_cross(const ZornSSMergeFactors* f, double di, double dl,
                                         double ca, double cb) {
  return ca + cb + di * dl * f->c2;
}

/* ---- the flat partial result of p variables ---- */

/* Number of doubles, and the offsets of the blocks (the central sum of order k = 2, 3, 4). */
static inline int64_t zorn_ss_partial_size(int64_t p) { return 2 + 4 * p + p * p; }
#define ZORN_SS_PARTIAL_WEIGHTS 0
#define ZORN_SS_PARTIAL_MEAN 2
static inline int64_t zorn_ss_partial_central_sum_at(int64_t p, int k) { return 2 + (k - 1) * p; }
static inline int64_t zorn_ss_partial_cross_product_at(int64_t p) { return 2 + 4 * p; }

/* Merges the partial result b into a (both of p variables). A part of zero weight
 * changes nothing; merging into an empty part copies. */
static inline void zorn_ss_partial_merge(int64_t p, double* a, const double* b) {
  const double wa = a[0], wb = b[0];
  if (wb <= 0) return;
  if (wa <= 0) {
    memcpy(a, b, (size_t)zorn_ss_partial_size(p) * sizeof(double));
    return;
  }
  const ZornSSMergeFactors f = zorn_ss_merge_factors(wa, wb);
  double* mean = a + 2;
  const double* mean_b = b + 2;
  double* c = a + 2 + 4 * p;
  const double* c_b = b + 2 + 4 * p;
  /* The cross-products need every variable's deviation before the means move. */
  for (int64_t i = 0; i < p; ++i)
    for (int64_t l = 0; l < p; ++l)
      c[i * p + l] = zorn_ss_merge_cross(&f, mean_b[i] - mean[i], mean_b[l] - mean[l],
                                         c[i * p + l], c_b[i * p + l]);
  for (int64_t i = 0; i < p; ++i) {
    const double d = mean_b[i] - mean[i];
    double m[3], mb[3];
    for (int k = 0; k < 3; ++k) {
      m[k] = a[2 + (k + 1) * p + i];
      mb[k] = b[2 + (k + 1) * p + i];
    }
    zorn_ss_merge_central_sums(&f, 4, d, m, mb);
    for (int k = 0; k < 3; ++k) a[2 + (k + 1) * p + i] = m[k];
    mean[i] += d * f.share;
  }
  a[0] = wa + wb;
  a[1] += b[1];
}

/* ---- estimates from a partial result, with the task's conventions ---- */

static inline double zorn_ss_partial_mean(const double* s, int64_t i) { return s[2 + i]; }
/* Unbiased variance M2 / (W - V/W); with unit weights M2 / (N - 1). */
static inline double zorn_ss_partial_variance(const double* s, int64_t p, int64_t i) {
  return s[2 + p + i] * s[0] / (s[0] * s[0] - s[1]);
}
/* Covariance C_il W / (W^2 - V). */
static inline double zorn_ss_partial_covariance(const double* s, int64_t p, int64_t i, int64_t l) {
  return s[2 + 4 * p + i * p + l] * s[0] / (s[0] * s[0] - s[1]);
}
/* Skewness M3/W over the variance to the power 3/2. */
static inline double zorn_ss_partial_skewness(const double* s, int64_t p, int64_t i) {
  const double c2 = zorn_ss_partial_variance(s, p, i);
  return (s[2 + 2 * p + i] / s[0]) / sqrt(c2 * c2 * c2);
}
/* Excess kurtosis (M4/W) / variance^2 - 3. */
static inline double zorn_ss_partial_kurtosis(const double* s, int64_t p, int64_t i) {
  const double c2 = zorn_ss_partial_variance(s, p, i);
  return (s[2 + 3 * p + i] / s[0]) / (c2 * c2) - 3;
}

#ifdef __cplusplus
}
#endif

#endif
