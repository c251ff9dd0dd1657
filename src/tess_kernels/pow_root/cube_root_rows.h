// The table reduction shared by the cube root kernels (Cbrt, InvCbrt, Pow2o3) of both
// precisions: a normal magnitude a with biased exponent E = 3q + i (i in {0, 1, 2}) is
// 2^(3k) a', k = q - q0, a' = 2^(i - o) m with m in [1, 2), where the bias is 3 q0 + o
// (double: 1023 = 3 * 341, o = 0; float: 127 = 3 * 42 + 1, o = 1). The row of a' is i
// and the leading fraction bits of m; it gives c near the bin's centre, 1 / c and c^p
// (tools/tess_pow_tables, cube_roots). With v = (a' - c) / c, the difference exact by
// Sterbenz's lemma and |v| about half the bin's relative width,
//   a^p = 2^(3pk) c^p (1 + v)^p = 2^(3pk) (c^p + c^p v P(v)),   P(v) = ((1 + v)^p - 1) / v,
// P from the binomial series and 2^(3pk) added into the exponent field. No division:
// the chain is the row lookup, v and a short P.
#pragma once

#include <cstdint>

#include "tess_kernels/frame/simd.h"

namespace zorn::tess::cbrt_core {

namespace tables {
#include "tess_kernels/pow_root/data/cube_root_tables.inc"
}  // namespace tables

enum class RootPower { kCbrt, kInvCbrt, kPow2o3 };

// 3p, the power of 2^k = 2^(q - q0) in the result.
constexpr int32_t scale_power(RootPower p) {
  return p == RootPower::kCbrt ? 1 : p == RootPower::kInvCbrt ? -1 : 2;
}

// The binomial coefficients (p choose n), n = 1..6: P(v) = sum of them times v^(n-1).
constexpr double kSeries[3][6] = {
    {1.0 / 3, -1.0 / 9, 5.0 / 81, -10.0 / 243, 22.0 / 729, -154.0 / 6561},
    {-1.0 / 3, 2.0 / 9, -14.0 / 81, 35.0 / 243, -91.0 / 729, 728.0 / 6561},
    {2.0 / 3, -1.0 / 9, 4.0 / 81, -7.0 / 243, 14.0 / 729, -91.0 / 6561},
};
constexpr const double* series(RootPower p) { return kSeries[static_cast<int>(p)]; }

struct RowIndex {
  simd::I32x4 k, row;  // k = q - q0
};
// From 32-bit words holding the biased exponent above `kFractionBits` fraction bits (the
// float, or a double's high word) of non-negative lanes: q = floor(E / 3) as the high half
// of E * ceil(2^16 / 3), exact for E < 2^15; the row (i << kRowBits) + j read as the
// word's exponent and leading fraction bits less 3q << kRowBits.
template <int kFractionBits, int kRowBits, int kQ0>
[[gnu::always_inline]] inline RowIndex row_index(simd::I32x4 words) {
  using simd::I32x4;
  const I32x4 e = {_mm_srli_epi32(words.v, kFractionBits)};
  const I32x4 q = {_mm_mulhi_epu16(e.v, _mm_set1_epi32(21846))};
  const I32x4 top = {_mm_srli_epi32(words.v, kFractionBits - kRowBits)};
  return {q - I32x4::splat(kQ0), top - ((q + q + q) << kRowBits)};
}

// Bits added to those of a positive result: its sign and 2^(3pk) = 2^(scale_power k),
// given k in the exponent field's place.
template <RootPower P, class I>
[[gnu::always_inline]] inline I scaled_by(I result_bits, I k_field) {
  if constexpr (P == RootPower::kCbrt) return result_bits + k_field;
  if constexpr (P == RootPower::kInvCbrt) return result_bits - k_field;
  return (result_bits + k_field) + k_field;
}

}  // namespace zorn::tess::cbrt_core
