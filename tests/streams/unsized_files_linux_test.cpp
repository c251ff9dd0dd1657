// Files whose size cannot be measured are judged by the bytes they deliver, as a
// regular file holding those bytes would be.
#include <gtest/gtest.h>

#include "streams/status.h"
#include "zorn/pavo.h"

namespace {

TEST(UnsizedFiles, CharacterDevicesAreJudgedByTheirBytes) {
  const struct {
    const char* path;
    int32_t status;
  } cases[] = {
      {"/dev/zero", zorn::streams::kStatusFileBadHeader},  // zeros: no magic letters
      {"/dev/null", zorn::streams::kStatusShortRead},      // nothing to read
  };
  for (const auto& c : cases) {
    void* loaded = reinterpret_cast<void*>(1);
    EXPECT_EQ(__pavoLoadStreamF(&loaded, c.path, -1), c.status) << c.path;
    EXPECT_EQ(loaded, nullptr);
  }
}

}  // namespace
