// Cube roots of two lanes, shared by Cbrt, InvCbrt and Pow2o3 in double precision, by
// the table reduction of cube_root_rows.h with rows by i and 7 fraction bits, so that
// |v| <= 2^-8 (and a hair), and centres c = t^3 of 17-bit roots t: c^(1/3) = t and
// c^(2/3) = t^2 are exact, and only c^(-1/3) = 1/t needs two parts. P is the binomial
// series to v^5; for Cbrt and Pow2o3 its v^5 term is economized (Chebyshev:
// v^5 ~ (20 h^2 v^3 - 5 h^4 v) / 16 on |v| <= h = 2^-8, off by at most h^5 / 16), which
// leaves errors below 2^-57 of the result; InvCbrt, whose coefficients are larger, keeps
// the whole series. The result rounds once: 0.5 ulp and a little.
#pragma once

#include <cstdint>

#include "tess_kernels/frame/simd_double.h"
#include "tess_kernels/pow_root/cube_root_rows.h"

namespace zorn::tess::cbrt_core {

using simd::F64x2;
using simd::I64x2;

// High words of 2^-900 and 2^900: the fast range.
constexpr int32_t kLowHighWord = 0x07B00000;
constexpr int32_t kHighHighWord = 0x78300000;

// P's coefficients of v^0..v^4 after the economization of its v^5 term.
struct EconomizedSeries {
  double c[5];
};
constexpr EconomizedSeries economized(RootPower p) {
  const double* b = series(p);
  constexpr double h2 = 0x1p-16, h4 = 0x1p-32;
  return {{b[0], b[1] - b[5] * (5 * h4 / 16), b[2], b[3] + b[5] * (20 * h2 / 16), b[4]}};
}

// a^p for a in [2^-900, 2^900].
template <RootPower P>
[[gnu::always_inline]] inline F64x2 magnitude_power(F64x2 a) {
  using simd::I32x4;
  const I32x4 high = {_mm_shuffle_epi32(_mm_castpd_si128(a.v), _MM_SHUFFLE(3, 1, 3, 1))};
  const RowIndex ix = row_index<20, 7, 341>(high);
  const uint32_t row0 = static_cast<uint32_t>(_mm_extract_epi16(ix.row.v, 0));
  const uint32_t row1 = static_cast<uint32_t>(_mm_extract_epi16(ix.row.v, 2));
  const __m128d centre0 = _mm_load_pd(tables::kCubeCentresDouble[row0]);
  const __m128d centre1 = _mm_load_pd(tables::kCubeCentresDouble[row1]);
  const F64x2 c = {_mm_unpacklo_pd(centre0, centre1)}, inv = {_mm_unpackhi_pd(centre0, centre1)};
  // k in the exponent field's place; a' = 2^i m = a 2^(-3k).
  const I64x2 k_field = {_mm_unpacklo_epi32(_mm_setzero_si128(), (ix.k << 20).v)};
  const F64x2 reduced = simd::from_bits(simd::bits(a) - ((k_field + k_field) + k_field));
  const F64x2 v = (reduced - c) * inv;
  constexpr EconomizedSeries e = economized(P);
  const auto s = [](double x) { return F64x2::splat(x); };
  const F64x2 v2 = v * v;
  F64x2 power;
  if constexpr (P == RootPower::kInvCbrt) {
    const double* b = series(P);
    const F64x2 poly = (s(b[0]) + v * s(b[1])) +
                       v2 * ((s(b[2]) + v * s(b[3])) + v2 * (s(b[4]) + v * s(b[5])));
    const __m128d root0 = _mm_load_pd(tables::kInvCubeRootsDouble[row0]);
    const __m128d root1 = _mm_load_pd(tables::kInvCubeRootsDouble[row1]);
    const F64x2 hi = {_mm_unpacklo_pd(root0, root1)}, lo = {_mm_unpackhi_pd(root0, root1)};
    power = hi + (lo + (hi * v) * poly);
  } else {
    const F64x2 poly =
        (s(e.c[0]) + v * s(e.c[1])) + v2 * ((s(e.c[2]) + v * s(e.c[3])) + v2 * s(e.c[4]));
    const double* roots = tables::kCubeRootsDouble;
    const F64x2 t = {_mm_loadh_pd(_mm_load_sd(roots + row0), roots + row1)};
    const F64x2 base = P == RootPower::kCbrt ? t : t * t;  // t^2 exact: 34 bits
    power = base + (base * v) * poly;
  }
  return simd::from_bits(scaled_by<P>(simd::bits(power), k_field));
}

// The three powers of signed lanes inside the fast range.
inline F64x2 sign_of(F64x2 x) { return {_mm_and_pd(x.v, _mm_set1_pd(-0.0))}; }
[[gnu::always_inline]] inline F64x2 signed_cbrt(F64x2 x) {
  return {_mm_or_pd(magnitude_power<RootPower::kCbrt>(simd::abs(x)).v, sign_of(x).v)};
}
[[gnu::always_inline]] inline F64x2 signed_inv_cbrt(F64x2 x) {
  return {_mm_or_pd(magnitude_power<RootPower::kInvCbrt>(simd::abs(x)).v, sign_of(x).v)};
}
[[gnu::always_inline]] inline F64x2 pow2o3_of(F64x2 x) {
  return magnitude_power<RootPower::kPow2o3>(simd::abs(x));
}

// Lanes outside the fast range, by the high word of |x| (NaN, inf, zero and subnormals
// included). Moved by 2^31 - kLowHighWord, the range is [INT32_MIN, INT32_MIN + width)
// and everything else lies above.
inline int outside_range(F64x2 x) {
  const __m128i high =
      _mm_shuffle_epi32(_mm_castpd_si128(simd::abs(x).v), _MM_SHUFFLE(3, 1, 3, 1));
  constexpr auto kMove = static_cast<int32_t>(0x80000000u - static_cast<uint32_t>(kLowHighWord));
  const __m128i moved = _mm_add_epi32(high, _mm_set1_epi32(kMove));
  const __m128i above =
      _mm_cmpgt_epi32(moved, _mm_set1_epi32(INT32_MIN + (kHighHighWord - kLowHighWord) - 1));
  return _mm_movemask_ps(_mm_castsi128_ps(above)) & 3;
}

}  // namespace zorn::tess::cbrt_core
