#include "interpolate/spline.h"

#include <bit>
#include <cmath>
#include <type_traits>
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
  Build build_double, build_single;
};

#define ZORN_BUILDS(name) zorn_df_kernel_dDF##name##Spline1D, zorn_df_kernel_sDF##name##Spline1D
constexpr ConstructionRow kConstructions[] = {
    {Construction::linear, 2, 0, 0, ZORN_BUILDS(Linear)},
    {Construction::quadratic, 3, 1, 8, ZORN_BUILDS(Quadratic)},
    {Construction::cubic, 4, 0, 0, ZORN_BUILDS(NaturalCubic)},
    {Construction::akima, 4, 0, 0, ZORN_BUILDS(AkimaCubic)},
    {Construction::hyman, 4, 0, 0, ZORN_BUILDS(HymanCubic)},
};
#undef ZORN_BUILDS

// The task calls of one precision.
template <class T>
struct Calls;
template <>
struct Calls<double> {
  static constexpr auto new_task = zorn_df_kernel_dNewTask1D;
  static constexpr auto edit_spline = zorn_df_kernel_dEditPPSpline1D;
  static constexpr auto interpolate = zorn_df_kernel_dDFInterpolate1D;
  static Build build(const ConstructionRow& row) { return row.build_double; }
};
template <>
struct Calls<float> {
  static constexpr auto new_task = zorn_df_kernel_sNewTask1D;
  static constexpr auto edit_spline = zorn_df_kernel_sEditPPSpline1D;
  static constexpr auto interpolate = zorn_df_kernel_sDFInterpolate1D;
  static Build build(const ConstructionRow& row) { return row.build_single; }
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
constexpr int64_t kMaxOrder = 4;  // the cubics'

// The checks of the data work on the values' bits, without a comparison or a branch
// per element, so that they vectorise (floating-point comparisons do not, under the
// strict floating-point model). The exponent field of v is all ones (v infinite or NaN)
// exactly when adding one unit of the exponent to it carries into the sign bit.
template <class T>
struct FloatBits {
  using Bits = std::conditional_t<sizeof(T) == 8, uint64_t, uint32_t>;
  static constexpr int kSign = 8 * sizeof(T) - 1;
  static constexpr int kMantissa = sizeof(T) == 8 ? 52 : 23;
  static constexpr Bits kExponent = (~Bits(0) >> 1) & ~((Bits(1) << kMantissa) - 1);
  static Bits exponent_carry(T v) {
    return (std::bit_cast<Bits>(v) & kExponent) + (Bits(1) << kMantissa);
  }
};

template <class T>
bool all_finite(const T* v, int64_t n) {
  using F = FloatBits<T>;
  typename F::Bits carry = 0;
  for (int64_t k = 0; k < n; ++k) carry |= F::exponent_carry(v[k]);
  return (carry >> F::kSign) == 0;
}

// Every step x[i] - x[i-1] finite and positive: then 0 - step has its sign bit set
// (0 - 0 is +0).
template <class T>
bool all_steps_positive(const T* x, int64_t nx) {
  using F = FloatBits<T>;
  typename F::Bits negated = ~typename F::Bits(0), carry = 0;
  for (int64_t i = 1; i < nx; ++i) {
    const T step = x[i] - x[i - 1];
    negated &= std::bit_cast<typename F::Bits>(T(0) - step);
    carry |= F::exponent_carry(step);
  }
  return (negated >> F::kSign) != 0 && (carry >> F::kSign) == 0;
}

template <class T>
void check_data(const T* x, int64_t nx, const T* y, int64_t count) {
  if (nx < 2) throw std::domain_error("x must contain at least 2 elements");
  if (!std::isfinite(x[0]) || !std::isfinite(x[nx - 1]))
    throw std::domain_error("x must contain only finite values");
  if (!all_steps_positive(x, nx)) throw std::domain_error("x must be strictly increasing and finite");
  if (!all_finite(y, count)) throw std::domain_error("y must contain only finite values");
}

}  // namespace

template <class T>
Spline<T>::Spline(Construction construction, const T* x, int64_t nx, const T* y, int64_t ny,
                  EndConditions ends)
    : x_(x), nx_(nx), ny_(ny) {
  if (ny < 1) throw std::domain_error("y must hold at least one function");
  check_data(x, nx, y, nx * ny);
  const ConstructionRow& row = row_of(construction);
  order_ = row.order;
  pieces_ = row.kind == 1 ? nx : nx - 1;
  coefficients_.reset(new T[static_cast<size_t>(ny * pieces_ * order_)]);
  const T end_values[2] = {static_cast<T>(ends.left), static_cast<T>(ends.right)};
  // One function reads the same in both layouts; the row layout has the faster workers.
  const int64_t storage = ny == 1 ? kValuesFunctionAfterFunction : kValuesNodeAfterNode;
  check_status(Calls<T>::new_task(&task_.task, nx, x_, kNonUniformPartition, ny, y,
                                         storage, 1));
  check_status(Calls<T>::edit_spline(task_.task, order_, row.kind, ends.kind, end_values,
                                              0, nullptr, coefficients_.get(), 0));
  if (row.inner_kind != 0)
    check_status(zorn_df_kernel_iEditVal(task_.task, kInnerConditionKindId, row.inner_kind));
  check_status(Calls<T>::build(row)(task_.task, 0, 0, 0));
  if (row.kind == 1) {  // knots: the ends and the midpoints of the node intervals
    knots_.assign(static_cast<size_t>(nx + 1), T(0));
    knots_.front() = x_[0];
    knots_.back() = x_[nx - 1];
    for (int64_t k = 1; k < nx; ++k) knots_[k] = (x_[k - 1] + x_[k]) / 2;
  }
}

template <class T>
void Spline<T>::evaluate(const T* sites, int64_t n, int64_t nu, bool extrapolate, T* out) const {
  if (nu < 0) throw std::domain_error("the derivative order must be 0 or more");
  if (n == 0) return;
  if (nu >= order_) {  // every derivative of this order vanishes
    for (int64_t k = 0; k < n * ny_; ++k) out[k] = T(0);
  } else {
    int32_t flags[kMaxOrder] = {};  // nu < order <= kMaxOrder
    flags[nu] = 1;
    // No site hint: the library's default search finds sites in order by a walk.
    check_status(Calls<T>::interpolate(
        task_.task, 0, 0, n, sites, 0, nu + 1, flags, nullptr, out, kResultsSiteAfterSite,
        nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr));
  }
  if (extrapolate) return;
  const T lo = x_[0], hi = x_[nx_ - 1];
  for (int64_t i = 0; i < n; ++i)
    if (sites[i] < lo || sites[i] > hi)
      for (int64_t j = 0; j < ny_; ++j) out[i * ny_ + j] = std::numeric_limits<T>::quiet_NaN();
}

template class Spline<double>;
template class Spline<float>;

}  // namespace zorn_python::interpolate
