// zorn._interpolate: spline tasks over C-contiguous float64 arrays. zorn/interpolate.py
// gives them scipy's classes, axis conventions and coefficient layout.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include <memory>
#include <string>
#include <vector>

#include "interpolate/spline.h"
#include "named_values.h"
#include "without_gil.h"

namespace py = pybind11;
using namespace pybind11::literals;

namespace zorn_python::interpolate {
namespace {

using Array = py::array_t<double, py::array::c_style>;

constexpr Named<Construction> kConstructions[] = {
    {"linear", Construction::linear}, {"quadratic", Construction::quadratic},
    {"cubic", Construction::cubic},   {"akima", Construction::akima},
    {"hyman", Construction::hyman},
};

constexpr const char* kWhere = "zorn.interpolate";

std::unique_ptr<Spline> make_spline(const std::string& name, const Array& x, const Array& y,
                                    int64_t end_kind, double left, double right) {
  if (x.ndim() != 1) throw py::value_error("x must be 1-dimensional");
  if (y.ndim() != 2 || y.shape(0) != x.shape(0))
    throw py::value_error("y must be 2-D with one row per node (" + std::to_string(x.shape(0)) +
                          ")");
  const Construction construction = value_named(kConstructions, name, "spline construction");
  return without_gil(Service::interpolate, kWhere, [&] {
    return std::make_unique<Spline>(construction, x.data(), x.shape(0), y.data(), y.shape(1),
                                    EndConditions{end_kind, left, right});
  });
}

Array evaluate(const Spline& s, const Array& sites, int64_t nu, bool extrapolate) {
  const int64_t n = sites.size();
  Array out({n, s.functions()});
  double* r = out.mutable_data();
  without_gil(Service::interpolate, kWhere,
              [&] { s.evaluate(sites.data(), n, nu, extrapolate, r); });
  return out;
}

// A read-only view of the spline's own memory, which the view keeps alive.
py::array view(const py::object& owner, std::vector<py::ssize_t> shape, const double* data) {
  py::array a(py::dtype::of<double>(), std::move(shape), {}, data, owner);
  a.attr("setflags")("write"_a = false);
  return a;
}

py::array breaks(const py::object& self) {
  const Spline& s = self.cast<const Spline&>();
  return view(self, {s.pieces() + 1}, s.breaks());
}

// (functions, pieces, order): ascending powers within a piece.
py::array coefficients(const py::object& self) {
  const Spline& s = self.cast<const Spline&>();
  return view(self, {s.functions(), s.pieces(), s.order()}, s.coefficients());
}

}  // namespace
}  // namespace zorn_python::interpolate

PYBIND11_MODULE(_interpolate, m) {
  using namespace zorn_python::interpolate;
  py::class_<Spline>(m, "Spline")
      // The spline reads the caller's nodes in place (no conversion to a temporary):
      // they live as long as the spline.
      .def(py::init(&make_spline), "construction"_a, py::arg("x").noconvert(), "y"_a, "end_kind"_a,
           "left"_a = 0.0, "right"_a = 0.0, py::keep_alive<1, 3>())
      .def("evaluate", &evaluate, "sites"_a, "nu"_a = 0, "extrapolate"_a = true)
      .def_property_readonly("order", &Spline::order)
      .def_property_readonly("breaks", &breaks)
      .def_property_readonly("coefficients", &coefficients);
}
