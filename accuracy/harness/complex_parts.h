// The per-part measure of complex results, beside the normwise one: each part against its
// own reference part, in ulps of that part, so that a part far below the other is held to
// its own ulp and not to the larger part's.
//
// What the per-part bound covers: every part of every complex result, however small
// beside the other part, except a part that is the sum of terms which cancel, where the
// function's value is such a sum of products of the arguments' parts and the kernels may
// round the products (the library has no fused multiply-add): Mul (x1 y1 - x2 y2,
// x1 y2 + x2 y1), MulByConj (x1 y1 + x2 y2, x2 y1 - x1 y2) and Div (the numerators of
// MulByConj over |y|^2). Their terms cancel when they have opposite signs, that is when
// the part is smaller than its larger term. Pow and Powx, e^u (cos v + i sin v) with
// v = Im(w ln z): a part whose factor cos v or sin v is below 2^-p (p = 24, 53) of the sum
// of the magnitudes of v's terms |Im w ln |z|| + |Re w arg z|, the rest of reducing an
// angle that is a sum of rounded transcendental terms. Such parts stay under the
// normwise bound only (their references, too, carry the reduction's loss: Re (-1)^1.5
// is 0, its reference 2^-128 pi off). Every other part is covered where the reference is
// finite, however small beside the other part: a cancellation inside it (cos x near
// pi/2, |z|^2 - 1 near |z| = 1) is one the kernel avoids by computing the cancelling
// quantity accurately, and its reference composes correctly rounded MPFR operations on
// exact arguments without such losses.
#pragma once

#include <optional>
#include <string_view>

#include "harness/mpfr_reference.h"

namespace zorn_accuracy {

// Per-part errors of one complex result; no value for a part the per-part bound does not
// cover (a non-finite part on either side counts in the normwise measure only).
struct PartErrors {
  std::optional<double> re, im;
};

PartErrors part_errors(std::string_view func, const Operands& x, const LongComplex& computed,
                       const LongComplex& reference, int precision);

}  // namespace zorn_accuracy
