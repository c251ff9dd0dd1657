// Side-by-side benchmark reporting. Benchmarks are registered under the name
// "<case> | <implementation>" and call state.SetItemsProcessed(...). After the usual
// console output come two tables:
//  - per case, ns per item of every implementation and its time relative to ours
//    ("zorn"): peer ns / zorn ns, so a value above 1 means the peer is slower;
//  - per case, ours against the fastest peer and against the case's reference:
//    zorn ns / peer ns, so a value above 1 means ours is slower.
// An implementation name may end with a role mark:
//  kCeilingMark    a line for orientation only (e.g. instructions beyond the baseline the
//                  library is built for): shown, never counted as the fastest peer;
//  kReferenceMark  the peer the case is compared with by name (e.g. the peer of the
//                  same accuracy), whatever its speed;
//  kSlotMark       ours in another accuracy slot: shown with its ratio, not a peer.
#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace bench {

inline constexpr const char* kCeilingMark = " [ceiling]";
inline constexpr const char* kReferenceMark = " [ref]";
inline constexpr const char* kSlotMark = " [slot]";

inline bool has_mark(const std::string& impl, const char* mark) {
  const size_t len = std::strlen(mark);
  return impl.size() >= len && impl.compare(impl.size() - len, len, mark) == 0;
}

class RatioReporter : public benchmark::ConsoleReporter {
 public:
  // With --benchmark_repetitions the median of the repetitions stands for the
  // implementation; without, its single run.
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
      if (run.error_occurred || (run.run_type != Run::RT_Iteration && !median)) continue;
      const std::string name = run.run_name.str();
      const size_t bar = name.find(" | ");
      auto it = run.counters.find("items_per_second");
      if (bar == std::string::npos || it == run.counters.end() || it->second.value <= 0) continue;
      std::string impl = name.substr(bar + 3);
      if (const size_t slash = impl.find('/'); slash != std::string::npos) impl.resize(slash);
      auto& row = cases_[name.substr(0, bar)];
      if (row.empty()) order_.push_back(name.substr(0, bar));
      const double ns = 1e9 / it->second.value;
      auto same = std::find_if(row.begin(), row.end(), [&](auto& e) { return e.first == impl; });
      if (same == row.end())
        row.emplace_back(impl, ns);
      else if (median)
        same->second = ns;
    }
  }

  void Finalize() override {
    ConsoleReporter::Finalize();
    print_peer_table();
    print_summary_table();
  }

 private:
  using Row = std::vector<std::pair<std::string, double>>;

  static double ours_in(const Row& row) {
    for (auto& [impl, ns] : row)
      if (impl == "zorn") return ns;
    return 0;
  }

  void print_peer_table() {
    std::printf("\n%-44s %-28s %12s %14s\n", "case", "implementation", "ns/item", "peer / zorn");
    for (const std::string& c : order_) {
      const double ours = ours_in(cases_[c]);
      for (auto& [impl, ns] : cases_[c]) {
        if (ours > 0 && impl != "zorn")
          std::printf("%-44s %-28s %12.3f %13.2fx\n", c.c_str(), impl.c_str(), ns, ns / ours);
        else
          std::printf("%-44s %-28s %12.3f %14s\n", c.c_str(), impl.c_str(), ns, "");
      }
    }
  }

  // One line per case that has ours and a peer; ceiling lines are listed apart.
  void print_summary_table() {
    std::printf("\n%-44s %9s  %-28s %9s %12s %9s %10s %9s\n", "case", "zorn ns", "fastest peer",
                "ns", "zorn/fast", "ref ns", "zorn/ref", "ceil ns");
    for (const std::string& c : order_) {
      const Row& row = cases_[c];
      const double ours = ours_in(row);
      const std::pair<std::string, double>* fastest = nullptr;
      double reference = 0, ceiling = 0;
      for (auto& entry : row) {
        const auto& [impl, ns] = entry;
        if (impl == "zorn" || has_mark(impl, kSlotMark)) continue;
        if (has_mark(impl, kCeilingMark)) {
          if (ceiling == 0 || ns < ceiling) ceiling = ns;
          continue;
        }
        if (has_mark(impl, kReferenceMark)) reference = ns;
        if (fastest == nullptr || ns < fastest->second) fastest = &entry;
      }
      if (ours <= 0 || fastest == nullptr) continue;
      std::printf("%-44s %9.3f  %-28s %9.3f %11.2fx", c.c_str(), ours, fastest->first.c_str(),
                  fastest->second, ours / fastest->second);
      if (reference > 0)
        std::printf(" %9.3f %9.2fx", reference, ours / reference);
      else if (ceiling > 0)
        std::printf(" %9s %10s", "", "");
      if (ceiling > 0) std::printf(" %9.3f", ceiling);
      std::printf("\n");
    }
  }

  std::map<std::string, Row> cases_;
  std::vector<std::string> order_;
};

// main() of a benchmark program that registered its cases. default_min_time (seconds,
// as Google Benchmark's --benchmark_min_time reads it) applies unless the command line
// sets one, so that a program with many cases keeps `make bench` short.
inline int run_with_ratios(int argc, char** argv, const char* default_min_time = nullptr) {
  std::vector<char*> args(argv, argv + argc);
  std::string min_time_flag;
  if (default_min_time != nullptr) {
    bool given = false;
    for (int i = 1; i < argc; ++i) given |= std::strncmp(argv[i], "--benchmark_min_time", 20) == 0;
    if (!given) {
      min_time_flag = std::string("--benchmark_min_time=") + default_min_time;
      args.push_back(min_time_flag.data());
    }
  }
  int count = static_cast<int>(args.size());
  args.push_back(nullptr);
  benchmark::Initialize(&count, args.data());
  if (benchmark::ReportUnrecognizedArguments(count, args.data())) return 1;
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}

}  // namespace bench
