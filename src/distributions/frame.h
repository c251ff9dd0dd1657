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

}  // namespace zorn::distributions
