// What the program puts on the screen, read back as pixels of the composed
// desktop.
#include "ScreenCapture.h"
#include "TessalineTest.h"

namespace {

class ScreenTest : public TessalineTest {
 protected:
  // When TESSALINE_ARTIFACTS names a directory, leaves the shots there to
  // look at; returns where, for the failure message.
  std::string keepShots(const Screenshot& before, const Screenshot& after) {
    char directory[MAX_PATH] = "";
    if (GetEnvironmentVariableA("TESSALINE_ARTIFACTS", directory, sizeof directory) == 0) {
      return "set TESSALINE_ARTIFACTS to keep the screenshots";
    }
    std::string prefix = std::string(directory) + "\\" + ::testing::UnitTest::GetInstance()->current_test_info()->name();
    CreateDirectoryA(directory, NULL);
    saveBitmap(before, prefix + "-before.bmp");
    saveBitmap(after, prefix + "-after.bmp");
    return "screenshots in " + prefix + "-before.bmp and -after.bmp";
  }
};

// Settings without pictures: the owner window is empty and never shown, so
// the desktop looks exactly as before. (The tray has no place on the bare
// Xvfb screen.)
TEST_F(ScreenTest, WithoutPicturesTheDesktopIsUnchanged) {
  writeConfig();
  Screenshot before = captureScreen();
  ASSERT_GT(before.width, 0);

  ProgramProcess& program = startProgram();
  ASSERT_NE(waitForOwnerWindow(program), nullptr) << describe(program);
  Screenshot after = captureScreen();

  std::string difference = firstDifference(before, after);
  EXPECT_EQ(difference, "") << keepShots(before, after);
}

// The capture itself: without it seeing windows the check above proves
// nothing.
TEST_F(ScreenTest, CaptureSeesAShownWindow) {
  const COLORREF red = RGB(255, 0, 0);
  WNDCLASSEXA record = {};
  record.cbSize = sizeof record;
  record.lpfnWndProc = DefWindowProcA;
  record.hInstance = GetModuleHandleA(NULL);
  record.hbrBackground = CreateSolidBrush(red);
  record.lpszClassName = "ScreenTestSwatch";
  ASSERT_NE(RegisterClassExA(&record), 0) << "error " << GetLastError();
  HWND swatch = CreateWindowExA(WS_EX_TOPMOST, record.lpszClassName, "", WS_POPUP | WS_VISIBLE, 100, 100, 50, 50,
                                NULL, NULL, record.hInstance, NULL);
  ASSERT_NE(swatch, nullptr) << "error " << GetLastError();
  UpdateWindow(swatch);
  MSG message;
  bool painted = desktop::waitUntil(
      [&]() {
        while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE)) {
          DispatchMessageA(&message);
        }
        return captureScreen().at(125, 125) == 0xFF0000;
      },
      kStartTimeout);

  Screenshot shot = captureScreen();
  DestroyWindow(swatch);
  UnregisterClassA(record.lpszClassName, record.hInstance);
  DeleteObject(record.hbrBackground);
  EXPECT_TRUE(painted) << "pixel (125, 125) inside a red window is 0x" << std::hex << shot.at(125, 125);
}

}  // namespace
