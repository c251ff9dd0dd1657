// The vector loop of the complex two-argument kernels: one element per register of two
// doubles (real part in lane 0; single precision widened to double), two elements per
// iteration on contiguous vectors, for the precisions R whose `Op::kPaired<R>` is true
// (the others keep the frame's element loop). An operation Op supplies
//   template <class R> static int pairs(__m128d x0, __m128d x1, __m128d y0, __m128d y1,
//                                       __m128d& r0, __m128d& r1)
//       the results of two elements; returns bit l set where it declines element l:
//       only the scalar form can be trusted with it (special values, reports, exponents
//       out of the safe range) or it needs a rare path;
//   template <class R> static int32_t eval(std::complex<R> x, std::complex<R> y,
//                                          std::complex<R>& r)
//       the scalar form with its status;
//   template <class R> static int rare_pairs(__m128d x0, __m128d x1, __m128d y0,
//                                            __m128d y1, int declined, __m128d& r0,
//                                            __m128d& r1)
//       for the pairs that `pairs` declined (bits `declined`, its results in r0 and r1):
//       the rare paths, outside the hot loop so that no call or cold code costs
//       registers there; returns bit l set where element l needs the scalar form;
// and may supply, for double precision,
//   static constexpr int kBlockPairs;
//   static bool block(const std::complex<double>* x, const std::complex<double>* y,
//                     std::complex<double>* out)
//       the results of kBlockPairs pairs of contiguous elements from x, y on, stored
//       unless it returns true: then nothing is stored and the pairs go through `pairs`;
// and, for single precision,
//   static bool quads(__m128 x01, __m128 x23, __m128 y01, __m128 y23, __m128& r01,
//                     __m128& r23)
//       the results of four elements (two a register, as stored), true where any of them
//       needs more than this form: then they go through the two-element steps.
// Strided vectors and the last odd element run through the scalar form. Every element
// of an iteration is loaded before any result is stored, so results may overwrite the
// arguments; an element with a non-zero status is stored, reported and read back.
#pragma once

#include <emmintrin.h>

#include <complex>
#include <cstdint>

#include "tess_kernels/frame/fp_state.h"
#include "tess_kernels/frame/kernel_frame.h"
#include "tess_kernels/frame/simd_double.h"

