#include <cmath>
#include <limits>

#include "tess_kernels/exp_log/scalar_bits_single.h"
#include "tess_kernels/frame/double_double.h"
#include "tess_kernels/pow_root/double_ops.h"
#include "tess_kernels/pow_root/narrowed_callout.h"
#include "tess_kernels/pow_root/single_ops.h"

namespace zorn::tess {
namespace {
#include "tess_kernels/pow_root/data/root_tables.inc"


constexpr double kTwoTo200 = 1.6069380442589903e60;

// A positive normal double x = 2^(e - p) (2^p m), p the parity of e, m in [1, 2): the
// power 2^(-(e - p)/2) and the leading `bits` fraction bits of m.
struct RootIndex {
  double scale;
  int parity;
  uint32_t fraction;
};
RootIndex root_index(double x, int bits) {
  const uint64_t b = bits_of(x);
  const int e = static_cast<int>(b >> 52) - 1023;
  const int p = e & 1;
  return {power_of_two(-(e - p) / 2), p, static_cast<uint32_t>((b >> (52 - bits)) & ((1u << bits) - 1))};
}

// One Newton step for 1/sqrt x: y (3 - x y^2) / 2.
double newton(double x, double y) { return y * (1.5 - 0.5 * x * y * y); }

// The residual x - s^2 with s^2 exact (Dekker's product).
double square_residual(double x, double s) {
  const DoubleDouble s2 = two_product(s, s);
  return (x - s2.hi) - s2.lo;
}

// The arguments other than ±0 that both square roots settle alike: below zero (-inf
// included) NaN with status 1, NaN and +inf `top` with status 0. Otherwise returns false
// with x widened to double, a subnormal scaled by 2^200.
struct Widened {
  double x;
  bool scaled;
};
bool square_root_edge(float xf, float top, float* r, int32_t* status, Widened* w) {
  if (xf < 0) {
    *r = std::numeric_limits<float>::quiet_NaN();
    *status = TESS_STATUS_DOMAIN;
    return true;
  }
  if (std::isnan(xf) || std::isinf(xf)) {
    *r = top;
    *status = TESS_STATUS_OK;
    return true;
  }
  const bool scaled = xf < std::numeric_limits<float>::min();
  *w = {scaled ? xf * kTwoTo200 : xf, scaled};
  return false;
}

}  // namespace

int32_t tess_callout_sSqrt(const float* px, float* r) {
  const float xf = *px;
  if (xf == 0) {
    *r = xf * 1.0f;  // the zero itself (a subnormal read as zero gives its signed zero)
    return TESS_STATUS_OK;
  }
  Widened w;
  int32_t status;
  if (square_root_edge(xf, xf + xf, r, &status, &w)) return status;
  const double x = w.x, back = w.scaled ? 0x1p-100 : 1.0;
  // 1/sqrt x from the table (about 9 bits), two Newton steps (about 34 bits), s = x y,
  // and the correction s + (x - s^2) y / 2 (about 66 bits): one rounding to float.
  const RootIndex at = root_index(x, 8);
  double y = kRecipSqrt256[at.parity][at.fraction] * at.scale;
  y = newton(x, newton(x, y));
  const double s = x * y;
  *r = static_cast<float>((s + square_residual(x, s) * y * 0.5) * back);
  return TESS_STATUS_OK;
}

int32_t tess_callout_sInvSqrt(const float* px, float* r) {
  const float xf = *px;
  if (xf == 0) {
    *r = 1.0f / xf;
    return TESS_STATUS_SINGULARITY;
  }
  Widened w;
  int32_t status;
  if (square_root_edge(xf, 1.0f / (xf + xf), r, &status, &w)) return status;
  const double x = w.x, back = w.scaled ? 0x1p100 : 1.0;
  // The table (about 6 bits), three Newton steps (about 44 bits), and the correction
  // y + y (1 - x y^2) / 2 with x y^2 exact.
  const RootIndex at = root_index(x, 5);
  double y = kRecipSqrt64[32 * at.parity + at.fraction] * at.scale;
  y = newton(x, newton(x, newton(x, y)));
  const DoubleDouble y2 = two_product(y, y);
  const DoubleDouble p = two_product(x, y2.hi);
  const double h = ((1.0 - p.hi) - p.lo) - x * y2.lo;
  *r = static_cast<float>((y + y * h * 0.5) * back);
  return TESS_STATUS_OK;
}

int32_t tess_callout_sPow3o2(const float* x, float* r) {
  return narrowed_callout<tess_callout_dPow3o2, TESS_STATUS_OVERFLOW>(x, r);
}
int32_t tess_callout_sCbrt(const float* x, float* r) {
  return narrowed_callout<tess_callout_dCbrt, TESS_STATUS_OK>(x, r);
}
int32_t tess_callout_sInvCbrt(const float* x, float* r) {
  return narrowed_callout<tess_callout_dInvCbrt, TESS_STATUS_OK>(x, r);
}
int32_t tess_callout_sPow2o3(const float* x, float* r) {
  return narrowed_callout<tess_callout_dPow2o3, TESS_STATUS_OK>(x, r);
}

}  // namespace zorn::tess
