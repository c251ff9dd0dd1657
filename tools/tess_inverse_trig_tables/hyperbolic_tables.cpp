// Prints the tables of the hyperbolic kernels, computed with MPFR: row j = {hi, lo} of
// 2^(j/64) followed by {hi, lo} of 2^(-j/64), hi rounded to double and lo the rounded
// remainder, so that one row holds both exponentials of one reduction. Then the rows of
// single precision Sinh and Cosh at the points c = k/32 (print_sinh_rows, print_cosh_rows) and the
// constants of their series, the rows of single precision Tanh at the floats of six
// fraction bits up to 9.125. Then the logarithm rows of single precision Atanh at c = 1 +
// j/64 and the head and rest of ln 2. Last the rows of double precision Sinh and Cosh at c =
// k/32 below 30 and the shifts and factors that carry them to the overflow bound.
#include <mpfr.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <vector>

#include "../mp_fit/chebyshev_fit.h"

// Rows j = 0 .. kRows - 1 of 2^(+-j/kRows) as {hi, lo} pairs of doubles.
template <int kRows>
void print_table(const char* name, mpfr_ptr exact, mpfr_ptr diff) {
  std::printf("alignas(32) constexpr double %s[%d][4] = {\n", name, kRows);
  for (int j = 0; j < kRows; ++j) {
    std::printf("    {");
    for (int sign : {1, -1}) {
      mpfr_set_si(exact, sign * j, MPFR_RNDN);
      mpfr_div_ui(exact, exact, kRows, MPFR_RNDN);
      mpfr_exp2(exact, exact, MPFR_RNDN);
      const double hi = mpfr_get_d(exact, MPFR_RNDN);
      mpfr_sub_d(diff, exact, hi, MPFR_RNDN);
      std::printf(sign > 0 ? "%a, %a, " : "%a, %a},\n", hi, mpfr_get_d(diff, MPFR_RNDN));
    }
  }
  std::printf("};\n");
}

