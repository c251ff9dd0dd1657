// Long double mathematical functions that glibc offers beside the C library and the
// MinGW-w64 runtime lacks: 10^x and the reentrant ln|Gamma|. The Windows build
// force-includes this header everywhere (see the WIN32 part of CMakeLists.txt), so
// kernels and tests keep one source.
#pragma once

long double exp10l(long double x);
long double lgammal_r(long double x, int* sign);
