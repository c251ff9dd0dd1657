#include "interpolate/spline.h"

#include <cmath>
#include <limits>
#include <stdexcept>

#include "without_gil.h"

namespace zorn_python::interpolate {
namespace {

using Build = int32_t (*)(ZornDfTask*, int64_t, int64_t, int64_t);

struct ConstructionRow {
  Construction construction;
  int64_t order;
  int64_t kind;        // spline kind within the order
  int64_t inner_kind;  // 8: the quadratic's knots between the nodes (at the midpoints)
  Build build;
};

constexpr ConstructionRow kConstructions[] = {
    {Construction::linear, 2, 0, 0, zorn_df_kernel_dDFLinearSpline1D},
    {Construction::quadratic, 3, 1, 8, zorn_df_kernel_dDFQuadraticSpline1D},
    {Construction::cubic, 4, 0, 0, zorn_df_kernel_dDFNaturalCubicSpline1D},
    {Construction::akima, 4, 0, 0, zorn_df_kernel_dDFAkimaCubicSpline1D},
    {Construction::hyman, 4, 0, 0, zorn_df_kernel_dDFHymanCubicSpline1D},
};

const ConstructionRow& row_of(Construction construction) {
  for (const ConstructionRow& row : kConstructions)
    if (row.construction == construction) return row;
  throw std::invalid_argument("unknown spline construction");
}

constexpr int64_t kInnerConditionKindId = 20;
constexpr int64_t kNonUniformPartition = 1;
constexpr int64_t kValuesNodeAfterNode = 32;
constexpr int64_t kValuesFunctionAfterFunction = 16;
constexpr int64_t kResultsSiteAfterSite = 32;  // r[i*ny + j] with one derivative order
constexpr int64_t kSitesSorted = ZORN_DF_SITES_SORTED;

void check_data(const double* x, int64_t nx, const double* y, int64_t count) {
  if (nx < 2) throw std::domain_error("x must contain at least 2 elements");
  if (!std::isfinite(x[0]) || !std::isfinite(x[nx - 1]))
    throw std::domain_error("x must contain only finite values");
  for (int64_t i = 1; i < nx; ++i)  // finite ends and increasing: all finite, or a NaN
    if (!(x[i] > x[i - 1])) throw std::domain_error("x must be strictly increasing and finite");
  bool finite = true;
  for (int64_t k = 0; k < count; ++k) finite &= std::isfinite(y[k]);
  if (!finite) throw std::domain_error("y must contain only finite values");
}

bool ascending(const double* sites, int64_t n) {
  for (int64_t i = 1; i < n; ++i)
    if (!(sites[i - 1] <= sites[i])) return false;
  return true;
}

}  // namespace

Spline::Spline(Construction construction, const double* x, int64_t nx, const double* y, int64_t ny,
               EndConditions ends)
    : x_(x), nx_(nx), ny_(ny) {
  if (ny < 1) throw std::domain_error("y must hold at least one function");
  check_data(x, nx, y, nx * ny);
  const ConstructionRow& row = row_of(construction);
  order_ = row.order;
  pieces_ = row.kind == 1 ? nx : nx - 1;
  coefficients_.reset(new double[static_cast<size_t>(ny * pieces_ * order_)]);
  const double end_values[2] = {ends.left, ends.right};
  // One function reads the same in both layouts; the row layout has the faster workers.
  const int64_t storage = ny == 1 ? kValuesFunctionAfterFunction : kValuesNodeAfterNode;
  check_status(zorn_df_kernel_dNewTask1D(&task_.task, nx, x_, kNonUniformPartition, ny, y,
                                         storage, 1));
  check_status(zorn_df_kernel_dEditPPSpline1D(task_.task, order_, row.kind, ends.kind, end_values,
                                              0, nullptr, coefficients_.get(), 0));
  if (row.inner_kind != 0)
    check_status(zorn_df_kernel_iEditVal(task_.task, kInnerConditionKindId, row.inner_kind));
  check_status(row.build(task_.task, 0, 0, 0));
  if (row.kind == 1) {  // knots: the ends and the midpoints of the node intervals
    knots_.assign(static_cast<size_t>(nx + 1), 0.0);
    knots_.front() = x_[0];
    knots_.back() = x_[nx - 1];
    for (int64_t k = 1; k < nx; ++k) knots_[k] = (x_[k - 1] + x_[k]) / 2;
  }
}

void Spline::evaluate(const double* sites, int64_t n, int64_t nu, bool extrapolate,
                      double* out) const {
  if (nu < 0) throw std::domain_error("the derivative order must be 0 or more");
  if (n == 0) return;
  if (nu >= order_) {  // every derivative of this order vanishes
    for (int64_t k = 0; k < n * ny_; ++k) out[k] = 0.0;
  } else {
    std::vector<int32_t> flags(static_cast<size_t>(nu + 1), 0);
    flags.back() = 1;
    const int64_t hint = ascending(sites, n) ? kSitesSorted : 0;
    check_status(zorn_df_kernel_dDFInterpolate1D(
        task_.task, 0, 0, n, sites, hint, nu + 1, flags.data(), nullptr, out, kResultsSiteAfterSite,
        nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr));
  }
  if (extrapolate) return;
  const double lo = x_[0], hi = x_[nx_ - 1];
  for (int64_t i = 0; i < n; ++i)
    if (sites[i] < lo || sites[i] > hi)
      for (int64_t j = 0; j < ny_; ++j) out[i * ny_ + j] = std::numeric_limits<double>::quiet_NaN();
}

}  // namespace zorn_python::interpolate