// Rows of single precision Sinh at c = k/32, with cosh as the slope (sinh(c + r) = sinh c
// cosh r + cosh c sinh r), k = -kLastRow .. kLastRow (the kernel takes x with its sign: no
// absolute value taken, no sign put back), the last two columns scaled by 1/32 (the kernel
// carries u = 32 r). Near 0, |k| <= kArgumentRows, {c, sinh c - c, 1/32, (cosh c - 1)/32}:
// c + u/32 is x itself, exact, and the rest (at most 1/29 of the result) joins it once.
// Beyond, {sinh hi, sinh lo, 0, cosh/32}: the slope term is at most 1/27 of the result.
// Row 0 holds {-0, -0, 1/32, +0} (sinh +0 is then +0 + -0 terms, and sinh -0 all -0
// terms: the sign of a zero carries through).
constexpr int kAdditionStepBits = 5;
constexpr int kLastRow = 2861;  // k = round(32 a) for |a| up to 89.416, the overflow bound
constexpr int kArgumentRows = 14;
void print_sinh_rows() {
  mpfr_t c, f, g;
  mpfr_inits2(256, c, f, g, static_cast<mpfr_ptr>(nullptr));
  const auto flt = [](mpfr_srcptr v) { return static_cast<double>(mpfr_get_flt(v, MPFR_RNDN)); };
  const double step = std::ldexp(1.0, -kAdditionStepBits);
  std::printf("alignas(16) constexpr float kSinhRowsSingle[%d][4] = {\n", 2 * kLastRow + 1);
  for (int k = -kLastRow; k <= kLastRow; ++k) {
    mpfr_set_d(c, k * step, MPFR_RNDN);
    mpfr_sinh_cosh(f, g, c, MPFR_RNDN);
    mpfr_mul_d(g, g, step, MPFR_RNDN);
    if (k == 0) {
      std::printf("    {-0x0p+0f, -0x0p+0f, %af, 0x0p+0f},\n", step);
    } else if (std::abs(k) <= kArgumentRows) {
      mpfr_sub(f, f, c, MPFR_RNDN);
      mpfr_sub_d(g, g, step, MPFR_RNDN);
      std::printf("    {%af, %af, %af, %af},\n", k * step, flt(f), step, flt(g));
    } else {
      const double hi = flt(f);
      mpfr_sub_d(f, f, hi, MPFR_RNDN);
      std::printf("    {%af, %af, 0x0p+0f, %af},\n", hi, flt(f), flt(g));
    }
  }
  std::printf("};\n");
  mpfr_clears(c, f, g, static_cast<mpfr_ptr>(nullptr));
}
// Rows {cosh hi, cosh lo, sinh/32, 0} of single precision Cosh at c = k/32, k = 0 ..
// kLastRow: cosh c as hi + lo, each rounded to float, and sinh c rounded to float.
void print_cosh_rows() {
  mpfr_t c, f, g, rest;
  mpfr_inits2(256, c, f, g, rest, static_cast<mpfr_ptr>(nullptr));
  std::printf("alignas(16) constexpr float kCoshRowsSingle[%d][4] = {\n", kLastRow + 1);
  for (int k = 0; k <= kLastRow; ++k) {
    mpfr_set_d(c, std::ldexp(k, -kAdditionStepBits), MPFR_RNDN);
    mpfr_sinh_cosh(g, f, c, MPFR_RNDN);
    const float hi = mpfr_get_flt(f, MPFR_RNDN);
    mpfr_sub_d(rest, f, hi, MPFR_RNDN);
    std::printf("    {%af, %af, %af, 0x0p+0f},\n", static_cast<double>(hi),
                static_cast<double>(mpfr_get_flt(rest, MPFR_RNDN)),
                std::ldexp(static_cast<double>(mpfr_get_flt(g, MPFR_RNDN)), -kAdditionStepBits));
  }
  std::printf("};\n");
  mpfr_clears(c, f, g, rest, static_cast<mpfr_ptr>(nullptr));
}

// Rows of double precision Sinh and Cosh at c = k/32, k = 0 .. kDoubleLastRow: {sinh hi,
// sinh lo} of c (hi rounded to double, lo the rounded remainder), apart cosh c - 1 rounded
// to double up to kHeadSumLastRow (Sinh's slope below 1/2 is 1 + that, so that the head
// sinh c + r is an exact sum), then {cosh hi, cosh lo} of c (each function's slope beyond
// is the other's head).
constexpr int kDoubleLastRow = 959;  // k = round(32 a) for a below 30 - 1/64
constexpr int kHeadSumLastRow = 16;  // k = round(32 a) for a below 1/2
void print_double_rows() {
  mpfr_t c, f, g, rest;
  mpfr_inits2(256, c, f, g, rest, static_cast<mpfr_ptr>(nullptr));
  std::printf("alignas(16) constexpr double kSinhRowsDouble[%d][2] = {\n", kDoubleLastRow + 1);
  std::vector<double> slopes, cosh_rows;
  for (int k = 0; k <= kDoubleLastRow; ++k) {
    mpfr_set_d(c, std::ldexp(k, -kAdditionStepBits), MPFR_RNDN);
    mpfr_sinh_cosh(f, g, c, MPFR_RNDN);
    const double hi = mpfr_get_d(f, MPFR_RNDN);
    mpfr_sub_d(rest, f, hi, MPFR_RNDN);
    std::printf("    {%a, %a},\n", hi, mpfr_get_d(rest, MPFR_RNDN));
    const double cosh_hi = mpfr_get_d(g, MPFR_RNDN);
    mpfr_sub_d(rest, g, cosh_hi, MPFR_RNDN);
    cosh_rows.push_back(cosh_hi);
    cosh_rows.push_back(mpfr_get_d(rest, MPFR_RNDN));
    mpfr_sub_ui(g, g, 1, MPFR_RNDN);
    if (k <= kHeadSumLastRow) slopes.push_back(mpfr_get_d(g, MPFR_RNDN));
  }
  std::printf("};\nconstexpr double kCoshMinusOneDouble[%d] = {\n", kHeadSumLastRow + 1);
  for (double v : slopes) std::printf("    %a,\n", v);
  std::printf("};\nalignas(16) constexpr double kCoshRowsDouble[%d][2] = {\n", kDoubleLastRow + 1);
  for (size_t i = 0; i < cosh_rows.size(); i += 2) {
    std::printf("    {%a, %a},\n", cosh_rows[i], cosh_rows[i + 1]);
  }
  std::printf("};\n");
  mpfr_clears(c, f, g, rest, static_cast<mpfr_ptr>(nullptr));
}

