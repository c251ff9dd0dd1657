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

const char* shape_name(Shape shape) {
  switch (shape) {
    case Shape::ONE: return "ONE";
    case Shape::TWO: return "TWO";
    case Shape::POWX: return "POWX";
    case Shape::ONE_TWO: return "ONE_TWO";
    case Shape::ORDER: return "ORDER";
    case Shape::LINEAR_FRAC: return "LINEAR_FRAC";
    case Shape::TO_REAL: return "TO_REAL";
    case Shape::CIS: break;
  }
  return "CIS";
}

// Positional arguments only, each call's fast path in pybind11: zorn/vm.py wraps every
// function in a Python signature with the keywords (a keyword parsed by pybind11 costs
// several times the whole call).
void define(py::module_& m, const VmFunction& f) {
  const char* name = f.python_name.c_str();
  const py::handle none = py::none();
  switch (f.shape) {
    case Shape::ONE:
    case Shape::TO_REAL:
    case Shape::CIS:
    case Shape::ONE_TWO:
      m.def(name, [&f, none](py::handle x, py::handle out, py::handle accuracy) {
        return zorn_python::call_vm(f, x, none, {}, out, accuracy);
      });
      break;
    case Shape::TWO:
      m.def(name, [&f](py::handle a, py::handle b, py::handle out, py::handle accuracy) {
        return zorn_python::call_vm(f, a, b, {}, out, accuracy);
      });
      break;
    case Shape::POWX:
      m.def(name, [&f, none](py::handle a, py::object b, py::handle out, py::handle accuracy) {
        return zorn_python::call_vm(f, a, none, {{b}}, out, accuracy);
      });
      break;
    case Shape::ORDER:
      m.def(name, [&f, none](py::object order, py::handle x, py::handle out, py::handle accuracy) {
        return zorn_python::call_vm(f, x, none, {{order}}, out, accuracy);
      });
      break;
    case Shape::LINEAR_FRAC:
      m.def(name, [&f](py::handle a, py::handle b, py::object scalea, py::object shifta,
                       py::object scaleb, py::object shiftb, py::handle out, py::handle accuracy) {
        return zorn_python::call_vm(f, a, b, {{scalea, shifta, scaleb, shiftb}}, out, accuracy);
      });
      break;
  }
}

}  // namespace

PYBIND11_MODULE(_vm, m) {
  m.doc() = "Vector math over numpy arrays (see zorn.vm)";
  py::dict shapes;
  for (const VmFunction& f : functions()) {
    define(m, f);
    shapes[f.python_name.c_str()] = shape_name(f.shape);
  }
  m.attr("function_shapes") = shapes;
}
