#include "ProgramFixture.h"

#include <sstream>
#include <fstream>

#include "application/LaunchItem.h"

void ProgramFixture::SetUp() {
  startAfresh();
  ASSERT_NO_THROW(temporaryDirectory_.emplace("desktop"));
  workingDirectory_ = temporaryDirectory_->path().string();
  // The smallest settings file the program starts with; a test that needs
  // another one writes over it.
  writeFile("config.xml", settings(""));
}

void ProgramFixture::TearDown() {
  endFailedRun();
  temporaryDirectory_.reset();
}

void ProgramFixture::startAfresh() {
  endFailedRun();
  platform::desktop::reset();
  platform::desktop::setEcho(false);
  // The launcher's command ids go on across Reloads within one process and
  // start again in the next.
  nextCommandId = 1000;
}

int ProgramFixture::runProgram() {
  char commandLine[] = "";
  return WinMain(GetModuleHandleA(NULL), NULL, commandLine, SW_SHOWDEFAULT);
}

int ProgramFixture::runThenExit(const platform::script::Action& look) {
  if (look) {
    platform::script::then(look);
  }
  chooseFromSystemMenu("Exit");
  return runProgram();
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

void ProgramFixture::postToOwnerWindow(UINT message, WPARAM wParam, LPARAM lParam) {
  platform::script::then([=] {
    HWND owner = findOwnerWindow();
    ASSERT_NE(owner, nullptr) << "the owner window should exist while the program waits for input";
    PostMessageA(owner, message, wParam, lParam);
  });
}
