// Searches the parameter table of the MT2203 family: 6024 rows (A, B, C), one per
// sub-generator, in the manner of Dynamic Creation (Matsumoto and Nishimura, 1998).
//
//   mt2203_parameters search PROGRESS FIRST END [TRIALS]
//       finds rows FIRST..END-1 that PROGRESS does not hold yet and appends each one to
//       PROGRESS as soon as it is found ("row A B C" in hex), so an interrupted search
//       resumes where it stopped. Several searches over disjoint ranges may run at once.
//   mt2203_parameters emit OUTPUT.cpp PROGRESS...
//       checks that the progress files hold every row once, with distinct matrix words,
//       and writes the table source.
//   mt2203_parameters resolve PROGRESS...
//       searches again every row whose matrix word an earlier row already has (rare:
//       searches over disjoint ranges do not see each other), skipping the words of all
//       earlier rows, and rewrites that row in its progress file.
//
// Row j is searched from its own pseudo-random candidates (seeded by j), so each row
// is reproducible on its own. A matrix word A (top bit set) is accepted when the
// characteristic polynomial of the 69-word recurrence with r = 5 is irreducible: its
// degree 2203 and 2^2203 - 1 are both prime, so irreducible means primitive, that is,
// period 2^2203 - 1. The tempering masks are then the best of TRIALS random candidates
// by the equidistribution defect (tempering_search.h). Rows 0, 1, 2 and 6023 are fixed
// by the generator's definition and only verified here.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>

#include "mt2203_parameters/mt2203_shape.h"
#include "mt2203_parameters/small_factor_sieve.h"
#include "mt2203_parameters/tempering_search.h"

namespace {

constexpr int kRows = 6024;
struct Row {
  uint32_t a, b, c;
};
const std::map<int, Row> kFixedRows = {
    {0, {0xAF81055Fu, 0xDD7EEF80u, 0xEFD78000u}},
    {1, {0x832604E1u, 0x66AD7F80u, 0xEBD58000u}},
    {2, {0x92F70739u, 0x656D7780u, 0xEFC50000u}},
    {6023, {0xE8761D4Bu, 0x72967680u, 0xEFEB0000u}},
};

constexpr uint32_t kFreeB = 0xFFFFFF80u;
constexpr uint32_t kFreeC = 0xFFFF8000u;
constexpr int kDescentPasses = 6;
constexpr int kDefaultTrials = 8;

struct SplitMix64 {
  uint64_t x;
  uint64_t next() {
    uint64_t z = (x += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
};

std::map<int, Row> read_progress(const char* path) {
  std::map<int, Row> rows;
  std::ifstream in(path);
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    int j;
    Row r;
    fields >> std::dec >> j >> std::hex >> r.a >> r.b >> r.c;
    if (fields) rows[j] = r;
  }
  return rows;
}

struct Searcher {
  mt2203::CharacteristicPolynomial charpoly;
  mt2203::SmallFactorSieve sieve{10};
  long candidates = 0, sieved_out = 0;

  bool full_period(uint32_t a) {
    ++candidates;
    gf2::Poly f = charpoly.of(a);
    if (sieve.has_small_factor(f)) { ++sieved_out; return false; }
    return gf2::is_irreducible_prime_degree(f);
  }

  // The closed form must agree with the recurrence itself.
  bool closed_form_matches_recurrence(uint32_t a) {
    gf2::Poly f = charpoly.of(a);
    gf2::trim(f);
    return mt2203::minimal_polynomial_of_output(a, 31) == f;
  }

  int last_defect = 0, last_untempered_defect = 0;

  static int descend(const std::vector<mt2203::WordForms>& forms, Row& r) {
    int best = mt2203::total_defect(forms, r.b, r.c);
    for (int pass = 0; pass < kDescentPasses; ++pass) {
      bool improved = false;
      for (int bit = 63; bit >= 0; --bit) {
        uint32_t flip_b = bit >= 32 ? (1u << (bit - 32)) & kFreeB : 0;
        uint32_t flip_c = bit < 32 ? (1u << bit) & kFreeC : 0;
        if ((flip_b | flip_c) == 0) continue;
        int defect = mt2203::total_defect(forms, r.b ^ flip_b, r.c ^ flip_c, best);
        if (defect < best) { best = defect; r.b ^= flip_b; r.c ^= flip_c; improved = true; }
      }
      if (!improved) break;
    }
    return best;
  }

  Row search(int j, int trials, const std::set<uint32_t>& taken = {}) {
    SplitMix64 rng{0x4D54323230330000ull + static_cast<uint64_t>(j)};
    uint32_t a;
    do {
      a = static_cast<uint32_t>(rng.next()) | 0x80000000u;
    } while (is_fixed_matrix(a) || taken.count(a) != 0 || !full_period(a));
    if (!closed_form_matches_recurrence(a)) {
      std::fprintf(stderr, "row %d: closed form disagrees with the recurrence for A=%08X\n", j, a);
      std::exit(1);
    }
    std::vector<mt2203::WordForms> forms = mt2203::untempered_output_forms(a, mt2203::kDegree / 3);
    // The best of a few random masks, then bit-flip descent from it over the free bits
    // of B and C (the low 7 bits of B and 15 of C meet only shifted-out zeros).
    Row best{a, 0, 0};
    int best_defect = -1;
    for (int t = 0; t < trials; ++t) {
      uint64_t bits = rng.next();
      uint32_t b = static_cast<uint32_t>(bits) & kFreeB;
      uint32_t c = static_cast<uint32_t>(bits >> 32) & kFreeC;
      int defect = mt2203::total_defect(forms, b, c, best_defect < 0 ? 1 << 30 : best_defect);
      if (best_defect < 0 || defect < best_defect) { best_defect = defect; best.b = b; best.c = c; }
    }
    best_defect = descend(forms, best);
    last_defect = best_defect;
    last_untempered_defect = mt2203::total_defect(forms, 0, 0);
    return best;
  }

