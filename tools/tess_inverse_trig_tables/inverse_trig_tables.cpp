// Prints the tables of the double precision inverse trigonometric kernels, computed
// with MPFR:
// - asin and atan as u + u^3 P(u^2): P interpolates (f(sqrt z) - sqrt z) / z^(3/2) at
//   the Chebyshev nodes of [0, z_max], found by solving the Vandermonde system of those
//   nodes exactly, and rounded to double. Each line is followed by the largest error of
//   z P(z) with the rounded coefficients over 4096 points of the interval (the relative
//   error the polynomial adds to f). atan(u) / pi and asin(u) / pi as
//   u/4 + u (1/pi - 1/4) + u^3 P(u^2) / pi, 1/pi - 1/4 split into a head and R(0).
//   The float kernels' asin and asin over pi: P in float coefficients of least weighted
//   largest error instead (weighted_minimax_float).
// - atan(c_k) as head and remainder for c_k = k/32 (k = 3 .. 512) and c_k = 0 (k <= 2),
//   the centres of the atan kernel's reduction u = (a - c) / (1 + a c), then pi - atan(c_k)
//   for atan2 left of the vertical axis; the same divided by pi for the pi forms. The fine
//   form's centres: c_k = k/32 for k = 0 .. 32 (the first octant), then pi - atan(c_k).
// - pi/2, pi, 3 pi/4 and 1/pi as head and remainder.
#include <mpfr.h>

#include <cmath>
#include <cstdio>
#include <vector>

