// zorn_generic.dll on the platform's own services: its private heap (HeapCreate) and
// thread-local slot (TlsAlloc) seen from outside, the blocks of threads freed by the
// thread-detach notification, and FreeLibrary releasing everything.
#include <atomic>
#include <memory>
#include <thread>
#include <vector>

#include "windows_dll/loaded_library.h"

namespace {

using namespace dll_test;

// The size of a thread's block: mode word, error status, callback, input pointer.
constexpr size_t kThreadBlockBytes = 24;
constexpr uint32_t kInitialMode = 0x1A02;

// The heap the library made while loading, found as the one heap the load added.
HANDLE heap_made_by_load(Library& library, const std::vector<HANDLE>& before) {
  const std::vector<HANDLE> added = heaps_added_since(before);
  EXPECT_TRUE(library.loaded());
  EXPECT_EQ(added.size(), 1u) << "the load should create exactly one heap";
  return added.empty() ? nullptr : added.front();
}

TEST(DllLifecycle, LoadMakesTheLoadingThreadsEmptyBlockInAPrivateHeap) {
  if (ran_in_fresh_process()) return;
  const std::vector<HANDLE> before = process_heaps();
  Library library(generic_dll());
  HANDLE heap = heap_made_by_load(library, before);
  ASSERT_NE(heap, nullptr);
  const std::vector<void*> blocks = busy_blocks(heap);
  ASSERT_EQ(blocks.size(), 1u);
  EXPECT_TRUE(all_zero(blocks[0], kThreadBlockBytes));
  EXPECT_NE(slot_holding(blocks[0]), TLS_OUT_OF_INDEXES) << "the block is not in a slot of this thread";
}

TEST(DllLifecycle, FreeLibraryDestroysTheHeapAndFreesTheSlotAndAReloadStartsEmpty) {
  if (ran_in_fresh_process()) return;
  const std::vector<HANDLE> before = process_heaps();
  auto library = std::make_unique<Library>(generic_dll());
  HANDLE heap = heap_made_by_load(*library, before);
  ASSERT_NE(heap, nullptr);
  ASSERT_EQ(busy_blocks(heap).size(), 1u);
  void* block = busy_blocks(heap).front();
  const DWORD slot = slot_holding(block);
  ASSERT_NE(slot, TLS_OUT_OF_INDEXES);
  library->function<SetModeFn>("_tessSetMode")(0x100);
  std::thread([&] { library->function<GetModeFn>("_tessGetMode")(); }).join();

  ASSERT_TRUE(library->unload());
  EXPECT_EQ(process_heaps(), before) << "the private heap outlived FreeLibrary";
  EXPECT_EQ(TlsGetValue(slot), nullptr);
  // The platform hands out the lowest free slot, so the library's slot comes back.
  const DWORD reused = TlsAlloc();
  EXPECT_EQ(reused, slot) << "the library's slot was not freed";
  TlsFree(reused);

  library = std::make_unique<Library>(generic_dll());
  HANDLE new_heap = heap_made_by_load(*library, before);
  ASSERT_NE(new_heap, nullptr);
  const std::vector<void*> blocks = busy_blocks(new_heap);
  ASSERT_EQ(blocks.size(), 1u);
  EXPECT_TRUE(all_zero(blocks[0], kThreadBlockBytes));
  EXPECT_EQ(library->function<GetModeFn>("_tessGetMode")(), kInitialMode);
}

TEST(DllLifecycle, ThreadDetachFreesTheBlocksOfEndingThreads) {
  if (ran_in_fresh_process()) return;
  const std::vector<HANDLE> before = process_heaps();
  Library library(generic_dll());
  HANDLE heap = heap_made_by_load(library, before);
  ASSERT_NE(heap, nullptr);
  auto set_status = library.function<SetErrStatusFn>("_tessSetErrStatus");
  auto get_status = library.function<GetErrStatusFn>("_tessGetErrStatus");
  ASSERT_NE(set_status, nullptr);
  ASSERT_NE(get_status, nullptr);

  constexpr int kCallers = 8, kIdlers = 4;
  SpinBarrier called(kCallers + kIdlers + 1), release(kCallers + kIdlers + 1);
  std::atomic<int> kept_own_status{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < kCallers; ++t)
    threads.emplace_back([&, t] {
      set_status(100 + t);  // the thread's first call makes its block
      called.arrive_and_wait();
      release.arrive_and_wait();
      if (get_status() == 100 + t) ++kept_own_status;
    });
  for (int t = 0; t < kIdlers; ++t)
    threads.emplace_back([&] {  // attached and detached, never calls: no block
      called.arrive_and_wait();
      release.arrive_and_wait();
    });
  called.arrive_and_wait();
  EXPECT_EQ(busy_blocks(heap).size(), size_t{1 + kCallers});
  release.arrive_and_wait();
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(kept_own_status.load(), kCallers);
  EXPECT_EQ(busy_blocks(heap).size(), 1u) << "blocks of ended threads were not freed";
}

TEST(DllLifecycle, ThreadFromBeforeTheLoadGetsItsBlockOnFirstCallAndFreesItAtExit) {
  if (ran_in_fresh_process()) return;
  std::atomic<GetModeFn> get_mode{nullptr};
  std::atomic<int> step{0};
  uint32_t mode_seen = 0;
  std::thread early([&] {
    while (step.load() != 1) std::this_thread::yield();
    mode_seen = get_mode.load()();
    step = 2;
    while (step.load() != 3) std::this_thread::yield();
  });
  const std::vector<HANDLE> before = process_heaps();
  Library library(generic_dll());
  HANDLE heap = heap_made_by_load(library, before);
  ASSERT_NE(heap, nullptr);
  EXPECT_EQ(busy_blocks(heap).size(), 1u) << "only the loading thread has a block at load";
  get_mode = library.function<GetModeFn>("_tessGetMode");
  step = 1;
  while (step.load() != 2) std::this_thread::yield();
  EXPECT_EQ(mode_seen, kInitialMode);
  EXPECT_EQ(busy_blocks(heap).size(), 2u);
  step = 3;
  early.join();
  EXPECT_EQ(busy_blocks(heap).size(), 1u) << "the early thread's block was not freed at its exit";
}

}  // namespace
