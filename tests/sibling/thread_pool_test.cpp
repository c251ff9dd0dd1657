// The threading service: every index exactly once, concurrent and nested callers.
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

#include "common/child_process.h"
#include "zorn/core.h"

namespace {

struct Counts {
  std::vector<std::atomic<int>> hits;
  std::atomic<int64_t> wrong_count{0};
  int64_t expected_count;
  explicit Counts(int64_t n) : hits(n), expected_count(n) {}
};

void count_index(int64_t index, int64_t, int64_t count, void* context) {
  auto* c = static_cast<Counts*>(context);
  if (count != c->expected_count) c->wrong_count.fetch_add(1);
  c->hits[index].fetch_add(1);
}

zorn_thr_for_fn run_for() {
  return reinterpret_cast<zorn_thr_for_fn>(zorn_core_threading_service()[ZORN_THR_FOR]);
}
zorn_thr_parallel_for_fn run_parallel_for() {
  return reinterpret_cast<zorn_thr_parallel_for_fn>(
      zorn_core_threading_service()[ZORN_THR_PARALLEL_FOR]);
}
int64_t max_threads() {
  return reinterpret_cast<zorn_thr_max_threads_fn>(
      zorn_core_threading_service()[ZORN_THR_MAX_THREADS])();
}

void expect_each_once(const Counts& c) {
  EXPECT_EQ(c.wrong_count.load(), 0);
  for (size_t i = 0; i < c.hits.size(); ++i) ASSERT_EQ(c.hits[i].load(), 1) << i;
}

TEST(ThreadPool, TableHasOnlyTheThreeEntries) {
  void* const* table = zorn_core_threading_service();
  for (int e = 0; e < ZORN_THR_TABLE_SIZE; ++e)
    EXPECT_EQ(table[e] != nullptr, e == 0 || e == 2 || e == 4) << e;
  EXPECT_GE(max_threads(), 1);
}

TEST(ThreadPool, EveryIndexRunsExactlyOnce) {
  for (int64_t n : {1, 2, 3, 64, 10007}) {
    Counts a(n), b(n);
    run_for()(n, &a, &count_index);
    run_parallel_for()(n, n, &b, &count_index);
    expect_each_once(a);
    expect_each_once(b);
  }
  run_for()(0, nullptr, &count_index);  // nothing to run, nothing touched
}

TEST(ThreadPool, ConcurrentCallersEachGetTheirOwnIndices) {
  constexpr int kCallers = 4;
  std::vector<std::unique_ptr<Counts>> counts;
  for (int c = 0; c < kCallers; ++c) counts.push_back(std::make_unique<Counts>(5000 + c));
  std::vector<std::thread> callers;
  for (int c = 0; c < kCallers; ++c)
    callers.emplace_back([&, c] {
      for (int rep = 0; rep < 20; ++rep) {
        Counts& mine = *counts[c];
        for (auto& h : mine.hits) h = 0;
        run_for()(mine.expected_count, &mine, &count_index);
        for (auto& h : mine.hits) ASSERT_EQ(h.load(), 1);
      }
    });
  for (auto& t : callers) t.join();
}

void nested_worker(int64_t, int64_t, int64_t, void* context) {
  Counts inner(100);
  run_for()(100, &inner, &count_index);
  for (auto& h : inner.hits)
    if (h.load() != 1) static_cast<std::atomic<int>*>(context)->fetch_add(1);
}

TEST(ThreadPool, NestedCallsComplete) {
  std::atomic<int> failures{0};
  run_for()(16, &failures, &nested_worker);
  EXPECT_EQ(failures.load(), 0);
}

TEST(ThreadPool, ThreadCountComesFromTheEnvironment) {
  if (testing_support::in_child()) {
    EXPECT_EQ(max_threads(), 3);
    return;
  }
  auto r = testing_support::run_child_test("ThreadPool.ThreadCountComesFromTheEnvironment",
                                           {{"ZORN_NUM_THREADS", "3"}});
  EXPECT_TRUE(testing_support::ran_one_passing_test(r)) << r.output;
}

}  // namespace
