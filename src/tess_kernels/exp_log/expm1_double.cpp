#include "tess_kernels/exp_log/double_ops.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "tess_kernels/exp_log/exp_table_double.h"
#include "tess_kernels/exp_log/flagged_results.h"
#include "tess_kernels/exp_log/scale_double.h"
#include "tess_kernels/frame/simd_double.h"
#include "tess_kernels/frame/splat_rows.h"
#include "tess_kernels/frame/two_sum_double.h"
#include "zorn/tess.h"

namespace zorn::tess {
namespace {
#include "tess_kernels/exp_log/data/exp_fine_tables.inc"
constexpr ShiftedRows<256> kExp2Over256Shifted = shifted_rows(kExp2Over256Relative);

using simd::F64x2;

// Lanes below this magnitude take the accurate form; the others, the short one.
constexpr double kNearLimit = 0.25;
// Below this, e^x < 2^-57 and e^x - 1 rounds to -1.
constexpr double kMinusOneBelow = -40.0;
constexpr double kFastPathLimit = 708.39;
// Up to this |x|, A = 2^(k div 256) hi lies in [2^-53, 2^53] (|k| <= 13567), where A - 1
// is carried exactly in three operations.
constexpr double kExactDifferenceLimit = 36.7;
constexpr double kOverflowBound = 709.782712893384;
// Half a step, ln 2 / 512: below it the nearest k is 0.
constexpr double kHalfStep = 0x1.62e42fefa39efp-10;

// The fast path's constants, as rows read from memory: its branches keep the compiler
// from holding them in registers across the loop.
enum Constant : size_t {
  kMinusOneLimit,
  kShifter,  // 1.5 * 2^52
  kTwoFiftySixOverLn2,
  kLn2Over256Hi,
  kLn2Over256Lo,
  kQ0, kQ1, kQ2, kQ3,  // short form: e^r - 1 = r + r^2 (kQ0 + r kQ1 + r^2 kQ2 + r^3 kQ3)
  kP0, kP1, kP2, kP3, kP4,  // accurate form: e^r - 1 = r + r^2 (kP0 + r kP1 + ... + r^4 kP4)
  kMinusOne,
  kSignBit,
  kNearLimitRow,
  kHalfStepRow,
  kFastPathLimitRow,
  kExactDifferenceLimitRow,
  kConstantCount
};
constexpr simd::SplatRows<double, kConstantCount> kRows({
    kMinusOneBelow, 6755399441055744.0, 0x1.71547652b82fep+8, kLn2Over256[0], kLn2Over256[1],
    kExpm1Over256Polynomial[0], kExpm1Over256Polynomial[1], kExpm1Over256Polynomial[2],
    kExpm1Over256Polynomial[3], kExpm1Over256AccuratePolynomial[0],
    kExpm1Over256AccuratePolynomial[1], kExpm1Over256AccuratePolynomial[2],
    kExpm1Over256AccuratePolynomial[3], kExpm1Over256AccuratePolynomial[4], -1.0, -0.0,
    kNearLimit, kHalfStep, kFastPathLimit, kExactDifferenceLimit});
using Rows = simd::SplatReader<double, kConstantCount>;

// A - 1 exactly, for A = 2^(k div 256) hi (exact, normal range). Up to A = 2^53 (kSmallA)
// by the fast two-sum of -1 and A: d = A - 1 is exact from A = 1/2 on, and below it
// |-1| > A; so A - (d + 1) is the exact error everywhere. Above 2^53 d + 1 may round, and
// Knuth's two-sum takes its place.
template <bool kSmallA>
[[gnu::always_inline]] inline TwoSum a_minus_one(F64x2 a, const Rows& c) {
  if constexpr (kSmallA) {
    const F64x2 sum = a + c[kMinusOne];
    return {sum, a - (sum - c[kMinusOne])};
  } else {
    return two_sum(a, c[kMinusOne]);
  }
}

// The reduction both forms share: k = 256 x / ln 2 rounded by the shifter sum (from
// x_for_k: x, or 0 for a lane below half a step; in the caller's rounding direction,
// since the plain frame keeps it, so that |r| may reach a whole step ln 2 / 256, which
// the polynomials cover), A = 2^(k div 256) hi and lo from the relative table
// (2^(j/256) = hi (1 + lo)), A - 1 carried exactly, r_hi = x - k ln2_hi (exact for
// |k| < 2^19; and when k != 0 and x lies within a step of k ln2_hi, by Sterbenz's
// lemma) and r = r_hi - k ln2_lo.
struct Reduced {
  F64x2 a, lo, r_hi, k_ln2_lo, r, r2;
  TwoSum big;  // A - 1
};
template <bool kSmallA>
[[gnu::always_inline]] inline Reduced reduce(F64x2 x, F64x2 x_for_k, const Rows& c) {
  const F64x2 t = x_for_k * c[kTwoFiftySixOverLn2] + c[kShifter];
  const F64x2 k = t - c[kShifter];
  const auto [a, lo] = scaled_rows(kExp2Over256Shifted, simd::bits(t));
  const F64x2 r_hi = x - k * c[kLn2Over256Hi];
  const F64x2 k_ln2_lo = k * c[kLn2Over256Lo];
  const F64x2 r = r_hi - k_ln2_lo;
  return {a, lo, r_hi, k_ln2_lo, r, r * r, a_minus_one<kSmallA>(a, c)};
}

// The short form, for |x| >= 1/4: e^x - 1 = (A - 1) + A (lo + p) with e^r - 1 = p =
// r + r^2 Q(r), the small part added last: with e^x - 1 at least 0.22 in magnitude,
// A (lo + p) stays below 2^-6 of it.
[[gnu::always_inline]] inline F64x2 short_tail(const Reduced& f, const Rows& c) {
  // In Estrin's order: two short chains instead of one.
  const F64x2 q_low = c[kQ0] + f.r * c[kQ1];
  const F64x2 q_high = c[kQ2] + f.r * c[kQ3];
  const F64x2 p = f.r + f.r2 * (q_low + f.r2 * q_high);
  return f.big.sum + (f.big.err + f.a * (f.lo + p));
}

// The accurate form, for every |x| up to the fast path's limit (Tang's table method,
// with the leading sum carried exactly): with e^r - 1 = r + r^2 P(r),
//   e^x - 1 = [(A - 1) + r_hi] + [A lo - k ln2_lo + (A - 1 + A lo) r + A r^2 P],
// leaving out A lo r^2 P and the rounding error of A - 1 times r (below 2^-60 of the
// result). big.sum + r_hi is a fast two-sum (when k != 0 the exponent of A - 1 is at
// least that of r_hi; when k = 0, A - 1 is 0). The second bracket is below 2^-8 of the
// result, so that its roundings stay far below the result's last place, near 0 and near
// the table points alike; only the final sum rounds. The sums are grouped for a short
// chain after the table read.
[[gnu::always_inline]] inline F64x2 accurate_tail(const Reduced& f, const Rows& c) {
  // In Estrin's order: short chains.
  const F64x2 q = (c[kP0] + f.r * c[kP1]) + f.r2 * ((c[kP2] + f.r * c[kP3]) + f.r2 * c[kP4]);
  const TwoSum lead = fast_two_sum(f.big.sum, f.r_hi);
  const F64x2 a_lo = f.a * f.lo;
  const F64x2 small = lead.err + (f.big.err + (a_lo - f.k_ln2_lo));
  return lead.sum + (small + ((f.big.sum + a_lo) * f.r + (f.a * f.r2) * q));
}

// x below -40 taken as -40, where e^x - 1 is -1 already.
[[gnu::always_inline]] inline F64x2 clamp(F64x2 x, const Rows& c) {
  return simd::max(x, c[kMinusOneLimit]);
}

template <bool kSmallA>
[[gnu::always_inline]] inline F64x2 short_form(F64x2 x_in, const Rows& c) {
  const F64x2 x = clamp(x_in, c);
  return short_tail(reduce<kSmallA>(x, x, c), c);
}

// The accurate form of a pair whose lanes both lie below half a step: k = 0, A = 1 and
// lo = 0, so that the form is x + x^2 P(x), with the same operations and bits as
// expm1_any gives these lanes, without the reduction and the table.
[[gnu::always_inline]] inline F64x2 tiny_pair(F64x2 x, const Rows& c) {
  const F64x2 x2 = x * x;
  const F64x2 q = (c[kP0] + x * c[kP1]) + x2 * ((c[kP2] + x * c[kP3]) + x2 * c[kP4]);
  return simd::copy_sign(x + x2 * q, x, c[kSignBit]);
}

// The accurate form for any lane up to the fast path's limit: k = 0 below half a step
// whatever the rounding direction (the caller's directed rounding could give k = +-1
// there, where r_hi would no longer be exact), the clamp, the two-sum for any A, and
// the sign of x, which the sum loses for x = 0 (rounding down also turns +0 into -0).
[[gnu::always_inline]] inline F64x2 expm1_any(F64x2 x_in, const Rows& c) {
  const F64x2 x = clamp(x_in, c);
  const F64x2 x_for_k = x & simd::not_less(simd::abs(x), c[kHalfStepRow]);
  return simd::copy_sign(accurate_tail(reduce<false>(x, x_for_k, c), c), x_in,
                         c[kSignBit]);
}

// Each lane takes the form its own magnitude chooses, so that its bits never depend on
// its neighbour (nor on the array's offset or stride): the short form in [-inf, -1/4]
// and [1/4, 36.7], where it is accurate and has the shortest chain; the accurate form
// below 1/4. Pairs whose lanes lie in [-inf, -1/4] and [ln 2 / 512, 36.7] run without a
// guard on k or sign fix; a pair with a lane on each side of 1/4 shares the reduction
// between the two forms. Pairs with a lane above 36.7 or NaN and none near 0 take the
// short form with Knuth's two-sum (the same bits as the fast two-sum wherever both
// apply).
[[gnu::always_inline]] inline int expm1_pair(F64x2 x, F64x2& y) {
  const Rows c(kRows);
  const F64x2 abs_x = simd::abs(x);
  const F64x2 near = simd::less(abs_x, c[kNearLimitRow]);
  const F64x2 beyond = simd::not_less_equal(x, c[kExactDifferenceLimitRow]);
  if (simd::lane_mask(near | beyond) == 0) [[likely]] {
    y = short_form<true>(x, c);
    return 0;
  }
  const int near_lanes = simd::lane_mask(near);
  if (near_lanes == 0) {
    y = short_form<false>(x, c);
    return simd::lane_mask(simd::not_less_equal(x, c[kFastPathLimitRow]));
  }
  const F64x2 tiny = simd::less(abs_x, c[kHalfStepRow]);
  if (near_lanes == 3) {
    const int tiny_lanes = simd::lane_mask(tiny);
    y = tiny_lanes == 0   ? accurate_tail(reduce<true>(x, x, c), c)
        : tiny_lanes == 3 ? tiny_pair(x, c)
                          : expm1_any(x, c);
    return 0;
  }
  if (simd::lane_mask(tiny | beyond) == 0) {
    const F64x2 x_clamped = clamp(x, c);
    const Reduced f = reduce<true>(x_clamped, x_clamped, c);
    y = simd::select(near, accurate_tail(f, c), short_tail(f, c));
    return 0;
  }
  y = simd::select(near, expm1_any(x, c), short_form<false>(x, c));
  return simd::lane_mask(simd::not_less_equal(x, c[kFastPathLimitRow]));
}

// A pair with every lane below 1/4 in magnitude: the accurate form, without clamp, guard
// on k or sign fix when no lane lies below half a step, without the reduction when both do.
[[gnu::always_inline]] inline F64x2 near_pair(F64x2 x, const Rows& c) {
  const int tiny_lanes = simd::lane_mask(simd::less(simd::abs(x), c[kHalfStepRow]));
  if (tiny_lanes == 0) [[likely]] return accurate_tail(reduce<true>(x, x, c), c);
  return tiny_lanes == 3 ? tiny_pair(x, c) : expm1_any(x, c);
}

// The contiguous block (from kTwoPassesFrom elements on, when the result does not
// overlap the arguments) runs in stretches of up to kStretch lanes, in two passes, so
// that a lane near 0 among far ones costs no branch: on fresh arguments a mispredicted
// branch a pair with such a lane cost about 10% on uniform [-10, 10]. The first pass
// gives both pairs of a group of far and near lanes (one near lane a pair at most) the
// short form and queues the near lanes' positions without a branch; the second runs the
// queued arguments through the accurate form two lanes at a time and overwrites their
// results. A group with a lane beyond 36.7 or NaN, or a pair near 0 in both lanes, takes
// its pairs' forms at once: the accurate form for two pairs near 0, the short form with
// Knuth's two-sum for a group without near lanes, expm1_pair otherwise. The short form
// on a near lane raises no flag the accurate form does not raise on it (inexact;
// denormal and underflow for tiny x).
constexpr int kStretch = 512;
constexpr int64_t kTwoPassesFrom = 64;

// The positions of a stretch's near lanes.
struct NearQueue {
  int32_t at[kStretch + 1];

