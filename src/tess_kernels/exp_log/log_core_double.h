// The natural logarithm of two lanes as an unevaluated sum head + tail, shared by the
// double precision Ln, Log2, Log10 and Log1p kernels and their callouts.
//
// x = 2^k m with m in [1, 2); row j = round(128 (m - 1)) of the table gives inv_c, an
// 11-bit approximation of 1/c, c = 1 + j/128, and ln c = -ln(inv_c) = ln_hi + ln_lo.
// With m cut to 42 bits (m_hi), r_hi = m_hi inv_c - 1 and r_lo = (m - m_hi) inv_c are
// exact, and so is their sum as r + r_err = m inv_c - 1, |r| < 2^-8 + 2^-11. Then
//   ln x = (k ln2_hi + ln_hi) + r + (k ln2_lo + ln_lo + r_err + ln(1 + r) - r),
// where the first sum is exact, its sum with r is carried exactly by a fast two-sum, and
// ln(1 + r) - r = r^2 Q(r) with Q the Taylor series to r^5 (truncation below 2^-62
// relative). Row 128 holds ln 2 split exactly as the k term, so that just below 1
// (k = -1, j = 128) the head cancels to zero exactly.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>

#include "tess_kernels/exp_log/flagged_results.h"
#include "tess_kernels/frame/simd_double.h"
#include "tess_kernels/frame/splat_rows.h"
#include "tess_kernels/frame/two_sum_double.h"
#include "tess_kernels/frame/words_through_memory.h"
#include "zorn/tess.h"

namespace zorn::tess {
namespace log_table_double {
#include "tess_kernels/exp_log/data/log_table_double.inc"
}  // namespace log_table_double

struct LogParts {
  simd::F64x2 head, tail;  // |tail| below 1/128 of |head|
};

// The high words of the two lanes, in both halves of the register.
inline __m128i high_words(simd::F64x2 x) {
  return _mm_shuffle_epi32(_mm_castpd_si128(x.v), _MM_SHUFFLE(3, 1, 3, 1));
}

// The high words of the two lanes in general registers, for the table rows: by movd
// from the shuffled register, or through the stack (frame/words_through_memory.h). On
// the build machine of 10 December (AMD EPYC, Zen 4) the logarithm loops run faster by
// movd (`min_of_calls`: d Ln 0.95x, Log2 0.92x, Log10 0.96x, Log1p 0.98x the time) and
// d Acosh, whose pair has more vector work around its logarithm, slower (1.04x): the
// other callers of log_parts keep the stack.
struct LaneHighWords {
  uint32_t lane0, lane1;
};
template <bool kByMovd>
inline LaneHighWords lane_high_words(simd::F64x2 x) {
  if constexpr (kByMovd) {
    const __m128i w = high_words(x);
    return {static_cast<uint32_t>(_mm_cvtsi128_si32(w)),
            static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_shuffle_epi32(w, 1)))};
  }
  const simd::Words words = simd::words_through_memory(simd::bits(x).v);
  return {words.w[1], words.w[3]};
}

// x = 2^k m reduced on the table: k, the rows of m's two lanes and r + r_err = m inv_c - 1
// exactly, |r| < 2^-8 + 2^-11.
struct LogReduction {
  simd::F64x2 k;
  const double *row0, *row1;
  TwoSum r;
};

// Row j = round(128 (m - 1)) of a table of four doubles a row, from the top eight
// fraction bits f of x's high word, in the integer unit: the row's first element lies
// 4j = ((f + 1) >> 1) << 2 doubles into the table, an offset that the load scales by 8
// in its address (four operations a lane where the row number and a product took six).
template <class Row>
inline const double* log_table_row(const Row* table, uint32_t high_word) {
  static_assert(sizeof(Row) == 4 * sizeof(double));
  const size_t offset = (((high_word & 0xFF000) + 0x1000) >> 11) & 0x3FC;
  return table[0] + offset;
}

// The exponent k of positive normal finite lanes x = 2^k m (taken as k plus `k_offset`, for
// arguments scaled into the normal range), their mantissas m and table rows, and the
// rows' inv_c.
struct LogRows {
  simd::F64x2 k, m;
  const double *row0, *row1;
  simd::F64x2 inv_c;
};
template <bool kRowsByMovd>
inline LogRows log_rows(simd::F64x2 x, int32_t k_offset) {
  using simd::F64x2;
  namespace t = log_table_double;
  const simd::ExponentMantissa km = simd::exponent_and_mantissa(x, k_offset);
  const LaneHighWords words = lane_high_words<kRowsByMovd>(x);
  const double* row0 = log_table_row(t::kLogTableDouble, words.lane0);
  const double* row1 = log_table_row(t::kLogTableDouble, words.lane1);
  return {km.k, km.m, row0, row1,
          simd::lane0s(F64x2::load_aligned(row0), F64x2::load_aligned(row1))};
}

