#include "report.h"

#include <cmath>
#include <cstdio>

#include "harness/bounds.h"

namespace zorn_accuracy {
namespace {

bool has_second_argument(Shape s) {
  return s == Shape::kTwo || s == Shape::kPowx || s == Shape::kOrder || s == Shape::kLinearFrac;
}

// A value printed with enough digits to identify it in its type.
std::string number(long double x, char type) {
  char buf[64];
  std::snprintf(buf, sizeof buf, precision_of(type) == 24 ? "%.9Lg" : "%.17Lg", x);
  return buf;
}
std::string number(LongComplex z, char type, bool complex_value) {
  if (!complex_value) return number(z.real(), type);
  char buf[96];
  std::snprintf(buf, sizeof buf, precision_of(type) == 24 ? "(%.9Lg,%.9Lg)" : "(%.17Lg,%.17Lg)",
                z.real(), z.imag());
  return buf;
}

std::string argument_text(const KernelJob& job, const Worst& w) {
  const bool complex_args = is_complex_type(job.table.type) && job.table.shape != Shape::kCis;
  const std::string a =
      number(LongComplex(w.arg.a.real(), w.arg.a.imag()), job.table.type, complex_args);
  if (!has_second_argument(job.table.shape)) return a;
  const bool complex_b = complex_args && job.table.shape != Shape::kOrder;
  const std::string b =
      number(LongComplex(w.arg.b.real(), w.arg.b.imag()), job.table.type, complex_b);
  char buf[256];
  std::snprintf(buf, sizeof buf, "%s %s", a.c_str(), b.c_str());
  return buf;
}

std::string ulp_text(double ulp) {
  char buf[32];
  if (std::isinf(ulp)) return "inf";
  std::snprintf(buf, sizeof buf, "%.3f", ulp);
  return buf;
}

bool exceeds(const std::optional<double>& bound, const Worst& w) {
  return !bound || w.index < 0 || !(w.ulp <= *bound);
}

std::string worst_text(const KernelJob& job, const Worst& w) {
  const bool complex_result = has_complex_result(job.table);
  return argument_text(job, w) + " -> " + number(w.computed, job.table.type, complex_result) +
         " / " + number(w.reference, job.table.type, complex_result);
}

constexpr const char* kPartNames[2] = {"real", "imaginary"};

}  // namespace

bool has_complex_result(const KernelTable& table) {
  return is_complex_type(table.type) && table.shape != Shape::kToReal;
}

std::string slot_list(unsigned slot_mask) {
  std::string s;
  for (int k = 0; k < kSlotCount; ++k) {
    if ((slot_mask & (1u << k)) == 0) continue;
    if (!s.empty()) s += "/";
    s += kSlotNames[k];
  }
  return s;
}

bool exceeds_bound(const KernelJob& job) {
  if (job.result.count == 0 || exceeds(job.bound, job.result.worst)) return true;
  return has_complex_result(job.table) && exceeds(job.part_bound, job.result.part);
}

void print_header() {
  std::printf("%-11s %-4s %-9s %10s %9s %6s %9s %6s %7s  %s\n", "function", "type", "slots",
              "arguments", "max ulp", "bound", "part ulp", "bound", "seconds",
              "argument -> computed / exact (complex: normwise, then the worst part)");
}

void print_row(const KernelJob& job) {
  const Worst& w = job.result.worst;
  const bool complex_result = has_complex_result(job.table);
  const std::string bound = job.bound ? ulp_text(*job.bound) : "none";
  std::string part_ulp = "-", part_bound = "-";
  if (complex_result) {
    part_ulp = job.result.part.index < 0 ? "none" : ulp_text(job.result.part.ulp);
    part_bound = job.part_bound ? ulp_text(*job.part_bound) : "none";
  }
  std::printf("%-11.*s %-4c %-9s %10lld %9s %6s %9s %6s %7.1f  %s%s\n",
              static_cast<int>(job.table.func.size()), job.table.func.data(), job.table.type,
              slot_list(job.slot_mask).c_str(), static_cast<long long>(job.result.count),
              ulp_text(w.ulp).c_str(), bound.c_str(), part_ulp.c_str(), part_bound.c_str(),
              job.seconds, worst_text(job, w).c_str(), exceeds_bound(job) ? "  ABOVE BOUND" : "");
  if (complex_result && job.result.part.index >= 0) {
    std::printf("%-11s worst %s part: %s\n", "", kPartNames[job.result.part.part],
                worst_text(job, job.result.part).c_str());
  }
  std::fflush(stdout);
}

void print_failure(const KernelJob& job) {
  char name[48];
  std::snprintf(name, sizeof name, "%c%.*s", job.table.type, static_cast<int>(job.table.func.size()),
                job.table.func.data());
  if (job.result.count == 0) {
    std::printf("FAIL %s %s: no reference or no domain, nothing measured\n", name,
                slot_list(job.slot_mask).c_str());
    return;
  }
  const bool complex_result = has_complex_result(job.table);
  const struct {
    const char* what;
    const std::optional<double>& bound;
    const Worst& w;
  } measures[2] = {{complex_result ? "normwise error" : "max error", job.bound, job.result.worst},
                   {"per-part error", job.part_bound, job.result.part}};
  for (int k = 0; k < (complex_result ? 2 : 1); ++k) {
    const auto& m = measures[k];
    if (!m.bound) {
      std::printf("FAIL %s %s: no %s in the bounds table (measured %s ulp)\n", name,
                  slot_list(job.slot_mask).c_str(), k == 0 ? "bound" : "per-part bound",
                  m.w.index < 0 ? "nothing" : ulp_text(m.w.ulp).c_str());
    } else if (exceeds(m.bound, m.w)) {
      std::printf("FAIL %s %s: %s %s ulp above the bound %s at argument %s\n", name,
                  slot_list(job.slot_mask).c_str(), m.what, ulp_text(m.w.ulp).c_str(),
                  ulp_text(*m.bound).c_str(), worst_text(job, m.w).c_str());
    }
  }
}

}  // namespace zorn_accuracy
