// The application object and the window wrapper on their own: the order of
// the hooks, the loop's exception boundary and the wrapper's class rules.
#include <windows.h>

#include <gtest/gtest.h>
#include <platform/desktop.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "lib/winapi/BaseApplication.h"
#include "lib/winapi/BaseWindow.h"
#include "lib/winapi/Diagnostics.h"
#include "lib/winapi/PendingException.h"

namespace {

using lib::winapi::BaseApplication;
using lib::winapi::BaseWindow;

// The message throwingWindowProc throws on; its WM_DESTROY ends the loop
// first, as the program's owner window does.
UINT throwingMessage = 0;

class Framework : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::desktop::reset();
    platform::desktop::setEcho(false);
    throwingMessage = 0;
    // An exception a failed test left kept would leave the next test's loop.
    try {
      lib::winapi::rethrowPendingException();
    } catch (...) {
    }
  }
};

// A test application that records its hooks and can be told what window to
// make and how its loop ends.
class RecordingApplication : public BaseApplication {
 public:
  std::vector<std::string> calls;
  int timerPeriodsAtCreateWindow = -1;
  WNDPROC windowProc = NULL;
  bool createNoWindow = false;
  void (*startHook)(RecordingApplication& application) = NULL;  // what initApplication does then

  BaseWindow* createWindow() override {
    calls.push_back("createWindow");
    timerPeriodsAtCreateWindow = platform::desktop::timerPeriodsInForce();
    if (createNoWindow) return NULL;
    return new BaseWindow(windowProc, NULL, "RecordingWindow", "recording", WS_POPUP, 0, 0, 10, 10, NULL,
                          GetModuleHandleA(NULL));
  }
  void initInstance() override {
    calls.push_back("initInstance");
    BaseApplication::initInstance();
  }
  void exitInstance() override {
    calls.push_back("exitInstance");
    BaseApplication::exitInstance();
  }
  void initApplication() override {
    calls.push_back("initApplication");
    if (startHook != NULL) startHook(*this);
  }
  void exitApplication() override { calls.push_back("exitApplication"); }

  HWND window() const { return pWindow_ != NULL ? pWindow_->hWnd_ : NULL; }
};

const char kWindowPath[] = "library/Utility/src/lib/winapi/BaseWindow.cpp";

TEST_F(Framework, RunCallsTheHooksInOrderAndCreatesTheWindowAfterTheTimerPeriod) {
  RecordingApplication application;
  platform::script::then([&] {
    application.calls.push_back("loop");
    DestroyWindow(application.window());  // its default procedure posts WM_QUIT(0)
  });

  EXPECT_EQ(application.run(), 0u);

  EXPECT_EQ(application.calls, (std::vector<std::string>{"initInstance", "createWindow", "initApplication", "loop",
                                                         "exitApplication", "exitInstance"}));
  EXPECT_EQ(application.timerPeriodsAtCreateWindow, 1);
  EXPECT_EQ(platform::desktop::timerPeriodsInForce(), 0);
  EXPECT_FALSE(platform::desktop::isClassRegistered("RecordingWindow", GetModuleHandleA(NULL)));
}