// Cells q = k div 32 of k = round(32 a), for a up to the overflow bound 710.4758600739439:
// a cell takes rows k - n_q, sinh or cosh of a - n_q/32, and the factor e^(n_q/32) = 2^M (1
// + g). Cells within the rows take n = 0 (factor 1); beyond, n is the shift that keeps the
// cell's rows in the table and a - n/32 at least 21.5 (where sinh and cosh are e^x/2 to
// e^-43 = 2^-62 of themselves) with n/32 nearest to a multiple M ln2, so that |g| stays
// small (its largest printed last): the product's rounding then weighs little beside the
// result's. A cell's row is {g, 2^(M - 1023)}: M as the double whose bits are M 2^52 (0 for
// M = 0), which the kernels add to their result's bits; one 16-byte row, so that a pair
// takes both with two loads from one base.
constexpr int kDoubleLastCell = 710;
constexpr int kShiftedLeast = 688;  // 32 (21.5): k - n - 1/2 must reach it
void print_double_sinh_cells() {
  mpfr_t x, factor;
  mpfr_inits2(256, x, factor, static_cast<mpfr_ptr>(nullptr));
  std::vector<int> shifts;
  std::vector<double> g_values, scales;
  double largest = 0;
  for (int q = 0; q <= kDoubleLastCell; ++q) {
    int n = 0, m = 0;
    if (32 * q + 31 > kDoubleLastRow) {
      double best = 1;
      for (int t = 32 * q + 31 - kDoubleLastRow; 2 * (32 * q - t) - 1 >= 2 * kShiftedLeast; ++t) {
        const int mt = static_cast<int>(std::lround(t / (32 * std::log(2.0))));
        const double d = std::fabs(t / 32.0 - mt * std::log(2.0));
        if (d < best) best = d, n = t, m = mt;
      }
    }
    mpfr_set_si(x, n, MPFR_RNDN);
    mpfr_div_ui(x, x, 32, MPFR_RNDN);
    mpfr_exp(factor, x, MPFR_RNDN);
    mpfr_div_2si(factor, factor, m, MPFR_RNDN);
    mpfr_sub_ui(factor, factor, 1, MPFR_RNDN);
    shifts.push_back(n);
    g_values.push_back(mpfr_get_d(factor, MPFR_RNDN));
    scales.push_back(m == 0 ? 0.0 : std::ldexp(1.0, m - 1023));  // bits m 2^52
    largest = std::fmax(largest, std::fabs(g_values.back()));
  }
  std::printf("constexpr int kSinhShiftDouble[%d] = {", kDoubleLastCell + 1);
  for (int q = 0; q <= kDoubleLastCell; ++q) {
    std::printf("%s%d%s", q % 16 == 0 ? "\n    " : " ", shifts[q],
                q < kDoubleLastCell ? "," : "\n");
  }
  std::printf("};\nalignas(16) constexpr double kSinhFactorDouble[%d][2] = {\n",
              kDoubleLastCell + 1);
  for (int q = 0; q <= kDoubleLastCell; ++q) std::printf("    {%a, %a},\n", g_values[q], scales[q]);
  std::printf("};\n// largest |g|: 2^%.2f\n", std::log2(largest));
  mpfr_clears(x, factor, static_cast<mpfr_ptr>(nullptr));
}

