// Double precision pieces of the four-lane single precision fast paths: each works on two
// lanes at once and keeps the relative error near 2^-34, so that the one final rounding
// to single precision stays within about 0.501 ulp. Forced inline: a call per group
// would hide the independent groups from each other.
#pragma once

#include <cstdint>

#include "tess_kernels/exp_log/exp_single.h"
#include "tess_kernels/frame/simd.h"

namespace zorn::tess {

namespace log_single_data {
#include "tess_kernels/exp_log/data/log_tables_single.inc"
}  // namespace log_single_data

#define ZORN_FAST_INLINE [[gnu::always_inline]] inline

// 2^z = scale (1 + q) for z in about [-151, 129]: k = 64 z truncated toward zero (the
// conversion ignores the rounding mode, so that |z| < 1/64 takes k = 0 in every mode and
// 2^z - 1 = q never cancels), scale = 2^(k/64) = 2^(j/64) from the table with k div 64
// (rounded down) added to its exponent, q = 2^f - 1 for f = z - k/64 in (-1/64, 1/64)
// (exact by Sterbenz's lemma) by its Taylor series to degree 4, relative error below
// 2^-33. q stays accurate relative to itself as f goes to 0.
struct PowerOfTwoParts {
  simd::F64x2 scale;
  simd::F64x2 q;
};
ZORN_FAST_INLINE PowerOfTwoParts power_of_two_parts(simd::F64x2 z) {
  using simd::F64x2;
  const F64x2 z64 = z * F64x2::splat(64.0);
  const __m128i k = _mm_cvttpd_epi32(z64.v);  // lanes 0 and 1
  const F64x2 f64 = z64 - F64x2{_mm_cvtepi32_pd(k)};  // exact: 64 f
  const auto c = [](double v) { return F64x2::splat(v); };
  // Coefficients (ln 2 / 64)^i / i!.
  const F64x2 q =
      f64 * (c(0.6931471805599453 / 64) +
             f64 * (c(0.24022650695910072 / 4096) +
                    f64 * (c(0.05550410866482158 / 262144) + f64 * c(0.009618129107628477 / 16777216))));
  const __m128i j = _mm_and_si128(k, _mm_set1_epi32(63));
  const F64x2 row = simd::gather_column(exp_single_data::kExp2Over64Relative, 0,
                                        static_cast<uint32_t>(_mm_cvtsi128_si32(j)),
                                        static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_shuffle_epi32(j, 0x55))));
  // (k div 64) << 52 as 64-bit lanes: the high words (k >> 6) << 20 above zero low words.
  const __m128i exponent =
      _mm_unpacklo_epi32(_mm_setzero_si128(), _mm_slli_epi32(_mm_srai_epi32(k, 6), 20));
  return {F64x2{_mm_castsi128_pd(_mm_add_epi64(_mm_castpd_si128(row.v), exponent))}, q};
}

// Four float lanes through a function of two doubles, rounded back once per lane.
template <class Fn>
ZORN_FAST_INLINE simd::F32x4 in_double(simd::F32x4 x, Fn fn) {
  return simd::to_float(fn(simd::low_to_double(x)), fn(simd::high_to_double(x)));
}

// ln(1 + r) for |r| <= 0.009 by its series to degree 5; the first term left out is below
// 2^-36 of the sum.
ZORN_FAST_INLINE simd::F64x2 ln_one_plus_small(simd::F64x2 r) {
  using simd::F64x2;
  const auto c = [](double v) { return F64x2::splat(v); };
  return r + (r * r) * (c(-0.5) + r * (c(1.0 / 3) + r * (c(-0.25) + r * c(0.2))));
}

// A positive finite x = 2^e m with m in [1, 2), split further at the nearest point
// c = 1 + j/64 (j = 0..64, rounding the top mantissa bits): log x = e log 2 + log c +
// ln(1 + r) / ln(base) with r = m c^-1 - 1, exact in double since c^-1 has 11 bits, and
// |r| <= 0.009. The table holds c^-1 and log c for the bases e, 2 and 10 in columns 1-3;
// its row 64 holds log 2 exactly as the constants below, so that e = -1 and j = 64 (x
// just below 1) cancel exactly.
struct LogSplit {
  simd::I32x4 e;   // exponent
  simd::I32x4 j;   // nearest point
  simd::F32x4 m;   // mantissa in [1, 2)
};
ZORN_FAST_INLINE LogSplit log_split(simd::F32x4 x) {
  using simd::I32x4;
  const I32x4 b = simd::bits(x);
  const I32x4 mantissa = b & I32x4::splat(0x007FFFFF);
  return {(b >> 23) - I32x4::splat(127), (mantissa + I32x4::splat(0x10000)) >> 17,
          simd::from_bits(mantissa | I32x4::splat(0x3F800000))};
}

}  // namespace zorn::tess