LRESULT CALLBACK quitSevenWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) {
    PostQuitMessage(7);
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

TEST_F(Framework, RunReturnsTheWParamOfTheQuitMessage) {
  RecordingApplication application;
  application.windowProc = quitSevenWindowProc;
  platform::script::then([&] { DestroyWindow(application.window()); });

  EXPECT_EQ(application.run(), 7u);
}

TEST_F(Framework, ALoopEndedWhileTheWindowLivesFailsTheWindowDestructorCheck) {
  RecordingApplication application;
  platform::script::then([&] { PostQuitMessage(0); });

  EXPECT_THROW(application.run(), const char*);

  EXPECT_EQ(application.calls, (std::vector<std::string>{"initInstance", "createWindow", "initApplication",
                                                         "exitApplication", "exitInstance"}));
  EXPECT_EQ(platform::desktop::debugOutput().back(),
            std::string("assert:") + kWindowPath +
                ":65:lib::winapi::BaseWindow::~BaseWindow():UnregisterClass(lpClassName_, hInstance_)\n");
}

TEST_F(Framework, ANullWindowFailsTheInitInstanceCheckAndNoHookRuns) {
  RecordingApplication application;
  application.createNoWindow = true;

  EXPECT_THROW(application.run(), const char*);

  EXPECT_EQ(application.calls, (std::vector<std::string>{"initInstance", "createWindow"}));
  EXPECT_EQ(platform::desktop::debugOutput(),
            (std::vector<std::string>{"assert:library/Utility/src/lib/winapi/BaseApplication.cpp:44:"
                                      "lib::winapi::BaseApplication::initInstance():pWindow_ != NULL\n"}));
  EXPECT_EQ(platform::desktop::timerPeriodsInForce(), 1) << "the period stays in force after a failed start";
}

LRESULT CALLBACK throwingWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  // The boundary every window procedure of the program has.
  return lib::winapi::guardWindowProcedure([&]() -> LRESULT {
    if (message == WM_DESTROY) PostQuitMessage(0);
    if (message == throwingMessage) throw std::runtime_error("thrown in a window procedure");
    return DefWindowProcA(window, message, wParam, lParam);
  });
}

TEST_F(Framework, AnExceptionInAWindowProcedureLeavesRunAfterDispatchWithoutTheStopHooks) {
  RecordingApplication application;
  application.windowProc = throwingWindowProc;
  throwingMessage = WM_USER;
  platform::script::then([&] { PostMessageA(application.window(), WM_USER, 0, 0); });

  try {
    application.run();
    ADD_FAILURE() << "expected the window procedure's exception to leave run";
  } catch (const std::runtime_error& error) {
    EXPECT_STREQ(error.what(), "thrown in a window procedure");
  }
  EXPECT_EQ(application.calls, (std::vector<std::string>{"initInstance", "createWindow", "initApplication"}));
  EXPECT_TRUE(IsWindow(application.window())) << "nothing is cleaned up on the failure path";

  DestroyWindow(application.window());
  application.BaseApplication::exitInstance();
}

// A window procedure run inside a Win32 call other than the loop's
// DispatchMessageA throws.
struct OutsideDispatchCase {
  const char* name;
  UINT throwingMessage;
  void (*startHook)(RecordingApplication& application);
  std::vector<std::string> expectedCalls;
};

void PrintTo(const OutsideDispatchCase& c, std::ostream* out) { *out << c.name; }

const std::vector<std::string> kCallsUpToTheConstructor = {"initInstance", "createWindow"};
const std::vector<std::string> kCallsUpToTheStartHook = {"initInstance", "createWindow", "initApplication"};

void destroyTheWindow(RecordingApplication& application) { DestroyWindow(application.window()); }

void showAMessageBoxWithAMessageQueued(RecordingApplication& application) {
  PostMessageA(application.window(), WM_USER, 0, 0);
  platform::script::pressMessageBoxButton(IDOK);
  lib::winapi::messageBoxPrint(application.window(), MB_OK, "caption", "%s", "text");
  application.calls.push_back("after the message box");
}

// As another thread's SendMessageA, which runs inside GetMessageA.
void sendAMessageWhileTheLoopWaits(RecordingApplication& application) {
  HWND window = application.window();
  platform::script::then([window] { SendMessageA(window, WM_USER, 0, 0); });
}

const OutsideDispatchCase kOutsideDispatchCases[] = {
    {"CreationRefusedInWmNcCreate", WM_NCCREATE, NULL, kCallsUpToTheConstructor},
    {"WmCreate", WM_CREATE, NULL, kCallsUpToTheConstructor},
    {"WmDestroyOfADestroyWindowInTheStartHook", WM_DESTROY, destroyTheWindow, kCallsUpToTheStartHook},
    {"MessageBoxModalLoop", WM_USER, showAMessageBoxWithAMessageQueued, kCallsUpToTheStartHook},
    {"MessageSentWhileTheLoopWaits", WM_USER, sendAMessageWhileTheLoopWaits, kCallsUpToTheStartHook},
};

