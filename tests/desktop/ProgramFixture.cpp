#include "ProgramFixture.h"

#include <cstdio>
#include <fstream>
#include <sstream>

#include "application/LaunchItem.h"

void ProgramFixture::SetUp() {
  platform::desktop::reset();
  platform::desktop::setEcho(false);
  // Each test is a fresh process of the program: the launcher's command
  // ids, which go on across Reloads within one, start again.
  nextCommandId = 1000;
  ASSERT_NO_THROW(temporaryDirectory_.emplace("desktop"));
  workingDirectory_ = temporaryDirectory_->path().string();
  // The smallest settings file the program starts with; a test that needs
  // another one writes over it.
  writeFile("config.xml", "<?xml version=\"1.0\"?>\n<system/>\n");
}

void ProgramFixture::TearDown() { temporaryDirectory_.reset(); }

std::string menuText(const std::vector<platform::MenuItemView>& items) {
  std::string text;
  for (const platform::MenuItemView& item : items) {
    text += text.empty() ? "" : " | ";
    text += item.popup ? item.text + ">[" + menuText(item.submenu) + "]" : item.text + "=" + std::to_string(item.id);
  }
  return text;
}

int ProgramFixture::runProgram() {
  char commandLine[] = "";
  return WinMain(GetModuleHandleA(NULL), NULL, commandLine, SW_SHOWDEFAULT);
}

void ProgramFixture::writeFile(const std::string& name, const std::string& content) {
  std::ofstream file(workingDirectory_ + "/" + name, std::ios::binary);
  file << content;
  ASSERT_TRUE(file.good()) << "could not write " << name;
}

std::vector<std::string> ProgramFixture::consoleLines() {
  std::vector<std::string> lines;
  std::istringstream stream(platform::desktop::consoleOutput());
  std::string line;
  while (std::getline(stream, line)) {
    lines.push_back(line);
  }
  return lines;
}

HWND ProgramFixture::findOwnerWindow() {
  return FindWindowA("ParentWindow", "Tessaline");
}

void ProgramFixture::postToOwnerWindow(UINT message, WPARAM wParam, LPARAM lParam) {
  platform::script::then([=] {
    HWND owner = findOwnerWindow();
    ASSERT_NE(owner, nullptr) << "the owner window should exist while the program waits for input";
    PostMessageA(owner, message, wParam, lParam);
  });
}
