#include "distributions.h"

#include <pybind11/numpy.h>
#include <pybind11/stl.h>

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <utility>

#include "status_errors.h"
#include "zorn/pavo.h"

namespace py = pybind11;
using py::arg;

namespace zorn_python {
namespace {

// Generators take int32 counts: larger requests are drawn in portions of this size,
// which gives the same values as one call of the whole count.
constexpr int64_t kPortion = int64_t{1} << 30;

// The result's shape: `size` is None (one value, returned as a numpy scalar), an int or
// a tuple of ints; `trailing` is appended (the dimension of a multivariate draw).
std::vector<py::ssize_t> shape_of(py::handle size, py::ssize_t trailing = 0) {
  std::vector<py::ssize_t> shape;
  if (py::isinstance<py::int_>(size)) {
    shape.push_back(size.cast<py::ssize_t>());
  } else if (!size.is_none()) {
    shape = size.cast<std::vector<py::ssize_t>>();
  }
  for (py::ssize_t d : shape)
    if (d < 0) throw py::value_error("size must not be negative");
  if (trailing > 0) shape.push_back(trailing);
  return shape;
}

py::object finish(py::array result, py::handle size) {
  if (size.is_none() && result.ndim() == 0) return result[py::tuple()];
  return result;
}

void require(bool holds, const char* where, const char* what) {
  if (!holds) throw py::value_error(std::string(where) + ": " + what);
}

// `size` draws of the generator g with parameters p..., each of `trailing` values of
// type T (a vector of a multivariate draw, the words of a wide raw output) or, for
// trailing = 0, of one value.
template <class T, class G, class... P>
py::object draw_vectors(Stream& s, const char* where, G g, int32_t method, py::handle size,
                        py::ssize_t trailing, P... p) {
  py::array_t<T> result(shape_of(size, trailing));
  T* r = result.mutable_data();
  void* stream = s.get(where);
  const int64_t per = std::max<int64_t>(trailing, 1), draws = result.size() / per;
  for (int64_t start = 0; start < draws; start += kPortion / per) {
    const auto m = static_cast<int32_t>(std::min(kPortion / per, draws - start));
    throw_if_error(Service::random, g(method, stream, m, r + start * per, p...), where);
  }
  return finish(result, size);
}

template <class T, class G, class... P>
py::object draw(Stream& s, const char* where, G g, int32_t method, py::handle size, P... p) {
  return draw_vectors<T>(s, where, g, method, size, 0, p...);
}

bool single(py::handle dtype) {
  const int num = py::dtype::from_args(py::reinterpret_borrow<py::object>(dtype)).num();
  if (num == py::dtype::of<float>().num()) return true;
  if (num == py::dtype::of<double>().num()) return false;
  throw py::type_error("dtype must be float32 or float64");
}

// The float32 or float64 generator of a real distribution, by `dtype`.
template <class GS, class GD, class... P>
py::object draw_real(Stream& s, const char* where, GS gs, GD gd, py::handle dtype,
                     int32_t method, py::handle size, P... p) {
  if (single(dtype)) return draw<float>(s, where, gs, method, size, static_cast<float>(p)...);
  return draw<double>(s, where, gd, method, size, p...);
}

int32_t method_of(const char* where, const std::string& name,
                  std::initializer_list<std::pair<const char*, int32_t>> methods) {
  for (const auto& [key, value] : methods)
    if (name == key) return value;
  std::string known;
  for (const auto& m : methods) known += std::string(known.empty() ? "" : ", ") + m.first;
  throw py::value_error(std::string(where) + ": method must be one of " + known);
}

int32_t accurate_flag(bool accurate) { return accurate ? PAVO_METHOD_ACCURATE : 0; }

bool positive(double x) { return x > 0; }  // false for NaN
bool probability(double p) { return p >= 0 && p <= 1; }

// The keyword arguments every real distribution ends with.
const auto kAccurate = (arg("accurate") = false);
const auto kDtype = (arg("dtype") = py::dtype::of<double>());

// Continuous distributions whose parameters are a displacement and a scale.
using LocationScale = int32_t (*)(int32_t, void*, int32_t, double*, double, double);
using LocationScaleSingle = int32_t (*)(int32_t, void*, int32_t, float*, float, float);
void define_location_scale(py::class_<Stream>& c, const char* name, const char* where,
                           LocationScaleSingle gs, LocationScale gd, const char* doc) {
  c.def(name, [=](Stream& s, py::handle size, double a, double beta, bool accurate, py::handle dtype) {
    require(std::isfinite(a), where, "displacement must be finite");
    require(positive(beta) && std::isfinite(beta), where, "scale must be positive");
    return draw_real(s, where, gs, gd, dtype, accurate_flag(accurate), size, a, beta);
  }, arg("size") = py::none(), arg("displacement") = 0.0, arg("scale") = 1.0, py::kw_only(),
        kAccurate, kDtype, doc);
}

}  // namespace

void define_distributions(py::class_<Stream>& c) {
  define_location_scale(c, "exponential", "zorn.random.Stream.exponential", _pavosRngExponential,
                        _pavodRngExponential, "displacement - scale ln(u)");
  define_location_scale(c, "laplace", "zorn.random.Stream.laplace", _pavosRngLaplace,
                        _pavodRngLaplace, "Laplace of mean `displacement`");
  define_location_scale(c, "cauchy", "zorn.random.Stream.cauchy", _pavosRngCauchy,
                        _pavodRngCauchy, "displacement + scale tan(v)");
  define_location_scale(c, "rayleigh", "zorn.random.Stream.rayleigh", _pavosRngRayleigh,
                        _pavodRngRayleigh, "displacement + scale sqrt(-ln u)");
  define_location_scale(c, "gumbel", "zorn.random.Stream.gumbel", _pavosRngGumbel,
                        _pavodRngGumbel, "displacement + scale ln(-ln u)");

  c.def("uniform", [](Stream& s, py::handle size, double low, double high, bool accurate, py::handle dtype) {
    const char* where = "zorn.random.Stream.uniform";
    require(low < high && std::isfinite(high - low), where, "low < high, both finite");
    return draw_real(s, where, _pavosRngUniform, _pavodRngUniform, dtype, accurate_flag(accurate),
                     size, low, high);
  }, arg("size") = py::none(), arg("low") = 0.0, arg("high") = 1.0, py::kw_only(), kAccurate, kDtype,
        "uniform on [low, high)");

  c.def("gaussian", [](Stream& s, py::handle size, double mean, double sigma, const std::string& method,
                       py::handle dtype) {
    const char* where = "zorn.random.Stream.gaussian";
    require(std::isfinite(mean), where, "mean must be finite");
    require(positive(sigma) && std::isfinite(sigma), where, "sigma must be positive");
    const int32_t m = method_of(where, method, {{"icdf", PAVO_GAUSSIAN_ICDF},
                                                {"box_muller", PAVO_GAUSSIAN_BOX_MULLER},
                                                {"box_muller2", PAVO_GAUSSIAN_BOX_MULLER2}});
    return draw_real(s, where, _pavosRngGaussian, _pavodRngGaussian, dtype, m, size, mean, sigma);
  }, arg("size") = py::none(), arg("mean") = 0.0, arg("sigma") = 1.0, py::kw_only(),
        arg("method") = "icdf", kDtype, "normal N(mean, sigma)");

  c.def("lognormal", [](Stream& s, py::handle size, double mean, double sigma, double displacement,
                        double scale, const std::string& method, py::handle dtype) {
    const char* where = "zorn.random.Stream.lognormal";
    require(std::isfinite(mean) && std::isfinite(displacement), where, "mean and displacement must be finite");
    require(positive(sigma) && positive(scale), where, "sigma and scale must be positive");
    const int32_t m = method_of(where, method, {{"box_muller2", 0}, {"icdf", 1}});
    return draw_real(s, where, _pavosRngLognormal, _pavodRngLognormal, dtype, m, size, mean, sigma,
                     displacement, scale);
  }, arg("size") = py::none(), arg("mean") = 0.0, arg("sigma") = 1.0, arg("displacement") = 0.0,
        arg("scale") = 1.0, py::kw_only(), arg("method") = "box_muller2", kDtype,
        "displacement + scale exp(N(mean, sigma))");

  c.def("weibull", [](Stream& s, py::handle size, double shape, double displacement, double scale,
                      bool accurate, py::handle dtype) {
    const char* where = "zorn.random.Stream.weibull";
    require(positive(shape) && positive(scale) && std::isfinite(displacement), where,
            "shape and scale must be positive, displacement finite");
    return draw_real(s, where, _pavosRngWeibull, _pavodRngWeibull, dtype, accurate_flag(accurate),
                     size, shape, displacement, scale);
  }, arg("size") = py::none(), arg("shape") = 1.0, arg("displacement") = 0.0, arg("scale") = 1.0,
        py::kw_only(), kAccurate, kDtype, "displacement + scale (-ln u)^(1/shape)");

  c.def("gamma", [](Stream& s, py::handle size, double shape, double displacement, double scale,
                    bool accurate, py::handle dtype) {
    const char* where = "zorn.random.Stream.gamma";
    require(positive(shape) && positive(scale) && std::isfinite(displacement), where,
            "shape and scale must be positive, displacement finite");
    return draw_real(s, where, _pavosRngGamma, _pavodRngGamma, dtype, accurate_flag(accurate), size,
                     shape, displacement, scale);
  }, arg("size") = py::none(), arg("shape") = 1.0, arg("displacement") = 0.0, arg("scale") = 1.0,
        py::kw_only(), kAccurate, kDtype, "displacement + scale Gamma(shape)");

  c.def("beta", [](Stream& s, py::handle size, double p, double q, double displacement, double scale,
                   bool accurate, py::handle dtype) {
    const char* where = "zorn.random.Stream.beta";
    require(positive(p) && positive(q) && positive(scale) && std::isfinite(displacement), where,
            "p, q and scale must be positive, displacement finite");
    return draw_real(s, where, _pavosRngBeta, _pavodRngBeta, dtype, accurate_flag(accurate), size, p,
                     q, displacement, scale);
  }, arg("size") = py::none(), arg("p") = 1.0, arg("q") = 1.0, arg("displacement") = 0.0,
        arg("scale") = 1.0, py::kw_only(), kAccurate, kDtype, "displacement + scale Beta(p, q)");

  c.def("chisquare", [](Stream& s, py::handle size, int32_t df, py::handle dtype) {
    const char* where = "zorn.random.Stream.chisquare";
    require(df >= 1, where, "df must be at least 1");
    return draw_real(s, where, _pavosRngChiSquare, _pavodRngChiSquare, dtype, 0, size, df);
  }, arg("size") = py::none(), arg("df") = 1, py::kw_only(), kDtype, "chi-square with df degrees of freedom");

  c.def("gaussian_mv", [](Stream& s, py::handle size, py::array_t<double, py::array::c_style | py::array::forcecast> mean,
                          py::array_t<double, py::array::c_style | py::array::forcecast> factor,
                          const std::string& storage, const std::string& method) {
    const char* where = "zorn.random.Stream.gaussian_mv";
    require(mean.ndim() == 1 && mean.size() >= 1 && mean.size() <= INT32_MAX, where, "mean must be a vector");
    const auto d = static_cast<int32_t>(mean.size());
    const int32_t kind = method_of(where, storage, {{"full", PAVO_MATRIX_FULL},
                                                    {"packed", PAVO_MATRIX_PACKED},
                                                    {"diagonal", PAVO_MATRIX_DIAGONAL}});
    const py::ssize_t want = kind == PAVO_MATRIX_FULL ? py::ssize_t{d} * d
                             : kind == PAVO_MATRIX_PACKED ? py::ssize_t{d} * (d + 1) / 2 : d;
    require(factor.size() == want && (kind != PAVO_MATRIX_FULL || factor.ndim() == 2), where,
            "factor must be d x d (full), d(d+1)/2 (packed) or d (diagonal) values");
    const int32_t m = method_of(where, method, {{"icdf", PAVO_GAUSSIAN_ICDF},
                                                {"box_muller", PAVO_GAUSSIAN_BOX_MULLER},
                                                {"box_muller2", PAVO_GAUSSIAN_BOX_MULLER2}});
    return draw_vectors<double>(s, where, _pavodRngGaussianMV, m, size, d, d, kind, mean.data(),
                                factor.data());
  }, arg("size"), arg("mean"), arg("factor"), py::kw_only(), arg("storage") = "full",
        arg("method") = "icdf", "mean + L z, L the lower-triangular factor of the covariance");

  c.def("integers", [](Stream& s, py::handle size, int32_t low, int32_t high) {
    const char* where = "zorn.random.Stream.integers";
    require(low < high, where, "low < high");
    return draw<int32_t>(s, where, _pavoiRngUniform, 0, size, low, high);
  }, arg("size") = py::none(), arg("low") = 0, arg("high") = 2, "int32 uniform on low <= x < high");

  c.def("bernoulli", [](Stream& s, py::handle size, double p) {
    const char* where = "zorn.random.Stream.bernoulli";
    require(probability(p), where, "p must lie in [0, 1]");
    return draw<int32_t>(s, where, _pavoiRngBernoulli, 0, size, p);
  }, arg("size") = py::none(), arg("p") = 0.5, "1 with probability p, else 0");

  c.def("geometric", [](Stream& s, py::handle size, double p) {
    const char* where = "zorn.random.Stream.geometric";
    require(p > 0 && p < 1, where, "p must lie in (0, 1)");
    return draw<int32_t>(s, where, _pavoiRngGeometric, 0, size, p);
  }, arg("size") = py::none(), arg("p") = 0.5, "failures before the first success");

  c.def("poisson", [](Stream& s, py::handle size, double lam, const std::string& method) {
    const char* where = "zorn.random.Stream.poisson";
    require(positive(lam) && lam < 1e9, where, "lam must lie in (0, 1e9)");
    const int32_t m = method_of(where, method, {{"exact", PAVO_POISSON_EXACT},
                                                {"normal_approximation", PAVO_POISSON_NORMAL_APPROXIMATION}});
    return draw<int32_t>(s, where, _pavoiRngPoisson, m, size, lam);
  }, arg("size") = py::none(), arg("lam") = 1.0, py::kw_only(), arg("method") = "exact",
        "Poisson counts of mean lam");

  c.def("bits", [](Stream& s, py::handle size) {
    const char* where = "zorn.random.Stream.bits";
    PavoBrngProperties properties{};
    throw_if_error(Service::random, __pavoGetBrngProperties(s.generator(), &properties), where);
    const int32_t words = properties.word_size / 4;
    return draw_vectors<uint32_t>(s, where, _pavoiRngUniformBits, 0, size, words > 1 ? words : 0);
  }, arg("size") = py::none(),
     "the generator's raw output words; words wider than 32 bits as rows of 32-bit parts");
  c.def("bits32", [](Stream& s, py::handle size) {
    return draw<uint32_t>(s, "zorn.random.Stream.bits32", _pavoiRngUniformBits32, 0, size);
  }, arg("size") = py::none(), "uniformly distributed 32-bit words");
  c.def("bits64", [](Stream& s, py::handle size) {
    return draw<uint64_t>(s, "zorn.random.Stream.bits64", _pavoiRngUniformBits64, 0, size);
  }, arg("size") = py::none(), "uniformly distributed 64-bit words");
}

}  // namespace zorn_python
