// The large-argument path of the single precision Sin, Cos and Tan kernels.
//
// |x| = m 2^(e-150) with m the 24-bit mantissa and e the biased exponent; the table's
// window W_e = floor(2/pi 2^(e-56)) mod 2^96 gives |x| 2/pi = m W_e 2^-94 mod 4 up to
// m 2^-94 (below 2^-70 of a quadrant). In units of pi/128 the product is split into the
// nearest integer J (mod 256) and a remainder of at most half a unit, r = remainder pi/128.
// J = 64 q + j with j in -31..32 selects the quadrant q and the row |j| of the sine and
// cosine table, b = j pi/128 + r, and sin |x| is sin b, cos b, -sin b or -cos b.
#include <cmath>
#include <cstring>

#include "tess_kernels/trig/single_ops.h"
#include "tess_kernels/trig/trig_tables.h"
#include "zorn/tess.h"

namespace zorn::tess::trig_single {
namespace {

using U128 = unsigned __int128;
using I128 = __int128;

constexpr double kPiOver128TimesTwoM88 = 0x1.921fb54442d18p-94;  // pi/128 * 2^-88

struct QuadrantAngle {
  int32_t quadrant;
  double sin_b, cos_b;
};

QuadrantAngle reduce(float a) {
  uint32_t bits;
  std::memcpy(&bits, &a, sizeof bits);
  const uint32_t e = bits >> 23;
  const uint64_t m = (bits & 0x7FFFFFu) | 0x800000u;
  const uint32_t* w = trig_tables::kSingleReductionWindow[e];
  const U128 window = (U128{w[0]} << 64) | (U128{w[1]} << 32) | w[2];
  const U128 p = (m * window) & ((U128{1} << 96) - 1);
  const U128 rounded = p + (U128{1} << 87);
  const int32_t units = static_cast<int32_t>(rounded >> 88) & 255;
  const I128 remainder =
      static_cast<I128>(rounded & ((U128{1} << 88) - 1)) - (I128{1} << 87);
  const double r = static_cast<double>(remainder) * kPiOver128TimesTwoM88;
  int32_t quadrant = units >> 6, j = units & 63;
  if (j > 32) {
    j -= 64;
    quadrant += 1;
  }
  const float* row = trig_tables::kSinCosSingle[j < 0 ? -j : j];
  const double s = (j < 0 ? -1.0 : 1.0) * (static_cast<double>(row[1]) + row[2]);
  const double c = 1.0 + static_cast<double>(row[0]);
  const double r2 = r * r;
  const double cos_r = 1.0 + r2 * (-0.5 + r2 * (1.0 / 24));
  const double sin_r = r + r * r2 * (-1.0 / 6 + r2 * (1.0 / 120));
  return {quadrant & 3, s * cos_r + c * sin_r, c * cos_r - s * sin_r};
}

}  // namespace

float large_argument(sin_core::Fn f, float x) {
  const QuadrantAngle q = reduce(std::fabs(x));
  const double sign = std::signbit(x) ? -1.0 : 1.0;
  switch (f) {
    case sin_core::Fn::kTan: {
      const double t = (q.quadrant & 1) ? -q.cos_b / q.sin_b : q.sin_b / q.cos_b;
      return static_cast<float>(sign * t);
    }
    case sin_core::Fn::kSin:
    case sin_core::Fn::kCos: {
      const int32_t quadrant = (q.quadrant + (f == sin_core::Fn::kCos ? 1 : 0)) & 3;
      const double v = (quadrant & 1) ? q.cos_b : q.sin_b;
      const double odd_sign = f == sin_core::Fn::kSin ? sign : 1.0;
      return static_cast<float>(((quadrant & 2) ? -v : v) * odd_sign);
    }
  }
  return 0.0f;
}

int finish_large_lanes(sin_core::Fn f, const float x[4], float y[4], int special) {
  for (int l = 0; l < 4; ++l) {
    if ((special & (1 << l)) && std::isfinite(x[l])) {
      y[l] = large_argument(f, x[l]);
      special &= ~(1 << l);
    }
  }
  return special;
}

int32_t non_finite_callout(const float* x, float* r) {
  const float v = *x;
  if (std::isnan(v)) {
    *r = v * v;
    return TESS_STATUS_OK;
  }
  if (std::isinf(v)) {
    *r = v * 0.0f;
    return TESS_STATUS_DOMAIN;
  }
  return TESS_STATUS_OK;
}

}  // namespace zorn::tess::trig_single
