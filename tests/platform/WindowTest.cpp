// Window creation, destruction and the questions about windows.
#include "Win32Test.h"

#include <cstring>

namespace conformance {
namespace {

// What CreateWindowExA sends to a hidden pop-up window, as far as the tests
// need it. Windows also sends the frame's size calculation and the first
// size and position, which the layer does not.
std::vector<ExpectedMessage> creationOfAHiddenPopup() {
  return {{WM_NCCREATE, kSent},
          {WM_NCCALCSIZE, kSent | kOptional},
          {WM_CREATE, kSent},
          {WM_SIZE, kSent | kOptional},
          {WM_MOVE, kSent | kOptional}};
}

class WindowTest : public Win32Test {
 protected:
  void SetUp() override {
    Win32Test::SetUp();
    ASSERT_NE(0, registerClass("ConformanceWindow"));
  }
};

TEST_F(WindowTest, CreationSendsNcCreateThenCreateAndDefaultProcessingSetsTheTitle) {
  HWND window = createWindow("ConformanceWindow", "Created");
  ASSERT_TRUE(window != NULL);

  expectSequence(creationOfAHiddenPopup(), "CreateWindowExA");
  char title[32] = "";
  EXPECT_EQ(7, GetWindowTextA(window, title, sizeof title));
  EXPECT_STREQ("Created", title);
  char className[32] = "";
  EXPECT_EQ(17, GetClassNameA(window, className, sizeof className));
  EXPECT_STREQ("ConformanceWindow", className);
}

LRESULT CALLBACK refusingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  recordMessage(window, message, wParam, lParam);
  if (message == WM_NCCREATE) {
    return FALSE;
  }
  return recordedDefWindowProc(window, message, wParam, lParam);
}

LRESULT CALLBACK failingCreateProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  recordMessage(window, message, wParam, lParam);
  if (message == WM_CREATE) {
    return -1;
  }
  return recordedDefWindowProc(window, message, wParam, lParam);
}

TEST_F(WindowTest, AProcedureCanRefuseCreation) {
  struct Case {
    const char* className;
    WNDPROC procedure;
    std::vector<ExpectedMessage> sequence;
  };
  const Case cases[] = {
      {"ConformanceRefusesNcCreate", refusingProcedure, {{WM_NCCREATE, kSent}, {WM_NCDESTROY, kSent}}},
      {"ConformanceFailsCreate",
       failingCreateProcedure,
       {{WM_NCCREATE, kSent}, {WM_NCCALCSIZE, kSent | kOptional}, {WM_CREATE, kSent}, {WM_NCDESTROY, kSent}}},
  };
  for (const Case& testCase : cases) {
    ASSERT_NE(0, registerClass(testCase.className, testCase.procedure));
    clearReceivedMessages();

    HWND window = createWindow(testCase.className, "refused");

    EXPECT_TRUE(window == NULL) << testCase.className << ": expected no window, got " << window;
    ASSERT_FALSE(receivedMessages().empty()) << testCase.className;
    EXPECT_FALSE(IsWindow(receivedMessages().front().window)) << testCase.className << ": the window still exists";
    expectSequence(testCase.sequence, testCase.className);
  }
}

TEST_F(WindowTest, StylesReadBack) {
  const DWORD exStyle = WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
  HWND window = createWindow("ConformanceWindow", "styled", WS_POPUP, exStyle);
  ASSERT_TRUE(window != NULL);

  EXPECT_EQ(exStyle, static_cast<DWORD>(GetWindowLongA(window, GWL_EXSTYLE)));
  // Win32 adds WS_CLIPSIBLINGS to every top-level window.
  EXPECT_EQ(static_cast<DWORD>(WS_POPUP | WS_CLIPSIBLINGS), static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE)));
  EXPECT_FALSE(IsWindowVisible(window));

  HWND visible = createWindow("ConformanceWindow", "visible", WS_POPUP | WS_VISIBLE);
  ASSERT_TRUE(visible != NULL);
  EXPECT_TRUE(IsWindowVisible(visible));
  EXPECT_TRUE(GetWindowLongA(visible, GWL_STYLE) & WS_VISIBLE);
}

TEST_F(WindowTest, WindowRectangleIsTheOneGiven) {
  HWND window = createWindow("ConformanceWindow", "placed");
  ASSERT_TRUE(window != NULL);

  RECT rect = {};
  ASSERT_TRUE(GetWindowRect(window, &rect));
  EXPECT_EQ(10, rect.left);
  EXPECT_EQ(20, rect.top);
  EXPECT_EQ(110, rect.right);
  EXPECT_EQ(70, rect.bottom);
}