namespace {

constexpr mpfr_prec_t kPrecision = 256;

struct Mp {
  mpfr_t v;
  Mp() { mpfr_init2(v, kPrecision); mpfr_set_ui(v, 0, MPFR_RNDN); }
  explicit Mp(double d) { mpfr_init2(v, kPrecision); mpfr_set_d(v, d, MPFR_RNDN); }
  Mp(const Mp& o) { mpfr_init2(v, kPrecision); mpfr_set(v, o.v, MPFR_RNDN); }
  Mp& operator=(const Mp& o) { mpfr_set(v, o.v, MPFR_RNDN); return *this; }
  ~Mp() { mpfr_clear(v); }
  double get() const { return mpfr_get_d(v, MPFR_RNDN); }
};

using Inverse = int (*)(mpfr_ptr, mpfr_srcptr, mpfr_rnd_t);

// (f(sqrt z) - sqrt z) / z^(3/2); its limit at z = 0 is the cube coefficient.
Mp correction(Inverse f, const Mp& z, double at_zero) {
  if (mpfr_zero_p(z.v)) return Mp(at_zero);
  Mp s, r, cube;
  mpfr_sqrt(s.v, z.v, MPFR_RNDN);
  f(r.v, s.v, MPFR_RNDN);
  mpfr_sub(r.v, r.v, s.v, MPFR_RNDN);
  mpfr_mul(cube.v, s.v, z.v, MPFR_RNDN);
  mpfr_div(r.v, r.v, cube.v, MPFR_RNDN);
  return r;
}

// The solution of the square system whose rows hold the coefficients and, last, the
// right-hand side: Gaussian elimination with partial pivoting.
std::vector<Mp> solve(std::vector<std::vector<Mp>> rows) {
  const int n = static_cast<int>(rows.size());
  for (int col = 0; col < n; ++col) {
    int pivot = col;
    for (int i = col + 1; i < n; ++i) {
      if (mpfr_cmpabs(rows[i][col].v, rows[pivot][col].v) > 0) pivot = i;
    }
    std::swap(rows[col], rows[pivot]);
    for (int i = 0; i < n; ++i) {
      if (i == col) continue;
      Mp factor, t;
      mpfr_div(factor.v, rows[i][col].v, rows[col][col].v, MPFR_RNDN);
      for (int j = col; j <= n; ++j) {
        mpfr_mul(t.v, factor.v, rows[col][j].v, MPFR_RNDN);
        mpfr_sub(rows[i][j].v, rows[i][j].v, t.v, MPFR_RNDN);
      }
    }
  }
  std::vector<Mp> c(n);
  for (int i = 0; i < n; ++i) mpfr_div(c[i].v, rows[i][n].v, rows[i][i].v, MPFR_RNDN);
  return c;
}

// Coefficients c_0 .. c_degree of the interpolant at the Chebyshev nodes of [0, z_max],
// from the Vandermonde rows.
std::vector<Mp> interpolate(Inverse f, double at_zero, double z_max, int degree) {
  const int n = degree + 1;
  std::vector<std::vector<Mp>> rows(n, std::vector<Mp>(n + 1));
  Mp pi;
  mpfr_const_pi(pi.v, MPFR_RNDN);
  for (int i = 0; i < n; ++i) {
    Mp z;
    mpfr_mul_ui(z.v, pi.v, 2 * i + 1, MPFR_RNDN);
    mpfr_div_ui(z.v, z.v, 2 * n, MPFR_RNDN);
    mpfr_cos(z.v, z.v, MPFR_RNDN);
    mpfr_add_ui(z.v, z.v, 1, MPFR_RNDN);
    mpfr_mul_d(z.v, z.v, z_max / 2, MPFR_RNDN);
    Mp power(1.0);
    for (int j = 0; j < n; ++j) {
      rows[i][j] = power;
      mpfr_mul(power.v, power.v, z.v, MPFR_RNDN);
    }
    rows[i][n] = correction(f, z, at_zero);
  }
  return solve(rows);
}

// Largest |z (P(z) - scale correction(z))| over the interval, P with coefficients in
// double.
double largest_error(Inverse f, double at_zero, double z_max, const std::vector<double>& c,
                     const Mp& scale = Mp(1.0)) {
  double worst = 0;
  for (int i = 0; i <= 4096; ++i) {
    const Mp z(z_max * i / 4096);
    Mp p, t;
    for (size_t k = c.size(); k-- > 0;) {
      mpfr_mul(p.v, p.v, z.v, MPFR_RNDN);
      mpfr_add_d(p.v, p.v, c[k], MPFR_RNDN);
    }
    mpfr_mul(t.v, correction(f, z, at_zero).v, scale.v, MPFR_RNDN);
    mpfr_sub(t.v, p.v, t.v, MPFR_RNDN);
    mpfr_mul(t.v, t.v, z.v, MPFR_RNDN);
    worst = std::fmax(worst, std::fabs(t.get()));
  }
  return worst;
}

void print_row(const char* name, const std::vector<double>& c) {
  std::printf("constexpr double %s[%zu] = {", name, c.size());
  for (size_t k = 0; k < c.size(); ++k) std::printf(k ? ", %a" : "%a", c[k]);
  std::printf("};\n");
}

void print_polynomial(const char* name, Inverse f, double at_zero, double z_max, int degree) {
  std::vector<double> c;
  for (const Mp& m : interpolate(f, at_zero, z_max, degree)) c.push_back(m.get());
  print_row(name, c);
  std::printf("// largest error of z P(z) on [0, %a]: 2^%.1f\n", z_max,
              std::log2(largest_error(f, at_zero, z_max, c)));
}

// Float coefficients c_0 .. c_degree of P minimising the largest |z (g(z) - P(z))| on
// [0, z_max], g = scale correction(f): the error asin u - u - u z P(z) relative to u
// (scale 1; 1/pi for the quotients by pi), which the float arcsines carry to their
// results (at most 2^24 times it in ulps). Each c_k is
// rounded to float in turn and the higher ones fitted again around it (Remez' exchange
// on 4096 points with the weight z, from points spread as Chebyshev's), so that the
// rounding of the leading coefficients is part of the error the others balance.
std::vector<float> weighted_minimax_float(Inverse f, double at_zero, double z_max, int degree,
                                          const Mp& scale) {
  constexpr int kGrid = 4096;
  const auto g = [&](const Mp& z) {
    Mp v = correction(f, z, at_zero);
    mpfr_mul(v.v, v.v, scale.v, MPFR_RNDN);
    return v;
  };
  std::vector<Mp> grid_z(kGrid), grid_g(kGrid);
  for (int i = 0; i < kGrid; ++i) {
    grid_z[i] = Mp(z_max * (i + 1) / kGrid);
    grid_g[i] = g(grid_z[i]);
  }
  std::vector<float> fixed;
  Mp pi;
  mpfr_const_pi(pi.v, MPFR_RNDN);
  while (static_cast<int>(fixed.size()) <= degree) {
    const int first = static_cast<int>(fixed.size()), free = degree + 1 - first;
    std::vector<double> points(free + 1);
    for (int i = 0; i <= free; ++i) {
      points[i] = z_max * (1 - std::cos(M_PI * (i + 0.5) / (free + 1))) / 2;
    }
    std::vector<Mp> c;
    for (int round = 0; round < 40; ++round) {
      std::vector<std::vector<Mp>> rows(free + 1, std::vector<Mp>(free + 2));
      for (int i = 0; i <= free; ++i) {
        const Mp z(points[i]);
        Mp rhs = g(z), power(1.0), t;
        for (int k = 0; k <= degree; ++k) {
          if (k < first) {
            mpfr_mul_d(t.v, power.v, fixed[k], MPFR_RNDN);
            mpfr_sub(rhs.v, rhs.v, t.v, MPFR_RNDN);
          } else {
            rows[i][k - first] = power;
          }
          mpfr_mul(power.v, power.v, z.v, MPFR_RNDN);
        }
        mpfr_ui_div(rows[i][free].v, 1, z.v, MPFR_RNDN);  // the level E, weight 1/z
        if (i % 2) mpfr_neg(rows[i][free].v, rows[i][free].v, MPFR_RNDN);
        rows[i][free + 1] = rhs;
      }
      c = solve(rows);
      // The extremum of each run of one sign of the weighted error, for the next points.
      std::vector<double> extrema, sizes;
      int sign = 0;
      for (int i = 0; i < kGrid; ++i) {
        Mp p, e;
        for (int k = degree; k >= 0; --k) {
          mpfr_mul(p.v, p.v, grid_z[i].v, MPFR_RNDN);
          if (k < first) mpfr_add_d(p.v, p.v, fixed[k], MPFR_RNDN);
          else mpfr_add(p.v, p.v, c[k - first].v, MPFR_RNDN);
        }
        mpfr_sub(e.v, grid_g[i].v, p.v, MPFR_RNDN);
        mpfr_mul(e.v, e.v, grid_z[i].v, MPFR_RNDN);
        const double v = e.get();
        const int s = v > 0 ? 1 : -1;
        if (s != sign) {
          extrema.push_back(grid_z[i].get());
          sizes.push_back(std::fabs(v));
          sign = s;
        } else if (std::fabs(v) > sizes.back()) {
          extrema.back() = grid_z[i].get();
          sizes.back() = std::fabs(v);
        }
      }
      while (extrema.size() > points.size()) {  // drop the smaller end run
        const bool front = sizes.front() < sizes.back();
        extrema.erase(front ? extrema.begin() : extrema.end() - 1);
        sizes.erase(front ? sizes.begin() : sizes.end() - 1);
      }
      if (extrema.size() < points.size()) break;
      points = extrema;
    }
    fixed.push_back(mpfr_get_flt(c[0].v, MPFR_RNDN));
  }
  return fixed;
}

void print_minimax_float(const char* name, Inverse f, double at_zero, double z_max,
                         int degree) {
  const std::vector<float> c = weighted_minimax_float(f, at_zero, z_max, degree, Mp(1.0));
  print_row(name, std::vector<double>(c.begin(), c.end()));
  std::printf("// largest error of z P(z) on [0, %a]: 2^%.1f\n", z_max,
              std::log2(largest_error(f, at_zero, z_max, std::vector<double>(c.begin(), c.end()))));
}

void print_split(const char* name, const Mp& value) {
  const double head = value.get();
  Mp rest;
  mpfr_sub_d(rest.v, value.v, head, MPFR_RNDN);
  std::printf("constexpr double %sHi = %a, %sLo = %a;\n", name, head, name, rest.get());
}

void print_split_float(const char* name, const Mp& value) {
  const float head = mpfr_get_flt(value.v, MPFR_RNDN);
  Mp rest;
  mpfr_sub_d(rest.v, value.v, head, MPFR_RNDN);
  std::printf("constexpr float %sHi = %af, %sLo = %af;\n", name, head, name,
              mpfr_get_flt(rest.v, MPFR_RNDN));
}

// 1/pi - 1/4 = H + L with H rounded to head_bits bits, printed as head_name; returns L.
double print_quarter_head(const char* head_name, int head_bits, const Mp& pi) {
  Mp term;
  mpfr_ui_div(term.v, 1, pi.v, MPFR_RNDN);
  mpfr_sub_d(term.v, term.v, 0.25, MPFR_RNDN);
  mpfr_t head;
  mpfr_init2(head, head_bits);
  mpfr_set(head, term.v, MPFR_RNDN);
  std::printf("constexpr double %s = %a;\n", head_name, mpfr_get_d(head, MPFR_RNDN));
  mpfr_sub(term.v, term.v, head, MPFR_RNDN);
  mpfr_clear(head);
  return term.get();
}

// With H and L as above, R(z) = L + z P(z) / pi (L appears only as R(0)) with P
// interpolated as above and divided by pi before its rounding to double:
// f(u) / pi = u/4 + u H + u R(u^2), the first term exact, and u H too where u has at most
// 53 - head_bits bits.
void print_quarter_polynomial(const char* name, const char* head_name, int head_bits,
                              Inverse f, double at_zero, double z_max, int degree,
                              const Mp& pi) {
  std::vector<double> c{print_quarter_head(head_name, head_bits, pi)};
  Mp term;
  for (const Mp& m : interpolate(f, at_zero, z_max, degree)) {
    mpfr_div(term.v, m.v, pi.v, MPFR_RNDN);
    c.push_back(term.get());
  }
  print_row(name, c);
}

// The float form: R(z) = L + z P(z) with P's float coefficients fitted to the correction
// over pi as in weighted_minimax_float.
void print_quarter_minimax_float(const char* name, const char* head_name, int head_bits,
                                 Inverse f, double at_zero, double z_max, int degree,
                                 const Mp& pi) {
  std::vector<double> c{print_quarter_head(head_name, head_bits, pi)};
  Mp inverse_pi;
  mpfr_ui_div(inverse_pi.v, 1, pi.v, MPFR_RNDN);
  const std::vector<float> p = weighted_minimax_float(f, at_zero, z_max, degree, inverse_pi);
  c.insert(c.end(), p.begin(), p.end());
  print_row(name, c);
  std::printf("// largest error of z P(z) on [0, %a]: 2^%.1f\n", z_max,
              std::log2(largest_error(f, at_zero, z_max, std::vector<double>(p.begin(), p.end()),
                                      inverse_pi)));
}

// The rows of atan(c_k), then of pi - atan(c_k), each divided by pi if by_pi.
// c_k = 0 for k below first_centre, k/32 up to last_k.
void print_atan_centres(const char* name, const Mp& pi, bool by_pi, int first_centre = 3,
                        int last_k = 512) {
  std::printf("alignas(16) constexpr double %s[%d][2] = {\n", name, 2 * (last_k + 1));
  for (int side = 0; side < 2; ++side) {
    for (int k = 0; k <= last_k; ++k) {
      Mp a(k < first_centre ? 0.0 : k / 32.0), rest;
      mpfr_atan(a.v, a.v, MPFR_RNDN);
      if (side == 1) mpfr_sub(a.v, pi.v, a.v, MPFR_RNDN);
      if (by_pi) mpfr_div(a.v, a.v, pi.v, MPFR_RNDN);
      const double head = a.get();
      mpfr_sub_d(rest.v, a.v, head, MPFR_RNDN);
      std::printf("    {%a, %a},\n", head, rest.get());
    }
  }
  std::printf("};\n");
}

}  // namespace

