// Side-by-side benchmark reporting. Benchmarks are registered under the name
// "<case> | <implementation>" and call state.SetItemsProcessed(...). After the usual
// console output, one table per case lists ns per item of every implementation and
// its ratio to ours ("zorn"): a ratio below 1 means the peer is slower.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace bench {

class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.error_occurred || run.run_type != Run::RT_Iteration) continue;
      const std::string name = run.benchmark_name();
      const size_t bar = name.find(" | ");
      auto it = run.counters.find("items_per_second");
      if (bar == std::string::npos || it == run.counters.end() || it->second.value <= 0) continue;
      std::string impl = name.substr(bar + 3);
      if (const size_t slash = impl.find('/'); slash != std::string::npos) impl.resize(slash);
      auto& row = cases_[name.substr(0, bar)];
      if (row.empty()) order_.push_back(name.substr(0, bar));
      row.emplace_back(impl, 1e9 / it->second.value);
    }
  }

  void Finalize() override {
    ConsoleReporter::Finalize();
    std::printf("\n%-44s %-28s %12s %14s\n", "case", "implementation", "ns/item", "peer / zorn");
    for (const std::string& c : order_) {
      double ours = 0;
      for (auto& [impl, ns] : cases_[c])
        if (impl == "zorn") ours = ns;
      for (auto& [impl, ns] : cases_[c]) {
        if (ours > 0 && impl != "zorn")
          std::printf("%-44s %-28s %12.3f %13.2fx\n", c.c_str(), impl.c_str(), ns, ns / ours);
        else
          std::printf("%-44s %-28s %12.3f %14s\n", c.c_str(), impl.c_str(), ns, "");
      }
    }
  }

 private:
  std::map<std::string, std::vector<std::pair<std::string, double>>> cases_;
  std::vector<std::string> order_;
};

// main() of a benchmark program that registered its cases.
inline int run_with_ratios(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}

}  // namespace bench
