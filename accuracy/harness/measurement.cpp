#include "harness/measurement.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <thread>

#include "harness/kernel_runner.h"
#include "zorn/tess.h"

namespace zorn_accuracy {
namespace {

// Keeps the larger error; on a tie, the earlier argument, so that the result does not
// depend on the order in which blocks finish.
void keep_worse(Worst& into, const Worst& w) {
  if (w.index < 0) return;
  if (into.index < 0 || w.ulp > into.ulp || (w.ulp == into.ulp && w.index < into.index)) {
    into = w;
  }
}

Operands operands_of(const KernelTable& table, const Argument& arg) {
  Operands o;
  o.a = table.shape == Shape::kCis ? std::complex<double>(arg.a.real(), 0) : arg.a;
  o.b = arg.b;
  std::copy(std::begin(kLinearFracParams), std::end(kLinearFracParams), o.params);
  return o;
}

// Restores the calling thread's mode word on leaving.
class ModeScope {
 public:
  explicit ModeScope(uint32_t mode) : saved_(_tessSetMode(mode)) {}
  ~ModeScope() { _tessSetMode(saved_); }
  ModeScope(const ModeScope&) = delete;
  ModeScope& operator=(const ModeScope&) = delete;

 private:
  uint32_t saved_;
};

}  // namespace

std::optional<SampleError> sample_error(const KernelTable& table, const Operands& x,
                                        const LongComplex& r1, const LongComplex& r2,
                                        const Reference& reference) {
  const int precision = precision_of(table.type);
  const bool complex_result = is_complex_type(table.type) && table.shape != Shape::kToReal;
  if (complex_result &&
      !(std::isfinite(reference.r1.real()) && std::isfinite(reference.r1.imag()))) {
    return std::nullopt;
  }
  if (complex_result) {
    return SampleError{ulp_error(r1, reference.r1, precision),
                       part_errors(table.func, x, r1, reference.r1, precision)};
  }
  double err = ulp_error(r1.real(), reference.r1.real(), precision);
  if (table.shape == Shape::kOneTwo) {
    err = std::max(err, ulp_error(r2.real(), reference.r2.real(), precision));
  }
  return SampleError{err, {}};
}

Measurement measure_kernel(const KernelTable& table, TessKernel kernel, int slot,
                           const Domain& domain, const MeasureOptions& options) {
  const ArgumentPlan plan(domain, table.type, table.shape, options.random_samples);
  const int64_t blocks = (plan.size() + options.block - 1) / options.block;
  std::vector<Worst> block_worst(static_cast<size_t>(blocks));
  std::vector<Worst> block_part(static_cast<size_t>(blocks));
  std::atomic<int64_t> measured{0};
  std::atomic<int64_t> next{0};
  const bool complex_type = is_complex_type(table.type);
  const int precision = precision_of(table.type);

  auto worker = [&] {
    const ModeScope mode(static_cast<uint32_t>(slot + 1) | TESS_ERRMODE_IGNORE);
    // 80 bits leave 56 beyond single precision, 128 bits 75 beyond double.
    const int default_bits = precision == 24 ? 80 : 128;
    set_reference_bits(options.reference_bits > 0 ? options.reference_bits : default_bits);
    std::vector<Argument> args;
    Results results;
    for (int64_t k = next++; k < blocks; k = next++) {
      const int64_t begin = k * options.block;
      const int64_t count = std::min(options.block, plan.size() - begin);
      plan.fill(begin, count, chunk_scalar(table.shape, complex_type, k), args);
      run_kernel(table, kernel, args, results);
      Worst& worst = block_worst[static_cast<size_t>(k)];
      Worst& part = block_part[static_cast<size_t>(k)];
      int64_t block_measured = 0;
      for (int64_t i = 0; i < count; ++i) {
        const LongComplex r1 = results.r1[i];
        const LongComplex r2 = results.r2.empty() ? LongComplex{} : results.r2[i];
        const Operands x = operands_of(table, args[i]);
        const auto ref =
            mpfr_reference(table.func, complex_type, x, precision, static_cast<double>(r1.real()));
        if (!ref) continue;  // no reference for this function: not measured
        const auto err = sample_error(table, x, r1, r2, *ref);
        if (!err) continue;
        ++block_measured;
        keep_worse(worst, {err->ulp, begin + i, -1, args[i], r1, ref->r1});
        if (err->parts.re) keep_worse(part, {*err->parts.re, begin + i, 0, args[i], r1, ref->r1});
        if (err->parts.im) keep_worse(part, {*err->parts.im, begin + i, 1, args[i], r1, ref->r1});
      }
      measured += block_measured;
    }
    release_reference_caches();
  };
  std::vector<std::thread> pool;
  for (int t = 1; t < options.threads; ++t) pool.emplace_back(worker);
  worker();
  for (std::thread& t : pool) t.join();

  Measurement m;
  m.count = measured.load();
  for (const Worst& w : block_worst) keep_worse(m.worst, w);
  for (const Worst& w : block_part) keep_worse(m.part, w);
  return m;
}

}  // namespace zorn_accuracy
