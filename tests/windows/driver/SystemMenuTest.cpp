// The system menu's commands as another program posts them to the owner
// window, and the menu itself, opened through the tray icon's callback and
// driven from the keyboard.
#include "TessalineTest.h"

#include <sstream>

namespace {

const char kAboutText[] = "Tessaline : version 2.0.0";
const char kAboutCaption[] = "about";

// Valid, and not the settings the program started with.
const char kOtherConfig[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<system>\n"
    "  <launcher>\n"
    "    <folder name=\"Tools\">\n"
    "      <file name=\"Calculator\" path=\"calc.exe\"/>\n"
    "    </folder>\n"
    "    <file name=\"Notepad\" path=\"notepad.exe\"/>\n"
    "  </launcher>\n"
    "</system>\n";

bool isTopMost(HWND window) { return (GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }

std::string extendedStyle(HWND window) {
  std::ostringstream text;
  text << "extended style 0x" << std::hex << GetWindowLongA(window, GWL_EXSTYLE);
  return text.str();
}

bool isMinimized(HWND window) { return IsIconic(window) != FALSE; }

std::string minimizedState(HWND window) {
  return std::string(IsIconic(window) ? "minimized" : "not minimized") +
         (IsWindowVisible(window) ? ", visible" : ", hidden");
}

// Every scenario starts one copy with the minimal settings and has its
// owner window.
class SystemMenuTest : public TessalineTest {
 protected:
  void SetUp() override {
    TessalineTest::SetUp();
    if (HasFatalFailure()) {
      return;
    }
    writeConfig();
    program_ = &startProgram();
    owner_ = waitForOwnerWindow(*program_);
    ASSERT_NE(owner_, nullptr) << describe(*program_);
  }

  void postCommand(WORD command) { PostMessageA(owner_, WM_COMMAND, MAKEWPARAM(command, 0), 0); }

  // What the shell sends when the user presses the right button on the icon.
  void rightClickTrayIcon() { PostMessageA(owner_, kTrayCallbackMessage, 0, WM_RBUTTONDOWN); }

  // Still the same owner window, and its thread answers a sent message.
  void expectRunsOn(const std::string& after) {
    EXPECT_TRUE(program_->running()) << after << ": " << describe(*program_);
    EXPECT_EQ(desktop::findOwnerWindow(program_->id()), owner_) << after << ": the owner window changed";
    DWORD_PTR result = 0;
    EXPECT_NE(SendMessageTimeoutA(owner_, WM_NULL, 0, 0, SMTO_NORMAL, kEffectTimeout, &result), 0)
        << after << ": the owner window does not answer: " << describe(*program_);
  }

  ProgramProcess* program_ = nullptr;
  HWND owner_ = NULL;
};

TEST_F(SystemMenuTest, AboutShowsTheVersionInABoxOwnedByTheOwnerWindow) {
  postCommand(kAboutCommand);

  HWND box = waitForMessageBox(*program_);
  ASSERT_NE(box, nullptr) << "after WM_COMMAND 103: " << describe(*program_);
  expectMessageBoxTexts(box, kAboutCaption, kAboutText);
  EXPECT_EQ(GetWindow(box, GW_OWNER), owner_) << "the box's owner: expected the owner window";

  desktop::pressOk(box);

  EXPECT_TRUE(desktop::waitUntil([&]() { return desktop::findMessageBox(program_->id()) == NULL; }, kEffectTimeout))
      << "after OK: " << describe(*program_);
  expectRunsOn("after the About box");
}

// TopMost and Hide: the first command turns the owner window's state on, the
// second turns it off again.
struct ToggleCommand {
  const char* name;
  WORD command;
  const char* state;
  bool (*isOn)(HWND owner);
  std::string (*show)(HWND owner);
};

void PrintTo(const ToggleCommand& toggle, std::ostream* stream) { *stream << toggle.name; }

class ToggleCommandTest : public SystemMenuTest, public ::testing::WithParamInterface<ToggleCommand> {};

TEST_P(ToggleCommandTest, TurnsTheStateOnAndOffAgain) {
  const ToggleCommand& toggle = GetParam();
  ASSERT_FALSE(toggle.isOn(owner_)) << "at start: expected not " << toggle.state << ", got " << toggle.show(owner_);

  postCommand(toggle.command);
  EXPECT_TRUE(desktop::waitUntil([&]() { return toggle.isOn(owner_); }, kEffectTimeout))
      << "after WM_COMMAND " << toggle.command << ": expected " << toggle.state << ", got " << toggle.show(owner_)
      << "; " << describe(*program_);

  postCommand(toggle.command);
  EXPECT_TRUE(desktop::waitUntil([&]() { return !toggle.isOn(owner_); }, kEffectTimeout))
      << "after the second WM_COMMAND " << toggle.command << ": expected not " << toggle.state << ", got "
      << toggle.show(owner_) << "; " << describe(*program_);
  expectRunsOn("after two commands");
}

// Hide only checks the owner window: Wine does not hide the windows of a
// minimized owner (Windows does), and nothing here owns windows yet.
INSTANTIATE_TEST_SUITE_P(Commands, ToggleCommandTest,
                         ::testing::Values(ToggleCommand{"TopMost", kTopMostCommand, "WS_EX_TOPMOST", isTopMost,
                                                         extendedStyle},
                                           ToggleCommand{"Hide", kHideCommand, "minimized", isMinimized,
                                                         minimizedState}),
                         [](const ::testing::TestParamInfo<ToggleCommand>& info) { return info.param.name; });

TEST_F(SystemMenuTest, ReloadOfChangedSettingsRunsOn) {
  writeConfig(kOtherConfig);
  postCommand(kReloadCommand);
  // Posted commands are handled in order: once TopMost shows, the reload is
  // over, and a failed one would have made its box before the box's modal
  // loop passed TopMost on.
  postCommand(kTopMostCommand);

  ASSERT_TRUE(desktop::waitUntil([&]() { return isTopMost(owner_) || !program_->running(); }, kEffectTimeout))
      << "TopMost after Reload did not take effect: " << describe(*program_);
  EXPECT_TRUE(desktop::topLevelWindows(program_->id(), "#32770").empty())
      << "after Reload: expected no box, got " << describe(*program_);
  expectRunsOn("after Reload");
}

TEST_F(SystemMenuTest, ReloadOfADeletedSettingsFileReportsItAndEndsWithMinusOne) {
  std::string config = scratch_.path() + "\\config.xml";
  ASSERT_TRUE(DeleteFileA(config.c_str())) << "cannot delete " << config << ": error " << GetLastError();
  postCommand(kReloadCommand);

  HWND box = waitForMessageBox(*program_);
  ASSERT_NE(box, nullptr) << "after WM_COMMAND 102 without config.xml: " << describe(*program_);
  expectMessageBoxTexts(box, kThrownTextCaption, kLoadFailureText);
  desktop::pressOk(box);

  ASSERT_TRUE(program_->waitForExit(kExitTimeout)) << "after OK: " << describe(*program_);
  EXPECT_EQ(program_->exitCode(), kFailureExitCode) << describe(*program_);
}

// Pressing Up with nothing selected selects the last item, Exit.
TEST_F(SystemMenuTest, TrayMenuExitEndsTheProgramWithZero) {
  rightClickTrayIcon();
  ASSERT_NE(waitForPopupMenu(*program_), nullptr) << "after the tray's WM_RBUTTONDOWN: " << describe(*program_);

  desktop::pressKey(VK_UP);
  desktop::pressKey(VK_RETURN);

  ASSERT_TRUE(program_->waitForExit(kExitTimeout)) << "after Up and Enter in the menu: " << describe(*program_);
  EXPECT_EQ(program_->exitCode(), 0u) << describe(*program_);
}

TEST_F(SystemMenuTest, TrayMenuClosesOnEscapeAndOpensAgain) {
  for (const char* time : {"first", "second"}) {
    SCOPED_TRACE(std::string("the ") + time + " time");
    rightClickTrayIcon();
    ASSERT_NE(waitForPopupMenu(*program_), nullptr) << "after the tray's WM_RBUTTONDOWN: " << describe(*program_);

    desktop::pressKey(VK_ESCAPE);

    EXPECT_TRUE(desktop::waitUntil([&]() { return desktop::findPopupMenu(program_->id()) == NULL; }, kEffectTimeout))
        << "after Escape: " << describe(*program_);
    expectRunsOn("after Escape");
  }
}

}  // namespace