// The reduction of positive normal finite lanes, k_offset as for log_rows.
// `mantissa_tail`, up to 2^-52, is added to m in effect: the complex and hyperbolic
// kernels pass the low part of a double-double argument scaled by 2^-k.
template <bool kWithMantissaTail, bool kRowsByMovd>
inline LogReduction reduce_log_argument(simd::F64x2 x, int32_t k_offset,
                                        simd::F64x2 mantissa_tail) {
  using simd::F64x2;
  using simd::I64x2;
  const LogRows rows = log_rows<kRowsByMovd>(x, k_offset);
  const F64x2 m = rows.m;
  const F64x2 inv_c = rows.inv_c;
  const F64x2 m_hi = simd::from_bits(simd::bits(m) & I64x2::splat(~int64_t{0x7FF}));
  const F64x2 r_hi = m_hi * inv_c - F64x2::splat(1.0);  // exact: 42 bits times 11 bits
  const F64x2 r_lo = (m - m_hi) * inv_c;                // exact: 41 bits times 11 bits
  // r + r_err = r_hi + r_lo exactly, by the fast two-sum: r_hi is a multiple of 2^-52
  // and r_lo of 2^-63 below 2^-41, so either |r_hi| >= 2^-40 exceeds |r_lo|, or the sum
  // has at most 24 bits and is exact itself (the error term then being 0).
  TwoSum r_sum = fast_two_sum(r_hi, r_lo);
  if constexpr (kWithMantissaTail) {
    // The tail d = mantissa_tail inv_c, up to 2^-52, may be as large as r itself: it
    // joins r_err and the pair is summed again, so that r keeps the leading part. Where
    // hi = 0 (rows 0 and 128 about 1) r is 0 or at least the unit of x's last place,
    // above d, so the fast two-sum is exact; elsewhere |ln x| > 2^-9 and a wrong order
    // costs below 2^-100.
    r_sum = fast_two_sum(r_sum.sum, r_sum.err + mantissa_tail * inv_c);
  }
  return {rows.k, rows.row0, rows.row1, r_sum};
}

// (ln(1 + r) - r) / r^2 by its Taylor series to r^5 (truncation below 2^-62 relative
// for |r| < 2^-8 + 2^-11).
inline simd::F64x2 log1p_excess_over_square(simd::F64x2 r, simd::F64x2 r2) {
  using simd::F64x2;
  const F64x2 q_low = F64x2::splat(-0.5) + r * F64x2::splat(1.0 / 3);
  const F64x2 q_mid = F64x2::splat(-0.25) + r * F64x2::splat(0.2);
  const F64x2 q_high = F64x2::splat(-1.0 / 6) + r * F64x2::splat(1.0 / 7);
  return q_low + r2 * (q_mid + r2 * q_high);
}

// Natural logarithm of lanes from their reduction.
inline LogParts log_of_reduction(const LogReduction& red) {
  using simd::F64x2;
  namespace t = log_table_double;
  const double* row0 = red.row0;
  const double* row1 = red.row1;
  const F64x2 ln_hi = simd::lane1s(F64x2::load_aligned(row0), F64x2::load_aligned(row1));
  const F64x2 ln_lo = simd::lane0s(F64x2::load_aligned(row0 + 2), F64x2::load_aligned(row1 + 2));
  const F64x2 r = red.r.sum;

  const F64x2 hi = red.k * F64x2::splat(t::kLn2Hi) + ln_hi;  // exact
  const F64x2 lo = red.k * F64x2::splat(t::kLn2Lo) + ln_lo;
  // hi = 0, or its exponent is at least that of any r of its row (checked over the
  // table's rows for k = -1, 0, 1; larger |k| only widen the gap).
  const TwoSum head = fast_two_sum(hi, r);
  const F64x2 r2 = r * r;
  return {head.sum, head.err + (lo + (red.r.err + r2 * log1p_excess_over_square(r, r2)))};
}

