#include "tess_kernels/exp_log/double_ops.h"

#include <cmath>
#include <cstring>

#include "tess_kernels/exp_log/exp_table_double.h"
#include "tess_kernels/exp_log/flagged_results.h"
#include "tess_kernels/frame/constant_source.h"
#include "tess_kernels/frame/interleaved_schedule.h"
#include "tess_kernels/frame/simd_double.h"
#include "zorn/tess.h"

TESS_INTERLEAVE_BEGIN

namespace zorn::tess {
namespace {
#include "tess_kernels/exp_log/data/exp_tables.inc"

using simd::F64x2;
using simd::I64x2;

// The fast path takes |x| below this, the least double whose high word exceeds 0x4086232A
// (about 708.3964).
constexpr double kFastPathBound = 0x1.6232bp+9;
constexpr double kOverflowBound = 709.782712893384;
constexpr double kUnderflowBound = -745.1332191019411;
constexpr double kNormalResultBound = -708.3964185322641;

// Every constant of exp_pair, for the rows of short calls (below).
constexpr double kPairConstants[] = {kExpShifter, kSixtyFourOverLn2, kLn2Over64Hi, kLn2Over64Lo,
                                     0.4999999999994775, 0.1666666666667797, 0.04166672368662385,
                                     0.00833333416441411, kFastPathBound, -0.0};

// Fast path of two lanes: e^x = 2^(k/64) e^r with k the nearest integer to 64 x / ln 2,
// 2^(j/64) = hi + lo from the table (j = k mod 64) and the scale 2^(k div 64) built from
// the integer bits of t. Returns the compare mask of special lanes (NaN included).
template <class C>
[[gnu::always_inline]] inline F64x2 exp_pair(F64x2 x, F64x2& y, const C& c) {
  using simd::constant;
  const F64x2 shifter = constant<kExpShifter>(c);
  const F64x2 t = x * constant<kSixtyFourOverLn2>(c) + shifter;
  const F64x2 k = t - shifter;
  const F64x2 r = (x - k * constant<kLn2Over64Hi>(c)) - k * constant<kLn2Over64Lo>(c);
  const F64x2 p = r + (r * r) * (constant<0.4999999999994775>(c) +
                                 r * (constant<0.1666666666667797>(c) +
                                      r * (constant<0.04166672368662385>(c) +
                                           r * constant<0.00833333416441411>(c))));
  const I64x2 t_bits = simd::bits(t);
  // Row indices by movd from the register, not through a store (words_through_memory):
  // the store-to-load forwarding is on the latency path, which short calls (n = 16: two
  // steps of the paired block) wait for.
  const int j0 = _mm_cvtsi128_si32(t_bits.v) & 63;
  const int j1 = _mm_cvtsi128_si32(_mm_unpackhi_epi64(t_bits.v, t_bits.v)) & 63;
  const F64x2 row0 = F64x2::load_aligned(kExp2Over64Absolute[j0]);
  const F64x2 row1 = F64x2::load_aligned(kExp2Over64Absolute[j1]);
  const F64x2 hi = simd::lane0s(row0, row1);
  const F64x2 lo = simd::lane1s(row0, row1);
  y = scaled_by_shifted_integer(hi + (p * hi + lo), t_bits);
  const F64x2 magnitude = simd::and_not(x, constant<-0.0>(c));
  return simd::not_less(magnitude, constant<kFastPathBound>(c));
}

// exp_pair with its constants from a source C (frame/constant_source.h), for the loops.
template <class C>
struct ExpPair {
  C c;
  [[gnu::always_inline]] F64x2 operator()(F64x2 x, F64x2& y) const { return exp_pair(x, y, c); }
};
using BroadcastPair = ExpPair<simd::SplatConstants>;
using RowPair = ExpPair<simd::RowConstants<kPairConstants>>;

// Calls of fewer than this many elements read the constants as rows, the others as
// broadcasts. The step of four pairs holds more values than there are registers: with
// broadcasts GCC builds and spills nine constants in the block's prologue on every call,
// work that follows the frame's MXCSR read and waits with it (n = 16: 32.0 -> 30.2 ns,
// n = 8: 20.4 -> 15.6 as rows), while rows cost more loads a pair (rows everywhere:
// n = 32 1.01x, n = 1000 1432 -> 1592 ns).
constexpr int64_t kRowsBelow = 32;

// The block on broadcasts, a function of its own so that its code is that of a block
// with n unknown.
[[gnu::noinline]] int64_t broadcast_block(int64_t n, const double* a, double* r) {
  return run_paired_fast_block(n, a, r, BroadcastPair{});
}

}  // namespace

int64_t ExpDouble::fast_block(int64_t n, const double* a, double* r) {
  if (n >= kRowsBelow) return broadcast_block(n, a, r);
  return run_paired_fast_block(n, a, r, RowPair{});
}
int ExpDouble::fast_group(const double x[4], double y[4]) {
  return run_fast_group(x, y, BroadcastPair{});
}

int ExpDouble::resolve_inline(const double x[4], double y[4], int special) {
  return resolve_exp_inline(x, y, special, kOverflowBound, kUnderflowBound);
}

int32_t tess_callout_dExp(double x, double* r) {
  if (std::isnan(x)) {
    *r = x * x;
    return TESS_STATUS_OK;
  }
  if (std::isinf(x)) {
    *r = x > 0 ? x : 0.0;
    return TESS_STATUS_OK;
  }
  if (biased_exponent(x) < 971) {  // |x| < 2^-52
    *r = 1.0 + x;
    return TESS_STATUS_OK;
  }
  if (x > kOverflowBound) {
    *r = overflowed<double>();
    return TESS_STATUS_OVERFLOW;
  }
  if (x < kUnderflowBound) {
    *r = underflowed<double>();
    return TESS_STATUS_UNDERFLOW;
  }
  const auto [k, hi, w] = exp_callout_parts(x, kExp2Over64Relative);
  const int64_t scale = k >> 6;
  if (x >= kNormalResultBound) {
    *r = scale_normal(hi + w, scale);
    return TESS_STATUS_OK;
  }
  *r = scale_subnormal<60>(hi, w, scale);
  return TESS_STATUS_UNDERFLOW;
}

}  // namespace zorn::tess

TESS_INTERLEAVE_END
