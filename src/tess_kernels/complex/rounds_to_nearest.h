// Whether the caller's SSE rounding is to nearest, for the complex kernels, which run under
// it: their lanes' error-free steps and the scalar logarithm of the modulus hold only there.
#pragma once

#include <xmmintrin.h>

namespace zorn::tess::cx {

// MXCSR's rounding control read, not tested by a sum, which would raise the inexact flag
// beside exact results (e^0, the root of 4).
inline bool rounds_to_nearest() { return (_mm_getcsr() & _MM_ROUND_MASK) == _MM_ROUND_NEAREST; }

// Rounding to nearest for a scope, for a real part whose reduction holds only there (the
// sine's shifter); the caller's rounding comes back at the end with the flags the scope
// raised added to its own.
class NearestRounding {
 public:
  NearestRounding() : saved_(_mm_getcsr()) { _mm_setcsr(saved_ & ~_MM_ROUND_MASK); }
  ~NearestRounding() { _mm_setcsr(saved_ | (_mm_getcsr() & _MM_EXCEPT_MASK)); }
  NearestRounding(const NearestRounding&) = delete;
  NearestRounding& operator=(const NearestRounding&) = delete;

 private:
  unsigned saved_;
};

}  // namespace zorn::tess::cx
