// zorn._interpolate: spline tasks over C-contiguous float64 (Spline) or float32
// (Spline32) arrays. zorn/interpolate.py gives them scipy's classes, axis conventions and
// coefficient layout.
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

template <class T>
using Array = py::array_t<T, py::array::c_style>;

constexpr Named<Construction> kConstructions[] = {
    {"linear", Construction::linear}, {"quadratic", Construction::quadratic},
    {"cubic", Construction::cubic},   {"akima", Construction::akima},
    {"hyman", Construction::hyman},
};

constexpr const char* kWhere = "zorn.interpolate";

template <class T>
std::unique_ptr<Spline<T>> make_spline(const std::string& name, const Array<T>& x,
                                       const Array<T>& y, int64_t end_kind, double left,
                                       double right) {
  if (x.ndim() != 1) throw py::value_error("x must be 1-dimensional");
  if (y.ndim() != 2 || y.shape(0) != x.shape(0))
    throw py::value_error("y must be 2-D with one row per node (" + std::to_string(x.shape(0)) +
                          ")");
  const Construction construction = value_named(kConstructions, name, "spline construction");
  return without_gil(Service::interpolate, kWhere, [&] {
    return std::make_unique<Spline<T>>(construction, x.data(), x.shape(0), y.data(), y.shape(1),
                                    EndConditions{end_kind, left, right});
  });
}

// The values have the sites' shape, followed by the functions' axis when there are
// several functions.
template <class T>
py::array evaluate(const Spline<T>& s, const py::handle& given, int64_t nu, bool extrapolate) {
  // An array of the spline's type in C order is read in place (the common call, whose
  // fixed cost matters at few sites); anything else is converted once.
  const Array<T> sites = Array<T>::check_(given) ? py::reinterpret_borrow<Array<T>>(given)
                                                 : Array<T>::ensure(given);
  if (!sites) throw py::type_error("the sites must be an array of real numbers");
  const int64_t n = sites.size();
  std::vector<py::ssize_t> shape(sites.shape(), sites.shape() + sites.ndim());
  if (s.functions() > 1) shape.push_back(s.functions());
  py::array out(py::dtype::of<T>(), std::move(shape));
  T* r = static_cast<T*>(out.mutable_data());
  without_gil(Service::interpolate, kWhere,
              [&] { s.evaluate(sites.data(), n, nu, extrapolate, r); }, n);
  return out;
}

// A read-only view of the spline's own memory, which the view keeps alive.
template <class T>
py::array view(const py::object& owner, std::vector<py::ssize_t> shape, const T* data) {
  py::array a(py::dtype::of<T>(), std::move(shape), {}, data, owner);
  a.attr("setflags")("write"_a = false);
  return a;
}

template <class T>
py::array breaks(const py::object& self) {
  const Spline<T>& s = self.cast<const Spline<T>&>();
  return view(self, {s.pieces() + 1}, s.breaks());
}

// (functions, pieces, order): ascending powers within a piece.
template <class T>
py::array coefficients(const py::object& self) {
  const Spline<T>& s = self.cast<const Spline<T>&>();
  return view(self, {s.functions(), s.pieces(), s.order()}, s.coefficients());
}

template <class T>
void define_spline(py::module_& m, const char* name) {
  py::class_<Spline<T>>(m, name)
      // The spline reads the caller's nodes in place (no conversion to a temporary):
      // they live as long as the spline.
      .def(py::init(&make_spline<T>), "construction"_a, py::arg("x").noconvert(), "y"_a,
           "end_kind"_a, "left"_a = 0.0, "right"_a = 0.0, py::keep_alive<1, 3>())
      .def("evaluate", &evaluate<T>, "sites"_a, "nu"_a = 0, "extrapolate"_a = true)
      .def_property_readonly("order", &Spline<T>::order)
      .def_property_readonly("breaks", &breaks<T>)
      .def_property_readonly("coefficients", &coefficients<T>);
}

}  // namespace
}  // namespace zorn_python::interpolate

PYBIND11_MODULE(_interpolate, m) {
  using namespace zorn_python::interpolate;
  define_spline<double>(m, "Spline");
  define_spline<float>(m, "Spline32");
}
