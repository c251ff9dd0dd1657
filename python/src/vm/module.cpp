// zorn._vm: one Python function per catalogue function, named in snake case (Exp: exp,
// CdfNormInv: cdf_norm_inv, LGamma: lgamma), dispatching on the arguments' dtype.
#include <cctype>
#include <deque>

#include "call.h"

namespace py = pybind11;
using zorn_python::Shape;
using zorn_python::VmFunction;
using zorn_python::VmScalars;

namespace {

std::string snake_case(const char* name) {
  std::string s;
  for (const char* p = name; *p; ++p) {
    const bool upper = std::isupper(static_cast<unsigned char>(*p));
    if (upper && p != name && !std::isupper(static_cast<unsigned char>(p[-1]))) s += '_';
    s += static_cast<char>(std::tolower(static_cast<unsigned char>(*p)));
  }
  return s;
}

// The functions, grouped by name; entries of one name are adjacent in the catalogue.
const std::deque<VmFunction>& functions() {
  static const std::deque<VmFunction> list = [] {
    std::deque<VmFunction> fs;
    const char* last = nullptr;
    for (const zorn_python::VmEntry& e : zorn_python::vm_catalogue()) {
      if (last == nullptr || std::strcmp(last, e.name) != 0)
        fs.push_back({snake_case(e.name), e.shape, {}});
      fs.back().by_type[static_cast<int>(e.type)] = &e;
      last = e.name;
    }
    return fs;
  }();
  return list;
}

void define(py::module_& m, const VmFunction& f) {
  const char* name = f.python_name.c_str();
  const py::arg_v out = py::arg("out") = py::none();
  const py::arg_v accuracy = py::arg("accuracy") = "ha";
  const py::handle none = py::none();
  switch (f.shape) {
    case Shape::ONE:
    case Shape::TO_REAL:
    case Shape::CIS:
    case Shape::ONE_TWO:
      m.def(name, [&f, none](py::handle x, py::handle out, py::handle accuracy) {
        return zorn_python::call_vm(f, x, none, {}, out, accuracy);
      }, py::arg("x"), out, py::kw_only(), accuracy);
      break;
    case Shape::TWO:
      m.def(name, [&f](py::handle a, py::handle b, py::handle out, py::handle accuracy) {
        return zorn_python::call_vm(f, a, b, {}, out, accuracy);
      }, py::arg("a"), py::arg("b"), out, py::kw_only(), accuracy);
      break;
    case Shape::POWX:
      m.def(name, [&f, none](py::handle a, py::object b, py::handle out, py::handle accuracy) {
        return zorn_python::call_vm(f, a, none, {{b}}, out, accuracy);
      }, py::arg("a"), py::arg("b"), out, py::kw_only(), accuracy);
      break;
    case Shape::ORDER:  // scipy's argument order: (n, x)
      m.def(name, [&f, none](py::object order, py::handle x, py::handle out, py::handle accuracy) {
        return zorn_python::call_vm(f, x, none, {{order}}, out, accuracy);
      }, py::arg("n"), py::arg("x"), out, py::kw_only(), accuracy);
      break;
    case Shape::LINEAR_FRAC:
      m.def(name, [&f](py::handle a, py::handle b, py::object scalea, py::object shifta,
                       py::object scaleb, py::object shiftb, py::handle out, py::handle accuracy) {
        return zorn_python::call_vm(f, a, b, {{scalea, shifta, scaleb, shiftb}}, out, accuracy);
      }, py::arg("a"), py::arg("b"), py::arg("scalea"), py::arg("shifta"), py::arg("scaleb"),
         py::arg("shiftb"), out, py::kw_only(), accuracy);
      break;
  }
}

}  // namespace

PYBIND11_MODULE(_vm, m) {
  m.doc() = "Vector math over numpy arrays (see zorn.vm)";
  py::list names;
  for (const VmFunction& f : functions()) {
    define(m, f);
    names.append(f.python_name);
  }
  m.attr("function_names") = names;
}
