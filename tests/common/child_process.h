// Runs a test body in a child process created by re-executing this test program with
// a filter that selects one test, so that environment variables read at start-up,
// the working directory and process-wide state can be set freshly for it.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace testing_support {

struct ChildResult {
  int exit_code;  // -1 when the child died by a signal
  int signal;
  std::string output;  // standard output and standard error together
};

// Runs `<this program> --gtest_filter=<test>` with the extra environment variables and
// working directory given; `test` is "Suite.Name". The child sees ZORN_TEST_CHILD=1.
ChildResult run_child_test(const std::string& test,
                           const std::vector<std::pair<std::string, std::string>>& env = {},
                           const std::string& working_directory = "");

// True inside such a child.
bool in_child();

// True when the child ran exactly one test and it passed (a filter that matches
// nothing also exits with 0, so the exit code alone proves nothing).
bool ran_one_passing_test(const ChildResult& result);

}  // namespace testing_support