// (cosh r - 1)/r^2 and (sinh r - r)/r^3 at w = r^2, and their limits 1/2 and 1/6 at w = 0.
void cosh_even_term(mp_fit::Real& out, const mp_fit::Real& w) {
  mp_fit::Real r;
  mpfr_sqrt(r.v, w.v, MPFR_RNDN);
  mpfr_cosh(out.v, r.v, MPFR_RNDN);
  mpfr_sub_ui(out.v, out.v, 1, MPFR_RNDN);
  if (mpfr_zero_p(w.v)) {
    mpfr_set_d(out.v, 0.5, MPFR_RNDN);
  } else {
    mpfr_div(out.v, out.v, w.v, MPFR_RNDN);
  }
}
void sinh_odd_term(mp_fit::Real& out, const mp_fit::Real& w) {
  mp_fit::Real r, cube;
  mpfr_sqrt(r.v, w.v, MPFR_RNDN);
  mpfr_sinh(out.v, r.v, MPFR_RNDN);
  mpfr_sub(out.v, out.v, r.v, MPFR_RNDN);
  mpfr_mul(cube.v, r.v, w.v, MPFR_RNDN);
  if (mpfr_zero_p(w.v)) {
    mpfr_set_ui(out.v, 1, MPFR_RNDN);
    mpfr_div_ui(out.v, out.v, 6, MPFR_RNDN);
  } else {
    mpfr_div(out.v, out.v, cube.v, MPFR_RNDN);
  }
}
// The constants of cosh r - 1 = e r^2 and sinh r - r = o r^3 on |r| <= 2^-(s+1) (values at
// the Chebyshev node of r^2: the error halves against Taylor's leading terms), printed for
// the kernel's u = 2^s r as e 2^-2s and o 2^-2s (2^s (sinh r - r) = u^3 o 2^-2s).
void print_even_odd_constants() {
  const double width = std::ldexp(1.0, -2 * (kAdditionStepBits + 1));
  const std::vector<mp_fit::Real> even = mp_fit::fit(cosh_even_term, 0, width, 0);
  const std::vector<mp_fit::Real> odd = mp_fit::fit(sinh_odd_term, 0, width, 0);
  const int s = kAdditionStepBits;
  std::printf("// cosh r - 1 = u^2 [0], %d (sinh r - r) = u^3 [1], u = %dr, |u| <= 1/2.\n",
              1 << s, 1 << s);
  std::printf("constexpr float kSinhCoshEvenOdd[2] = {%af, %af};\n",
              std::ldexp(static_cast<double>(mpfr_get_flt(even[0].v, MPFR_RNDN)), -2 * s),
              std::ldexp(static_cast<double>(mpfr_get_flt(odd[0].v, MPFR_RNDN)), -2 * s));
}

