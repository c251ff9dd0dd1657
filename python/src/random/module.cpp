// zorn._random: the Stream class, its generators by name and its distributions.
#include <pybind11/stl.h>

#include "distributions.h"
#include "status_errors.h"
#include "stream.h"
#include "zorn/pavo.h"

namespace py = pybind11;
using py::arg;
using zorn_python::Stream;

namespace {

// The built-in generators by name (numpy's names where they match) and the number of
// members of each family (sub-generators chosen by `index`).
struct GeneratorName {
  const char* name;
  uint32_t identifier;
  uint32_t members;
};
constexpr GeneratorName kGenerators[] = {
    {"mcg31m1", PAVO_BRNG_MCG31M1, 1},   {"r250", PAVO_BRNG_R250, 1},
    {"mrg32k3a", PAVO_BRNG_MRG32K3A, 1}, {"mcg59", PAVO_BRNG_MCG59, 1},
    {"wh", PAVO_BRNG_WH, 273},           {"sobol", PAVO_BRNG_SOBOL, 1},
    {"niederreiter", PAVO_BRNG_NIEDERR, 1}, {"mt19937", PAVO_BRNG_MT19937, 1},
    {"mt2203", PAVO_BRNG_MT2203, 6024},  {"sfmt19937", PAVO_BRNG_SFMT19937, 1},
    {"nondeterministic", PAVO_BRNG_NONDETERM, 1}, {"ars5", PAVO_BRNG_ARS5, 1},
    {"philox", PAVO_BRNG_PHILOX4X32X10, 1},
};
constexpr uint32_t kFamilyMask = 0xFFFFFu;  // the sub-generator bits of an identifier

uint32_t identifier_of(py::handle generator, uint32_t index) {
  if (py::isinstance<py::int_>(generator)) return generator.cast<uint32_t>() + index;
  const std::string name = generator.cast<std::string>();
  for (const GeneratorName& g : kGenerators) {
    if (name != g.name) continue;
    if (index >= g.members)
      throw py::value_error(name + " has " + std::to_string(g.members) + " members: index out of range");
    return g.identifier + index;
  }
  throw py::value_error("unknown generator \"" + name + "\" (zorn.random.generators() lists them)");
}

py::object name_of(uint32_t identifier) {
  for (const GeneratorName& g : kGenerators)
    if ((identifier & ~kFamilyMask) == g.identifier) return py::str(g.name);
  return py::int_(identifier);
}

// Seed words: an int of any size, cut into 32-bit words low first, or a sequence of words.
std::vector<uint32_t> seed_words(py::handle seed) {
  if (!py::isinstance<py::int_>(seed)) return seed.cast<std::vector<uint32_t>>();
  py::int_ rest = py::reinterpret_borrow<py::int_>(seed);
  if (rest < py::int_(0)) throw py::value_error("the seed must not be negative");
  std::vector<uint32_t> words;
  const py::int_ zero(0), shift(32), mask(0xFFFFFFFFu);
  do {
    words.push_back(py::int_(rest & mask).cast<uint32_t>());
    rest = py::int_(rest >> shift);
  } while (rest > zero);
  return words;
}

}  // namespace

PYBIND11_MODULE(_random, m) {
  m.doc() = "Random streams and distributions (see zorn.random)";
  py::class_<Stream> stream(m, "Stream", "A random stream of one generator");
  stream
      .def(py::init([](py::handle generator, py::handle seed, uint32_t index, py::object dimension) {
             std::vector<uint32_t> seeds = seed_words(seed);
             if (!dimension.is_none()) seeds.insert(seeds.begin(), dimension.cast<uint32_t>());
             return new Stream(identifier_of(generator, index), seeds);
           }),
           arg("generator") = "mt19937", arg("seed") = 0, py::kw_only(), arg("index") = 0,
           arg("dimension") = py::none(),
           "`generator` by name or identifier, `index` the member of a family (wh, mt2203), "
           "`dimension` of a quasi-random sequence (sobol, niederreiter), put before the seed words")
      .def_property_readonly("generator", [](const Stream& s) { return name_of(s.generator()); })
      .def_property_readonly("identifier", &Stream::generator)
      .def_property_readonly("index", [](const Stream& s) { return s.generator() & kFamilyMask; })
      .def_property_readonly("closed", &Stream::closed)
      .def("close", &Stream::close)
      .def("__enter__", [](py::object self) { return self; })
      .def("__exit__", [](Stream& s, py::args) { s.close(); })
      .def("copy", &Stream::copy)
      .def("__copy__", &Stream::copy)
      .def("__deepcopy__", [](const Stream& s, py::handle) { return s.copy(); })
      .def("skip_ahead", &Stream::skip_ahead, arg("n"))
      .def("leapfrog", &Stream::leapfrog, arg("k"), arg("nstreams"))
      .def("to_bytes", &Stream::to_bytes)
      .def_static("from_bytes", &Stream::from_bytes, arg("image"))
      .def("save", &Stream::save, arg("path"))
      .def_static("load", &Stream::load, arg("path"))
      .def(py::pickle([](const Stream& s) { return s.to_bytes(); },
                      [](const py::bytes& image) { return Stream::from_bytes(image); }))
      .def("__repr__", [](const Stream& s) {
        if (s.closed()) return std::string("<zorn.random.Stream (closed)>");
        return "<zorn.random.Stream " + py::str(name_of(s.generator())).cast<std::string>() +
               " index " + std::to_string(s.generator() & kFamilyMask) + ">";
      });
  zorn_python::define_distributions(stream);

  m.def("generators", [] {
    py::dict names;
    for (const GeneratorName& g : kGenerators)
      names[g.name] = py::make_tuple(g.identifier, g.members);
    return names;
  }, "name: (identifier, members of the family) of each built-in generator");
}
