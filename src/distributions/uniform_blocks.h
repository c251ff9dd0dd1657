// The block loop of the generators that transform a fixed number of uniforms per result.
#pragma once

#include <algorithm>
#include <cstdint>

#include "distributions/status.h"
#include "distributions/uniform_draw.h"

namespace zorn::distributions {

// For blocks of m = min(remaining, per_block) results: a draw of m * per_result
// uniforms on [a, b) into u, then use(first result index, m). The status of the last
// draw, or the first failing one at once; n <= 0 draws nothing.
template <class T, class Use>
int32_t in_uniform_blocks(void* stream, int32_t n, int32_t per_block, int32_t per_result, T a, T b,
                          T* u, Use&& use) {
  int32_t status = kStatusOk;
  for (int32_t done = 0; done < n; done += per_block) {
    const int32_t m = std::min(n - done, per_block);
    status = draw_uniform(stream, m * per_result, u, a, b);
    if (is_failure(status)) return status;
    use(done, m);
  }
  return status;
}

}  // namespace zorn::distributions
