// The loops a caller would write around the C library's element-wise operations, built
// in their own unit at -O2: the peer of the element-wise basics. Every loop has the form
// (first arguments, second arguments, results, count); one-argument loops ignore b.
#pragma once

#include <cstdint>

namespace bench::vector_math {

template <class T>
using ElementLoop = void (*)(const T* a, const T* b, T* r, int64_t n);

struct PlainLoop {
  const char* name;
  ElementLoop<float> s;
  ElementLoop<double> d;
};

// In the order of kBasics (bench_basics.cpp), which checks the names.
extern const PlainLoop kPlainLoops[];
extern const int kPlainLoopCount;

}  // namespace bench::vector_math
