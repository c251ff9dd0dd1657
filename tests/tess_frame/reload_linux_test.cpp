// The thread's cached block, seen from a thread that existed before the library was
// loaded, across an unload and a reload: the kernels and the services must reach a
// block made for the loaded library, never one that died with an earlier load.
#include <dlfcn.h>

#include <gtest/gtest.h>

#include <cmath>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

#include "zorn/tess.h"

namespace {

// A thread that runs the tasks handed to it, one at a time, until it is destroyed.
class Worker {
 public:
  Worker() : thread_([this] { serve(); }) {}
  ~Worker() {
    run(nullptr);
    thread_.join();
  }
  // Runs `task` on the worker (null ends it) and waits until it is done.
  void run(std::function<void()> task) {
    std::unique_lock lock(mutex_);
    task_ = std::move(task);
    pending_ = true;
    changed_.notify_all();
    changed_.wait(lock, [this] { return !pending_; });
  }

 private:
  void serve() {
    for (bool more = true; more;) {
      std::unique_lock lock(mutex_);
      changed_.wait(lock, [this] { return pending_; });
      more = task_ != nullptr;
      if (more) task_();
      pending_ = false;
      changed_.notify_all();
    }
  }
  std::mutex mutex_;
  std::condition_variable changed_;
  std::function<void()> task_;
  bool pending_ = false;
  std::thread thread_;
};

template <class Fn>
Fn symbol(void* library, const char* name) {
  return reinterpret_cast<Fn>(dlsym(library, name));
}

TEST(ThreadCache, ThreadFromBeforeTheLoadSeesOnlyBlocksOfTheLoadedLibrary) {
  Worker worker;  // exists before the library is loaded
  const float subnormal = 1e-40f;
  uint32_t initial_mode = 0;
  for (int load = 0; load < 3; ++load) {
    void* library = dlopen(ZORN_GENERIC_LIBRARY, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr) << dlerror();
    const auto get_mode = symbol<uint32_t (*)()>(library, "_tessGetMode");
    const auto set_mode = symbol<uint32_t (*)(uint32_t)>(library, "_tessSetMode");
    const auto ln = symbol<void (*)(int32_t, const float*, float*)>(library, "_tesssLn");
    ASSERT_TRUE(get_mode && set_mode && ln);
    worker.run([&] {
      if (load == 0) initial_mode = get_mode();
      // A fresh block: the mode set under the previous load is gone.
      EXPECT_EQ(get_mode(), initial_mode) << "load " << load;
      float r = 0;
      ln(1, &subnormal, &r);
      EXPECT_TRUE(std::isfinite(r)) << "load " << load;
      // The kernel reads the mode just set: denormals are zero, so ln gives -inf.
      set_mode(TESS_MODE_FLUSH_DENORMALS | TESS_ERRMODE_IGNORE);
      ln(1, &subnormal, &r);
      EXPECT_EQ(r, -INFINITY) << "load " << load;
    });
    ASSERT_EQ(dlclose(library), 0);
  }
}

}  // namespace
