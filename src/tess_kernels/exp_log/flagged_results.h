// Results of the edge cases that carry an exception flag: a domain error's NaN, a pole's
// infinity, an overflow's infinity and an underflow's zero, computed at run time so that
// they raise invalid, divide-by-zero, overflow (with inexact) and underflow (with inexact).
// Constants (quiet_NaN, INFINITY) raise nothing, and the kernels that declare
// kSpecialLanesRaiseNoFlag (frame/fp_state.h) leave these flags to their callouts and
// inline resolutions.
#pragma once

#include <cmath>
#include <limits>

namespace zorn::tess {

// The family's kernels: their vector code raises flags on special lanes only (compares on
// NaN, inf - inf), which their frame clears before settling those lanes
// (kSpecialLanesRaiseNoFlag), and their callouts raise the edge cases' own with the
// results below.
struct EdgeFlagsFromCallouts {
  static constexpr bool kSpecialLanesRaiseNoFlag = true;
};

// v, hidden from the compiler, which would otherwise fold the operations below.
template <class T>
[[gnu::always_inline]] inline T opaque(T v) {
  asm("" : "+x"(v));
  return v;
}

// Invalid; the positive quiet NaN, the kernels' result bits (0 / 0 gives the negative one).
template <class T>
inline T domain_error_nan() {
  const T zero = opaque(T(0));
  asm volatile("" : : "x"(zero / zero));
  return std::numeric_limits<T>::quiet_NaN();
}

// Divide-by-zero; -inf.
template <class T>
inline T pole_minus_infinity() {
  return T(-1) / opaque(T(0));
}

// Overflow and inexact; +inf in every rounding direction (the kernels with the plain
// frame run their callouts under the caller's, where the product rounds to the largest
// finite value toward zero or down).
template <class T>
inline T overflowed() {
  const T huge = opaque(std::numeric_limits<T>::max());
  asm volatile("" : : "x"(huge * huge));
  return std::numeric_limits<T>::infinity();
}

// Underflow and inexact; +0 in every rounding direction.
template <class T>
inline T underflowed() {
  const T tiny = opaque(std::numeric_limits<T>::min());
  asm volatile("" : : "x"(tiny * tiny));
  return T(0);
}

// With error handling off, an exponential's finite special lanes above overflow_bound
// become +inf and those below underflow_bound +0 here, with their flags; returns the
// special lanes left (infinities and NaN go to the callout, which raises nothing for them).
// isgreater and isless raise nothing on a NaN lane, which the callout settles.
template <class T>
int resolve_exp_inline(const T x[4], T y[4], int special, T overflow_bound,
                       T underflow_bound) {
  for (int l = 0; l < 4; ++l) {
    if ((special & (1 << l)) == 0 || !std::isfinite(x[l])) continue;
    if (std::isgreater(x[l], overflow_bound)) {
      y[l] = overflowed<T>();
    } else if (std::isless(x[l], underflow_bound)) {
      y[l] = underflowed<T>();
    } else {
      continue;
    }
    special &= ~(1 << l);
  }
  return special;
}

}  // namespace zorn::tess
