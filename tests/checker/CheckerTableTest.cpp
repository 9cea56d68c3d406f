// The settings checker on one settings file a row: every kind of finding,
// from README's "What happens when..." inputs, with the exact lines and exit
// status the checker gives, and the example giving none. The same table
// runs under Wine, where pictures are loaded by Windows' GDI+.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "LocalListener.h"
#include "TestPictures.h"
#include "checker/SettingsCheck.h"
#include "lib/xerces/XMLManager.h"

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace {

struct Row {
  const char* what;
  std::string settings;            // written as config.xml
  std::vector<std::string> lines;  // the findings and the summary
  int status;
  const char* file = "config.xml";  // what the checker is given
  bool programLoads = true;         // whether the program's XML manager takes it
};

// A picture of every kind a row needs, beside config.xml: pic.png (2 x 2),
// a text file, a GIF header claiming 20000 x 20000 pixels, and a folder.
class CheckerTable : public ::testing::Test {
 protected:
  void SetUp() override {
    std::random_device random;
    folder_ = std::filesystem::temp_directory_path() / ("tessaline-check-" + std::to_string(random()));
    std::filesystem::create_directories(folder_ / "folder");
    conformance::writeFile(folder_ / "pic.png", conformance::kTwoByTwoPng);
    conformance::writeFile(folder_ / "huge.gif", {'G', 'I', 'F', '8', '9', 'a', 0x20, 0x4E, 0x20, 0x4E, 0, 0, 0,
                                                  0x2C, 0, 0, 0, 0, 0x20, 0x4E, 0x20, 0x4E, 0, 0x3B});
    std::ofstream(folder_ / "notes.txt") << "not a picture\n";
  }
  void TearDown() override {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }

  // The checker's lines for `file`, run in the table's folder as a user
  // runs it beside config.xml, and its exit status.
  std::vector<std::string> check(const std::string& file, int& status) {
    std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(folder_);
    std::ostringstream out;
    status = checker::checkSettingsFile(file, out);
    std::filesystem::current_path(previous);
    std::vector<std::string> lines;
    std::istringstream text(out.str());
    for (std::string line; std::getline(text, line);) {
      lines.push_back(line);
    }
    return lines;
  }

  // Whether the program's XML manager takes config.xml: a refused file ends
  // the program with its "could not be loaded" box.
  bool programLoads() {
    std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(folder_);
    lib::xerces::XMLManager::initialize();
    lib::xerces::XMLManager manager;
    bool loaded = manager.load("config.xml");
    manager.unload();
    lib::xerces::XMLManager::terminate();
    std::filesystem::current_path(previous);
    return loaded;
  }

  void expectRow(const Row& row) {
    std::ofstream(folder_ / "config.xml", std::ios::binary | std::ios::trunc) << row.settings;
    int status = -1;
    std::vector<std::string> lines = check(row.file, status);
    EXPECT_EQ(row.lines, lines) << row.what << ", for config.xml:\n" << row.settings;
    EXPECT_EQ(row.status, status) << row.what << ": exit status";
  }

  std::filesystem::path folder_;
};

const char kComplete[] = "x=\"1\" y=\"2\" w=\"3\" h=\"4\" color=\"0xFFFFFFFF\"";

std::string image(const std::string& attributes) { return "<image " + attributes + "/>"; }

// The settings file of a picture that loads, but for `path`.
std::string pictureAt(const std::string& path) {
  return "<system>\n" + image(std::string(kComplete) + " path=\"" + path + "\"") + "\n</system>\n";
}

std::string system(const std::string& content) { return "<system>\n" + content + "\n</system>\n"; }

// `count` copies of `text`, a line each.
std::string lines(const std::string& text, int count) {
  std::string repeated;
  for (int index = 0; index < count; ++index) {
    repeated += text + "\n";
  }
  return repeated;
}

// The layer refuses a header larger than any surface as out of memory; the
// GDI+ of Windows (here: Wine's) refuses it without saying why. The box is
// the same.
#ifdef _WIN32
const char kHugeRefusal[] = "is not a picture the program can read";
#else
const char kHugeRefusal[] = "is larger than any picture surface";
#endif

const char kBox[] = ": the program shows its \"load error\" box and keeps this picture hidden";

TEST_F(CheckerTable, EachFindingKind) {
  const std::string complete = kComplete;
  const Row rows[] = {
      {"unreadable", "", {"absent.xml: error: cannot be read: the program ends at start-up with its \"settings file "
                          "could not be loaded\" box", "1 error, 0 warnings"}, 2, "absent.xml"},
      {"truncated", "<system>\n" + image(complete + " path=\"pic.png\"") + "\n<ima",
       {"config.xml:3:5: error: unexpected end of input: the program reads only what comes before this point",
        "1 error, 0 warnings"}, 1},
      {"no root element", "",
       {"config.xml:1:1: error: no root element (invalid document structure): the program ends at start-up with "
        "\"assert\"", "1 error, 0 warnings"}, 1},
      {"no path", system(image(complete)),
       {std::string("config.xml:2:52: error: picture not loaded, no path") + kBox, "1 error, 0 warnings"}, 1},
      {"missing", pictureAt("absent.png"),
       {std::string("config.xml:2:70: error: picture not loaded, no file \"absent.png\"") + kBox,
        "1 error, 0 warnings"}, 1},
      {"no picture", pictureAt("notes.txt"),
       {std::string("config.xml:2:69: error: picture not loaded, \"notes.txt\" is not a picture the program can read") +
        kBox, "1 error, 0 warnings"}, 1},
      {"directory", pictureAt("folder"),
       {std::string("config.xml:2:66: error: picture not loaded, \"folder\" is a directory") + kBox,
        "1 error, 0 warnings"}, 1},
      {"larger than any surface", pictureAt("huge.gif"),
       {std::string("config.xml:2:68: error: picture not loaded, \"huge.gif\" ") + kHugeRefusal + kBox,
        "1 error, 0 warnings"}, 1},
      {"path of 256 characters", pictureAt(std::string(256, 'a')),
       {std::string("config.xml:2:316: error: picture not loaded, a path of 256 characters, beyond the program's "
                    "buffer of 255") + kBox, "1 error, 0 warnings"}, 1},
      {"root in other case", "<System>" + image(complete + " path=\"pic.png\"") + "</System>",
       {"config.xml:1:9: warning: root element \"System\" is not \"system\": the program shows no picture and no "
        "launcher menu", "0 errors, 1 warning"}, 0},
      {"element near miss", system("<Image/>"),
       {"config.xml:2:9: warning: element \"Image\" is not read here: the program ignores it with everything inside "
        "it (did you mean \"image\"?)", "0 errors, 1 warning"}, 0},
      {"attribute near misses", system(image(complete + " colour=\"0\" pth=\"x\" path=\"pic.png\"")),
       {"config.xml:2:86: warning: attribute \"colour\" of \"image\" is not read: the program ignores it (did you "
        "mean \"color\"?)",
        "config.xml:2:86: warning: attribute \"pth\" of \"image\" is not read: the program ignores it (did you mean "
        "\"path\"?)", "0 errors, 2 warnings"}, 0},
      {"repeated attribute", system(image(complete + " path=\"pic.png\"") + "\n" + image("x=\"1\" x=\"2\"")),
       {"config.xml:3:21: warning: attribute 'x' is already specified for element 'image': the program leaves out "
        "this element and everything after it", "0 errors, 1 warning"}, 0},
      {"second launcher", system("<launcher/><launcher/>"),
       {"config.xml:2:23: warning: a second \"launcher\": the program ignores it with everything inside it",
        "0 errors, 1 warning"}, 0},
      {"numbers read otherwise", system(image("x=\"0x80000000\" y=\"010\" w=\"5px\" h=\"08\" path=\"pic.png\"")),
       {"config.xml:2:62: warning: x=\"0x80000000\" is read as -2147483648: as x that is Windows' CW_USEDEFAULT, "
        "and the picture goes to 0, 0 whatever y says",
        "config.xml:2:62: warning: y=\"010\" is read as 8: a leading 0 makes it octal",
        "config.xml:2:62: warning: w=\"5px\" is read as 5: reading stops at \"px\"",
        "config.xml:2:62: warning: h=\"08\" is read as 0: a leading 0 makes it octal, and reading stops at \"8\"",
        "config.xml:2:62: warning: a height of 0: the program keeps this picture hidden",
        "config.xml:2:62: note: no color: the program uses 0xFFFFFFFF, untinted and opaque",
        "0 errors, 5 warnings, 1 note"}, 0},
      {"numbers beyond", system(image("x=\"\" y=\"99999999999\" w=\"3000000000\" h=\"4\" color=\"-1\" "
                                      "path=\"pic.png\"")),
       {"config.xml:2:77: warning: x=\"\" is read as 0: it holds no number",
        "config.xml:2:77: warning: y=\"99999999999\" is read as -1: it is beyond 32 bits",
        "config.xml:2:77: warning: w=\"3000000000\" is read as -1294967296: positions and sizes are signed 32-bit "
        "numbers",
        "config.xml:2:77: warning: a width of -1294967296: the program keeps this picture hidden",
        "0 errors, 4 warnings"}, 0},
      {"invisible colours", system(image("x=\"1\" y=\"2\" w=\"3\" h=\"4\" color=\"0x00FFFFFF\" path=\"pic.png\"") +
                                   "\n" + image("x=\"1\" y=\"2\" w=\"3\" h=\"4\" color=\"0xFF0000\" path=\"pic.png\"")),
       {"config.xml:2:67: warning: color 0x00FFFFFF has an alpha of 0: the picture is invisible",
        "config.xml:3:65: warning: color=\"0xFF0000\" has six hexadecimal digits, no alpha byte: it is 0x00FF0000, "
        "and its alpha of 0 makes the picture invisible (opaque is 0xFFFF0000)", "0 errors, 2 warnings"}, 0},
      {"launcher entries", system("<launcher>\n<file name=\"Notes\"/>\n<file path=\"notes.txt\"/>\n<folder>\n"
                                  "<file name=\"Tom &amp; Jerry\" path=\"tj.exe\"/>\n</folder>\n</launcher>"),
       {"config.xml:3:21: warning: \"file\" without path: the program leaves this entry out",
        "config.xml:4:25: warning: \"file\" without name: the menu shows its path \"notes.txt\"",
        "config.xml:5:9: warning: \"folder\" without name: the menu shows it as \"(folder)\"",
        "config.xml:6:45: note: caption \"Tom & Jerry\": \"&\" is not shown but underlines the next letter as the "
        "keyboard accelerator (\"&&\" shows one \"&\")", "0 errors, 3 warnings, 1 note"}, 0},
      {"beyond the last command id", system("<launcher>\n" + lines("<file name=\"e\" path=\"e\"/>", 1002) + "</launcher>"),
       {"config.xml:1003:26: warning: no command id is left (they end at 1999): the program leaves out this \"file\" "
        "and the 1 after it", "0 errors, 1 warning"}, 0},
      {"folders too deep", system("<launcher>\n" + lines("<folder name=\"f\">", 65) + lines("</folder>", 65) +
                                  "</launcher>"),
       {"config.xml:66:18: warning: \"folder\" nested deeper than 64 levels: the program leaves it out with "
        "everything inside it", "0 errors, 1 warning"}, 0},
      {"defaults", system(image("path=\"pic.png\"")),
       {"config.xml:2:24: note: no x: the program uses 0", "config.xml:2:24: note: no y: the program uses 0",
        "config.xml:2:24: note: no w: the program uses the picture's own width, 2",
        "config.xml:2:24: note: no h: the program uses the picture's own height, 2",
        "config.xml:2:24: note: no color: the program uses 0xFFFFFFFF, untinted and opaque",
        "0 errors, 0 warnings, 5 notes"}, 0},
  };
  for (const Row& row : rows) {
    expectRow(row);
  }
}

// `count` times `text`.
std::string times(const std::string& text, int count) {
  std::string repeated;
  while (count-- > 0) repeated += text;
  return repeated;
}

// Settings files from strangers. Neither program reads anything but the
// file itself (the listener sees no connection; a FIFO or /dev/zero would
// hang the reading), entities stay small, and every finding is one line.
TEST_F(CheckerTable, HostileFiles) {
  LocalListener listener;
#ifndef _WIN32
  ASSERT_EQ(0, mkfifo((folder_ / "fifo").string().c_str(), 0600));
#endif
  std::string laughs = "<!ENTITY l0 \"lol\">";
  for (int level = 1; level < 10; ++level) {
    laughs += "<!ENTITY l" + std::to_string(level) + " \"" + times("&l" + std::to_string(level - 1) + ";", 10) + "\">";
  }
  const std::string unread = "\" is not read: the program reads it as empty";
  const std::string refused = ": the program ends at start-up with its \"settings file could not be loaded\" box";
  const Row rows[] = {
      {"internal entities", "<!DOCTYPE system [<!ENTITY p 'pic'><!ENTITY png '&p;.png'>]>" + pictureAt("&png;"),
        {"0 errors, 0 warnings"}, 0},
      {"external document type over http", "<!DOCTYPE system SYSTEM '" + listener.url("t.dtd") + "'><system/>",
        {"config.xml:1:" + std::to_string(27 + listener.url("t.dtd").size()) +
         ": warning: external entity or document type \"" + listener.url("t.dtd") + unread, "0 errors, 1 warning"}, 0},
      {"external entities: a local file, /dev/zero, a FIFO",
        "<!DOCTYPE system [<!ENTITY a SYSTEM 'notes.txt'><!ENTITY z SYSTEM '/dev/zero'><!ENTITY f SYSTEM 'fifo'>]>"
        "\n<system>&a;&z;&f;</system>",
        {"config.xml:2:12: warning: external entity or document type \"notes.txt" + unread,
         "config.xml:2:15: warning: external entity or document type \"/dev/zero" + unread,
         "config.xml:2:18: warning: external entity or document type \"fifo" + unread, "0 errors, 3 warnings"}, 0},
      {"billion laughs", "<!DOCTYPE system [\n" + laughs + "]><system>&l9;</system>",
        {"config.xml:2:184: error: entity \"l3\" longer than 1024 characters once expanded" + refused,
         "1 error, 0 warnings"}, 1, "config.xml", false},
      {"quadratic blow-up", "<!DOCTYPE system [<!ENTITY a '" + std::string(1000, 'a') + "'>]>\n<system x='" +
                                 times("&a;", 10001) + "'/>",
        {"config.xml:2:30015: error: more than 10000 entity references" + refused, "1 error, 0 warnings"}, 1,
       "config.xml", false},
      {"an over-long name", system("<" + std::string(1000000, 'q') + "/>"),
        {"config.xml:2:1000004: warning: element \"" + std::string(300, 'q') +
         "...\" is not read here: the program ignores it with everything inside it", "0 errors, 1 warning"}, 0},
      {"control characters in every echoed attribute",
        "<?xml version='1.1'?><system><image x='5&#10;config.xml:1:1: error: forged' y='&#x1B;[2J' w='1&#9;'"
        " color='0x&#13;' path='a&#1;b'/><launcher><file path='&#x7F;&amp;'/></launcher></system>",
        {"config.xml:1:132: error: picture not loaded, no file \"a\\x01b\"" + std::string(kBox),
         "config.xml:1:132: warning: x=\"5\\nconfig.xml:1:1: error: forged\" is read as 5: reading stops at "
         "\"\\nconfig.xml:1:1: error: forged\"",
         "config.xml:1:132: warning: y=\"\\x1B[2J\" is read as 0: it holds no number",
         "config.xml:1:132: warning: color=\"0x\\r\" is read as 0x00000000: reading stops at \"x\\r\"",
         "config.xml:1:132: warning: color 0x00000000 has an alpha of 0: the picture is invisible",
         "config.xml:1:132: note: no h: the program uses the picture's own height",
         "config.xml:1:168: warning: \"file\" without name: the menu shows its path \"\\x7F&\"",
         "config.xml:1:168: note: caption \"\\x7F&\": \"&\" is not shown but underlines the next letter as the "
         "keyboard accelerator (\"&&\" shows one \"&\")", "1 error, 5 warnings, 2 notes"}, 1},
  };
  for (const Row& row : rows) {
    expectRow(row);
    EXPECT_EQ(row.programLoads, programLoads()) << row.what << ": whether the program loads it";
  }
  EXPECT_EQ(0, listener.connections()) << "connections to " << listener.url("");
}

TEST_F(CheckerTable, TheExampleHasNoFinding) {
  int status = -1;
  std::vector<std::string> lines = check(std::string(TESSALINE_EXAMPLES) + "/config.xml", status);
  EXPECT_EQ(std::vector<std::string>{"0 errors, 0 warnings"}, lines);
  EXPECT_EQ(0, status);
}

}  // namespace
