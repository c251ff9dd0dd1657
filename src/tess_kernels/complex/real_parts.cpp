#include "tess_kernels/complex/real_parts.h"

#include <bit>
#include <cstdint>

#include "tess_kernels/frame/double_double.h"
#include "tess_kernels/inv_trig_hyp/hyperbolic_core_double.h"
#include "tess_kernels/trig/quarter_turn_double.h"
#include "tess_kernels/trig/reduction_double.h"

namespace zorn::tess::cx {

DoubleDouble quarter_exp(double x) {
  // Its tail (up to 2^-7 of the head) is renormalised.
  const hyperbolic::Sum e = hyperbolic::quarter_exponential(simd::F64x2::splat(x));
  return two_sum(e.hi.lane0(), e.lo.lane0());
}

HyperbolicParts hyperbolic_parts(double a) {
  // Below 2^-500, sinh a = a and cosh a = 1 to 2^-1000. Under a directed rounding the
  // cores' tails there are underflowing products rounded away from zero, up to 2^-1074,
  // a seventh of a = 7 2^-1074 (the real part of tanh(7 2^-1074 + iy) erred by 2e6 ulp).
  if (a < 0x1p-500 && !rounds_to_nearest()) [[unlikely]] return {{a, 0.0}, {1.0, 0.0}};
  const simd::F64x2 v = simd::F64x2::splat(a);
  const hyperbolic::HalfHyperbolic h = hyperbolic::half_hyperbolic(v);
  // Doubling is exact (cosh stays finite up to 710.47); the tails, which may reach 2^-7
  // of the heads, are renormalised.
  HyperbolicParts r{two_sum(2 * h.sinh_half.hi.lane0(), 2 * h.sinh_half.lo.lane0()),
                    two_sum(2 * h.cosh_half.hi.lane0(), 2 * h.cosh_half.lo.lane0())};
  if (a < hyperbolic::kSinhSeriesLimit) {
    const hyperbolic::Sum s = hyperbolic::sinh_series(v);
    r.sinh = two_sum(s.hi.lane0(), s.lo.lane0());
  }
  return r;
}

SinCosSums sin_cos_sums(double x) {
  using simd::F64x2;
  if (!rounds_to_nearest()) [[unlikely]] {
    const NearestRounding nearest;
    return sin_cos_sums(x);
  }
  const double a = std::fabs(x);
  sin_core::ReducedAngle angle;
  if (a <= sin_core::kFastPathLimit) {
    angle = quarter_turn::reduce(F64x2::splat(a));
  } else {
    const QuarterTurnReduction q = reduce_quarter_turns(a);
    angle = {F64x2::splat(q.hi), F64x2::splat(q.lo), simd::I64x2::splat(q.quadrant)};
  }
  const quarter_turn::SinCosParts p = quarter_turn::sin_cos_parts(angle);
  // Quadrant k of a: odd k exchange sine and cosine; the sine is negative in quadrants
  // 2 and 3, the cosine in 1 and 2; the sine takes the sign of x.
  const int32_t k = angle.t_bits.low32_lane0() & 3;
  const sin_core::SinParts& sine = (k & 1) ? p.cos : p.sin;
  const sin_core::SinParts& cosine = (k & 1) ? p.sin : p.cos;
  DoubleDouble s = two_sum(sine.hi.lane0(), sine.lo.lane0());
  DoubleDouble c = two_sum(cosine.hi.lane0(), cosine.lo.lane0());
  if (((k & 2) != 0) != (x < 0)) s = {-s.hi, -s.lo};
  if (((k + 1) & 2) != 0) c = {-c.hi, -c.lo};
  return {s, c};
}

double exp_times(double x, double f, int shift) {
  // ln 2 with its head's last 21 bits zero, so that k ln2_hi is exact for |k| < 2^21.
  constexpr double kLn2Hi = 6.93147180369123816490e-01;
  constexpr double kLn2Lo = 1.90821492927058770002e-10;
  constexpr double kInvLn2 = 1.44269504088896338700;
  if (f == 0 || std::isnan(x)) return x * f;
  if (x > 1500.0) return std::copysign(INFINITY, f);
  if (x < -1500.0) return std::copysign(0.0, f);
  const double k = std::nearbyint(x * kInvLn2);
  const double r = (x - k * kLn2Hi) - k * kLn2Lo;
  int scale = static_cast<int>(k) + shift;
  // A subnormal f is made normal first, so that its product keeps every bit.
  if (std::fabs(f) < 0x1p-900) {
    f *= 0x1p600;
    scale -= 600;
  }
  return static_cast<double>(std::ldexp(static_cast<long double>(exp(r)) * f, scale));
}

namespace {

// v with its last `bits` significand bits cleared: its leading part, exactly.
inline double leading(double v, int bits) {
  return std::bit_cast<double>(std::bit_cast<uint64_t>(v) & (~uint64_t{0} << bits));
}

// a^2 + b^2 - 1 for a^2 + b^2 in (1/2, 2) as a double-double, in every rounding.
// Veltkamp's split rounded away from the nearest may leave 27-bit halves whose products
// round (a^2's tail erred by 7 2^-106 at a = 1 - 2^-53, 3.5 ulp of a^2 - 1). Here
// v = h + m + s, h its leading 26 bits, m and s the next 13 and 14 (m, s 0 where v has
// fewer bits): h^2, 2h(m + s), m^2, 2ms and s^2 are exact, and h^2 - 1 too (52 bits
// beside 1, or Sterbenz's lemma). The terms join largest first by two-sums whose errors
// are gathered, the first two cancelling exactly near |v| = 1.
DoubleDouble squares_less_one(double a, double b) {
  double terms[10];
  for (int i = 0; i < 2; ++i) {
    const double v = i == 0 ? a : b;
    const double h = leading(v, 27), l = v - h, m = leading(l, 40), s = l - m;
    terms[i] = h * h;
    terms[2 + i] = 2 * h * l;
    terms[4 + i] = m * m;
    terms[6 + i] = 2 * m * s;
    terms[8 + i] = s * s;
  }
  terms[0] -= 1;
  double sum = terms[0], err = 0;
  for (int i = 1; i < 10; ++i) {
    const DoubleDouble t = two_sum(sum, terms[i]);
    sum = t.hi;
    err += t.lo;
  }
  return two_sum(sum, err);
}

}  // namespace

double log_modulus(double x, double y) {
  double a = std::fabs(x), b = std::fabs(y);
  if (a < b) std::swap(a, b);
  if (b == 0) return log(a);
  const double n = a * a + b * b;
  if (n > 0.5 && n < 2.0) {
    // a^2 + b^2 - 1 as the exact products' sum, carried in double-double.
    DoubleDouble d;
    if (rounds_to_nearest()) {
      const DoubleDouble a2 = two_product(a, a), b2 = two_product(b, b);
      const DoubleDouble t = two_sum(a2.hi, -1.0);
      const DoubleDouble s1 = two_sum(t.hi, b2.hi);
      const DoubleDouble s2 = two_sum(s1.hi, a2.lo);
      const double lo = ((s1.lo + s2.lo) + t.lo) + b2.lo;
      d = two_sum(s2.hi, lo);
    } else {
      d = squares_less_one(a, b);
    }
    return 0.5 * (log1p(d.hi) + d.lo / (1.0 + d.hi));
  }
  // ln a + ln(1 + (b/a)^2) / 2: no overflow or underflow of the squares, and away
  // from |z| = 1 the two terms do not cancel.
  const double q = b / a;
  return log(a) + 0.5 * log1p(q * q);
}

}  // namespace zorn::tess::cx
