// Prints the approximations of the double precision erfinv, erfcinv and normal quantile
// kernels, computed with MPFR, for two scales (erfinv and the normal quantile
// sqrt(2) erfinv):
// - the central piece, one polynomial g(t) in t = x^2 <= 1/16 with
//   g = scale erfinv(x) / x - head, so that the result is x head + x g, the head a short
//   constant near the middle of the ratio's range;
// - the tail rows {c0 head, c0 tail, c1, ..., c_degree}, each the Chebyshev interpolant
//   at degree + 1 nodes, in powers of w = q - lo, of erfcinv(q) (erfinv scale) or
//   -quantile(q) = sqrt(2) erfcinv(2q) (normal scale) on the binade piece
//   [2^e (1 + s/64), 2^e (1 + (s+1)/64)], e from -53 up, s = 0..63, so that the row is
//   (bits of q >> 46) less that of 2^-53 and the piece's lower end lo is q's bits above
//   the 46 lowest: eight doubles, one cache line, and no lo to load;
// - the central rows, the same for erfinv(a) (quantile(1/2 + a)) on the binade pieces of
//   a from 2^-53 up to 1/2 (1/4), where the kernels use them in place of the polynomial.
// The single precision kernels read the same rows, from the head alone and the terms to
// degree 4.
// Reports to stderr the largest error of each piece on a fine grid, relative to the
// result, in units of 2^-53 (the rows as the single precision kernels read them: 2^-24).
#include <mpfr.h>

#include <cmath>
#include <cstdio>
#include <utility>
#include <vector>

#include "mp_real.h"
#include "rational_fit.h"

