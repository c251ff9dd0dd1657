// Loading zorn_generic.dll as an application does, and watching from outside what it
// does to the process: the heaps it creates and their busy blocks, its thread-local
// slot, the modules it loads. Each test runs in a fresh process of its own, so that no
// earlier load has left a module, a heap or a slot behind.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "common/child_process.h"
#include "common/spin_barrier.h"

namespace dll_test {

namespace fs = std::filesystem;
using zorn_test::SpinBarrier;

// The folder of this test program, where the build puts both DLLs.
inline fs::path build_folder() {
  wchar_t path[MAX_PATH];
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  return fs::path(std::wstring(path, length)).parent_path();
}

inline fs::path fresh_folder(const std::string& name) {
  const fs::path folder = fs::temp_directory_path() / (name + "-" + std::to_string(GetCurrentProcessId()));
  fs::remove_all(folder);
  fs::create_directories(folder);
  return folder;
}

// In the parent: runs the current test again in a child process (this program, filtered
// to the test) with the environment and working directory given, checks that it passed
// and returns true. In the child: returns false, and the test body runs.
inline bool ran_in_fresh_process(const std::vector<std::pair<std::string, std::string>>& env = {},
                                 const std::string& working_directory = "") {
  if (testing_support::in_child()) return false;
  const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
  const auto result = testing_support::run_child_test(
      std::string(test->test_suite_name()) + "." + test->name(), env, working_directory);
  EXPECT_TRUE(testing_support::ran_one_passing_test(result)) << result.output;
  return true;
}

// zorn_generic.dll (or another DLL) loaded with LoadLibraryW, freed with FreeLibrary.
class Library {
 public:
  explicit Library(const fs::path& dll) : module_(LoadLibraryW(dll.c_str())) {}
  ~Library() { unload(); }
  Library(const Library&) = delete;
  Library& operator=(const Library&) = delete;

  bool loaded() const { return module_ != nullptr; }
  bool unload() {
    const bool freed = module_ != nullptr && FreeLibrary(module_) != 0;
    module_ = nullptr;
    return freed;
  }
  // The exported function `name` as a pointer of type F; null when it is not exported.
  template <class F>
  F function(const char* name) const {
    return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module_, name)));
  }

 private:
  HMODULE module_;
};

inline fs::path generic_dll() { return build_folder() / "zorn_generic.dll"; }

inline std::vector<HANDLE> process_heaps() {
  std::vector<HANDLE> heaps(GetProcessHeaps(0, nullptr) + 16);
  heaps.resize(GetProcessHeaps(static_cast<DWORD>(heaps.size()), heaps.data()));
  std::sort(heaps.begin(), heaps.end());
  return heaps;
}

// The heaps that exist now and were not among `before`.
inline std::vector<HANDLE> heaps_added_since(const std::vector<HANDLE>& before) {
  std::vector<HANDLE> now = process_heaps(), added;
  std::set_difference(now.begin(), now.end(), before.begin(), before.end(), std::back_inserter(added));
  return added;
}

// The addresses of the blocks in use in `heap`, walked under the heap's lock.
inline std::vector<void*> busy_blocks(HANDLE heap) {
  std::vector<void*> blocks;
  if (!HeapLock(heap)) return blocks;
  PROCESS_HEAP_ENTRY entry{};
  while (HeapWalk(heap, &entry))
    if ((entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) != 0) blocks.push_back(entry.lpData);
  HeapUnlock(heap);
  return blocks;
}

// The thread-local slot whose value for the calling thread is `value`, or
// TLS_OUT_OF_INDEXES. A process has at most 1088 slots.
inline DWORD slot_holding(const void* value) {
  constexpr DWORD kSlots = 1088;
  for (DWORD slot = 0; slot < kSlots; ++slot)
    if (TlsGetValue(slot) == value) return slot;
  return TLS_OUT_OF_INDEXES;
}

inline bool all_zero(const void* block, size_t bytes) {
  const auto* p = static_cast<const unsigned char*>(block);
  return std::all_of(p, p + bytes, [](unsigned char c) { return c == 0; });
}

using GetModeFn = uint32_t (*)();
using SetModeFn = uint32_t (*)(uint32_t);
using GetErrStatusFn = int32_t (*)();
using SetErrStatusFn = int32_t (*)(int32_t);
using RealVectorFn = void (*)(int32_t, const double*, double*);

}  // namespace dll_test