// Natural logarithm of positive normal finite lanes; k_offset and mantissa_tail as for
// the reduction, kRowsByMovd as for lane_high_words.
template <bool kWithMantissaTail, bool kRowsByMovd = false>
inline LogParts log_parts(simd::F64x2 x, int32_t k_offset = 0,
                          simd::F64x2 mantissa_tail = simd::F64x2::splat(0.0)) {
  return log_of_reduction(
      reduce_log_argument<kWithMantissaTail, kRowsByMovd>(x, k_offset, mantissa_tail));
}

// Which base a logarithm away from 1 is taken in: its table away from 1 (rows
// {1/c, 0, lg_hi, lg_lo}), and 1/ln b rounded to double.
struct LogBase {
  int table;
  double inv_ln;
};
inline constexpr LogBase kBaseE{0, 1.0};
inline constexpr LogBase kBase2{1, log_table_double::kInvLn2};
inline constexpr LogBase kBase10{2, log_table_double::kInvLn10};

// log_b x of positive normal finite lanes outside [0.5, 2), directly in base b. With
// x = 2^k m and c = 1 + j/128 of m's row, m - c is exact (|m - c| <= 2^-8, both
// multiples of 2^-52) and r = (m - c)(1/c) errs by at most 2^-60 (two roundings of
// 2^-53 relative, |r| <= 2^-8). Then
//   log_b x = (k lg2_hi + lg_hi) + r / ln b + (k lg2_lo + lg_lo + r^2 Q_b(r)),
// lg = log_b c of the row, lg2 = log_b 2 as row 128 splits it, and Q_b(r) the Taylor
// series of (ln(1 + r) - r) / r^2 to r^4 divided by ln b: it stops short of r^7 / 7,
// below 2^-58.8 / ln b, at most 1/40 of the result's last place here. The first
// sum is exact (multiples of 2^-42 below 2^11) and at least log_b 2 in magnitude (k >= 1,
// or k <= -2 with lg <= log_b 2), while |r / ln b| < 2^-8 / ln 10 for base 10, 2^-7.5
// for base 2 and 2^-8 for base e: r's error (below 2^-59.5 after 1/ln b), the rounded
// product r (1/ln b) and the correction stay below 2^-58 of a result whose unit is at
// least 2^-54, so that the one final rounding dominates.
// `mantissa_tail`, up to 2^-53, is added to m in effect (Log1p's rounding error of 1 + x
// scaled by 2^-k): it joins m - c with an error of at most 2^-61, and r then stands for
// (m + tail - c)(1/c).
template <LogBase kBase, bool kWithMantissaTail = false>
inline simd::F64x2 log_away_from_one(simd::F64x2 x,
                                     simd::F64x2 mantissa_tail = simd::F64x2::splat(0.0)) {
  using simd::F64x2;
  using simd::I64x2;
  namespace t = log_table_double;
  // The Taylor coefficients -1/2, 1/3, -1/4, 1/5, -1/6 times 1/ln b (rounded: 2^-53
  // relative on a term below 2^-16 of r), then 1/ln b. Bases 2 and 10 read them as
  // memory operands (the branch to the near-one path keeps the compiler from holding
  // them in registers): Log10 0.91x, Log2 0.98x the time; Log1p (base e) measured 1.05x.
  static constexpr double kQ[6] = {-0.5 * kBase.inv_ln, kBase.inv_ln / 3,
                                   -0.25 * kBase.inv_ln, 0.2 * kBase.inv_ln,
                                   -kBase.inv_ln / 6,    kBase.inv_ln};
  static constexpr simd::SplatRows<double, 6> kRows(kQ);
  const simd::SplatReader<double, 6> rows(kRows);
  const auto q = [&rows](size_t i) {
    if constexpr (kBase.inv_ln == 1.0) return F64x2::splat(kQ[i]);
    return rows[i];
  };
  const simd::ExponentMantissa km = simd::exponent_and_mantissa(x, 0);
  const F64x2 k = km.k;
  const F64x2 m = km.m;
  const auto& table = t::kLogAwayTableDouble[kBase.table];
  const LaneHighWords words = lane_high_words<true>(x);
  const double* row0 = log_table_row(table, words.lane0);
  const double* row1 = log_table_row(table, words.lane1);
  // c is m rounded to 7 fraction bits, ties up as the row index rounds (2 above the
  // last row's midpoint).
  const F64x2 c = simd::from_bits((simd::bits(m) + I64x2::splat(int64_t{1} << 44)) &
                                  I64x2::splat(-(int64_t{1} << 45)));
  const F64x2 inv_c = simd::lane0s(F64x2::load_aligned(row0), F64x2::load_aligned(row1));
  F64x2 m_minus_c = m - c;
  if constexpr (kWithMantissaTail) m_minus_c = m_minus_c + mantissa_tail;
  const F64x2 r = m_minus_c * inv_c;
  const F64x2 a0 = F64x2::load_aligned(row0 + 2);
  const F64x2 a1 = F64x2::load_aligned(row1 + 2);
  constexpr const double* lg2 = table[128] + 2;
  const F64x2 hi = k * F64x2::splat(lg2[0]) + simd::lane0s(a0, a1);  // exact
  F64x2 lo = simd::lane1s(a0, a1);
  if constexpr (lg2[1] != 0.0) lo = k * F64x2::splat(lg2[1]) + lo;  // 0 in base 2
  const F64x2 r2 = r * r;
  const F64x2 q01 = q(0) + r * q(1);
  const F64x2 q23 = q(2) + r * q(3);
  const F64x2 excess = r2 * (q01 + r2 * (q23 + r2 * q(4)));
  if constexpr (kBase.inv_ln == 1.0) return hi + (r + (lo + excess));
  return hi + (r * q(5) + (lo + excess));
}

