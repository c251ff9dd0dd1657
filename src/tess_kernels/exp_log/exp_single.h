// Single precision exponential: a four-lane fast path for |x| <= 87.33654 and the
// double precision callout for every other lane.
#pragma once

#include <algorithm>
#include <cstdint>

#include "tess_kernels/frame/fp_state.h"
#include "tess_kernels/frame/kernel_frame.h"

namespace zorn::tess {

// The correct single precision e^x of *x in *r and its status (3 overflow, 4 underflow).
int32_t tess_callout_sExp(const float* x, float* r);

// Fast-path results of four lanes; returns the mask of special lanes (|x| above
// 87.33654, infinities and NaNs), whose results are meaningless.
int exp_fast_path_s(const float x[4], float y[4]);

// With error handling off, overflowing lanes become +inf and underflowing ones +0 here;
// returns the special-lane mask without them.
int exp_resolve_inline_s(const float x[4], float y[4], int special);

struct ExpSingle {
  template <class Report>
  static void vector_loop(const FpFrame& frame, int32_t n, Strided<const float> a,
                          Strided<float> r, Report&& report) {
    const bool no_errors = frame.error_mode() == TESS_ERRMODE_NOERR;
    for (int32_t g = 0; g < n; g += kGroupLanes) {
      const int32_t lanes = std::min(kGroupLanes, n - g);
      // Lanes beyond the end hold 0.75, which never takes a special path.
      alignas(16) float x[4] = {0.75f, 0.75f, 0.75f, 0.75f};
      alignas(16) float y[4];
      for (int32_t l = 0; l < lanes; ++l) x[l] = a[g + l];
      int special = exp_fast_path_s(x, y);
      if (special != 0 && no_errors) special = exp_resolve_inline_s(x, y, special);
      for (int32_t l = 0; special != 0; ++l, special >>= 1) {
        if ((special & 1) == 0) continue;
        const int32_t status = tess_callout_sExp(&x[l], &y[l]);
        if (status == TESS_STATUS_OK) continue;
        r[g + l] = y[l];
        report(status, g + l);
        y[l] = r[g + l];
      }
      for (int32_t l = 0; l < lanes; ++l) r[g + l] = y[l];
    }
  }
};

}  // namespace zorn::tess
