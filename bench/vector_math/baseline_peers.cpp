// Ours and the peers that run on baseline x86-64 (SSE2; libmvec picks its own 128-bit
// code path at load time): glibc's scalar functions in a plain loop, libmvec's 128-bit
// variants, SLEEF's SSE2 variants at 1.0 and 3.5 ulp; for the inverse error functions and
// the normal quantile, GSL's scalar quantile.
#include <emmintrin.h>
#include <math.h>
#include <gsl/gsl_cdf.h>
#include <gsl/gsl_sf_bessel.h>
#include <gsl/gsl_sf_expint.h>
#include <sleef.h>

#include <cmath>
#include <iterator>
#include <vector>

#include "vector_math/implementations.h"
#include "vector_math/vector_map.h"
#include "zorn/tess_functions.h"

// libmvec's 128-bit variants (vector function ABI, "b" = xmm registers, N4/N2 lanes).
extern "C" {
__m128 _ZGVbN4v_expf(__m128);
__m128 _ZGVbN4v_exp2f(__m128);
__m128 _ZGVbN4v_exp10f(__m128);
__m128 _ZGVbN4v_expm1f(__m128);
__m128 _ZGVbN4v_logf(__m128);
__m128 _ZGVbN4v_log2f(__m128);
__m128 _ZGVbN4v_log10f(__m128);
__m128 _ZGVbN4v_log1pf(__m128);
__m128 _ZGVbN4v_sinf(__m128);
__m128 _ZGVbN4v_cosf(__m128);
__m128 _ZGVbN4v_tanf(__m128);
__m128 _ZGVbN4v_sinhf(__m128);
__m128 _ZGVbN4v_coshf(__m128);
__m128 _ZGVbN4v_tanhf(__m128);
__m128 _ZGVbN4v_asinhf(__m128);
__m128 _ZGVbN4v_acoshf(__m128);
__m128 _ZGVbN4v_atanhf(__m128);
__m128 _ZGVbN4v_asinf(__m128);
__m128 _ZGVbN4v_acosf(__m128);
__m128 _ZGVbN4v_atanf(__m128);
__m128d _ZGVbN2v_exp(__m128d);
__m128d _ZGVbN2v_exp2(__m128d);
__m128d _ZGVbN2v_exp10(__m128d);
__m128d _ZGVbN2v_expm1(__m128d);
__m128d _ZGVbN2v_log(__m128d);
__m128d _ZGVbN2v_log2(__m128d);
__m128d _ZGVbN2v_log10(__m128d);
__m128d _ZGVbN2v_log1p(__m128d);
__m128d _ZGVbN2v_sin(__m128d);
__m128d _ZGVbN2v_cos(__m128d);
__m128d _ZGVbN2v_tan(__m128d);
// sincos: each lane's two result addresses passed as vectors of pointers.
void _ZGVbN4vvv_sincosf(__m128, __m128i, __m128i, __m128i, __m128i);
void _ZGVbN2vvv_sincos(__m128d, __m128i, __m128i);
__m128d _ZGVbN2v_sinh(__m128d);
__m128d _ZGVbN2v_cosh(__m128d);
__m128d _ZGVbN2v_tanh(__m128d);
__m128d _ZGVbN2v_asinh(__m128d);
__m128d _ZGVbN2v_acosh(__m128d);
__m128d _ZGVbN2v_atanh(__m128d);
__m128d _ZGVbN2v_asin(__m128d);
__m128d _ZGVbN2v_acos(__m128d);
__m128d _ZGVbN2v_atan(__m128d);
__m128 _ZGVbN4v_cbrtf(__m128);
__m128d _ZGVbN2v_cbrt(__m128d);
__m128 _ZGVbN4vv_powf(__m128, __m128);
__m128d _ZGVbN2vv_pow(__m128d, __m128d);
__m128 _ZGVbN4vv_hypotf(__m128, __m128);
__m128d _ZGVbN2vv_hypot(__m128d, __m128d);
__m128 _ZGVbN4vv_atan2f(__m128, __m128);
__m128d _ZGVbN2vv_atan2(__m128d, __m128d);
__m128 _ZGVbN4v_erff(__m128);
__m128d _ZGVbN2v_erf(__m128d);
__m128 _ZGVbN4v_erfcf(__m128);
__m128d _ZGVbN2v_erfc(__m128d);
// Exported by libsleef but missing from its header: the single precision twin of
// Sleef_ilogbd2_sse2, four int32 exponents. The start-up check confirms the declaration.
__m128i Sleef_ilogbf4_sse2(__m128);
}

