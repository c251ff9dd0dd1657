#include "tess_kernels/exp_log/double_ops.h"

#include "tess_kernels/exp_log/log_core_double.h"
#include "tess_kernels/frame/interleaved_schedule.h"
#include "tess_kernels/frame/partitioned_block.h"

namespace zorn::tess {
namespace {

using simd::F64x2;

// The three bases differ only in the last step from ln x = head + tail.
F64x2 natural(LogParts l) { return l.head + l.tail; }
F64x2 base2(LogParts l) { return times_split_constant(l, kLogBase2); }
F64x2 base10(LogParts l) { return times_split_constant(l, kLogBase10); }

// Each lane by its own form: directly in the base, or, in [0.5, 2), where the head and
// tail of ln x carry the small result, through them. As a branch per pair that test is
// mispredicted on fresh arguments, and a pair's forms would make a lane's bits depend on
// its partner; the lane-partitioned block queues the near lanes instead. Calls of up to
// four whole groups run pair by pair: on the benchmark's arguments (`min_of_calls dLn`,
// n = 16) the block took 43.1 ns where pairs take 39.4 (the branch before it, 37.8), with
// few lanes near one to mispredict.
constexpr int64_t kShortBelow = 5 * kGroupLanes;

template <LogBase kBase, F64x2 (*Finish)(LogParts)>
struct LogForms {
  template <bool kNearOne>
  [[gnu::always_inline]] static F64x2 form(F64x2 x, LaneClasses& lane_set) {
    lane_set = classes(x);
    if constexpr (kNearOne) return Finish(log_parts<false, true>(x));
    return log_away_from_one<kBase>(x);
  }
  static LaneClasses classes(F64x2 x) { return pair_lane_classes(lane_classes(high_words(x))); }
  static constexpr int64_t kPairByPairBelow = kShortBelow;
};
using LnForms = LogForms<kBaseE, natural>;
using Log2Forms = LogForms<kBase2, base2>;
using Log10Forms = LogForms<kBase10, base10>;

template <F64x2 (*Finish)(LogParts)>
int32_t log_callout(double x, double* r) {
  int32_t k_offset;
  int32_t status;
  if (log_edge_case(x, k_offset, r, &status)) return status;
  *r = Finish(log_parts<false>(F64x2::splat(x), k_offset)).lane0();
  return TESS_STATUS_OK;
}

}  // namespace

int32_t tess_callout_dLn(double x, double* r) { return log_callout<natural>(x, r); }
int32_t tess_callout_dLog2(double x, double* r) { return log_callout<base2>(x, r); }
int32_t tess_callout_dLog10(double x, double* r) { return log_callout<base10>(x, r); }

// Ln and Log10 gain from interleaving their pairs; Log2 measured no gain.
TESS_INTERLEAVE_BEGIN
TESS_DOUBLE_PARTITIONED_LOOPS(LnDouble, LnForms)
TESS_DOUBLE_PARTITIONED_LOOPS(Log10Double, Log10Forms)
TESS_INTERLEAVE_END

TESS_DOUBLE_PARTITIONED_LOOPS(Log2Double, Log2Forms)

}  // namespace zorn::tess
