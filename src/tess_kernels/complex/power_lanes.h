// Lanes of the complex power for the two-argument loop of group_lanes.h: x^y = e^w with
// w = y ln x, four elements per call. ln x is carried as head + tail (ln |x| from the
// logarithm core of |x|^2 summed exactly, arg x from the two-lane arctangent), w = a + ib
// as double-double products, e^(a + a') / 4 as hi + lo from the hyperbolic core (a' in its
// tail), and cos b, sin b as the quarter-turn core's unrounded leading parts and tails of
// the reduced b + b', so that each part rounds once. Elements with a zero, tiny, huge or
// non-finite part of x, a zero, huge or non-finite exponent, or Re w outside [-600, 690]
// (results near the ends of the range, which may report) go to the scalar form (power.cpp).
#pragma once

#include <complex>
#include <cstdint>

namespace zorn::tess::cx {

struct PowLanes {
  static int group(const double x[4], const double y[4], const double u[4], const double v[4],
                   double re[4], double im[4]);
  // Contiguous double elements, whole chunks of 24 at a time (group_lanes.h runs the rest
  // as groups).
  static int64_t block(int64_t n, const std::complex<double>* x, const std::complex<double>* w,
                       std::complex<double>* r);
  // The same with one exponent w for every element (Powx).
  static int64_t block(int64_t n, const std::complex<double>* x, std::complex<double> w,
                       std::complex<double>* r);
  // The same for single precision results, without the precise angle's test.
  static int single_group(const double x[4], const double y[4], const double u[4],
                          const double v[4], double re[4], double im[4]);
};

}  // namespace zorn::tess::cx
