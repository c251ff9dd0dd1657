// zorn._stats: the running summary of a statistics task and the order-based estimates,
// over C-contiguous float64 arrays (RunningSummary, order_statistics) or float32 ones
// (RunningSummary32, order_statistics32). zorn/stats.py gives them numpy's axis
// conventions.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <optional>
#include <stdexcept>
#include <string>

#include "named_values.h"
#include "stats/order_statistics.h"
#include "stats/running_summary.h"
#include "without_gil.h"

namespace py = pybind11;
using namespace pybind11::literals;

namespace zorn_python::stats {
namespace {

template <class T>
using Array = py::array_t<T, py::array::c_style>;

constexpr Named<Method> kMethods[] = {
    {"one-pass", Method::one_pass},
    {"per-observation", Method::per_observation},
    {"fast", Method::fast},
};

// The observation count of a 2-D block of p variables in the given layout.
template <class T>
int64_t observations(const Array<T>& x, int64_t p, bool variables_in_rows) {
  if (x.ndim() != 2 || x.shape(variables_in_rows ? 0 : 1) != p)
    throw py::value_error("the block must be 2-D with " + std::to_string(p) +
                          " variables along its " + (variables_in_rows ? "rows" : "columns"));
  return x.shape(variables_in_rows ? 1 : 0);
}

template <class T>
const T* weights_of(const std::optional<Array<T>>& weights, int64_t n) {
  if (!weights) return nullptr;
  if (weights->ndim() != 1 || weights->shape(0) != n)
    throw py::value_error("weights must be 1-D with one value per observation (" +
                          std::to_string(n) + ")");
  return weights->data();
}

template <class T>
Array<T> copy_of(const std::vector<T>& v) {
  return Array<T>(static_cast<py::ssize_t>(v.size()), v.data());
}

template <class T>
void define_summary(py::module_& m, const char* name) {
  using Summary = RunningSummary<T>;
  py::class_<Summary>(m, name)
      .def(py::init([](int64_t p, bool cross_products, const std::string& method) {
             if (p < 1) throw py::value_error("at least one variable is needed");
             return Summary(p, cross_products, value_named(kMethods, method, "method"));
           }),
           "p"_a, "cross_products"_a, "method"_a)
      .def(
          "add",
          [](Summary& s, const Array<T>& x, bool variables_in_rows,
             const std::optional<Array<T>>& weights) {
            const int64_t n = observations(x, s.p(), variables_in_rows);
            const T* w = weights_of(weights, n);
            without_gil(Service::stats, "zorn.stats",
                        [&] { s.add(x.data(), n, variables_in_rows, w); });
          },
          "x"_a, "variables_in_rows"_a, "weights"_a = py::none())
      .def("merge", &Summary::merge, "other"_a)
      .def(py::pickle(
          [](const Summary& s) {
            return py::make_tuple(s.p(), s.cross_products(), static_cast<int32_t>(s.method()),
                                  s.count(), s.partial(), s.raw_moments(), s.minimum(),
                                  s.maximum(), s.nan_seen());
          },
          [](const py::tuple& t) {
            if (t.size() != 9) throw py::value_error("not a saved running summary");
            const auto method = static_cast<Method>(t[2].cast<int32_t>());
            bool known = false;
            for (const auto& row : kMethods) known |= row.value == method;
            if (!known || t[0].cast<int64_t>() < 1)
              throw py::value_error("not a saved running summary");
            Summary s(t[0].cast<int64_t>(), t[1].cast<bool>(), method);
            s.restore(t[3].cast<int64_t>(), t[4].cast<std::vector<T>>(),
                      t[5].cast<std::vector<T>>(), t[6].cast<std::vector<T>>(),
                      t[7].cast<std::vector<T>>(), t[8].cast<std::vector<uint8_t>>());
            return s;
          }))
      .def_property_readonly("p", &Summary::p)
      .def_property_readonly("count", &Summary::count)
      .def_property_readonly("cross_products", &Summary::cross_products)
      .def_property_readonly("partial",
                             [](const Summary& s) { return copy_of(s.partial()); })
      .def_property_readonly("minimum",
                             [](const Summary& s) { return copy_of(s.minimum()); })
      .def_property_readonly("maximum",
                             [](const Summary& s) { return copy_of(s.maximum()); })
      .def_property_readonly("nan_seen", [](const Summary& s) {
        return py::array_t<bool>(static_cast<py::ssize_t>(s.p()),
                                 reinterpret_cast<const bool*>(s.nan_seen().data()));
      });
}

template <class T>
void define_order_statistics(py::module_& m, const char* name) {
  m.def(
      name,
      [](const Array<T>& x, bool variables_in_rows, const std::optional<Array<T>>& orders,
         bool sort) {
        if (x.ndim() != 2) throw py::value_error("the data must be 2-D");
        const int64_t p = x.shape(variables_in_rows ? 0 : 1);
        const int64_t n = x.shape(variables_in_rows ? 1 : 0);
        if (orders && orders->ndim() != 1) throw py::value_error("the orders must be 1-D");
        const int64_t count = orders ? orders->shape(0) : 0;
        py::object quantiles = py::none(), sorted = py::none();
        T* q = nullptr;
        T* s = nullptr;
        if (orders) {
          Array<T> a({p, count});
          q = a.mutable_data();
          quantiles = a;
        }
        if (sort) {
          Array<T> a({x.shape(0), x.shape(1)});
          s = a.mutable_data();
          sorted = a;
        }
        const T* o = orders ? orders->data() : nullptr;
        without_gil(Service::stats, "zorn.stats",
                    [&] { order_statistics(x.data(), p, n, variables_in_rows, o, count, q, s); });
        return py::make_tuple(quantiles, sorted);
      },
      "x"_a, "variables_in_rows"_a, "orders"_a = py::none(), "sort"_a = false);
}

}  // namespace
}  // namespace zorn_python::stats

PYBIND11_MODULE(_stats, m) {
  using namespace zorn_python::stats;
  define_summary<double>(m, "RunningSummary");
  define_summary<float>(m, "RunningSummary32");
  define_order_statistics<double>(m, "order_statistics");
  define_order_statistics<float>(m, "order_statistics32");
}