TEST_F(WindowTest, TheParentOfATopLevelWindowIsItsOwner) {
  HWND owner = createWindow("ConformanceWindow", "owner");
  HWND owned = createWindow("ConformanceWindow", "owned", WS_POPUP, 0, owner);
  ASSERT_TRUE(owner != NULL && owned != NULL);

  EXPECT_EQ(owner, GetWindow(owned, GW_OWNER));
  EXPECT_TRUE(GetWindow(owner, GW_OWNER) == NULL);
}

TEST_F(WindowTest, NewWindowsGoOnTopAndTopmostWindowsStayAboveTheOthers) {
  HWND topmost = createWindow("ConformanceWindow", "topmost", WS_POPUP, WS_EX_TOPMOST);
  HWND first = createWindow("ConformanceWindow", "first");
  HWND second = createWindow("ConformanceWindow", "second");
  ASSERT_TRUE(topmost != NULL && first != NULL && second != NULL);

  // Other programs' windows may lie between them on a real desktop, so
  // walk down from each window until the next one of ours appears.
  auto isBelow = [](HWND upper, HWND lower) {
    for (HWND window = GetWindow(upper, GW_HWNDNEXT); window; window = GetWindow(window, GW_HWNDNEXT)) {
      if (window == lower) {
        return true;
      }
    }
    return false;
  };
  EXPECT_TRUE(isBelow(second, first)) << "expected the newer window above the older one";
  EXPECT_TRUE(isBelow(topmost, second)) << "expected the topmost window above a newer normal one";
}

TEST_F(WindowTest, AWindowOwnedByATopmostWindowIsTopmostAndAboveIt) {
  HWND owner = createWindow("ConformanceWindow", "topmost owner", WS_POPUP, WS_EX_TOPMOST);
  HWND owned = createWindow("ConformanceWindow", "owned", WS_POPUP, 0, owner);
  ASSERT_TRUE(owner != NULL && owned != NULL);

  EXPECT_TRUE(GetWindowLongA(owned, GWL_EXSTYLE) & WS_EX_TOPMOST);
  bool ownerFound = false;
  for (HWND window = GetWindow(owned, GW_HWNDNEXT); window && !ownerFound; window = GetWindow(window, GW_HWNDNEXT)) {
    ownerFound = window == owner;
  }
  EXPECT_TRUE(ownerFound) << "expected the owner below the window it owns";
}

TEST_F(WindowTest, DestroyWindowSendsDestroyThenNcDestroyAndTheHandleDies) {
  HWND window = createWindow("ConformanceWindow", "doomed");
  ASSERT_TRUE(window != NULL);
  clearReceivedMessages();

  ASSERT_TRUE(DestroyWindow(window));

  expectSequence({{WM_DESTROY, kSent, 0, 0, window}, {WM_NCDESTROY, kSent, 0, 0, window}}, "DestroyWindow");
  EXPECT_FALSE(IsWindow(window));
  SetLastError(0);
  EXPECT_FALSE(DestroyWindow(window));
  EXPECT_LAST_ERROR_OR_ON_WINE(ERROR_INVALID_WINDOW_HANDLE, 5 /* ERROR_ACCESS_DENIED */,
                               "a quirk of Wine 8: a destroyed handle reports access denied");
}

TEST_F(WindowTest, OwnedWindowsAreDestroyedBeforeTheirOwner) {
  HWND owner = createWindow("ConformanceWindow", "owner");
  HWND owned = createWindow("ConformanceWindow", "owned", WS_POPUP, 0, owner);
  ASSERT_TRUE(owner != NULL && owned != NULL);
  clearReceivedMessages();

  ASSERT_TRUE(DestroyWindow(owner));

  expectSequence({{WM_DESTROY, kSent, 0, 0, owned},
                  {WM_NCDESTROY, kSent, 0, 0, owned},
                  {WM_DESTROY, kSent, 0, 0, owner},
                  {WM_NCDESTROY, kSent, 0, 0, owner}},
                 "DestroyWindow of an owner");
  EXPECT_FALSE(IsWindow(owned));
}

TEST_F(WindowTest, HandlesAreNotReused) {
  HWND first = createWindow("ConformanceWindow", "first");
  ASSERT_TRUE(first != NULL);
  ASSERT_TRUE(DestroyWindow(first));

  HWND second = createWindow("ConformanceWindow", "second");
  EXPECT_NE(first, second);
  EXPECT_FALSE(IsWindow(first));
}

