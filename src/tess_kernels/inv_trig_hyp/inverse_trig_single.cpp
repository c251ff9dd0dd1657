#include "tess_kernels/inv_trig_hyp/inverse_trig_single.h"

#include <cmath>
#include <limits>

#include "tess_kernels/inv_trig_hyp/atan2_special.h"
#include "zorn/tess.h"

namespace zorn::tess {
namespace {

// Acos, Asin and their pi forms: NaN and status 1 beyond [-1, 1] (infinities included),
// NaN through with status 0, otherwise f in double rounded once: acos(1) = +0 and
// acos(-1) = pi rounded to 3.1415927, and for |x| up to 2^-53 asin(x) = x with its sign.
int32_t unit_domain(double (*f)(double), const float* x, float* r) {
  if (std::isnan(*x)) {
    *r = *x + *x;
    return TESS_STATUS_OK;
  }
  if (std::fabs(*x) > 1.0f) {
    *r = std::numeric_limits<float>::quiet_NaN();
    return TESS_STATUS_DOMAIN;
  }
  *r = static_cast<float>(f(*x));
  return TESS_STATUS_OK;
}

double asin_double(double x) { return std::asin(x); }
double acos_double(double x) { return std::acos(x); }
double asinpi_double(double x) { return std::asin(x) * inverse_trig_single::kInvPi; }
double acospi_double(double x) { return std::acos(x) * inverse_trig_single::kInvPi; }

}  // namespace

int32_t tess_callout_sAsin(const float* x, float* r) { return unit_domain(asin_double, x, r); }
int32_t tess_callout_sAcos(const float* x, float* r) { return unit_domain(acos_double, x, r); }
int32_t tess_callout_sAsinpi(const float* x, float* r) {
  return unit_domain(asinpi_double, x, r);
}
int32_t tess_callout_sAcospi(const float* x, float* r) {
  return unit_domain(acospi_double, x, r);
}
int32_t tess_callout_sAtan(const float* x, float* r) {
  *r = static_cast<float>(std::atan(static_cast<double>(*x)));
  return TESS_STATUS_OK;
}
int32_t tess_callout_sAtanpi(const float* x, float* r) {
  *r = static_cast<float>(std::atan(static_cast<double>(*x)) * inverse_trig_single::kInvPi);
  return TESS_STATUS_OK;
}

int32_t tess_callout_sAtan2(const float* a, const float* b, float* r) {
  *r = static_cast<float>(inverse_trig::atan2_any(*a, *b, false));
  return TESS_STATUS_OK;
}
int32_t tess_callout_sAtan2pi(const float* a, const float* b, float* r) {
  *r = static_cast<float>(inverse_trig::atan2_any(*a, *b, true));
  return TESS_STATUS_OK;
}

}  // namespace zorn::tess
