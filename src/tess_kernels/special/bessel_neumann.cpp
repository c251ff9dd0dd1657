#include "tess_kernels/special/bessel_neumann.h"

#include <algorithm>
#include <cmath>

namespace zorn::tess {
namespace {

#include "tess_kernels/special/data/extended_constants.inc"

// The normalised results of one backward run: J_n and, for Y, J_0, J_1 and the Neumann
// sums even = sum_{k>=1} (-1)^k J_2k / k and odd = sum_{k>=1} (-1)^k (J_2k-1 - J_2k+1) / k.
struct BackwardRun {
  ExtendedPair jn, j0, j1, even, odd;
};

// Miller: from J_{m+1} = 0, J_m = tiny down to J_0. The start error falls like
// J_m(x) / Y_m(x), about exp(-(4/3) s^(3/2)) with s = (m - x) (2/x)^(1/3) in the Airy
// region: m = x + 24 + 18 x^(1/3) puts it below 2^-140, and at least 30 steps beyond
// the order n keeps J_n's own relative accuracy. Values are rescaled by 2^-8000 before
// they leave the long double range.
template <bool kNeumann>
BackwardRun backward_run(int64_t n, double xd) {
  const ExtendedPair t = ext_quotient({2.0L, 0}, {static_cast<long double>(xd), 0});
  const int64_t m = std::max(static_cast<int64_t>(xd + 24 + 18 * std::cbrt(xd)), n + 30);
  ExtendedPair upper = {0, 0}, current = {0x1p-4000L, 0};
  ExtendedPair jn = {0, 0}, evens = {0, 0}, even = {0, 0}, odd = {0, 0};
  for (int64_t k = m; k >= 1; --k) {
    // J_{k-1} = (2k / x) J_k - J_{k+1}; the factor stays off the chain of dependencies.
    const ExtendedPair factor = ext_times(t, static_cast<long double>(k));
    const ExtendedPair lower = ext_product_difference(factor, current, upper);
    upper = current;
    current = lower;
    const int64_t j = k - 1;
    if (j == n) jn = current;
    if (j % 2 == 0 && j > 0) {
      evens = ext_sum(evens, current);
      if constexpr (kNeumann) {
        const ExtendedPair term = ext_divided_by_integer(current, static_cast<long double>(j / 2));
        even = (j / 2) % 2 == 0 ? ext_sum(even, term) : ext_difference(even, term);
      }
    } else if (kNeumann && j % 2 == 1) {
      // J_j's coefficient in `odd`: -1 for j = 1, else (-1)^q j / (p q), p = (j-1)/2, q = p+1.
      const int64_t p = (j - 1) / 2, q = p + 1;
      const ExtendedPair term =
          j == 1 ? current
                 : ext_divided_by_integer(ext_times(current, static_cast<long double>(j)),
                               static_cast<long double>(p) * static_cast<long double>(q));
      odd = j != 1 && q % 2 == 0 ? ext_sum(odd, term) : ext_difference(odd, term);
    }
    if (std::fabs(current.hi) > 0x1p4000L) {
      for (ExtendedPair* v : {&upper, &current, &jn, &evens, &even, &odd}) *v = ext_scaled(*v, -8000);
    }
  }
  // current = c J_0, upper = c J_1; c = J_0 + 2 sum J_2k.
  const ExtendedPair c = ext_sum(current, ext_times(evens, 2.0L));
  BackwardRun r;
  r.jn = ext_quotient(n == 0 ? current : jn, c);
  if constexpr (kNeumann) {
    r.j0 = ext_quotient(current, c);
    r.j1 = ext_quotient(upper, c);
    r.even = ext_quotient(even, c);
    r.odd = ext_quotient(odd, c);
  }
  return r;
}

// ln v for a positive normal v: e ln 2 + 2 atanh(s), s = (f - 1) / (f + 1), f in
// [1/sqrt 2, sqrt 2); |s| < 0.172, so that 28 terms of the series reach 2^-140.
ExtendedPair ext_log(long double v) {
  int e;
  long double f = std::frexp(v, &e);
  if (f < 0.70710678118654752440L) {
    f *= 2;
    --e;
  }
  const ExtendedPair s = ext_quotient({f - 1, 0}, {f + 1, 0});
  const ExtendedPair s2 = ext_product(s, s);
  constexpr int kTerms = 28;
  ExtendedPair p = ext_divided_by_integer({1, 0}, 2 * kTerms + 1);
  for (int j = kTerms - 1; j >= 0; --j) {
    p = ext_sum(ext_product(p, s2), ext_divided_by_integer({1, 0}, 2 * j + 1));
  }
  return ext_sum(ext_times(kLn2Pair, static_cast<long double>(e)), ext_times(ext_product(s, p), 2.0L));
}

}  // namespace

ExtendedPair bessel_jn_neumann(int64_t n, double x) { return backward_run<false>(n, x).jn; }

ExtendedPair bessel_yn_neumann(int64_t n, double x) {
  const BackwardRun r = backward_run<true>(0, x);
  // Y_0 = (2/pi) (L J_0 - 2 even), Y_1 = (2/pi) (L J_1 - J_0 / x + odd), L = ln(x/2) + gamma.
  const ExtendedPair l = ext_sum(ext_log(static_cast<long double>(x) / 2), kEulerGammaPair);
  const ExtendedPair xp = {static_cast<long double>(x), 0};
  ExtendedPair y0 = ext_product(kTwoOverPiPair,
                                ext_difference(ext_product(l, r.j0), ext_times(r.even, 2.0L)));
  if (n == 0) return y0;
  ExtendedPair y1 = ext_product(
      kTwoOverPiPair, ext_sum(ext_difference(ext_product(l, r.j1), ext_quotient(r.j0, xp)), r.odd));
  // Forward: Y grows with the order, stable; stop once beyond the double range.
  const ExtendedPair t = ext_quotient({2.0L, 0}, xp);
  for (int64_t k = 1; k < n && std::fabs(y1.hi) < 0x1p1100L; ++k) {
    const ExtendedPair next = ext_product_difference(ext_times(t, static_cast<long double>(k)), y1, y0);
    y0 = y1;
    y1 = next;
  }
  if (std::fabs(y1.hi) >= 0x1p1100L) return {std::copysign(INFINITY, y1.hi), 0};
  return y1;
}

}  // namespace zorn::tess