TEST_F(WindowTest, CallsOnADeadHandleFail) {
  HWND window = createWindow("ConformanceWindow", "dead");
  ASSERT_TRUE(DestroyWindow(window));

  SetLastError(0);
  EXPECT_EQ(0, GetWindowLongA(window, GWL_STYLE));
  EXPECT_LAST_ERROR(ERROR_INVALID_WINDOW_HANDLE);
  RECT rect;
  EXPECT_FALSE(GetWindowRect(window, &rect));
  EXPECT_FALSE(IsWindowVisible(window));
  char title[8] = "x";
  EXPECT_EQ(0, GetWindowTextA(window, title, sizeof title));
  EXPECT_STREQ("", title);
  SetLastError(0);
  EXPECT_EQ(0u, GetWindowThreadProcessId(window, NULL));
  EXPECT_LAST_ERROR(ERROR_INVALID_WINDOW_HANDLE);
}

TEST_F(WindowTest, AWindowBelongsToTheProcessThatMadeIt) {
  HWND window = createWindow("ConformanceWindow", "ours");
  DWORD process = 0;
  EXPECT_NE(0u, GetWindowThreadProcessId(window, &process));
  EXPECT_EQ(GetCurrentProcessId(), process);
  EXPECT_NE(0u, GetWindowThreadProcessId(window, NULL)) << "the process id is optional";
}

TEST_F(WindowTest, FindWindowMatchesClassAndTitle) {
  HWND window = createWindow("ConformanceWindow", "Conformance Title");
  ASSERT_TRUE(window != NULL);
  struct Case {
    const char* className;
    const char* title;
    bool found;
  };
  const Case cases[] = {
      {"ConformanceWindow", "Conformance Title", true},
      {"conformancewindow", "conformance title", true},  // neither comparison heeds case
      {"ConformanceWindow", NULL, true},
      {NULL, "Conformance Title", true},
      {"ConformanceWindow", "Another Title", false},
      {"ConformanceWindow", "Conformance", false},
      {"ConformanceOther", "Conformance Title", false},
  };
  for (const Case& testCase : cases) {
    HWND found = FindWindowA(testCase.className, testCase.title);
    const char* className = testCase.className ? testCase.className : "(null)";
    const char* title = testCase.title ? testCase.title : "(null)";
    if (testCase.found) {
      EXPECT_EQ(window, found) << "FindWindowA(" << className << ", " << title << ")";
    } else {
      EXPECT_TRUE(found == NULL) << "FindWindowA(" << className << ", " << title << "): expected none, got "
                                 << found;
    }
  }
}

TEST_F(WindowTest, FindWindowFindsHiddenWindowsButNotDestroyedOnes) {
  HWND window = createWindow("ConformanceWindow", "Conformance Hidden");
  ASSERT_TRUE(window != NULL);
  ASSERT_FALSE(IsWindowVisible(window));
  EXPECT_EQ(window, FindWindowA("ConformanceWindow", "Conformance Hidden"));

  ASSERT_TRUE(DestroyWindow(window));
  EXPECT_TRUE(FindWindowA("ConformanceWindow", "Conformance Hidden") == NULL);
}

TEST_F(WindowTest, TextMessagesOfDefaultProcessing) {
  HWND window = createWindow("ConformanceWindow", "before");
  ASSERT_TRUE(window != NULL);
  clearReceivedMessages();
  const char after[] = "after";

  EXPECT_TRUE(SendMessageA(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(after)));
  EXPECT_EQ(5, SendMessageA(window, WM_GETTEXTLENGTH, 0, 0));
  char shortBuffer[4] = "";
  EXPECT_EQ(3, SendMessageA(window, WM_GETTEXT, sizeof shortBuffer, reinterpret_cast<LPARAM>(shortBuffer)));
  EXPECT_STREQ("aft", shortBuffer);
  char title[16] = "";
  EXPECT_EQ(5, GetWindowTextA(window, title, sizeof title));
  EXPECT_STREQ("after", title);
  // GetWindowTextA asks a window of its own process for the text.
  expectSequence({{WM_SETTEXT, kSent | kLParam, 0, reinterpret_cast<LPARAM>(after)},
                  {WM_GETTEXTLENGTH, kSent},
                  {WM_GETTEXT, kSent | kWParam | kLParam, sizeof shortBuffer, reinterpret_cast<LPARAM>(shortBuffer)},
                  {WM_GETTEXT, kSent | kWParam | kLParam, sizeof title, reinterpret_cast<LPARAM>(title)}},
                 "the text messages");
}

}  // namespace
}  // namespace conformance
