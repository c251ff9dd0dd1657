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

std::string argument_text(const KernelJob& job) {
  const Worst& w = job.result.worst;
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

}  // namespace

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
  return !job.bound || job.result.count == 0 || !(job.result.worst.ulp <= *job.bound);
}

void print_header() {
  std::printf("%-11s %-4s %-9s %10s %9s %6s %7s  %s\n", "function", "type", "slots", "arguments",
              "max ulp", "bound", "seconds", "argument -> computed / exact");
}

void print_row(const KernelJob& job) {
  const Worst& w = job.result.worst;
  const bool complex_result = is_complex_type(job.table.type) && job.table.shape != Shape::kToReal;
  const std::string bound = job.bound ? ulp_text(*job.bound) : "none";
  std::printf("%-11.*s %-4c %-9s %10lld %9s %6s %7.1f  %s -> %s / %s%s\n",
              static_cast<int>(job.table.func.size()), job.table.func.data(), job.table.type,
              slot_list(job.slot_mask).c_str(), static_cast<long long>(job.result.count),
              ulp_text(w.ulp).c_str(), bound.c_str(), job.seconds, argument_text(job).c_str(),
              number(w.computed, job.table.type, complex_result).c_str(),
              number(w.reference, job.table.type, complex_result).c_str(),
              exceeds_bound(job) ? "  ABOVE BOUND" : "");
  std::fflush(stdout);
}

void print_failure(const KernelJob& job) {
  char name[48];
  std::snprintf(name, sizeof name, "%c%.*s", job.table.type, static_cast<int>(job.table.func.size()),
                job.table.func.data());
  if (job.result.count == 0) {
    std::printf("FAIL %s %s: no reference or no domain, nothing measured\n", name,
                slot_list(job.slot_mask).c_str());
  } else if (!job.bound) {
    std::printf("FAIL %s %s: no bound in the bounds table (measured %s ulp)\n", name,
                slot_list(job.slot_mask).c_str(), ulp_text(job.result.worst.ulp).c_str());
  } else {
    const bool complex_result =
        is_complex_type(job.table.type) && job.table.shape != Shape::kToReal;
    std::printf("FAIL %s %s: max error %s ulp above the bound %s at argument %s: computed %s, "
                "exact %s\n",
                name, slot_list(job.slot_mask).c_str(),
                ulp_text(job.result.worst.ulp).c_str(), ulp_text(*job.bound).c_str(),
                argument_text(job).c_str(),
                number(job.result.worst.computed, job.table.type, complex_result).c_str(),
                number(job.result.worst.reference, job.table.type, complex_result).c_str());
  }
}

}  // namespace zorn_accuracy
