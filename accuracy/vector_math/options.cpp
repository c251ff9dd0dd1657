#include "options.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>

namespace zorn_accuracy {
namespace {

void usage() {
  std::fprintf(stderr,
               "usage: zorn_accuracy [--full] [--samples N] [--function NAME[,NAME...]]...\n"
               "                     [--type LETTERS] [--threads N] [--bits N] [--quiet]\n"
               "  Measures the maximum ulp error of every vector-math kernel against MPFR\n"
               "  and fails (exit status 1) when a kernel exceeds its bound.\n"
               "  --full       10^7 arguments per exponential/logarithm kernel, 10^6 others\n"
               "  --samples N  random arguments per kernel (default 10^5), beside the hard cases\n"
               "  --function   functions to measure, e.g. Exp or Exp,Ln (repeatable)\n"
               "  --type       type letters among s, d, c, z (default sdcz)\n"
               "  --threads N  worker threads (default 2)\n"
               "  --bits N     MPFR working precision of the references (default 80 bits\n"
               "               for s and c, 128 for d and z)\n"
               "  --quiet      print only the kernels above their bounds and the summary\n");
}

bool parse_int(const char* s, int64_t lo, int64_t hi, int64_t& out) {
  char* end = nullptr;
  const double v = std::strtod(s, &end);  // accepts 1e6
  if (end == s || *end != '\0' || v < lo || v > hi || v != static_cast<int64_t>(v)) return false;
  out = static_cast<int64_t>(v);
  return true;
}

}  // namespace

std::optional<Options> parse_options(int argc, char** argv) {
  Options o;
  for (int i = 1; i < argc; ++i) {
    const char* arg = argv[i];
    const bool has_value = i + 1 < argc;
    int64_t n = 0;
    if (std::strcmp(arg, "--full") == 0) {
      o.full = true;
    } else if (std::strcmp(arg, "--quiet") == 0) {
      o.quiet = true;
    } else if (std::strcmp(arg, "--samples") == 0 && has_value &&
               parse_int(argv[++i], 0, int64_t{1} << 40, n)) {
      o.samples = n;
    } else if (std::strcmp(arg, "--threads") == 0 && has_value &&
               parse_int(argv[++i], 1, 256, n)) {
      o.threads = static_cast<int>(n);
    } else if (std::strcmp(arg, "--bits") == 0 && has_value &&
               parse_int(argv[++i], 64, 4096, n)) {
      o.reference_bits = static_cast<int>(n);
    } else if (std::strcmp(arg, "--function") == 0 && has_value) {
      std::string list = argv[++i];
      for (size_t start = 0; start <= list.size();) {
        const size_t comma = std::min(list.find(',', start), list.size());
        if (comma > start) o.functions.push_back(list.substr(start, comma - start));
        start = comma + 1;
      }
    } else if (std::strcmp(arg, "--type") == 0 && has_value &&
               std::strspn(argv[i + 1], "sdcz") == std::strlen(argv[i + 1]) &&
               argv[i + 1][0] != '\0') {
      o.types = argv[++i];
    } else {
      usage();
      return std::nullopt;
    }
  }
  return o;
}

int64_t samples_for(const Options& options, char type, const std::string& func) {
  if (options.samples) return *options.samples;
  if (!options.full) return 100000;
  static const std::set<std::string> kFamily = {"Exp",  "Exp2", "Exp10", "Expm1", "Ln",
                                                "Log2", "Log10", "Log1p", "Logb"};
  const bool family = (type == 's' || type == 'd') && kFamily.count(func) != 0;
  return family ? 10000000 : 1000000;
}

}  // namespace zorn_accuracy
