// Calls one kernel slot of a function table on a block of arguments, through a
// pointer of the shape's type, and widens its results.
#pragma once

#include <vector>

#include "harness/arguments.h"
#include "harness/kernel_catalogue.h"
#include "harness/mpfr_reference.h"

namespace zorn_accuracy {

struct Results {
  std::vector<LongComplex> r1;
  std::vector<LongComplex> r2;  // second result of the two-result shape
};

// Runs `kernel` (of `table`'s type and shape) on `args`; `out` receives one value per
// argument (real results in the real part).
void run_kernel(const KernelTable& table, TessKernel kernel, const std::vector<Argument>& args,
                Results& out);

}  // namespace zorn_accuracy
