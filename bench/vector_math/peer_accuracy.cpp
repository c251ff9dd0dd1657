// peer_accuracy: the maximum ulp error of every one-argument function of the benchmark,
// ours and each 128-bit peer's (glibc's scalar and libmvec 128-bit functions, SLEEF's
// SSE2 functions, GSL), measured by the accuracy harness against MPFR on the same
// arguments: the function's random domain and its hard cases. Prints CSV
// (function,type,implementation,max_ulp) for scripts/plots/vector_accuracy.py.
// Usage: peer_accuracy [random samples per measurement, default 20000]
#include <cstdio>
#include <cstdlib>

#include "harness/function_rows.h"
#include "harness/kernel_catalogue.h"
#include "harness/measurement.h"
#include "vector_math/functions.h"
#include "vector_math/implementations.h"

namespace {

using namespace bench::vector_math;
using zorn_accuracy::KernelTable;

// The implementation being measured, called through a kernel of the library's shape
// (n, a, r). Set before each measurement and only read while it runs.
ArrayMap<float> current_s;
ArrayMap<double> current_d;
void run_s(int32_t n, const float* a, float* r) { current_s(a, r, n); }
void run_d(int32_t n, const double* a, double* r) { current_d(a, r, n); }

const KernelTable* table_of(const char* func, char type) {
  for (const KernelTable& t : zorn_accuracy::kernel_catalogue())
    if (t.type == type && t.func == func && t.shape == zorn_accuracy::Shape::kOne) return &t;
  return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
  zorn_accuracy::MeasureOptions options;
  options.random_samples = argc > 1 ? std::atoll(argv[1]) : 20000;
  std::printf("function,type,implementation,max_ulp\n");
  for (const FunctionInfo& info : kFunctions) {
    if (info.reference2 != nullptr) continue;  // one-argument functions only
    const zorn_accuracy::FunctionRow* row = zorn_accuracy::row_of(info.name);
    if (row == nullptr) continue;
    for (const Implementation& impl : baseline_implementations(info.id)) {
      for (char type : {'s', 'd'}) {
        const KernelTable* table = table_of(info.name, type);
        if (table == nullptr || (type == 's' ? impl.s == nullptr : impl.d == nullptr)) continue;
        current_s = impl.s;
        current_d = impl.d;
        const TessKernel kernel = type == 's' ? reinterpret_cast<TessKernel>(run_s)
                                              : reinterpret_cast<TessKernel>(run_d);
        const auto m = zorn_accuracy::measure_kernel(*table, kernel, 1, row->domain, options);
        std::printf("%s,%c,%s,%.4g\n", info.name, type, impl.name, m.worst.ulp);
        std::fflush(stdout);
      }
    }
  }
  return 0;
}
