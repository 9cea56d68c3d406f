// The modal loop of a message box: it dispatches the thread's messages, and
// a WM_QUIT ends it and is posted again for the caller's own loop.
#include "Win32Test.h"

namespace conformance {
namespace {

UINT quitRequestMessage = WM_USER + 20;

// Asks for the end of the program from inside the box's loop, as a window
// procedure does when its window is destroyed.
LRESULT CALLBACK quittingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == quitRequestMessage) {
    PostQuitMessage(static_cast<int>(wParam));
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

class ModalLoopTest : public Win32Test {};

TEST_F(ModalLoopTest, AQuitRequestedInsideAMessageBoxEndsTheBoxAndReachesTheOuterLoop) {
  ASSERT_NE(0, registerClass("ConformanceQuitting", quittingProcedure));
  HWND window = createWindow("ConformanceQuitting", "quitting");
  ASSERT_TRUE(window != NULL);
  ASSERT_TRUE(PostMessageA(window, quitRequestMessage, 9, 0));

  // The box's loop dispatches the posted message, whose procedure asks to
  // quit; nobody presses a button.
  MessageBoxA(NULL, "ended by the quit request", "modal loop", MB_OK);

  MSG message = {};
  BOOL result = GetMessageA(&message, NULL, 0, 0);
  EXPECT_EQ(0, result) << "expected WM_QUIT for the outer loop, got message 0x" << std::hex << message.message;
  EXPECT_EQ(9u, message.wParam) << "expected the quit code given inside the box";
}

}  // namespace
}  // namespace conformance
