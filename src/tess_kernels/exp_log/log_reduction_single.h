// The argument reduction and special-lane test that the single precision logarithms
// share.
#pragma once

#include <cstdint>

#include "tess_kernels/exp_log/double_cores_single.h"
#include "tess_kernels/frame/simd.h"

namespace zorn::tess {

// Lanes outside the positive normal floats (bits 0x00800000 to 0x7F7FFFFF): zeros,
// subnormals, negatives, infinities and NaNs.
inline int positive_normal_complement(simd::F32x4 x) {
  const simd::I32x4 b = simd::bits(x);
  return simd::lane_mask((simd::I32x4::splat(0x00800000) > b) |
                         (b > simd::I32x4::splat(0x7F7FFFFF)));
}

constexpr int32_t kTwoThirdsBits = 0x3F2AAAAB;

// x = 2^e m with m in [2/3, 4/3) for a positive normal x, from the bits alone.
inline simd::I32x4 exponent_two_thirds(simd::F32x4 x) {
  return (simd::bits(x) - simd::I32x4::splat(kTwoThirdsBits)) >> 23;
}

// The same split with m - 1 as well, exactly.
inline void reduce_to_two_thirds(simd::F32x4 x, simd::I32x4& e, simd::F32x4& m_minus_1) {
  using simd::I32x4;
  const I32x4 u = simd::bits(x) - I32x4::splat(kTwoThirdsBits);
  e = u >> 23;
  const simd::F32x4 m = simd::from_bits((u & I32x4::splat(0x007FFFFF)) + I32x4::splat(kTwoThirdsBits));
  m_minus_1 = m - simd::F32x4::splat(1.0f);
}

// log x = combine(e, ln m) for x = 2^e m as above, evaluated in double precision on two
// lanes at a time and rounded once per lane.
template <class Combine>
simd::F32x4 log_in_double(simd::F32x4 x, Combine combine) {
  simd::I32x4 e;
  simd::F32x4 f;
  reduce_to_two_thirds(x, e, f);
  return simd::to_float(combine(simd::low_to_double(e), ln_one_plus(simd::low_to_double(f))),
                        combine(simd::high_to_double(e), ln_one_plus(simd::high_to_double(f))));
}

}  // namespace zorn::tess
