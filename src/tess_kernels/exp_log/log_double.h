// Double precision Ln, Log2 and Log10: two-lane fast paths for positive normal finite
// arguments (zeros, subnormals, negative numbers, infinities and NaNs are special lanes)
// and callouts correct for every argument: negative numbers and -inf give NaN with
// status 1, ±0 gives -inf with status 2, +inf and NaN pass through.
#pragma once

#include <cstdint>

#include "tess_kernels/exp_log/loop_double.h"

namespace zorn::tess {

int32_t tess_callout_dLn(double x, double* r);
int32_t tess_callout_dLog2(double x, double* r);
int32_t tess_callout_dLog10(double x, double* r);

struct LnDouble : DoubleLanes<LnDouble> {
  static int32_t fast_block(int32_t n, const double* a, double* r);
  static int fast_group(const double x[4], double y[4]);
  static int32_t callout(double x, double* r) { return tess_callout_dLn(x, r); }
};

struct Log2Double : DoubleLanes<Log2Double> {
  static int32_t fast_block(int32_t n, const double* a, double* r);
  static int fast_group(const double x[4], double y[4]);
  static int32_t callout(double x, double* r) { return tess_callout_dLog2(x, r); }
};

struct Log10Double : DoubleLanes<Log10Double> {
  static int32_t fast_block(int32_t n, const double* a, double* r);
  static int fast_group(const double x[4], double y[4]);
  static int32_t callout(double x, double* r) { return tess_callout_dLog10(x, r); }
};

}  // namespace zorn::tess
