// z Arg on contiguous elements: Atan2's reduction with two terms that the argument's
// error analysis lets go (argument_lanes.cpp).
#pragma once

#include <complex>
#include <cstdint>

namespace zorn::tess::cx {

// arg z of the four elements x + iy with the mask of those left to the scalar form (a part
// outside [2^-500, 2^500 (1 + 2^-20))).
int argument_group(const double x[4], const double y[4], double r[4]);

// arg z of whole groups of four until the first holding an element with a part outside
// [2^-500, 2^500 (1 + 2^-20)) (zeros, subnormals, infinities and NaN among them), left
// unstored; returns the count stored.
int64_t argument_block(int64_t n, const std::complex<double>* z, double* r);

}  // namespace zorn::tess::cx
