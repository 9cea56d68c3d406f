#include "TessalineTest.h"

const char kMinimalConfig[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<system>\n"
    "  <launcher>\n"
    "    <file name=\"Notepad\" path=\"notepad.exe\"/>\n"
    "  </launcher>\n"
    "</system>\n";

// This file is compiled with -fexec-charset=CP932, like the program.
const char kThrownTextCaption[] = "assertion failed\n";
const char kAlreadyRunningText[] = "既にアプリケーションが起動しています";
const char kLoadFailureText[] = "設定ファイルの読み込みに失敗しました\n";

void TessalineTest::SetUp() {
  char program[MAX_PATH] = "";
  GetEnvironmentVariableA("TESSALINE_EXE", program, sizeof program);
  program_ = program;
  ASSERT_FALSE(program_.empty()) << "TESSALINE_EXE must name the tessaline.exe to test";
  ASSERT_NE(GetFileAttributesA(program_.c_str()), INVALID_FILE_ATTRIBUTES) << "no program at " << program_;
  // A copy left over from elsewhere would block every start.
  ASSERT_EQ(FindWindowA("ParentWindow", "Tessaline"), nullptr)
      << "a \"ParentWindow\" window titled \"Tessaline\" already exists in this Wine prefix";
}

void TessalineTest::writeConfig(const std::string& xml) {
  ASSERT_TRUE(scratch_.writeFile("config.xml", xml)) << "cannot write config.xml in " << scratch_.path();
}

void TessalineTest::writeWhitePicture() {
  static const char kWhitePng[] =
      "\x89\x50\x4E\x47\x0D\x0A\x1A\x0A\x00\x00\x00\x0D\x49\x48\x44\x52\x00\x00\x00\x04\x00\x00\x00\x04"
      "\x08\x06\x00\x00\x00\xA9\xF1\x9E\x7E\x00\x00\x00\x0F\x49\x44\x41\x54\x78\xDA\x63\xF8\x8F\x06\x18"
      "\x48\x17\x00\x00\x78\x3C\x3F\xC1\xE1\x95\x95\xEF\x00\x00\x00\x00\x49\x45\x4E\x44\xAE\x42\x60\x82";
  ASSERT_TRUE(scratch_.writeFile(kWhitePicture, std::string(kWhitePng, sizeof kWhitePng - 1)))
      << "cannot write " << kWhitePicture << " in " << scratch_.path();
}

ProgramProcess& TessalineTest::startProgram(const std::string& arguments) {
  processes_.push_back(std::make_unique<ProgramProcess>());
  ProgramProcess& process = *processes_.back();
  if (!process.start(program_, scratch_.path(), arguments)) {
    ADD_FAILURE() << process.error();
  }
  return process;
}

HWND TessalineTest::waitForOwnerWindow(const ProgramProcess& process, DWORD timeout) {
  HWND owner = NULL;
  desktop::waitUntil(
      [&]() {
        owner = desktop::findOwnerWindow(process.id());
        return owner != NULL || !process.running();
      },
      timeout);
  return owner;
}

HWND TessalineTest::waitForStartUp(const ProgramProcess& process) {
  HWND owner = waitForOwnerWindow(process);
  if (owner == NULL || !process.waitForInputIdle(kStartTimeout)) {
    return NULL;
  }
  return owner;
}

HWND TessalineTest::waitForMessageBox(const ProgramProcess& process, DWORD timeout) {
  HWND box = NULL;
  desktop::waitUntil(
      [&]() {
        box = desktop::findMessageBox(process.id());
        return box != NULL || !process.running();
      },
      timeout);
  return box;
}

HWND TessalineTest::waitForPopupMenu(const ProgramProcess& process, DWORD timeout) {
  HWND menu = NULL;
  desktop::waitUntil(
      [&]() {
        menu = desktop::findPopupMenu(process.id());
        return menu != NULL || !process.running();
      },
      timeout);
  return menu;
}

void TessalineTest::expectMessageBoxTexts(HWND box, const std::string& caption, const std::string& text) {
  desktop::MessageBoxContent content = desktop::readMessageBox(box);
  EXPECT_EQ(content.caption, caption) << "caption: expected " << desktop::printableBytes(caption) << ", got "
                                      << desktop::printableBytes(content.caption);
  EXPECT_EQ(content.text, text) << "text: expected " << desktop::printableBytes(text) << ", got "
                                << desktop::printableBytes(content.text);
}

std::string TessalineTest::describe(const ProgramProcess& process) {
  std::string description;
  if (process.running()) {
    description = "the program is still running";
  } else {
    description = "the program ended with exit code " + std::to_string(static_cast<int>(process.exitCode()));
  }
  HWND box = desktop::findMessageBox(process.id());
  if (box != NULL) {
    desktop::MessageBoxContent content = desktop::readMessageBox(box);
    description += "; it shows a message box captioned " + desktop::printableBytes(content.caption) + ": " +
                   desktop::printableBytes(content.text);
  }
  if (desktop::findPopupMenu(process.id()) != NULL) {
    description += "; it shows a popup menu";
  }
  return description;
}
