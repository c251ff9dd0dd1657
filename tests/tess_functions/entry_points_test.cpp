// Calls every entry point of every function table on ordinary arguments from the
// function's domain in the catalogue and compares each element with the catalogue's
// MPFR reference, within the catalogue's bound for the entry's slot, so that no name is
// wired to the wrong function, type, shape or slot. (Special values and statuses:
// special_values_test.cpp.)
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <set>
#include <type_traits>

#include "entry_call.h"
#include "harness/bounds.h"
#include "harness/domains.h"
#include "harness/mpfr_reference.h"
#include "table_catalogue.h"

namespace zorn_test {
namespace {

using zorn_accuracy::LongComplex;
using zorn_accuracy::mpfr_reference;
using zorn_accuracy::Operands;
using zorn_accuracy::ulp_error;

// ---- element types ----
template <class E> struct Traits;
template <> struct Traits<float> {
  using Real = float;
  static constexpr int kPrecision = 24;
  static float make(std::complex<double> v) { return static_cast<float>(v.real()); }
  static LongComplex widen(float x) { return {x, 0.0L}; }
};
template <> struct Traits<double> {
  using Real = double;
  static constexpr int kPrecision = 53;
  static double make(std::complex<double> v) { return v.real(); }
  static LongComplex widen(double x) { return {x, 0.0L}; }
};
template <> struct Traits<TessComplex8> {
  using Real = float;
  static constexpr int kPrecision = 24;
  static TessComplex8 make(std::complex<double> v) {
    return {static_cast<float>(v.real()), static_cast<float>(v.imag())};
  }
  static LongComplex widen(TessComplex8 x) { return {x.re, x.im}; }
};
template <> struct Traits<TessComplex16> {
  using Real = double;
  static constexpr int kPrecision = 53;
  static TessComplex16 make(std::complex<double> v) { return {v.real(), v.imag()}; }
  static LongComplex widen(TessComplex16 x) { return {x.re, x.im}; }
};

// ---- per-element reports, collected by a callback that handles every element ----
thread_local std::vector<std::pair<int32_t, int32_t>> g_reports;  // (index, status)
int32_t record_report(TessErrorContext* context) {
  g_reports.emplace_back(context->index, context->status);
  return 1;
}

struct Case {
  std::complex<double> a, b;
};

// A strided vector of `count` elements with increment `inc`, whose gaps hold a
// sentinel that a correct kernel never overwrites.
template <class T>
struct Buffer {
  std::vector<T> data;
  int32_t inc;
  Buffer(size_t count, int32_t increment) : data(count * increment + 1), inc(increment) {
    std::memset(data.data(), 0x5A, data.size() * sizeof(T));
  }
  T& operator[](size_t i) { return data[i * inc]; }
  T* ptr() { return data.data(); }
  bool gaps_untouched(size_t count) const {
    unsigned char sentinel[sizeof(T)];
    std::memset(sentinel, 0x5A, sizeof sentinel);
    for (size_t k = 0; k < data.size(); ++k) {
      const bool element = k % inc == 0 && k / inc < count;
      if (!element && std::memcmp(&data[k], sentinel, sizeof(T)) != 0) return false;
    }
    return true;
  }
};

struct Outcome {
  std::vector<LongComplex> a, b;  // the arguments as the kernel read them
  std::vector<LongComplex> r1, r2;
  std::vector<std::pair<int32_t, int32_t>> reports;
  bool gaps_untouched = true;
};

template <class E>
Outcome run_cases(const TableEntry& t, TessKernel fn, const std::vector<Case>& cases,
                  bool unit_increments = false) {
  using R = typename Traits<E>::Real;
  const int32_t n = static_cast<int32_t>(cases.size());
  const bool s = t.strided && !unit_increments;
  Buffer<E> a(n, s ? 2 : 1), b(n, s ? 3 : 1), r1(n, s ? 2 : 1), r2(n, s ? 3 : 1);
  Buffer<R> ar(n, s ? 2 : 1), rr(n, s ? 2 : 1);
  for (int32_t i = 0; i < n; ++i) {
    a[i] = Traits<E>::make(cases[i].a);
    b[i] = Traits<E>::make(cases[i].b);
    ar[i] = static_cast<R>(cases[i].a.real());
  }
  EntryOperands<E> o;
  o.a = a.ptr(), o.inca = a.inc, o.b = b.ptr(), o.incb = b.inc;
  o.r1 = r1.ptr(), o.incr1 = r1.inc, o.r2 = r2.ptr(), o.incr2 = r2.inc;
  o.real_a = ar.ptr(), o.real_r = rr.ptr();
  o.scalar = Traits<E>::make(t.shape == Shape::ORDER ? kBesselOrder
                             : kIsComplex<E>       ? kPowxComplexExponent
                                                   : kPowxExponent);
  for (int k = 0; k < 4; ++k) o.linear_frac[k] = Traits<E>::make(kLinearFracParams[k]);
  g_reports.clear();
  Outcome out;
  call_entry<E>(t.shape, t.strided, fn, n, o);
  out.reports = g_reports;
  const bool real_result = t.shape == Shape::TO_REAL;
  for (int32_t i = 0; i < n; ++i) {
    out.a.push_back(Traits<E>::widen(a[i]));
    out.b.push_back(Traits<E>::widen(b[i]));
    out.r1.push_back(real_result ? LongComplex(rr[i], 0) : Traits<E>::widen(r1[i]));
    if (t.shape == Shape::ONE_TWO) out.r2.push_back(Traits<E>::widen(r2[i]));
  }
  out.gaps_untouched = (real_result ? rr.gaps_untouched(n) : r1.gaps_untouched(n)) &&
                       (t.shape != Shape::ONE_TWO || r2.gaps_untouched(n));
  return out;
}

// Seven arguments (a group of four and a partial group of three) inside the catalogue's
// domain of the function for the table's type (both parts of a complex argument), where
// every function of the list is ordinary: no status, finite results.
std::vector<Case> ordinary_cases(const TableEntry& t) {
  static constexpr double kCandidates[] = {0.3, -0.7, 1.7, 2.25, -1.7, 0.001, 3.75, 0.9, 5.2};
  const auto domain = zorn_accuracy::domain_of(t.func);
  if (!domain) return {};
  auto inside = [&](bool second) {
    const zorn_accuracy::Range r = zorn_accuracy::argument_range(*domain, t.type, second);
    std::vector<double> v;
    for (double x : kCandidates)
      if (x >= r.lo && x <= r.hi) v.push_back(x);
    return v;
  };
  const std::vector<double> as = inside(false), bs = inside(true);
  std::vector<Case> cases;
  const bool complex_args = (t.type == 'c' || t.type == 'z') && t.shape != Shape::CIS;
  for (size_t i = 0; i < 7 && !as.empty() && !bs.empty(); ++i) {
    const size_t h = i % as.size(), j = (i + 1) % as.size(), k = (i + 2) % bs.size();
    cases.push_back(complex_args ? Case{{as[h], as[j]}, {bs[k], bs[(k + 1) % bs.size()]}}
                                 : Case{as[h], bs[k]});
  }
  return cases;
}

constexpr int kSlotOfEntry[4] = {1, 1, 0, 2};

template <class E>
void check_table(const TableEntry& t) {
  const std::vector<Case> cases = ordinary_cases(t);
  ASSERT_EQ(cases.size(), 7u) << "no ordinary argument in the domain of " << t.func;
  const bool complex_type = kIsComplex<E>;
  const int precision = Traits<E>::kPrecision;
  for (int e = 0; e < 4; ++e) {
    SCOPED_TRACE(std::string("table ") + t.type + t.name + ", entry " + std::to_string(e));
    const auto bound = zorn_accuracy::bound_for(t.func, t.type, kSlotOfEntry[e]);
    ASSERT_TRUE(bound.has_value());
    const Outcome out = run_cases<E>(t, t.entries[e], cases);
    EXPECT_TRUE(out.gaps_untouched) << "a result was written outside its elements";
    EXPECT_TRUE(out.reports.empty()) << "an ordinary argument reported a status";
    for (size_t i = 0; i < cases.size(); ++i) {
      Operands o;
      // The reference reads the arguments from the buffers the kernel read. (Rounding
      // cases[i] again here gave the unrounded complex float argument in some builds.)
      o.a = std::complex<double>(static_cast<double>(out.a[i].real()), static_cast<double>(out.a[i].imag()));
      o.b = std::complex<double>(static_cast<double>(out.b[i].real()), static_cast<double>(out.b[i].imag()));
      if (t.shape == Shape::POWX) {
        o.b = Traits<E>::widen(Traits<E>::make(complex_type ? kPowxComplexExponent
                                                              : kPowxExponent));
      }
      if (t.shape == Shape::ORDER) o.b = kBesselOrder;
      if (t.shape == Shape::CIS) o.a = static_cast<typename Traits<E>::Real>(cases[i].a.real());
      std::copy(kLinearFracParams, kLinearFracParams + 4, o.params);
      const auto ref =
          mpfr_reference(t.func, complex_type, o, precision, static_cast<double>(out.r1[i].real()));
      ASSERT_TRUE(ref.has_value()) << "no reference for " << t.func;
      const bool real_result = t.shape == Shape::TO_REAL || !complex_type;
      double err = real_result ? ulp_error(out.r1[i].real(), ref->r1.real(), precision)
                               : ulp_error(out.r1[i], ref->r1, precision);
      if (t.shape == Shape::ONE_TWO) {
        err = std::max(err, ulp_error(out.r2[i].real(), ref->r2.real(), precision));
      }
      EXPECT_LE(err, *bound) << t.func << " element " << i << " a=" << cases[i].a
                             << " b=" << cases[i].b << " got " << out.r1[i] << " want "
                             << ref->r1;
    }
  }
}

class EntryPoints : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_mode_ = _tessGetMode();
    saved_callback_ = _tessSetErrorCallBack(record_report);
    _tessSetMode(TESS_ERRMODE_CALLBACK);
  }
  void TearDown() override {
    _tessSetErrorCallBack(saved_callback_);
    _tessSetMode(saved_mode_);
    _tessClearErrStatus();
  }
  uint32_t saved_mode_ = 0;
  TessErrorCallBack saved_callback_ = nullptr;
};

