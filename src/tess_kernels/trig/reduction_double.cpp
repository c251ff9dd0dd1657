#include "tess_kernels/trig/reduction_double.h"

#include <algorithm>
#include <cstring>

#include "tess_kernels/frame/double_double.h"
#include "tess_kernels/trig/trig_tables.h"

namespace zorn::tess {
namespace {

using U128 = unsigned __int128;
using I128 = __int128;

constexpr double kPiOver2Hi = 1.5707963267948966;
constexpr double kPiOver2Lo = 6.123233995736766e-17;

// Bits first..first+191 of 2/pi (bit 1 has weight 1/2) as three words, most significant
// first; bits past the table are zero.
void two_over_pi_window(int first, uint64_t w[3]) {
  const auto& words = trig_tables::kTwoOverPiWords;
  constexpr int kWords = static_cast<int>(sizeof(words) / sizeof(words[0]));
  const auto word = [&](int i) { return i < kWords ? words[i] : uint64_t{0}; };
  const int index = (first - 1) / 64, shift = (first - 1) % 64;
  for (int i = 0; i < 3; ++i) {
    w[i] = shift == 0 ? word(index + i)
                      : (word(index + i) << shift) | (word(index + i + 1) >> (64 - shift));
  }
}

}  // namespace

QuarterTurnReduction reduce_quarter_turns(double a) {
  uint64_t bits;
  std::memcpy(&bits, &a, sizeof bits);
  const int biased = static_cast<int>(bits >> 52);
  const int e = biased - 1075;  // a = m 2^e
  const uint64_t m = (bits & ((uint64_t{1} << 52) - 1)) | (uint64_t{1} << 52);

  // Digits of 2/pi of weight above 2^(e-1) multiply m into multiples of 4 quadrants.
  const int first = std::max(1, e - 1);
  uint64_t w[3];
  two_over_pi_window(first, w);
  // p = m * window, four 64-bit words, least significant first.
  uint64_t p[4];
  U128 carry = 0;
  for (int i = 0; i < 3; ++i) {
    const U128 prod = static_cast<U128>(m) * w[2 - i] + carry;
    p[i] = static_cast<uint64_t>(prod);
    carry = prod >> 64;
  }
  p[3] = static_cast<uint64_t>(carry);
  // a 2/pi = p 2^-point mod 4 up to the truncated digits; point <= 244 for a >= 1.
  const int point = first + 191 - e;
  // 2 integer bits and 126 fraction bits: bits point-126 .. point+1 of p.
  const int low = point - 126;
  const auto bits_from = [&](int at) -> uint64_t {  // the 64 bits of p from bit `at`
    if (at >= 256) return 0;
    const int i = at / 64, s = at % 64;
    const uint64_t lo_word = p[i];
    const uint64_t hi_word = i + 1 < 4 ? p[i + 1] : 0;
    return s == 0 ? lo_word : (lo_word >> s) | (hi_word << (64 - s));
  };
  const U128 window = (static_cast<U128>(bits_from(low + 64)) << 64) | bits_from(low);
  // Round to the nearest quadrant: fraction in [-1/2, 1/2) of a quadrant, scaled by 2^126.
  const U128 half = U128{1} << 125;
  const U128 shifted = window + half;
  const int32_t quadrant = static_cast<int32_t>(shifted >> 126) & 3;
  const I128 fraction = static_cast<I128>(shifted & ((U128{1} << 126) - 1)) - static_cast<I128>(half);
  const double f_hi = static_cast<double>(fraction);
  const double f_lo = static_cast<double>(fraction - static_cast<I128>(f_hi));
  const double scale = 0x1p-126;
  const DoubleDouble r = two_product(f_hi * scale, kPiOver2Hi);
  const double r_lo = r.lo + (f_hi * scale * kPiOver2Lo + f_lo * scale * kPiOver2Hi);
  const DoubleDouble sum = two_sum(r.hi, r_lo);
  return {quadrant, sum.hi, sum.lo};
}

}  // namespace zorn::tess
