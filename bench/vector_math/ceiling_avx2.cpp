// The peers' AVX2 variants, eight floats or four doubles per call: a ceiling line beyond
// the 128-bit baseline. This unit alone is compiled with -mavx2 -mfma and uses no inline
// library code that other units also instantiate.
#include <immintrin.h>
#include <sleef.h>

#include "vector_math/implementations.h"
#include "vector_math/vector_map.h"

// libmvec's AVX2 variants (vector function ABI, "d" = ymm registers with AVX2).
extern "C" {
__m256 _ZGVdN8v_expf(__m256);
__m256 _ZGVdN8v_exp2f(__m256);
__m256 _ZGVdN8v_exp10f(__m256);
__m256 _ZGVdN8v_expm1f(__m256);
__m256 _ZGVdN8v_logf(__m256);
__m256 _ZGVdN8v_log2f(__m256);
__m256 _ZGVdN8v_log10f(__m256);
__m256 _ZGVdN8v_log1pf(__m256);
__m256 _ZGVdN8v_sinf(__m256);
__m256 _ZGVdN8v_cosf(__m256);
__m256 _ZGVdN8v_tanf(__m256);
__m256 _ZGVdN8v_sinhf(__m256);
__m256 _ZGVdN8v_coshf(__m256);
__m256 _ZGVdN8v_tanhf(__m256);
__m256 _ZGVdN8v_asinhf(__m256);
__m256 _ZGVdN8v_acoshf(__m256);
__m256 _ZGVdN8v_atanhf(__m256);
__m256 _ZGVdN8v_asinf(__m256);
__m256 _ZGVdN8v_acosf(__m256);
__m256 _ZGVdN8v_atanf(__m256);
__m256d _ZGVdN4v_exp(__m256d);
__m256d _ZGVdN4v_exp2(__m256d);
__m256d _ZGVdN4v_exp10(__m256d);
__m256d _ZGVdN4v_expm1(__m256d);
__m256d _ZGVdN4v_log(__m256d);
__m256d _ZGVdN4v_log2(__m256d);
__m256d _ZGVdN4v_log10(__m256d);
__m256d _ZGVdN4v_log1p(__m256d);
__m256d _ZGVdN4v_sin(__m256d);
__m256d _ZGVdN4v_cos(__m256d);
__m256d _ZGVdN4v_tan(__m256d);
__m256d _ZGVdN4v_sinh(__m256d);
__m256d _ZGVdN4v_cosh(__m256d);
__m256d _ZGVdN4v_tanh(__m256d);
__m256d _ZGVdN4v_asinh(__m256d);
__m256d _ZGVdN4v_acosh(__m256d);
__m256d _ZGVdN4v_atanh(__m256d);
__m256d _ZGVdN4v_asin(__m256d);
__m256d _ZGVdN4v_acos(__m256d);
__m256d _ZGVdN4v_atan(__m256d);
__m256 _ZGVdN8v_erff(__m256);
__m256d _ZGVdN4v_erf(__m256d);
__m256 _ZGVdN8v_erfcf(__m256);
__m256d _ZGVdN4v_erfc(__m256d);
// Exported by libsleef but missing from its header (see baseline_peers.cpp).
__m256i Sleef_ilogbf8_avx2(__m256);
}

