// Runs the real WinMain on a fresh desktop, in a temporary directory of its
// own, and reads back what the desktop shows.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>
#include <platform/desktop.h>

#include <optional>
#include <string>
#include <vector>

#include "ProgramToolkit.h"
#include "support/TemporaryDirectory.h"

class ProgramFixture : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // A fresh desktop and a fresh process of the program, in the same working
  // directory: for a test that runs the program once a case.
  static void startAfresh();

  // WinMain as the process entry calls it.
  int runProgram();

  // Runs the program: once the steps queued so far have run, `look` (when
  // given) runs while it waits for input, then the user chooses Exit.
  int runThenExit(const platform::script::Action& look = nullptr);

  // Writes a file into the test's working directory.
  void writeFile(const std::string& name, const std::string& content);

  // The console output split into lines, each without its newline.
  std::vector<std::string> consoleLines();

  // Queues a message posted to the owner window, as another program would.
  static void postToOwnerWindow(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

  std::string workingDirectory_;
  std::optional<testsupport::TemporaryDirectory> temporaryDirectory_;
};
