// The frame every distribution generator is built on.
//
// A generator is a template over the result type T (float or double) that the two
// exported names (_pavos..., _pavod...) call. Its shape:
//
//   template <class T>
//   int32_t exponential(int32_t method, void* stream, int32_t n, T* r, T a, T beta) {
//     KernelEnvironment<T> env(replace_by_ln_subnormal<T>);  // masks, mode, callback
//     const int32_t status = draw_uniform(stream, n, r, T(0), T(1));
//     if (is_failure(status)) return status;  // env's destructor restores everything
//     env.ln(n, r);                           // kernel at T's slot, under the kernel mode
//     for (...) r[i] = a - beta * r[i];
//     if (is_accurate(method)) raise_to_floor(n, r, a);
//     return status;                          // the status of the last uniform draw
//   }
//
// Pieces: method_word.h (method number, accurate flag), uniform_draw.h (uniforms
// through the stream's registry row), kernels.h (typed kernels at the precision's slot,
// plain or inside the environment), environment_guard.h (the RAII environment),
// error_callbacks.h (what the kernels' special results become), status.h.
// Block buffers are local arrays of the sizes the methods name (kBlock below).
#pragma once

#include <cstdint>

#include "distributions/error_callbacks.h"
#include "distributions/kernels.h"
#include "distributions/method_word.h"
#include "distributions/status.h"
#include "distributions/uniform_draw.h"

namespace zorn::distributions {

// Results per block of the generators that work in blocks.
constexpr int32_t kBlock = 1024;

// The accurate flag's clamp of a support bounded below: r = max(floor, r).
template <class T>
void raise_to_floor(int32_t n, T* r, T floor) {
  for (int32_t i = 0; i < n; ++i) r[i] = r[i] < floor ? floor : r[i];
}

// r = a + scale * r over n results.
template <class T>
void scale_and_shift(int32_t n, T* r, T a, T scale) {
  for (int32_t i = 0; i < n; ++i) r[i] = a + scale * r[i];
}

// r = a + beta * r, then, with the accurate flag, r = max(a, r).
template <class T>
void shift_scale_and_clamp(int32_t method, int32_t n, T* r, T a, T beta) {
  scale_and_shift(n, r, a, beta);
  if (is_accurate(method)) raise_to_floor(n, r, a);
}

// r = -ln(u) for n uniforms on [0, 1): the exponential variate the Weibull and
// Rayleigh transforms start from. The status of the draw.
template <class T>
int32_t draw_minus_log_uniforms(KernelEnvironment<T>& env, void* stream, int32_t n, T* r) {
  const int32_t status = draw_uniform(stream, n, r, T(0), T(1));
  if (is_failure(status)) return status;
  env.ln(n, r);
  for (int32_t i = 0; i < n; ++i) r[i] = -r[i];
  return status;
}

// For blocks of m = min(remaining, kBlock) results: a draw of 2m uniforms on [0, 1)
// into `pairs` (2 kBlock values), then transform(first result index, m). n = 0 makes
// one empty draw. The status of the last draw, or the first failure at once.
template <class T, class Transform>
int32_t in_blocks_of_pairs(void* stream, int32_t n, T* pairs, Transform&& transform) {
  int32_t status;
  int32_t done = 0;
  do {
    const int32_t m = n - done < kBlock ? n - done : kBlock;
    status = draw_uniform(stream, 2 * m, pairs, T(0), T(1));
    if (is_failure(status)) return status;
    transform(done, m);
    done += m;
  } while (done < n);
  return status;
}

}  // namespace zorn::distributions
