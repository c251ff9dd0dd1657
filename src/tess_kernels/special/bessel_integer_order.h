// Bessel functions of integer order n from those of orders 0 and 1: Y_n by the forward
// recurrence, J_n by the forward recurrence where n < |x| and by Miller's backward
// recurrence otherwise, in extended precision. Where the functions oscillate (1 <= x <=
// kNeumannLimit, x > n for J) and `near_zeros` is set, the extended-pair run of
// bessel_neumann.h instead, whose absolute error keeps a double's relative accuracy near
// the zeros; float results do without it. J_-n = (-1)^n J_n, Y_-n = (-1)^n Y_n,
// J_n(-x) = (-1)^n J_n(x); Y_n is NaN below 0 and infinite at 0.
#pragma once

namespace zorn::tess {

double bessel_jn(int n, double x, bool near_zeros);
double bessel_yn(int n, double x, bool near_zeros);

}  // namespace zorn::tess
