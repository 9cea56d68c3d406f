// Start-ups that fail: one message box under "assertion failed\n", then
// exit code -1.
#include "TessalineTest.h"

namespace {

class StartupFailureTest : public TessalineTest {
 protected:
  // Waits for the program's message box, checks it, presses OK and checks
  // the exit code. A failure after the owner window was made leaves that
  // hidden window beside the box.
  void expectFailureBox(ProgramProcess& program, const std::string& expectedText, bool ownerWindowMade = false) {
    HWND box = waitForMessageBox(program);
    ASSERT_NE(box, nullptr) << "no message box: " << describe(program);
    desktop::MessageBoxContent content = desktop::readMessageBox(box);
    EXPECT_EQ(content.caption, kThrownTextCaption) << "caption: expected "
                                                   << desktop::printableBytes(kThrownTextCaption) << ", got "
                                                   << desktop::printableBytes(content.caption);
    EXPECT_EQ(content.text, expectedText) << "text: expected " << desktop::printableBytes(expectedText) << ", got "
                                          << desktop::printableBytes(content.text);
    EXPECT_EQ(GetWindow(box, GW_OWNER), nullptr) << "the box has no owner";
    expectOnlyAnOkButton(box);
    expectNoWindowButTheBox(program, ownerWindowMade);
    EXPECT_TRUE(program.running()) << "the program must wait for the box to be closed";

    desktop::pressOk(box);

    ASSERT_TRUE(program.waitForExit(kExitTimeout)) << "after OK: " << describe(program);
    EXPECT_EQ(program.exitCode(), kFailureExitCode) << describe(program);
  }

  // MB_OK: no other button is shown.
  void expectOnlyAnOkButton(HWND box) {
    for (int button : {IDCANCEL, IDABORT, IDRETRY, IDIGNORE, IDYES, IDNO}) {
      HWND control = GetDlgItem(box, button);
      EXPECT_FALSE(control != NULL && IsWindowVisible(control)) << "the box shows button id " << button;
    }
  }

  // Besides the box, only the hidden owner window when it was made; the
  // system's input-method windows do not count.
  void expectNoWindowButTheBox(const ProgramProcess& program, bool ownerWindowMade) {
    for (HWND window : desktop::topLevelWindows(program.id())) {
      std::string windowClass = desktop::className(window);
      if (windowClass == "IME" || windowClass == "MSCTFIME UI") {
        continue;
      }
      if (ownerWindowMade && windowClass == "ParentWindow") {
        EXPECT_FALSE(IsWindowVisible(window)) << "the owner window stays hidden";
        continue;
      }
      EXPECT_EQ(windowClass, "#32770") << "besides its message box the program has a window titled "
                                       << desktop::printableBytes(desktop::windowText(window));
    }
  }
};

TEST_F(StartupFailureTest, SecondCopyReportsTheFirstAndTheFirstRunsOn) {
  writeConfig();
  ProgramProcess& first = startProgram();
  HWND owner = waitForOwnerWindow(first);
  ASSERT_NE(owner, nullptr) << "first copy: " << describe(first);

  ProgramProcess& second = startProgram();
  expectFailureBox(second, kAlreadyRunningText);

  EXPECT_TRUE(first.running()) << "first copy: " << describe(first);
  EXPECT_EQ(desktop::findOwnerWindow(first.id()), owner) << "the first copy's owner window changed";
}

// The guard looks for the class and title, whoever made the window.
// FindWindowA compares them without regard to letter case.
struct ForeignWindow {
  const char* title;
  bool blocksStartUp;
};

void PrintTo(const ForeignWindow& window, std::ostream* stream) {
  *stream << "title \"" << window.title << "\"" << (window.blocksStartUp ? " blocks" : " does not block");
}

class SingleInstanceGuardTest : public StartupFailureTest,
                                public ::testing::WithParamInterface<ForeignWindow> {
 protected:
  void SetUp() override {
    StartupFailureTest::SetUp();
    if (HasFatalFailure()) {
      return;
    }
    WNDCLASSEXA record = {};
    record.cbSize = sizeof record;
    record.lpfnWndProc = DefWindowProcA;
    record.hInstance = GetModuleHandleA(NULL);
    record.lpszClassName = "ParentWindow";
    ASSERT_NE(RegisterClassExA(&record), 0) << "error " << GetLastError();
    window_ = CreateWindowExA(0, "ParentWindow", GetParam().title, WS_POPUP, 0, 0, 0, 0, NULL, NULL,
                              GetModuleHandleA(NULL), NULL);
    ASSERT_NE(window_, nullptr) << "error " << GetLastError();
  }
  void TearDown() override {
    DestroyWindow(window_);
    UnregisterClassA("ParentWindow", GetModuleHandleA(NULL));
  }
  HWND window_ = NULL;
};

TEST_P(SingleInstanceGuardTest, ForeignWindowOfTheClass) {
  writeConfig();
  ProgramProcess& program = startProgram();
  if (GetParam().blocksStartUp) {
    expectFailureBox(program, kAlreadyRunningText);
  } else {
    EXPECT_NE(waitForOwnerWindow(program), nullptr)
        << "a \"ParentWindow\" titled \"" << GetParam().title << "\" must not block: " << describe(program);
  }
}

INSTANTIATE_TEST_SUITE_P(Titles, SingleInstanceGuardTest,
                         ::testing::Values(ForeignWindow{"Tessaline", true}, ForeignWindow{"TESSALINE", true},
                                           ForeignWindow{"Tessaline ", false}, ForeignWindow{"Tessalin", false},
                                           ForeignWindow{"", false}));

TEST_F(StartupFailureTest, MissingSettingsFileIsReported) {
  ProgramProcess& program = startProgram();
  // The owner window exists by then: the settings load in the start hook.
  expectFailureBox(program, kLoadFailureText, true);
}

}  // namespace
