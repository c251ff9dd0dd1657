// 2^(k/64) (1 + c) from the relative table of 2^(j/64), for the callouts of the single
// precision Exp2 and Exp10: 2^(k div 64) (hi_j + hi_j (lo_j + c)), j = k mod 64. The
// power of two is exact for every k these callouts reach.
#pragma once

#include <cstdint>

#include "tess_kernels/exp_log/exp_single.h"
#include "tess_kernels/exp_log/scalar_bits_single.h"

namespace zorn::tess {

inline double table_power(int64_t k, double c) {
  const double* row = exp_single_data::kExp2Over64Relative[k & 63];
  return power_of_two(k >> 6) * (row[0] + row[0] * (row[1] + c));
}

}  // namespace zorn::tess
