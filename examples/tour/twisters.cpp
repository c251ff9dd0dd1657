// Section: MT2203 sub-generators as independent streams for parallel workers.
#include <cstdio>
#include <thread>
#include <vector>

#include "tour.h"
#include "zorn/pavo.h"

namespace {

// One worker: points in the unit square from its own MT2203 sub-generator, counting
// those inside the quarter circle.
long long quarter_circle_hits(uint32_t sub_generator, int points) {
  const uint32_t seed[] = {20260};
  void* stream = nullptr;
  PavoBrngProperties row{};
  const uint32_t id = PAVO_BRNG_MT2203 + sub_generator;
  if (__pavoNewStreamEx(&stream, id, 1, seed) != 0 || __pavoGetBrngProperties(id, &row) != 0) {
    __pavoDeleteStream(&stream);
    return -1;
  }
  std::vector<double> xy(2000);
  long long hits = 0;
  for (int done = 0; done < points; done += 1000) {
    row.gen_double(stream, 2000, xy.data(), 0.0, 1.0);
    for (size_t k = 0; k < xy.size(); k += 2) hits += xy[k] * xy[k] + xy[k + 1] * xy[k + 1] < 1.0;
  }
  __pavoDeleteStream(&stream);
  return hits;
}

}  // namespace

TOUR_SECTION(35, "Mersenne twisters: one MT2203 sub-generator per worker") {
  constexpr int kWorkers = 4, kPoints = 1000000;
  std::vector<long long> hits(kWorkers);
  std::vector<std::thread> workers;
  // The same seed everywhere: the sub-generators, not the seeds, keep the streams apart.
  for (int w = 0; w < kWorkers; ++w)
    workers.emplace_back([w, &hits] { hits[w] = quarter_circle_hits(static_cast<uint32_t>(w), kPoints); });
  for (auto& t : workers) t.join();
  long long total = 0;
  for (int w = 0; w < kWorkers; ++w) {
    std::printf("  worker %d (MT2203 sub-generator %d): pi ~ %.5f\n", w, w, 4.0 * hits[w] / kPoints);
    total += hits[w];
  }
  std::printf("  all %d workers together:            pi ~ %.5f\n", kWorkers, 4.0 * total / (1.0 * kWorkers * kPoints));
}
