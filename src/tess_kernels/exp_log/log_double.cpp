#include "tess_kernels/exp_log/double_ops.h"

#include "tess_kernels/exp_log/log_core_double.h"
#include "tess_kernels/frame/interleaved_schedule.h"

namespace zorn::tess {
namespace {

using simd::F64x2;

// The three bases differ only in the last step from ln x = head + tail.
F64x2 natural(LogParts l) { return l.head + l.tail; }
F64x2 base2(LogParts l) { return times_split_constant(l, kLogBase2); }
F64x2 base10(LogParts l) { return times_split_constant(l, kLogBase10); }

// Directly in the base unless a lane lies in [0.5, 2), where the head and tail of ln x
// carry the small result. Returns its special lanes.
template <LogBase kBase, F64x2 (*Finish)(LogParts)>
[[gnu::always_inline]] inline int log_pair(F64x2 x, F64x2& y) {
  const int classes = lane_classes(high_words(x));
  y = (classes & kLanesNearOne) != 0 ? Finish(log_parts<false, true>(x))
                                     : log_away_from_one<kBase>(x);
  return classes & kSpecialLanes;
}

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
int64_t LnDouble::fast_block(int64_t n, const double* a, double* r) {
  return run_fast_block(n, a, r, log_pair<kBaseE, natural>);
}
int LnDouble::fast_group(const double x[4], double y[4]) {
  return run_fast_group(x, y, log_pair<kBaseE, natural>);
}
int64_t Log10Double::fast_block(int64_t n, const double* a, double* r) {
  return run_fast_block(n, a, r, log_pair<kBase10, base10>);
}
int Log10Double::fast_group(const double x[4], double y[4]) {
  return run_fast_group(x, y, log_pair<kBase10, base10>);
}
TESS_INTERLEAVE_END

int64_t Log2Double::fast_block(int64_t n, const double* a, double* r) {
  return run_fast_block(n, a, r, log_pair<kBase2, base2>);
}
int Log2Double::fast_group(const double x[4], double y[4]) {
  return run_fast_group(x, y, log_pair<kBase2, base2>);
}

}  // namespace zorn::tess