// Rows of single precision Tanh at the floats c of six fraction bits (c = 2^e (1 + j/64),
// one row a step of 2^17 in the bits) from 2^-13 to 9.125, after a floor row {0, 0, 1,
// -1/3} (the point just below 2^-13) that serves |x| < 2^-13 with c = 0: {tanh hi, tanh lo,
// sech^2, tanh^2 - 1/3}, hi rounded to float and lo, sech^2 c = 1 - tanh^2 c and the cubic
// term's factor the rounded rests (tanh(c + r) = T + sech^2 c (r - T r^2 + (T^2 - 1/3) r^3
// + ...)).
constexpr uint32_t kTanhFloorBits = 0x38FE0000;  // the grid point below 2^-13
constexpr uint32_t kTanhLastBits = 0x41120000;   // 9.125: from 9.011 on the result rounds to 1
void print_tanh_rows() {
  mpfr_t t, square, slope, cubic;
  mpfr_inits2(256, t, square, slope, cubic, static_cast<mpfr_ptr>(nullptr));
  std::printf("alignas(16) constexpr float kTanhRowsSingle[%u][4] = {\n",
              ((kTanhLastBits - kTanhFloorBits) >> 17) + 1);
  std::printf("    {0x0p+0f, 0x0p+0f, 0x1p+0f, %af},\n",
              static_cast<double>(-1.0f / 3));
  for (uint32_t b = kTanhFloorBits + (1u << 17); b <= kTanhLastBits; b += 1u << 17) {
    float c;
    std::memcpy(&c, &b, sizeof c);
    mpfr_set_flt(t, c, MPFR_RNDN);
    mpfr_tanh(t, t, MPFR_RNDN);
    mpfr_sqr(square, t, MPFR_RNDN);
    mpfr_ui_sub(slope, 1, square, MPFR_RNDN);
    mpfr_set_ui(cubic, 1, MPFR_RNDN);
    mpfr_div_ui(cubic, cubic, 3, MPFR_RNDN);
    mpfr_sub(cubic, square, cubic, MPFR_RNDN);
    const float hi = mpfr_get_flt(t, MPFR_RNDN);
    mpfr_sub_d(t, t, hi, MPFR_RNDN);
    std::printf("    {%af, %af, %af, %af},\n", static_cast<double>(hi),
                static_cast<double>(mpfr_get_flt(t, MPFR_RNDN)),
                static_cast<double>(mpfr_get_flt(slope, MPFR_RNDN)),
                static_cast<double>(mpfr_get_flt(cubic, MPFR_RNDN)));
  }
  std::printf("};\n");
  mpfr_clears(t, square, slope, cubic, static_cast<mpfr_ptr>(nullptr));
}

// (tanh a - a)/a^3 at z = a^2, and its limit -1/3 at z = 0.
void tanh_odd_term(mp_fit::Real& out, const mp_fit::Real& z) {
  if (mpfr_zero_p(z.v)) {
    mpfr_set_si(out.v, -1, MPFR_RNDN);
    mpfr_div_ui(out.v, out.v, 3, MPFR_RNDN);
    return;
  }
  mp_fit::Real a, cube;
  mpfr_sqrt(a.v, z.v, MPFR_RNDN);
  mpfr_tanh(out.v, a.v, MPFR_RNDN);
  mpfr_sub(out.v, out.v, a.v, MPFR_RNDN);
  mpfr_mul(cube.v, a.v, z.v, MPFR_RNDN);
  mpfr_div(out.v, out.v, cube.v, MPFR_RNDN);
}
// Double precision Tanh below kTanhSeriesBound: tanh a = a + a^3 T(a^2), T of degree
// kTanhSeriesDegree fitted on [0, kTanhSeriesBound^2] (the Chebyshev decay there, 5 bits a
// degree, takes T's relative error below 2^-57), printed as the bound, T(0) as a head of
// kTanhCubicHeadBits bits and its rest, then the other coefficients, with T's largest
// relative error.
constexpr double kTanhSeriesBound = 0.55;
constexpr int kTanhSeriesDegree = 10;
constexpr int kTanhCubicHeadBits = 26;
void print_tanh_series() {
  const double width = kTanhSeriesBound * kTanhSeriesBound;
  const std::vector<mp_fit::Real> m = mp_fit::fit(tanh_odd_term, 0, width, kTanhSeriesDegree);
  mp_fit::Real head, rest;
  mpfr_set(head.v, m[0].v, MPFR_RNDN);
  mpfr_prec_round(head.v, kTanhCubicHeadBits, MPFR_RNDN);
  mpfr_sub(rest.v, m[0].v, head.v, MPFR_RNDN);
  std::vector<double> c = {head.get()};
  for (size_t k = 1; k < m.size(); ++k) c.push_back(m[k].get());
  double largest = 0;
  for (int i = 0; i <= 4096; ++i) {
    mp_fit::Real z, f, p;
    mpfr_set_d(z.v, width * i / 4096, MPFR_RNDN);
    tanh_odd_term(f, z);
    mp_fit::evaluate(p, c, z);
    mpfr_add_d(p.v, p.v, rest.get(), MPFR_RNDN);
    mpfr_sub(p.v, p.v, f.v, MPFR_RNDN);
    mpfr_div(p.v, p.v, f.v, MPFR_RNDN);
    largest = std::max(largest, std::fabs(p.get()));
  }
  std::printf("constexpr double kTanhSeriesLimitDouble = %a;\n", kTanhSeriesBound);
  std::printf("constexpr double kTanhCubicDouble[2] = {%a, %a};\n", head.get(), rest.get());
  std::printf("constexpr double kTanhSeriesDouble[%d] = {", kTanhSeriesDegree);
  for (int k = 1; k <= kTanhSeriesDegree; ++k) std::printf(k == 1 ? "%a" : ", %a", c[k]);
  std::printf("};\n// largest relative error of T: 2^%.2f\n", std::log2(largest));
}

