// Single precision natural logarithm: a table-free four-lane fast path for positive
// normal arguments and the double precision callout for every other lane.
#pragma once

#include <cstdint>

#include "tess_kernels/exp_log/flagged_results.h"
#include "tess_kernels/exp_log/log_reduction_single.h"
#include "tess_kernels/frame/lane_loop_single.h"
#include "tess_kernels/frame/simd.h"
#include "tess_kernels/frame/splat_rows.h"

namespace zorn::tess {

// The correct single precision ln x of *x in *r and its status (1 domain, 2 singularity).
int32_t tess_callout_sLn(const float* x, float* r);

namespace ln_single_data {
enum LaneRow { kLn2HeadScaled, kLn2RestScaled, kMinusHalf, kTail, kRowCount = kTail + 8 };
// Rows of four equal lanes read through an opaque pointer, so that each constant is a
// memory operand: seen as constants, some are rebuilt by a scalar load and a broadcast
// (shufps, on the vector ports that bound this loop) in every pass. The two parts of
// ln 2 are scaled by 2^-23 for reduce_from's e 2^23.
constexpr float kValues[kRowCount] = {
    0.693145751953125f * 0x1p-23f, 1.428606765330187e-06f * 0x1p-23f, -0.5f,
    kLnSeriesTailSingle[0],        kLnSeriesTailSingle[1],            kLnSeriesTailSingle[2],
    kLnSeriesTailSingle[3],        kLnSeriesTailSingle[4],            kLnSeriesTailSingle[5],
    kLnSeriesTailSingle[6],        kLnSeriesTailSingle[7]};
constexpr simd::SplatRows<float, kRowCount> kRows(kValues);
}  // namespace ln_single_data

struct LnSingle : LaneLoopSingle<LnSingle>, EdgeFlagsFromCallouts {
  // Two groups a step: one group's degree-9 Horner chain is longer than the out-of-order
  // window reaches, and two independent chains interleave (same bits).
  static constexpr bool kPairedVectors = true;
  // ln x = e ln 2 + ln(1 + r) with ln 2 in a short high part and a correction and
  // ln(1 + r) = r + r^2 P(r), all in single precision.
  static simd::F32x4 fast_path(simd::F32x4 x) {
    using simd::F32x4;
    using namespace ln_single_data;
    const simd::SplatReader<float, kRowCount> rows(kRows);
    F32x4 e_scaled, r;  // e 2^23
    reduce_from(kTwoThirdsBits, x, e_scaled, r);
    F32x4 q = rows[kTail + 7];
    for (size_t i = 7; i-- > 0;) q = rows[kTail + i] + r * q;
    const F32x4 p = rows[kMinusHalf] + r * q;
    return e_scaled * rows[kLn2HeadScaled] +
           (e_scaled * rows[kLn2RestScaled] + (r + (r * r) * p));
  }

  static int special_lanes(simd::F32x4 x) { return positive_normal_complement(x); }

  static int32_t callout(const float* x, float* r) { return tess_callout_sLn(x, r); }
};

}  // namespace zorn::tess