// Two tests of a pair on its high words at once, as signed compares of moved words
// against bounds: lanes 0 and 1 say whether a lane is special, not positive normal
// finite (adding 0x7FF00000 maps [0x00100000, 0x7FEFFFFF] onto the most negative
// values, up to -0x200001), lanes 2 and 3 whether it lies in [0.5, 2), where the
// logarithm may be small and takes log_parts rather than log_away_from_one (adding
// 0x40000000 maps [0x3FE00000, 0x3FFFFFFF] onto the largest, from 0x7FE00000). One add,
// one compare and one movmskps, where the two tests apart took seven vector operations.
inline constexpr int kSpecialLanes = 3;
inline constexpr int kLanesNearOne = 0xC;
inline int lane_classes(__m128i words) {
  const __m128i moved =
      _mm_add_epi32(words, _mm_setr_epi32(0x7FF00000, 0x7FF00000, 0x40000000, 0x40000000));
  const __m128i bound = _mm_setr_epi32(-0x200001, -0x200001, 0x7FDFFFFF, 0x7FDFFFFF);
  return _mm_movemask_ps(_mm_castsi128_ps(_mm_cmpgt_epi32(moved, bound)));
}

// (head + tail) times a constant given as a 26-bit head and a tail: the product of the
// two heads is carried exactly (Dekker), the rest rounded into the final sum.
inline simd::F64x2 times_split_constant(LogParts l, const double (&c)[2]) {
  using simd::F64x2;
  const F64x2 c_head = F64x2::splat(c[0]);
  const F64x2 s = l.head;
  const F64x2 spread = s * F64x2::splat(134217729.0);  // 2^27 + 1: Veltkamp's split
  const F64x2 s1 = spread - (spread - s);
  const F64x2 s2 = s - s1;
  const F64x2 p = s * c_head;
  const F64x2 p_err = (s1 * c_head - p) + s2 * c_head;
  // The tail may reach 1/256 of the head, so it takes the whole constant.
  return p + (p_err + (s * F64x2::splat(c[1]) + l.tail * F64x2::splat(c[0] + c[1])));
}

inline constexpr double kLogBase2[2] = {log_table_double::kInvLn2Head,
                                        log_table_double::kInvLn2Tail};
inline constexpr double kLogBase10[2] = {log_table_double::kInvLn10Head,
                                         log_table_double::kInvLn10Tail};

// The callouts' handling of arguments outside the positive normal range of Ln, Log2 and
// Log10: NaN and +inf pass through; negative numbers and -inf give NaN, status 1; ±0
// (and, with denormals-are-zero on, subnormals, which compare equal to it) give -inf,
// status 2. Returns true when it has set *r and *status; otherwise x is finite and
// positive, and a subnormal x has been scaled by 2^54 with k_offset set to -54.
inline bool log_edge_case(double& x, int32_t& k_offset, double* r, int32_t* status) {
  k_offset = 0;
  *status = TESS_STATUS_OK;
  if (std::isnan(x) || x == INFINITY) {
    *r = x + x;
  } else if (x == 0) {
    *r = pole_minus_infinity<double>();
    *status = TESS_STATUS_SINGULARITY;
  } else if (x < 0) {
    *r = domain_error_nan<double>();
    *status = TESS_STATUS_DOMAIN;
  } else {
    if (x < 0x1p-1022) {
      x *= 0x1p54;
      k_offset = -54;
    }
    return false;
  }
  return true;
}

}  // namespace zorn::tess
