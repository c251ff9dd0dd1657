// Double precision kernels of the inverse trigonometric functions and their pi-scaled
// forms: two-lane fast paths on the cores of inverse_trig_core_double.h under the
// frame's double loops, and callouts correct for every argument that give the result
// and its status.
#pragma once

#include "tess_kernels/frame/lane_loop_binary.h"
#include "tess_kernels/frame/lane_loop_double.h"

namespace zorn::tess {

// Asin, Acos and their pi forms: fast path on [-1, 1] (Asinpi on 2^-900 <= |x| < 1: the
// callout rounds the smaller quotients by pi, and takes the zeros and +-1 from the same
// pair); beyond, infinities included, NaN with status 1; NaN passes through.
TESS_DOUBLE_LANE_KERNEL(AsinDouble, tess_callout_dAsin);
TESS_DOUBLE_LANE_KERNEL(AcosDouble, tess_callout_dAcos);
TESS_DOUBLE_LANE_KERNEL(AsinpiDouble, tess_callout_dAsinpi);
TESS_DOUBLE_LANE_KERNEL(AcospiDouble, tess_callout_dAcospi);
// Atan, Atanpi: fast path for every argument but NaN (and 0 < |x| < 2^-900 for Atanpi);
// never report.
TESS_DOUBLE_LANE_KERNEL(AtanDouble, tess_callout_dAtan);
TESS_DOUBLE_LANE_KERNEL(AtanpiDouble, tess_callout_dAtanpi);

// atan2(a, b), the angle of the point (b, a), and its quotient by pi, with the special
// values of C99 (zeros, infinities); never report. Fast path: |a| and |b| in
// [2^-500, 2^500 (1 + 2^-20)).
int32_t tess_callout_dAtan2(double a, double b, double* r);
int32_t tess_callout_dAtan2pi(double a, double b, double* r);
struct Atan2Double : BinaryLanes<Atan2Double, double> {
  static int fast_group(const double a[4], const double b[4], double r[4]);
  static int64_t fast_block(int64_t n, const double* a, const double* b, double* r);
  static int32_t callout(double a, double b, double* r) { return tess_callout_dAtan2(a, b, r); }
};
struct Atan2piDouble : BinaryLanes<Atan2piDouble, double> {
  static int fast_group(const double a[4], const double b[4], double r[4]);
  static int64_t fast_block(int64_t n, const double* a, const double* b, double* r);
  static int32_t callout(double a, double b, double* r) {
    return tess_callout_dAtan2pi(a, b, r);
  }
};

}  // namespace zorn::tess
