// The end of a contiguous call after its fast block stopped at g < n, shared by the
// vector loops of every precision and arity: the group at g through `group(lanes, g)`
// (a group holding a special lane, a group the block left for another reason, or the
// partial group, lanes < kGroupLanes), then the fast block again from the next group
// through `block(g)`, which returns the number of elements it stored, until the end.
// Groups are settled in order, so reports come in element order.
#pragma once

#include <algorithm>
#include <cstdint>

#include "tess_kernels/frame/kernel_frame.h"

namespace zorn::tess {

template <class Group, class Block>
[[gnu::always_inline]] inline void finish_contiguous_groups(int64_t n, int64_t g, Group&& group,
                                                            Block&& block) {
  for (;;) {
    const int32_t lanes = static_cast<int32_t>(std::min<int64_t>(kGroupLanes, n - g));
    group(lanes, g);
    g += lanes;
    if (g < n) g += block(g);
    if (g >= n) return;
  }
}

}  // namespace zorn::tess
