// Cube roots of two lanes, shared by Cbrt, InvCbrt and Pow2o3 in both precisions.
//
// For a in [2^-900, 2^900] (magnitudes only): a first t from the high word (a third of
// the exponent, the bias and an offset that centres the error), refined by a polynomial
// in r = t^3 / a to about 23 bits (the seed and polynomial of the classic fdlibm cube
// root) and rounded to 17 significant bits, so that t^2 and t^3 are exact. The residual
// u = (t^3 - a) / a (the difference exact by Sterbenz's lemma) is below 2^-15.4 and gives
// the powers by their binomial series to u^3, whose next terms are below 2^-62:
//   cbrt a     = t (1 + u)^(-1/3) = t (1 - u (1/3 - u (2/9 - 14u/81)))
//   a^(2/3)    = t^2 (1 + u)^(-2/3) = t^2 (1 - u (2/3 - u (5/9 - 40u/81)))
//   a^(-1/3)   = t^2 / a (1 + u)^(-2/3), 1/a carried with its exact residual.
// One division (1/a) per pair of lanes.
#pragma once

#include <cstdint>

#include "tess_kernels/frame/simd_double.h"
#include "tess_kernels/frame/two_sum_double.h"

namespace zorn::tess::cbrt_core {

using simd::F64x2;
using simd::I64x2;

constexpr int32_t kSeedOffset = 715094163;  // (1023 - 1023/3 - 0.03306235651) 2^20
// High words of 2^-900 and 2^900: the fast range.
constexpr int32_t kLowHighWord = 0x07B00000;
constexpr int32_t kHighHighWord = 0x78300000;

struct Parts {
  F64x2 t, t2, u, inv;  // inv = 1/a rounded
};

// The seed and polynomial: about 23 correct bits.
[[gnu::always_inline]] inline F64x2 first_root(F64x2 a, F64x2 inv) {
  const __m128i high = _mm_shuffle_epi32(_mm_castpd_si128(a.v), _MM_SHUFFLE(3, 1, 3, 1));
  // A third of the high word; truncation after the product by 1/3 may be one low, which
  // the polynomial absorbs.
  const __m128i third = _mm_cvttpd_epi32(
      _mm_mul_pd(_mm_cvtepi32_pd(high), _mm_set1_pd(1.0 / 3)));
  const __m128i seed_high = _mm_add_epi32(third, _mm_set1_epi32(kSeedOffset));
  const F64x2 t0 = {_mm_castsi128_pd(_mm_unpacklo_epi32(_mm_setzero_si128(), seed_high))};
  const F64x2 r = (t0 * t0) * (t0 * inv);
  const F64x2 poly = (F64x2::splat(1.87595182427177009643) +
                      r * (F64x2::splat(-1.88497979543377169875) +
                           r * F64x2::splat(1.621429720105354466140))) +
                     ((r * r) * r) * (F64x2::splat(-0.758397934778766047437) +
                                      r * F64x2::splat(0.145996192886612446982));
  return t0 * poly;
}

// Double precision results: t rounded to 17 significant bits, so that t^2 and t^3 are
// exact, and the series to u^3.
struct DoubleResults {
  [[gnu::always_inline]] static Parts parts(F64x2 a) {
    const F64x2 inv = F64x2::splat(1.0) / a;
    // Rounded to nearest at bit 36 and cut: 17 significant bits.
    const F64x2 t =
        simd::from_bits((simd::bits(first_root(a, inv)) + I64x2::splat(int64_t{1} << 35)) &
                        I64x2::splat(-(int64_t{1} << 36)));
    const F64x2 t2 = t * t;                   // exact: 34 bits
    return {t, t2, (t2 * t - a) * inv, inv};  // t^3 exact (51 bits)
  }
  // The series in Estrin's order: u^2 and t u alongside the linear part, one product
  // shorter in the dependent chain.
  static F64x2 cbrt(const Parts& p) {
    const F64x2 series = (F64x2::splat(1.0 / 3) - p.u * F64x2::splat(2.0 / 9)) +
                         (p.u * p.u) * F64x2::splat(14.0 / 81);
    return p.t - (p.t * p.u) * series;
  }
  static F64x2 two_thirds_correction(const Parts& p) {
    return p.u * (F64x2::splat(2.0 / 3) -
                  p.u * (F64x2::splat(5.0 / 9) - p.u * F64x2::splat(40.0 / 81)));
  }
  static F64x2 pow2o3(const Parts& p) { return p.t2 - p.t2 * two_thirds_correction(p); }
  static F64x2 inv_cbrt(F64x2 a, const Parts& p) {
    const TwoSum unit = two_product(a, p.inv);
    const F64x2 inv_err = (F64x2::splat(1.0) - unit.sum) - unit.err;  // 1/a = inv (1 + inv_err)
    const TwoSum q = two_product(p.t2, p.inv);
    return q.sum + (q.err + q.sum * (inv_err - two_thirds_correction(p)));
  }
};

// The three powers of signed lanes inside the fast range.
inline F64x2 sign_of(F64x2 x) { return {_mm_and_pd(x.v, _mm_set1_pd(-0.0))}; }
[[gnu::always_inline]] inline F64x2 signed_cbrt(F64x2 x) {
  using R = DoubleResults;
  return {_mm_or_pd(R::cbrt(R::parts(simd::abs(x))).v, sign_of(x).v)};
}
[[gnu::always_inline]] inline F64x2 signed_inv_cbrt(F64x2 x) {
  using R = DoubleResults;
  const F64x2 a = simd::abs(x);
  return {_mm_or_pd(R::inv_cbrt(a, R::parts(a)).v, sign_of(x).v)};
}
[[gnu::always_inline]] inline F64x2 pow2o3_of(F64x2 x) {
  using R = DoubleResults;
  return R::pow2o3(R::parts(simd::abs(x)));
}

// Lanes outside the fast range, by the high word of |x| (NaN, inf, zero and subnormals
// included).
inline int outside_range(F64x2 x) {
  const __m128i high =
      _mm_shuffle_epi32(_mm_castpd_si128(simd::abs(x).v), _MM_SHUFFLE(3, 1, 3, 1));
  const __m128i below = _mm_cmplt_epi32(high, _mm_set1_epi32(kLowHighWord));
  const __m128i above = _mm_cmpgt_epi32(high, _mm_set1_epi32(kHighHighWord - 1));
  return _mm_movemask_ps(_mm_castsi128_ps(_mm_or_si128(below, above))) & 3;
}

}  // namespace zorn::tess::cbrt_core
