// The block loop of the rejection samplers: results are made in blocks of up to 512, each
// block by rounds of trials whose inputs are drawn together, until it is full.
#pragma once

#include <algorithm>
#include <cstdint>

#include "distributions/status.h"

namespace zorn::distributions {

constexpr int32_t kRejectionBlock = 512;

// Every sampler here accepts a trial with probability above 1/4 for every valid
// parameter, so this many trials in a row without an acceptance (odds below 2^-18000)
// only happen for a parameter no sampler can serve, such as a NaN shape or a negative
// one. The call then ends with the rest of the results set to `giving_up` instead of
// looping for ever.
constexpr int64_t kRejectionRunLimit = int64_t{1} << 16;

// `round(want, out, &accepted)` runs `want` trials (want <= kRejectionBlock), writes the
// accepted results to out[0 .. accepted - 1] and returns the status of its last draw.
// fill_by_rejection returns the status of the last draw, or the first failing one.
template <class R, class Round>
int32_t fill_by_rejection(int32_t n, R* r, R giving_up, Round&& round) {
  int32_t status = kStatusOk;
  int64_t run = 0;  // trials since the last acceptance
  for (int32_t done = 0; done < n;) {
    const int32_t want = std::min(n - done, kRejectionBlock);
    int32_t accepted = 0;
    status = round(want, r + done, &accepted);
    if (is_failure(status)) return status;
    done += accepted;
    run = accepted > 0 ? 0 : run + want;
    if (run > kRejectionRunLimit) {
      std::fill(r + done, r + n, giving_up);
      break;
    }
  }
  return status;
}

}  // namespace zorn::distributions