// f rounded to a multiple of 2^-bits into head, and f minus that (exact) left in f.
void split_head(mpfr_ptr head, mpfr_ptr f, int bits) {
  mpfr_mul_2ui(head, f, bits, MPFR_RNDN);
  mpfr_rint(head, head, MPFR_RNDN);
  mpfr_div_2ui(head, head, bits, MPFR_RNDN);
  mpfr_sub(f, f, head, MPFR_RNDN);
}

// Rows {ln c hi, ln c lo} at c = 1 + j/64, j = 0 .. 63, for single precision Atanh: hi
// rounded to a multiple of 2^-16 as ln 2's head is, so that e ln2 hi + ln c hi is exact for
// every exponent e below 2^7 (at most 23 bits); lo the remainder rounded to float. Then ln 2
// as that head and its rounded rest.
constexpr int kAtanhHeadBits = 16;
void print_atanh_log_rows() {
  mpfr_t f, head;
  mpfr_inits2(256, f, head, static_cast<mpfr_ptr>(nullptr));
  const auto split = [&](float& hi, float& lo) {
    split_head(head, f, kAtanhHeadBits);
    hi = mpfr_get_flt(head, MPFR_RNDN);
    lo = mpfr_get_flt(f, MPFR_RNDN);
  };
  float hi, lo;
  std::printf("alignas(16) constexpr float kAtanhLogRowsSingle[64][2] = {\n");
  for (int j = 0; j < 64; ++j) {
    mpfr_set_d(f, 1 + j / 64.0, MPFR_RNDN);
    mpfr_log(f, f, MPFR_RNDN);
    split(hi, lo);
    std::printf("    {%af, %af},\n", static_cast<double>(hi), static_cast<double>(lo));
  }
  mpfr_const_log2(f, MPFR_RNDN);
  split(hi, lo);
  std::printf("};\nconstexpr float kLn2HeadRestSingle[2] = {%af, %af};\n",
              static_cast<double>(hi), static_cast<double>(lo));
  mpfr_clears(f, head, static_cast<mpfr_ptr>(nullptr));
}

