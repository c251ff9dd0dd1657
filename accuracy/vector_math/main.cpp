// zorn_accuracy: measures the maximum ulp error of every vector-math kernel with a
// rounding error (each distinct kernel of each contiguous function table) against MPFR
// references, prints one row per kernel and fails when a kernel exceeds its bound.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "harness/bounds.h"
#include "harness/domains.h"
#include "harness/kernel_catalogue.h"
#include "harness/measurement.h"
#include "options.h"
#include "report.h"

namespace zorn_accuracy {
namespace {

// The tightest of the slots' bounds; none once a slot has none.
void tighten(std::optional<double>& bound, std::optional<double> slot_bound, bool first) {
  if (!slot_bound) {
    bound.reset();
  } else if (first || bound) {
    bound = first ? *slot_bound : std::min(*bound, *slot_bound);
  }
}

// One job per distinct kernel of each selected table; slots sharing a kernel are
// measured once and held to the tightest of their bounds.
std::vector<KernelJob> plan_jobs(const Options& o) {
  std::vector<KernelJob> jobs;
  for (const KernelTable& t : kernel_catalogue()) {
    if (o.types.find(t.type) == std::string::npos) continue;
    if (!o.functions.empty() &&
        std::find(o.functions.begin(), o.functions.end(), t.func) == o.functions.end()) {
      continue;
    }
    for (int slot : {1, 0, 2}) {  // HA first: it names the shared kernel
      const auto same = [&](const KernelJob& j) {
        return j.table.table == t.table && t.table->slot[j.slot] == t.table->slot[slot];
      };
      auto it = std::find_if(jobs.begin(), jobs.end(), same);
      if (it == jobs.end()) {
        it = jobs.emplace(jobs.end());
        it->table = t;
        it->slot = slot;
      }
      KernelJob& job = *it;
      job.slot_mask |= 1u << slot;
      const bool first = job.slot_mask == (1u << job.slot);
      tighten(job.bound, bound_for(t.func, t.type, slot), first);
      tighten(job.part_bound, part_bound_for(t.func, t.type, slot), first);
    }
  }
  return jobs;
}

int run(const Options& o) {
  std::set<std::string> known;
  for (const KernelTable& t : kernel_catalogue()) known.emplace(t.func);
  for (const std::string& f : o.functions) {
    if (known.count(f) == 0) {
      std::fprintf(stderr, "zorn_accuracy: no vector function %s\n", f.c_str());
      return 2;
    }
  }
  std::vector<KernelJob> jobs = plan_jobs(o);
  if (!o.quiet) print_header();
  const auto start = std::chrono::steady_clock::now();
  int failures = 0;
  for (KernelJob& job : jobs) {
    const auto t0 = std::chrono::steady_clock::now();
    if (const auto domain = domain_of(job.table.func)) {
      MeasureOptions mo;
      mo.random_samples = samples_for(o, job.table.type, std::string(job.table.func));
      mo.threads = o.threads;
      mo.reference_bits = o.reference_bits;
      job.result = measure_kernel(job.table, job.table.table->slot[job.slot], job.slot, *domain, mo);
    }
    job.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    if (!o.quiet || exceeds_bound(job)) print_row(job);
    if (exceeds_bound(job)) ++failures;
  }
  const double total =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  for (const KernelJob& job : jobs) {
    if (exceeds_bound(job)) print_failure(job);
  }
  std::printf("%zu kernels measured in %.1f s, %d above their bounds\n", jobs.size(), total,
              failures);
  return failures == 0 ? 0 : 1;
}

}  // namespace
}  // namespace zorn_accuracy

int main(int argc, char** argv) {
  const auto options = zorn_accuracy::parse_options(argc, argv);
  if (!options) return 2;
  return zorn_accuracy::run(*options);
}
