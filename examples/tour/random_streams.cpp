// Section: a random stream split for four workers, then saved and loaded.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tour.h"
#include "zorn/pavo.h"

namespace {

// Draws n doubles in [0, 1).
void draw(void* stream, int n, double* r) { _pavodRngUniform(0, stream, n, r, 0.0, 1.0); }

void print_row(const char* label, const double* r, int n) {
  std::printf("  %-28s", label);
  for (int i = 0; i < n; ++i) std::printf(" %.6f", r[i]);
  std::printf("\n");
}

}  // namespace

TOUR_SECTION(30, "Random streams: splitting MRG32K3A and MCG31M1 for four workers, saving, loading") {
  const uint32_t seed = 20240601;
  void* whole = nullptr;
  __pavoNewStreamEx(&whole, PAVO_BRNG_MRG32K3A, 1, &seed);
  double sequence[8];
  draw(whole, 8, sequence);
  print_row("MRG32K3A, outputs 0..7:", sequence, 8);

  // Skip-ahead: worker w starts at output 2w and owns a block of two.
  for (int w = 0; w < 4; ++w) {
    void* worker = nullptr;
    __pavoNewStreamEx(&worker, PAVO_BRNG_MRG32K3A, 1, &seed);
    __pavoSkipAheadStream(worker, 2 * static_cast<uint64_t>(w));
    double block[2];
    draw(worker, 2, block);
    const std::string label = "  skip-ahead worker " + std::to_string(w) + ":";
    print_row(label.c_str(), block, 2);
    __pavoDeleteStream(&worker);
  }

  // Leapfrog (MCG31M1): worker w takes outputs w, w + 4, w + 8, ...
  void* mcg = nullptr;
  __pavoNewStreamEx(&mcg, PAVO_BRNG_MCG31M1, 1, &seed);
  double mcg_sequence[8];
  draw(mcg, 8, mcg_sequence);
  print_row("MCG31M1, outputs 0..7:", mcg_sequence, 8);
  __pavoDeleteStream(&mcg);
  for (int w = 0; w < 4; ++w) {
    void* worker = nullptr;
    __pavoNewStreamEx(&worker, PAVO_BRNG_MCG31M1, 1, &seed);
    __pavoLeapfrogStream(worker, static_cast<uint32_t>(w), 4);
    double pair[2];
    draw(worker, 2, pair);
    const std::string label = "  leapfrog worker " + std::to_string(w) + ":";
    print_row(label.c_str(), pair, 2);
    __pavoDeleteStream(&worker);
  }

  // Save after output 7, load into a new stream, and both continue alike.
  const char* dir = std::getenv("TMPDIR");
  const std::string path = std::string(dir ? dir : "/tmp") + "/zorn_tour_stream.rng";
  const int32_t saved = __pavoSaveStreamF(whole, path.c_str(), -1);
  void* loaded = nullptr;
  const int32_t status = __pavoLoadStreamF(&loaded, path.c_str(), -1);
  std::printf("  saved %d bytes to %s (status %d), loaded (status %d)\n", __pavoGetStreamSize(whole),
              path.c_str(), saved, status);
  if (status == 0) {
    double original[4], restored[4];
    draw(whole, 4, original);
    draw(loaded, 4, restored);
    print_row("original, outputs 8..11:", original, 4);
    print_row("loaded copy, outputs 8..11:", restored, 4);
  }
  std::remove(path.c_str());
  __pavoDeleteStream(&loaded);
  __pavoDeleteStream(&whole);
}
