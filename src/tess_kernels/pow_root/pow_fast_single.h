// x^y = 2^(y log2 x) for four float lanes of positive normal x, evaluated in double and
// rounded once: a float result needs about 30 correct bits of 2^(y log2 x), so each of
// the logarithm and the power takes one small table and a short series (the float
// scheme of Szabolcs Nagy's published powf, without fused multiply-adds).
//
// log2 x: x = 2^k z with z in [z0, 2 z0), z0 near 0.7, the bin of z (5 bits) giving c
// near 1/z with at most 29 significant bits, so that r = z c - 1 is exact in double and
// |r| < 2^-6 (r = z - 1 and c = 1 in the bin of 1, which keeps log2 1 = 0). Then
// log2 x = k - log2 c + log2(1 + r), the last from the series of ln(1 + r) to r^6 times
// 1 / ln 2 (the next term is below 2^-38 relative to r).
//
// 2^t for t = y log2 x: n = round(64 t), f = t - n/64 exact, |f| <= 2^-7, 2^f to f^3
// (the next term is below 2^-34 relative), 2^(n/64) from the bits of 2^(j/64), j = n mod
// 64, with n div 64 added into the exponent field.
#pragma once

#include <cstdint>

#include "tess_kernels/frame/simd.h"

namespace zorn::tess {
namespace pow_single_tables {
#include "tess_kernels/pow_root/data/pow_single_tables.inc"
}  // namespace pow_single_tables

namespace pow_single {

using simd::F32x4;
using simd::F64x2;
using simd::I32x4;
using simd::I64x2;

// |y log2 x| below this: normal float results, no overflow (2^-126 < x^y < 2^126).
constexpr double kExponentBound = 126.0;
constexpr double kRoundShifter = 0x1.8p46;  // 1.5 * 2^52 / 64: rounds to a multiple of 1/64
constexpr double kLn2 = 0.6931471805599453;
constexpr double kInvLn2 = 1.4426950408889634;

// log2 x for two lanes: z widened, k, and the rows {c, -log2 c} of the two lanes. The
// series in Estrin's form, for a short chain of dependent operations.
inline F64x2 log2_pair(F64x2 z, F64x2 k, F64x2 row0, F64x2 row1) {
  // a[i] = (-1)^i / ((i + 1) ln 2), the coefficient of r^(i+1) in log2(1 + r).
  constexpr double a[6] = {kInvLn2,       -kInvLn2 / 2, kInvLn2 / 3,
                           -kInvLn2 / 4, kInvLn2 / 5,  -kInvLn2 / 6};
  const auto c = [&](int i) { return F64x2::splat(a[i]); };
  const F64x2 r = z * simd::lane0s(row0, row1) - F64x2::splat(1.0);
  const F64x2 r2 = r * r, r4 = r2 * r2;
  const F64x2 low = r * c(0) + r2 * (c(1) + r * c(2));
  const F64x2 high = (c(3) + r * c(4)) + r2 * c(5);
  return (k + simd::lane1s(row0, row1)) + (low + r4 * high);
}

// 2^t for two lanes with |t| < kExponentBound.
inline F64x2 exp2_pair(F64x2 t) {
  namespace tab = pow_single_tables;
  const F64x2 shifter = F64x2::splat(kRoundShifter);
  const F64x2 s = t + shifter;
  const F64x2 f = t - (s - shifter);
  const I64x2 n = simd::bits(s);
  const auto entry = [](int32_t j) {
    return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(&tab::kExp2Over64Bits[j & 63]));
  };
  const I64x2 table{_mm_unpacklo_epi64(entry(n.low32_lane0()), entry(n.low32_lane1()))};
  const F64x2 scale = simd::from_bits(table + (n << 46));
  constexpr double c1 = kLn2, c2 = c1 * kLn2 / 2, c3 = c2 * kLn2 / 3;
  const F64x2 p = f * F64x2::splat(c1) + (f * f) * (F64x2::splat(c2) + f * F64x2::splat(c3));
  return scale + scale * p;
}

// x^y for four lanes; `wide` gets the mask of lanes with |y log2 x| not below
// kExponentBound (or NaN), whose results are not to be used.
inline F32x4 power(F32x4 x, F32x4 y, int& wide) {
  namespace tab = pow_single_tables;
  const I32x4 ix = simd::bits(x);
  const I32x4 moved = ix - I32x4::splat(tab::kLog2OffsetBits);
  const I32x4 bin = (moved >> 18) & I32x4::splat(31);
  const I32x4 k = moved >> 23;
  const F32x4 z = simd::from_bits(ix - (moved & I32x4::splat(static_cast<int32_t>(0xFF800000u))));
  uint32_t j[4];
  simd::index_lanes(bin, j);
  const auto row = [&](int l) { return F64x2::load_aligned(tab::kLog2Bins[j[l]]); };
  const F64x2 t0 = simd::low_to_double(y) *
                   log2_pair(simd::low_to_double(z), simd::low_to_double(k), row(0), row(1));
  const F64x2 t1 = simd::high_to_double(y) *
                   log2_pair(simd::high_to_double(z), simd::high_to_double(k), row(2), row(3));
  const F64x2 bound = F64x2::splat(kExponentBound);
  wide = simd::lane_mask(simd::not_less(simd::abs(t0), bound)) |
         simd::lane_mask(simd::not_less(simd::abs(t1), bound)) << 2;
  return simd::to_float(exp2_pair(t0), exp2_pair(t1));
}

}  // namespace pow_single
}  // namespace zorn::tess
