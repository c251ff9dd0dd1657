#include "common/child_process.h"

#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>

namespace testing_support {

ChildResult run_child_test(const std::string& test,
                           const std::vector<std::pair<std::string, std::string>>& env,
                           const std::string& working_directory) {
  int pipe_fds[2];
  if (pipe(pipe_fds) != 0) return {-1, 0, "pipe failed"};
  char self[4096];
  ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
  if (length <= 0) return {-1, 0, "readlink failed"};
  self[length] = '\0';
  pid_t pid = fork();
  if (pid == 0) {
    dup2(pipe_fds[1], 1);
    dup2(pipe_fds[1], 2);
    close(pipe_fds[0]);
    setenv("ZORN_TEST_CHILD", "1", 1);
    for (const auto& [name, value] : env) setenv(name.c_str(), value.c_str(), 1);
    if (!working_directory.empty() && chdir(working_directory.c_str()) != 0) _exit(126);
    const std::string filter = "--gtest_filter=" + test;
    execl(self, self, filter.c_str(), "--gtest_also_run_disabled_tests", nullptr);
    _exit(127);
  }
  close(pipe_fds[1]);
  ChildResult result{0, 0, {}};
  std::array<char, 4096> buffer;
  for (ssize_t n; (n = read(pipe_fds[0], buffer.data(), buffer.size())) > 0;)
    result.output.append(buffer.data(), static_cast<size_t>(n));
  close(pipe_fds[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  if (WIFEXITED(status)) {
    result.exit_code = WEXITSTATUS(status);
  } else {
    result.exit_code = -1;
    result.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
  }
  return result;
}

}  // namespace testing_support
