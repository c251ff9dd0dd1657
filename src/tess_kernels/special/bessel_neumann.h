// J_n and Y_n of integer order in extended-pair precision (about 2^-120 absolute), for
// 1 <= x <= kNeumannLimit: Miller's backward recurrence normalised by
// J_0 + 2 sum J_2k = 1, and Y_0, Y_1 from the Neumann series over the same J_k.
#pragma once

#include <cstdint>

#include "tess_kernels/special/extended_pair.h"

namespace zorn::tess {

// The recurrence runs about x + 18 x^(1/3) steps: the limit bounds the cost (some 50 us).
constexpr double kNeumannLimit = 1024;

// J_n(x) for n >= 0.
ExtendedPair bessel_jn_neumann(int64_t n, double x);
// Y_n(x) for n >= 0; beyond the double range the result's hi is infinite.
ExtendedPair bessel_yn_neumann(int64_t n, double x);

}  // namespace zorn::tess
