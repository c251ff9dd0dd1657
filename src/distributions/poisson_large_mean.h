// The shifted normal transform of Poisson method 1 for large means: mean and deviation
// of the normal variate as polynomials in v = 1/lambda, and the cubic correction of its
// deviation x from the mean. The table fit for small means reuses the deviation, so its
// scale polynomial continues the one used here.
#pragma once

namespace zorn::distributions::poisson_large_mean {

inline double mean(double lambda, double v) {
  return lambda - 0.6666957198 + ((0.001645153709 * v - 0.001288719308) * v - 0.01941020862) * v;
}

inline double variance(double lambda, double v) {
  return lambda - 0.05580667628 + ((0.00519830812 * v - 0.005534854444) * v - 0.000975814817) * v;
}

// Coefficients of x, x^2 and x^3 in the correction, each a quintic in v without a
// constant term.
struct Correction {
  double p1, p2, p3;
};

inline Correction correction(double v) {
  return {((((2.02847035732762 * v - 3.85841212878712) * v + 2.29098262740971) * v -
            0.443911391797447) * v + 0.00774710541609) * v,
          ((((-0.185436433294704 * v + 0.358642226989579) * v - 0.228162379800275) * v +
            0.0472242348292688) * v + 0.168577008904505) * v,
          ((((0.014389264627966 * v - 0.0291113093667918) * v + 0.0232257954288354) * v -
            0.0126559989233446) * v - 0.0001145865551857) * v};
}

}  // namespace zorn::distributions::poisson_large_mean
