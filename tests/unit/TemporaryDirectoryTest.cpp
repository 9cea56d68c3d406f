// The tests' temporary working directory: fresh, current while it lives,
// gone with everything in it afterwards, and the previous directory current
// again.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>

#include "support/TemporaryDirectory.h"

namespace fs = std::filesystem;
using testsupport::TemporaryDirectory;

namespace {

TEST(TemporaryDirectoryTest, IsANewCurrentDirectoryUnderTheSystemTemporaryDirectory) {
  TemporaryDirectory first("unit");
  TemporaryDirectory second("unit");
  EXPECT_EQ(fs::temp_directory_path(), first.path().parent_path()) << "made at " << first.path();
  EXPECT_EQ(0u, first.path().filename().string().rfind("tessaline-unit-", 0)) << "named " << first.path();
  EXPECT_NE(first.path(), second.path()) << "two directories made at once must differ";
  EXPECT_EQ(second.path(), fs::current_path()) << "expected the newest directory to be current";
}

TEST(TemporaryDirectoryTest, GoingAwayRestoresThePreviousDirectoryAndRemovesTheTree) {
  const fs::path original = fs::current_path();
  std::optional<TemporaryDirectory> outer(std::in_place, "unit");
  std::optional<TemporaryDirectory> inner(std::in_place, "unit");
  const fs::path innerPath = inner->path();
  fs::create_directories("pictures/nested");
  std::ofstream("pictures/nested/picture.png") << "content";

  inner.reset();
  EXPECT_FALSE(fs::exists(innerPath)) << innerPath << " should be removed with its files and folders";
  EXPECT_EQ(outer->path(), fs::current_path()) << "expected the directory current before it was made";

  outer.reset();
  EXPECT_EQ(original, fs::current_path()) << "expected the directory current before the test";
}

}  // namespace
