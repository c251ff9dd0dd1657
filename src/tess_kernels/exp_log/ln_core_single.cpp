#include "tess_kernels/exp_log/ln_core_single.h"

#include <cmath>

#include "tess_kernels/exp_log/flagged_results.h"
#include "tess_kernels/exp_log/scalar_bits_single.h"
#include "zorn/tess.h"

namespace zorn::tess {
namespace {
#include "tess_kernels/exp_log/data/log_tables_single.inc"

// ln(1 + r) = r + r^2 Q(r) for |r| <= 2^-7 and slightly beyond.
double q_polynomial(double r) {
  return -0.5 +
         r * (0.33333333333334386 +
              r * (-0.25000000000003386 +
                   r * (0.19999999911565072 +
                        r * (-0.1666666651884978 +
                             r * (0.1428756883852146 + r * -0.1250214602960357)))));
}

}  // namespace

double ln_core_single(double x, double near_one_bound) {
  if (std::fabs(x - 1.0) <= near_one_bound) {
    const double r = x - 1.0;
    return r + r * r * q_polynomial(r);
  }
  const uint64_t b = bits_of(x);
  const double k = static_cast<double>(static_cast<int64_t>(b >> 52) - 1023);
  const double m = double_from_bits((b & 0x000FFFFFFFFFFFFFull) | 0x3FF0000000000000ull);
  // Adding 2^46 + 1 rounds m to a multiple of 2^-6 in the low mantissa bits:
  // j = round(64 (m - 1)), 0 to 64.
  const int j = static_cast<int>(bits_of(m + 70368744177665.0) & 127);
  const double cinv = kLnSingleCallout[j][0];
  const double m_hi = (m + 2097152.0) - 2097152.0;  // m cut to a multiple of 2^-31
  const double r_hi = m_hi * cinv - 1.0;             // exact
  const double r_lo = (m - m_hi) * cinv;
  const double r = r_hi + r_lo;
  return r_lo + (k * 5.497923018708371e-14 + kLnSingleCallout[j][2]) +
         r * r * q_polynomial(r) + (r_hi + (k * 0.6931471805598903 + kLnSingleCallout[j][1]));
}

bool log_special_argument(double x, float* r, int32_t* status) {
  if (std::isgreater(x, 0) && std::isless(x, INFINITY)) return false;  // quiet on NaN
  *status = TESS_STATUS_OK;
  if (std::isnan(x) || x == INFINITY) {
    *r = static_cast<float>(x);
  } else if (x == 0) {
    *r = pole_minus_infinity<float>();
    *status = TESS_STATUS_SINGULARITY;
  } else {
    *r = domain_error_nan<float>();
    *status = TESS_STATUS_DOMAIN;
  }
  return true;
}

}  // namespace zorn::tess
