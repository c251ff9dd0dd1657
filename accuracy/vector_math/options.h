// Command line of zorn_accuracy.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zorn_accuracy {

struct Options {
  bool full = false;                     // the long sweep: 10^7 / 10^6 arguments
  std::optional<int64_t> samples;        // random arguments per kernel, overriding
  std::vector<std::string> functions;    // empty: all
  std::string types = "sdcz";
  int threads = 2;
  int reference_bits = 0;                // 0: by type (80 bits for s, c; 128 for d, z)
  bool quiet = false;                    // print only the kernels above their bounds
};

// Parses argv; on a usage error prints the usage to stderr and returns no value.
std::optional<Options> parse_options(int argc, char** argv);

// Random arguments per kernel: --samples if given; else with --full 10^7 for the real
// exponential and logarithm family and 10^6 for the rest; else 10^5.
int64_t samples_for(const Options& options, char type, const std::string& func);

}  // namespace zorn_accuracy