bool is_pack(Shape s) { return s >= Shape::PACK_I; }

TEST_F(EntryPoints, EveryValueEntryPointMatchesTheReferenceWithinItsSlotsBound) {
  int tables = 0;
  for (const TableEntry& t : table_catalogue()) {
    if (is_pack(t.shape)) continue;
    ++tables;
    switch (t.type) {
      case 's': check_table<float>(t); break;
      case 'd': check_table<double>(t); break;
      case 'c': check_table<TessComplex8>(t); break;
      case 'z': check_table<TessComplex16>(t); break;
    }
  }
  EXPECT_EQ(tables, 480 - 24);
}

// A strided call with unit increments gives, bit for bit, what the contiguous kernel of
// the same slot gives (the frame hands it to that kernel through the table).
template <class E>
void check_unit_strides(const TableEntry& strided, const TableEntry& contiguous) {
  const std::vector<Case> cases = ordinary_cases(contiguous);
  for (int e = 0; e < 4; ++e) {
    const Outcome a = run_cases<E>(strided, strided.entries[e], cases, true);
    const Outcome b = run_cases<E>(contiguous, contiguous.entries[e], cases);
    auto same = [](LongComplex x, LongComplex y) {
      auto part = [](long double u, long double v) {
        return (std::isnan(u) && std::isnan(v)) || (u == v && std::signbit(u) == std::signbit(v));
      };
      return part(x.real(), y.real()) && part(x.imag(), y.imag());
    };
    for (size_t i = 0; i < cases.size(); ++i) {
      EXPECT_TRUE(same(a.r1[i], b.r1[i]) && (a.r2.empty() || same(a.r2[i], b.r2[i])))
          << strided.type << strided.name << " entry " << e << " element " << i;
    }
  }
}

TEST_F(EntryPoints, UnitStridesGiveTheContiguousKernelOfTheSameSlot) {
  const auto& all = table_catalogue();
  for (const TableEntry& t : all) {
    if (!t.strided) continue;
    const auto c = std::find_if(all.begin(), all.end(), [&](const TableEntry& u) {
      return !u.strided && u.type == t.type && u.func == t.func;
    });
    ASSERT_NE(c, all.end());
    switch (t.type) {
      case 's': check_unit_strides<float>(t, *c); break;
      case 'd': check_unit_strides<double>(t, *c); break;
      case 'c': check_unit_strides<TessComplex8>(t, *c); break;
      case 'z': check_unit_strides<TessComplex16>(t, *c); break;
    }
  }
}

}  // namespace
}  // namespace zorn_test
