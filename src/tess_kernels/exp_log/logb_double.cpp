#include "tess_kernels/exp_log/double_ops.h"

#include <cmath>

#include "tess_kernels/exp_log/scale_double.h"
#include "tess_kernels/frame/simd_double.h"
#include "zorn/tess.h"

namespace zorn::tess {
namespace {

constexpr int kBias = 1023;
constexpr int kMaxBiased = 0x7FF;

// The exponent field of both lanes, read from the high words (words 1 and 3), moved to
// words 0 and 1 and converted. Zero and all-ones fields are special lanes.
int logb_pair(simd::F64x2 x, simd::F64x2& y) {
  const __m128i high_words = _mm_shuffle_epi32(_mm_castpd_si128(x.v), _MM_SHUFFLE(3, 1, 3, 1));
  const __m128i field = _mm_and_si128(_mm_srli_epi32(high_words, 20), _mm_set1_epi32(kMaxBiased));
  y = simd::int32_lanes_to_double(_mm_sub_epi32(field, _mm_set1_epi32(kBias)));
  const __m128i special = _mm_or_si128(_mm_cmpeq_epi32(field, _mm_setzero_si128()),
                                       _mm_cmpeq_epi32(field, _mm_set1_epi32(kMaxBiased)));
  return _mm_movemask_ps(_mm_castsi128_ps(special)) & 3;
}

}  // namespace

int64_t LogbDouble::fast_block(int64_t n, const double* a, double* r) {
  return run_fast_block(n, a, r, logb_pair);
}

int LogbDouble::fast_group(const double x[4], double y[4]) {
  return run_fast_group(x, y, logb_pair);
}

int32_t tess_callout_dLogb(double x, double* r) {
  if (std::isnan(x)) {
    *r = x;
    return TESS_STATUS_OK;
  }
  if (std::isinf(x)) {
    *r = INFINITY;
    return TESS_STATUS_OK;
  }
  if (x == 0) {  // also a subnormal read as zero with denormals-are-zero on
    *r = -INFINITY;
    return TESS_STATUS_DOMAIN;
  }
  const int field = biased_exponent(x);
  if (field != 0) {
    *r = field - kBias;
    return TESS_STATUS_OK;
  }
  constexpr int kUp = 54;  // 2^54 brings every subnormal into the normal range
  *r = biased_exponent(x * 0x1p54) - kBias - kUp;
  return TESS_STATUS_OK;
}

}  // namespace zorn::tess
