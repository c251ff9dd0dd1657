#include "tess_kernels/exp_log/exp_double.h"

#include <cmath>
#include <cstring>

#include "zorn/tess.h"

namespace zorn::tess {
namespace {
#include "tess_kernels/exp_log/data/exp_tables.inc"

constexpr double kShifter = 6755399441055744.0;  // 1.5 * 2^52
constexpr double kSixtyFourOverLn2 = 92.33248261689366;
constexpr double kLn2Over64Hi = 0.010830424696223417;
constexpr double kLn2Over64Lo = 2.572804622327669e-14;
constexpr uint32_t kFastPathLimitHigh = 0x4086232A;  // about 708.3964
constexpr double kOverflowBound = 709.782712893384;
constexpr double kUnderflowBound = -745.1332191019411;
constexpr double kNormalResultBound = -708.3964185322641;

uint64_t bits_of(double x) {
  uint64_t b;
  std::memcpy(&b, &x, sizeof b);
  return b;
}
double power_of_two(int64_t e) {  // 2^e for -1022 <= e <= 1023
  const uint64_t b = static_cast<uint64_t>(e + 1023) << 52;
  double d;
  std::memcpy(&d, &b, sizeof d);
  return d;
}

}  // namespace

int32_t tess_callout_dExp(double x, double* r) {
  if (std::isnan(x)) {
    *r = x * x;
    return TESS_STATUS_OK;
  }
  if (std::isinf(x)) {
    *r = x > 0 ? x : 0.0;
    return TESS_STATUS_OK;
  }
  if (((bits_of(x) >> 52) & 0x7FF) < 971) {  // |x| < 2^-52
    *r = 1.0 + x;
    return TESS_STATUS_OK;
  }
  if (x > kOverflowBound) {
    *r = INFINITY;
    return TESS_STATUS_OVERFLOW;
  }
  if (x < kUnderflowBound) {
    *r = 0.0;
    return TESS_STATUS_UNDERFLOW;
  }
  const double t = x * kSixtyFourOverLn2 + kShifter;
  const double k = t - kShifter;
  const double rr = x - k * kLn2Over64Hi - k * kLn2Over64Lo;
  const int64_t scale = static_cast<int64_t>(k) >> 6;
  const int j = static_cast<int>(bits_of(t) & 63);
  const double p =
      rr + rr * rr *
               (0.5 + rr * (0.1666666666665788 +
                            rr * (0.04166666666677052 +
                                  rr * (0.008333341995140497 + rr * 0.0013888870459233254))));
  const double hi = kExp2Over64Relative[j][0];
  const double y = hi + (p + kExp2Over64Relative[j][1]) * hi;
  if (x >= kNormalResultBound) {
    if (scale == 1024) {
      const double half = y * power_of_two(1023);
      *r = half + half;
    } else {
      *r = y * power_of_two(scale);
    }
    return TESS_STATUS_OK;
  }
  *r = std::ldexp(y, static_cast<int>(scale));  // subnormal: rounded once from y
  return TESS_STATUS_UNDERFLOW;
}

int32_t exp_d(double x, double& r) {
  if (static_cast<uint32_t>((bits_of(x) >> 32) & 0x7FFFFFFF) > kFastPathLimitHigh) {
    return tess_callout_dExp(x, &r);
  }
  const double t = x * kSixtyFourOverLn2 + kShifter;
  const double k = t - kShifter;
  const int j = static_cast<int>(bits_of(t) & 63);
  const double rr = (x - k * kLn2Over64Hi) - k * kLn2Over64Lo;
  const double p =
      rr + rr * rr *
               (0.4999999999994775 +
                rr * (0.1666666666667797 + rr * (0.04166672368662385 + rr * 0.00833333416441411)));
  const double hi = kExp2Over64Absolute[j][0];
  r = (hi + (p * hi + kExp2Over64Absolute[j][1])) * power_of_two(static_cast<int64_t>(k) >> 6);
  return TESS_STATUS_OK;
}

}  // namespace zorn::tess