// Rows of double precision Acosh's logarithm at c = 1 + j/256, j = 0 .. 256: {1/c rounded
// to 10 bits (inv_c), e = c inv_c - 1 (exact), the head of -ln inv_c (a multiple of
// 2^-43) plus e (exact), -ln inv_c minus its head rounded to double}. With f = m - c exact
// (43 bits at most), f inv_c is exact too and m inv_c - 1 = f inv_c + e (acosh_core_double.h).
// Then ln 2 as a multiple of 2^-43 (k ln 2 head stays exact for k up to 2^10) and its
// rounded rest.
constexpr int kAcoshLogRows = 256;
constexpr int kAcoshHeadBits = 43;
void print_acosh_log_rows() {
  mpfr_t rest, head;
  mpfr_inits2(256, rest, head, static_cast<mpfr_ptr>(nullptr));
  std::printf("alignas(32) constexpr double kAcoshLogRowsDouble[%d][4] = {\n", kAcoshLogRows + 1);
  for (int j = 0; j <= kAcoshLogRows; ++j) {
    const double c = 1 + std::ldexp(j, -8);
    const double inv_c = std::ldexp(std::nearbyint(1024 / c), -10);
    const double e = c * inv_c - 1;  // exact: 9 bits times 10 bits
    mpfr_set_d(rest, inv_c, MPFR_RNDN);
    mpfr_log(rest, rest, MPFR_RNDN);
    mpfr_neg(rest, rest, MPFR_RNDN);
    split_head(head, rest, kAcoshHeadBits);
    const double hi = mpfr_get_d(head, MPFR_RNDN);
    if (hi + e - hi != e) std::abort();  // the head plus e must stay exact
    std::printf("    {%a, %a, %a, %a},\n", inv_c, e, hi + e, mpfr_get_d(rest, MPFR_RNDN));
  }
  mpfr_const_log2(rest, MPFR_RNDN);
  split_head(head, rest, kAcoshHeadBits);
  std::printf("};\nconstexpr double kAcoshLn2Double[2] = {%a, %a};\n", mpfr_get_d(head, MPFR_RNDN),
              mpfr_get_d(rest, MPFR_RNDN));
  mpfr_clears(rest, head, static_cast<mpfr_ptr>(nullptr));
}

int main() {
  mpfr_t exact, diff;
  mpfr_inits2(256, exact, diff, static_cast<mpfr_ptr>(nullptr));
  std::printf("// Generated by tools/tess_inverse_trig_tables/hyperbolic_tables.cpp; do not edit.\n");
  std::printf("// {hi, lo} of 2^(j/64), then {hi, lo} of 2^(-j/64).\n");
  print_table<64>("kExp2PlusMinusOver64Double", exact, diff);
  std::printf("// Single precision Sinh at k/32, k from -%d: {k/32, sinh - k/32, 1/32, (cosh - "
              "1)/32} to |k| = %d, then {sinh hi, sinh lo, 0, cosh/32}.\n", kLastRow,
              kArgumentRows);
  print_sinh_rows();
  std::printf("// Single precision Cosh at k/32: {cosh hi, cosh lo, sinh/32, 0}.\n");
  print_cosh_rows();
  print_even_odd_constants();
  std::printf("// Single precision Tanh at the floats of six fraction bits from 2^-13 to "
              "9.125 after a floor row: {tanh hi, tanh lo, sech^2, tanh^2 - 1/3}.\n");
  print_tanh_rows();
  std::printf("// Single precision Atanh: {ln c hi, ln c lo} at c = 1 + j/64, hi a multiple "
              "of 2^-%d; ln 2 as head and rest.\n", kAtanhHeadBits);
  print_atanh_log_rows();
  std::printf("// Double precision Sinh and Cosh at k/32: {sinh hi, sinh lo}, cosh - 1 (below "
              "1/2), then {cosh hi, cosh lo}.\n");
  print_double_rows();
  std::printf("// Double precision Sinh and Cosh by cells of 32 rows: the row shift, then {g, "
              "M in the exponent field of a double (2^(M - 1023))}.\n");
  print_double_sinh_cells();
  std::printf("// Double precision Acosh's logarithm at c = 1 + j/256: {1/c to 10 bits, c inv_c - "
              "1, head of -ln inv_c plus that, rest}; ln 2 as head and rest.\n");
  print_acosh_log_rows();
  std::printf("// Double precision Tanh below %g: tanh a = a + a^3 (T(0) + a^2 R(a^2)): the "
              "bound, T(0) as a head of %d bits and rest, R's coefficients.\n",
              kTanhSeriesBound, kTanhCubicHeadBits);
  print_tanh_series();
  mpfr_clears(exact, diff, static_cast<mpfr_ptr>(nullptr));
  return 0;
}
