#include <cmath>

#include "tess_kernels/frame/interleaved_schedule.h"
#include "tess_kernels/trig/double_ops.h"
#include "tess_kernels/trig/pi_over_64_double.h"
#include "tess_kernels/trig/reduction_double.h"
#include "tess_kernels/trig/sin_core_double.h"
#include "tess_kernels/trig/tan_pi_over_128_double.h"
#include "tess_kernels/trig/two_pass_block.h"
#include "zorn/tess.h"

TESS_INTERLEAVE_BEGIN

namespace zorn::tess {
namespace {

using simd::F64x2;
using simd::I64x2;

using sin_core::Fn;
using sin_core::kFastPathLimit;

// Where a sine or cosine comes from: the kernels' pi/64 table (fewer operations) or the
// pi/256 table (more accurate: 0.51 against 0.56 ulp for the sine), which the complex
// kernels take for both.
enum class Path { kKernel, kTable };

// Sin and Cos (on the kernels' path) reduce by pi/64 onto its table, Tan by pi/128 onto
// its own.
template <Fn F, Path P = Path::kKernel>
[[gnu::always_inline]] inline F64x2 fast_lanes(F64x2 x) {
  if constexpr (F == Fn::kTan) {
    return tan_pi_over_128::tan_lanes(x);
  } else if constexpr (P == Path::kKernel) {
    return F == Fn::kCos ? pi_over_64::cos_lanes(x) : pi_over_64::sin_lanes(x);
  } else {
    return sin_core::fast_lanes<F>(x);
  }
}

// The remainder of a quarter-turn reduction reduced again by `Reduce`, whose table has
// kRows rows a quadrant.
template <sin_core::ReducedAngle (*Reduce)(F64x2), int64_t kRows>
sin_core::ReducedAngle reduce_remainder(const QuarterTurnReduction& q) {
  sin_core::ReducedAngle angle = Reduce(F64x2::splat(q.hi));
  angle.lo = angle.lo + F64x2::splat(q.lo);
  angle.t_bits = angle.t_bits + I64x2::splat(kRows * int64_t{q.quadrant});
  return angle;
}

// f of an argument reduced to quadrant + r, |r| <= pi/4.
template <Fn F, Path P>
double of_quadrant(const QuarterTurnReduction& q, double x) {
  if constexpr (F == Fn::kTan) {
    const auto angle = reduce_remainder<tan_pi_over_128::reduce, 64>(q);
    const double y = tan_pi_over_128::tan_of(angle).lane0();
    return x < 0 ? -y : y;
  } else if constexpr (P == Path::kKernel) {
    const auto angle = reduce_remainder<pi_over_64::reduce, 32>(q);
    const pi_over_64::Series ser = pi_over_64::series(angle);
    if constexpr (F == Fn::kCos) return pi_over_64::cos_of(angle, ser, 0).lane0();
    return pi_over_64::sin_of(angle, ser, F64x2::splat(x)).lane0();
  } else {
    const auto angle = reduce_remainder<sin_core::reduce_pi_over_256, 128>(q);
    return sin_core::evaluate<F>(angle, F64x2::splat(x)).lane0();
  }
}

// Lanes beyond the fast path as a compare mask (NaN included).
[[gnu::always_inline]] inline F64x2 beyond_fast_path(F64x2 x) {
  return simd::not_less_equal(simd::abs(x), F64x2::splat(kFastPathLimit));
}

// Special lanes as a compare mask: the block tests both vectors' masks with one movmskpd.
// Tan's also hold the lanes its reduction leaves to the callout.
template <Fn F>
[[gnu::always_inline]] inline auto pair(F64x2 x, F64x2& y) {
  if constexpr (F == Fn::kTan) {
    return tan_pi_over_128::tan_pair(x, y);
  } else {
    y = fast_lanes<F>(x);
    return beyond_fast_path(x);
  }
}

template <Fn F>
bool on_fast_path(double x) {
  if constexpr (F == Fn::kTan) {
    return tan_pi_over_128::on_fast_path(x);
  } else {
    return std::fabs(x) <= kFastPathLimit;
  }
}

// Any argument: NaN passes through, ±inf is a domain error, finite arguments beyond the
// fast path are reduced exactly by multiples of pi/2 (and then by pi/256 on the table).
template <Fn F, Path P = Path::kKernel>
int32_t callout(double x, double* r) {
  if (std::isnan(x)) {
    *r = x * x;
    return TESS_STATUS_OK;
  }
  if (std::isinf(x)) {
    *r = x * 0.0;
    return TESS_STATUS_DOMAIN;
  }
  if (on_fast_path<F>(x)) {
    *r = fast_lanes<F, P>(F64x2::splat(x)).lane0();
    return TESS_STATUS_OK;
  }
  *r = of_quadrant<F, P>(reduce_quarter_turns(std::fabs(x)), x);
  return TESS_STATUS_OK;
}

}  // namespace

// In two passes, sixteen pairs a chunk: the reductions, then the series, rows and sums.
struct SinStaged {
  sin_core::ReducedAngle angle;
  F64x2 x;
};
int64_t SinDouble::fast_block(int64_t n, const double* a, double* r) {
  const auto stage = [](F64x2 x, SinStaged& staged) {
    staged = {pi_over_64::reduce(simd::abs(x)), x};
    return beyond_fast_path(x);
  };
  const auto finish = [](const SinStaged& staged) {
    return pi_over_64::sin_of(staged.angle, pi_over_64::series(staged.angle), staged.x);
  };
  return run_two_pass_block<SinStaged, 16>(n, a, r, stage, finish, pair<Fn::kSin>);
}
int SinDouble::fast_group(const double x[4], double y[4]) {
  return run_fast_group(x, y, pair<Fn::kSin>);
}
int32_t tess_callout_dSin(double x, double* r) { return callout<Fn::kSin>(x, r); }

int64_t CosDouble::fast_block(int64_t n, const double* a, double* r) {
  const auto stage = [](F64x2 x, sin_core::ReducedAngle& angle) {
    angle = pi_over_64::reduce(simd::abs(x));
    return beyond_fast_path(x);
  };
  const auto finish = [](const sin_core::ReducedAngle& angle) {
    return pi_over_64::cos_of(angle, pi_over_64::series(angle), 0);
  };
  return run_two_pass_block<sin_core::ReducedAngle, 16>(n, a, r, stage, finish, pair<Fn::kCos>);
}
int CosDouble::fast_group(const double x[4], double y[4]) {
  return run_fast_group(x, y, pair<Fn::kCos>);
}
int32_t tess_callout_dCos(double x, double* r) { return callout<Fn::kCos>(x, r); }

// In two passes, sixteen pairs a chunk (eight took 1.006x the time, four 1.05x), the first
// pass written out over the chunk. The first pass's conversions raise the invalid flag
// only for lanes that special_lanes reports, which end the block early; the frame clears
// it before their callouts (kSpecialLanesRaiseNoFlag).
int64_t TanDouble::fast_block(int64_t n, const double* a, double* r) {
  const auto stage = [](F64x2 x, tan_pi_over_128::Staged& staged) {
    return tan_pi_over_128::special_lanes(x, tan_pi_over_128::stage_converted(x, staged));
  };
  return run_two_pass_block<tan_pi_over_128::Staged, 16, true>(
      n, a, r, stage, tan_pi_over_128::finish<4>, pair<Fn::kTan>);
}
int TanDouble::fast_group(const double x[4], double y[4]) {
  return run_fast_group(x, y, pair<Fn::kTan>);
}
int32_t tess_callout_dTan(double x, double* r) { return callout<Fn::kTan>(x, r); }

int32_t sin_cos_double(double x, double& s, double& c) {
  const int32_t status = callout<Fn::kSin, Path::kTable>(x, &s);
  callout<Fn::kCos, Path::kTable>(x, &c);
  return status;
}

}  // namespace zorn::tess

TESS_INTERLEAVE_END
