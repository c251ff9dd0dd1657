// Section: fitting splines through noisy samples and evaluating them with derivatives.
#include <cmath>
#include <cstdio>
#include <random>
#include <vector>

#include "tour.h"
#include "zorn/core.h"
#include "zorn/df.h"

namespace {

// Builds the spline of `construct` on the samples and returns the largest errors of
// its value and first derivative against f and f' on a fine grid.
template <class Construct>
void fit_and_report(const char* name, int64_t end_kind, Construct construct,
                    const std::vector<double>& x, const std::vector<double>& y) {
  const int64_t nx = int64_t(x.size());
  std::vector<double> coefficients(size_t(4 * (nx - 1)));
  ZornDfTask* task = nullptr;
  int32_t st = zorn_df_kernel_dNewTask1D(&task, nx, x.data(), ZORN_DF_PARTITION_NON_UNIFORM, 1, y.data(),
                                        ZORN_DF_STORAGE_ROWS, 1);
  if (st == 0)
    st = zorn_df_kernel_dEditPPSpline1D(task, ZORN_DF_ORDER_CUBIC, ZORN_DF_KIND_DEFAULT, end_kind, nullptr,
                                        ZORN_DF_INNER_NONE, nullptr, coefficients.data(), ZORN_DF_STORAGE_ROWS);
  if (st == 0) st = construct(task, 0, 0, 0);
  const int64_t nsite = 2001;
  std::vector<double> sites(static_cast<size_t>(nsite)), results(static_cast<size_t>(2 * nsite));
  for (int64_t i = 0; i < nsite; ++i) sites[size_t(i)] = x.front() + (x.back() - x.front()) * double(i) / double(nsite - 1);
  const int32_t orders[2] = {1, 1};  // the value and the first derivative
  if (st == 0)
    st = zorn_df_kernel_dDFInterpolate1D(task, ZORN_DF_TYPE_SEARCH, 0, nsite, sites.data(), ZORN_DF_SITES_SORTED, 2,
                                         orders, nullptr, results.data(), ZORN_DF_RESULT_FUNCTION_SITE_ORDER, nullptr, nullptr,
                                         nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                         nullptr, zorn_core_threading_service());
  zorn_df_kernel_DeleteTask(&task);
  if (st != 0) {
    std::printf("  %-14s failed with status %d\n", name, st);
    return;
  }
  double value_error = 0, slope_error = 0;
  for (int64_t i = 0; i < nsite; ++i) {
    const double t = sites[size_t(i)];
    value_error = std::fmax(value_error, std::fabs(results[size_t(2 * i)] - std::sin(t)));
    slope_error = std::fmax(slope_error, std::fabs(results[size_t(2 * i + 1)] - std::cos(t)));
  }
  std::printf("  %-14s max |s - sin| = %.2e   max |s' - cos| = %.2e\n", name, value_error, slope_error);
}

}  // namespace

TOUR_SECTION(50, "Data fitting: splines through noisy samples") {
  // 41 uneven nodes on [0, 2 pi], sin(x) plus Gaussian noise of deviation 1e-3.
  std::mt19937_64 gen(2024);
  std::normal_distribution<double> noise(0.0, 1e-3);
  std::uniform_real_distribution<double> jitter(-0.3, 0.3);
  const double two_pi = 2 * std::acos(-1.0);
  std::vector<double> x, y;
  for (int i = 0; i <= 40; ++i) {
    const double t = i == 0 || i == 40 ? two_pi * i / 40 : two_pi * (i + jitter(gen)) / 40;
    x.push_back(t);
    y.push_back(std::sin(t) + noise(gen));
  }
  std::printf("  41 samples of sin(x) on [0, 2pi] with noise of deviation 1e-3\n");
  fit_and_report("natural cubic", ZORN_DF_END_FREE, zorn_df_kernel_dDFNaturalCubicSpline1D, x, y);
  fit_and_report("Akima", ZORN_DF_END_AKIMA, zorn_df_kernel_dDFAkimaCubicSpline1D, x, y);
}
