#include "tess_kernels/special/bessel_single.h"

#include <cmath>

#include "tess_kernels/special/bessel_core.h"
#include "tess_kernels/special/bessel_double.h"
#include "zorn/tess.h"

namespace zorn::tess {
namespace bessel_single {

template <int kNu, bool kSecond>
simd::F32x4 in_double(simd::F32x4 x) {
  const auto half = [](simd::F64x2 d) {
    int unused = 0;
    const simd::F64x2 a = kSecond ? d : simd::abs(d);
    const bessel_core::Parts f = bessel_core::small_or_large<kNu, kSecond, false>(a, unused);
    const simd::F64x2 y = f.hi + f.lo;
    return kNu == 1 && !kSecond ? y ^ (d & simd::F64x2::splat(-0.0)) : y;
  };
  return simd::to_float(half(simd::low_to_double(x)), half(simd::high_to_double(x)));
}

template <bool kSecond>
int special_lanes(simd::F32x4 x) {
  const simd::F32x4 limit = simd::F32x4::splat(static_cast<float>(bessel_core::kReductionLimit));
  if constexpr (kSecond) {
    return simd::lane_mask_not_less_equal(x, limit) |
           simd::lane_mask_not_less_equal(simd::F32x4::splat(static_cast<float>(bessel_core::kTinyY)), x);
  }
  return simd::lane_mask_not_less_equal(simd::abs(x), limit);
}

template simd::F32x4 in_double<0, false>(simd::F32x4);
template simd::F32x4 in_double<1, false>(simd::F32x4);
template simd::F32x4 in_double<0, true>(simd::F32x4);
template simd::F32x4 in_double<1, true>(simd::F32x4);
template int special_lanes<false>(simd::F32x4);
template int special_lanes<true>(simd::F32x4);

}  // namespace bessel_single

namespace {

// The double callout's result rounded to float, which overflows earlier.
int32_t via_double(int32_t (*callout)(double, double*), const float* x, float* r) {
  double d;
  const int32_t status = callout(*x, &d);
  *r = static_cast<float>(d);
  return std::isinf(*r) && !std::isinf(d) ? TESS_STATUS_OVERFLOW : status;
}

}  // namespace

int32_t tess_callout_sJ0(const float* x, float* r) { return via_double(tess_callout_dJ0, x, r); }
int32_t tess_callout_sJ1(const float* x, float* r) { return via_double(tess_callout_dJ1, x, r); }
int32_t tess_callout_sY0(const float* x, float* r) { return via_double(tess_callout_dY0, x, r); }
int32_t tess_callout_sY1(const float* x, float* r) { return via_double(tess_callout_dY1, x, r); }

}  // namespace zorn::tess