// What leaves run: the procedure's exception, the assertion's text or a
// normal return.
std::string outcomeOfRun(BaseApplication& application) {
  try {
    return "returned " + std::to_string(application.run());
  } catch (const std::runtime_error& error) {
    return std::string("runtime_error \"") + error.what() + "\"";
  } catch (const char* text) {
    return std::string("thrown text \"") + text + "\"";
  }
}

class OutsideDispatch : public Framework, public ::testing::WithParamInterface<OutsideDispatchCase> {};

TEST_P(OutsideDispatch, TheProceduresExceptionLeavesRunAtOnceAndNothingStaysKept) {
  const OutsideDispatchCase& c = GetParam();
  // Without the rethrow the loop would wait for input no test gives; let it fail instead of ending the process.
  platform::script::onExhausted([](const char*) {});
  throwingMessage = c.throwingMessage;
  RecordingApplication application;
  application.windowProc = throwingWindowProc;
  application.startHook = c.startHook;

  EXPECT_EQ(outcomeOfRun(application), "runtime_error \"thrown in a window procedure\"");

  EXPECT_EQ(application.calls, c.expectedCalls) << "nothing runs after the call that ran the procedure";
  EXPECT_EQ(platform::desktop::debugOutput(), std::vector<std::string>()) << "no assertion fails on the way";
  EXPECT_NO_THROW(lib::winapi::rethrowPendingException()) << "nothing stays kept for a later dispatch";
  if (HasFailure()) return;  // a loop that ended otherwise has deleted the wrapper already
  throwingMessage = 0;
  if (IsWindow(application.window())) DestroyWindow(application.window());
  application.BaseApplication::exitInstance();
}

INSTANTIATE_TEST_SUITE_P(Paths, OutsideDispatch, ::testing::ValuesIn(kOutsideDispatchCases),
                         [](const ::testing::TestParamInfo<OutsideDispatchCase>& info) { return info.param.name; });

// A window procedure that the test can check the wrapper installed.
LRESULT CALLBACK givenWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(window, message, wParam, lParam);
}

struct ExtendedStyleCase {
  DWORD style;
  const char* name;
};

TEST_F(Framework, EveryWrappedWindowIsALayeredToolWindowWhateverItsStyle) {
  const ExtendedStyleCase cases[] = {
      {0, "no style"},
      {WS_POPUP, "WS_POPUP"},
      {WS_POPUP | WS_VISIBLE, "WS_POPUP|WS_VISIBLE"},
      {WS_OVERLAPPEDWINDOW, "WS_OVERLAPPEDWINDOW"},
  };
  for (const ExtendedStyleCase& c : cases) {
    BaseWindow window(givenWindowProc, NULL, "StyledWindow", "styled", c.style, 5, 6, 70, 80, NULL,
                      GetModuleHandleA(NULL));
    DWORD exStyle = static_cast<DWORD>(GetWindowLongA(window.hWnd_, GWL_EXSTYLE));
    EXPECT_EQ(exStyle & (WS_EX_LAYERED | WS_EX_TOOLWINDOW), static_cast<DWORD>(WS_EX_LAYERED | WS_EX_TOOLWINDOW))
        << "style " << c.name << ": extended style 0x" << std::hex << exStyle;
    WNDCLASSEXA record = {};
    record.cbSize = sizeof record;
    ASSERT_TRUE(GetClassInfoExA(GetModuleHandleA(NULL), "StyledWindow", &record));
    EXPECT_EQ(record.lpfnWndProc, givenWindowProc) << "the default record carries the given procedure";
    EXPECT_EQ(record.style, static_cast<UINT>(CS_HREDRAW | CS_VREDRAW));
    DestroyWindow(window.hWnd_);
  }
}

