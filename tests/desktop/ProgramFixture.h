// Runs the real WinMain on a fresh desktop, in a temporary directory of its
// own, and reads back what the desktop shows.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>
#include <platform/desktop.h>

#include <optional>
#include <string>
#include <vector>

#include "support/TemporaryDirectory.h"

// A menu as one line: "caption=id" entries, "caption>[...]" submenus, "|"
// between items.
std::string menuText(const std::vector<platform::MenuItemView>& items);

class ProgramFixture : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // WinMain as the process entry calls it.
  int runProgram();

  // Writes a file into the test's working directory.
  void writeFile(const std::string& name, const std::string& content);

  // The console output split into lines, each without its newline.
  std::vector<std::string> consoleLines();

  // The program's owner window, or NULL.
  static HWND findOwnerWindow();

  // Queues a message posted to the owner window, as another program would.
  static void postToOwnerWindow(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

  std::string workingDirectory_;
  std::optional<testsupport::TemporaryDirectory> temporaryDirectory_;
};