  // Appends the position of the near lane of the pair at i, if any (`lanes`: 0, 1 or 2,
  // the bit of the near lane) after the first `count`; returns the new count.
  [[gnu::always_inline]] int64_t push(int64_t count, int64_t lanes, int64_t i) {
    at[count] = static_cast<int32_t>(i + (lanes >> 1));
    return count + ((lanes + 1) >> 1);
  }

  // Stores the accurate results of the first `count` lanes of a into r. With an odd
  // count the last lane is its own partner.
  void settle(int64_t count, const double* a, double* r) {
    at[count] = at[count - 1];
    const Rows c(kRows);
    for (int64_t q = 0; q < count; q += 2) {
      const F64x2 y = near_pair(F64x2{_mm_loadh_pd(_mm_load_sd(a + at[q]), a + at[q + 1])}, c);
      _mm_storel_pd(r + at[q], y.v);
      _mm_storeh_pd(r + at[q + 1], y.v);
    }
  }
};

// Whole groups of one stretch (n <= kStretch) up to the first holding a special lane;
// returns the number of elements stored.
int64_t run_stretch(int64_t n, const double* a, double* r) {
  NearQueue queue;
  int64_t count = 0;
  int64_t g = 0;
  for (; g + kGroupLanes <= n; g += kGroupLanes) {
    const Rows c(kRows);
    const F64x2 x0 = F64x2::load(a + g);
    const F64x2 x1 = F64x2::load(a + g + 2);
    // Two bits of near lanes, two of lanes beyond 36.7 or NaN, a pair.
    const auto lanes = [&](F64x2 x) {
      return simd::lane_mask(simd::less(simd::abs(x), c[kNearLimitRow])) |
             simd::lane_mask(simd::not_less_equal(x, c[kExactDifferenceLimitRow])) << 2;
    };
    const int64_t lanes0 = lanes(x0);
    const int64_t lanes1 = lanes(x1);
    F64x2 y0, y1;
    if ((lanes0 >= 3) | (lanes1 >= 3)) [[unlikely]] {
      if ((lanes0 == 3) & (lanes1 == 3)) {
        y0 = near_pair(x0, c);
        y1 = near_pair(x1, c);
      } else if (((lanes0 | lanes1) & 3) == 0) {
        y0 = short_form<false>(x0, c);
        y1 = short_form<false>(x1, c);
        if (simd::lane_mask(simd::not_less_equal(x0, c[kFastPathLimitRow]) |
                            simd::not_less_equal(x1, c[kFastPathLimitRow])) != 0) {
          break;
        }
      } else if ((expm1_pair(x0, y0) | expm1_pair(x1, y1)) != 0) {
        break;
      }
    } else {
      y0 = short_form<true>(x0, c);
      y1 = short_form<true>(x1, c);
      count = queue.push(count, lanes0, g);
      count = queue.push(count, lanes1, g + 2);
    }
    y0.store(r + g);
    y1.store(r + g + 2);
  }
  if (count != 0) queue.settle(count, a, r);
  return g;
}

// Whole stretches up to the first group holding a special lane; returns the number of
// elements stored.
[[gnu::noinline]] int64_t run_stretches(int64_t n, const double* a, double* r) {
  int64_t g = 0;
  while (n - g >= kGroupLanes) {
    const int64_t lanes = std::min<int64_t>(n - g, kStretch);
    const int64_t stored = run_stretch(lanes, a + g, r + g);
    g += stored;
    if (stored + kGroupLanes <= lanes) break;
  }
  return g;
}

}  // namespace

int64_t Expm1Double::fast_block(int64_t n, const double* a, double* r) {
  // Short calls would end with the queue's accurate form on the chain's tail, its
  // latency exposed: pair by pair is faster there (n = 16: 40 against 42.7 ns). So are
  // calls whose result overlaps the arguments, which the second pass reads again.
  const auto at = [](const double* p) { return reinterpret_cast<uintptr_t>(p); };
  if (n < kTwoPassesFrom || (at(r) < at(a + n) && at(a) < at(r + n))) [[unlikely]] {
    return run_fast_block(n, a, r, expm1_pair);
  }
  return run_stretches(n, a, r);
}
int Expm1Double::fast_group(const double x[4], double y[4]) {
  return run_fast_group(x, y, expm1_pair);
}

int32_t tess_callout_dExpm1(double x, double* r) {
  if (std::isnan(x) || x == INFINITY) {
    *r = x + x;
    return TESS_STATUS_OK;
  }
  if (x > kOverflowBound) {
    *r = overflowed<double>();
    return TESS_STATUS_OVERFLOW;
  }
  if (x > kFastPathLimit) {  // e^x above 2^1021: the 1 is far below its last place
    return tess_callout_dExp(x, r);
  }
  F64x2 y;
  expm1_pair(F64x2::splat(x), y);
  *r = y.lane0();
  return TESS_STATUS_OK;
}

}  // namespace zorn::tess
