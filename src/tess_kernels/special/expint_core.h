// Two-lane core of the exponential integral E1 (both precisions; the single kernels compute
// in double and round once), tables from tools/tess_expint_tables:
// - a < 1/4: E1(a) = -ln a - gamma + a - a^2 R(a), ln a from the double logarithm core as
//   head and tail, the three leading terms summed exactly (two-sums), so that only the
//   last rounding and a^2 R (below 1/64 of the result) add to the half ulp;
// - a >= 1/4: E1(a) = e^-a h(a), h from the rows (one per sixteenth of a binade of a) as
//   head and tail, e^-a from the exponential's reduction, the heads' product exact
//   (Dekker), so that the result is rounded once.
// A pair whose lanes fall in one form computes that form only.
#pragma once

#include "tess_kernels/exp_log/log_core_double.h"
#include "tess_kernels/special/erf_core.h"

namespace zorn::tess::expint_core {

#include "tess_kernels/special/data/expint_tables.inc"

using erf_core::F64x2;
using erf_core::splat;

// h(a) as hi + lo from the rows, 1/4 <= a below the rows' end. d = a - left is exact
// (a and left share their exponent and top four fraction bits).
template <int kWidth>
inline erf_core::Pair scaled_rows(F64x2 a, const double (*rows)[kWidth]) {
  constexpr int kFirstKey = (1023 + kExpInt1FirstBinade) << 4;
  const simd::I64x2 top = simd::bits(a) >> 48;
  F64x2 c[kWidth];
  erf_core::row_columns(rows[top.low32_lane0() - kFirstKey], rows[top.low32_lane1() - kFirstKey], c);
  const F64x2 d = a - c[0];
  F64x2 q = c[kWidth - 1];
  for (int k = kWidth - 2; k >= 3; --k) q = q * d + c[k];
  const TwoSum f = fast_two_sum(c[1], d * q);
  return {f.sum, f.err + c[2]};
}

template <int kWidth>
inline F64x2 exponential_form(F64x2 a, const double (*rows)[kWidth]) {
  const erf_core::ScaledPair e = erf_core::exp_pair(splat(0.0) - a, splat(0.0));
  const erf_core::Pair h = scaled_rows(a, rows);
  const TwoSum head = two_product(e.hi, h.hi);
  return (head.sum + (head.err + (e.hi * h.lo + e.lo * h.hi))) * erf_core::scale_of(e);
}

// Positive normal a below 1/4.
template <int kDegree>
inline F64x2 series_form(F64x2 a, const double (&r)[kDegree + 1]) {
  const LogParts ln = log_parts<false>(a);
  F64x2 q = splat(r[kDegree]);
  for (int k = kDegree - 1; k >= 0; --k) q = q * a + splat(r[k]);
  const TwoSum lead = two_sum(splat(0.0) - ln.head, splat(-kEulerGammaHi));
  const TwoSum next = two_sum(lead.sum, a);
  return next.sum + ((lead.err + next.err) - ((ln.tail + splat(kEulerGammaLo)) + (a * a) * q));
}

// E1 of lanes in [2^-1022, kEnd), kEnd at most the end of the rows; other lanes (NaN too)
// are computed on 1 instead, and the mask of these special lanes is returned in `special`.
template <double kEnd, int kWidth, int kSize>
inline F64x2 e1(F64x2 x, const double (*rows)[kWidth], const double (&r)[kSize],
                F64x2& special) {
  constexpr int kDegree = kSize - 1;
  special = simd::less(x, splat(0x1p-1022)) | simd::not_less(x, splat(kEnd));
  const F64x2 a = simd::select(special, splat(1.0), x);
  const F64x2 in_series = simd::less(a, splat(kExpInt1SeriesEnd));
  const int series_lanes = simd::lane_mask(in_series);
  if (series_lanes == 0) return exponential_form(a, rows);
  if (series_lanes == 3) return series_form<kDegree>(a, r);
  const F64x2 s = series_form<kDegree>(simd::select(in_series, a, splat(0.125)), r);
  const F64x2 e = exponential_form(simd::select(in_series, splat(1.0), a), rows);
  return simd::select(in_series, s, e);
}

}  // namespace zorn::tess::expint_core
