// Section: one Philox4x32-10 sequence split across workers by its counter.
#include <algorithm>
#include <cstdio>
#include <thread>
#include <vector>

#include "tour.h"
#include "zorn/pavo.h"

namespace {

const uint32_t kSeed[] = {0x5EED, 0x2026};  // the key; the counter starts at 0

// Words [first, first + count) of the sequence: a stream of its own, moved ahead to
// `first` by adding to its counter, which costs the same for any distance.
int draw_part(uint64_t first, int32_t count, uint32_t* out) {
  void* stream = nullptr;
  int status = __pavoNewStreamEx(&stream, PAVO_BRNG_PHILOX4X32X10, 2, kSeed);
  if (status == 0) status = __pavoSkipAheadStream(stream, first);
  if (status == 0) status = __pavoiBRngPHILOX4X32X10(stream, count, out);
  __pavoDeleteStream(&stream);
  return status;
}

}  // namespace

TOUR_SECTION(37, "Counter-based generators: one Philox sequence split across workers by counter") {
  // Parts of uneven length, none a multiple of the four words of a block, so that the
  // workers' starts fall inside blocks.
  const int32_t parts[] = {1001, 250003, 7, 748989};
  constexpr int kWorkers = sizeof parts / sizeof parts[0];
  int32_t total = 0;
  for (int32_t n : parts) total += n;

  std::vector<uint32_t> split(total), whole(total);
  std::vector<int> status(kWorkers);
  std::vector<std::thread> workers;
  for (int w = 0, first = 0; w < kWorkers; first += parts[w++])
    workers.emplace_back([w, first, &parts, &split, &status] {
      status[w] = draw_part(static_cast<uint64_t>(first), parts[w], split.data() + first);
    });
  for (auto& t : workers) t.join();
  const int whole_status = draw_part(0, total, whole.data());

  for (int w = 0, first = 0; w < kWorkers; first += parts[w++])
    std::printf("  worker %d: words %7d .. %7d, status %d\n", w, first, first + parts[w] - 1, status[w]);
  int32_t differing = 0;
  for (int32_t k = 0; k < total; ++k) differing += split[k] != whole[k];
  std::printf("  one stream of %d words (status %d): %d words differ from the split draws\n", total,
              whole_status, differing);
  // Far jumps are additions to the counter too: 2^64 words are 2^62 blocks, so the stream
  // moved that far equals one seeded with the counter 2^62 (counter word 1 = 2^30).
  const uint64_t two_to_64[2] = {0, 1};
  const uint32_t counter_seed[] = {kSeed[0], kSeed[1], 0, 1u << 30, 0, 0};
  uint32_t jumped[4] = {}, seeded[4] = {};
  void *a = nullptr, *b = nullptr;
  const bool ok = __pavoNewStreamEx(&a, PAVO_BRNG_PHILOX4X32X10, 2, kSeed) == 0 &&
                  __pavoSkipAheadStreamEx(a, 2, two_to_64) == 0 && __pavoiBRngPHILOX4X32X10(a, 4, jumped) == 0 &&
                  __pavoNewStreamEx(&b, PAVO_BRNG_PHILOX4X32X10, 6, counter_seed) == 0 &&
                  __pavoiBRngPHILOX4X32X10(b, 4, seeded) == 0;
  std::printf("  after a skip of 2^64 words: %08x %08x %08x %08x\n", jumped[0], jumped[1], jumped[2], jumped[3]);
  std::printf("  counter seeded at 2^62:     %08x %08x %08x %08x (%s)\n", seeded[0], seeded[1], seeded[2],
              seeded[3], ok && std::equal(jumped, jumped + 4, seeded) ? "equal" : "DIFFERENT");
  __pavoDeleteStream(&a);
  __pavoDeleteStream(&b);
}
