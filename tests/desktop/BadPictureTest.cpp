// Picture paths and picture files that cannot be shown, and settings files
// far larger than anyone writes: many pictures, many entries, deep folders.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "BadInputFixture.h"
#include "support/PictureFile.h"

namespace {

using namespace badinput;
namespace desktop = platform::desktop;

// A path of exactly `length` characters naming a file in directory "d".
std::string pathOfLength(std::size_t length) { return "d/" + std::string(length - 6, 'q') + ".png"; }

void writeBytes(const std::string& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

std::string readBytes(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

struct PictureCase {
  const char* name;
  std::function<void()> makeFiles;
  std::string attributes;
  bool visible;
  RECT rect;
  std::string box;  // "" for none
};

void solid(const std::string& path, int width, int height) { testsupport::writeSolidPng(path, width, height, 0xFF00FF00); }

void solidInDirectory(const std::string& directory, const std::string& path) {
  std::filesystem::create_directory(directory);
  solid(path, 2, 2);
}

std::vector<PictureCase> pictureCases() {
  const std::string longest = pathOfLength(255);
  const std::string tooLong = pathOfLength(256);
  return {
      {"EmptyPath", [] {}, "w='5' h='5' path=''", false, {0, 0, 5, 5}, pictureBox("")},
      {"Path255Characters", [=] { solidInDirectory("d", longest); },
       "w='5' h='5' path='" + longest + "'", true, {0, 0, 5, 5}, ""},
      // Never shortened into another file's name, and the message is cut
      // after its last whole character that fits 255 bytes.
      {"Path256Characters", [=] { solidInDirectory("d", tooLong); },
       "w='5' h='5' path='" + tooLong + "'", false, {0, 0, 5, 5}, "load error|" + tooLong.substr(0, 255)},
      {"MissingWithAPathOf300Characters", [] {}, "w='5' h='5' path='" + std::string(300, 'a') + ".png'", false,
       {0, 0, 5, 5}, "load error|" + std::string(255, 'a')},
      {"PercentSigns", [] { solid("a%d%s%n.png", 2, 2); }, "w='5' h='5' path='a%d%s%n.png'", true, {0, 0, 5, 5}, ""},
      {"MissingWithPercentSigns", [] {}, "w='5' h='5' path='gone%s%n.png'", false, {0, 0, 5, 5},
       pictureBox("gone%s%n.png")},
      {"JapanesePath", [] { solidInDirectory(u8"写真", u8"写真/花.png"); },
       u8"w='5' h='5' path='写真/花.png'", true, {0, 0, 5, 5}, ""},
      {"Directory", [] { std::filesystem::create_directory("folder.png"); }, "w='5' h='5' path='folder.png'", false,
       {0, 0, 5, 5}, pictureBox("folder.png")},
      {"TextFile", [] { writeBytes("notes.png", "not a picture\n"); }, "w='5' h='5' path='notes.png'", false,
       {0, 0, 5, 5}, pictureBox("notes.png")},
      {"TruncatedPng",
       [] {
         solid("whole.png", 200, 200);
         std::string bytes = readBytes("whole.png");
         writeBytes("cut.png", bytes.substr(0, bytes.size() / 2));
       },
       "w='5' h='5' path='cut.png'", false, {0, 0, 5, 5}, pictureBox("cut.png")},
      {"ZeroByteFile", [] { writeBytes("empty.png", ""); }, "w='5' h='5' path='empty.png'", false, {0, 0, 5, 5},
       pictureBox("empty.png")},
      {"OnePixel", [] { solid("one.png", 1, 1); }, "x='3' y='4' path='one.png'", true, {3, 4, 4, 5}, ""},
      {"OnePixelStretched", [] { solid("one.png", 1, 1); }, "w='50' h='40' path='one.png'", true, {0, 0, 50, 40}, ""},
      // The heaviest picture case: 256 MB of pixels decoded, drawn at its own size.
      {"EightThousandSquare", [] { solid("big.png", 8000, 8000); }, "path='big.png'", true, {0, 0, 8000, 8000}, ""},
  };
}

class BadPicture : public BadInputFixture, public ::testing::WithParamInterface<PictureCase> {};

TEST_P(BadPicture, ReactsAsTheReadmeSays) {
  const PictureCase& testCase = GetParam();
  testCase.makeFiles();
  writeFile("config.xml", settings(image(testCase.attributes) + image("x='500' w='5' h='5' path='good.png'")));
  solid("good.png", 2, 2);
  const std::vector<std::string> expectedBoxes =
      testCase.box.empty() ? std::vector<std::string>{} : std::vector<std::string>{testCase.box};

  Outcome outcome = runAndExit(expectedBoxes.size());

  EXPECT_EQ(0, outcome.exitCode) << testCase.name;
  EXPECT_EQ(expectedBoxes, outcome.boxes) << testCase.name << ": message boxes";
  ASSERT_EQ(2u, outcome.pictures.size()) << testCase.name << ": expected two picture windows, got "
                                         << outcome.pictures.size();
  EXPECT_EQ(testCase.visible, outcome.pictures[0].visible) << testCase.name << ": visible";
  EXPECT_EQ(describe(testCase.rect), describe(outcome.pictures[0].rect)) << testCase.name << ": window rectangle";
  EXPECT_TRUE(outcome.pictures[1].visible) << testCase.name << ": the picture after it must still appear";
  EXPECT_EQ(std::vector<std::string>{}, outcome.debugLines) << testCase.name << ": debugger lines";
  EXPECT_EQ(desktop::ObjectCounts(), outcome.afterRun) << testCase.name << ": something of ours left after Exit";
}

INSTANTIATE_TEST_SUITE_P(Files, BadPicture, ::testing::ValuesIn(pictureCases()),
                         [](const ::testing::TestParamInfo<PictureCase>& info) { return std::string(info.param.name); });

class HugeSettings : public BadInputFixture {};

TEST_F(HugeSettings, TenThousandPicturesAllAppearAndAllGo) {
  solid("p.png", 1, 1);
  std::string images;
  for (int index = 0; index < 10000; ++index) {
    images += image("x='" + std::to_string(index % 1000) + "' y='" + std::to_string(index / 1000) +
                    "' w='1' h='1' path='p.png'");
  }
  writeFile("config.xml", settings(images));

  Outcome outcome = runAndExit();

  EXPECT_EQ(0, outcome.exitCode);
  ASSERT_EQ(10000u, outcome.pictures.size());
  std::size_t shown = static_cast<std::size_t>(std::count_if(outcome.pictures.begin(), outcome.pictures.end(),
                                                             [](const PictureSeen& seen) { return seen.visible; }));
  EXPECT_EQ(10000u, shown) << "expected every picture shown, got " << shown;
  EXPECT_EQ("999,9,1000,10", describe(outcome.pictures.back().rect));
  EXPECT_EQ(desktop::ObjectCounts(), outcome.afterRun) << "something of ours left after Exit";
}

TEST_F(HugeSettings, FiveThousandLauncherFilesStopAtTheLastCommandId) {
  std::string files;
  for (int index = 0; index < 5000; ++index) {
    files += "<file name='f" + std::to_string(index) + "' path='p'/>";
  }
  writeFile("config.xml", settings("<launcher>" + files + "<folder name='kept'/></launcher>"));

  Outcome outcome = runAndExit();

  EXPECT_EQ(0, outcome.exitCode);
  EXPECT_EQ(1000u, outcome.launchEntries) << "ids 1000 to 1999, later files left out";
  const std::string expectedEnd = "f998=1998 | f999=1999 | kept>[]";
  EXPECT_EQ(expectedEnd, outcome.launcher.substr(outcome.launcher.size() - std::min(outcome.launcher.size(),
                                                                                     expectedEnd.size())));
  EXPECT_EQ(desktop::ObjectCounts(), outcome.afterRun) << "something of ours left after Exit";
}

TEST_F(HugeSettings, FoldersTenThousandDeepStopAtSixtyFourLevels) {
  std::string opening;
  std::string closing;
  for (int level = 0; level < 10000; ++level) {
    opening += "<folder name='f'>";
    closing += "</folder>";
  }
  writeFile("config.xml",
            settings("<launcher>" + opening + "<file name='deep' path='d'/>" + closing + "<file name='after' path='a'/>"
                     "</launcher>"));

  Outcome outcome = runAndExit();

  EXPECT_EQ(0, outcome.exitCode);
  EXPECT_EQ(std::vector<std::string>{"launcher: a folder nested deeper than 64 levels is left out\n"},
            outcome.debugLines);
  EXPECT_EQ(1u, outcome.launchEntries) << "only 'after': 'deep' lies below the 64th level";
  EXPECT_EQ(desktop::ObjectCounts(), outcome.afterRun) << "something of ours left after Exit";
}

}  // namespace
