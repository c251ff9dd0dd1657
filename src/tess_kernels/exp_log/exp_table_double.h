// The 2^(j/64) table steps shared by the double precision exponentials (e^x, 2^x, 10^x)
// and the single precision e^x callout. Each reduces its argument to a shifter sum t
// holding k, the nearest integer to 64 x log2(base), and a remainder r; the result is
// 2^(k div 64) 2^(j/64) base^r with j = k mod 64 and 2^(j/64) = hi (1 + lo) from a
// relative table row.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <type_traits>

#include "tess_kernels/exp_log/scale_double.h"
#include "tess_kernels/frame/simd_double.h"
#include "tess_kernels/frame/words_through_memory.h"

namespace zorn::tess {

// r (c[0] + r (c[1] + ... + r c[N-1])) by Horner, for one double or two lanes: one
// order of operations, so that the vector lanes and the callouts give the same bits.
template <class T, size_t N>
[[gnu::always_inline]] inline T r_times_horner(T r, const double (&c)[N]) {
  const auto constant = [](double v) {
    if constexpr (std::is_same_v<T, double>) {
      return v;
    } else {
      return T::splat(v);
    }
  };
  T p = constant(c[N - 1]);
  for (size_t i = N - 1; i-- > 0;) p = constant(c[i]) + r * p;
  return r * p;
}

// A relative 2^(j/N) table (N = 64 or 256) with each row's hi replaced by the bits of
// hi minus j << (52 - log2 N) (still a positive normal double: only moved through
// registers, never computed with). The shifter sum's low bits hold k = N (k div N) + j,
// so that adding them moved up by 52 - log2 N gives the bits of 2^(k div N) hi: one
// shift and one integer add, where the plain hi takes two shifts and an add.
template <size_t N>
struct ShiftedRows {
  static_assert(N == 64 || N == 256);
  static constexpr int kShift = N == 64 ? 46 : 44;
  alignas(16) double row[N][2];
};
template <size_t N>
constexpr ShiftedRows<N> shifted_rows(const double (&table)[N][2]) {
  ShiftedRows<N> s{};
  for (uint64_t j = 0; j < N; ++j) {
    s.row[j][0] = std::bit_cast<double>(std::bit_cast<uint64_t>(table[j][0]) -
                                        (j << ShiftedRows<N>::kShift));
    s.row[j][1] = table[j][1];
  }
  return s;
}

// The rows of k mod N of two lanes, k in the low bits of the shifter sum t (|k| below
// 2^(11 + log2 N)), as A = 2^(k div N) hi (exact: the fast lanes have normal results)
// and lo.
struct ScaledRows {
  simd::F64x2 a, lo;
};
template <size_t N>
[[gnu::always_inline]] inline ScaledRows scaled_rows(const ShiftedRows<N>& table,
                                                     simd::I64x2 t_bits) {
  using simd::F64x2;
  const simd::Words t_words = simd::words_through_memory(t_bits.v);
  const F64x2 row0 = F64x2::load_aligned(table.row[t_words.w[0] & (N - 1)]);
  const F64x2 row1 = F64x2::load_aligned(table.row[t_words.w[2] & (N - 1)]);
  const simd::I64x2 shifted_hi = simd::bits(simd::lane0s(row0, row1));
  return {simd::from_bits(shifted_hi + (t_bits << ShiftedRows<N>::kShift)),
          simd::lane1s(row0, row1)};
}

// Two lanes of 2^(k div N) hi (1 + lo + q) as A + A (lo + q): hi is scaled ahead of the
// sum, so that the scaling is off the chain that follows.
template <size_t N>
[[gnu::always_inline]] inline simd::F64x2 scaled_table_sum(const ShiftedRows<N>& table,
                                                           simd::I64x2 t_bits, simd::F64x2 q) {
  const ScaledRows rows = scaled_rows(table, t_bits);
  return rows.a + rows.a * (rows.lo + q);
}

// The rounded 2^s hi (1 + lo + q) of a callout with row j = the low six bits of t, for
// a result at least 2^-1022 (`normal`) or below it (scaled by 2^100 and back, rounded
// once).
inline double callout_table_result(const double (&table)[64][2], double t, double q,
                                   int64_t s, bool normal) {
  const int j = static_cast<int>(bits_of_double(t) & 63);
  const double hi = table[j][0];
  const double w = hi * (table[j][1] + q);
  return normal ? scale_normal(hi + w, s) : scale_subnormal<100>(hi, w, s);
}

// e^x = 2^(k/64) e^r for the callouts of e^x (both types): k the nearest integer to
// 64 x / ln 2 in t's low bits, r = x - k ln2/64 in two parts, e^r - 1 = r + r^2 P(r)
// (degree 5, for |r| <= ln2/128), and 2^(j/64) = hi + w with w = hi (lo + e^r - 1).
constexpr double kExpShifter = 6755399441055744.0;  // 1.5 * 2^52
constexpr double kSixtyFourOverLn2 = 92.33248261689366;
constexpr double kLn2Over64Hi = 0.010830424696223417;
constexpr double kLn2Over64Lo = 2.572804622327669e-14;
struct ExpCalloutParts {
  int64_t k;
  double hi;
  double w;
};
inline ExpCalloutParts exp_callout_parts(double x, const double (&table)[64][2]) {
  const double t = x * kSixtyFourOverLn2 + kExpShifter;
  const double k = t - kExpShifter;
  const double r = x - k * kLn2Over64Hi - k * kLn2Over64Lo;
  const double p =
      r + r * r *
              (0.5 + r * (0.1666666666665788 +
                          r * (0.04166666666677052 +
                               r * (0.008333341995140497 + r * 0.0013888870459233254))));
  const int j = static_cast<int>(bits_of_double(t) & 63);
  const double hi = table[j][0];
  return {static_cast<int64_t>(k), hi, (p + table[j][1]) * hi};
}

}  // namespace zorn::tess
