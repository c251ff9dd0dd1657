#include "harness/arguments.h"

#include <cfloat>
#include <cmath>
#include <limits>

#include "harness/hard_cases.h"

namespace zorn_accuracy {
namespace {

using Cx = std::complex<double>;

// SplitMix64 (Steele, Lea, Flood 2014): a counter-based stream per sample index.
struct SplitMix {
  uint64_t state;
  uint64_t next() {
    uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  double uniform() { return static_cast<double>(next() >> 11) * 0x1p-53; }
};

uint64_t hash_name(std::string_view s, char type) {
  uint64_t h = 1469598103934665603ull;  // FNV-1a
  for (char ch : s) h = (h ^ static_cast<unsigned char>(ch)) * 1099511628211ull;
  return (h ^ static_cast<unsigned char>(type)) * 1099511628211ull;
}

double smallest_subnormal(char type) {
  return precision_of(type) == 24 ? std::numeric_limits<float>::denorm_min()
                                  : std::numeric_limits<double>::denorm_min();
}

double next_in_type(double x, double toward, char type) {
  if (precision_of(type) == 24) {
    return std::nextafter(static_cast<float>(x), static_cast<float>(toward));
  }
  return std::nextafter(x, toward);
}

// The values every function sees, for real arguments and for each complex part.
std::vector<double> generic_values(char type) {
  const bool single = precision_of(type) == 24;
  const double tiny = smallest_subnormal(type);
  const double normal = single ? FLT_MIN : DBL_MIN;
  const double big = single ? FLT_MAX : DBL_MAX;
  std::vector<double> v = {0.0, NAN, INFINITY, -INFINITY};
  for (double x : {tiny, normal - tiny, normal, 0.5, 1.0, 2.0, big}) {
    v.push_back(x);
    v.push_back(-x);
  }
  return v;
}

// A typical argument inside `range`, used beside hard values of the other argument.
double typical(const Range& range, char type) {
  if (range.lo <= 1.5 && 1.5 <= range.hi) return 1.5;
  return to_type(range.lo / 2 + range.hi / 2, type);
}

}  // namespace

// Not inlined: GCC 12 with the address sanitizer drops the rounding when this is inlined
// into ArgumentPlan::fill (the scalar then reaches the reference unrounded).
[[gnu::noinline]] double to_type(double x, char type) {
  return precision_of(type) == 24 ? static_cast<double>(static_cast<float>(x)) : x;
}

double sample_range(const Range& range, char type, bool log_uniform, double u, double v) {
  double x;
  if (!log_uniform) {
    x = range.lo * (1 - u) + range.hi * u;  // no overflow for the full range
  } else {
    const double tiny = smallest_subnormal(type);
    bool negative;
    double mlo, mhi;
    if (range.lo < 0 && range.hi > 0) {
      negative = v < 0.5;
      mlo = tiny;
      mhi = negative ? -range.lo : range.hi;
    } else if (range.lo >= 0) {
      negative = false;
      mlo = std::fmax(range.lo, tiny);
      mhi = range.hi;
    } else {
      negative = true;
      mlo = std::fmax(-range.hi, tiny);
      mhi = -range.lo;
    }
    const double l0 = std::log2(mlo), l1 = std::log2(mhi);
    const double m = std::exp2(l0 + (l1 - l0) * u);
    x = negative ? -m : m;
  }
  x = to_type(x, type);
  if (x < range.lo) x = to_type(range.lo, type) < range.lo ? next_in_type(range.lo, INFINITY, type)
                                                           : to_type(range.lo, type);
  if (x > range.hi) x = to_type(range.hi, type) > range.hi ? next_in_type(range.hi, -INFINITY, type)
                                                           : to_type(range.hi, type);
  return x;
}

std::vector<double> hard_reals(std::string_view func, const Range& range, char type) {
  std::vector<double> out = generic_values(type);
  std::vector<double> centres = hard_values(func);
  centres.push_back(range.lo);
  centres.push_back(range.hi);
  for (double c : centres) {
    const double x = to_type(c, type);
    out.push_back(x);
    if (!std::isfinite(x)) continue;
    double up = x, down = x;
    for (int k = 0; k < 2; ++k) {
      up = next_in_type(up, INFINITY, type);
      down = next_in_type(down, -INFINITY, type);
      out.push_back(up);
      out.push_back(down);
    }
  }
  return out;
}

ArgumentPlan::ArgumentPlan(const Domain& domain, char type, Shape shape, int64_t random_samples)
    : domain_(domain),
      type_(type),
      shape_(shape),
      random_samples_(random_samples),
      seed_(hash_name(domain.func, type)) {
  const bool complex_args = is_complex_type(type) && shape != Shape::kCis;
  const bool two = shape == Shape::kTwo || shape == Shape::kLinearFrac;
  const Range ra = argument_range(domain, type, false), rb = argument_range(domain, type, true);
  if (complex_args) {
    // Finite parts only: the special values of complex functions (C99 Annex G
    // conventions for infinite and NaN parts) are beyond the composed references and
    // are checked by the kernels' own special-value tests.
    std::vector<double> parts = generic_values(type);
    std::erase_if(parts, [](double x) { return !std::isfinite(x); });
    const Cx other(1.5, 0.5);
    for (double re : parts) {
      for (double im : parts) {
        hard_.push_back({Cx(re, im), other});
        if (two) hard_.push_back({other, Cx(re, im)});
      }
    }
    for (double h : hard_reals(domain.func, ra, type)) {
      if (std::isfinite(h)) hard_.push_back({Cx(h, 0), other});
    }
    std::vector<Cx> cases = complex_cases();
    const std::vector<Cx> own = complex_hard_values(domain.func);
    cases.insert(cases.end(), own.begin(), own.end());
    for (Cx z : cases) {
      const Cx typed(to_type(z.real(), type), to_type(z.imag(), type));
      if (!std::isfinite(typed.real()) || !std::isfinite(typed.imag())) continue;
      hard_.push_back({typed, other});
      if (two) hard_.push_back({other, typed});
    }
    return;
  }
  for (double h : hard_reals(domain.func, ra, type)) hard_.push_back({h, typical(rb, type)});
  if (!two) return;
  for (double h : hard_reals(domain.func, rb, type)) hard_.push_back({typical(ra, type), h});
  const std::vector<double> generic = generic_values(type);
  for (double x : generic) {
    for (double y : generic) hard_.push_back({x, y});
  }
  for (auto [x, y] : hard_pairs(domain.func)) {
    hard_.push_back({to_type(x, type), to_type(y, type)});
  }
}

Argument ArgumentPlan::random_argument(int64_t index) const {
  SplitMix g{seed_ ^ (static_cast<uint64_t>(index) * 0xD1B54A32D192ED03ull)};
  auto draw = [&](const Range& r) {
    const bool log_uniform = (g.next() & 1) != 0;
    const double u = g.uniform(), v = g.uniform();
    return sample_range(r, type_, log_uniform, u, v);
  };
  const Range ra = argument_range(domain_, type_, false), rb = argument_range(domain_, type_, true);
  if (is_complex_type(type_) && shape_ != Shape::kCis) {
    const Cx a(draw(ra), draw(ra));
    return {a, Cx(draw(rb), draw(rb))};
  }
  const double a = draw(ra);
  return {a, draw(rb)};
}

void ArgumentPlan::fill(int64_t begin, int64_t count, std::complex<double> scalar,
                        std::vector<Argument>& out) const {
  out.resize(static_cast<size_t>(count));
  const bool scalar_shape = shape_ == Shape::kPowx || shape_ == Shape::kOrder;
  // The kernel receives the scalar in its own type: the reference takes the same value.
  const Cx typed_scalar(to_type(scalar.real(), type_), to_type(scalar.imag(), type_));
  for (int64_t k = 0; k < count; ++k) {
    const int64_t i = begin + k;
    out[k] = i < hard_count() ? hard_[i] : random_argument(i - hard_count());
    if (scalar_shape) out[k].b = typed_scalar;
  }
}

std::complex<double> chunk_scalar(Shape shape, bool complex_type, int64_t chunk) {
  if (shape == Shape::kOrder) {
    static constexpr double kOrders[] = {3, 0, 1, 2, 5, 10, 30};
    return kOrders[chunk % std::size(kOrders)];
  }
  if (complex_type) {
    static const Cx kExponents[] = {{2.5, 0.5}, {-1.3, 0.2}, {0.5, 0}, {3, 0}, {0.75, -1.25}};
    return kExponents[chunk % std::size(kExponents)];
  }
  static constexpr double kExponents[] = {2.5, -1.3, 0.5, -0.5, 1.5, -1, 2, 3, 1.0 / 3,
                                          7.25, -4.5, 1, 0, 0.1, 17.5};
  return kExponents[chunk % std::size(kExponents)];
}

}  // namespace zorn_accuracy
