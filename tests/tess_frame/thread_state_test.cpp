// The per-thread blocks: lazy creation, one heap and one slot under races, release at
// thread end, and the library entry routine's detach reasons.
#include <gtest/gtest.h>

#include <atomic>
#include <set>
#include <thread>
#include <vector>

#include "common/spin_barrier.h"
#include "tess_frame/library_entry.h"
#include "tess_frame/thread_state.h"

namespace {
using zorn_test::SpinBarrier;

using zorn::tess_heap;
using zorn::tess_library_entry;
using zorn::tess_tls_index;
using zorn::platform::heap_live_blocks;
using zorn::platform::kNoSlot;

// Unloads the per-thread state as an unload would, leaving no slot and no heap.
void unload_state() {
  ASSERT_EQ(tess_library_entry(nullptr, zorn::kProcessDetach, nullptr), 1);
  ASSERT_EQ(tess_tls_index.load(), kNoSlot);
  ASSERT_EQ(tess_heap.load(), nullptr);
}

TEST(ThreadState, SimultaneousFirstCallsMakeOneHeapAndOneBlockEach) {
  unload_state();
  constexpr int kThreads = 32;
  SpinBarrier start(kThreads + 1), created(kThreads + 1), finish(kThreads + 1);
  std::vector<zorn::TessThreadState*> blocks(kThreads);
  std::vector<zorn::platform::Heap*> heaps(kThreads);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t)
    threads.emplace_back([&, t] {
      start.arrive_and_wait();
      blocks[t] = zorn::tess_get_thread_state();
      heaps[t] = tess_heap.load();
      blocks[t]->ErrStatus = t;  // each thread touches only its own block
      created.arrive_and_wait();
      finish.arrive_and_wait();
      EXPECT_EQ(zorn::tess_get_thread_state()->ErrStatus, t);
    });
  start.arrive_and_wait();
  created.arrive_and_wait();
  EXPECT_EQ(std::set<zorn::TessThreadState*>(blocks.begin(), blocks.end()).size(), size_t{kThreads});
  EXPECT_EQ(std::set<zorn::platform::Heap*>(heaps.begin(), heaps.end()).size(), 1u);
  EXPECT_NE(heaps[0], nullptr);
  EXPECT_EQ(heap_live_blocks(tess_heap.load()), size_t{kThreads});
  finish.arrive_and_wait();
  for (auto& th : threads) th.join();
  // Every thread's block was released when the thread ended.
  EXPECT_EQ(heap_live_blocks(tess_heap.load()), 0u);
}

TEST(ThreadState, NewBlocksStartEmpty) {
  zorn::TessThreadState seen{};
  std::thread([&] { seen = *zorn::tess_get_thread_state(); }).join();
  EXPECT_EQ(seen.Mode, 0u);
  EXPECT_EQ(seen.ErrStatus, 0);
  EXPECT_EQ(seen.ErrorCallBack, nullptr);
  EXPECT_EQ(seen.InterfInputVectorPointer, nullptr);
}

TEST(ThreadState, ThreadsThatNeverCallGetNoBlock) {
  zorn::tess_get_thread_state();  // make sure slot and heap exist
  const size_t before = heap_live_blocks(tess_heap.load());
  std::thread([] {}).join();
  std::thread([] { tess_library_entry(nullptr, zorn::kThreadAttach, nullptr); }).join();
  EXPECT_EQ(heap_live_blocks(tess_heap.load()), before);
}

TEST(LibraryEntry, ProcessExitLeavesSlotAndHeapAlone) {
  zorn::TessThreadState* mine = zorn::tess_get_thread_state();
  mine->ErrStatus = 42;
  const uint32_t slot = tess_tls_index.load();
  zorn::platform::Heap* heap = tess_heap.load();
  int marker = 0;
  EXPECT_EQ(tess_library_entry(nullptr, zorn::kProcessDetach, &marker), 1);
  EXPECT_EQ(tess_tls_index.load(), slot);
  EXPECT_EQ(tess_heap.load(), heap);
  EXPECT_EQ(zorn::tess_get_thread_state(), mine);
  EXPECT_EQ(mine->ErrStatus, 42);
}

TEST(LibraryEntry, UnloadReleasesEverythingAndStateRestartsEmpty) {
  zorn::tess_get_thread_state()->Mode = 0x1A01;
  std::atomic<bool> unloaded{false};
  std::thread other([&] {
    zorn::tess_get_thread_state()->ErrStatus = 7;
    while (!unloaded.load()) std::this_thread::yield();
  });
  while (heap_live_blocks(tess_heap.load()) < 2) std::this_thread::yield();
  unload_state();  // destroys the other thread's block with the heap
  unloaded = true;
  other.join();
  // A new attach starts from empty blocks.
  ASSERT_EQ(tess_library_entry(nullptr, zorn::kProcessAttach, nullptr), 1);
  EXPECT_NE(tess_tls_index.load(), kNoSlot);
  EXPECT_EQ(heap_live_blocks(tess_heap.load()), 1u);
  EXPECT_EQ(zorn::tess_get_thread_state()->Mode, 0u);
  EXPECT_EQ(_tessGetMode(), 0x1A02u);
}

TEST(LibraryEntry, ThreadDetachFreesOnlyTheCallersBlock) {
  zorn::tess_get_thread_state();
  const size_t before = heap_live_blocks(tess_heap.load());
  std::thread([&] {
    zorn::tess_get_thread_state();
    EXPECT_EQ(heap_live_blocks(tess_heap.load()), before + 1);
    EXPECT_EQ(tess_library_entry(nullptr, zorn::kThreadDetach, nullptr), 1);
    EXPECT_EQ(heap_live_blocks(tess_heap.load()), before);
    EXPECT_EQ(zorn::platform::slot_get(tess_tls_index.load()), nullptr);
  }).join();
  EXPECT_EQ(heap_live_blocks(tess_heap.load()), before);
}

}  // namespace
