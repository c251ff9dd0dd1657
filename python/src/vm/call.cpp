#include "call.h"

#include <algorithm>
#include <complex>
#include <cstring>

#include "element_errors.h"

namespace py = pybind11;

namespace zorn_python {
namespace {

// Kernels take int32 counts: longer arrays run in chunks of this many elements.
constexpr int64_t kChunk = int64_t{1} << 30;
// Calls at least this long run without the GIL.
constexpr int64_t kReleaseGilFrom = 1 << 14;

constexpr int kMaxInputs = 2;
constexpr int kMaxOutputs = 2;

int slot_of(py::handle accuracy) {
  static constexpr const char* kNames[3] = {"la", "ha", "ep"};
  if (PyUnicode_Check(accuracy.ptr())) {
    for (int slot = 0; slot < 3; ++slot)
      if (PyUnicode_CompareWithASCIIString(accuracy.ptr(), kNames[slot]) == 0) return slot;
  }
  throw py::value_error("accuracy must be \"la\", \"ha\" or \"ep\"");
}

bool is_complex(ElementType t) { return t == ElementType::c || t == ElementType::z; }
bool is_double(ElementType t) { return t == ElementType::d || t == ElementType::z; }
ElementType type_of(bool complex, bool dbl) {
  return complex ? (dbl ? ElementType::z : ElementType::c) : (dbl ? ElementType::d : ElementType::s);
}
ElementType real_of(ElementType t) { return type_of(false, is_double(t)); }
ElementType complex_of(ElementType t) { return type_of(true, is_double(t)); }

py::dtype dtype_of(ElementType t) {
  switch (t) {
    case ElementType::s: return py::dtype::of<float>();
    case ElementType::d: return py::dtype::of<double>();
    case ElementType::c: return py::dtype::of<std::complex<float>>();
    case ElementType::z: break;
  }
  return py::dtype::of<std::complex<double>>();
}

// numpy's type numbers of the four element types, read once.
int type_num(ElementType t) {
  static const int kNums[4] = {dtype_of(ElementType::s).num(), dtype_of(ElementType::d).num(),
                               dtype_of(ElementType::c).num(), dtype_of(ElementType::z).num()};
  return kNums[static_cast<int>(t)];
}

// An array of the type's numbers in native byte order.
bool has_type(const py::array& a, ElementType t) {
  const py::dtype dt = a.dtype();
  return dt.num() == type_num(t) && dt.byteorder() != '>';
}

const char* dtype_name(ElementType t) {
  static constexpr const char* kNames[4] = {"float32", "float64", "complex64", "complex128"};
  return kNames[static_cast<int>(t)];
}

// numpy's promotion of the kernel types: float32 and float16 stay single, every other
// real or integer type becomes double, complex of the wider part.
ElementType natural_type(const py::array& a) {
  const py::dtype dt = a.dtype();
  if (dt.kind() == 'c') return dt.itemsize() <= 8 ? ElementType::c : ElementType::z;
  return dt.kind() == 'f' && dt.itemsize() <= 4 ? ElementType::s : ElementType::d;
}

ElementType promote(ElementType x, ElementType y) {
  return type_of(is_complex(x) || is_complex(y), is_double(x) || is_double(y));
}

py::array as_array(py::handle object) {
  if (py::isinstance<py::array>(object)) return py::reinterpret_borrow<py::array>(object);
  py::array a = py::array::ensure(object);
  if (!a) throw py::type_error("expected an array or a number");
  return a;
}

py::array with_dtype(py::array a, ElementType t) {
  if (has_type(a, t)) return a;
  return py::array(a.attr("astype")(dtype_of(t)));
}

// The increment in elements that walks `a` in C order, when its elements are equally
// spaced in memory and the increment fits the kernels' int32.
bool equal_spacing(const py::array& a, int32_t& inc) {
  const int64_t item = a.itemsize();
  int64_t step = 1, next = 0;
  bool inner = true;
  for (py::ssize_t k = a.ndim() - 1; k >= 0; --k) {
    if (a.shape(k) == 1) continue;
    const int64_t stride = a.strides(k);
    if (inner) {
      if (stride == 0 || stride % item != 0) return false;
      step = stride / item;
      inner = false;
    } else if (stride != next) {
      return false;
    }
    next = stride * a.shape(k);
  }
  if (step > INT32_MAX || step < -INT32_MAX) return false;
  inc = static_cast<int32_t>(step);
  return true;
}

// One operand as the kernel sees it.
struct Laid {
  py::object array;  // owns the elements (a py::array member would construct an array)
  char* data = nullptr;
  int32_t inc = 1;
  int64_t item = 0;
  py::handle write_back;  // a caller's `out` that is written from `array` after the call
};

// An input's elements are only read; the pointer is not const for the shared record.
Laid laid_of(const py::array& a, int32_t inc) {
  Laid laid;
  laid.array = a;
  laid.data = static_cast<char*>(const_cast<void*>(a.data()));
  laid.inc = inc;
  laid.item = a.itemsize();
  return laid;
}

Laid lay_input(const py::array& a) {
  int32_t inc = 1;
  if (equal_spacing(a, inc)) return laid_of(a, inc);
  return laid_of(py::array(a.attr("copy")()), 1);
}

Laid lay_output(py::handle out, const std::vector<py::ssize_t>& shape, ElementType t) {
  if (out.is_none()) return laid_of(py::array(dtype_of(t), shape), 1);
  if (!py::isinstance<py::array>(out)) throw py::type_error("out must be a numpy array");
  py::array o = py::reinterpret_borrow<py::array>(out);
  if (!has_type(o, t))
    throw py::type_error(std::string("out must have dtype ") + dtype_name(t));
  if (!std::equal(shape.begin(), shape.end(), o.shape(), o.shape() + o.ndim()) ||
      static_cast<size_t>(o.ndim()) != shape.size())
    throw py::value_error("out has another shape than the result");
  if (!o.writeable()) throw py::value_error("out is read-only");
  int32_t inc = 1;
  if (equal_spacing(o, inc)) return laid_of(o, inc);
  Laid laid = laid_of(py::array(dtype_of(t), shape), 1);
  laid.write_back = out;
  return laid;
}

// The byte range [first, last) an operand of n elements covers.
std::pair<const char*, const char*> extent(const Laid& x, int64_t n) {
  const char* a = x.data;
  const char* b = x.data + (n - 1) * x.inc * x.item;
  return {std::min(a, b), std::max(a, b) + x.item};
}

// An input that shares memory with an output, other than element for element in place,
// is copied first (a kernel may write an element before it reads a later one).
void separate(Laid& input, const Laid& output, int64_t n) {
  if (n == 0) return;
  if (input.data == output.data && input.inc == output.inc && input.item == output.item)
    return;
  const auto [a0, a1] = extent(input, n);
  const auto [b0, b1] = extent(output, n);
  if (a0 < b1 && b0 < a1) input = laid_of(py::array(input.array.attr("copy")()), 1);
}

struct Invocation {
  const VmEntry* entry;
  int slot;
  int64_t n;
  Laid in[kMaxInputs];
  Laid out[kMaxOutputs];
  std::complex<double> scalar[4];
};

template <class E>
E element_of(std::complex<double> v) {
  if constexpr (std::is_same_v<E, TessComplex8>) {
    return {static_cast<float>(v.real()), static_cast<float>(v.imag())};
  } else if constexpr (std::is_same_v<E, TessComplex16>) {
    return {v.real(), v.imag()};
  } else {
    return static_cast<E>(v.real());
  }
}

template <class E>
using RealOf = std::conditional_t<std::is_same_v<E, TessComplex8> || std::is_same_v<E, float>,
                                  float, double>;

// The kernel of the entry's slot, called over one chunk with each shape's signature.
template <class E>
void run_typed(const Invocation& call) {
  using R = RealOf<E>;
  const VmEntry& e = *call.entry;
  const TessKernel kernel = e.strided[call.slot];
  const E s0 = element_of<E>(call.scalar[0]), s1 = element_of<E>(call.scalar[1]);
  const E s2 = element_of<E>(call.scalar[2]), s3 = element_of<E>(call.scalar[3]);
  for (int64_t start = 0; start < call.n; start += kChunk) {
    const int32_t m = static_cast<int32_t>(std::min(kChunk, call.n - start));
    set_element_index_offset(start);
    auto in = [&](int k) { return call.in[k].data + start * call.in[k].inc * call.in[k].item; };
    auto out = [&](int k) { return call.out[k].data + start * call.out[k].inc * call.out[k].item; };
    const int32_t ia = call.in[0].inc, ib = call.in[1].inc;
    const int32_t r1 = call.out[0].inc, r2 = call.out[1].inc;
    const auto* a = reinterpret_cast<const E*>(in(0));
    const auto* b = reinterpret_cast<const E*>(in(1));
    auto* r = reinterpret_cast<E*>(out(0));
    switch (e.shape) {
      case Shape::ONE:
        reinterpret_cast<void (*)(int32_t, const E*, int32_t, E*, int32_t)>(kernel)(m, a, ia, r, r1);
        break;
      case Shape::TWO:
        reinterpret_cast<void (*)(int32_t, const E*, int32_t, const E*, int32_t, E*, int32_t)>(
            kernel)(m, a, ia, b, ib, r, r1);
        break;
      case Shape::POWX:
      case Shape::ORDER:
        reinterpret_cast<void (*)(int32_t, const E*, int32_t, E, E*, int32_t)>(kernel)(
            m, a, ia, s0, r, r1);
        break;
      case Shape::ONE_TWO:
        reinterpret_cast<void (*)(int32_t, const E*, int32_t, E*, int32_t, E*, int32_t)>(kernel)(
            m, a, ia, r, r1, reinterpret_cast<E*>(out(1)), r2);
        break;
      case Shape::LINEAR_FRAC:
        reinterpret_cast<void (*)(int32_t, const E*, int32_t, const E*, int32_t, E, E, E, E, E*,
                                  int32_t)>(kernel)(m, a, ia, b, ib, s0, s1, s2, s3, r, r1);
        break;
      case Shape::TO_REAL:
        reinterpret_cast<void (*)(int32_t, const E*, int32_t, R*, int32_t)>(kernel)(
            m, a, ia, reinterpret_cast<R*>(out(0)), r1);
        break;
      case Shape::CIS:
        reinterpret_cast<void (*)(int32_t, const R*, int32_t, E*, int32_t)>(kernel)(
            m, reinterpret_cast<const R*>(in(0)), ia, r, r1);
        break;
    }
  }
}

void run(const Invocation& call) {
  switch (call.entry->type) {
    case ElementType::s: run_typed<float>(call); break;
    case ElementType::d: run_typed<double>(call); break;
    case ElementType::c: run_typed<TessComplex8>(call); break;
    case ElementType::z: run_typed<TessComplex16>(call); break;
  }
}

int input_count(Shape shape) {
  return shape == Shape::TWO || shape == Shape::LINEAR_FRAC ? 2 : 1;
}
int output_count(Shape shape) { return shape == Shape::ONE_TWO ? 2 : 1; }
int scalar_count(Shape shape) {
  if (shape == Shape::LINEAR_FRAC) return 4;
  return shape == Shape::POWX || shape == Shape::ORDER ? 1 : 0;
}

// The entry for the arguments' type: a real argument of a complex-only function (Arg,
// Conj) takes the complex kernel, as numpy treats a real number as complex.
const VmEntry* resolve(const VmFunction& f, ElementType t) {
  if (const VmEntry* e = f.by_type[static_cast<int>(t)]) return e;
  if (!is_complex(t))
    if (const VmEntry* e = f.by_type[static_cast<int>(complex_of(t))]) return e;
  throw py::type_error("zorn.vm." + f.python_name + " has no kernel for " + dtype_name(t));
}

}  // namespace

py::object call_vm(const VmFunction& f, py::handle a, py::handle b, const VmScalars& scalars,
                   py::handle out, py::handle accuracy) {
  Invocation call{};
  call.slot = slot_of(accuracy);
  const int inputs = input_count(f.shape), outputs = output_count(f.shape);
  py::array arrays[kMaxInputs] = {as_array(a), as_array(inputs > 1 ? b : a)};

  ElementType t = natural_type(arrays[0]);
  if (inputs > 1) t = promote(t, natural_type(arrays[1]));
  if (f.shape == Shape::CIS) {
    if (is_complex(t)) throw py::type_error("zorn.vm." + f.python_name + " takes a real argument");
    t = complex_of(t);
  }
  call.entry = resolve(f, t);
  t = call.entry->type;
  const ElementType argument_type = f.shape == Shape::CIS ? real_of(t) : t;
  const ElementType result_type = f.shape == Shape::TO_REAL ? real_of(t) : t;

  for (int k = 0; k < inputs; ++k) arrays[k] = with_dtype(arrays[k], argument_type);
  if (inputs > 1 && !(arrays[0].ndim() == arrays[1].ndim() &&
                      std::equal(arrays[0].shape(), arrays[0].shape() + arrays[0].ndim(),
                                 arrays[1].shape()))) {
    py::tuple both = py::module_::import("numpy").attr("broadcast_arrays")(arrays[0], arrays[1]);
    arrays[0] = both[0];
    arrays[1] = both[1];
  }
  const std::vector<py::ssize_t> shape(arrays[0].shape(), arrays[0].shape() + arrays[0].ndim());
  call.n = arrays[0].size();
  for (int k = 0; k < inputs; ++k) call.in[k] = lay_input(arrays[k]);

  py::handle outs[kMaxOutputs] = {out, py::none()};
  if (outputs > 1 && !out.is_none()) {
    if (!py::isinstance<py::tuple>(out) || py::len(out) != 2)
      throw py::type_error("out must be a tuple of two arrays");
    outs[0] = py::reinterpret_borrow<py::tuple>(out)[0];
    outs[1] = py::reinterpret_borrow<py::tuple>(out)[1];
  }
  for (int k = 0; k < outputs; ++k) {
    call.out[k] = lay_output(outs[k], shape, result_type);
    for (int i = 0; i < inputs; ++i) separate(call.in[i], call.out[k], call.n);
  }
  for (int k = 0; k < scalar_count(f.shape); ++k)
    call.scalar[k] = scalars.value[k].cast<std::complex<double>>();

  begin_element_errors();
  if (call.n >= kReleaseGilFrom) {
    py::gil_scoped_release unlocked;
    run(call);
  } else {
    run(call);
  }
  for (int k = 0; k < outputs; ++k)
    if (call.out[k].write_back) call.out[k].write_back[py::ellipsis()] = call.out[k].array;
  finish_element_errors(f.python_name.c_str());

  // A Python number gives a numpy scalar, as numpy's functions do.
  const bool scalar_result = out.is_none() && !py::isinstance<py::array>(a) &&
                             (inputs == 1 || !py::isinstance<py::array>(b));
  auto result = [&](int k) -> py::object {
    if (!outs[k].is_none()) return py::reinterpret_borrow<py::object>(outs[k]);
    if (scalar_result) return call.out[k].array[py::tuple()];
    return call.out[k].array;
  };
  if (outputs == 1) return result(0);
  return py::make_tuple(result(0), result(1));
}

}  // namespace zorn_python
