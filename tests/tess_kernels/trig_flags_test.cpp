// The double precision sine, cosine and tangent reduce finite arguments beyond their fast
// path in the callout; their vector code, which also runs on such a lane (conversions,
// products that overflow near 1e300), must leave no invalid, overflow or divide-by-zero
// flag behind, contiguous (where a block stops before the lane) or strided.
#include <cfloat>

#include "kernel_test_support.h"

namespace zorn_test {
TEST(TrigFlags, FiniteArgumentsBeyondTheFastPathRaiseOnlyInexact) {
  TessStateGuard guard;
  const struct {
    const char* name;
    void (*contiguous)(int32_t, const double*, double*);
    void (*strided)(int32_t, const double*, int32_t, double*, int32_t);
  } kernels[] = {{"Sin", _tessdSin, _tessdSinI}, {"Cos", _tessdCos, _tessdCosI},
                 {"Tan", _tessdTan, _tessdTanI}};
  constexpr uint32_t kRaised = _MM_EXCEPT_INVALID | _MM_EXCEPT_OVERFLOW | _MM_EXCEPT_DIV_ZERO;
  for (const auto& k : kernels) {
    for (const double beyond : {102400.0, -3.0e9, 1.0e15, 1.0e300, -DBL_MAX}) {
      for (const int at : {0, 37, 70, 99}) {
        double x[100], y[200];
        for (int i = 0; i < 100; ++i) x[i] = i == at ? beyond : 0.25 + 0.5 * i;
        _mm_setcsr(_mm_getcsr() & ~kMxcsrFlagBits);
        k.contiguous(100, x, y);
        EXPECT_EQ(_mm_getcsr() & kRaised, 0u) << k.name << " " << beyond << " at " << at;
        _mm_setcsr(_mm_getcsr() & ~kMxcsrFlagBits);
        k.strided(100, x, 1, y, 2);
        EXPECT_EQ(_mm_getcsr() & kRaised, 0u) << k.name << " strided " << beyond << " at " << at;
      }
    }
  }
}
}  // namespace zorn_test
