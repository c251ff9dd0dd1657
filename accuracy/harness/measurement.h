// Maximum ulp error of one kernel over an argument plan, with the argument where it
// happened. The work is split in blocks over worker threads; each worker calls the
// kernel on its block and evaluates the MPFR references, which dominate the cost.
#pragma once

#include <cstdint>
#include <optional>

#include "harness/arguments.h"
#include "harness/complex_parts.h"
#include "harness/kernel_catalogue.h"
#include "harness/mpfr_reference.h"

namespace zorn_accuracy {

struct Worst {
  double ulp = 0;       // infinite when a NaN or an infinity does not match
  int64_t index = -1;   // position in the plan; -1 while nothing was measured
  int part = -1;        // per-part measure: 0 the real part, 1 the imaginary part
  Argument arg{};
  LongComplex computed{};
  LongComplex reference{};
};

struct Measurement {
  Worst worst;        // normwise for complex results
  Worst part;         // complex results: the worst part the per-part bound covers
  int64_t count = 0;  // arguments measured
};

struct MeasureOptions {
  int64_t random_samples = 100000;
  int threads = 2;
  int reference_bits = 0;  // MPFR working precision; 0: 80 bits for s and c, 128 for d and z
  int64_t block = 4096;
};

struct SampleError {
  double ulp;
  PartErrors parts;  // complex results only (complex_parts.h)
};

// The error of one result against the reference, in ulps of the table's type: real
// results directly, complex results normwise and part by part, the two-result shape as
// the larger of its two errors. No value for a complex reference with a non-finite part:
// the references compose MPFR operations on the parts, which do not give special
// values of complex arithmetic (inf - inf makes NaN where a part is infinite), so
// those results are left to special-value tests of the complex kernels.
std::optional<SampleError> sample_error(const KernelTable& table, const Operands& x,
                                        const LongComplex& r1, const LongComplex& r2,
                                        const Reference& reference);

// Measures `kernel` (one slot of `table`) on the plan of `domain`. The calling worker
// threads run with the accuracy field of the mode set to `slot` and errors ignored.
Measurement measure_kernel(const KernelTable& table, TessKernel kernel, int slot,
                           const Domain& domain, const MeasureOptions& options);

}  // namespace zorn_accuracy