  static bool is_fixed_matrix(uint32_t a) {
    for (auto& [j, r] : kFixedRows)
      if (r.a == a) return true;
    return false;
  }
};

int search(const char* progress, int first, int end, int trials) {
  std::map<int, Row> done = read_progress(progress);
  Searcher s;
  for (auto& [j, r] : kFixedRows) {
    if (j < first || j >= end || done.count(j)) continue;
    if (!s.full_period(r.a) || !s.closed_form_matches_recurrence(r.a)) {
      std::fprintf(stderr, "fixed row %d fails the period test\n", j);
      return 1;
    }
  }
  FILE* out = std::fopen(progress, "a");
  if (!out) { std::perror(progress); return 1; }
  auto start = std::chrono::steady_clock::now();
  for (int j = first; j < end; ++j) {
    if (done.count(j)) continue;
    Row r = kFixedRows.count(j) ? kFixedRows.at(j) : s.search(j, trials);
    std::fprintf(out, "%d %08X %08X %08X\n", j, r.a, r.b, r.c);
    std::fflush(out);
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::fprintf(stderr, "row %d A=%08X  defect %d (untempered %d)  candidates %ld (sieved %ld)  %.1f s\n", j,
                 r.a, s.last_defect, s.last_untempered_defect, s.candidates, s.sieved_out, seconds);
  }
  std::fclose(out);
  return 0;
}

int resolve(int files, char** paths) {
  Searcher s;
  std::map<int, Row> rows;
  std::map<int, int> file_of;
  for (int i = 0; i < files; ++i)
    for (auto& [j, r] : read_progress(paths[i])) {
      rows[j] = r;
      file_of[j] = i;
    }
  std::set<uint32_t> taken;
  for (auto& [j, r] : rows) {
    if (kFixedRows.count(j) || taken.insert(r.a).second) continue;
    r = s.search(j, kDefaultTrials, taken);
    taken.insert(r.a);
    std::printf("row %d searched again: A=%08X\n", j, r.a);
    std::ofstream out(paths[file_of[j]]);
    for (auto& [k, row] : rows)
      if (file_of[k] == file_of[j]) {
        char line[64];
        std::snprintf(line, sizeof line, "%d %08X %08X %08X\n", k, row.a, row.b, row.c);
        out << line;
      }
  }
  return 0;
}

int emit(const char* output, int files, char** paths) {
  std::map<int, Row> rows;
  for (int i = 0; i < files; ++i)
    for (auto& [j, r] : read_progress(paths[i])) rows[j] = r;
  for (auto& [j, r] : kFixedRows) rows[j] = r;
  std::set<uint32_t> matrices;
  for (int j = 0; j < kRows; ++j) {
    if (!rows.count(j)) {
      std::fprintf(stderr, "row %d missing\n", j);
      return 1;
    }
    if (!matrices.insert(rows[j].a).second) {
      std::fprintf(stderr, "row %d repeats a matrix word: run resolve first\n", j);
      return 1;
    }
  }
  FILE* out = std::fopen(output, "w");
  if (!out) { std::perror(output); return 1; }
  std::fprintf(out,
               "// Generated by tools/mt2203_parameters (mt2203_parameters emit); do not edit.\n"
               "// Rows (A, B, C) of the MT2203 sub-generators 0 to 6023.\n"
               "#include \"generators/data/mt2203_parameters.h\"\n\n"
               "namespace zorn::generators {\n\n"
               "const Mt2203Parameters kMt2203Parameters[kMt2203SubGenerators] = {\n");
  for (int j = 0; j < kRows; ++j)
    std::fprintf(out, "    {0x%08XU, 0x%08XU, 0x%08XU},\n", rows[j].a, rows[j].b, rows[j].c);
  std::fprintf(out, "};\n\n}  // namespace zorn::generators\n");
  std::fclose(out);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 5 && std::strcmp(argv[1], "search") == 0)
    return search(argv[2], std::atoi(argv[3]), std::atoi(argv[4]), argc > 5 ? std::atoi(argv[5]) : kDefaultTrials);
  if (argc >= 3 && std::strcmp(argv[1], "resolve") == 0) return resolve(argc - 2, argv + 2);
  if (argc >= 4 && std::strcmp(argv[1], "emit") == 0) return emit(argv[2], argc - 3, argv + 3);
  std::fprintf(stderr,
               "usage: %s search PROGRESS FIRST END [TRIALS] | resolve PROGRESS... | emit OUTPUT.cpp "
               "PROGRESS...\n",
               argv[0]);
  return 2;
}
