// x^y for four float lanes, on two pairs of doubles and rounded once: the table reductions
// of the double fast path, each with a short series, since a float result needs about 35
// correct bits of e^(y ln x).
#pragma once

#include "tess_kernels/frame/simd.h"
#include "tess_kernels/pow_root/pow_fast_core_double.h"

namespace zorn::tess::pow_fast {

constexpr double kSingleProductBound = 87.0;  // |y ln x|: normal float results

// e^(y ln x) for positive normal x (floats widened), and z = y ln x. ln x = (k ln2_hi +
// hi) + (lo + ln(1 + r)), the first sum exact, r = z c - 1 rounded once, ln(1 + r) to r^5
// (|r| < 2^-7.4: the next term is below 2^-45 relative to r); e^f to f^3 (|f| < 2^-8.5: the
// next term below 2^-38).
inline F64x2 single_power(F64x2 x, F64x2 y, F64x2& z) {
  namespace t = pow_fast_tables;
  const auto [k, m, row] = reduction(x);
  const F64x2 r = m * row.c - F64x2::splat(1.0);
  const F64x2 series =
      r + (r * r) * (F64x2::splat(-0.5) +
                     r * (F64x2::splat(1.0 / 3) +
                          r * (F64x2::splat(-0.25) + r * F64x2::splat(0.2))));
  z = y * ((k * F64x2::splat(t::kLn2Parts[0]) + row.hi) + (row.lo + series));
  F64x2 f;
  const F64x2 s = exp_reduce(z, f);
  return table_power(s, f + (f * f) * (F64x2::splat(0.5) + f * F64x2::splat(1.0 / 6)), false);
}

}  // namespace zorn::tess::pow_fast
