// Settings files that are broken as a whole: encodings, root elements, XML
// that stops or never starts, and a file that breaks before a Reload.
#include <string>
#include <vector>

#include "BadInputFixture.h"
#include "support/PictureFile.h"

namespace {

using namespace badinput;
namespace desktop = platform::desktop;

const char kNoRootAssertion[] =
    "assert:library/Utility/src/lib/xerces/XMLManager.h:66:lib::xerces::XMLManager::findElement():pNode\n";

// The same settings in every encoding: a launcher and two pictures, one of
// them with a Japanese file name.
const char kJapaneseSettings[] =
    u8"<system><launcher><file name='メモ帳' path='C:\\文書\\メモ.txt'/><folder name='フォルダ'>"
    u8"<file name='x' path='x'/></folder></launcher>"
    u8"<image x='1' y='1' w='5' h='5' path='画像.png'/><image x='10' y='1' w='5' h='5' path='p.png'/></system>";
const char kJapaneseLauncher[] = u8"メモ帳=1000 | フォルダ>[x=1001]";

std::u16string toUtf16(const std::string& utf8) {
  std::u16string text;
  for (std::size_t index = 0; index < utf8.size();) {
    unsigned char lead = static_cast<unsigned char>(utf8[index]);
    int length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    char32_t point = length == 1 ? lead : lead & (0x3F >> (length - 1));
    for (int next = 1; next < length; ++next) {
      point = (point << 6) | (static_cast<unsigned char>(utf8[index + next]) & 0x3F);
    }
    text.push_back(static_cast<char16_t>(point));  // the test's text has no characters beyond 16 bits
    index += static_cast<std::size_t>(length);
  }
  return text;
}

std::string utf16Bytes(const std::string& utf8, bool bigEndian) {
  std::string bytes;
  for (char16_t unit : u"\xFEFF" + toUtf16(utf8)) {
    char high = static_cast<char>(unit >> 8);
    char low = static_cast<char>(unit & 0xFF);
    bytes += bigEndian ? std::string{high, low} : std::string{low, high};
  }
  return bytes;
}

// The Shift_JIS bytes of the Japanese settings, written out so that the test
// needs no converter.
std::string shiftJisSettings() {
  return "<?xml version='1.0' encoding='Shift_JIS'?><system><launcher><file name='\x83\x81\x83\x82\x92\xA0' "
         "path='C:\\\x95\xB6\x8F\x91\\\x83\x81\x83\x82.txt'/><folder name='\x83\x74\x83\x48\x83\x8B\x83\x5F'>"
         "<file name='x' path='x'/></folder></launcher><image x='1' y='1' w='5' h='5' path='\x89\xE6\x91\x9C.png'/>"
         "<image x='10' y='1' w='5' h='5' path='p.png'/></system>";
}

struct FileCase {
  const char* name;
  std::string content;
  int exitCode;
  std::vector<std::string> boxes;
  std::vector<std::string> debugLines;
  std::vector<bool> picturesShown;
  std::string launcher;
};

std::vector<FileCase> fileCases() {
  const std::vector<std::string> noRootBox = {failureBox("assert")};
  const std::vector<std::string> noRootLine = {kNoRootAssertion};
  return {
      {"Empty", "", -1, noRootBox, noRootLine, {}, ""},
      {"DeclarationOnly", "<?xml version='1.0'?>\n", -1, noRootBox, noRootLine, {}, ""},
      {"PlainText", "settings: none\n", -1, noRootBox, noRootLine, {}, ""},
      {"BinaryBytes", std::string("\x00\x01\xFF\xFE\x89PNG\x00garbage\x80", 17), -1, noRootBox, noRootLine, {}, ""},
      {"RootWithRepeatedAttribute", "<system a='1' a='2'><image path='p.png'/></system>", -1, noRootBox, noRootLine,
       {}, ""},
      {"Truncated", settings(image("w='5' h='5' path='p.png'") + "<launcher><file name='a' path='a'/></launcher>")
                        .substr(0, 100), 0, {}, {}, {true}, ""},
      {"RepeatedAttributeBelowTheRoot",
       settings(image("w='5' h='5' path='p.png'") + image("x='1' x='2' path='p.png'") +
                "<launcher><file name='a' path='a'/></launcher>"),
       0, {}, {}, {true}, "none"},
      {"RootOfAnotherName", "<config><launcher><file name='a' path='a'/></launcher>" + image("path='p.png'") +
                                "</config>", 0, {}, {}, {}, "none"},
      {"RootInOtherCase", "<System><launcher><file name='a' path='a'/></launcher>" + image("path='p.png'") +
                              "</System>", 0, {}, {}, {}, "none"},
      {"Utf8", kJapaneseSettings, 0, {}, {}, {true, true}, kJapaneseLauncher},
      {"Utf8WithByteOrderMark", "\xEF\xBB\xBF" + std::string(kJapaneseSettings), 0, {}, {}, {true, true},
       kJapaneseLauncher},
      {"Utf16LittleEndian", utf16Bytes(kJapaneseSettings, false), 0, {}, {}, {true, true}, kJapaneseLauncher},
      {"Utf16BigEndian", utf16Bytes(kJapaneseSettings, true), 0, {}, {}, {true, true}, kJapaneseLauncher},
      {"ShiftJis", shiftJisSettings(), 0, {}, {}, {true, true}, kJapaneseLauncher},
  };
}

class BadSettingsFile : public BadInputFixture, public ::testing::WithParamInterface<FileCase> {
 protected:
  void SetUp() override {
    BadInputFixture::SetUp();
    testsupport::writeSolidPng("p.png", 2, 2, 0xFF00FF00);
    testsupport::writeSolidPng(u8"画像.png", 2, 2, 0xFF0000FF);
  }
};

std::vector<bool> shown(const Outcome& outcome) {
  std::vector<bool> visible;
  for (const PictureSeen& picture : outcome.pictures) {
    visible.push_back(picture.visible);
  }
  return visible;
}

TEST_P(BadSettingsFile, ReactsAsTheReadmeSays) {
  const FileCase& testCase = GetParam();
  writeFile("config.xml", testCase.content);

  Outcome outcome = runAndExit(testCase.boxes.size());

  EXPECT_EQ(testCase.exitCode, outcome.exitCode) << testCase.name << ": exit code";
  EXPECT_EQ(testCase.boxes, outcome.boxes) << testCase.name << ": message boxes";
  EXPECT_EQ(testCase.debugLines, outcome.debugLines) << testCase.name << ": debugger lines";
  if (testCase.exitCode == 0) {
    EXPECT_EQ(testCase.picturesShown, shown(outcome)) << testCase.name << ": pictures shown";
    EXPECT_EQ(testCase.launcher, outcome.launcher) << testCase.name << ": launcher menu";
    EXPECT_EQ(desktop::ObjectCounts(), outcome.afterRun) << testCase.name << ": something of ours left after Exit";
  }
}

INSTANTIATE_TEST_SUITE_P(Files, BadSettingsFile, ::testing::ValuesIn(fileCases()),
                         [](const ::testing::TestParamInfo<FileCase>& info) { return std::string(info.param.name); });

// A file that breaks while the program runs: the Reload reads it as a start
// would, and a failure then ends the program (the stop hook does not run).
struct ReloadCase {
  const char* name;
  std::string replacement;
  int exitCode;
  std::vector<std::string> boxes;
  std::string launcherAfterReload;
};

class ReloadOfABrokenFile : public BadInputFixture, public ::testing::WithParamInterface<ReloadCase> {};

TEST_P(ReloadOfABrokenFile, ReactsAsTheReadmeSays) {
  const ReloadCase& testCase = GetParam();
  testsupport::writeSolidPng("p.png", 2, 2, 0xFF00FF00);
  writeFile("config.xml", settings(image("w='5' h='5' path='p.png'") + "<launcher><file name='a' path='a'/></launcher>"));

  Outcome outcome = runAndExit(testCase.boxes.size(), [&] {
    platform::script::then([&] { writeFile("config.xml", testCase.replacement); });
    chooseFromSystemMenu("Reload");
  });

  EXPECT_EQ(testCase.exitCode, outcome.exitCode) << testCase.name << ": exit code";
  EXPECT_EQ(testCase.boxes, outcome.boxes) << testCase.name << ": message boxes";
  if (testCase.exitCode == 0) {
    EXPECT_EQ(testCase.launcherAfterReload, outcome.launcher) << testCase.name << ": launcher menu after Reload";
    EXPECT_TRUE(outcome.pictures.empty()) << testCase.name << ": expected no picture after Reload, got "
                                          << outcome.pictures.size();
    EXPECT_EQ(desktop::ObjectCounts(), outcome.afterRun) << testCase.name << ": something of ours left after Exit";
  } else {
    EXPECT_EQ(1u, desktop::trayIcons().size()) << testCase.name << ": the stop hook must not run after a failure";
  }
}

INSTANTIATE_TEST_SUITE_P(
    Replacements, ReloadOfABrokenFile,
    ::testing::Values(ReloadCase{"Empty", "", -1, {failureBox("assert")}, ""},
                      ReloadCase{"PlainText", "not xml", -1, {failureBox("assert")}, ""},
                      ReloadCase{"RootOfAnotherName", "<config/>", 0, {}, "none"}),
    [](const ::testing::TestParamInfo<ReloadCase>& info) { return std::string(info.param.name); });

}  // namespace
