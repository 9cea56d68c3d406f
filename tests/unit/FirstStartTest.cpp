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
  std::ifstream stream(file);
  std::ostringstream text;
  text << stream.rdbuf();
  return text.str();
}

// What a copy left beside the user's folder (a half-made one would be).
std::string strays(const fs::path& folder) {
  std::string names;
  std::error_code error;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder, error)) {
    names += entry.path().filename() == "tessaline" ? "" : entry.path().filename().string() + " ";
  }
  return names;
}

TEST(FirstStart, TheUsersFolderIsMadeFromTheExampleOnlyWhenNothingIsThere) {
  const struct {
    const char* account;
    const char* before;    // a file holding "mine" that the home has first ("" for none)
    const char* settings;  // the example's settings file, beside its picture
    Outcome outcome;
    const char* madeSettings;  // the folder's config.xml afterwards
    const char* madePicture;   // and its picture
    const char* why;           // a part of the reason for a failure
  } cases[] = {
      {"fresh, without ~/.config", "", "config.xml", Outcome::made, "<system/>", "png", ""},
      {"with its own folder", ".config/tessaline/config.xml", "config.xml", Outcome::existed, "mine", "", ""},
      {"with ~/.config a file", ".config", "config.xml", Outcome::failed, "", "", "/.config"},
      {"with a broken example", "", "other.xml", Outcome::failed, "", "", "has no config.xml"},
  };
  for (const auto& entry : cases) {
    SCOPED_TRACE(entry.account);
    testsupport::TemporaryDirectory home("first-start");
    fs::create_directory("example");
    std::ofstream(fs::path("example") / entry.settings) << "<system/>";
    std::ofstream("example/picture.png") << "png";
    if (*entry.before) {
      fs::path folder = fs::path(entry.before).parent_path();
      if (!folder.empty()) {
        fs::create_directories(folder);
      }
      std::ofstream(entry.before) << "mine";
    }

    std::string why;
    Outcome outcome = firststart::makeFromExample((home.path() / ".config/tessaline").string(),
                                                  (home.path() / "example").string(), why);

    EXPECT_EQ(static_cast<int>(entry.outcome), static_cast<int>(outcome)) << "why: " << why;
    EXPECT_EQ(entry.madeSettings, contents(".config/tessaline/config.xml"));
    EXPECT_EQ(entry.madePicture, contents(".config/tessaline/picture.png"));
    EXPECT_NE(std::string::npos, why.find(entry.why)) << "expected the reason to name \"" << entry.why << "\", got \""
                                                      << why << "\"";
    EXPECT_EQ("", strays(".config")) << "expected nothing beside the folder";
  }
}

}  // namespace