namespace bench::vector_math {
namespace {

template <class T, void (*Kernel)(int32_t, const T*, T*)>
void ours(const T* a, T* r, int64_t n) {
  Kernel(static_cast<int32_t>(n), a, r);
}
template <class T, void (*Kernel)(int32_t, const T*, const T*, T*), Function Of>
void ours2(const T* a, T* r, int64_t n) {
  Kernel(static_cast<int32_t>(n), a, second_arguments<T>(Of, n), r);
}

template <auto F>
constexpr ArrayMap<float> vs = map_vectors<__m128, float, F>;
template <auto F>
constexpr ArrayMap<double> vd = map_vectors<__m128d, double, F>;
// Fixed function types: they pick the C overloads of glibc's double functions.
template <float (*F)(float)>
constexpr ArrayMap<float> ls = map_elements<float, F>;
template <double (*F)(double)>
constexpr ArrayMap<double> ld = map_elements<double, F>;

template <auto F, Function Of>
constexpr ArrayMap<float> vs2 = map_vectors2<__m128, float, F, Of>;
template <auto F, Function Of>
constexpr ArrayMap<double> vd2 = map_vectors2<__m128d, double, F, Of>;

// The bare root instruction, and the scalar compositions a caller would write where the
// peers lack the function.
__m128 sqrt_s(__m128 x) { return _mm_sqrt_ps(x); }
__m128d sqrt_d(__m128d x) { return _mm_sqrt_pd(x); }
__m128 inv_sqrt_s(__m128 x) { return _mm_div_ps(_mm_set1_ps(1.0f), _mm_sqrt_ps(x)); }
__m128d inv_sqrt_d(__m128d x) { return _mm_div_pd(_mm_set1_pd(1.0), _mm_sqrt_pd(x)); }
template <class T>
T inv_cbrt(T x) { return 1 / std::cbrt(x); }
template <class T>
T pow2o3(T x) {
  const T c = std::cbrt(x);
  return c * c;
}
template <class T>
T pow3o2(T x) { return x * std::sqrt(x); }

// SLEEF has ilogb, not logb: the integer exponent converted back, which is logb on the
// ordinary arguments measured here.
__m128 sleef_logb_s(__m128 x) { return _mm_cvtepi32_ps(Sleef_ilogbf4_sse2(x)); }
__m128d sleef_logb_d(__m128d x) { return _mm_cvtepi32_pd(Sleef_ilogbd2_sse2(x)); }

// GSL's quantile in the forms of the other two inverses: erfinv(x) = -quantile((1 - |x|)/2)
// / sqrt(2) with the sign of x, erfcinv(q) = -quantile(q / 2) / sqrt(2), arguments exact
// where the tails need them.
double gsl_quantile(double p) { return gsl_cdf_ugaussian_Pinv(p); }
double gsl_erfinv(double x) {
  return std::copysign(-gsl_cdf_ugaussian_Pinv(0.5 * (1 - std::fabs(x))) * M_SQRT1_2, x);
}
double gsl_erfcinv(double q) { return -gsl_cdf_ugaussian_Pinv(0.5 * q) * M_SQRT1_2; }
// SLEEF has sinpi and cospi (0.5 ulp), not tanpi nor the degree functions: the
// compositions a careful caller would write on them, tanpi as the quotient of sincospi,
// sin and cos of x degrees as the sinpi of x/180 and of (90 - |x|)/180 (on the benchmark's
// range of [-90, 90] both stay within a few ulp, also next to the zeros), tan of degrees
// as their quotient.
__m128 sleef_tanpi_s(__m128 x) {
  const Sleef___m128_2 sc = Sleef_sincospif4_u05sse2(x);
  return _mm_div_ps(sc.x, sc.y);
}
__m128d sleef_tanpi_d(__m128d x) {
  const Sleef___m128d_2 sc = Sleef_sincospid2_u05sse2(x);
  return _mm_div_pd(sc.x, sc.y);
}
__m128 sleef_sind_s(__m128 x) { return Sleef_sinpif4_u05sse2(_mm_div_ps(x, _mm_set1_ps(180))); }
__m128d sleef_sind_d(__m128d x) { return Sleef_sinpid2_u05sse2(_mm_div_pd(x, _mm_set1_pd(180))); }
__m128 sleef_cosd_s(__m128 x) {
  return sleef_sind_s(_mm_sub_ps(_mm_set1_ps(90), _mm_andnot_ps(_mm_set1_ps(-0.0f), x)));
}
__m128d sleef_cosd_d(__m128d x) {
  return sleef_sind_d(_mm_sub_pd(_mm_set1_pd(90), _mm_andnot_pd(_mm_set1_pd(-0.0), x)));
}
__m128 sleef_tand_s(__m128 x) { return _mm_div_ps(sleef_sind_s(x), sleef_cosd_s(x)); }
__m128d sleef_tand_d(__m128d x) { return _mm_div_pd(sleef_sind_d(x), sleef_cosd_d(x)); }

// SinCos maps: the sine into r, the cosine into a scratch array (std::vector stays out of
// the AVX2 unit, see implementations.h).
// Where SinCos maps put their cosines: n elements, grown on a call before the timed loop.
template <class T>
T* cosine_scratch(int64_t n) {
  static std::vector<T> cosines;
  if (static_cast<int64_t>(cosines.size()) < n) cosines.resize(static_cast<size_t>(n));
  return cosines.data();
}

// map_vectors for a vector sincos that returns both as a pair (.x the sine, .y the cosine).
template <class V, class T, auto F>
void map_sin_cos_vectors(const T* a, T* r, int64_t n) {
  constexpr int64_t kLanes = sizeof(V) / sizeof(T);
  T* c = cosine_scratch<T>(n);
  int64_t i = 0;
  for (; i + kLanes <= n; i += kLanes) {
    V v;
    std::memcpy(&v, a + i, sizeof v);
    const auto both = F(v);
    std::memcpy(r + i, &both.x, sizeof v);
    std::memcpy(c + i, &both.y, sizeof v);
  }
  if (i == n) return;
  T lanes[kLanes];
  for (int64_t k = 0; k < kLanes; ++k) lanes[k] = i + k < n ? a[i + k] : a[0];
  V v;
  std::memcpy(&v, lanes, sizeof v);
  const auto both = F(v);
  T s[kLanes], co[kLanes];
  std::memcpy(s, &both.x, sizeof v);
  std::memcpy(co, &both.y, sizeof v);
  for (int64_t k = 0; i + k < n; ++k) {
    r[i + k] = s[k];
    c[i + k] = co[k];
  }
}

template <class T, void (*Kernel)(int32_t, const T*, T*, T*)>
void ours_sin_cos(const T* a, T* r, int64_t n) {
  Kernel(static_cast<int32_t>(n), a, r, cosine_scratch<T>(n));
}
template <class T>
void libm_sin_cos(const T* a, T* r, int64_t n) {
  T* c = cosine_scratch<T>(n);
  for (int64_t i = 0; i < n; ++i) {
    if constexpr (sizeof(T) == 4)
      sincosf(a[i], r + i, c + i);
    else
      sincos(a[i], r + i, c + i);
  }
}
// libmvec writes through the lanes' addresses, straight into r and c for whole vectors.
template <class T>
__m128i addresses(T* p) {
  return _mm_set_epi64x(reinterpret_cast<int64_t>(p + 1), reinterpret_cast<int64_t>(p));
}
template <class T, int kLanes, class Call>
void libmvec_sin_cos(const T* a, T* r, int64_t n, Call call) {
  T* c = cosine_scratch<T>(n);
  int64_t i = 0;
  for (; i + kLanes <= n; i += kLanes) call(a + i, r + i, c + i);
  if (i == n) return;
  T x[kLanes], s[kLanes], co[kLanes];
  for (int k = 0; k < kLanes; ++k) x[k] = i + k < n ? a[i + k] : a[0];
  call(x, s, co);
  for (int k = 0; i + k < n; ++k) {
    r[i + k] = s[k];
    c[i + k] = co[k];
  }
}
void libmvec_sin_cos_s(const float* a, float* r, int64_t n) {
  libmvec_sin_cos<float, 4>(a, r, n, [](const float* x, float* s, float* c) {
    _ZGVbN4vvv_sincosf(_mm_loadu_ps(x), addresses(s), addresses(s + 2), addresses(c),
                       addresses(c + 2));
  });
}
void libmvec_sin_cos_d(const double* a, double* r, int64_t n) {
  libmvec_sin_cos<double, 2>(a, r, n, [](const double* x, double* s, double* c) {
    _ZGVbN2vvv_sincos(_mm_loadu_pd(x), addresses(s), addresses(c));
  });
}

template <double (*F)(double)>
float in_single(float x) {
  return static_cast<float>(F(x));
}

struct Row {
  ArrayMap<float> zorn_s;
  ArrayMap<double> zorn_d;
  ArrayMap<float> libm_s;
  ArrayMap<double> libm_d;
  ArrayMap<float> libmvec_s;
  ArrayMap<double> libmvec_d;
  ArrayMap<float> sleef_u10_s;
  ArrayMap<double> sleef_u10_d;
  ArrayMap<float> sleef_u35_s;
  ArrayMap<double> sleef_u35_d;
  ArrayMap<float> gsl_s = nullptr;
  ArrayMap<double> gsl_d = nullptr;
  ArrayMap<float> bare_s = nullptr;  // the bare instruction loop (roots)
  ArrayMap<double> bare_d = nullptr;
  ArrayMap<float> zorn_la_s = nullptr;  // ours in the LA and EP slots, where they differ
  ArrayMap<double> zorn_la_d = nullptr;
  ArrayMap<float> zorn_ep_s = nullptr;
  ArrayMap<double> zorn_ep_d = nullptr;
};

// The inverse functions in half turns as a caller would compose them on the peers' angle.
template <auto F>
__m128 over_pi_s(__m128 x) { return _mm_mul_ps(F(x), _mm_set1_ps(static_cast<float>(M_1_PI))); }
template <auto F>
__m128d over_pi_d(__m128d x) { return _mm_mul_pd(F(x), _mm_set1_pd(M_1_PI)); }
template <auto F>
__m128 over_pi_s2(__m128 a, __m128 b) {
  return _mm_mul_ps(F(a, b), _mm_set1_ps(static_cast<float>(M_1_PI)));
}
template <auto F>
__m128d over_pi_d2(__m128d a, __m128d b) { return _mm_mul_pd(F(a, b), _mm_set1_pd(M_1_PI)); }
#define OVER_PI_ROW(Name, libmvec_s, libmvec_d, sleef_s, sleef_d)                             \
  {ours<float, _tesss##Name>, ours<double, _tessd##Name>, nullptr, nullptr,                  \
   vs<over_pi_s<libmvec_s>>, vd<over_pi_d<libmvec_d>>, vs<over_pi_s<sleef_s>>,             \
   vd<over_pi_d<sleef_d>>, nullptr, nullptr}

// A row of the pi-scaled and degree functions: ours in the three slots, and SLEEF's
// function or composition in its 1-ulp column.
#define SCALED_ROW(Name, sleef_s, sleef_d)                                                     \
  {ours<float, _tesss##Name>, ours<double, _tessd##Name>, nullptr, nullptr, nullptr, nullptr, \
   vs<sleef_s>, vd<sleef_d>, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,           \
   ours<float, _tesss##Name##_21>, ours<double, _tessd##Name##_50>,                         \
   ours<float, _tesss##Name##_11>, ours<double, _tessd##Name##_26>}

// One row per Function, in its order.
const Row kRows[] = {
    {ours<float, _tesssExp>, ours<double, _tessdExp>, ls<expf>, ld<exp>, vs<_ZGVbN4v_expf>,
     vd<_ZGVbN2v_exp>, vs<Sleef_expf4_u10sse2>, vd<Sleef_expd2_u10sse2>, nullptr, nullptr},
    {ours<float, _tesssExp2>, ours<double, _tessdExp2>, ls<exp2f>, ld<exp2>, vs<_ZGVbN4v_exp2f>,
     vd<_ZGVbN2v_exp2>, vs<Sleef_exp2f4_u10sse2>, vd<Sleef_exp2d2_u10sse2>,
     vs<Sleef_exp2f4_u35sse2>, vd<Sleef_exp2d2_u35sse2>},
    {ours<float, _tesssExp10>, ours<double, _tessdExp10>, ls<exp10f>, ld<exp10>,
     vs<_ZGVbN4v_exp10f>, vd<_ZGVbN2v_exp10>, vs<Sleef_exp10f4_u10sse2>,
     vd<Sleef_exp10d2_u10sse2>, vs<Sleef_exp10f4_u35sse2>, vd<Sleef_exp10d2_u35sse2>},
    {ours<float, _tesssExpm1>, ours<double, _tessdExpm1>, ls<expm1f>, ld<expm1>,
     vs<_ZGVbN4v_expm1f>, vd<_ZGVbN2v_expm1>, vs<Sleef_expm1f4_u10sse2>,
     vd<Sleef_expm1d2_u10sse2>, nullptr, nullptr},
    {ours<float, _tesssLn>, ours<double, _tessdLn>, ls<logf>, ld<log>, vs<_ZGVbN4v_logf>,
     vd<_ZGVbN2v_log>, vs<Sleef_logf4_u10sse2>, vd<Sleef_logd2_u10sse2>, vs<Sleef_logf4_u35sse2>,
     vd<Sleef_logd2_u35sse2>},
    {ours<float, _tesssLog2>, ours<double, _tessdLog2>, ls<log2f>, ld<log2>, vs<_ZGVbN4v_log2f>,
     vd<_ZGVbN2v_log2>, vs<Sleef_log2f4_u10sse2>, vd<Sleef_log2d2_u10sse2>,
     vs<Sleef_log2f4_u35sse2>, vd<Sleef_log2d2_u35sse2>},
    {ours<float, _tesssLog10>, ours<double, _tessdLog10>, ls<log10f>, ld<log10>,
     vs<_ZGVbN4v_log10f>, vd<_ZGVbN2v_log10>, vs<Sleef_log10f4_u10sse2>,
     vd<Sleef_log10d2_u10sse2>, nullptr, nullptr},
    {ours<float, _tesssLog1p>, ours<double, _tessdLog1p>, ls<log1pf>, ld<log1p>,
     vs<_ZGVbN4v_log1pf>, vd<_ZGVbN2v_log1p>, vs<Sleef_log1pf4_u10sse2>,
     vd<Sleef_log1pd2_u10sse2>, nullptr, nullptr},
    {ours<float, _tesssLogb>, ours<double, _tessdLogb>, ls<logbf>, ld<logb>, nullptr, nullptr,
     vs<sleef_logb_s>, vd<sleef_logb_d>, nullptr, nullptr},
    {ours<float, _tesssSin>, ours<double, _tessdSin>, ls<sinf>, ld<sin>, vs<_ZGVbN4v_sinf>,
     vd<_ZGVbN2v_sin>, vs<Sleef_sinf4_u10sse2>, vd<Sleef_sind2_u10sse2>, vs<Sleef_sinf4_u35sse2>,
     vd<Sleef_sind2_u35sse2>},
    {ours<float, _tesssCos>, ours<double, _tessdCos>, ls<cosf>, ld<cos>, vs<_ZGVbN4v_cosf>,
     vd<_ZGVbN2v_cos>, vs<Sleef_cosf4_u10sse2>, vd<Sleef_cosd2_u10sse2>, vs<Sleef_cosf4_u35sse2>,
     vd<Sleef_cosd2_u35sse2>},
    {ours<float, _tesssTan>, ours<double, _tessdTan>, ls<tanf>, ld<tan>, vs<_ZGVbN4v_tanf>,
     vd<_ZGVbN2v_tan>, vs<Sleef_tanf4_u10sse2>, vd<Sleef_tand2_u10sse2>, vs<Sleef_tanf4_u35sse2>,
     vd<Sleef_tand2_u35sse2>},
    {ours_sin_cos<float, _tesssSinCos>, ours_sin_cos<double, _tessdSinCos>, libm_sin_cos<float>,
     libm_sin_cos<double>, libmvec_sin_cos_s, libmvec_sin_cos_d,
     map_sin_cos_vectors<__m128, float, Sleef_sincosf4_u10sse2>,
     map_sin_cos_vectors<__m128d, double, Sleef_sincosd2_u10sse2>,
     map_sin_cos_vectors<__m128, float, Sleef_sincosf4_u35sse2>,
     map_sin_cos_vectors<__m128d, double, Sleef_sincosd2_u35sse2>},
    {ours<float, _tesssSinh>, ours<double, _tessdSinh>, ls<sinhf>, ld<sinh>, vs<_ZGVbN4v_sinhf>,
     vd<_ZGVbN2v_sinh>, vs<Sleef_sinhf4_u10sse2>, vd<Sleef_sinhd2_u10sse2>, vs<Sleef_sinhf4_u35sse2>,
     vd<Sleef_sinhd2_u35sse2>},
    {ours<float, _tesssCosh>, ours<double, _tessdCosh>, ls<coshf>, ld<cosh>, vs<_ZGVbN4v_coshf>,
     vd<_ZGVbN2v_cosh>, vs<Sleef_coshf4_u10sse2>, vd<Sleef_coshd2_u10sse2>, vs<Sleef_coshf4_u35sse2>,
     vd<Sleef_coshd2_u35sse2>},
    {ours<float, _tesssTanh>, ours<double, _tessdTanh>, ls<tanhf>, ld<tanh>, vs<_ZGVbN4v_tanhf>,
     vd<_ZGVbN2v_tanh>, vs<Sleef_tanhf4_u10sse2>, vd<Sleef_tanhd2_u10sse2>, vs<Sleef_tanhf4_u35sse2>,
     vd<Sleef_tanhd2_u35sse2>},
    {ours<float, _tesssAsinh>, ours<double, _tessdAsinh>, ls<asinhf>, ld<asinh>, vs<_ZGVbN4v_asinhf>,
     vd<_ZGVbN2v_asinh>, vs<Sleef_asinhf4_u10sse2>, vd<Sleef_asinhd2_u10sse2>, nullptr, nullptr},
    {ours<float, _tesssAcosh>, ours<double, _tessdAcosh>, ls<acoshf>, ld<acosh>, vs<_ZGVbN4v_acoshf>,
     vd<_ZGVbN2v_acosh>, vs<Sleef_acoshf4_u10sse2>, vd<Sleef_acoshd2_u10sse2>, nullptr, nullptr},
    {ours<float, _tesssAtanh>, ours<double, _tessdAtanh>, ls<atanhf>, ld<atanh>, vs<_ZGVbN4v_atanhf>,
     vd<_ZGVbN2v_atanh>, vs<Sleef_atanhf4_u10sse2>, vd<Sleef_atanhd2_u10sse2>, nullptr, nullptr},
    {ours<float, _tesssAsin>, ours<double, _tessdAsin>, ls<asinf>, ld<asin>, vs<_ZGVbN4v_asinf>,
     vd<_ZGVbN2v_asin>, vs<Sleef_asinf4_u10sse2>, vd<Sleef_asind2_u10sse2>, vs<Sleef_asinf4_u35sse2>,
     vd<Sleef_asind2_u35sse2>},
    {ours<float, _tesssAcos>, ours<double, _tessdAcos>, ls<acosf>, ld<acos>, vs<_ZGVbN4v_acosf>,
     vd<_ZGVbN2v_acos>, vs<Sleef_acosf4_u10sse2>, vd<Sleef_acosd2_u10sse2>, vs<Sleef_acosf4_u35sse2>,
     vd<Sleef_acosd2_u35sse2>},
    {ours<float, _tesssAtan>, ours<double, _tessdAtan>, ls<atanf>, ld<atan>, vs<_ZGVbN4v_atanf>,
     vd<_ZGVbN2v_atan>, vs<Sleef_atanf4_u10sse2>, vd<Sleef_atand2_u10sse2>, vs<Sleef_atanf4_u35sse2>,
     vd<Sleef_atand2_u35sse2>},
    {ours<float, _tesssErfInv>, ours<double, _tessdErfInv>, nullptr, nullptr, nullptr, nullptr,
     nullptr, nullptr, nullptr, nullptr, ls<in_single<gsl_erfinv>>, ld<gsl_erfinv>},
    {ours<float, _tesssErfcInv>, ours<double, _tessdErfcInv>, nullptr, nullptr, nullptr, nullptr,
     nullptr, nullptr, nullptr, nullptr, ls<in_single<gsl_erfcinv>>, ld<gsl_erfcinv>},
    {ours<float, _tesssCdfNormInv>, ours<double, _tessdCdfNormInv>, nullptr, nullptr, nullptr,
     nullptr, nullptr, nullptr, nullptr, nullptr, ls<in_single<gsl_quantile>>, ld<gsl_quantile>},
    {ours<float, _tesssSqrt>, ours<double, _tessdSqrt>, ls<sqrtf>, ld<sqrt>, nullptr, nullptr,
     nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, vs<sqrt_s>, vd<sqrt_d>},
    {ours<float, _tesssInvSqrt>, ours<double, _tessdInvSqrt>, nullptr, nullptr, nullptr, nullptr,
     nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, vs<inv_sqrt_s>, vd<inv_sqrt_d>},
    {ours<float, _tesssCbrt>, ours<double, _tessdCbrt>, ls<cbrtf>, ld<cbrt>, vs<_ZGVbN4v_cbrtf>,
     vd<_ZGVbN2v_cbrt>, vs<Sleef_cbrtf4_u10sse2>, vd<Sleef_cbrtd2_u10sse2>,
     vs<Sleef_cbrtf4_u35sse2>, vd<Sleef_cbrtd2_u35sse2>},
    {ours<float, _tesssInvCbrt>, ours<double, _tessdInvCbrt>, ls<inv_cbrt<float>>,
     ld<inv_cbrt<double>>, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr},
    {ours<float, _tesssPow2o3>, ours<double, _tessdPow2o3>, ls<pow2o3<float>>,
     ld<pow2o3<double>>, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr},
    {ours<float, _tesssPow3o2>, ours<double, _tessdPow3o2>, ls<pow3o2<float>>,
     ld<pow3o2<double>>, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr},
    {ours2<float, _tesssPow, Function::kPow>, ours2<double, _tessdPow, Function::kPow>,
     map_elements2<float, powf, Function::kPow>,
     map_elements2<double, static_cast<double (*)(double, double)>(pow), Function::kPow>,
     vs2<_ZGVbN4vv_powf, Function::kPow>, vd2<_ZGVbN2vv_pow, Function::kPow>,
     vs2<Sleef_powf4_u10sse2, Function::kPow>, vd2<Sleef_powd2_u10sse2, Function::kPow>,
     nullptr, nullptr},
    {ours2<float, _tesssHypot, Function::kHypot>, ours2<double, _tessdHypot, Function::kHypot>,
     map_elements2<float, hypotf, Function::kHypot>,
     map_elements2<double, static_cast<double (*)(double, double)>(hypot), Function::kHypot>,
     vs2<_ZGVbN4vv_hypotf, Function::kHypot>, vd2<_ZGVbN2vv_hypot, Function::kHypot>,
     vs2<Sleef_hypotf4_u05sse2, Function::kHypot>, vd2<Sleef_hypotd2_u05sse2, Function::kHypot>,
     vs2<Sleef_hypotf4_u35sse2, Function::kHypot>, vd2<Sleef_hypotd2_u35sse2, Function::kHypot>},
    {ours<float, _tesssLGamma>, ours<double, _tessdLGamma>, ls<lgammaf>, ld<lgamma>, nullptr,
     nullptr, vs<Sleef_lgammaf4_u10sse2>, vd<Sleef_lgammad2_u10sse2>, nullptr, nullptr},
    {ours<float, _tesssTGamma>, ours<double, _tessdTGamma>, ls<tgammaf>, ld<tgamma>, nullptr,
     nullptr, vs<Sleef_tgammaf4_u10sse2>, vd<Sleef_tgammad2_u10sse2>, nullptr, nullptr},
    {ours<float, _tesssJ0>, ours<double, _tessdJ0>, ls<j0f>, ld<j0>, nullptr, nullptr, nullptr,
     nullptr, nullptr, nullptr},
    {ours<float, _tesssJ1>, ours<double, _tessdJ1>, ls<j1f>, ld<j1>, nullptr, nullptr, nullptr,
     nullptr, nullptr, nullptr},
    {ours<float, _tesssY0>, ours<double, _tessdY0>, ls<y0f>, ld<y0>, nullptr, nullptr, nullptr,
     nullptr, nullptr, nullptr},
    {ours<float, _tesssErf>, ours<double, _tessdErf>, ls<erff>, ld<erf>, vs<_ZGVbN4v_erff>,
     vd<_ZGVbN2v_erf>, vs<Sleef_erff4_u10sse2>, vd<Sleef_erfd2_u10sse2>, nullptr, nullptr},
    // SLEEF's erfc is a 1.5-ulp function; it stands in its 1-ulp column.
    {ours<float, _tesssErfc>, ours<double, _tessdErfc>, ls<erfcf>, ld<erfc>, vs<_ZGVbN4v_erfcf>,
     vd<_ZGVbN2v_erfc>, vs<Sleef_erfcf4_u15sse2>, vd<Sleef_erfcd2_u15sse2>, nullptr, nullptr},
    {ours2<float, _tesssAtan2, Function::kAtan2>, ours2<double, _tessdAtan2, Function::kAtan2>,
     map_elements2<float, atan2f, Function::kAtan2>,
     map_elements2<double, static_cast<double (*)(double, double)>(atan2), Function::kAtan2>,
     vs2<_ZGVbN4vv_atan2f, Function::kAtan2>, vd2<_ZGVbN2vv_atan2, Function::kAtan2>,
     vs2<Sleef_atan2f4_u10sse2, Function::kAtan2>, vd2<Sleef_atan2d2_u10sse2, Function::kAtan2>,
     vs2<Sleef_atan2f4_u35sse2, Function::kAtan2>, vd2<Sleef_atan2d2_u35sse2, Function::kAtan2>},
    // Neither libm nor SLEEF has I0 and I1: GSL's scalar functions are the reference.
    {ours<float, _tesssI0>, ours<double, _tessdI0>, nullptr, nullptr, nullptr, nullptr, nullptr,
     nullptr, nullptr, nullptr, ls<in_single<gsl_sf_bessel_I0>>, ld<gsl_sf_bessel_I0>},
    {ours<float, _tesssI1>, ours<double, _tessdI1>, nullptr, nullptr, nullptr, nullptr, nullptr,
     nullptr, nullptr, nullptr, ls<in_single<gsl_sf_bessel_I1>>, ld<gsl_sf_bessel_I1>},
    // Nor E1: GSL's scalar function is the reference.
    {ours<float, _tesssExpInt1>, ours<double, _tessdExpInt1>, nullptr, nullptr, nullptr, nullptr,
     nullptr, nullptr, nullptr, nullptr, ls<in_single<gsl_sf_expint_E1>>, ld<gsl_sf_expint_E1>},
    // glibc (before 2.41) and libmvec have no pi-scaled or degree functions.
    SCALED_ROW(Sinpi, Sleef_sinpif4_u05sse2, Sleef_sinpid2_u05sse2),
    SCALED_ROW(Cospi, Sleef_cospif4_u05sse2, Sleef_cospid2_u05sse2),
    SCALED_ROW(Tanpi, sleef_tanpi_s, sleef_tanpi_d),
    SCALED_ROW(Sind, sleef_sind_s, sleef_sind_d),
    SCALED_ROW(Cosd, sleef_cosd_s, sleef_cosd_d),
    SCALED_ROW(Tand, sleef_tand_s, sleef_tand_d),
    // Nor the inverse functions in half turns: the peers' angle times 1/pi.
    OVER_PI_ROW(Asinpi, _ZGVbN4v_asinf, _ZGVbN2v_asin, Sleef_asinf4_u10sse2,
                Sleef_asind2_u10sse2),
    OVER_PI_ROW(Acospi, _ZGVbN4v_acosf, _ZGVbN2v_acos, Sleef_acosf4_u10sse2,
                Sleef_acosd2_u10sse2),
    OVER_PI_ROW(Atanpi, _ZGVbN4v_atanf, _ZGVbN2v_atan, Sleef_atanf4_u10sse2,
                Sleef_atand2_u10sse2),
    {ours2<float, _tesssAtan2pi, Function::kAtan2pi>,
     ours2<double, _tessdAtan2pi, Function::kAtan2pi>, nullptr, nullptr,
     vs2<over_pi_s2<_ZGVbN4vv_atan2f>, Function::kAtan2pi>,
     vd2<over_pi_d2<_ZGVbN2vv_atan2>, Function::kAtan2pi>,
     vs2<over_pi_s2<Sleef_atan2f4_u10sse2>, Function::kAtan2pi>,
     vd2<over_pi_d2<Sleef_atan2d2_u10sse2>, Function::kAtan2pi>, nullptr, nullptr},
    // SLEEF's lgamma loses its relative accuracy about the zeros of ln|Gamma| on the
    // negative axis (tens of ulps), which the agreement check rejects: no SLEEF line.
    {ours<float, _tesssLGamma>, ours<double, _tessdLGamma>, ls<lgammaf>, ld<lgamma>, nullptr,
     nullptr, nullptr, nullptr, nullptr, nullptr},
    {ours<float, _tesssTGamma>, ours<double, _tessdTGamma>, ls<tgammaf>, ld<tgamma>, nullptr,
     nullptr, vs<Sleef_tgammaf4_u10sse2>, vd<Sleef_tgammad2_u10sse2>, nullptr, nullptr},
};
#undef SCALED_ROW
#undef OVER_PI_ROW
static_assert(std::size(kRows) == kFunctionCount, "one row per function");

}  // namespace

std::vector<Implementation> baseline_implementations(Function f) {
  const Row& row = kRows[static_cast<int>(f)];
  const Implementation all[] = {
      {"zorn", Role::kOurs, row.zorn_s, row.zorn_d},
      {"glibc_scalar", Role::kPeer, row.libm_s, row.libm_d},
      {"libmvec_128", Role::kPeer, row.libmvec_s, row.libmvec_d},
      {f == Function::kLogb              ? "sleef_ilogb_sse2"
       : is_scaled_trig(f)               ? "sleef_u05_sse2"
                                         : "sleef_u10_sse2",
       Role::kReference,
       row.sleef_u10_s, row.sleef_u10_d},
      {"sleef_u35_sse2", Role::kPeer, row.sleef_u35_s, row.sleef_u35_d},
      // The reference of the functions SLEEF lacks.
      {"gsl_scalar", row.sleef_u10_s == nullptr ? Role::kReference : Role::kPeer, row.gsl_s,
       row.gsl_d},
      {"instruction_loop", Role::kPeer, row.bare_s, row.bare_d},
      {"zorn_LA", Role::kSlot, row.zorn_la_s, row.zorn_la_d},
      {"zorn_EP", Role::kSlot, row.zorn_ep_s, row.zorn_ep_d},
  };
  std::vector<Implementation> present;
  for (const Implementation& impl : all)
    if (impl.s != nullptr || impl.d != nullptr) present.push_back(impl);
  return present;
}

std::vector<Implementation> implementations_of(Function f) {
  std::vector<Implementation> list = baseline_implementations(f);
  if (__builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma")) {
    Implementation ceilings[kMaxCeilings];
    const int count = ceiling_implementations(f, ceilings);
    list.insert(list.end(), ceilings, ceilings + count);
  }
  return list;
}

}  // namespace bench::vector_math
