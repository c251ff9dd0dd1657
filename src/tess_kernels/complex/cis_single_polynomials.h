// The near-minimax sine and cosine tails on |r| <= pi/4 of the lanes whose results are
// rounded to single precision from double arithmetic.
#pragma once

namespace zorn::tess::cx::cis_single {
#include "tess_kernels/complex/data/cis_single_polynomials.inc"
}  // namespace zorn::tess::cx::cis_single
