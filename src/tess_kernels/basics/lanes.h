// SSE2 operations overloaded on the register of four floats (__m128) and of two doubles
// (__m128d), so that an element-wise basic is written once for both precisions. Masks are
// registers with all-ones or all-zero lanes; `lane_bits` turns one into one bit per lane.
#pragma once

#include <emmintrin.h>

#include <cstdint>
#include <limits>
#include <utility>

namespace zorn::tess::lanes {

template <class T> struct RegisterOf;
template <> struct RegisterOf<float> { using type = __m128; };
template <> struct RegisterOf<double> { using type = __m128d; };
template <class T> using Register = typename RegisterOf<T>::type;

// The element type of a register (by overloads: a class template keyed on a vector type
// would drop its attributes).
float element_of(__m128);
double element_of(__m128d);
template <class V> using Element = decltype(element_of(std::declval<V>()));

template <class T> constexpr int kLanes = sizeof(Register<T>) / sizeof(T);

inline float first_lane(__m128 v) { return _mm_cvtss_f32(v); }
inline double first_lane(__m128d v) { return _mm_cvtsd_f64(v); }

inline __m128 load(const float* p) { return _mm_loadu_ps(p); }
inline __m128d load(const double* p) { return _mm_loadu_pd(p); }
inline void store(float* p, __m128 v) { _mm_storeu_ps(p, v); }
inline void store(double* p, __m128d v) { _mm_storeu_pd(p, v); }

template <class V> V splat(Element<V> x);
template <> inline __m128 splat<__m128>(float x) { return _mm_set1_ps(x); }
template <> inline __m128d splat<__m128d>(double x) { return _mm_set1_pd(x); }

inline __m128 add(__m128 a, __m128 b) { return _mm_add_ps(a, b); }
inline __m128d add(__m128d a, __m128d b) { return _mm_add_pd(a, b); }
inline __m128 sub(__m128 a, __m128 b) { return _mm_sub_ps(a, b); }
inline __m128d sub(__m128d a, __m128d b) { return _mm_sub_pd(a, b); }
inline __m128 mul(__m128 a, __m128 b) { return _mm_mul_ps(a, b); }
inline __m128d mul(__m128d a, __m128d b) { return _mm_mul_pd(a, b); }
inline __m128 div(__m128 a, __m128 b) { return _mm_div_ps(a, b); }
inline __m128d div(__m128d a, __m128d b) { return _mm_div_pd(a, b); }

inline __m128 bit_and(__m128 a, __m128 b) { return _mm_and_ps(a, b); }
inline __m128d bit_and(__m128d a, __m128d b) { return _mm_and_pd(a, b); }
inline __m128 bit_or(__m128 a, __m128 b) { return _mm_or_ps(a, b); }
inline __m128d bit_or(__m128d a, __m128d b) { return _mm_or_pd(a, b); }
inline __m128 bit_xor(__m128 a, __m128 b) { return _mm_xor_ps(a, b); }
inline __m128d bit_xor(__m128d a, __m128d b) { return _mm_xor_pd(a, b); }
// a & ~b.
inline __m128 and_not(__m128 a, __m128 b) { return _mm_andnot_ps(b, a); }
inline __m128d and_not(__m128d a, __m128d b) { return _mm_andnot_pd(b, a); }

// max(a, b) = a > b ? a : b and min(a, b) = a < b ? a : b: b when either is NaN.
inline __m128 max(__m128 a, __m128 b) { return _mm_max_ps(a, b); }
inline __m128d max(__m128d a, __m128d b) { return _mm_max_pd(a, b); }
inline __m128 min(__m128 a, __m128 b) { return _mm_min_ps(a, b); }
inline __m128d min(__m128d a, __m128d b) { return _mm_min_pd(a, b); }

// Comparisons; the ordered ones are false and `not_less` true for NaN lanes.
inline __m128 less(__m128 a, __m128 b) { return _mm_cmplt_ps(a, b); }
inline __m128d less(__m128d a, __m128d b) { return _mm_cmplt_pd(a, b); }
inline __m128 equal(__m128 a, __m128 b) { return _mm_cmpeq_ps(a, b); }
inline __m128d equal(__m128d a, __m128d b) { return _mm_cmpeq_pd(a, b); }
inline __m128 not_less(__m128 a, __m128 b) { return _mm_cmpnlt_ps(a, b); }
inline __m128d not_less(__m128d a, __m128d b) { return _mm_cmpnlt_pd(a, b); }
inline __m128 unordered(__m128 a, __m128 b) { return _mm_cmpunord_ps(a, b); }
inline __m128d unordered(__m128d a, __m128d b) { return _mm_cmpunord_pd(a, b); }

inline int lane_bits(__m128 m) { return _mm_movemask_ps(m); }
inline int lane_bits(__m128d m) { return _mm_movemask_pd(m); }

// Where the mask lane is set, a; elsewhere b.
template <class V>
V select(V mask, V a, V b) {
  return bit_or(bit_and(mask, a), and_not(b, mask));
}

template <class V>
V sign_bits(V x) {
  return bit_and(x, splat<V>(Element<V>(-0.0)));
}
template <class V>
V magnitude(V x) {
  return and_not(x, splat<V>(Element<V>(-0.0)));
}
// Lanes that hold neither an infinity nor a NaN are clear.
template <class V>
V not_finite(V x) {
  return not_less(magnitude(x), splat<V>(std::numeric_limits<Element<V>>::infinity()));
}

// The integer 1 in every lane, as the element's bits.
template <class V> V integer_one();
template <> inline __m128 integer_one<__m128>() { return _mm_castsi128_ps(_mm_set1_epi32(1)); }
template <> inline __m128d integer_one<__m128d>() { return _mm_castsi128_pd(_mm_set1_epi64x(1)); }

// The bits of a and b read as integers of the element's width, added lane by lane.
inline __m128 add_integers(__m128 a, __m128 b) {
  return _mm_castsi128_ps(_mm_add_epi32(_mm_castps_si128(a), _mm_castps_si128(b)));
}
inline __m128d add_integers(__m128d a, __m128d b) {
  return _mm_castsi128_pd(_mm_add_epi64(_mm_castpd_si128(a), _mm_castpd_si128(b)));
}

}  // namespace zorn::tess::lanes