TEST_F(Framework, AWindowWithoutRecordOrProcedureGetsTheDefaultProcedureWhoseDestroyEndsTheLoop) {
  BaseWindow window(NULL, NULL, "DefaultWindow", "default", WS_POPUP, 0, 0, 1, 1, NULL, GetModuleHandleA(NULL));
  WNDCLASSEXA record = {};
  record.cbSize = sizeof record;
  ASSERT_TRUE(GetClassInfoExA(GetModuleHandleA(NULL), "DefaultWindow", &record));
  EXPECT_EQ(record.lpfnWndProc, BaseWindow::defaultWindowProc);

  DestroyWindow(window.hWnd_);
  MSG message = {};
  EXPECT_EQ(GetMessageA(&message, NULL, 0, 0), 0) << "expected WM_QUIT, got message 0x" << std::hex << message.message;
  EXPECT_EQ(message.message, static_cast<UINT>(WM_QUIT));
  EXPECT_EQ(message.wParam, 0u);
}

TEST_F(Framework, AGivenRecordIsRegisteredUnchanged) {
  WNDCLASSEXA given = {};
  given.cbSize = sizeof given;
  given.lpfnWndProc = givenWindowProc;
  given.hInstance = GetModuleHandleA(NULL);
  given.lpszClassName = "RecordClass";
  // The procedure argument is not used when a record is given.
  BaseWindow window(BaseWindow::defaultWindowProc, &given, "RecordClass", "given", WS_POPUP, 0, 0, 1, 1, NULL,
                    GetModuleHandleA(NULL));
  WNDCLASSEXA record = {};
  record.cbSize = sizeof record;
  ASSERT_TRUE(GetClassInfoExA(GetModuleHandleA(NULL), "RecordClass", &record));
  EXPECT_EQ(record.lpfnWndProc, givenWindowProc);
  EXPECT_EQ(record.style, 0u);
  DestroyWindow(window.hWnd_);
}

TEST_F(Framework, ClassNameRules) {
  // A second wrapper with a name still registered fails the check at line 48.
  BaseWindow first(NULL, NULL, "TakenName", "first", WS_POPUP, 0, 0, 1, 1, NULL, GetModuleHandleA(NULL));
  EXPECT_THROW(BaseWindow(NULL, NULL, "TakenName", "second", WS_POPUP, 0, 0, 1, 1, NULL, GetModuleHandleA(NULL)),
               const char*);
  EXPECT_EQ(platform::desktop::debugOutput().back(),
            std::string("assert:") + kWindowPath +
                ":48:lib::winapi::BaseWindow::BaseWindow():RegisterClassEx(lpwcx) != 0\n");

  // Deleting a wrapper whose window still exists fails the check at line 65.
  BaseWindow* alive =
      new BaseWindow(NULL, NULL, "AliveWindow", "alive", WS_POPUP, 0, 0, 1, 1, NULL, GetModuleHandleA(NULL));
  HWND aliveWindow = alive->hWnd_;
  EXPECT_THROW(delete alive, const char*);
  EXPECT_EQ(platform::desktop::debugOutput().back(),
            std::string("assert:") + kWindowPath +
                ":65:lib::winapi::BaseWindow::~BaseWindow():UnregisterClass(lpClassName_, hInstance_)\n");
  EXPECT_TRUE(IsWindow(aliveWindow));

  // A class name of 255 characters fits the wrapper's buffer.
  std::string longName(255, 'n');
  BaseWindow named(NULL, NULL, longName.c_str(), "long", WS_POPUP, 0, 0, 1, 1, NULL, GetModuleHandleA(NULL));
  EXPECT_EQ(std::string(named.lpClassName_), longName);
  DestroyWindow(named.hWnd_);
  DestroyWindow(first.hWnd_);
}

}  // namespace
