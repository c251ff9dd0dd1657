// ln |x|, arg x and b = c arg x + d ln |x| to about 2^-104 of their terms, in
// double-double arithmetic (Dekker's products, Knuth's sums), sums of many terms by Ogita,
// Rump and Oishi's cascaded summation, and each of ln |x| and arg x corrected once by the
// Newton step on the inverse function (Muller, "Elementary Functions"): from a double
// approximation within an ulp, the exponential or the tangent of the remainder in
// double-double. b is reduced by multiples of pi/2 in three parts (Cody and Waite), each
// product kept exactly, and cos, sin of the rest are Taylor series in double-double.
#include "tess_kernels/complex/power_small_part.h"

#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>

#include "tess_kernels/complex/rounds_to_nearest.h"
#include "tess_kernels/exp_log/log_core_double.h"
#include "tess_kernels/trig/quarter_turn_double.h"

namespace zorn::tess::cx {
namespace {

// ln 2 = kLn2Hi + kLn2Lo + kLn2Rest to 2^-156; kLn2Hi has 42 bits, so that e kLn2Hi is
// exact for |e| < 2^11.
constexpr double kLn2Hi = log_table_double::kLn2Hi;
constexpr double kLn2Lo = log_table_double::kLn2Lo;
constexpr double kLn2Rest = 0x1.f97b57a079a19p-103;
// Below this ratio of the smaller part of x to the larger, atan q = q to 2^-120 relative.
constexpr double kTinyOctantRatio = 0x1p-60;

constexpr DoubleDouble negated(DoubleDouble v) { return {-v.hi, -v.lo}; }

// v rounded to the nearest integer in every rounding: nearbyint follows the caller's, and
// a directed one moves a row index by one (beyond the last row near pi/4) and a quarter
// turn k up from 0 for a tiny positive angle (Im 1.0000000000000000017i^24 came out as
// 1.19 rounding upward).
inline double nearest_integer(double v) {
  return rounds_to_nearest() ? std::nearbyint(v) : std::round(v);
}

// The sum of the terms to about 2^-104 of the sum plus 2^-140 of the sum of the terms'
// magnitudes, however much they cancel: two passes of the error-free vector
// transformation, then the plain sum of the errors (Ogita, Rump and Oishi, "Accurate sum
// and dot product", SumK with K = 3).
template <size_t N>
DoubleDouble accurate_sum(std::array<double, N> p) {
  for (int pass = 0; pass < 2; ++pass) {
    for (size_t i = 1; i < N; ++i) {
      const DoubleDouble s = two_sum(p[i], p[i - 1]);
      p[i] = s.hi;
      p[i - 1] = s.lo;
    }
  }
  double rest = 0;
  for (size_t i = 0; i + 1 < N; ++i) rest += p[i];
  return two_sum(p[N - 1], rest);
}

// 1/m as double-double, formed exactly at compile time: q = 1/m rounded, split so that
// both halves' products with m (at most 10 bits) are exact; 1 - q m then is exact.
constexpr DoubleDouble reciprocal(double m) {
  const double q = 1 / m;
  const DoubleDouble h = split(q);
  return {q, ((1 - h.hi * m) - h.lo * m) / m};
}

// 1/n! for n <= 30, each within n 2^-106 relative (a product of rounded double-doubles).
constexpr std::array<DoubleDouble, 31> kInverseFactorials = [] {
  std::array<DoubleDouble, 31> f{};
  f[0] = {1.0, 0.0};
  for (int n = 1; n < 31; ++n) f[n] = dd_product(f[n - 1], reciprocal(n));
  return f;
}();

// sum over k = 0 .. last of sign^k 1/(first + step k)! v^k by Horner's rule, the terms
// past dd_last in doubles: their errors of 2^-53 weigh v^(dd_last + 1) times their
// coefficients against the first, which the callers keep below 2^-54.
constexpr DoubleDouble factorial_series(DoubleDouble v, int first, int step, double sign,
                                        int dd_last, int last) {
  const auto coefficient = [&](int k) {
    const DoubleDouble f = kInverseFactorials[first + step * k];
    return (k % 2 == 1 && sign < 0) ? negated(f) : f;
  };
  double tail = 0;
  for (int k = last; k > dd_last; --k) tail = coefficient(k).hi + v.hi * tail;
  DoubleDouble sum = {tail, 0.0};
  for (int k = dd_last; k >= 0; --k) sum = dd_sum(coefficient(k), dd_product(sum, v));
  return sum;
}

// The series below on the rest of a reduction by multiples of 1/32, against tables of
// e^(j/32) - 1, cos(j/32) and sin(j/32) formed at compile time by the same series taken
// far enough for the whole range (e^h - 1 to h^29 / 29! for |h| <= 0.75, cos and sin to
// z^14 for z < 0.7: the first terms left out below 2^-112).
constexpr double kStep = 1.0 / 32;
constexpr int kExpRows = 24, kTrigRows = 27;
constexpr std::array<DoubleDouble, 2 * kExpRows + 1> kExpTable = [] {
  std::array<DoubleDouble, 2 * kExpRows + 1> t{};
  for (int j = -kExpRows; j <= kExpRows; ++j) {
    t[j + kExpRows] = dd_times(factorial_series({j * kStep, 0.0}, 1, 1, 1, 28, 28), j * kStep);
  }
  return t;
}();
constexpr std::array<std::array<DoubleDouble, 2>, kTrigRows> kCosSinTable = [] {
  std::array<std::array<DoubleDouble, 2>, kTrigRows> t{};
  for (int j = 0; j < kTrigRows; ++j) {
    const DoubleDouble r = {j * kStep, 0.0}, z = dd_product(r, r);
    t[j] = {factorial_series(z, 0, 2, -1, 14, 14),
            dd_product(r, factorial_series(z, 1, 2, -1, 14, 14))};
  }
  return t;
}();

// e^h - 1 for |h| <= ln 2 (1 + 2^-40): with h = j/32 + s, |s| <= 1/64, e^h - 1 =
// d + (e^s - 1) + d (e^s - 1), d = e^(j/32) - 1, the terms of one sign or the first at
// least twice the others; e^s - 1 = s (1 + s/2! + ...) to s^12 / 13! (the first term
// left out below 2^-114 |s|), the terms from s^7 / 8! in doubles weighing below 2^-57.
DoubleDouble expm1(double h) {
  const double j = nearest_integer(h / kStep);
  const double s = h - j * kStep;  // exact
  const DoubleDouble es = dd_times(factorial_series({s, 0.0}, 1, 1, 1, 6, 12), s);
  const DoubleDouble d = kExpTable[static_cast<int>(j) + kExpRows];
  return dd_sum(d, dd_sum(es, dd_product(d, es)));
}

// cos r and sin r for |r| <= pi/4 + 2^-11: with |r| = j/32 + s, |s| <= 1/64, the sums of
// the table's rows turned by s (cos r >= 0.7; sin |r| is at least half its larger term),
// cos s and sin s by their Taylor series sum (-z)^k / (2k)! and s sum (-z)^k / (2k + 1)!,
// z = s^2 <= 2^-12, to z^6 (the first terms left out below 2^-120), the terms from z^4 in
// doubles weighing below 2^-60.
struct CosSinSums {
  DoubleDouble cos, sin;
};
CosSinSums cos_sin(DoubleDouble r) {
  const bool negative = r.hi < 0;
  if (negative) r = negated(r);
  const double j = nearest_integer(r.hi / kStep);
  const DoubleDouble s = two_sum(r.hi - j * kStep, r.lo);  // the difference exact
  const DoubleDouble z = dd_product(s, s);
  const DoubleDouble cs = factorial_series(z, 0, 2, -1, 3, 6);
  const DoubleDouble ss = dd_product(s, factorial_series(z, 1, 2, -1, 3, 6));
  const auto& row = kCosSinTable[static_cast<int>(j)];
  const DoubleDouble c = dd_sum(dd_product(row[0], cs), negated(dd_product(row[1], ss)));
  const DoubleDouble sn = dd_sum(dd_product(row[1], cs), dd_product(row[0], ss));
  return {c, negative ? negated(sn) : sn};
}

// ln |x + iy| from big = max(|x|, |y|) > 0 and small = min(|x|, |y|), to about 2^-104
// relative (2^-106 absolute near |x + iy| = 1). With x + iy scaled by 2^-e so that
// n = (big^2 + small^2) 2^-2e lies in [1/2, 2), ln |x + iy| = e ln 2 + (ln n) / 2, where
// f = n - 1 is summed from Dekker's squares, L0 = log1p(f) (within an ulp, so that
// |L0| <= ln 2 (1 + 2^-40)), and ln n = L0 + ln(1 + g) with g = n e^-L0 - 1 =
// f + E + f E, E = e^-L0 - 1, all of similar size, so that g (about 2^-52 L0) is exact
// to about 2^-104 L0; ln(1 + g) = g - g^2 / 2 to 2^-150 L0.
DoubleDouble precise_log_modulus(double big, double small) {
  int e = std::ilogb(big);
  double bs = std::ldexp(big, -e), ss = std::ldexp(small, -e);
  if (bs * bs + ss * ss >= 2) {
    ++e;
    bs *= 0.5;
    ss *= 0.5;
  }
  const DoubleDouble b2 = two_product(bs, bs), s2 = two_product(ss, ss);
  const DoubleDouble b2_less_one = two_sum(b2.hi, -1.0);
  const DoubleDouble f =
      accurate_sum<5>({b2_less_one.hi, b2_less_one.lo, b2.lo, s2.hi, s2.lo});
  const double l0 = std::log1p(f.hi + f.lo);
  const DoubleDouble em = expm1(-l0), fe = dd_product(f, em);
  const DoubleDouble g = accurate_sum<6>({f.hi, f.lo, em.hi, em.lo, fe.hi, fe.lo});
  const DoubleDouble ln_n = two_sum(l0, g.hi);
  const double ln_n_lo = ln_n.lo + (g.lo - 0.5 * g.hi * g.hi);
  const DoubleDouble e_lo = two_product(e, kLn2Lo);
  return accurate_sum<6>({e * kLn2Hi, e_lo.hi, e_lo.lo, e * kLn2Rest, 0.5 * ln_n.hi,
                          0.5 * ln_n_lo});
}

// arg(x + iy): the octant's angle t turned by m quarter turns, m pi/2 + s t (m in {0, 1, 2}
// and s = -+1: pi/2 - t above the diagonal, pi - that left of the imaginary axis), then
// the sign of y.
DoubleDouble precise_argument(double x, double y, double big, double small) {
  namespace qt = quarter_turn;
  const DoubleDouble t = octant_angle(big, small);
  double m = 0, s = 1;
  if (std::fabs(y) > std::fabs(x)) m = 1, s = -1;
  if (std::signbit(x)) m = 2 - m, s = -s;
  const DoubleDouble a = accurate_sum<5>(
      {m * qt::kPiOver2Hi, m * qt::kPiOver2Mid, m * qt::kPiOver2Lo, s * t.hi, s * t.lo});
  return std::signbit(y) ? negated(a) : a;
}

}  // namespace

// atan(small / big) in [0, pi/4] for 0 <= small <= big, big > 0, to about 2^-104
// relative. Scaled by 2^-e into [1, 2), t0 = atan2 (within an ulp) and with cos t0,
// sin t0 as double-double, tan(t - t0) = u = (small cos t0 - big sin t0) /
// (big cos t0 + small sin t0): t = t0 + u, the u^3 / 3 left out below 2^-150 t. The
// numerator cancels to about 2^-52 of its terms, which are exact products but for the
// tails' (2^-106 of the terms).
DoubleDouble octant_angle(double big, double small) {
  const int e = std::ilogb(big);
  const double bs = std::ldexp(big, -e), ss = std::ldexp(small, -e);
  const double q = ss / bs;
  if (q < kTinyOctantRatio) {
    const DoubleDouble qb = two_product(q, bs);
    return {q, ((ss - qb.hi) - qb.lo) / bs};
  }
  const double t0 = std::atan2(ss, bs);
  const CosSinSums cs = cos_sin({t0, 0.0});
  const DoubleDouble sc = two_product(ss, cs.cos.hi), bs_sin = two_product(bs, cs.sin.hi);
  const DoubleDouble num = accurate_sum<6>(
      {sc.hi, sc.lo, ss * cs.cos.lo, -bs_sin.hi, -bs_sin.lo, -bs * cs.sin.lo});
  const DoubleDouble den = dd_sum(two_product(bs, cs.cos.hi), two_product(ss, cs.sin.hi));
  const DoubleDouble u = dd_divide(num, den);
  const DoubleDouble t = two_sum(t0, u.hi);
  return {t.hi, t.lo + u.lo};
}

PreciseCosSin precise_cos_sin(double x, double y, double c, double d) {
  namespace qt = quarter_turn;
  const double ax = std::fabs(x), ay = std::fabs(y);
  const double big = std::fmax(ax, ay), small = std::fmin(ax, ay);
  const DoubleDouble l = precise_log_modulus(big, small);
  const DoubleDouble t = precise_argument(x, y, big, small);
  // b = k pi/2 + r: with T below 2^40 the rounded b is within 2^-12 of b, k is an exact
  // integer and |r| <= pi/4 + 2^-11; every product below is exact but k's with the last
  // part of pi/2 (2^-53 of 2^-68 k) and pi/2's three parts leave 2^-123 of it.
  const double k = nearest_integer((c * t.hi + d * l.hi) * qt::kTwoOverPi);
  const DoubleDouble ct = two_product(c, t.hi), ct_lo = two_product(c, t.lo);
  const DoubleDouble dl = two_product(d, l.hi), dl_lo = two_product(d, l.lo);
  const DoubleDouble k1 = two_product(k, qt::kPiOver2Hi), k2 = two_product(k, qt::kPiOver2Mid);
  const DoubleDouble r = accurate_sum<13>({ct.hi, ct.lo, ct_lo.hi, ct_lo.lo, dl.hi, dl.lo,
                                           dl_lo.hi, dl_lo.lo, -k1.hi, -k1.lo, -k2.hi,
                                           -k2.lo, -k * qt::kPiOver2Lo});
  const CosSinSums v = cos_sin(r);
  switch (static_cast<int64_t>(k) & 3) {
    case 0:
      return {v.cos, v.sin};
    case 1:
      return {negated(v.sin), v.cos};
    case 2:
      return {negated(v.cos), negated(v.sin)};
    default:
      return {v.sin, negated(v.cos)};
  }
}

}  // namespace zorn::tess::cx