namespace bench::vector_math {
namespace {

template <auto F>
constexpr ArrayMap<float> vs = map_vectors<__m256, float, F>;
template <auto F>
constexpr ArrayMap<double> vd = map_vectors<__m256d, double, F>;

__m256 sleef_logb_s(__m256 x) { return _mm256_cvtepi32_ps(Sleef_ilogbf8_avx2(x)); }
__m256d sleef_logb_d(__m256d x) { return _mm256_cvtepi32_pd(Sleef_ilogbd4_avx2(x)); }

struct Row {
  ArrayMap<float> libmvec_s;
  ArrayMap<double> libmvec_d;
  ArrayMap<float> sleef_s;
  ArrayMap<double> sleef_d;
};

// One row per Function, in its order; SLEEF at 1.0 ulp.
const Row kRows[] = {
    {vs<_ZGVdN8v_expf>, vd<_ZGVdN4v_exp>, vs<Sleef_expf8_u10avx2>, vd<Sleef_expd4_u10avx2>},
    {vs<_ZGVdN8v_exp2f>, vd<_ZGVdN4v_exp2>, vs<Sleef_exp2f8_u10avx2>, vd<Sleef_exp2d4_u10avx2>},
    {vs<_ZGVdN8v_exp10f>, vd<_ZGVdN4v_exp10>, vs<Sleef_exp10f8_u10avx2>,
     vd<Sleef_exp10d4_u10avx2>},
    {vs<_ZGVdN8v_expm1f>, vd<_ZGVdN4v_expm1>, vs<Sleef_expm1f8_u10avx2>,
     vd<Sleef_expm1d4_u10avx2>},
    {vs<_ZGVdN8v_logf>, vd<_ZGVdN4v_log>, vs<Sleef_logf8_u10avx2>, vd<Sleef_logd4_u10avx2>},
    {vs<_ZGVdN8v_log2f>, vd<_ZGVdN4v_log2>, vs<Sleef_log2f8_u10avx2>, vd<Sleef_log2d4_u10avx2>},
    {vs<_ZGVdN8v_log10f>, vd<_ZGVdN4v_log10>, vs<Sleef_log10f8_u10avx2>,
     vd<Sleef_log10d4_u10avx2>},
    {vs<_ZGVdN8v_log1pf>, vd<_ZGVdN4v_log1p>, vs<Sleef_log1pf8_u10avx2>,
     vd<Sleef_log1pd4_u10avx2>},
    {nullptr, nullptr, vs<sleef_logb_s>, vd<sleef_logb_d>},
    {vs<_ZGVdN8v_sinf>, vd<_ZGVdN4v_sin>, vs<Sleef_sinf8_u10avx2>, vd<Sleef_sind4_u10avx2>},
    {vs<_ZGVdN8v_cosf>, vd<_ZGVdN4v_cos>, vs<Sleef_cosf8_u10avx2>, vd<Sleef_cosd4_u10avx2>},
    {vs<_ZGVdN8v_tanf>, vd<_ZGVdN4v_tan>, vs<Sleef_tanf8_u10avx2>, vd<Sleef_tand4_u10avx2>},
    {},  // SinCos: no ceiling line
    {vs<_ZGVdN8v_sinhf>, vd<_ZGVdN4v_sinh>, vs<Sleef_sinhf8_u10avx2>, vd<Sleef_sinhd4_u10avx2>},
    {vs<_ZGVdN8v_coshf>, vd<_ZGVdN4v_cosh>, vs<Sleef_coshf8_u10avx2>, vd<Sleef_coshd4_u10avx2>},
    {vs<_ZGVdN8v_tanhf>, vd<_ZGVdN4v_tanh>, vs<Sleef_tanhf8_u10avx2>, vd<Sleef_tanhd4_u10avx2>},
    {vs<_ZGVdN8v_asinhf>, vd<_ZGVdN4v_asinh>, vs<Sleef_asinhf8_u10avx2>, vd<Sleef_asinhd4_u10avx2>},
    {vs<_ZGVdN8v_acoshf>, vd<_ZGVdN4v_acosh>, vs<Sleef_acoshf8_u10avx2>, vd<Sleef_acoshd4_u10avx2>},
    {vs<_ZGVdN8v_atanhf>, vd<_ZGVdN4v_atanh>, vs<Sleef_atanhf8_u10avx2>, vd<Sleef_atanhd4_u10avx2>},
    {vs<_ZGVdN8v_asinf>, vd<_ZGVdN4v_asin>, vs<Sleef_asinf8_u10avx2>, vd<Sleef_asind4_u10avx2>},
    {vs<_ZGVdN8v_acosf>, vd<_ZGVdN4v_acos>, vs<Sleef_acosf8_u10avx2>, vd<Sleef_acosd4_u10avx2>},
    {vs<_ZGVdN8v_atanf>, vd<_ZGVdN4v_atan>, vs<Sleef_atanf8_u10avx2>, vd<Sleef_atand4_u10avx2>},
    {},  // the inverse error functions and the normal quantile: neither peer has them
    {},
    {},
    // The powers and roots: no ceiling line.
    {}, {}, {}, {}, {}, {}, {}, {},
    {nullptr, nullptr, vs<Sleef_lgammaf8_u10avx2>, vd<Sleef_lgammad4_u10avx2>},
    {nullptr, nullptr, vs<Sleef_tgammaf8_u10avx2>, vd<Sleef_tgammad4_u10avx2>},
    {},  // the Bessel functions: neither peer has them
    {},
    {},
    {vs<_ZGVdN8v_erff>, vd<_ZGVdN4v_erf>, vs<Sleef_erff8_u10avx2>, vd<Sleef_erfd4_u10avx2>},
    {vs<_ZGVdN8v_erfcf>, vd<_ZGVdN4v_erfc>, vs<Sleef_erfcf8_u15avx2>, vd<Sleef_erfcd4_u15avx2>},
    {},  // Atan2: no two-argument ceiling line
    {},  // I0, I1 and ExpInt1: neither peer has them
    {},
    {},
    {nullptr, nullptr, vs<Sleef_sinpif8_u05avx2>, vd<Sleef_sinpid4_u05avx2>},
    {nullptr, nullptr, vs<Sleef_cospif8_u05avx2>, vd<Sleef_cospid4_u05avx2>},
    {}, {}, {}, {},  // Tanpi and the degree functions: no ceiling line
    {}, {}, {}, {},  // the inverse functions in half turns: no ceiling line
    {},  // LGamma on negative arguments: SLEEF's fails the agreement check about the zeros
    {nullptr, nullptr, vs<Sleef_tgammaf8_u10avx2>, vd<Sleef_tgammad4_u10avx2>},
};
static_assert(std::size(kRows) == kFunctionCount, "one row per function");

}  // namespace

int ceiling_implementations(Function f, Implementation* out) {
  const Row& row = kRows[static_cast<int>(f)];
  int count = 0;
  if (row.libmvec_s != nullptr)
    out[count++] = {"libmvec_avx2", Role::kCeiling, row.libmvec_s, row.libmvec_d};
  if (row.sleef_s != nullptr)
    out[count++] = {f == Function::kLogb  ? "sleef_ilogb_avx2"
                    : is_scaled_trig(f)   ? "sleef_u05_avx2"
                                          : "sleef_u10_avx2",
                    Role::kCeiling,
                    row.sleef_s, row.sleef_d};
  return count;
}

}  // namespace bench::vector_math
