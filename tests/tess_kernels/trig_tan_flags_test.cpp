// d Tan's block takes m by conversion, which raises the invalid flag for lanes beyond the
// fast path; the block restores it, so finite arguments the callout reduces leave it clear.
#include "kernel_test_support.h"

namespace zorn_test {
TEST(TanFlags, FiniteArgumentsBeyondTheFastPathRaiseNoInvalid) {
  TessStateGuard guard;
  for (const double beyond : {102400.0, -3.0e9, 5.0e8, 1.0e15}) {
    for (const int at : {0, 37, 70, 99}) {
      double x[100], y[100];
      for (int i = 0; i < 100; ++i) x[i] = i == at ? beyond : 0.25 + 0.5 * i;
      _mm_setcsr(_mm_getcsr() & ~kMxcsrFlagBits);
      _tessdTan(100, x, y);
      EXPECT_EQ(_mm_getcsr() & _MM_EXCEPT_INVALID, 0u) << beyond << " at " << at;
    }
  }
}
}  // namespace zorn_test
