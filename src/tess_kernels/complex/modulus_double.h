// The modulus of double precision elements, two to a register (real parts in one,
// imaginary parts in the other), and the loop over contiguous whole groups of four.
//
// |z| = sqrt(a^2 + b^2), a = max(|x|, |y|), b = min(|x|, |y|): the rounded root s of the
// rounded sum S, corrected once by the residual R = a^2 + b^2 - s^2 as s + R / (2s).
// With each of a, b, s cut as v = h + l (h its leading 26 bits), v^2 = h^2 + l (v + h),
// so that
//   R = (a_h^2 - s_h^2 + b_h^2) + (l_a (a + a_h) + l_b (b + b_h) - l_s (s + s_h)).
// The first difference is exact (both squares are multiples of ulp(a_h)^2 and it lies
// below 2 a^2), as are the three squares; the second group's terms lie below 2^-24 s^2,
// so that each rounding there (the sums v + h, the products, the additions) weighs below
// 2^-76 s^2, and R's error stays near 2^-74 s^2: the result is the root rounded to
// nearest but within about 2^-21 ulp of a midpoint. Where S lies in [2^-1000, 2^1000)
// no square leaves the range where that holds (a square of the smaller below the normal
// range weighs less than 2^-60 of S); elsewhere, and for infinite and NaN parts (S is
// then infinite or NaN), the scalar form takes the element.
#pragma once

#include <emmintrin.h>

#include <complex>
#include <cstdint>

#include "tess_kernels/complex/pair_loop.h"
#include "tess_kernels/frame/two_sum_double.h"

namespace zorn::tess::cx {

// sqrt(a^2 + b^2) for a >= b >= 0 as above, given sum = a^2 + b^2 rounded, where the
// sum lies in [2^-1000, 2^1000]: the rounded root s and the residual R.
struct RootResidual {
  simd::F64x2 root, residual;
};
inline RootResidual root_residual(simd::F64x2 a, simd::F64x2 b, simd::F64x2 sum) {
  using simd::F64x2;
  const F64x2 s{_mm_sqrt_pd(sum.v)};
  const Split as = truncated_split(a), bs = truncated_split(b), ss = truncated_split(s);
  const F64x2 leading = (as.hi * as.hi - ss.hi * ss.hi) + bs.hi * bs.hi;
  const F64x2 tails = (as.lo * (a + as.hi) + bs.lo * (b + bs.hi)) - ss.lo * (s + ss.hi);
  return {s, leading + tails};
}
// R / 2s as R (s / 2S): the quotient needs only the sum, so that the divider takes it
// beside the root rather than after it. s^2 is within 2^-52 of S, and the correction
// (at most an ulp of s) then errs by 2^-50 of itself.
inline simd::F64x2 corrected_root(simd::F64x2 a, simd::F64x2 b, simd::F64x2 sum) {
  const simd::F64x2 half_inverse = simd::F64x2::splat(0.5) / sum;
  const RootResidual r = root_residual(a, b, sum);
  return r.root + r.residual * (r.root * half_inverse);
}

// The rounded sums of squares of two elements and their corrected roots.
struct ModulusPair {
  simd::F64x2 sum, root;
};
inline ModulusPair modulus_pair(simd::F64x2 x, simd::F64x2 y) {
  using simd::F64x2;
  // The sign cleared by a mask in memory, so that the kernel loop keeps no copy of it.
  const __m128d magnitude = _mm_castsi128_pd(_mm_set1_epi64x(INT64_MAX));
  const F64x2 ax{_mm_and_pd(x.v, magnitude)}, ay{_mm_and_pd(y.v, magnitude)};
  // From the parts themselves, so that a NaN part reaches the sum (max and min drop it),
  // and before their magnitudes, so that the root starts a step earlier.
  const F64x2 sum = x * x + y * y;
  return {sum, corrected_root(simd::max(ax, ay), simd::min(ax, ay), sum)};
}

// Bit l set where the sum of element l (elements 0, 1 in `low`, 2, 3 in `high`) lies in
// [2^-1000, 2^1000). Sums are not negative, so that the test needs only their high words
// w: w - kLow, unsigned, below kHigh - kLow (infinite sums and NaNs of either sign fail
// it). The compare is signed, hence the bias of 2^31 on both sides.
inline int sums_in_range(simd::F64x2 low, simd::F64x2 high) {
  constexpr uint32_t kLow = 0x01700000, kHigh = 0x7E700000;  // high words of 2^-+1000
  constexpr uint32_t kBias = 0x80000000;
  const __m128i words = _mm_castps_si128(
      _mm_shuffle_ps(_mm_castpd_ps(low.v), _mm_castpd_ps(high.v), _MM_SHUFFLE(3, 1, 3, 1)));
  const __m128i above_low = _mm_add_epi32(words, _mm_set1_epi32(int32_t(kBias - kLow)));
  const __m128i limit = _mm_set1_epi32(int32_t(kBias + (kHigh - kLow)));
  return _mm_movemask_ps(_mm_castsi128_ps(_mm_cmpgt_epi32(limit, above_low)));
}

// Four elements whose parts are given as arrays.
inline int modulus_group(const double x[4], const double y[4], double r[4]) {
  using simd::F64x2;
  const ModulusPair low = modulus_pair(F64x2{_mm_load_pd(x)}, F64x2{_mm_load_pd(y)});
  const ModulusPair high = modulus_pair(F64x2{_mm_load_pd(x + 2)}, F64x2{_mm_load_pd(y + 2)});
  _mm_store_pd(r, low.root.v);
  _mm_store_pd(r + 2, high.root.v);
  return sums_in_range(low.sum, high.sum) ^ 0xF;
}

// Whole groups of four of z[0, n) until the first holding an element for the scalar
// form, which is left unstored; returns the count stored (r may overwrite z).
inline int64_t modulus_block(int64_t n, const std::complex<double>* z, double* r) {
  using simd::F64x2;
  return real_chunk_block<2>(n, z, r, [](const F64x2* x, const F64x2* y, F64x2* root) {
    const ModulusPair low = modulus_pair(x[0], y[0]), high = modulus_pair(x[1], y[1]);
    root[0] = low.root;
    root[1] = high.root;
    return sums_in_range(low.sum, high.sum) != 0xF;
  });
}

}  // namespace zorn::tess::cx
