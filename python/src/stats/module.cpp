// zorn._stats: the running summary of a statistics task and the order-based estimates,
// over C-contiguous float64 arrays. zorn/stats.py gives them numpy's axis conventions.
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

using Array = py::array_t<double, py::array::c_style>;

constexpr Named<Method> kMethods[] = {
    {"one-pass", Method::one_pass},
    {"per-observation", Method::per_observation},
    {"fast", Method::fast},
};

// The observation count of a 2-D block of p variables in the given layout.
int64_t observations(const Array& x, int64_t p, bool variables_in_rows) {
  if (x.ndim() != 2 || x.shape(variables_in_rows ? 0 : 1) != p)
    throw py::value_error("the block must be 2-D with " + std::to_string(p) +
                          " variables along its " + (variables_in_rows ? "rows" : "columns"));
  return x.shape(variables_in_rows ? 1 : 0);
}

const double* weights_of(const std::optional<Array>& weights, int64_t n) {
  if (!weights) return nullptr;
  if (weights->ndim() != 1 || weights->shape(0) != n)
    throw py::value_error("weights must be 1-D with one value per observation (" +
                          std::to_string(n) + ")");
  return weights->data();
}

Array copy_of(const std::vector<double>& v) {
  return Array(static_cast<py::ssize_t>(v.size()), v.data());
}

}  // namespace
}  // namespace zorn_python::stats

PYBIND11_MODULE(_stats, m) {
  using namespace zorn_python;
  using namespace zorn_python::stats;
  py::class_<RunningSummary>(m, "RunningSummary")
      .def(py::init([](int64_t p, bool cross_products, const std::string& method) {
             if (p < 1) throw py::value_error("at least one variable is needed");
             return RunningSummary(p, cross_products, value_named(kMethods, method, "method"));
           }),
           "p"_a, "cross_products"_a, "method"_a)
      .def(
          "add",
          [](RunningSummary& s, const Array& x, bool variables_in_rows,
             const std::optional<Array>& weights) {
            const int64_t n = observations(x, s.p(), variables_in_rows);
            const double* w = weights_of(weights, n);
            without_gil(Service::stats, "zorn.stats",
                        [&] { s.add(x.data(), n, variables_in_rows, w); });
          },
          "x"_a, "variables_in_rows"_a, "weights"_a = py::none())
      .def("merge", &RunningSummary::merge, "other"_a)
      .def(py::pickle(
          [](const RunningSummary& s) {
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
            RunningSummary s(t[0].cast<int64_t>(), t[1].cast<bool>(), method);
            s.restore(t[3].cast<int64_t>(), t[4].cast<std::vector<double>>(),
                      t[5].cast<std::vector<double>>(), t[6].cast<std::vector<double>>(),
                      t[7].cast<std::vector<double>>(), t[8].cast<std::vector<uint8_t>>());
            return s;
          }))
      .def_property_readonly("p", &RunningSummary::p)
      .def_property_readonly("count", &RunningSummary::count)
      .def_property_readonly("cross_products", &RunningSummary::cross_products)
      .def_property_readonly("partial",
                             [](const RunningSummary& s) { return copy_of(s.partial()); })
      .def_property_readonly("minimum",
                             [](const RunningSummary& s) { return copy_of(s.minimum()); })
      .def_property_readonly("maximum",
                             [](const RunningSummary& s) { return copy_of(s.maximum()); })
      .def_property_readonly("nan_seen", [](const RunningSummary& s) {
        return py::array_t<bool>(static_cast<py::ssize_t>(s.p()),
                                 reinterpret_cast<const bool*>(s.nan_seen().data()));
      });

  m.def(
      "order_statistics",
      [](const Array& x, bool variables_in_rows, const std::optional<Array>& orders, bool sort) {
        if (x.ndim() != 2) throw py::value_error("the data must be 2-D");
        const int64_t p = x.shape(variables_in_rows ? 0 : 1);
        const int64_t n = x.shape(variables_in_rows ? 1 : 0);
        if (orders && orders->ndim() != 1) throw py::value_error("the orders must be 1-D");
        const int64_t count = orders ? orders->shape(0) : 0;
        py::object quantiles = py::none(), sorted = py::none();
        double* q = nullptr;
        double* s = nullptr;
        if (orders) {
          Array a({p, count});
          q = a.mutable_data();
          quantiles = a;
        }
        if (sort) {
          Array a({x.shape(0), x.shape(1)});
          s = a.mutable_data();
          sorted = a;
        }
        const double* o = orders ? orders->data() : nullptr;
        without_gil(Service::stats, "zorn.stats",
                    [&] { order_statistics(x.data(), p, n, variables_in_rows, o, count, q, s); });
        return py::make_tuple(quantiles, sorted);
      },
      "x"_a, "variables_in_rows"_a, "orders"_a = py::none(), "sort"_a = false);
}
