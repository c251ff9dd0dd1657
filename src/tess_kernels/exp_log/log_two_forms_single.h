// The lane loop of the single precision logarithms with two forms (s Log2, s Log10):
// positive normal lanes outside [0.5, 2) by the float points, those in [0.5, 2), where
// log x may be small and cancel, in double precision, and every other lane by the
// callout. F supplies by_float_points(x), by_points(x) (double precision, rounded once
// per lane) and callout(x, r).
#pragma once

#include <cstdint>

#include "tess_kernels/exp_log/flagged_results.h"
#include "tess_kernels/exp_log/log_reduction_single.h"
#include "tess_kernels/frame/lane_loop_single.h"
#include "tess_kernels/frame/partitioned_block.h"

namespace zorn::tess {

template <class F>
struct LogTwoFormsSingle : LaneLoopSingle<F>, EdgeFlagsFromCallouts {
  // A group on its own (strided, partial, or beside a special lane): a branch on its
  // near lanes.
  [[gnu::always_inline]] static simd::F32x4 fast_path(simd::F32x4 x) {
    if (any_lane_near_one(x)) [[unlikely]] return near_one(x);
    return F::by_float_points(x);
  }

  // Out of line: the rare near-one groups do not weigh on the inlined fast path. Their
  // other lanes keep the float path's bits, so that no lane depends on its neighbours.
  [[gnu::noinline]] static simd::F32x4 near_one(simd::F32x4 x) {
    return simd::select(near_one_lanes(x), F::by_points(x), F::by_float_points(x));
  }

  static int special_lanes(simd::F32x4 x) { return positive_normal_complement(x); }

  // Contiguous groups: each lane by its own form without a branch, the near lanes queued
  // (partitioned_block.h), with the bits fast_path gives them.
  static constexpr bool kFewQueuedGroups = true;
  template <bool kNear>
  [[gnu::always_inline]] static simd::F32x4 form(simd::F32x4 x, LaneClasses& lane_classes) {
    lane_classes = classes(x);
    return kNear ? F::by_points(x) : F::by_float_points(x);
  }
  static LaneClasses classes(simd::F32x4 x) {
    return {static_cast<uint32_t>(positive_normal_complement(x)),
            static_cast<uint32_t>(near_one_mask(x))};
  }
  // Calls shorter than kPartitionedFrom elements run group by group (fast_path): there
  // the queue's latency at the end of the call outweighs the branch (the benchmark's
  // arguments, n = 64: the block 10% slower; n = 128: 10% faster).
  static constexpr int64_t kPartitionedFrom = 128;
  static int64_t contiguous_block(int64_t n, const float* a, float* r) {
    return n < kPartitionedFrom ? 0 : run_lane_partitioned_fast_block<F>(n, a, r);
  }
};

}  // namespace zorn::tess
