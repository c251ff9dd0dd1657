// Single precision ln|Gamma| and Gamma: the double routines rounded once, with the
// thresholds and statuses of the single precision Gamma callout.
#include <cmath>
#include <limits>

#include "tess_kernels/frame/status_rules.h"
#include "tess_kernels/special/gamma_ops.h"
#include "zorn/tess.h"

namespace zorn::tess {

int32_t LGammaSingle::eval(float x, float& r) {
  double d;
  tess_callout_dLGamma(x, &d);
  r = static_cast<float>(d);
  return classify(kPole | kOverflow, r, x <= 0 && x == std::floor(x), x);
}

int32_t TGammaSingle::eval(float x, float& r) {
  constexpr float kOverflowStart = 35.0401f;
  constexpr float kTinyStart = -43.0f;
  if (std::isnan(x)) {
    r = x + x;
    return TESS_STATUS_OK;
  }
  if (x == INFINITY) {
    r = x;
    return TESS_STATUS_OK;
  }
  if (x >= kOverflowStart) {
    r = INFINITY;
    return TESS_STATUS_OVERFLOW;
  }
  if (x == 0) {
    r = 1 / x;
    return TESS_STATUS_SINGULARITY;
  }
  if (x < 0 && x == std::floor(x)) {  // every float of magnitude 2^23 or more, and -inf
    r = std::numeric_limits<float>::quiet_NaN();
    return TESS_STATUS_DOMAIN;
  }
  if (x < kTinyStart) {
    // |Gamma(x)| < 1e-52 here: 2^-100 squared underflows to zero with Gamma's sign,
    // negative where floor(x) is odd.
    constexpr float kTiny = 0x1p-100f;
    const bool negative = std::fmod(std::floor(x), 2.0f) != 0;
    volatile float scale = negative ? -kTiny : kTiny;  // raise the underflow flag at run time
    r = scale * kTiny;
    return TESS_STATUS_UNDERFLOW;
  }
  double d;
  tess_callout_dTGamma(x, &d);
  r = static_cast<float>(d);
  return TESS_STATUS_OK;
}

}  // namespace zorn::tess