namespace zorn::tess::cx {

inline void load_pair(const std::complex<double>* p, __m128d& z0, __m128d& z1) {
  z0 = _mm_loadu_pd(reinterpret_cast<const double*>(p));
  z1 = _mm_loadu_pd(reinterpret_cast<const double*>(p + 1));
}
inline void store_pair(std::complex<double>* p, __m128d z0, __m128d z1) {
  _mm_storeu_pd(reinterpret_cast<double*>(p), z0);
  _mm_storeu_pd(reinterpret_cast<double*>(p + 1), z1);
}
// The parts of p[0, 2) in registers: real in x, imaginary in y.
[[gnu::always_inline]] inline void split_pair(const std::complex<double>* p, simd::F64x2& x,
                                              simd::F64x2& y) {
  __m128d z0, z1;
  load_pair(p, z0, z1);
  x = {_mm_unpacklo_pd(z0, z1)};
  y = {_mm_unpackhi_pd(z0, z1)};
}
// The parts of p[0, 4) in registers: those of p[0, 2) in x0 (real) and y0 (imaginary),
// those of p[2, 4) in x1 and y1.
[[gnu::always_inline]] inline void split_group(const std::complex<double>* p, simd::F64x2& x0,
                                               simd::F64x2& y0, simd::F64x2& x1,
                                               simd::F64x2& y1) {
  split_pair(p, x0, y0);
  split_pair(p + 2, x1, y1);
}
// The inverse: p[0, 2) from re0 + i im0, p[2, 4) from re1 + i im1.
[[gnu::always_inline]] inline void merge_group(std::complex<double>* p, simd::F64x2 re0,
                                               simd::F64x2 im0, simd::F64x2 re1,
                                               simd::F64x2 im1) {
  store_pair(p, _mm_unpacklo_pd(re0.v, im0.v), _mm_unpackhi_pd(re0.v, im0.v));
  store_pair(p + 2, _mm_unpacklo_pd(re1.v, im1.v), _mm_unpackhi_pd(re1.v, im1.v));
}
// A lane kernel's block (group_lanes.h) from its pair `kPair(x, y, re, im)` (an
// always-inline function, called directly), which gives the parts of two elements and the
// two-bit mask of those for the scalar form: whole groups of contiguous elements split,
// computed and merged in registers, with no call and no part arrays between them, until
// the first group holding an element for the scalar form, left unstored; returns the count
// stored.
template <auto kPair>
[[gnu::always_inline]] inline int64_t pair_block(int64_t n, const std::complex<double>* z,
                                                 std::complex<double>* r) {
  int64_t i = 0;
  for (; i + 4 <= n; i += 4) {
    simd::F64x2 x0, y0, x1, y1, re0, im0, re1, im1;
    split_group(z + i, x0, y0, x1, y1);
    if ((kPair(x0, y0, re0, im0) | kPair(x1, y1, re1, im1)) != 0) [[unlikely]] break;
    merge_group(r + i, re0, im0, re1, im1);
  }
  return i;
}
// The same for a real result, kPairs pairs at a time, from `chunk(x, y, r)`, which gives
// the results r[k] of the pairs x[k] + i y[k] and whether the chunk holds an element for
// the scalar form. A chunk is read whole before its results are stored, and r[i] lies at
// or below the bytes of z[i / 2], so that r may overwrite z.
template <int kPairs, class Chunk>
[[gnu::always_inline]] inline int64_t real_chunk_block(int64_t n, const std::complex<double>* z,
                                                       double* r, Chunk&& chunk) {
  int64_t i = 0;
  for (; i + 2 * kPairs <= n; i += 2 * kPairs) {
    simd::F64x2 x[kPairs], y[kPairs], out[kPairs];
#pragma GCC unroll 8
    for (int k = 0; k < kPairs; ++k) split_pair(z + i + 2 * k, x[k], y[k]);
    if (chunk(x, y, out)) [[unlikely]] break;
#pragma GCC unroll 8
    for (int k = 0; k < kPairs; ++k) out[k].store(r + i + 2 * k);
  }
  return i;
}
inline void load_pair(const std::complex<float>* p, __m128d& z0, __m128d& z1) {
  const __m128 v = _mm_loadu_ps(reinterpret_cast<const float*>(p));
  z0 = _mm_cvtps_pd(v);
  z1 = _mm_cvtps_pd(_mm_movehl_ps(v, v));
}
inline void store_pair(std::complex<float>* p, __m128d z0, __m128d z1) {
  _mm_storeu_ps(reinterpret_cast<float*>(p), _mm_movelh_ps(_mm_cvtpd_ps(z0), _mm_cvtpd_ps(z1)));
}

// An iteration the vector form declined: its results and the elements it declined.
struct Declined {
  __m128d r0, r1;
  int bits;
};

template <class Op>
struct PairLoop {
  template <class R, class Report>
    requires(Op::template kPaired<R>)
  static void vector_loop(FpFrame& frame, int32_t count, Strided<const std::complex<R>> a,
                          Strided<const std::complex<R>> b, Strided<std::complex<R>> r,
                          Report&& report) {
    using T = std::complex<R>;
    const int64_t n = count;
    // The contiguous loop keeps its index and pointers in locals no lambda captures by
    // reference, so that they stay in registers.
    const int64_t start = a.inc == 1 && b.inc == 1 && r.inc == 1 ? contiguous_pairs<R>(frame, n, a, b, r, report) : 0;
    if (start == n) return;
    frame.mask_x87_exceptions();
    const Strided<T> rest{r.base + start * r.inc, r.inc};
    run_groups<T, 1>(
        static_cast<int32_t>(n - start), {rest},
        [=](int64_t j, T(&y)[1]) { return Op::eval(a[start + j], b[start + j], y[0]); },
        [=, &report](int32_t status, int32_t j) { report(status, static_cast<int32_t>(start + j)); });
  }

 private:
  // Pairs of contiguous elements through the vector form; returns the count done.
  template <class R, class Report>
  [[gnu::always_inline]] static int64_t contiguous_pairs(FpFrame& frame, int64_t n,
                                                         Strided<const std::complex<R>> a,
                                                         Strided<const std::complex<R>> b,
                                                         Strided<std::complex<R>> r,
                                                         Report& report) {
    const std::complex<R>* const x = a.base;
    const std::complex<R>* const y = b.base;
    std::complex<R>* const out = r.base;
    // An iteration the hot loop declined: through the rare paths, else the scalar form.
    const auto careful_pair = [=, &frame, &report](int64_t j, Declined d) {
      __m128d x0, x1, y0, y1;
      load_pair(x + j, x0, x1);
      load_pair(y + j, y0, y1);
      __m128d r0 = d.r0, r1 = d.r1;
      const int scalar_bits = Op::template rare_pairs<R>(x0, x1, y0, y1, d.bits, r0, r1);
      if (scalar_bits == 0) {
        store_pair(out + j, r0, r1);
        return;
      }
      const bool scalar[2] = {(scalar_bits & 1) != 0, (scalar_bits & 2) != 0};
      frame.mask_x87_exceptions();
      settle(j, scalar, r0, r1, a, b, r, report);
    };
    int64_t i = 0;
    // The pairs from i to end through `pairs`, the declined ones through careful_pair.
    const auto pair_by_pair = [&](int64_t end) {
      Declined declined;
      for (;;) {
        i = trusted_pairs(x, y, out, i, end, declined);
        if (i + 2 > end) break;
        careful_pair(i, declined);
        i += 2;
      }
    };
    if constexpr (sizeof(R) == sizeof(float) &&
                  requires(__m128 v) { Op::quads(v, v, v, v, v, v); }) {
      for (;;) {
        i = trusted_quads(x, y, out, i, n);
        if (i + 4 > n) break;
        pair_by_pair(i + 4);
      }
    }
    if constexpr (requires { Op::block(x, y, out); }) {
      for (;;) {
        i = trusted_blocks(x, y, out, i, n);
        if (i + 2 * Op::kBlockPairs > n) break;
        pair_by_pair(i + 2 * Op::kBlockPairs);
      }
    }
    pair_by_pair(n);
    return i;
  }