namespace {

using namespace inverse_erf_tool;

constexpr int kDegree = 6;
constexpr int kRowWidth = kDegree + 2;  // head, tail, c1..c6
constexpr int kPieceBits = 6;           // pieces per binade: 2^kPieceBits
constexpr int kPiecesPerBinade = 1 << kPieceBits;
constexpr int kLowestExponent = -53;
constexpr int kLowestCentralExponent = -53;

// x with erfc(x) = q (complement) or erf(x) = q, by Newton steps from a start that
// bisection in long double places within reach of quadratic convergence.
Mp inverse(const Mp& q, bool complement) {
  const long double target = mpfr_get_ld(q.v, MPFR_RNDN);
  long double lo = complement ? -1 : 0, hi = 40;
  for (int i = 0; i < 200; ++i) {
    const long double mid = 0.5L * (lo + hi);
    const long double f = complement ? std::erfc(mid) : std::erf(mid);
    if ((f > target) == complement)
      lo = mid;
    else
      hi = mid;
  }
  Mp x;
  mpfr_set_ld(x.v, 0.5L * (lo + hi), MPFR_RNDN);
  const Mp slope_factor = Mp(complement ? -2.0 : 2.0) / apply(mpfr_sqrt, pi());
  for (int k = 0; k < 4; ++k) {
    const Mp f = apply(complement ? mpfr_erfc : mpfr_erf, x) - q;
    Mp e = x * x;
    mpfr_neg(e.v, e.v, MPFR_RNDN);
    x = x - f / (slope_factor * apply(mpfr_exp, e));
  }
  return x;
}

// The central polynomial's function: scale erfinv(x) / x - head at t = x^2.
Mp central_value(const Mp& t, const Mp& scale, double head) {
  const Mp x = apply(mpfr_sqrt, t);
  return scale * inverse(x, false) / x - Mp(head);
}
Mp tail_value(const Mp& q, bool normal) {
  return normal ? apply(mpfr_sqrt, Mp(2.0)) * inverse(Mp(2.0) * q, true) : inverse(q, true);
}

struct Row {
  double lo;              // not stored: the kernel forms it from the bits of q
  double c[kRowWidth];    // head, tail, c1..
};

// Chebyshev interpolant of f on [lo, hi] in powers of w = v - lo: lo has few bits, so
// that v - lo is exact in the kernel, which forms lo from v by clearing bits.
template <class F>
Row fit(double lo, double hi, F&& f) {
  constexpr int n = kDegree + 1;
  const double centre = 0.5 * (lo + hi);
  const Mp half_width = Mp(0.5) * (Mp(hi) - Mp(lo));
  std::vector<Mp> values(n), cheb(n);
  for (int j = 0; j < n; ++j) {
    const Mp angle = pi() * Mp(2.0 * j + 1) / Mp(2.0 * n);
    values[j] = f(Mp(centre) + half_width * apply(mpfr_cos, angle));
  }
  for (int k = 0; k < n; ++k) {
    Mp sum;
    for (int j = 0; j < n; ++j) {
      const Mp angle = pi() * Mp(k * (2.0 * j + 1)) / Mp(2.0 * n);
      sum = sum + values[j] * apply(mpfr_cos, angle);
    }
    cheb[k] = Mp(k == 0 ? 1.0 : 2.0) * sum / Mp(n);
  }
  // Powers of z = w / half_width from the recurrence T_{k+1} = 2 z T_k - T_{k-1}.
  std::vector<std::vector<Mp>> t(n, std::vector<Mp>(n));
  t[0][0] = Mp(1.0);
  if (n > 1) t[1][1] = Mp(1.0);
  for (int k = 1; k + 1 < n; ++k)
    for (int i = 0; i < n; ++i) t[k + 1][i] = (i > 0 ? Mp(2.0) * t[k][i - 1] : Mp()) - t[k - 1][i];
  // Powers of w - (centre - lo) = v - centre, then re-expanded about lo (Taylor shift).
  std::vector<Mp> about_centre(n);
  Mp scale(1.0);
  for (int i = 0; i < n; ++i) {
    for (int k = 0; k < n; ++k) about_centre[i] = about_centre[i] + cheb[k] * t[k][i];
    about_centre[i] = about_centre[i] / scale;
    scale = scale * half_width;
  }
  const Mp shift = Mp(lo) - Mp(centre);  // v - centre = w + shift
  for (int step = 0; step < n; ++step)   // synthetic division by (w + shift), n times
    for (int i = n - 2; i >= step; --i)
      about_centre[i] = about_centre[i] + shift * about_centre[i + 1];
  Row row{lo, {}};
  for (int i = 0; i < n; ++i) {
    const Mp& power = about_centre[i];
    if (i == 0) {
      row.c[0] = power.d();
      row.c[1] = (power - Mp(row.c[0])).d();
    } else {
      row.c[i + 1] = power.d();
    }
  }
  return row;
}

// The row's polynomial at v as the kernel evaluates it, in high precision: the double
// kernels' to the last term, the single precision kernels' from the head alone and the
// terms to w^kSingleDegree.
constexpr int kSingleDegree = 4;
Mp evaluate(const Row& row, double v, int degree = kDegree, bool with_tail = true) {
  const Mp w = Mp(v) - Mp(row.lo);
  Mp p(row.c[degree + 1]);
  for (int i = degree; i >= 2; --i) p = Mp(row.c[i]) + w * p;
  return Mp(row.c[0]) + ((with_tail ? Mp(row.c[1]) : Mp()) + w * p);
}

void print_row(const Row& row) {
  std::printf("    {%a", row.c[0]);
  for (int i = 1; i < kRowWidth; ++i) std::printf(", %a", row.c[i]);
  std::printf("},\n");
}

// Rows of f on the binade pieces from 2^lowest up to `top` (a piece boundary).
template <class F>
void print_rows(const char* name, int lowest, double top, F&& f) {
  std::vector<std::pair<double, double>> pieces;
  for (int e = lowest;; ++e) {
    for (int s = 0; s < kPiecesPerBinade; ++s) {
      const double lo = std::ldexp(1.0 + double(s) / kPiecesPerBinade, e);
      if (lo >= top) break;
      pieces.emplace_back(lo, std::ldexp(1.0 + double(s + 1) / kPiecesPerBinade, e));
    }
    if (std::ldexp(1.0, e + 1) >= top) break;
  }
  std::printf("alignas(64) inline constexpr double %s[%zu][%d] = {\n", name, pieces.size(),
              kRowWidth);
  double worst = 0, worst_single = 0;
  const auto check = [&](const Row& row, double lo, double hi) {
    for (int j = 0; j <= 16; ++j) {
      const double v = lo + (hi - lo) * j / 16;
      const Mp want = f(Mp(v));
      const Mp err = (evaluate(row, v) - want) / want;
      worst = std::fmax(worst, std::fabs(err.d()) * 0x1p53);
      const Mp err_single = (evaluate(row, v, kSingleDegree, false) - want) / want;
      worst_single = std::fmax(worst_single, std::fabs(err_single.d()) * 0x1p24);
    }
  };
  for (const auto& [lo, hi] : pieces) {
    const Row row = fit(lo, hi, f);
    print_row(row);
    check(row, lo, hi);
  }
  std::printf("};\n");
  std::fprintf(stderr, "%s: worst interpolation error %.4f x 2^-53 relative\n", name, worst);
  std::fprintf(stderr, "%s: to degree %d without the tail, %.5f x 2^-24 relative\n", name,
               kSingleDegree, worst_single);
}

// The tail rows of one scale: erfcinv(q) for erfinv, -quantile(q) for the normal quantile,
// for q from 2^-53 up to `top`.
void print_tail_rows(const char* name, bool normal, double top) {
  print_rows(name, kLowestExponent, top, [&](const Mp& q) { return tail_value(q, normal); });
}

// The central rows of one scale: erfinv(a), or quantile(1/2 + a) = sqrt(2) erfinv(2a), for
// a from 2^kLowestCentralExponent up to `top`; below, the central polynomial.
void print_central_rows(const char* name, bool normal, double top) {
  print_rows(name, kLowestCentralExponent, top, [&](const Mp& a) {
    return normal ? apply(mpfr_sqrt, Mp(2.0)) * inverse(Mp(2.0) * a, false) : inverse(a, false);
  });
}

// The double precision central piece, |x| <= sqrt(top): g(t) = scale erfinv(x) / x - head
// as one polynomial in t = x^2 on [0, top], fitted near-minimax relative to the result
// x (head + g) (rational_fit.h with a constant denominator). The head, a multiple of 1/64
// near the middle of the ratio's range, has at most 8 significant bits, so that the kernel
// forms x head exactly as two products, and keeps |g| small beside it.
void print_central_polynomial(const char* name, const char* head_name, bool normal, double top,
                              int degree) {
  const Mp scale = normal ? apply(mpfr_sqrt, Mp(2.0)) : Mp(1.0);
  const double low = (scale * apply(mpfr_sqrt, pi()) / Mp(2.0)).d();
  const double high = central_value(Mp(top), scale, 0.0).d();
  const double head = std::nearbyint(32 * (low + high)) / 64;
  std::printf("constexpr double %s = %a;\n", head_name, head);
  constexpr int kSamples = 400;
  std::vector<Mp> t, g, weight;
  for (int i = 0; i <= kSamples; ++i) {
    const Mp v = Mp(0.5 * top) * (Mp(1.0) - apply(mpfr_cos, pi() * Mp(i) / Mp(kSamples)));
    t.push_back(v);
    g.push_back(central_value(i == 0 ? Mp(1e-40) : v, scale, head));
    weight.push_back(Mp(1.0) / (Mp(head) + g.back()));
  }
  const Rational r = fit_rational(t, g, weight, degree, 0, 30);
  std::printf("constexpr double %s[%zu] = {", name, r.num.size());
  for (size_t i = 0; i < r.num.size(); ++i) std::printf("%s%a", i ? ", " : "", r.num[i]);
  std::printf("};\n");
  std::vector<Mp> c;
  for (double d : r.num) c.emplace_back(d);
  double worst = 0;
  for (int i = 1; i <= 4000; ++i) {
    const Mp v(top * i / 4000.0), want = central_value(v, scale, head);
    const Mp err = (horner(c, v) - want) / (Mp(head) + want);
    worst = std::fmax(worst, std::fabs(err.d()) * 0x1p53);
  }
  std::fprintf(stderr, "%s: degree %d, worst error %.4f x 2^-53 relative\n", name, degree, worst);
}

}  // namespace

