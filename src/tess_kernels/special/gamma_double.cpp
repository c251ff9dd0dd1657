// Double precision ln|Gamma| and Gamma.
//
// Positive arguments: ln Gamma(x) as an unevaluated sum hi + lo, accurate to about 2^-60
// absolutely (and relatively to ln Gamma near its zeros 1 and 2):
// - below 1024, row (binade, top four fraction bits) of a table of expansions about an
//   anchor a, ln Gamma(a + t) = F + t g0 + t^2 Q(t), with t = x - a exact, F a
//   double-double and t g0_head exact (g0's head has few enough bits for t's);
// - from 1024 (Gamma: from 16, where the rows' rounding would exceed its budget of
//   2^-58 absolutely; its float lanes read the rows throughout), Stirling's series
//   (x - 1/2) ln x - x + ln(2 pi)/2 + sum B_2k / (2k (2k - 1) x^(2k-1)), seven terms
//   (the next is below 2^-65 at 16), with ln x from the shared double logarithm core and
//   its product with x - 1/2 carried exactly.
// Gamma(x) = exp(hi + lo) by the table 2^(j/64): an absolute error e in ln Gamma is a
// relative error e in Gamma, so the sum above leaves Gamma within about 0.51 ulp.
//
// Negative arguments of Gamma go through the reflection Gamma(x) = -pi / (x sin(pi x)
// Gamma(-x)) in extended precision, with sin(pi x) from the exact reduction x - round(x).
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

#include "tess_kernels/exp_log/log_core_double.h"
#include "tess_kernels/exp_log/scale_double.h"
#include "tess_kernels/frame/interleaved_schedule.h"
#include "tess_kernels/frame/status_rules.h"
#include "tess_kernels/frame/two_sum_double.h"
#include "tess_kernels/special/gamma_ops.h"
#include "zorn/tess.h"

