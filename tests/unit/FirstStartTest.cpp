// The first start from the desktop's menu: what the account holds decides
// whether the user's folder is made from the example.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "linux/FirstStart.h"
#include "support/TemporaryDirectory.h"

namespace {

namespace fs = std::filesystem;
using firststart::Outcome;

std::string contents(const fs::path& file) {
  std::ostringstream text;
  text << std::ifstream(file).rdbuf();
  return text.str();
}

TEST(FirstStart, TheUsersFolderIsMadeFromTheExampleOnlyWhenNothingIsThere) {
  const struct {
    const char* account;
    const char* before;  // a file holding "mine" that the home has first
    Outcome outcome;
    const char* after;  // the folder's config.xml and picture afterwards
    const char* why;    // a part of the reason for a failure
  } cases[] = {
      {"fresh, without ~/.config", "", Outcome::made, "<system/>|png", ""},
      {"with its own folder", ".config/tessaline/config.xml", Outcome::existed, "mine|", ""},
      {"with ~/.config a file", ".config", Outcome::failed, "|", "/.config"},
  };
  for (const auto& entry : cases) {
    SCOPED_TRACE(entry.account);
    testsupport::TemporaryDirectory home("first-start");
    fs::create_directory("example");
    std::ofstream("example/config.xml") << "<system/>";
    std::ofstream("example/picture.png") << "png";
    if (*entry.before) {
      fs::path file = home.path() / entry.before;
      fs::create_directories(file.parent_path());
      std::ofstream(file) << "mine";
    }

    std::string why;
    Outcome outcome = firststart::makeFromExample((home.path() / ".config/tessaline").string(),
                                                  (home.path() / "example").string(), why);

    EXPECT_EQ(static_cast<int>(entry.outcome), static_cast<int>(outcome)) << "why: " << why;
    EXPECT_EQ(entry.after, contents(".config/tessaline/config.xml") + "|" + contents(".config/tessaline/picture.png"));
    EXPECT_NE(std::string::npos, why.find(entry.why)) << "expected the reason to name " << entry.why << ", got " << why;
    std::error_code notAFolder;
    for (const fs::directory_entry& beside : fs::directory_iterator(".config", notAFolder)) {
      EXPECT_EQ("tessaline", beside.path().filename()) << "expected nothing beside the user's folder";
    }
  }
}

}  // namespace
