// Long double mathematical functions that glibc offers beside the C library and the
// MinGW-w64 runtime lacks: 10^x, the reentrant ln|Gamma| and the Bessel functions of
// the first and second kind. The Windows build force-includes this header everywhere
// (see the WIN32 part of CMakeLists.txt), so kernels and tests keep one source.
#pragma once

long double exp10l(long double x);
long double lgammal_r(long double x, int* sign);
long double j0l(long double x);
long double j1l(long double x);
long double jnl(int order, long double x);
long double y0l(long double x);
long double y1l(long double x);
long double ynl(int order, long double x);
