#include "tess_kernels/special/bessel_double.h"

#include <cmath>
#include <limits>

#include "tess_kernels/frame/status_rules.h"
#include "tess_kernels/special/bessel_core.h"
#include "tess_kernels/trig/reduction_double.h"
#include "zorn/tess.h"

namespace zorn::tess {
namespace {

using namespace bessel_core;


DoubleDouble lane0(const Parts& p) { return {p.hi.lane0(), p.lo.lane0()}; }

// x >= 64, finite. Beyond the sine kernel's reduction x is reduced by quarter turns;
// from 2^996 phi (below 2^-998, far under the last bit of any reduced angle) is dropped:
// the exact products that form it split x by 2^27 + 1, which overflows from 2^997.
template <int kNu, bool kSecond>
DoubleDouble large(double x) {
  const F64x2 xv = splat(x);
  ReducedAngle angle;
  if (x <= kReductionLimit) {
    angle = reduce(xv);
  } else {
    const QuarterTurnReduction q = reduce_quarter_turns(x);
    angle = sin_core::reduce_pi_over_256(splat(q.hi));
    angle.lo = angle.lo + splat(q.lo);
    angle.t_bits = angle.t_bits + I64x2::splat(128 * int64_t{q.quadrant});
  }
  const bool phase_matters = x < 0x1p996;
  const Phase fast = phase_matters ? fast_phase<kNu>(xv) : Phase{splat(0.0), splat(0.0)};
  int near_zero;
  const Parts f = asymptotic<kNu, kSecond>(xv, angle, fast, near_zero);
  if (near_zero == 0 || !phase_matters) return lane0(f);
  const DoubleDouble phi = accurate_phase<kNu>(x);
  return lane0(asymptotic<kNu, kSecond>(xv, angle, {splat(phi.hi), splat(phi.lo)}, near_zero));
}

// Y0 and Y1 below 2^-60, where J0 = 1 and Y1 = -2/(pi x) to far beyond double; x is
// scaled into the normal range for the logarithm and the quotient.
DoubleDouble tiny_y0(double x) {
  const Parts one = {splat(1.0), splat(0.0)};
  const Parts r0 = {splat(kY0Log[0]), splat(kY0Log[1])};
  return lane0(log_term(splat(x * 0x1p64), -64, one, r0));
}
DoubleDouble tiny_y1(double x) {
  constexpr double kUp = 0x1p1000;  // the quotient stays within 2^-940..2^74: its split is safe
  const double xs = x * kUp;
  const double q = -kTwoOverPiHi / xs;
  const DoubleDouble qx = two_product(q, xs);
  const double q_lo = (((-kTwoOverPiHi - qx.hi) - qx.lo) - kTwoOverPiLo) / xs;
  return {q * kUp, q_lo * kUp};
}

}  // namespace

DoubleDouble bessel_j_parts(int nu, double a) {
  if (a < kRowsEnd) return lane0(nu == 0 ? j0_rows(splat(a)) : j1_rows(splat(a)));
  return nu == 0 ? large<0, false>(a) : large<1, false>(a);
}

DoubleDouble bessel_y_parts(int nu, double x) {
  if (x < kTinyY) return nu == 0 ? tiny_y0(x) : tiny_y1(x);
  if (x < kLogFormEnd) return lane0(nu == 0 ? y0_log_form(splat(x)) : y1_log_form(splat(x)));
  if (x < kRowsEnd) return lane0(nu == 0 ? y0_rows(splat(x)) : y1_rows(splat(x)));
  return nu == 0 ? large<0, true>(x) : large<1, true>(x);
}

double bessel_j0(double x) {
  if (!std::isfinite(x)) return std::isnan(x) ? x : 0.0;
  const DoubleDouble f = bessel_j_parts(0, std::fabs(x));
  return f.hi + f.lo;
}
double bessel_j1(double x) {
  if (!std::isfinite(x)) return std::isnan(x) ? x : 0.0;
  const DoubleDouble f = bessel_j_parts(1, std::fabs(x));
  const double v = f.hi + f.lo;
  return std::signbit(x) ? -v : v;  // odd
}
// Y(+inf) = 0, Y(0) = -inf, Y(x < 0) NaN.
template <int kNu>
double bessel_y(double x) {
  if (std::isnan(x)) return x;
  if (x < 0) return std::numeric_limits<double>::quiet_NaN();
  if (x == 0) return -INFINITY;
  if (std::isinf(x)) return 0.0;
  const DoubleDouble f = bessel_y_parts(kNu, x);
  return f.hi + f.lo;
}
double bessel_y0(double x) { return bessel_y<0>(x); }
double bessel_y1(double x) { return bessel_y<1>(x); }

// --- two-lane fast paths ---
namespace {

template <int kNu>
int j_pair(F64x2 x, F64x2& y) {
  const F64x2 a = simd::abs(x);
  int special = simd::lane_mask(simd::not_less_equal(a, splat(kReductionLimit)));  // NaN too
  const Parts f = small_or_large<kNu, false>(a, special);
  y = f.hi + f.lo;
  if constexpr (kNu == 1) y = y ^ (x & splat(-0.0));
  return special;
}

template <int kNu>
int y_pair(F64x2 x, F64x2& y) {
  int special = simd::lane_mask(simd::not_less_equal(x, splat(kReductionLimit)) |
                                simd::not_less_equal(splat(kTinyY), x));
  const Parts f = small_or_large<kNu, true>(x, special);
  y = f.hi + f.lo;
  return special;
}

int32_t y_status(double x, double r) {
  return classify(kDomain | kPole | kOverflow, r, x == 0, x);
}

}  // namespace

TESS_DOUBLE_PAIR_LOOPS(J0Double, j_pair<0>)
TESS_DOUBLE_PAIR_LOOPS(J1Double, j_pair<1>)
TESS_DOUBLE_PAIR_LOOPS(Y0Double, y_pair<0>)
TESS_DOUBLE_PAIR_LOOPS(Y1Double, y_pair<1>)

int32_t tess_callout_dJ0(double x, double* r) {
  *r = bessel_j0(x);
  return TESS_STATUS_OK;
}
int32_t tess_callout_dJ1(double x, double* r) {
  *r = bessel_j1(x);
  return TESS_STATUS_OK;
}
int32_t tess_callout_dY0(double x, double* r) {
  *r = bessel_y0(x);
  return y_status(x, *r);
}
int32_t tess_callout_dY1(double x, double* r) {
  *r = bessel_y1(x);
  return y_status(x, *r);
}

}  // namespace zorn::tess
