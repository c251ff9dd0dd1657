// Cell search: every method against the cell definition, the width variants, the
// caller's search function and the dispatcher's choices.
#include <algorithm>
#include <cmath>
#include <random>

#include "df_support.h"

namespace {

using df_test::TaskHandle;

// The cell by definition: 0 left of x[0], j for x[j-1] <= t < x[j], nx-1 at the right
// end, nx beyond it.
int64_t reference_cell(const std::vector<double>& x, double t) {
  const int64_t nx = int64_t(x.size());
  if (t < x[0]) return 0;
  if (t == x[nx - 1]) return nx - 1;
  if (t > x[nx - 1]) return nx;
  return int64_t(std::upper_bound(x.begin(), x.end(), t) - x.begin());
}

// The dispatcher's cells for every site (as doubles: a float node array widens exactly)
// against the definition.
template <class T>
void expect_dispatched_cells(ZornDfTask* task, const std::vector<T>& x, const std::vector<T>& t,
                             void* const* threads = nullptr) {
  std::vector<int64_t> cells(t.size(), -1);
  int32_t status;
  if constexpr (sizeof(T) == 8) {
    status = zorn_df_kernel_dDFSearch1D(task, 0, int64_t(t.size()), t.data(), 0, nullptr, cells.data(),
                                        nullptr, nullptr, threads);
  } else {
    status = zorn_df_kernel_sDFSearch1D(task, 0, int64_t(t.size()), t.data(), 0, nullptr, cells.data(),
                                        nullptr, nullptr, threads);
  }
  ASSERT_EQ(status, 0);
  const std::vector<double> xd(x.begin(), x.end());
  for (size_t i = 0; i < t.size(); ++i) ASSERT_EQ(cells[i], reference_cell(xd, double(t[i]))) << t[i];
}

using Kernel64 = void (*)(int64_t, const double*, int64_t, const double*, int64_t*, double,
                          int64_t, int64_t, int64_t, int64_t*);
using Kernel32 = void (*)(int64_t, const double*, int64_t, const double*, int32_t*, double,
                          int64_t, int64_t, int64_t, int32_t*);
using KernelFlag = void (*)(int64_t, const double*, int64_t, const double*, void*, double,
                            int64_t, int64_t, int64_t, void*, int64_t);
struct Family {
  const char* name;
  Kernel64 k64, pack;
  Kernel32 k32;
  KernelFlag flagged;
};
#define FAMILY(M)                                                                          \
  Family {                                                                                 \
    #M, zorn_df_kernel_dDF##M##Search1D64, zorn_df_kernel_dDF##M##Search1D64Pack,          \
        zorn_df_kernel_dDF##M##Search1D32, zorn_df_kernel_dDF##M##Search1D                 \
  }
// Methods that read the full node array.
const Family kNodeFamilies[] = {FAMILY(Sorted), FAMILY(QuasiUniform), FAMILY(Hybrid), FAMILY(Peak)};

TEST(DataFittingSearch, SmallPartitionCellsInEveryMethodAndWidth) {
  const std::vector<double> x = {0, 1, 2, 3};
  const std::vector<double> t = {-1, 0, 0.5, 1, 2.999, 3, 4};
  const int64_t expected[] = {0, 1, 1, 2, 3, 3, 4};
  for (const Family& f : kNodeFamilies) {
    int64_t c64[7], cp[7], state = 0;
    int32_t c32[7], state32 = 0;
    f.k64(4, x.data(), 7, t.data(), &state, 1.0, 0, 0, 0, c64);
    state = 0;
    f.pack(4, x.data(), 7, t.data(), &state, 1.0, 0, 0, 0, cp);
    f.k32(4, x.data(), 7, t.data(), &state32, 1.0, 0, 0, 0, c32);
    int32_t flagged32[7];
    int64_t flagged64[7];
    int64_t fs64 = 0;
    int32_t fs32 = 0;
    f.flagged(4, x.data(), 7, t.data(), &fs32, 1.0, 0, 0, 0, flagged32, 2);
    f.flagged(4, x.data(), 7, t.data(), &fs64, 1.0, 0, 0, 0, flagged64, 3);
    for (int i = 0; i < 7; ++i) {
      EXPECT_EQ(c64[i], expected[i]) << f.name << " site " << t[size_t(i)];
      EXPECT_EQ(cp[i], expected[i]) << f.name;
      EXPECT_EQ(c32[i], expected[i]) << f.name;
      EXPECT_EQ(flagged32[i], expected[i]) << f.name;
      EXPECT_EQ(flagged64[i], expected[i]) << f.name;
    }
  }
}

TEST(DataFittingSearch, LargeRandomPartitionsAgreeWithTheDefinition) {
  std::mt19937_64 gen(7);
  for (int64_t nx : {2, 5, 41, 42, 43, 100, 101, 1000, 5000}) {
    std::vector<double> x(static_cast<size_t>(nx));
    double pos = -3;
    for (auto& v : x) v = pos += std::uniform_real_distribution<double>(0.01, 1.0)(gen);
    std::vector<double> t(3000);
    for (auto& v : t) v = std::uniform_real_distribution<double>(x[0] - 1, x.back() + 1)(gen);
    for (int i = 0; i < 50; ++i) t[size_t(i)] = x[size_t(gen() % uint64_t(nx))];  // on nodes
    const double h = (x.back() - x[0]) / double(nx - 1);
    std::vector<double> sorted = t;
    std::sort(sorted.begin(), sorted.end());
    for (const Family& f : kNodeFamilies) {
      for (const std::vector<double>* sites : {&sorted, &t}) {  // any method may walk sorted sites
        if (sites == &t && std::string(f.name) == "Sorted") continue;
        std::vector<int64_t> cells(sites->size());
        int64_t state = 0;
        f.k64(nx, x.data(), int64_t(sites->size()), sites->data(), &state, h, 0, 0, 0, cells.data());
        for (size_t i = 0; i < sites->size(); ++i)
          ASSERT_EQ(cells[i], reference_cell(x, (*sites)[i])) << f.name << " nx " << nx << " t " << (*sites)[i];
      }
    }
  }
}

TEST(DataFittingSearch, SortedSearchCarriesItsState) {
  const std::vector<double> x = {0, 1, 2, 3};
  const double t[] = {0.5, 0.5, 2.5};
  int64_t cells[3], state = 0;
  zorn_df_kernel_dDFSortedSearch1D64(4, x.data(), 3, t, &state, 1, 0, 0, 0, cells);
  EXPECT_EQ(cells[0], 1);
  EXPECT_EQ(cells[1], 1);
  EXPECT_EQ(cells[2], 3);
  EXPECT_EQ(state, 3);
  // A site at the right end leaves the state; nothing at all for no sites.
  const double end = 3;
  zorn_df_kernel_dDFSortedSearch1D64(4, x.data(), 1, &end, &state, 1, 0, 0, 0, cells);
  EXPECT_EQ(cells[0], 3);
  EXPECT_EQ(state, 3);
  cells[0] = -9;
  zorn_df_kernel_dDFSortedSearch1D64(4, x.data(), 0, t, &state, 1, 0, 0, 0, cells);
  EXPECT_EQ(cells[0], -9);
  EXPECT_EQ(state, 3);
  // A state outside the partition is clamped, never used as an index.
  state = 1 << 30;
  zorn_df_kernel_dDFSortedSearch1D64(4, x.data(), 1, t, &state, 1, 0, 0, 0, cells);
  EXPECT_EQ(cells[0], 3);  // the state says "last cell": wrong for an unsorted site, but safe
}

// The kernel walks runs of sorted sites side by side; cells and state must be those of
// the rule site after site (the previous cell s kept while t < x[s], else the cell found
// above it; the right end leaves the state): from a state ahead of the sites, and with
// sites repeated, outside, NaN or out of order.
TEST(DataFittingSearch, SortedSearchEqualsTheSiteBySiteRule) {
  std::mt19937_64 gen(11);
  std::vector<double> x(300);
  double pos = 0;
  for (auto& v : x) v = pos += std::uniform_real_distribution<double>(0.1, 1.0)(gen);
  const int64_t nx = 300;
  struct Case { double lo, hi; int64_t state, count; int edit; };  // edit: 1 right end, 2 NaN, 3 reversed tail
  const Case cases[] = {{x[0], x[299], 0, 200, 0}, {x[0], x[299], 0, 20, 0}, {x[0] - 5, x[299] + 5, 0, 200, 0},
                        {x[0], x[299], 250, 200, 0}, {x[0], x[299], 300, 200, 0}, {x[290], x[299], 7, 200, 1},
                        {x[0], x[10], 3, 200, 0}, {x[0], x[299], 0, 200, 2}, {x[0], x[299], 0, 200, 3}};
  for (const Case& k : cases) {
    std::vector<double> t(size_t(k.count));
    for (auto& v : t) v = std::uniform_real_distribution<double>(k.lo, k.hi)(gen);
    std::sort(t.begin(), t.end());
    if (k.edit == 1) std::fill(t.end() - 30, t.end(), x[299]);
    if (k.edit == 2) t[100] = std::nan("");
    if (k.edit == 3) std::reverse(t.begin() + 40, t.end());
    std::vector<int64_t> cells(t.size());
    int64_t state = k.state, s = k.state;
    zorn_df_kernel_dDFSortedSearch1D64(nx, x.data(), k.count, t.data(), &state, 1, 0, 0, 0, cells.data());
    for (size_t i = 0; i < t.size(); ++i) {
      const int64_t kept = std::min(s, nx - 1);
      const bool inside = t[i] >= x[0] && t[i] < x[299];
      const int64_t c = std::isnan(t[i]) ? 0 : inside && t[i] < x[size_t(kept)] ? kept : reference_cell(x, t[i]);
      if (!(t[i] == x[299])) s = c;
      ASSERT_EQ(cells[i], c) << k.lo << ' ' << k.state << " site " << i;
    }
    EXPECT_EQ(state, s);
  }
}

TEST(DataFittingSearch, UniformPartitionUsesTheStep) {
  const double ends[2] = {0, 1};
  const double t[] = {-0.1, 0, 0.05, 0.95, 1, 1.01, 1 - 1e-16, std::nan("")};
  const int64_t expected[] = {0, 1, 1, 10, 10, 11, 10, 0};
  int64_t cells[8];
  zorn_df_kernel_dDFUniformSearch1D64(11, ends, 8, t, nullptr, 0.1, 0, 0, 0, cells);
  for (int i = 0; i < 8; ++i) EXPECT_EQ(cells[i], expected[i]) << t[i];
  int32_t c32[8];
  zorn_df_kernel_sDFUniformSearch1D32(11, std::vector<float>{0, 1}.data(), 8,
                                      std::vector<float>(t, t + 8).data(), nullptr, 0.1f, 0, 0, 0, c32);
  for (int i = 0; i < 8; ++i) EXPECT_EQ(c32[i], expected[i]) << t[i];
}

struct Guess {
  int64_t cell;
  int32_t status;
  int32_t flag;
  int calls = 0;
};
int32_t guessing_search(int64_t* n, const double*, int64_t* cells, int32_t* flags, void* param,
                        void* word) {
  auto* g = static_cast<Guess*>(param);
  ++g->calls;
  EXPECT_EQ(word, nullptr);
  for (int64_t i = 0; i < *n; ++i) {
    cells[i] = g->cell;
    flags[i] = g->flag;
  }
  return g->status;
}

// The caller's search on the partition 0, 1, 2, 3, asked in blocks of 128 sites: its
// status 0 has each guess corrected from the guessed cell; 1000 makes the guesses final;
// a positive status keeps them and is returned; a negative one is returned at once.
// (-1: not checked.)
TEST(DataFittingSearch, CallerSearchGuessesAndStatuses) {
  const double x[4] = {0, 1, 2, 3};
  const struct {
    double site;
    int64_t n;
    Guess guess;
    bool flags;
    int32_t status;
    int64_t cell;
    int calls;
  } cases[] = {{2, 1, {2, 0, 0}, false, 0, 2, -1},       {2, 1, {1, 0, 0}, false, 0, 3, -1},
               {2, 1, {0, 0, 0}, false, 0, 3, -1},       {2, 1, {9, 0, 0}, false, 0, 3, -1},
               {2, 1, {-4, 0, 0}, false, 0, 3, -1},      {0, 1, {0, 7, 0}, false, 7, 0, -1},
               {3, 1, {9, 0, 0}, false, 0, 3, -1},       {2.5, 300, {42, 1000, 0}, false, 0, 42, 3},
               {2.5, 300, {42, 3, 1}, true, 3, 42, -1},  {2.5, 300, {1, -5, 0}, false, -5, -1, 1}};
  for (auto c : cases) {
    SCOPED_TRACE(testing::Message() << "site " << c.site << " guess " << c.guess.cell << " status " << c.guess.status);
    const std::vector<double> t(size_t(c.n), c.site);
    std::vector<int64_t> cells(t.size(), -1);
    std::vector<int32_t> flags(t.size(), 0);
    int32_t* site_flags = c.flags ? flags.data() : nullptr;
    EXPECT_EQ(zorn_df_kernel_dDFUserDefSearch1D64(4, x, c.n, t.data(), nullptr, 1, 0, 0, 0, cells.data(), 0,
                                                  guessing_search, &c.guess, nullptr, site_flags),
              c.status);
    if (c.cell >= 0) EXPECT_TRUE(std::all_of(cells.begin(), cells.end(), [&](int64_t k) { return k == c.cell; }));
    if (c.calls >= 0) EXPECT_EQ(c.guess.calls, c.calls);
  }
  // The uniform variant ignores the guess in favour of the step.
  const double ends[2] = {0, 3};
  const std::vector<double> t(300, 2.5);
  Guess ignored{0, 0, 0};
  int32_t c32[300];
  EXPECT_EQ(zorn_df_kernel_dDFUniUserDefSearch1D32(4, ends, 300, t.data(), nullptr, 1, 0, 0, 0, c32, 0,
                                                   guessing_search, &ignored, nullptr, nullptr),
            0);
  EXPECT_EQ(c32[0], 3);
  EXPECT_EQ(c32[299], 3);
}

TEST(DataFittingSearch, DispatcherChoosesAndChecksTheDataHint) {
  const std::vector<double> x = {0, 1, 2, 3};
  TaskHandle h;
  ASSERT_EQ(zorn_df_kernel_dNewTask1D(&h.task, 4, x.data(), 0, 0, nullptr, 0, 0), 0);
  const double t[] = {-1, 0, 0.5, 1, 2.999, 3, 4};
  int32_t cells[7] = {};
  double hint[5] = {0, 0.5, 0, 0, 0};
  EXPECT_EQ(zorn_df_kernel_dDFSearch1D(h.task, 0, 7, t, 0, hint, cells, nullptr, nullptr, nullptr), -1026);
  hint[1] = std::nan("");
  EXPECT_EQ(zorn_df_kernel_dDFSearch1D(h.task, 0, 7, t, 0, hint, cells, nullptr, nullptr, nullptr), -1026);
  hint[1] = 1;
  hint[4] = 5;
  EXPECT_EQ(zorn_df_kernel_dDFSearch1D(h.task, 0, 7, t, 0, hint, cells, nullptr, nullptr, nullptr), -1026);
  EXPECT_EQ(cells[0], 0);  // nothing written
  hint[4] = 4;
  const int32_t expected[] = {0, 1, 1, 2, 3, 3, 4};
  for (const double* dh : {static_cast<const double*>(hint), static_cast<const double*>(nullptr)}) {
    for (int64_t site_hint : {0, 64}) {
      std::fill(cells, cells + 7, -1);
      ASSERT_EQ(zorn_df_kernel_dDFSearch1D(h.task, 0, 7, t, site_hint, dh, cells, nullptr, nullptr,
                                           df_test::threads()),
                0);
      for (int i = 0; i < 7; ++i) EXPECT_EQ(cells[i], expected[i]);
    }
  }
  // Site hint 4: only the first and the last site are given.
  const double span[2] = {-1, 4};
  int32_t generated[11];
  ASSERT_EQ(zorn_df_kernel_dDFSearch1D(h.task, 0, 11, span, 4, nullptr, generated, nullptr, nullptr, nullptr), 0);
  const int32_t gen_expected[] = {0, 0, 1, 1, 2, 2, 3, 3, 3, 4, 4};  // -1, -0.5, 0, ..., 4
  for (int i = 0; i < 11; ++i) EXPECT_EQ(generated[i], gen_expected[i]) << i;
}

TEST(DataFittingSearch, DispatcherSplitsBlocksOverThreadsWithSameCells) {
  std::mt19937_64 gen(11);
  const int64_t nx = 777;
  std::vector<double> x(static_cast<size_t>(nx));
  double pos = 0;
  for (auto& v : x) v = pos += std::uniform_real_distribution<double>(0.1, 1.0)(gen);
  std::vector<double> t(2048 * 9 + 17);
  for (auto& v : t) v = std::uniform_real_distribution<double>(-1, pos + 1)(gen);
  for (int64_t hint : {int64_t(0), int64_t(2)}) {
    TaskHandle h;
    ASSERT_EQ(zorn_df_kernel_dNewTask1D(&h.task, nx, x.data(), hint, 0, nullptr, 0, 1), 0);
    expect_dispatched_cells(h.task, x, t, df_test::threads());
  }
}


// The dispatcher narrows the default search through the task's bin table; clustered
// nodes (many per bin) and a table left behind by later edits must not change cells.
TEST(DataFittingSearch, BinTableNarrowingKeepsCellsExact) {
  std::mt19937_64 gen(13);
  std::vector<double> x;
  for (int i = 0; i < 2000; ++i) x.push_back(i < 1500 ? 1e-3 * i : 1.5 + (i - 1500));  // dense, then sparse
  std::vector<double> t(5000);
  for (auto& v : t) v = std::uniform_real_distribution<double>(-1, x.back() + 1)(gen);
  for (int i = 0; i < 200; ++i) t[size_t(i)] = x[size_t(gen() % x.size())];
  TaskHandle h;
  ASSERT_EQ(zorn_df_kernel_dNewTask1D(&h.task, int64_t(x.size()), x.data(), 1, 0, nullptr, 0, 1), 0);
  expect_dispatched_cells(h.task, x, t);
  // Fewer nodes than the table was built for: the table is set aside.
  const std::vector<double> head(x.begin(), x.begin() + 100);
  ASSERT_EQ(zorn_df_kernel_iEditVal(h.task, 14, 100), 0);
  expect_dispatched_cells(h.task, head, t);
}


TEST(DataFittingSearch, SinglePrecisionDispatcherAgreesWithTheDefinition) {
  std::mt19937_64 gen(17);
  std::vector<float> x(3000);
  float pos = 0;
  for (auto& v : x) v = pos += std::uniform_real_distribution<float>(0.01f, 1.0f)(gen);
  std::vector<float> t(4000);
  for (auto& v : t) v = std::uniform_real_distribution<float>(-1, pos + 1)(gen);
  for (int i = 0; i < 300; ++i) t[size_t(i)] = x[size_t(gen() % x.size())];
  TaskHandle h;
  ASSERT_EQ(zorn_df_kernel_sNewTask1D(&h.task, int64_t(x.size()), x.data(), 0, 0, nullptr, 0, 1), 0);
  expect_dispatched_cells(h.task, x, t);
}

}  // namespace
