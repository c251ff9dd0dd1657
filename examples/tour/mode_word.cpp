// Section: the vector-math mode word of this thread, after ZORN_TESS_MODE.
#include <cstdio>

#include "tour.h"
#include "zorn/tess.h"

namespace {

const char* accuracy_name(uint32_t mode) {
  switch (mode & TESS_MODE_ACCURACY_MASK) {
    case TESS_MODE_LA: return "low accuracy (LA)";
    case TESS_MODE_HA: return "high accuracy (HA)";
    case TESS_MODE_EP: return "enhanced performance (EP)";
    default: return "unknown";
  }
}

void print_error_mode(uint32_t mode) {
  static const struct {
    uint32_t bit;
    const char* name;
  } kBits[] = {{TESS_ERRMODE_IGNORE, "ignore"},     {TESS_ERRMODE_ERRNO, "errno"},
               {TESS_ERRMODE_STDERR, "stderr"},     {TESS_ERRMODE_EXCEPT, "exception"},
               {TESS_ERRMODE_CALLBACK, "callback"}, {TESS_ERRMODE_NOERR, "no error handling"}};
  std::printf("  error mode: 0x%04x (", mode & TESS_MODE_ERRMODE_MASK);
  const char* sep = "";
  for (const auto& b : kBits)
    if (mode & b.bit) {
      std::printf("%s%s", sep, b.name);
      sep = ", ";
    }
  std::printf(")\n");
}

}  // namespace

TOUR_SECTION(10, "Vector math: the mode word of this thread (after ZORN_TESS_MODE)") {
  const uint32_t mode = _tessGetMode();
  std::printf("  mode word:  0x%08x\n", mode);
  std::printf("  accuracy:   %s, function table slot %d\n", accuracy_name(mode),
              zorn_tess_kernel_GetTTableIndex());
  print_error_mode(mode);
  std::printf("  denormals:  %s\n",
              (mode & TESS_MODE_DENORMAL_MASK) == TESS_MODE_FLUSH_DENORMALS ? "flushed to zero"
                                                                              : "kept");
  std::printf("  traps:      0x%07x\n", mode & TESS_MODE_TRAPS_MASK);
}
