// The whole program through WinMain: a normal run, the single-instance guard
// and the entry's two failure handlers.
#include <mmsystem.h>

#include <cstdio>
#include <new>
#include <string>
#include <vector>

#include "ProgramFixture.h"
#include "application/ParentWindow.h"

namespace {

const char kMainTrace[] = "src/main.cpp:34:WinMain";
const char kRunTrace[] = "src/application/Application.cpp:12:Application::run";
const char kThrownTextCaption[] = "assertion failed\n";

// What the owner window looked like while the program waited for input.
struct OwnerWindowState {
  HWND window = NULL;
  std::string className;
  std::string title;
  RECT rect = {};
  bool visible = true;
  LONG style = 0;
  LONG exStyle = 0;
  HWND owner = NULL;
  int timerPeriods = 0;
  int iconWidth = 0;  // the class icon, from the program's GAMEICON resource
  int iconHeight = 0;
  int iconBitsPerPixel = 0;
};

std::string windowTitle(HWND window) {
  char title[256] = "";
  GetWindowTextA(window, title, sizeof title);
  return title;
}

OwnerWindowState readOwnerWindow(HWND window) {
  OwnerWindowState state;
  state.window = window;
  state.className = className(window);
  state.title = windowTitle(window);
  state.rect = rectOf(window);
  state.visible = IsWindowVisible(window) != FALSE;
  state.style = GetWindowLongA(window, GWL_STYLE);
  state.exStyle = GetWindowLongA(window, GWL_EXSTYLE);
  state.owner = GetWindow(window, GW_OWNER);
  state.timerPeriods = platform::desktop::timerPeriodsInForce();
  WNDCLASSEXA record = {};
  record.cbSize = sizeof record;
  if (GetClassInfoExA(GetModuleHandleA(NULL), "ParentWindow", &record)) {
    if (const platform::desktop::IconImage* icon = platform::desktop::iconImage(record.hIcon)) {
      state.iconWidth = icon->width;
      state.iconHeight = icon->height;
      state.iconBitsPerPixel = icon->bitsPerPixel;
    }
  }
  return state;
}

// The entry's failure handlers show exactly one box, owned by no window,
// with an OK button and no icon.
void expectOneEntryMessageBox(bool hasCaption, const std::string& caption, const std::string& text) {
  const auto& boxes = platform::desktop::messageBoxes();
  ASSERT_EQ(boxes.size(), 1u) << "expected one message box, got " << boxes.size();
  EXPECT_EQ(boxes[0].owner, nullptr);
  EXPECT_EQ(boxes[0].type, static_cast<UINT>(MB_OK));
  EXPECT_EQ(boxes[0].hasCaption, hasCaption);
  EXPECT_EQ(boxes[0].caption, caption);
  EXPECT_EQ(boxes[0].text, text);
}

// The ways a user or another program ends the program normally.
enum class Ending { ExitCommand, CloseMessage, DestroyWindow };

const char* endingName(Ending ending) {
  switch (ending) {
    case Ending::ExitCommand:
      return "ExitCommand";
    case Ending::CloseMessage:
      return "ClosedByWmClose";
    case Ending::DestroyWindow:
      return "DestroyedByDestroyWindow";
  }
  return "unknown";
}

class NormalRun : public ProgramFixture, public ::testing::WithParamInterface<Ending> {};

TEST_P(NormalRun, ShowsTheHiddenOwnerWindowAndEndsWithExitCodeZero) {
  // Arguments are ignored: the program takes no options.
  platform::desktop::setCommandLine("tessaline.exe --reload \"C:\\some where\"");
  OwnerWindowState seen;
  platform::script::then([&] {
    seen = readOwnerWindow(findOwnerWindow());
    ASSERT_NE(seen.window, nullptr) << "no window of class \"ParentWindow\" titled \"Tessaline\" while running";
    switch (GetParam()) {
      case Ending::ExitCommand:
        // The high word does not matter.
        PostMessageA(seen.window, WM_COMMAND, MAKEWPARAM(104, 1), 0);
        break;
      case Ending::CloseMessage:
        PostMessageA(seen.window, WM_CLOSE, 0, 0);
        break;
      case Ending::DestroyWindow:
        EXPECT_TRUE(DestroyWindow(seen.window));
        break;
    }
  });

  EXPECT_EQ(runProgram(), 0);

  EXPECT_EQ(seen.className, "ParentWindow");
  EXPECT_EQ(seen.title, "Tessaline");
  EXPECT_FALSE(seen.visible) << "the owner window must never be shown";
  EXPECT_EQ(describe(seen.rect), "0,0,0,0");
  // The window manager adds WS_CLIPSIBLINGS to every top-level window.
  EXPECT_EQ(static_cast<DWORD>(seen.style) & ~static_cast<DWORD>(WS_CLIPSIBLINGS), static_cast<DWORD>(WS_POPUP));
  EXPECT_EQ(static_cast<DWORD>(seen.exStyle), static_cast<DWORD>(WS_EX_LAYERED | WS_EX_TOOLWINDOW));
  EXPECT_EQ(seen.owner, nullptr);
  EXPECT_EQ(seen.timerPeriods, 1) << "a 1 ms timer period is in force while the program runs";
  EXPECT_EQ(seen.iconWidth, 32) << "the class icon is the program's GAMEICON";
  EXPECT_EQ(seen.iconHeight, 32);
  EXPECT_EQ(seen.iconBitsPerPixel, 32);

  EXPECT_EQ(consoleLines(), (std::vector<std::string>{kMainTrace, kRunTrace}));
  EXPECT_EQ(ParentWindow::pInstance_, nullptr);
  EXPECT_FALSE(IsWindow(seen.window));
  EXPECT_FALSE(platform::desktop::isClassRegistered("ParentWindow", GetModuleHandleA(NULL)));
  EXPECT_EQ(platform::desktop::timerPeriodsInForce(), 0);
  EXPECT_TRUE(platform::desktop::messageBoxes().empty());
  EXPECT_EQ(platform::script::pendingActions(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Endings, NormalRun,
                         ::testing::Values(Ending::ExitCommand, Ending::CloseMessage, Ending::DestroyWindow),
                         [](const ::testing::TestParamInfo<Ending>& info) { return endingName(info.param); });

class SingleInstance : public ProgramFixture {};

TEST_F(SingleInstance, AnotherProgramsOwnerWindowStopsTheStartWithOneMessageBox) {
  HWND other = platform::desktop::createForeignWindow("ParentWindow", "Tessaline");
  platform::script::pressMessageBoxButton(IDOK);

  EXPECT_EQ(runProgram(), -1);

  expectOneEntryMessageBox(true, kThrownTextCaption, "既にアプリケーションが起動しています");
  EXPECT_EQ(platform::desktop::windows(), (std::vector<HWND>{other})) << "no window of ours may be created";
  EXPECT_FALSE(platform::desktop::isClassRegistered("ParentWindow", GetModuleHandleA(NULL)));
  EXPECT_EQ(platform::desktop::timerPeriodsInForce(), 0);
  EXPECT_EQ(consoleLines(), (std::vector<std::string>{kMainTrace, kRunTrace}));
  EXPECT_TRUE(IsWindow(other)) << "the running copy is left alone";
}

TEST_F(SingleInstance, AWindowOfThatClassWithAnotherTitleDoesNotBlock) {
  platform::desktop::createForeignWindow("ParentWindow", "Tessaline 2");
  platform::desktop::createForeignWindow("OtherClass", "Tessaline");
  postToOwnerWindow(WM_CLOSE);

  EXPECT_EQ(runProgram(), 0);
  EXPECT_TRUE(platform::desktop::messageBoxes().empty());
}

class FailureHandlers : public ProgramFixture {};

TEST_F(FailureHandlers, AnAssertionWritesOneDebuggerLineAndShowsAssert) {
  // The owner window's class already registered in our module makes the
  // window wrapper's registration check fail.
  WNDCLASSEXA taken = {};
  taken.cbSize = sizeof taken;
  taken.lpfnWndProc = DefWindowProcA;
  taken.hInstance = GetModuleHandleA(NULL);
  taken.lpszClassName = "ParentWindow";
  ASSERT_NE(RegisterClassExA(&taken), 0);
  platform::script::pressMessageBoxButton(IDOK);

  EXPECT_EQ(runProgram(), -1);

  EXPECT_EQ(platform::desktop::debugOutput(),
            (std::vector<std::string>{"assert:library/Utility/src/lib/winapi/BaseWindow.cpp:48:"
                                      "lib::winapi::BaseWindow::BaseWindow():RegisterClassEx(lpwcx) != 0\n"}));
  expectOneEntryMessageBox(true, kThrownTextCaption, "assert");
  EXPECT_EQ(platform::desktop::timerPeriodsInForce(), 1) << "a failed start leaves the timer period to the process end";
}

TEST_F(FailureHandlers, ASettingsFileThatCannotBeLoadedStopsTheStart) {
  ASSERT_EQ(std::remove("config.xml"), 0);
  platform::script::pressMessageBoxButton(IDOK);

  EXPECT_EQ(runProgram(), -1);

  EXPECT_EQ(platform::desktop::debugOutput(), (std::vector<std::string>{"XMLManager load error : file config.xml\n"}));
  expectOneEntryMessageBox(true, kThrownTextCaption, "設定ファイルの読み込みに失敗しました\n");
  EXPECT_EQ(consoleLines(), (std::vector<std::string>{kMainTrace, kRunTrace}));
}

TEST_F(FailureHandlers, AnyOtherExceptionShowsTheUnexpectedExceptionTextWithoutCaption) {
  platform::script::then([] { throw std::bad_alloc(); });
  platform::script::pressMessageBoxButton(IDOK);

  EXPECT_EQ(runProgram(), -1);

  // A null caption shows the platform's default.
  expectOneEntryMessageBox(false, "Error", "予期されていない例外が発生しました\n");
}

}  // namespace