namespace zorn::tess {
namespace {
#include "tess_kernels/special/data/gamma_tables.inc"
namespace exp_tables {
#include "tess_kernels/exp_log/data/exp_tables.inc"
}  // namespace exp_tables

using simd::F64x2;
using simd::I64x2;

constexpr double kLGammaTableEnd = 0x1p-10 * (1 << kGammaBinades);
constexpr double kFastStart = 0x1p-10;  // the table's first binade
constexpr double kLGammaFastEnd = 0x1p60;
constexpr double kTGammaFastEnd = 171.0;
constexpr double kTGammaLargestFinite = 0x1.573fae561f647p+7;  // about 171.6243769563027
// Negative arguments: above 2^51 every double is an integer or a half; Gamma's results
// stay normal above -170.
constexpr double kReflectionEnd = 0x1p51;
constexpr double kTGammaNegativeEnd = 170.0;
constexpr int kColumns = kGammaDegree + 5;
static_assert(kFastStart == 0x1p-10 && kGammaFirstBinade == -10);
static_assert(kTGammaTableEnd <= kLGammaTableEnd);

struct LnGamma {
  F64x2 hi, lo;
};

// Columns k and k + 1 (k even) of the rows of both lanes.
struct ColumnPair {
  F64x2 even, odd;
};
inline ColumnPair columns(const double* row0, const double* row1, int k) {
  const F64x2 a = F64x2::load_aligned(row0 + k), b = F64x2::load_aligned(row1 + k);
  return {simd::lane0s(a, b), simd::lane1s(a, b)};
}

// g0_tail + g1 t + ... + g11 t^11 of one lane, from its row's columns 4..15 read as
// pairs (c_2j, c_2j+1): the pairs are summed in T = t^2 by Estrin's scheme, giving
// (E, O) with the sum E + t O, so that no column needs a shuffle across lanes.
// t2 holds t^2 in both halves.
// Short: the sum to g7 t^7 only, for results rounded to float.
template <bool kShort>
inline F64x2 even_odd_sums(const double* row, F64x2 t2) {
  const F64x2 t4 = t2 * t2;
  auto linear = [&](int k) {
    return F64x2::load_aligned(row + k) + F64x2::load_aligned(row + k + 2) * t2;
  };
  if constexpr (kShort) return linear(4) + linear(8) * t4;
  return (linear(4) + linear(8) * t4) + linear(12) * (t4 * t4);
}

// F + t g(t), t = x - a, from the rows {a, F_hi, F_lo, g0_head, g0_tail, g1, ..., g11} of
// both lanes, as hi + lo: t g0_head is exact and joins F_hi by a fast two-sum (the table's
// tool checks that the head is short enough for every t of its row and that |F_hi| is at
// least |t g0_head| or F_hi is 0). Inlined, so that the sums stay in registers (a call
// passes and returns them through memory). Short: to g7 and without the two-sum, for
// results rounded to float (every float of the rows then within 0.5004 ulp, measured
// against the extended lgammal).
template <bool kShort = false>
[[gnu::always_inline]] inline LnGamma expansion_sum(const double* row0, const double* row1,
                                                    F64x2 x) {
  static_assert(kColumns == 16);
  const ColumnPair anchor_f = columns(row0, row1, 0);  // a, F_hi
  const F64x2 t = x - anchor_f.even;
  const F64x2 t2 = t * t;
  const F64x2 sums0 = even_odd_sums<kShort>(row0, simd::lane0s(t2, t2));
  const F64x2 sums1 = even_odd_sums<kShort>(row1, simd::lane1s(t2, t2));
  const F64x2 rest = t * (simd::lane0s(sums0, sums1) + t * simd::lane1s(sums0, sums1));
  const ColumnPair f_lo_g0_head = columns(row0, row1, 2);
  if constexpr (kShort) return {anchor_f.odd, (f_lo_g0_head.even + t * f_lo_g0_head.odd) + rest};
  const TwoSum s = fast_two_sum(anchor_f.odd, t * f_lo_g0_head.odd);
  return {s.sum, (f_lo_g0_head.even + s.err) + rest};
}

// The rows anchored at the zeros 1 and 2 (F = 0) sum t (g0 + g1 t + ...) with t up to
// 1/8, where t g0_tail and t^2 g1 are up to a twentieth and a tenth of the result and the
// roundings of rest added up to 0.3 ulp. Here both are exact: t g0_tail by Dekker's
// product, t^2 g1_head as t (t g1_head) by another, g1_head being g1 cut to 4 bits as
// g0's head is (so that t g1_head is exact); what rounds is t^2 g1_tail + t^3 (g2 + ...),
// below a hundredth of the result. Out of line: about 4 % of the pairs of arguments 2^u,
// u uniform on [-4, 10], hold such a lane.
[[gnu::noinline]] LnGamma zero_row_sum(const double* row0, const double* row1, F64x2 x) {
  const F64x2 t = x - columns(row0, row1, 0).even;
  const F64x2 t2 = t * t;
  // g2 + g3 t + ... + g11 t^9 of one lane as (E, O) with the sum E + t O, as in even_odd_sums.
  const auto high_sums = [](const double* row, F64x2 tt) {
    const auto linear = [&](int k) {
      return F64x2::load_aligned(row + k) + F64x2::load_aligned(row + k + 2) * tt;
    };
    const F64x2 t4 = tt * tt;
    return (linear(6) + linear(10) * t4) + F64x2::load_aligned(row + 14) * (t4 * t4);
  };
  const F64x2 sums0 = high_sums(row0, simd::lane0s(t2, t2));
  const F64x2 sums1 = high_sums(row1, simd::lane1s(t2, t2));
  const F64x2 high = simd::lane0s(sums0, sums1) + t * simd::lane1s(sums0, sums1);
  const ColumnPair g0_tail_g1 = columns(row0, row1, 4);
  const F64x2 g1 = g0_tail_g1.odd;
  const F64x2 g1_head = simd::from_bits(simd::bits(g1) & I64x2::splat(-(int64_t{1} << 49)));
  const F64x2 small = t2 * ((g1 - g1_head) + t * high);
  const TwoSum tail = two_product(t, g0_tail_g1.even);
  const TwoSum square = two_product(t, t * g1_head);
  const TwoSum first = two_sum(t * columns(row0, row1, 2).odd, tail.sum);  // F_lo = 0 too
  const TwoSum all = two_sum(first.sum, square.sum);
  return {all.sum, ((first.err + all.err) + (tail.err + square.err)) + small};
}

// expansion_sum's full sums, with zero_row_sum for lanes of the rows anchored at 1 and 2
// other than those set in `common`.
[[gnu::always_inline]] inline LnGamma rows_sum(const double* row0, const double* row1, F64x2 x,
                                               F64x2 common) {
  const LnGamma l = expansion_sum<false>(row0, row1, x);
  const F64x2 off_zero = simd::not_equal(columns(row0, row1, 0).odd, F64x2{}) | common;
  if (simd::lane_mask(off_zero) == 3) [[likely]] return l;
  const LnGamma z = zero_row_sum(row0, row1, x);
  return {simd::select(off_zero, l.hi, z.hi), simd::select(off_zero, l.lo, z.lo)};
}

// The row of 2^-10 <= x < 1024 from the top 16 bits of its representation (the exponent
// and four fraction bits).
inline const double* expansion_row(uint32_t top_bits) {
  constexpr uint32_t kFirstRowKey = (1023 + kGammaFirstBinade) << 4;
  return kLGammaExpansions[top_bits - kFirstRowKey];
}

// The table rows of both lanes, 2^-10 <= x < 1024. Without kZeroRows, or in the lanes set
// in `common`, the rows anchored at 1 and 2 take the common sums, for callers that need
// ln Gamma there only to about 2^-60 absolutely (Gamma, and the reflection, whose terms
// about the poles -1 and -2 dwarf it).
template <bool kShort, bool kZeroRows = !kShort>
[[gnu::always_inline]] inline LnGamma lgamma_table(F64x2 x, F64x2 common = F64x2{}) {
  const I64x2 ix = simd::bits(x);
  const double* row0 = expansion_row(ix.lane0_bits() >> 48);
  const double* row1 = expansion_row(ix.lane1_bits() >> 48);
  if constexpr (kShort || !kZeroRows) return expansion_sum<kShort>(row0, row1, x);
  return rows_sum(row0, row1, x, common);
}

// The same for x = (a[0], a[1]) in memory: the top bits are read by scalar loads, which
// leave the vector ports (that bind this loop) to the sums.
[[gnu::always_inline]] inline LnGamma lgamma_table_at(const double* a) {
  const auto top_bits = [&](int lane) {
    uint16_t bits;
    std::memcpy(&bits, reinterpret_cast<const char*>(a + lane) + 6, sizeof bits);
    return expansion_row(bits);
  };
  return rows_sum(top_bits(0), top_bits(1), F64x2::load(a), F64x2{});
}

// Stirling's series, 16 <= x < 2^60.
LnGamma lgamma_stirling(F64x2 x) {
  const LogParts ln = log_parts<false>(x);
  const F64x2 y = x - F64x2::splat(0.5);
  const TwoSum p = two_product(y, ln.head);
  const TwoSum a = two_sum(p.sum, F64x2{} - x);
  const TwoSum b = two_sum(a.sum, F64x2::splat(kHalfLnTwoPiHi));
  const F64x2 z = F64x2::splat(1.0) / x;
  const F64x2 w = z * z;
  const F64x2 series =
      z * (F64x2::splat(1.0 / 12) +
           w * (F64x2::splat(-1.0 / 360) +
                w * (F64x2::splat(1.0 / 1260) +
                     w * (F64x2::splat(-1.0 / 1680) +
                          w * (F64x2::splat(1.0 / 1188) +
                               w * (F64x2::splat(-691.0 / 360360) + w * F64x2::splat(1.0 / 156)))))));
  const F64x2 lo = (a.err + b.err) + ((p.err + y * ln.tail) + (series + F64x2::splat(kHalfLnTwoPiLo)));
  return {b.sum, lo};
}

// ln Gamma of lanes in [2^-10, 2^60); the other lanes must hold such values too. The
// rows serve below kEnd, Stirling's series from there. Groups whose two lanes fall in
// one range take one method. Whole: the rows' sums as a two-sum, for exp_sum, whose
// series needs lo within an ulp of hi (the rows leave t (g(t) - g0_head) in lo, up to
// about 2^-6, and the short sums all of t g(t)). `common` as for lgamma_table.
template <double kEnd, bool kShort = false, bool kWhole = false>
[[gnu::always_inline]] inline LnGamma lgamma_positive(F64x2 x, F64x2 common = F64x2{}) {
  static_assert(kEnd >= 16 && kEnd <= kLGammaTableEnd);
  const auto table = [common](F64x2 v) {
    const LnGamma l = lgamma_table<kShort, !kShort && !kWhole>(v, common);
    if constexpr (!kWhole) return l;
    const TwoSum whole = two_sum(l.hi, l.lo);
    return LnGamma{whole.sum, whole.err};
  };
  const F64x2 mask = simd::less(x, F64x2::splat(kEnd));
  const int in_table = simd::lane_mask(mask);
  if (in_table == 3) return table(x);
  if (in_table == 0) return lgamma_stirling(x);
  const LnGamma t = table(simd::select(mask, x, F64x2::splat(1.5)));
  const LnGamma s = lgamma_stirling(simd::select(mask, F64x2::splat(kEnd), x));
  return {simd::select(mask, t.hi, s.hi), simd::select(mask, t.lo, s.lo)};
}

// exp(hi + lo) for hi up to ln(2^1024) and |lo| far below 1: 2^(n/64) exp(r) with n the
// nearest integer to 64 hi / ln 2, r = hi - n ln2/64 + lo (n ln2/64's head is exact) and
// exp(r) - 1 by its Taylor series to r^6 (|r| < 0.0055: truncation below 2^-65).
F64x2 exp_sum(LnGamma e) {
  const F64x2 shifter = F64x2::splat(6755399441055744.0);  // 1.5 * 2^52
  const F64x2 t = e.hi * F64x2::splat(kSixtyFourOverLn2) + shifter;
  const F64x2 n = t - shifter;
  const F64x2 r = ((e.hi - n * F64x2::splat(kLn2Over64Hi)) - n * F64x2::splat(kLn2Over64Lo)) + e.lo;
  const F64x2 p =
      r + (r * r) *
              (F64x2::splat(0.5) +
               r * (F64x2::splat(1.0 / 6) +
                    r * (F64x2::splat(1.0 / 24) + r * (F64x2::splat(1.0 / 120) + r * F64x2::splat(1.0 / 720)))));
  const I64x2 t_bits = simd::bits(t);
  const F64x2 row0 = F64x2::load_aligned(exp_tables::kExp2Over64Absolute[t_bits.low32_lane0() & 63]);
  const F64x2 row1 = F64x2::load_aligned(exp_tables::kExp2Over64Absolute[t_bits.low32_lane1() & 63]);
  const F64x2 hi = simd::lane0s(row0, row1);
  const F64x2 lo = simd::lane1s(row0, row1);
  return (hi + (p * hi + lo)) * scale_from_shifted_integer(t_bits);
}

// The reflection Gamma(-y) Gamma(y) = -pi / (y sin(pi y)) with |sin(pi y)| = |sin(pi r)|,
// r = y - round(y) exact, gives
//   ln|Gamma(-y)| = -(ln Gamma(y) + ln(y |r|) + s(|r|)),  s(r) = ln(sin(pi r) / (pi r)),
// where ln pi cancels exactly. y |r| is carried exactly (Dekker) into the shared double
// logarithm, and s comes from its table of expansions (2^-66 absolutely). The lanes hold
// 2^-10 <= y < 2^51, so that the shifter 1.5 * 2^52 rounds y to an integer; r = 0 (a
// pole) is computed at 1/2. Short: y |r| rounded and s summed to r^7, about 2^-50
// absolutely, for results rounded to float away from the zeros of ln|Gamma|.
struct Reflection {
  LnGamma term;  // ln(y |r|) + s(|r|)
  F64x2 pole;    // lanes with r = 0
  F64x2 sign;    // the sign bit of Gamma(-y): set where floor(y) is even
};
template <bool kShort = false>
[[gnu::always_inline]] inline Reflection reflection(F64x2 y) {
  const F64x2 shifter = F64x2::splat(6755399441055744.0);  // 1.5 * 2^52
  const F64x2 shifted = y + shifter;
  const F64x2 r = y - (shifted - shifter);
  const F64x2 pole = simd::less(simd::abs(r), F64x2::splat(0x1p-70));
  const F64x2 ar = simd::select(pole, F64x2::splat(0.5), simd::abs(r));
  const __m128i rows = simd::truncate_to_int32(ar * F64x2::splat(64.0));
  const LnGamma s = expansion_sum<kShort>(kLnSinpiRatio[simd::int32_lane(rows, 0)],
                                          kLnSinpiRatio[simd::int32_lane(rows, 1)], ar);
  F64x2 lo;
  LogParts ln;
  if constexpr (kShort) {
    ln = log_parts<false>(y * ar);
    lo = ln.tail + s.lo;
  } else {
    const TwoSum p = two_product(y, ar);
    ln = log_parts<false>(p.sum);
    lo = (ln.tail + p.err / p.sum) + s.lo;
  }
  const TwoSum head = two_sum(ln.head, s.hi);
  // floor(y) = round(y) - (r < 0): even where round(y)'s parity bit differs from r's sign.
  const F64x2 parity = simd::from_bits(simd::bits(shifted) << 63);
  const F64x2 sign = (parity ^ r ^ F64x2::splat(-0.0)) & F64x2::splat(-0.0);
  return {{head.sum, head.err + lo}, pole, sign};
}

// -(l + refl), the logarithm of |Gamma(-y)| from that of Gamma(y).
[[gnu::always_inline]] inline LnGamma reflected(LnGamma l, const Reflection& refl) {
  const TwoSum head = two_sum(l.hi, refl.term.hi);
  return {F64x2{} - head.sum, F64x2{} - (head.err + (l.lo + refl.term.lo))};
}

// Special lanes: magnitudes below 2^-10, from `end` up, and NaN. They are computed on 2
// instead, so that no lane reads outside the tables.
inline F64x2 magnitude_range(F64x2 ax, double end, int& special) {
  const F64x2 mask = simd::less(ax, F64x2::splat(kFastStart)) | simd::not_less(ax, F64x2::splat(end));
  special = simd::lane_mask(mask);
  return simd::select(mask, F64x2::splat(2.0), ax);
}

// Negative lanes of magnitude y from `end` up are special too, and so are their poles;
// y >= 2^51 is reflected as 1/2.
template <bool kShort = false>
[[gnu::always_inline]] inline Reflection negative_lanes(F64x2 y, F64x2 negative, double end, int& special) {
  const F64x2 beyond = simd::not_less(y, F64x2::splat(end));
  const Reflection refl = reflection<kShort>(simd::select(beyond, F64x2::splat(0.5), y));
  special |= simd::lane_mask(negative & (beyond | refl.pole));
  return refl;
}

// ln Gamma(1 + x) for |x| < 2^-10: -gamma x + sum_k (-1)^k zeta(k) x^k / k, to k = 7.
long double lgamma_one_plus(long double x) {
  constexpr long double kEulerGamma = 0.5772156649015328606065120900824024310L;
  constexpr long double kZeta[] = {1.644934066848226436472415166646025189L,
                                   1.202056903159594285399738161511449991L,
                                   1.082323233711138191516003696541167903L,
                                   1.036927755143369926331365486457034168L,
                                   1.017343061984449139714517929790920528L,
                                   1.008349277381922826839797549849796760L};
  long double sum = 0;
  for (int k = 7; k >= 2; --k) sum = sum * -x + kZeta[k - 2] / k;
  return x * (-kEulerGamma + x * sum);
}

// Negative lanes where |ln|Gamma|| is below bound (1 + ln Gamma(y)), about its zeros,
// where the reflection's terms cancel.
inline int near_zeros(F64x2 n, F64x2 l, F64x2 negative, double bound) {
  const F64x2 scale = F64x2::splat(bound) * (F64x2::splat(1.0) + simd::abs(l));
  return simd::lane_mask(negative & simd::less(simd::abs(n), scale));
}

constexpr double kShortSumsNearZero = 0x1p-12;

// Inlined into the block loop, whose constants then stay in registers. With kDouble,
// negative lanes near the zeros (bound 2^-5) leave for the callout: there the
// reflection's terms cancel beyond what a double result allows (at the bound 0.53 ulp
// measured against MPFR, at 2^-8 0.72). A float result needs no such check: no float
// comes closer to a zero than 2^-23.4 (1 + ln Gamma(y)) (every float above -40 measured;
// below, the zeros lie within 1/40! of the poles, far inside the floats' spacing). For
// floats the short sums serve first; a pair with a lane within 2^-12 of a zero in that
// measure, where their error of about 2^-42 (1 + ln Gamma(y)) would show, takes the full
// sums again.
template <bool kDouble>
[[gnu::always_inline]] inline int lgamma_pair(F64x2 x, F64x2& y) {
  int special;
  const F64x2 ay = magnitude_range(simd::abs(x), kLGammaFastEnd, special);
  const F64x2 negative = simd::less(x, F64x2{});
  if (simd::lane_mask(negative) == 0) {
    const LnGamma l = lgamma_positive<kLGammaTableEnd, !kDouble>(ay);
    y = l.hi + l.lo;
    return special;
  }
  if constexpr (!kDouble) {
    int short_special = special;
    const LnGamma l = lgamma_positive<kLGammaTableEnd, true>(ay);
    const LnGamma n = reflected(l, negative_lanes<true>(ay, negative, kReflectionEnd, short_special));
    const F64x2 ln_abs = n.hi + n.lo, ln_positive = l.hi + l.lo;  // lo is not small here
    if (near_zeros(ln_abs, ln_positive, negative, kShortSumsNearZero) == 0) {
      y = simd::select(negative, ln_abs, ln_positive);
      return short_special;
    }
  }
  // Negative lanes as in lgamma_negative: the common sums in the rows anchored at 1 and 2.
  const LnGamma l = lgamma_positive<kLGammaTableEnd>(ay, negative);
  const Reflection refl = negative_lanes(ay, negative, kReflectionEnd, special);
  const LnGamma n = reflected(l, refl);
  const F64x2 ln_abs = n.hi + n.lo, ln_positive = l.hi + l.lo;  // lo is not small here
  if constexpr (kDouble) special |= near_zeros(ln_abs, ln_positive, negative, 0x1p-5);
  y = simd::select(negative, ln_abs, ln_positive);
  return special;
}

// The lanes of a group outside the table's range [2^-10, 1024), NaN among them.
inline int lgamma_group_outside(F64x2 x0, F64x2 x1) {
  const F64x2 low = F64x2::splat(kFastStart), high = F64x2::splat(kLGammaTableEnd);
  return simd::lane_mask(simd::less(x0, low) | simd::less(x1, low) | simd::not_less(x0, high) |
                         simd::not_less(x1, high));
}

// ln|Gamma(-y)| for 2^-10 <= y < 1024 into n, the pair's result for those lanes; returns
// the mask of the lanes the pair would not settle this way: with kDouble the poles and
// the lanes near the zeros it sends to the callout, for floats the lanes near the zeros
// that need the full sums (the poles are special lanes of the single loop).
template <bool kDouble>
[[gnu::always_inline]] inline int lgamma_negative(F64x2 y, F64x2& n) {
  const LnGamma l = lgamma_table<!kDouble, false>(y);
  const Reflection refl = reflection<!kDouble>(y);
  const LnGamma reflected_sum = reflected(l, refl);
  const F64x2 every_lane = simd::from_bits(I64x2::splat(-1));
  n = reflected_sum.hi + reflected_sum.lo;
  const int near = near_zeros(n, l.hi + l.lo, every_lane, kDouble ? 0x1p-5 : kShortSumsNearZero);
  return kDouble ? simd::lane_mask(refl.pole) | near : near;
}

// Short: the short sums, whose absolute error in ln Gamma (about 2^-42) is a relative
// error far inside a float's unit. They read the rows up to 1024, so that float lanes
// (below 43 in magnitude) need no Stirling series: from 16 the rows' error grows past
// double Gamma's budget, to about 2^-46 absolutely below 64.
template <bool kShort>
int tgamma_pair(F64x2 x, F64x2& y) {
  int special;
  const F64x2 ay = magnitude_range(simd::abs(x), kTGammaFastEnd, special);
  constexpr double kTableEnd = kShort ? kLGammaTableEnd : kTGammaTableEnd;
  const LnGamma l = lgamma_positive<kTableEnd, kShort, true>(ay);
  const F64x2 negative = simd::less(x, F64x2{});
  if (simd::lane_mask(negative) == 0) {
    y = exp_sum(l);
    return special;
  }
  const Reflection refl = negative_lanes<kShort>(ay, negative, kTGammaNegativeEnd, special);
  const LnGamma n = reflected(l, refl);
  const F64x2 magnitude = exp_sum({simd::select(negative, n.hi, l.hi), simd::select(negative, n.lo, l.lo)});
  y = magnitude | (negative & refl.sign);
  return special;
}

[[gnu::always_inline]] inline int lgamma_pair_double(F64x2 x, F64x2& y) {
  return lgamma_pair<true>(x, y);
}
[[gnu::always_inline]] inline int lgamma_pair_single(F64x2 x, F64x2& y) {
  return lgamma_pair<false>(x, y);
}

// The single precision lanes the double pair takes; the others are meaningless.
template <int (*Pair)(F64x2, F64x2&)>
[[gnu::always_inline]] inline simd::F32x4 widened(simd::F32x4 x) {
  F64x2 low, high;
  Pair(simd::low_to_double(x), low);
  Pair(simd::high_to_double(x), high);
  return simd::to_float(low, high);
}

// The groups of LGammaDouble::fast_block with a lane outside the table's range: those
// whose four lanes lie in its mirror image on the negative axis run both pairs'
// reflections without the pair's range branches, the others take the pair. Out of line,
// so that the common loop keeps its registers. ln Gamma's group paths interleave their
// two pairs: 1.15-1.5x faster; Gamma's measured no gain.
[[gnu::noinline, TESS_INTERLEAVED]] int lgamma_group_double(
    F64x2 x0, F64x2 x1, F64x2& y0, F64x2& y1) {
  const F64x2 m0 = F64x2{} - x0, m1 = F64x2{} - x1;
  if (lgamma_group_outside(m0, m1) == 0 &&
      (lgamma_negative<true>(m0, y0) | lgamma_negative<true>(m1, y1)) == 0) {
    return 0;
  }
  return lgamma_pair_double(x0, y0) | lgamma_pair_double(x1, y1);
}

}  // namespace

// Groups whose four lanes all lie in the table's range, or all in its mirror image on the
// negative axis, take both pairs' rows (and reflections) without the pair's range
// branches; the pair's result for those lanes, bit for bit. Poles on the negative axis
// are special lanes of the caller, so their meaningless results do not matter here.
[[TESS_INTERLEAVED]] simd::F32x4 lgamma_widened(simd::F32x4 x) {
  using simd::F32x4;
  const F32x4 low = F32x4::splat(static_cast<float>(kFastStart));
  const F32x4 high = F32x4::splat(static_cast<float>(kLGammaTableEnd));
  if ((simd::lane_mask_less(x, low) | simd::lane_mask_not_less(x, high)) == 0) {
    const LnGamma l0 = lgamma_table<true>(simd::low_to_double(x));
    const LnGamma l1 = lgamma_table<true>(simd::high_to_double(x));
    return simd::to_float(l0.hi + l0.lo, l1.hi + l1.lo);
  }
  const F32x4 y = F32x4{} - x;
  if ((simd::lane_mask_less(y, low) | simd::lane_mask_not_less(y, high)) == 0) {
    F64x2 n0, n1;
    if ((lgamma_negative<false>(simd::low_to_double(y), n0) |
         lgamma_negative<false>(simd::high_to_double(y), n1)) == 0) {
      return simd::to_float(n0, n1);
    }
  }
  return widened<lgamma_pair_single>(x);
}
simd::F32x4 tgamma_widened(simd::F32x4 x) { return widened<tgamma_pair<true>>(x); }

// Groups whose four lanes all lie in the table's range, the common case, run both pairs'
// rows without the pair's range branches, which kept the two pairs from overlapping.
[[TESS_INTERLEAVED]] int64_t LGammaDouble::fast_block(
    int64_t n, const double* a, double* r) {
  int64_t g = 0;
  for (; g + kGroupLanes <= n; g += kGroupLanes) {
    const F64x2 x0 = F64x2::load(a + g), x1 = F64x2::load(a + g + 2);
    F64x2 y0, y1;
    if (lgamma_group_outside(x0, x1) == 0) {
      const LnGamma l0 = lgamma_table_at(a + g), l1 = lgamma_table_at(a + g + 2);
      y0 = l0.hi + l0.lo;
      y1 = l1.hi + l1.lo;
    } else if (lgamma_group_double(x0, x1, y0, y1) != 0) {
      break;
    }
    y0.store(r + g);
    y1.store(r + g + 2);
  }
  return g;
}
int LGammaDouble::fast_group(const double x[4], double y[4]) {
  return run_fast_group(x, y, lgamma_pair_double);
}
int64_t TGammaDouble::fast_block(int64_t n, const double* a, double* r) {
  return run_fast_block(n, a, r, tgamma_pair<false>);
}
int TGammaDouble::fast_group(const double x[4], double y[4]) {
  return run_fast_group(x, y, tgamma_pair<false>);
}

int32_t tess_callout_dLGamma(double x, double* r) {
  F64x2 y;
  if (lgamma_pair_double(F64x2::splat(x), y) == 0) {
    *r = y.lane0();
    return TESS_STATUS_OK;
  }
  // Small and huge arguments, poles, and the zeros on the negative axis in extended
  // precision, rounded once.
  int sign;
  *r = static_cast<double>(::lgammal_r(x, &sign));  // reentrant: no shared sign
  return classify(kPole | kOverflow, *r, x <= 0 && x == std::floor(x), x);
}

int32_t tess_callout_dTGamma(double x, double* r) {
  constexpr uint32_t kRule = kDomain | kPole | kOverflow | kUnderflow;
  if (std::isnan(x)) {
    *r = x + x;
    return TESS_STATUS_OK;
  }
  F64x2 y;
  if (tgamma_pair<false>(F64x2::splat(x), y) == 0) {
    *r = y.lane0();
  } else if (x >= kTGammaFastEnd && x <= kTGammaLargestFinite) {
    // Near the overflow threshold 2^(n/64) may round up to 2^1024: exp(hi + lo - ln 2)
    // doubled instead (hi less 64 times the 32-bit head of ln2/64 is exact).
    const LnGamma l = lgamma_positive<kTGammaTableEnd>(F64x2::splat(x));
    const LnGamma half = {l.hi - F64x2::splat(64 * kLn2Over64Hi),
                          l.lo - F64x2::splat(64 * kLn2Over64Lo)};
    *r = 2 * exp_sum(half).lane0();
  } else if (x > kTGammaLargestFinite) {
    *r = INFINITY;
  } else if (x == 0) {
    *r = 1 / x;
  } else if (x == std::floor(x)) {
    *r = std::numeric_limits<double>::quiet_NaN();  // negative integers and -inf
  } else if (x > -kFastStart) {
    *r = static_cast<double>(std::exp(lgamma_one_plus(x)) / x);  // Gamma(1 + x) / x
  } else {
    // Gamma(x) = -pi / (x sin(pi x) Gamma(-x)); sin(pi x) = (-1)^m sin(pi (x - m)) with
    // m = round(x) and x - m exact. Gamma(-x) = exp(hi) exp(lo) keeps the full precision
    // of ln Gamma's sum; below -200 the result is far below the subnormals.
    constexpr long double kPi = 3.141592653589793238462643383279502884L;
    const double m = std::nearbyint(x);
    const long double s = std::sin(kPi * static_cast<long double>(x - m));
    const bool odd = std::fmod(m, 2.0) != 0;
    if (x < -200) {
      *r = (odd != (s > 0)) ? 0.0 : -0.0;
    } else {
      const LnGamma l = lgamma_positive<kTGammaTableEnd>(F64x2::splat(-x));
      const long double g = std::exp(static_cast<long double>(l.hi.lane0())) *
                            std::exp(static_cast<long double>(l.lo.lane0()));
      *r = static_cast<double>(-kPi / (static_cast<long double>(x) * (odd ? -s : s) * g));
    }
  }
  return classify(kRule, *r, x == 0, x);
}

}  // namespace zorn::tess