  // The hot loops, functions of their own so that the careful paths cost them no
  // registers: results from index i on while the vector form trusts them; return the
  // index of the first iteration it declined (or the end), with what the vector form
  // gave for it in `declined`.
  template <class R>
  [[gnu::noinline]] static int64_t trusted_pairs(const std::complex<R>* x,
                                                 const std::complex<R>* y,
                                                 std::complex<R>* out, int64_t i, int64_t n,
                                                 Declined& declined) {
    for (; i + 2 <= n; i += 2) {
      __m128d x0, x1, y0, y1, r0, r1;
      load_pair(x + i, x0, x1);
      load_pair(y + i, y0, y1);
      const int bits = Op::template pairs<R>(x0, x1, y0, y1, r0, r1);
      if (bits != 0) [[unlikely]] {
        declined = {r0, r1, bits};
        break;
      }
      store_pair(out + i, r0, r1);
    }
    return i;
  }
  template <class R>
  [[gnu::noinline]] static int64_t trusted_blocks(const std::complex<R>* x,
                                                  const std::complex<R>* y,
                                                  std::complex<R>* out, int64_t i, int64_t n) {
    constexpr int64_t kStep = 2 * Op::kBlockPairs;
    for (; i + kStep <= n; i += kStep) {
      if (Op::block(x + i, y + i, out + i)) [[unlikely]] break;
    }
    return i;
  }
  [[gnu::noinline]] static int64_t trusted_quads(const std::complex<float>* x,
                                                 const std::complex<float>* y,
                                                 std::complex<float>* out, int64_t i, int64_t n) {
    for (; i + 4 <= n; i += 4) {
      const float* const xf = reinterpret_cast<const float*>(x + i);
      const float* const yf = reinterpret_cast<const float*>(y + i);
      __m128 r01, r23;
      if (Op::quads(_mm_loadu_ps(xf), _mm_loadu_ps(xf + 4), _mm_loadu_ps(yf),
                    _mm_loadu_ps(yf + 4), r01, r23)) [[unlikely]] {
        break;
      }
      _mm_storeu_ps(reinterpret_cast<float*>(out + i), r01);
      _mm_storeu_ps(reinterpret_cast<float*>(out + i + 2), r23);
    }
    return i;
  }

  // The elements of an iteration the vector form could not trust, through the scalar
  // form; the other keeps its vector result.
  template <class R, class Report>
  [[gnu::noinline]] static void settle(int64_t i, const bool (&scalar)[2], __m128d r0, __m128d r1,
                                       Strided<const std::complex<R>> a,
                                       Strided<const std::complex<R>> b,
                                       Strided<std::complex<R>> r, Report& report) {
    using T = std::complex<R>;
    const T x[2] = {a[i], a[i + 1]}, y[2] = {b[i], b[i + 1]};
    T out[2];
    store_pair(out, r0, r1);
    int32_t status[2] = {TESS_STATUS_OK, TESS_STATUS_OK};
    {
      const ErrnoKeeper keep_errno;
      for (int l = 0; l < 2; ++l)
        if (scalar[l]) status[l] = Op::eval(x[l], y[l], out[l]);
    }
    for (int l = 0; l < 2; ++l) {
      if (status[l] == TESS_STATUS_OK) continue;
      r[i + l] = out[l];
      report(status[l], static_cast<int32_t>(i + l));
      out[l] = r[i + l];
    }
    r[i] = out[0];
    r[i + 1] = out[1];
  }
};

}  // namespace zorn::tess::cx
