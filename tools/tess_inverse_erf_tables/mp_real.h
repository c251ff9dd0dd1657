// A 320-bit MPFR number with the arithmetic the inverse error function tools need.
#pragma once

#include <mpfr.h>

namespace inverse_erf_tool {

constexpr mpfr_prec_t kPrecision = 320;

struct Mp {
  mpfr_t v;
  Mp() {
    mpfr_init2(v, kPrecision);
    mpfr_set_zero(v, 1);
  }
  explicit Mp(double d) {
    mpfr_init2(v, kPrecision);
    mpfr_set_d(v, d, MPFR_RNDN);
  }
  Mp(const Mp& o) {
    mpfr_init2(v, kPrecision);
    mpfr_set(v, o.v, MPFR_RNDN);
  }
  Mp& operator=(const Mp& o) {
    mpfr_set(v, o.v, MPFR_RNDN);
    return *this;
  }
  ~Mp() { mpfr_clear(v); }
  double d() const { return mpfr_get_d(v, MPFR_RNDN); }
};
inline Mp operator+(const Mp& a, const Mp& b) {
  Mp r;
  mpfr_add(r.v, a.v, b.v, MPFR_RNDN);
  return r;
}
inline Mp operator-(const Mp& a, const Mp& b) {
  Mp r;
  mpfr_sub(r.v, a.v, b.v, MPFR_RNDN);
  return r;
}
inline Mp operator*(const Mp& a, const Mp& b) {
  Mp r;
  mpfr_mul(r.v, a.v, b.v, MPFR_RNDN);
  return r;
}
inline Mp operator/(const Mp& a, const Mp& b) {
  Mp r;
  mpfr_div(r.v, a.v, b.v, MPFR_RNDN);
  return r;
}
inline Mp apply(int (*f)(mpfr_ptr, mpfr_srcptr, mpfr_rnd_t), const Mp& a) {
  Mp r;
  f(r.v, a.v, MPFR_RNDN);
  return r;
}
inline Mp abs(const Mp& a) { return apply(mpfr_abs, a); }
inline Mp pi() {
  Mp r;
  mpfr_const_pi(r.v, MPFR_RNDN);
  return r;
}

}  // namespace inverse_erf_tool
