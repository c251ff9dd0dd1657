// Uniform variates straight from the stream's basic generator: the stream's identifier
// is mapped to its registry row and the row's real generator writes n values on [a, b).
// Every distribution draws its uniforms through here.
#pragma once

#include <cstdint>

namespace zorn::distributions {

// n values on [a, b) (b itself possible by rounding) into r; the generator's status.
// A stream whose identifier names no generator gives kStatusInvalidBrng and no call.
int32_t draw_uniform(void* stream, int32_t n, double* r, double a, double b);
int32_t draw_uniform(void* stream, int32_t n, float* r, float a, float b);

}  // namespace zorn::distributions
