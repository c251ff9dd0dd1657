// Lazy binding of the sibling: the kernel library loads without it, binds it on the
// first call that needs it, from its own directory only, and unloads cleanly.
#include <dlfcn.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "common/child_process.h"
#include "core_interface/sibling_loader.h"

namespace fs = std::filesystem;

namespace {

using GetModeFn = uint32_t (*)();
using SetModeFn = uint32_t (*)(uint32_t);

bool mapped(const std::string& path) {
  std::ifstream maps("/proc/self/maps");
  std::string line;
  while (std::getline(maps, line))
    if (line.size() >= path.size() && line.compare(line.size() - path.size(), path.size(), path) == 0)
      return true;
  return false;
}

fs::path fresh_directory(const std::string& name) {
  fs::path dir = fs::temp_directory_path() / (name + "-" + std::to_string(getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir);
  return dir;
}

TEST(SiblingLoader, OnlyZornNamesAreHandled) {
  EXPECT_EQ(zorn::core_interface::load_sibling_library("m"), nullptr);
  EXPECT_EQ(zorn::core_interface::load_sibling_library("libzorn_core"), nullptr);
  EXPECT_EQ(zorn::core_interface::load_sibling_library(nullptr), nullptr);
  EXPECT_EQ(zorn::core_interface::load_sibling_library("zorn_no_such_library"), nullptr);
  void* core = zorn::core_interface::load_sibling_library("zorn_core");
  ASSERT_NE(core, nullptr);
  EXPECT_NE(dlsym(core, "zorn_serv_allocate"), nullptr);
  dlclose(core);
}

// Child: the kernel library alone in directory A; another copy of libzorn_core.so in
// the working directory and on LD_LIBRARY_PATH (directory B). This test program has
// already loaded a copy (B's or the build's), so binding by name or through the search
// path would reuse it and never map A's.
TEST(SiblingBinding, BindsFromOwnDirectoryOnFirstUse) {
  if (!testing_support::in_child()) GTEST_SKIP() << "runs in a child process";
  const fs::path a = std::getenv("ZORN_TEST_DIR_A");
  const std::string generic = (a / "libzorn_generic.so").string();
  const std::string core = (a / "libzorn_core.so").string();
  void* lib = dlopen(generic.c_str(), RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(lib, nullptr) << dlerror();  // loads although its sibling is missing
  EXPECT_FALSE(mapped(core));
  fs::copy_file(ZORN_CORE_LIBRARY, core);
  auto get_mode = reinterpret_cast<GetModeFn>(dlsym(lib, "_tessGetMode"));
  ASSERT_NE(get_mode, nullptr);
  EXPECT_EQ(get_mode(), 0x1A02u);  // reads ZORN_TESS_MODE through the sibling
  EXPECT_TRUE(mapped(core));
}

TEST(SiblingBinding, SiblingIsTakenFromTheLibrarysDirectoryOnly) {
  if (testing_support::in_child()) GTEST_SKIP();
  const fs::path a = fresh_directory("zorn-binding-a"), b = fresh_directory("zorn-binding-b");
  fs::copy_file(ZORN_GENERIC_LIBRARY, a / "libzorn_generic.so");
  fs::copy_file(ZORN_CORE_LIBRARY, b / "libzorn_core.so");
  auto r = testing_support::run_child_test(
      "SiblingBinding.BindsFromOwnDirectoryOnFirstUse",
      {{"ZORN_TEST_DIR_A", a.string()}, {"LD_LIBRARY_PATH", b.string()}}, b.string());
  EXPECT_TRUE(testing_support::ran_one_passing_test(r)) << r.output;
  fs::remove_all(a);
  fs::remove_all(b);
}

TEST(SiblingBinding, MissingSiblingEndsTheProcessAtFirstUse) {
  if (testing_support::in_child()) {
    void* lib = dlopen(std::getenv("ZORN_TEST_LIBRARY"), RTLD_NOW | RTLD_LOCAL);
    if (lib == nullptr) return;
    std::printf("loaded\n");
    std::fflush(stdout);
    reinterpret_cast<GetModeFn>(dlsym(lib, "_tessGetMode"))();
    std::printf("returned\n");
    return;
  }
  const fs::path a = fresh_directory("zorn-binding-missing");
  fs::copy_file(ZORN_GENERIC_LIBRARY, a / "libzorn_generic.so");
  auto r = testing_support::run_child_test("SiblingBinding.MissingSiblingEndsTheProcessAtFirstUse",
                                           {{"ZORN_TEST_LIBRARY", (a / "libzorn_generic.so").string()}});
  EXPECT_NE(r.output.find("loaded"), std::string::npos) << r.output;
  EXPECT_EQ(r.output.find("returned"), std::string::npos) << r.output;
  EXPECT_NE(r.output.find("libzorn_core.so"), std::string::npos) << r.output;
  EXPECT_NE(r.exit_code, 0);
  fs::remove_all(a);
}

TEST(LibraryLifecycle, UnloadAndReloadStartsFromEmptyBlocks) {
  void* lib = dlopen(ZORN_GENERIC_LIBRARY, RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(lib, nullptr) << dlerror();
  auto set_mode = reinterpret_cast<SetModeFn>(dlsym(lib, "_tessSetMode"));
  ASSERT_NE(set_mode, nullptr);
  set_mode(0x100);
  EXPECT_EQ(reinterpret_cast<GetModeFn>(dlsym(lib, "_tessGetMode"))(), 0x102u);
  ASSERT_EQ(dlclose(lib), 0);
  ASSERT_EQ(dlopen(ZORN_GENERIC_LIBRARY, RTLD_NOW | RTLD_NOLOAD), nullptr) << "still loaded";
  lib = dlopen(ZORN_GENERIC_LIBRARY, RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(lib, nullptr);
  EXPECT_EQ(reinterpret_cast<GetModeFn>(dlsym(lib, "_tessGetMode"))(), 0x1A02u);
  dlclose(lib);
}

}  // namespace