int main() {
  std::printf("// Generated by tools/tess_inverse_trig_tables/inverse_trig_tables.cpp; do not edit.\n");
  std::printf("// asin u = u + u^3 P(u^2) for u^2 <= 1/4.\n");
  print_polynomial("kAsinPolynomial", mpfr_asin, 1.0 / 6, 0.25, 12);
  std::printf("// atan u = u + u^3 P(u^2) for |u| <= 5/64.\n");
  print_polynomial("kAtanPolynomial", mpfr_atan, -1.0 / 3, 25.0 / 4096, 4);
  Mp pi, half_pi, inverse_pi;
  mpfr_const_pi(pi.v, MPFR_RNDN);
  std::printf("// atan(u) / pi = u/4 + u kInversePiLessQuarterHi + u R(u^2) for |u| <= 5/64.\n");
  print_quarter_polynomial("kAtanpiPolynomial", "kInversePiLessQuarterHi", 53, mpfr_atan,
                           -1.0 / 3, 25.0 / 4096, 5, pi);
  std::printf("// atan u = u + u^3 P(u^2) for |u| <= 1/56 (the fine centres' reach).\n");
  print_polynomial("kAtanFinePolynomial", mpfr_atan, -1.0 / 3, 1.0 / 3136, 3);
  std::printf("// asin(u) / pi = u/4 + u kInversePiLessQuarterHead26 + u R(u^2) for u^2 <= 1/4.\n");
  print_quarter_polynomial("kAsinpiPolynomial", "kInversePiLessQuarterHead26", 26, mpfr_asin,
                           1.0 / 6, 0.25, 12, pi);

  std::printf("// The float kernels' (the polynomial's part at most 1/20 of the result):\n");
  std::printf("// asin u = u + u^3 P(u^2) for u^2 <= 1/4.\n");
  print_minimax_float("kAsinPolynomialFloat", mpfr_asin, 1.0 / 6, 0.25, 4);
  std::printf("// asin(u) / pi = u/4 + u kInversePiLessQuarterHead12 + u R(u^2) for u^2 <= 1/4.\n");
  print_quarter_minimax_float("kAsinpiPolynomialFloat", "kInversePiLessQuarterHead12", 12,
                              mpfr_asin, 1.0 / 6, 0.25, 4, pi);
  std::printf("// atan(c_k), head and remainder: c_k = k/32, or 0 for k <= 2; then, at k + 513,\n");
  std::printf("// pi - atan(c_k) (the angle left of the vertical axis).\n");
  print_atan_centres("kAtanCentres", pi, false);
  std::printf("// The same divided by pi.\n");
  print_atan_centres("kAtanpiCentres", pi, true);
  std::printf("// The fine form's: atan(k/32) for k <= 32, then, at k + 33, pi - atan(k/32).\n");
  print_atan_centres("kAtanFineCentres", pi, false, 1, 32);

  mpfr_div_2ui(half_pi.v, pi.v, 1, MPFR_RNDN);
  mpfr_ui_div(inverse_pi.v, 1, pi.v, MPFR_RNDN);
  print_split("kHalfPi", half_pi);
  print_split("kPi", pi);
  Mp three_quarter_pi;
  mpfr_mul_ui(three_quarter_pi.v, pi.v, 3, MPFR_RNDN);
  mpfr_div_2ui(three_quarter_pi.v, three_quarter_pi.v, 2, MPFR_RNDN);
  print_split("kThreeQuarterPi", three_quarter_pi);
  print_split("kInversePi", inverse_pi);
  print_split_float("kHalfPiFloat", half_pi);
  print_split_float("kPiFloat", pi);
  // pi/2 with its head a multiple of 2^-22: the head less any float of [0, 1/2] that is a
  // multiple of 2^-23 (beyond 0.43, of 2^-13) is exact, and twice the head too.
  Mp half_pi_grid, half_pi_rest;
  mpfr_mul_2ui(half_pi_grid.v, half_pi.v, 22, MPFR_RNDN);
  mpfr_rint(half_pi_grid.v, half_pi_grid.v, MPFR_RNDN);
  mpfr_div_2ui(half_pi_grid.v, half_pi_grid.v, 22, MPFR_RNDN);
  mpfr_sub(half_pi_rest.v, half_pi.v, half_pi_grid.v, MPFR_RNDN);
  std::printf("constexpr float kHalfPiGrid22Hi = %af, kHalfPiGrid22Lo = %af;\n",
              mpfr_get_flt(half_pi_grid.v, MPFR_RNDN), mpfr_get_flt(half_pi_rest.v, MPFR_RNDN));
  return 0;
}
