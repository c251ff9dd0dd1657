#include "common/child_process.h"

#include <cstdlib>

namespace testing_support {

bool in_child() {
  const char* v = std::getenv("ZORN_TEST_CHILD");
  return v != nullptr && v[0] == '1';
}

bool ran_one_passing_test(const ChildResult& result) {
  return result.exit_code == 0 &&
         result.output.find("[  PASSED  ] 1 test.") != std::string::npos;
}

}  // namespace testing_support
