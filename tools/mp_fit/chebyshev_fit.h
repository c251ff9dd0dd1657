// MPFR polynomial fits shared by the table tools: a fit interpolates the function at the
// Chebyshev nodes of its interval (near-minimax for smooth functions), in Newton's form,
// and expands it into powers of the offset from the interval's left end.
#pragma once

#include <mpfr.h>

#include <cstdio>
#include <functional>
#include <vector>

namespace mp_fit {

constexpr mpfr_prec_t kPrecision = 320;

struct Real {
  mpfr_t v;
  Real() { mpfr_init2(v, kPrecision); mpfr_set_ui(v, 0, MPFR_RNDN); }
  Real(const Real& o) { mpfr_init2(v, kPrecision); mpfr_set(v, o.v, MPFR_RNDN); }
  Real& operator=(const Real& o) { mpfr_set(v, o.v, MPFR_RNDN); return *this; }
  ~Real() { mpfr_clear(v); }
  double get() const { return mpfr_get_d(v, MPFR_RNDN); }
};

using Function = std::function<void(Real&, const Real&)>;

// p = c[0] + c[1] z + ... by Horner's rule in working precision: the polynomial with the
// coefficients a kernel stores (rounded to double or float), for measuring its error.
template <class Coefficient>
inline void evaluate(Real& p, const std::vector<Coefficient>& c, const Real& z) {
  mpfr_set_ui(p.v, 0, MPFR_RNDN);
  for (size_t k = c.size(); k-- > 0;) {
    mpfr_mul(p.v, p.v, z.v, MPFR_RNDN);
    mpfr_add_d(p.v, p.v, c[k], MPFR_RNDN);
  }
}

// Coefficients of the polynomial in d interpolating f(left + d) at the Chebyshev nodes
// of [0, width].
inline std::vector<Real> fit(const Function& f, double left, double width, int degree) {
  const int n = degree;
  std::vector<Real> nodes(n + 1), c(n + 1);
  Real pi;
  mpfr_const_pi(pi.v, MPFR_RNDN);
  for (int k = 0; k <= n; ++k) {
    Real t, x;
    mpfr_mul_ui(t.v, pi.v, 2 * k + 1, MPFR_RNDN);
    mpfr_div_ui(t.v, t.v, 2 * (n + 1), MPFR_RNDN);
    mpfr_cos(t.v, t.v, MPFR_RNDN);
    mpfr_add_ui(t.v, t.v, 1, MPFR_RNDN);
    mpfr_mul_d(t.v, t.v, width / 2, MPFR_RNDN);  // width / 2 is exact
    nodes[k] = t;
    mpfr_add_d(x.v, t.v, left, MPFR_RNDN);
    f(c[k], x);
  }
  for (int j = 1; j <= n; ++j) {  // divided differences
    for (int i = n; i >= j; --i) {
      Real num, den;
      mpfr_sub(num.v, c[i].v, c[i - 1].v, MPFR_RNDN);
      mpfr_sub(den.v, nodes[i].v, nodes[i - j].v, MPFR_RNDN);
      mpfr_div(c[i].v, num.v, den.v, MPFR_RNDN);
    }
  }
  // Newton's form to powers of d: m <- m (d - node_i) + c_i, from the innermost term.
  std::vector<Real> m(n + 1);
  m[0] = c[n];
  for (int i = n - 1; i >= 0; --i) {
    for (int k = n; k >= 1; --k) {
      Real t;
      mpfr_mul(t.v, m[k].v, nodes[i].v, MPFR_RNDN);
      mpfr_sub(m[k].v, m[k - 1].v, t.v, MPFR_RNDN);
    }
    Real t;
    mpfr_mul(t.v, m[0].v, nodes[i].v, MPFR_RNDN);
    mpfr_sub(m[0].v, c[i].v, t.v, MPFR_RNDN);
  }
  return m;
}

// Coefficients in powers of d = x - left (as `fit` returns them) to powers of x:
// Horner's rule on polynomials.
inline std::vector<Real> to_powers_of_x(const std::vector<Real>& in_d, double left) {
  const size_t n = in_d.size() - 1;
  std::vector<Real> in_x(n + 1);
  for (size_t k = n + 1; k-- > 0;) {
    for (size_t i = n; i >= 1; --i) {
      Real shifted;
      mpfr_mul_d(shifted.v, in_x[i].v, left, MPFR_RNDN);
      mpfr_sub(in_x[i].v, in_x[i - 1].v, shifted.v, MPFR_RNDN);
    }
    Real shifted;
    mpfr_mul_d(shifted.v, in_x[0].v, left, MPFR_RNDN);
    mpfr_sub(in_x[0].v, in_d[k].v, shifted.v, MPFR_RNDN);
  }
  return in_x;
}

// Prints c0 as a rounded head and its remainder, then the other coefficients.
inline void print_split_row(const std::vector<Real>& m, const char* prefix) {
  Real rest;
  const double head = m[0].get();
  mpfr_sub_d(rest.v, m[0].v, head, MPFR_RNDN);
  std::printf("%s%a, %a", prefix, head, rest.get());
  for (size_t k = 1; k < m.size(); ++k) std::printf(", %a", m[k].get());
}

}  // namespace mp_fit