int main() {
  std::printf(
      "// Generated by tools/tess_inverse_erf_tables/inverse_erf_tables.cpp; do not edit.\n");
  std::printf("// Rows {c0 head, c0 tail, c1, ..., c%d}: see the tool.\n", kDegree);
  std::printf("constexpr int kLowestTailExponent = %d;\n", kLowestExponent);
  std::printf("constexpr int kRowWidth = %d;\n", kRowWidth);
  std::printf("constexpr int kTailPieceBits = %d;\n", kPieceBits);
  std::printf("constexpr int kLowestCentralRowExponent = %d;\n", kLowestCentralExponent);
  // The central polynomial below the central rows (|x|, |p - 1/2| below 2^-53), fitted on
  // t = x^2 below 2^-18.
  print_central_polynomial("kErfInvCentralPoly", "kErfInvHead", false, 0x1p-18, 3);
  print_central_polynomial("kNormalQuantileCentralPoly", "kNormalQuantileHead", true, 0x1p-18, 3);
  // The tail rows serve t = 1 - |x| (q or 2 - q) up to 1/2 and p or 1 - p up to 1/4: each
  // table ends with the piece that holds that end.
  print_tail_rows("kErfInvTailRows", false, 0.5 + 1.0 / 128);
  print_tail_rows("kNormalQuantileTailRows", true, 0.25 + 1.0 / 256);
  // The double kernels' rows for the central distances a = |x| below 1/2 (|p - 1/2| below
  // 1/4), where the tail argument exceeds a.
  print_central_rows("kErfInvCentralRows", false, 0.5);
  print_central_rows("kNormalQuantileCentralRows", true, 0.25);
}
