// One spline task in double or single precision (T): ny functions sampled at nx nodes,
// built once by one of the library's constructions and evaluated (value or one
// derivative) at any number of sites.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "zorn/df.h"

namespace zorn_python::interpolate {

enum class Construction { linear, quadratic, cubic, akima, hyman };

// End condition kind of the task (ZORN_DF_END_*) and its two values, left and right.
struct EndConditions {
  int64_t kind;
  double left, right;
};

template <class T>
class Spline {
 public:
  // x: nx strictly increasing finite nodes, read by every evaluation (the caller keeps
  // them alive and unchanged for the spline's life); y: nx * ny finite values, node after
  // node (the ny values at node i at y[i*ny .. i*ny + ny-1]), read during the
  // construction only.
  Spline(Construction construction, const T* x, int64_t nx, const T* y, int64_t ny,
         EndConditions ends);
  Spline(const Spline&) = delete;
  Spline& operator=(const Spline&) = delete;

  // Derivative `nu` (0: the value) at n sites into out[i*ny + j]; with `extrapolate`
  // false a site outside [x[0], x[nx-1]] gives NaN, else the end pieces extend.
  void evaluate(const T* sites, int64_t n, int64_t nu, bool extrapolate, T* out) const;

  int64_t order() const { return order_; }
  int64_t functions() const { return ny_; }
  int64_t pieces() const { return pieces_; }
  // The pieces + 1 breaks (the nodes, or the knots of the quadratic) and, for each
  // function, each piece's `order` coefficients of ascending powers of (t - break).
  const T* breaks() const { return knots_.empty() ? x_ : knots_.data(); }
  const T* coefficients() const { return coefficients_.get(); }

 private:
  // Deletes the task also when the construction fails part way.
  struct TaskHandle {
    ZornDfTask* task = nullptr;
    ~TaskHandle() {
      if (task != nullptr) zorn_df_kernel_DeleteTask(&task);
    }
  };

  const T* x_;
  int64_t nx_;
  std::vector<T> knots_;
  std::unique_ptr<T[]> coefficients_;  // every entry written by the construction
  int64_t ny_;
  int64_t order_ = 0, pieces_ = 0;
  TaskHandle task_;
};

extern template class Spline<double>;
extern template class Spline<float>;

}  // namespace zorn_python::interpolate
