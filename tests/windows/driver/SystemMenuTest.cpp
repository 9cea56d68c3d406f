// The system menu's commands as another program posts them to the owner
// window, and the menu itself, opened through the tray icon's callback and
// driven from the keyboard.
#include <sstream>
#include <vector>

#include "TessalineTest.h"

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

// Every scenario starts one copy with the minimal settings and waits until
// it has loaded them, so a scenario that changes config.xml changes it for
// the Reload only.
class SystemMenuTest : public TessalineTest {
 protected:
  void SetUp() override {
    TessalineTest::SetUp();
    if (HasFatalFailure()) {
      return;
    }
    writeConfig();
    program_ = &startProgram();
    owner_ = waitForStartUp(*program_);
    ASSERT_NE(owner_, nullptr) << "start-up: " << describe(*program_);
    ASSERT_TRUE(desktop::topLevelWindows(program_->id(), "#32770").empty())
        << "start-up: expected no box, got " << describe(*program_);
  }

  void postCommand(WORD command) { PostMessageA(owner_, WM_COMMAND, MAKEWPARAM(command, 0), 0); }

  // What the shell sends when the user presses the right button on the icon.
  void rightClickTrayIcon() { PostMessageA(owner_, kTrayCallbackMessage, 0, WM_RBUTTONDOWN); }

  // The running program is left without a settings file to reload.
  void deleteConfig() {
    std::string config = scratch_.path() + "\\config.xml";
    ASSERT_TRUE(DeleteFileA(config.c_str())) << "cannot delete " << config << ": error " << GetLastError();
  }

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
  ASSERT_NE(box, nullptr) << "after WM_COMMAND 103: expected the About box, got " << describe(*program_);
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
INSTANTIATE_TEST_SUITE_P(
    Commands, ToggleCommandTest,
    ::testing::Values(ToggleCommand{"TopMost", kTopMostCommand, "WS_EX_TOPMOST", isTopMost, extendedStyle},
                      ToggleCommand{"Hide", kHideCommand, "minimized", isMinimized, minimizedState}),
    [](const ::testing::TestParamInfo<ToggleCommand>& info) { return info.param.name; });

TEST_F(SystemMenuTest, ReloadOfChangedSettingsRunsOn) {
  writeConfig(kOtherConfig);
  postCommand(kReloadCommand);
  // Posted commands are handled in order: once TopMost shows, the reload is
  // over, and a failed one would have made its box before the box's modal
  // loop passed TopMost on.
  postCommand(kTopMostCommand);

  ASSERT_TRUE(desktop::waitUntil([&]() { return isTopMost(owner_) || !program_->running(); }, kEffectTimeout))
      << "TopMost after Reload: expected WS_EX_TOPMOST, got " << extendedStyle(owner_) << "; " << describe(*program_);
  EXPECT_TRUE(desktop::topLevelWindows(program_->id(), "#32770").empty())
      << "after Reload: expected no box, got " << describe(*program_);
  expectRunsOn("after Reload");
}

TEST_F(SystemMenuTest, ReloadOfADeletedSettingsFileReportsItAndEndsWithMinusOne) {
  ASSERT_NO_FATAL_FAILURE(deleteConfig());
  postCommand(kReloadCommand);

  HWND box = waitForMessageBox(*program_);
  ASSERT_NE(box, nullptr) << "after WM_COMMAND 102 without config.xml: expected the load failure box, got "
                          << describe(*program_);
  expectMessageBoxTexts(box, kThrownTextCaption, kLoadFailureText);
  desktop::pressOk(box);

  ASSERT_TRUE(program_->waitForExit(kExitTimeout)) << "after OK: " << describe(*program_);
  EXPECT_EQ(program_->exitCode(), kFailureExitCode) << describe(*program_);
}

// Each item of the tray's system menu chosen from the keyboard: nothing is
// selected when the menu opens, Down and Up skip the separators, Enter
// chooses. The menu's items cannot be read from here, so the command's
// effect tells which item was chosen.
struct MenuChoice {
  const char* item;
  std::vector<WORD> keys;  // before Enter
  bool (*ran)(const ProgramProcess& program, HWND owner);
  const char* effect;
};

void PrintTo(const MenuChoice& choice, std::ostream* stream) { *stream << choice.item; }

bool showsBoxWithText(const ProgramProcess& program, const char* text) {
  HWND box = desktop::findMessageBox(program.id());
  return box != NULL && desktop::readMessageBox(box).text == text;
}

class TrayMenuChoiceTest : public SystemMenuTest, public ::testing::WithParamInterface<MenuChoice> {};

// Reload shows only when it fails: config.xml goes before the menu opens,
// and the other commands do not read it.
TEST_P(TrayMenuChoiceTest, EnterCarriesOutTheSelectedCommand) {
  const MenuChoice& choice = GetParam();
  ASSERT_NO_FATAL_FAILURE(deleteConfig());
  rightClickTrayIcon();
  ASSERT_NE(waitForPopupMenu(*program_), nullptr) << "after the tray's WM_RBUTTONDOWN: " << describe(*program_);

  for (WORD key : choice.keys) {
    desktop::pressKey(key);
  }
  desktop::pressKey(VK_RETURN);

  desktop::waitUntil([&]() { return choice.ran(*program_, owner_) || !program_->running(); }, kEffectTimeout);
  EXPECT_TRUE(choice.ran(*program_, owner_))
      << "after choosing " << choice.item << ": expected " << choice.effect << ", got " << describe(*program_) << ", "
      << extendedStyle(owner_) << ", " << minimizedState(owner_);
}

INSTANTIATE_TEST_SUITE_P(
    TrayMenu, TrayMenuChoiceTest,
    ::testing::Values(
        MenuChoice{"TopMost",
                   {VK_DOWN},
                   [](const ProgramProcess&, HWND owner) { return isTopMost(owner); },
                   "WS_EX_TOPMOST on the owner window"},
        MenuChoice{"Hide",
                   {VK_DOWN, VK_DOWN},
                   [](const ProgramProcess&, HWND owner) { return isMinimized(owner); },
                   "the owner window minimized"},
        MenuChoice{"Reload",
                   {VK_DOWN, VK_DOWN, VK_DOWN},
                   [](const ProgramProcess& program, HWND) { return showsBoxWithText(program, kLoadFailureText); },
                   "the load failure box"},
        MenuChoice{"About",
                   {VK_UP, VK_UP},
                   [](const ProgramProcess& program, HWND) { return showsBoxWithText(program, kAboutText); },
                   "the About box"},
        MenuChoice{"Exit",
                   {VK_UP},
                   [](const ProgramProcess& program, HWND) { return !program.running() && program.exitCode() == 0; },
                   "the program ended with exit code 0"}),
    [](const ::testing::TestParamInfo<MenuChoice>& info) { return info.param.item; });

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
