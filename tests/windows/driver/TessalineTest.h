// Fixture of the scenarios: each gets its own scratch directory as the
// program's current directory and its own copies of tessaline.exe, all
// ended when it finishes, so no scenario depends on another.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "DesktopWindows.h"
#include "ProgramProcess.h"
#include "ScratchDirectory.h"

// A small valid settings file: a launcher with one entry, no pictures.
extern const char kMinimalConfig[];

// Texts the program shows, as the code page 932 bytes it stores them in.
extern const char kThrownTextCaption[];
extern const char kAlreadyRunningText[];
extern const char kLoadFailureText[];

// WM_COMMAND ids of the system menu.
const WORD kTopMostCommand = 100;
const WORD kHideCommand = 101;
const WORD kReloadCommand = 102;
const WORD kAboutCommand = 103;
const WORD kExitCommand = 104;

// The tray icon's callback message to the owner window; lParam is the mouse
// message (WM_LBUTTONDOWN: the launcher menu, WM_RBUTTONDOWN: the system menu).
const UINT kTrayCallbackMessage = WM_USER + 1;

// What GetExitCodeProcess gives for the program's -1.
const DWORD kFailureExitCode = static_cast<DWORD>(-1);

// Generous: a cold Wine start can take seconds. Only ever a bound on a wait.
const DWORD kStartTimeout = 20000;
const DWORD kExitTimeout = 10000;
// For a command's effect on a running program.
const DWORD kEffectTimeout = 10000;

// A 4 x 4 picture of opaque white pixels, which writeWhitePicture puts in
// the scratch directory: what shows of it is the tint alone.
const char kWhitePicture[] = "white.png";

class TessalineTest : public ::testing::Test {
 protected:
  void SetUp() override;

  void writeConfig(const std::string& xml = kMinimalConfig);
  void writeWhitePicture();
  // Starts another copy in the scratch directory; ends the scenario on failure.
  ProgramProcess& startProgram(const std::string& arguments = "");

  // NULL when the owner window does not appear before the timeout or the
  // process ends first.
  HWND waitForOwnerWindow(const ProgramProcess& process, DWORD timeout = kStartTimeout);
  // The owner window once the start-up is over: the window appears before
  // the settings load, and the program waits for input only after it.
  HWND waitForStartUp(const ProgramProcess& process);
  HWND waitForMessageBox(const ProgramProcess& process, DWORD timeout = kStartTimeout);
  HWND waitForPopupMenu(const ProgramProcess& process, DWORD timeout = kEffectTimeout);
  // Compares the box's caption and text as bytes.
  void expectMessageBoxTexts(HWND box, const std::string& caption, const std::string& text);
  // Exit state, any message box and any popup menu, for failure messages.
  std::string describe(const ProgramProcess& process);

  ScratchDirectory scratch_;
  std::string program_;

 private:
  std::vector<std::unique_ptr<ProgramProcess>> processes_;
};
