// Moves between a group of four complex elements and the part vectors the lane kernels
// work on (single precision widened to double, or kept), and the store of a group's results with
// its special elements settled one by one. Parts pass between registers and arrays as
// whole vectors only, which keeps every load forwarded from its store.
#pragma once

#include <emmintrin.h>
#include <xmmintrin.h>

#include <complex>
#include <cstdint>

#include "tess_kernels/complex/pair_loop.h"
#include "tess_kernels/frame/kernel_frame.h"

namespace zorn::tess::cx {

// The real parts of p[0, 4) into x, the imaginary parts into y.
template <class R>
[[gnu::always_inline]] inline void split_group(const std::complex<R>* p, double* x, double* y) {
  __m128d z0, z1, z2, z3;
  load_pair(p, z0, z1);
  load_pair(p + 2, z2, z3);
  _mm_store_pd(x, _mm_unpacklo_pd(z0, z1));
  _mm_store_pd(x + 2, _mm_unpacklo_pd(z2, z3));
  _mm_store_pd(y, _mm_unpackhi_pd(z0, z1));
  _mm_store_pd(y + 2, _mm_unpackhi_pd(z2, z3));
}

// One element's parts over the four lanes of x and y (an argument of increment 0).
template <class R>
[[gnu::always_inline]] inline void spread(const std::complex<R>& p, double* x, double* y) {
  const __m128d re = _mm_set1_pd(p.real()), im = _mm_set1_pd(p.imag());
  _mm_store_pd(x, re);
  _mm_store_pd(x + 2, re);
  _mm_store_pd(y, im);
  _mm_store_pd(y + 2, im);
}

// The same for single precision parts kept in single precision.
[[gnu::always_inline]] inline void split_group(const std::complex<float>* p, float* x, float* y) {
  const __m128 z01 = _mm_loadu_ps(reinterpret_cast<const float*>(p));
  const __m128 z23 = _mm_loadu_ps(reinterpret_cast<const float*>(p + 2));
  _mm_store_ps(x, _mm_shuffle_ps(z01, z23, _MM_SHUFFLE(2, 0, 2, 0)));
  _mm_store_ps(y, _mm_shuffle_ps(z01, z23, _MM_SHUFFLE(3, 1, 3, 1)));
}

// p[0, 4) from the parts re + i im.
template <class R>
[[gnu::always_inline]] inline void merge_group(std::complex<R>* p, const double* re,
                                               const double* im) {
  const __m128d re01 = _mm_load_pd(re), re23 = _mm_load_pd(re + 2);
  const __m128d im01 = _mm_load_pd(im), im23 = _mm_load_pd(im + 2);
  store_pair(p, _mm_unpacklo_pd(re01, im01), _mm_unpackhi_pd(re01, im01));
  store_pair(p + 2, _mm_unpacklo_pd(re23, im23), _mm_unpackhi_pd(re23, im23));
}

[[gnu::always_inline]] inline void merge_group(std::complex<float>* p, const float* re,
                                               const float* im) {
  const __m128 r = _mm_load_ps(re), i = _mm_load_ps(im);
  _mm_storeu_ps(reinterpret_cast<float*>(p), _mm_unpacklo_ps(r, i));
  _mm_storeu_ps(reinterpret_cast<float*>(p + 2), _mm_unpackhi_ps(r, i));
}

// Four reals p[0, 4) into v, and back.
[[gnu::always_inline]] inline void load_reals(const double* p, double* v) {
  _mm_store_pd(v, _mm_loadu_pd(p));
  _mm_store_pd(v + 2, _mm_loadu_pd(p + 2));
}
[[gnu::always_inline]] inline void load_reals(const float* p, double* v) {
  const __m128 f = _mm_loadu_ps(p);
  _mm_store_pd(v, _mm_cvtps_pd(f));
  _mm_store_pd(v + 2, _mm_cvtps_pd(_mm_movehl_ps(f, f)));
}
[[gnu::always_inline]] inline void load_reals(const float* p, float* v) {
  _mm_store_ps(v, _mm_loadu_ps(p));
}
[[gnu::always_inline]] inline void store_reals(float* p, const float* v) {
  _mm_storeu_ps(p, _mm_load_ps(v));
}
[[gnu::always_inline]] inline void store_reals(double* p, const double* v) {
  _mm_storeu_pd(p, _mm_load_pd(v));
  _mm_storeu_pd(p + 2, _mm_load_pd(v + 2));
}
[[gnu::always_inline]] inline void store_reals(float* p, const double* v) {
  _mm_storeu_ps(p, _mm_movelh_ps(_mm_cvtpd_ps(_mm_load_pd(v)), _mm_cvtpd_ps(_mm_load_pd(v + 2))));
}

// Stores out[0, lanes) at r[g, g + lanes), the elements of `special` first through the
// scalar form `eval(l, out[l])`, which returns the status (all of them before any
// store, since results may overwrite the arguments); an element with a non-zero status
// is stored, reported and read back (the callback may replace it).
template <class T, class Eval, class Report>
[[gnu::noinline]] void finish_group(int lanes, int special, int64_t g, T* out, Strided<T> r,
                                    Eval&& eval, Report& report) {
  int32_t status[kGroupLanes] = {};
  if (special != 0) {
    const ErrnoKeeper keep_errno;
    for (int l = 0; l < lanes; ++l)
      if (special & (1 << l)) status[l] = eval(l, out[l]);
  }
  for (int l = 0; l < lanes; ++l) {
    if (status[l] == TESS_STATUS_OK) continue;
    r[g + l] = out[l];
    report(status[l], static_cast<int32_t>(g + l));
    out[l] = r[g + l];
  }
  for (int l = 0; l < lanes; ++l) r[g + l] = out[l];
}

}  // namespace zorn::tess::cx
